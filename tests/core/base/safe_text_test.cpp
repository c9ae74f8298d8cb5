#include "core/base/safe_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/text.h"

namespace skimlet {
namespace {

std::string UTF8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

Bytes AsBytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(SafeText, EscapesControlsBidiAndBrokenUTF8PerStyle) {
  struct Case {
    std::string in, terminal, json;
  };
  const Case cases[] = {
      {"Home \xE2\x98\x95 Caf\xC3\xA9", "Home \xE2\x98\x95 Caf\xC3\xA9", "Home \xE2\x98\x95 Caf\xC3\xA9"},
      {"\x1B]52;c;aGk=\x07x", "\\x1B]52;c;aGk=\\x07x", "\\u001b]52;c;aGk=\\u0007x"},  // OSC 52 clipboard write
      {"\x1B[2J", "\\x1B[2J", "\\u001b[2J"},
      {std::string("a\0b", 3), "a\\x00b", "a\\u0000b"},
      {"a\bb\x7F\t\r\n", "a\\x08b\\x7F\\x09\\x0D\\x0A", "a\\u0008b\\u007f\\u0009\\u000d\\u000a"},
      {"\xC2\x9B"
       "31m",
       "\\u009B31m", "\\u009b31m"},                                                      // C1 CSI as a character
      {"\xC2\x85\xC2\x9F\xC2\xA0", "\\u0085\\u009F\xC2\xA0", "\\u0085\\u009f\xC2\xA0"},  // NBSP is fine
      {"\x9B"
       "31m",
       "\\x9B31m", "\\ufffd31m"},  // the raw 8-bit CSI byte is not UTF-8
      {"a\xE2\x80\xA8"
       "b\xE2\x80\xA9",
       "a\\u2028b\\u2029", "a\\u2028b\\u2029"},
      {"\xE2\x80\xAE"
       "gpj.exe",
       "\\u202Egpj.exe", "\\u202egpj.exe"},  // right-to-left override
      {"\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD", "\\u202A\\u202B\\u202C\\u202D",
       "\\u202a\\u202b\\u202c\\u202d"},
      {"\xE2\x81\xA6\xE2\x81\xA7\xE2\x81\xA8\xE2\x81\xA9", "\\u2066\\u2067\\u2068\\u2069",
       "\\u2066\\u2067\\u2068\\u2069"},
      {"\xE2\x80\x8E\xE2\x80\x8F\xD8\x9C", "\\u200E\\u200F\\u061C", "\\u200e\\u200f\\u061c"},
      {"\xE2\x80\x8D", "\xE2\x80\x8D", "\xE2\x80\x8D"},  // a joiner is not a format override
      {"q\"\\x41", "q\"\\x5Cx41", "q\\\"\\\\x41"},       // a literal "\x41" cannot pass for an escape
      {"\xE2\x80", "\\xE2\\x80", "\\ufffd\\ufffd"},      // truncated
      {"\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80", "\\xC0\\xAF\\xED\\xA0\\x80\\xF4\\x90\\x80\\x80",
       "\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd"},  // overlong, surrogate, past U+10FFFF
      {"\xF0\x9F\x93\xB6", "\xF0\x9F\x93\xB6", "\xF0\x9F\x93\xB6"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SafeText(c.in, SafeTextStyle::Terminal), c.terminal) << c.terminal;
    EXPECT_EQ(SafeText(c.in, SafeTextStyle::Json), c.json) << c.json;
  }
}

TEST(SafeText, WindowEscapesLikeTheTerminalInsideAnIsolate) {
  const std::string fsi = "\xE2\x81\xA8", pdi = "\xE2\x81\xA9";
  EXPECT_EQ(SafeText("", SafeTextStyle::Window), "");
  EXPECT_EQ(SafeText("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", SafeTextStyle::Window),
            fsi + "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D" + pdi);  // right-to-left text itself stays
  // An override and a stray PDI inside cannot leave the isolate; the backslash needs no escape here.
  EXPECT_EQ(SafeText("a\xE2\x80\xAE"
                     "b"
                     "\xE2\x81\xA9"
                     "c\\\x1B\x9B",
                     SafeTextStyle::Window),
            fsi + "a\\u202Eb\\u2069c\\\\x1B\\x9B" + pdi);
}

// Every character and every lone byte, in every style: the result is UTF-8 and holds no unsafe character
// (apart from the one isolate pair of the window style).
TEST(SafeText, NoUnsafeCharacterSurvivesInAnyStyle) {
  std::vector<std::string> inputs;
  for (char32_t c = 0; c < 0x3000; ++c)
    if (c < 0xD800 || c > 0xDFFF) inputs.push_back(UTF8(c));
  inputs.push_back(UTF8(0x10FFFF));
  for (int b = 0; b < 256; ++b) inputs.push_back(std::string(1, static_cast<char>(b)) + "x");
  for (SafeTextStyle style : {SafeTextStyle::Terminal, SafeTextStyle::Json, SafeTextStyle::Window}) {
    for (const std::string& in : inputs) {
      std::string out = SafeText(in, style);
      if (style == SafeTextStyle::Window) {
        ASSERT_GE(out.size(), 6u);
        out = out.substr(3, out.size() - 6);
      }
      ASSERT_TRUE(IsValidUTF8(AsBytes(out))) << static_cast<int>(style) << " " << BytesToHex(AsBytes(in));
      // A valid result decodes; none of its characters may be unsafe.
      for (size_t i = 0; i < out.size();) {
        const auto b = static_cast<uint8_t>(out[i]);
        const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0xFF >> (n + 1));
        for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<uint8_t>(out[i + k]) & 0x3F);
        ASSERT_FALSE(IsUnsafeCodePoint(c)) << static_cast<int>(style) << " " << BytesToHex(AsBytes(in));
        i += n;
      }
    }
  }
}

}  // namespace
}  // namespace skimlet

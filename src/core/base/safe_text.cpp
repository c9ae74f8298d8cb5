#include "core/base/safe_text.h"

#include <cstdint>
#include <cstdio>

namespace skimlet {

namespace {

// Decodes one well-formed UTF-8 sequence at Text[I]; returns its length, or 0 when the bytes there are not one
// (truncated, overlong, a surrogate or past U+10FFFF).
size_t DecodeUTF8(std::string_view text, size_t i, char32_t& out) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t b = byte(i);
  size_t n;
  char32_t c;
  if (b < 0x80) {
    out = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    c = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    c = b & 0x07;
  } else {
    return 0;
  }
  if (text.size() - i < n) return 0;
  for (size_t k = 1; k < n; ++k) {
    const uint8_t t = byte(i + k);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF))) return 0;
  out = c;
  return n;
}

void AppendEscape(std::string& out, const char* format, unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, format, value);
  out += buf;
}

}  // namespace

bool IsUnsafeCodePoint(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

std::string SafeText(std::string_view text, SafeTextStyle style) {
  std::string out;
  if (style == SafeTextStyle::Window) {
    if (text.empty()) return out;
    out += "\u2068";
  }
  out.reserve(out.size() + text.size() + 8);
  const bool json = style == SafeTextStyle::Json;
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t n = DecodeUTF8(text, i, c);
    if (n == 0) {  // not UTF-8
      if (json) out += "\\ufffd";
      else AppendEscape(out, "\\x%02X", static_cast<uint8_t>(text[i]));
      ++i;
      continue;
    }
    if (IsUnsafeCodePoint(c)) {
      if (json) AppendEscape(out, "\\u%04x", static_cast<unsigned>(c));
      else AppendEscape(out, c < 0x80 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
    } else if (c == '\\' && style != SafeTextStyle::Window) {
      out += json ? "\\\\" : "\\x5C";
    } else if (c == '"' && json) {
      out += "\\\"";
    } else {
      out.append(text.substr(i, n));
    }
    i += n;
  }
  if (style == SafeTextStyle::Window) out += "\u2069";
  return out;
}

}  // namespace skimlet

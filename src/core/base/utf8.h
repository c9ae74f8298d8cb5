// Walking and writing UTF-8 one character at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skimlet {

inline constexpr char32_t kBadCharacter = 0xFFFFFFFF;
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character at Pos and its length in bytes; kBadCharacter and length 1 for a byte that does not start a
// well-formed sequence (overlong forms, surrogates and code points past U+10FFFF included).
inline char32_t DecodeUTF8(std::string_view s, size_t pos, size_t& length) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(pos);
  length = 1;
  if (c < 0x80) return c;
  size_t n;
  char32_t cp;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    n = 2;
    cp = c & 0x1F;
    min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
    cp = c & 0x0F;
    min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
    cp = c & 0x07;
    min = 0x10000;
  } else return kBadCharacter;
  if (pos + n > s.size()) return kBadCharacter;
  for (size_t i = 1; i < n; ++i) {
    if ((b(pos + i) & 0xC0) != 0x80) return kBadCharacter;
    cp = (cp << 6) | (b(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kBadCharacter;
  length = n;
  return cp;
}

// True when every byte belongs to a well-formed sequence.
inline bool IsWellFormedUTF8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    if (DecodeUTF8(s, i, length) == kBadCharacter) return false;
    i += length;
  }
  return true;
}

inline void AppendUTF8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace skimlet

#include "core/base/text.h"

#include <algorithm>

namespace skimlet {

bool IsValidUTF8(Bytes s) {
  size_t i = 0;
  while (i < s.size()) {
    uint8_t c = s[i];
    size_t n;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07;
    } else return false;
    if (s.size() - i <= n) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

std::string BytesToHex(Bytes data, std::string_view separator) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  if (data.empty()) return s;
  s.reserve(data.size() * (2 + separator.size()));
  for (size_t k = 0; k < data.size(); ++k) {
    if (k > 0) s += separator;
    s += kDigits[data[k] >> 4];
    s += kDigits[data[k] & 15];
  }
  return s;
}

std::string BytesToHex(Bytes data, int count, std::string_view separator) {
  if (count <= 0 || static_cast<size_t>(count) > data.size()) return {};
  return BytesToHex(data.first(static_cast<size_t>(count)), separator);
}

std::string OUIToText(uint32_t oui) {
  uint8_t b[3] = {static_cast<uint8_t>(oui >> 16), static_cast<uint8_t>(oui >> 8), static_cast<uint8_t>(oui)};
  return BytesToHex(b, "-");
}

char PrintableChar(uint8_t b) { return (b > 32 && b < 127) ? static_cast<char>(b) : '.'; }

std::string Latin1ToUTF8(Bytes data) {
  std::string text;
  text.reserve(data.size() * 2);
  for (uint8_t b : data) {
    if (b < 0x80) {
      text += static_cast<char>(b);
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

std::string BytesToPrintable(Bytes data) {
  std::string s(data.size(), '.');
  for (size_t k = 0; k < data.size(); ++k) s[k] = PrintableChar(data[k]);
  return s;
}

std::string SSIDBytesToText(Bytes bytes) {
  bytes = bytes.first(static_cast<size_t>(std::find(bytes.begin(), bytes.end(), uint8_t{0}) - bytes.begin()));
  if (IsValidUTF8(bytes)) return std::string(bytes.begin(), bytes.end());
  return Latin1ToUTF8(bytes);
}

}  // namespace skimlet

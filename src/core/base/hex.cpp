#include "core/base/hex.h"

namespace skimlet {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':' || c == '-'; }
}  // namespace

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text, std::string* error) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  size_t i = 0;
  while (i < text.size()) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    int hi = HexValue(text[i]);
    if (hi < 0) {
      if (error) *error = "invalid hex digit '" + std::string(1, text[i]) + "' at position " + std::to_string(i + 1);
      return std::nullopt;
    }
    if (i + 1 < text.size() && HexValue(text[i + 1]) < 0 && !IsSeparator(text[i + 1])) {
      if (error)
        *error = "invalid hex digit '" + std::string(1, text[i + 1]) + "' at position " + std::to_string(i + 2);
      return std::nullopt;
    }
    if (i + 1 >= text.size() || HexValue(text[i + 1]) < 0) {
      if (error) *error = "incomplete byte at position " + std::to_string(i + 1) + ": hex digits come in pairs";
      return std::nullopt;
    }
    bytes.push_back(static_cast<uint8_t>(hi * 16 + HexValue(text[i + 1])));
    i += 2;
  }
  return bytes;
}

}  // namespace skimlet

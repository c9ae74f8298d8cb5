// Text of bytes: hex digits, printable characters, ISO 8859-1 and UTF-8, and the text of SSID bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace skimlet {

using Bytes = std::span<const uint8_t>;

// Each byte as two upper-case hex digits joined by Separator: 01 AB gives "01 AB".
std::string BytesToHex(Bytes data, std::string_view separator = " ");
// The first Count bytes; the empty text when Count is not positive or exceeds the bytes given.
std::string BytesToHex(Bytes data, int count, std::string_view separator);
// 0x0050F2 gives "00-50-F2".
std::string OUIToText(uint32_t oui);
// B when 32 < B < 127, else '.'.
char PrintableChar(uint8_t b);
// Every byte as one character of ISO 8859-1, in UTF-8.
std::string Latin1ToUTF8(Bytes data);
// Every byte through PrintableChar.
std::string BytesToPrintable(Bytes data);
// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUTF8(Bytes s);
// The text of SSID bytes: up to the first zero byte; taken as UTF-8 when they are valid UTF-8, otherwise one
// character per byte (ISO 8859-1).
std::string SSIDBytesToText(Bytes bytes);

}  // namespace skimlet

// Reading hexadecimal text typed by a user or given on a command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet {

// Hex digits with optional blanks, tabs, newlines, ':' or '-' between byte pairs ("00 03 41", "000341",
// "00:03:41"). A byte's two digits must stand together. On failure, Error says what is wrong and where.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text, std::string* error = nullptr);

}  // namespace skimlet

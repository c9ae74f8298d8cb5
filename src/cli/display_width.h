// How many terminal columns a text takes: wide East Asian characters and emoji take two, combining marks and
// zero-width characters none, everything else one. The table's columns line up by it.
#pragma once

#include <cstddef>
#include <string_view>

namespace skimlet::cli {

// Columns of one character.
int CharacterWidth(char32_t c);
// Columns of UTF-8 text; a byte that is not UTF-8 counts as one.
size_t DisplayWidth(std::string_view text);

}  // namespace skimlet::cli

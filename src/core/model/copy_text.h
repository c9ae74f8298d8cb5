// The text the network list puts on the clipboard: cells separated by a TAB, so that a paste lands in the
// columns of a spreadsheet, and lines ended by CR LF. A cell holding a TAB, a quote or a line break is quoted
// (doubled quotes inside), so that it stays one field.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace skimlet {

class TWLANNetwork;

inline constexpr char kCopySeparator = '\t';
inline constexpr std::string_view kCopyLineBreak = "\r\n";

// One cell as a field of a copied line.
std::string CopyField(std::string_view cell);

// Copy line (and the one-column copy): per network, the non-empty cells of Columns in the given order, one
// field each (empty cells yield no field); networks without any text give no line. No final line break.
std::string CopyLinesText(std::span<const TWLANNetwork* const> networks, std::span<const int> columns);

// Copy all: per network one line of every cell from column First to column Last, empty ones included, so
// that each column stays in its own field. No final line break.
std::string CopyAllText(std::span<const TWLANNetwork* const> networks, int first, int last);

}  // namespace skimlet

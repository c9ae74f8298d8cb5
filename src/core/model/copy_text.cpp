#include "core/model/copy_text.h"

#include "core/model/columns.h"
#include "core/model/network.h"

namespace skimlet {

std::string CopyField(std::string_view cell) {
  if (cell.find_first_of("\t\"\r\n") == std::string_view::npos) return std::string(cell);
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CopyLinesText(std::span<const TWLANNetwork* const> networks, std::span<const int> columns) {
  std::string text;
  bool firstLine = true;
  for (const TWLANNetwork* n : networks) {
    if (!n) continue;
    std::string line;
    for (int column : columns) {
      const std::string cell = NetworkCellText(*n, column);
      if (cell.empty()) continue;
      if (!line.empty()) line += kCopySeparator;
      line += CopyField(cell);
    }
    if (line.empty()) continue;
    if (!firstLine) text += kCopyLineBreak;
    text += line;
    firstLine = false;
  }
  return text;
}

std::string CopyAllText(std::span<const TWLANNetwork* const> networks, int first, int last) {
  std::string text;
  bool firstLine = true;
  for (const TWLANNetwork* n : networks) {
    if (!n) continue;
    if (!firstLine) text += kCopyLineBreak;
    firstLine = false;
    for (int column = first; column <= last; ++column) {
      if (column > first) text += kCopySeparator;
      text += CopyField(NetworkCellText(*n, column));
    }
  }
  return text;
}

}  // namespace skimlet

// Tables written to files: tab-separated text, CSV, an HTML fragment and RTF, from a plain table (titles,
// alignments, widths, rows of cell texts, a level per row), so that every table and tree of the program
// exports the same way.
//
// Texts are UTF-8 (a byte that is not UTF-8 becomes U+FFFD). Text and CSV: lines end with CR LF; a cell holding
// the separator, a double quotation mark, CR or LF is enclosed in double quotation marks with every quotation
// mark inside doubled; a cell of a text column that starts with "=", "+", "-", "@", TAB or CR gets a leading
// "'" so that a spreadsheet takes it as text, not as a formula. CSV starts with a UTF-8 byte-order mark, which
// spreadsheets need to read it as UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/columns.h"

namespace skimlet::report {

enum class TExportFormat { Text, Csv, Html, Rtf };

// The file-name extension of a format, without the dot ("txt", "csv", "htm", "rtf").
std::string_view ExportExtension(TExportFormat format);

// What a column holds, for spreadsheets: a Text cell that looks like a formula is made inert; a Number cell
// (a value the program formats itself, such as "-67 dBm") is written as it is.
enum class TCellKind { Text, Number };

struct TExportColumn {
  std::string Title;
  TColumnAlignment Alignment = TColumnAlignment::Left;
  int32_t Width = 100;  // pixels
  TCellKind Kind = TCellKind::Text;
};

struct TExportRow {
  int Level = 0;  // 0 for a top-level row
  std::vector<std::string> Cells;
};

// A table has columns and one cell per column in each row; a tree (such as the element tree) has no columns
// and one cell per row, indented by its level.
struct TExportTable {
  std::vector<TExportColumn> Columns;
  std::vector<TExportRow> Rows;
  bool IsTree() const { return Columns.empty(); }
};

// The kind of a network-list column: the numbers, rates and times the program formats are Number; the rest
// (SSID, comment, vendor, device strings, country and the other names) is Text.
TCellKind NetworkColumnKind(TNetworkColumn column);

std::string RenderText(const TExportTable& table);  // tab-separated
std::string RenderCsv(const TExportTable& table);   // ";"-separated, with a byte-order mark
std::string RenderHtml(const TExportTable& table);  // a fragment: META charset, style sheet, table
std::string RenderRtf(const TExportTable& table);
std::string RenderTable(const TExportTable& table, TExportFormat format);

// The export file: the rendered table written atomically; an empty text or the reason of the failure (an
// existing file is then left as it was).
std::string WriteTableExport(const TExportTable& table, TExportFormat format, const std::filesystem::path& file);

}  // namespace skimlet::report

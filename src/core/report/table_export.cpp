#include "core/report/table_export.h"

#include <algorithm>
#include <cstdio>

#include "core/base/atomic_file.h"
#include "core/base/safe_text.h"
#include "core/base/utf8.h"
#include "core/report/template.h"

namespace skimlet::report {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUTF8ByteOrderMark = "\xEF\xBB\xBF";

int DeepestLevel(const TExportTable& table) {
  int deepest = 0;
  for (const TExportRow& r : table.Rows) deepest = std::max(deepest, r.Level);
  return deepest;
}

const std::string& CellAt(const TExportRow& row, size_t i) {
  static const std::string empty;
  return i < row.Cells.size() ? row.Cells[i] : empty;
}

bool LooksLikeFormula(std::string_view cell) {
  if (cell.empty()) return false;
  const char c = cell.front();
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// True for the characters a text file must not carry raw: what a terminal acts on (ESC, BEL, the other C0
// controls but TAB and line breaks, which quoting keeps in the cell; DEL; C1, among them the 8-bit CSI) and
// what reorders or breaks the text around it (see safe_text.h).
bool UnsafeInTextFile(char32_t c) { return c != '\t' && c != '\r' && c != '\n' && IsUnsafeCodePoint(c); }

// Text with those characters as the visible codes \xNN (below U+0080) and \uNNNN.
std::string VisibleControls(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size();) {
    size_t length = 1;
    const char32_t c = DecodeUTF8(text, i, length);
    if (c != kBadCharacter && UnsafeInTextFile(c)) {
      char code[16];
      std::snprintf(code, sizeof code, c < 0x80 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
      out += code;
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

bool HasUnsafeControls(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 0x20 && b < 0x7F) {
      ++i;
      continue;
    }
    size_t length = 1;
    const char32_t c = DecodeUTF8(text, i, length);
    if (c != kBadCharacter && UnsafeInTextFile(c)) return true;
    i += length;
  }
  return false;
}

void AppendDelimitedCell(std::string& out, std::string_view raw, char separator, TCellKind kind) {
  bool quote = false, ascii = true;
  for (const char c : raw) {
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    else if (c == separator || c == '"' || c == '\r' || c == '\n') quote = true;
  }
  std::string repaired;
  std::string_view cell = raw;
  if (!ascii && !IsWellFormedUTF8(raw)) {
    repaired = ValidUTF8(raw);
    cell = repaired;
  }
  if (HasUnsafeControls(cell)) {
    repaired = VisibleControls(cell);
    cell = repaired;
  }
  const bool inert = kind == TCellKind::Text && LooksLikeFormula(cell);
  if (quote) out += '"';
  if (inert) out += '\'';
  if (!quote) {
    out += cell;
    return;
  }
  for (const char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string RenderDelimited(const TExportTable& table, char separator, bool byteOrderMark) {
  std::string out;
  size_t estimate = 64;
  for (const TExportRow& row : table.Rows)
    for (const std::string& cell : row.Cells) estimate += cell.size() + 1;
  out.reserve(estimate + estimate / 8);
  if (byteOrderMark) out += kUTF8ByteOrderMark;
  const int deepest = DeepestLevel(table);
  if (table.IsTree()) {
    for (const TExportRow& row : table.Rows) {
      out.append(static_cast<size_t>(std::max(row.Level, 0)), separator);
      AppendDelimitedCell(out, CellAt(row, 0), separator, TCellKind::Text);
      out += kLineEnd;
    }
    return out;
  }
  for (size_t c = 0; c < table.Columns.size(); ++c) {
    if (c > 0) out += separator;
    AppendDelimitedCell(out, table.Columns[c].Title, separator, TCellKind::Text);
  }
  out += kLineEnd;
  for (const TExportRow& row : table.Rows) {
    const int level = std::clamp(row.Level, 0, deepest);
    out.append(static_cast<size_t>(level), separator);
    for (size_t c = 0; c < table.Columns.size(); ++c) {
      if (c > 0) out += separator;
      AppendDelimitedCell(out, CellAt(row, c), separator, table.Columns[c].Kind);
      if (c == 0) out.append(static_cast<size_t>(deepest - level), separator);
    }
    out += kLineEnd;
  }
  return out;
}

std::string_view CssAlignment(TColumnAlignment a) {
  switch (a) {
    case TColumnAlignment::Right: return "right";
    case TColumnAlignment::Center: return "center";
    default: return "left";
  }
}

std::string_view RtfAlignment(TColumnAlignment a) {
  switch (a) {
    case TColumnAlignment::Right: return "\\qr";
    case TColumnAlignment::Center: return "\\qc";
    default: return "\\ql";
  }
}

void AppendRtfUnit(std::string& out, unsigned unit) {
  // \uN takes a signed 16-bit number; "?" is what a reader without Unicode shows.
  out += "\\u";
  out += std::to_string(unit >= 0x8000 ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
  out += '?';
}

// Escapes Text for RTF: "\\", "{" and "}" escaped, TAB and line breaks as control words, every other
// character past ASCII as \uN? (two of them, a UTF-16 surrogate pair, past U+FFFF). A run of such characters
// stands in a group of its own, which readers that skip text after \u cope with as well.
void AppendRtfText(std::string& out, std::string_view text) {
  bool inRun = false;
  const auto endRun = [&] {
    if (inRun) out += '}';
    inRun = false;
  };
  size_t i = 0;
  while (i < text.size()) {
    size_t length;
    char32_t cp = DecodeUTF8(text, i, length);
    if (cp == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      continue;  // CR LF is one line break
    }
    i += length;
    if (cp == kBadCharacter || cp < 0x09 || (cp > 0x0D && cp < 0x20) || cp == 0x0B || cp == 0x0C || cp == 0x7F ||
        (cp >= 0x80 && cp <= 0x9F))
      cp = kReplacementCharacter;
    if (cp >= 0x80) {
      if (!inRun) out += '{';
      inRun = true;
      if (cp < 0x10000) {
        AppendRtfUnit(out, static_cast<unsigned>(cp));
      } else {
        const unsigned v = static_cast<unsigned>(cp) - 0x10000;
        AppendRtfUnit(out, 0xD800 + (v >> 10));
        AppendRtfUnit(out, 0xDC00 + (v & 0x3FF));
      }
      continue;
    }
    endRun();
    switch (cp) {
      case '\\': out += "\\\\"; break;
      case '{': out += "\\{"; break;
      case '}': out += "\\}"; break;
      case '\t': out += "\\tab "; break;
      case '\n':
      case '\r': out += "\\line "; break;
      default: out += static_cast<char>(cp);
    }
  }
  endRun();
}

constexpr int kTwipsPerPixel = 15;  // at 96 pixels per inch

void AppendRtfRow(std::string& out, const std::vector<int>& rightEdges, const std::vector<TColumnAlignment>& align,
                  const std::vector<std::string_view>& cells, bool header, int indentTwips) {
  out += "\\trowd\\trgaph60\\trleft0";
  if (header) out += "\\trhdr";
  for (const int edge : rightEdges) {
    out += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
    if (header) out += "\\clcbpat2";
    out += "\\cellx" + std::to_string(edge);
  }
  out += '\n';
  for (size_t c = 0; c < rightEdges.size(); ++c) {
    out += "\\pard\\intbl";
    out += RtfAlignment(c < align.size() ? align[c] : TColumnAlignment::Left);
    if (indentTwips > 0) out += "\\li" + std::to_string(indentTwips);
    // No group around the text: some readers drop a "\\{" that opens a group.
    out += header ? "\\b " : " ";
    AppendRtfText(out, c < cells.size() ? cells[c] : std::string_view());
    out += header ? "\\b0\\cell\n" : "\\cell\n";
  }
  out += "\\row\n";
}

}  // namespace

std::string_view ExportExtension(TExportFormat format) {
  switch (format) {
    case TExportFormat::Csv: return "csv";
    case TExportFormat::Html: return "htm";
    case TExportFormat::Rtf: return "rtf";
    default: return "txt";
  }
}

TCellKind NetworkColumnKind(TNetworkColumn column) {
  return NetworkColumnInfo(column).NumericCell ? TCellKind::Number : TCellKind::Text;
}

std::string RenderText(const TExportTable& table) { return RenderDelimited(table, '\t', false); }

std::string RenderCsv(const TExportTable& table) { return RenderDelimited(table, ';', true); }

std::string RenderHtml(const TExportTable& table) {
  std::string out =
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
      "<style type=\"text/css\">\n"
      ".default { font-family: \"Segoe UI\", \"Noto Sans\", \"DejaVu Sans\", sans-serif; font-size: 9pt; }\n"
      ".header { font-weight: bold; background-color: #f0f0f0; }\n"
      ".noborder { border: none; padding: 2px 4px; width: 12px; }\n"
      ".normalborder { border: 1px solid #d0d0d0; padding: 2px 4px; vertical-align: top; white-space: pre-wrap; }\n"
      "</style>\n"
      "<table class=\"default\" style=\"border-collapse: collapse\" cellspacing=\"0\">\n";
  const int deepest = DeepestLevel(table);
  if (!table.IsTree()) {
    out += "<tr class=\"header\">";
    for (const TExportColumn& c : table.Columns) {
      out += "<th class=\"normalborder\" style=\"text-align: ";
      out += CssAlignment(c.Alignment);
      out += "; width: " + std::to_string(std::max(c.Width, 0)) + "px; height: 20px\">";
      AppendHtmlEscaped(out, c.Title);
      out += "</th>";
    }
    out += "</tr>\n";
  }
  for (const TExportRow& row : table.Rows) {
    const int level = std::clamp(row.Level, 0, deepest);
    out += "<tr class=\"default\">";
    for (int l = 0; l < level; ++l) out += "<td class=\"noborder\"></td>";
    if (table.IsTree()) {
      out += "<td class=\"normalborder\"";
      if (deepest - level > 0) out += " colspan=\"" + std::to_string(deepest - level + 1) + "\"";
      out += '>';
      AppendHtmlEscaped(out, CellAt(row, 0));
      out += "</td>";
    } else {
      for (size_t c = 0; c < table.Columns.size(); ++c) {
        out += "<td class=\"normalborder\" style=\"text-align: ";
        out += CssAlignment(table.Columns[c].Alignment);
        out += '"';
        if (c == 0 && deepest - level > 0) out += " colspan=\"" + std::to_string(deepest - level + 1) + "\"";
        out += '>';
        AppendHtmlEscaped(out, CellAt(row, c));
        out += "</td>";
      }
    }
    out += "</tr>\n";
  }
  out += "</table>\n";
  return out;
}

std::string RenderRtf(const TExportTable& table) {
  // A4 landscape, 720-twip margins; grey for the header cells.
  std::string out =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
      "{\\colortbl;\\red0\\green0\\blue0;\\red240\\green240\\blue240;}\n"
      "\\paperw16838\\paperh11906\\landscape\\margl720\\margr720\\margt720\\margb720\n"
      "\\f0\\fs18\n";
  std::vector<int> edges;
  std::vector<TColumnAlignment> align;
  if (table.IsTree()) {
    edges.push_back(16838 - 2 * 720);
    align.push_back(TColumnAlignment::Left);
    for (const TExportRow& row : table.Rows)
      AppendRtfRow(out, edges, align, {CellAt(row, 0)}, false, std::max(row.Level, 0) * 360);
  } else {
    int edge = 0;
    for (const TExportColumn& c : table.Columns) {
      edge += std::max(c.Width, 1) * kTwipsPerPixel;
      edges.push_back(edge);
      align.push_back(c.Alignment);
    }
    std::vector<std::string_view> cells;
    for (const TExportColumn& c : table.Columns) cells.push_back(c.Title);
    AppendRtfRow(out, edges, align, cells, true, 0);
    for (const TExportRow& row : table.Rows) {
      cells.clear();
      for (size_t c = 0; c < table.Columns.size(); ++c) cells.push_back(CellAt(row, c));
      AppendRtfRow(out, edges, align, cells, false, std::max(row.Level, 0) * 360);
    }
  }
  out += "\\pard\\par\n}\n";
  return out;
}

std::string RenderTable(const TExportTable& table, TExportFormat format) {
  switch (format) {
    case TExportFormat::Csv: return RenderCsv(table);
    case TExportFormat::Html: return RenderHtml(table);
    case TExportFormat::Rtf: return RenderRtf(table);
    default: return RenderText(table);
  }
}

std::string WriteTableExport(const TExportTable& table, TExportFormat format, const std::filesystem::path& file) {
  std::string error = WriteFileAtomic(file, RenderTable(table, format));
  if (!error.empty()) return "cannot write " + file.string() + ": " + error;
  return {};
}

}  // namespace skimlet::report

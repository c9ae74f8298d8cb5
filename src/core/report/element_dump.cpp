#include "core/report/element_dump.h"

#include <cstdio>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/translate.h"
#include "core/base/utf8.h"
#include "core/hexdump/hex_layout.h"

namespace skimlet::report {

std::string ElementDumpText(std::span<const uint8_t> bytes) { return hexdump::DumpText(bytes); }

std::string WriteElementDump(std::span<const uint8_t> bytes, TDumpFormat format, const std::filesystem::path& file) {
  const std::string error =
      format == TDumpFormat::Text ? WriteFileAtomic(file, ElementDumpText(bytes)) : WriteFileAtomic(file, bytes);
  if (!error.empty()) return "cannot write " + file.string() + ": " + error;
  return {};
}

TExportTable ElementTreeTable(const TIETree& tree) {
  TExportTable table;
  table.Rows.reserve(tree.Count());
  tree.ForEach([&](TIETreeLine line) { table.Rows.push_back({tree.Level(line), {tree.Data(line).Text}}); });
  return table;
}

std::string FileNameTimestamp(LocalDateTime time) {
  const TDateTimeParts p = DecodeLocalDateTime(time);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4d-%.2d-%.2d-%.2d-%.2d-%.2d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                p.Second);
  return buffer;
}

std::string FileNameSafe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t length;
    const char32_t cp = DecodeUTF8(text, i, length);
    if (cp == kBadCharacter) out += "\xEF\xBF\xBD";
    else if (cp == '/' || cp == '\\' || cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 ||
             cp == 0x2029)
      out += '_';
    else out.append(text, i, length);
    i += length;
  }
  return out;
}

std::string FillPattern(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (pattern[i + 1] == 's' && next != args.end()) {
        out += *next++;
        ++i;
        continue;
      }
      if (pattern[i + 1] == '%') {
        out += "%%";
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return out;
}

std::string ProposedExportName(TExportSource source, LocalDateTime time) {
  std::string_view pattern;
  switch (source) {
    case TExportSource::NetworkList: pattern = "Wi-Fi networks %s"; break;
    case TExportSource::CurrentConnection: pattern = "Current connection %s"; break;
    case TExportSource::PhyStatistics: pattern = "Wireless statistics - PHY layer - %s"; break;
    case TExportSource::MacStatistics: pattern = "Wireless statistics - MAC layer -  %s"; break;
    default: pattern = "Export %s"; break;
  }
  return FileNameSafe(FillPattern(Translate(pattern), {FileNameTimestamp(time)}));
}

std::string ProposedElementTreeName(std::string_view ssid, std::string_view bssid, LocalDateTime time) {
  return FileNameSafe(FillPattern(Translate("Information Elements for AP %s [%s] %s"),
                                  {FileNameSafe(ssid), FileNameSafe(bssid), FileNameTimestamp(time)}));
}

std::string ProposedDumpName(std::string_view ssid, std::string_view bssid, LocalDateTime time) {
  return FileNameSafe(FillPattern(Translate("Dump for AP %s [%s] %s"),
                                  {FileNameSafe(ssid), FileNameSafe(bssid), FileNameTimestamp(time)}));
}

}  // namespace skimlet::report

// The element bytes of a network as a file (the hex viewer's text or the bytes themselves), the element tree
// as an export table, and the file names proposed for exports.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "core/base/datetime.h"
#include "core/ie/tree.h"
#include "core/report/table_export.h"

namespace skimlet::report {

enum class TDumpFormat { Text, Binary };

// The hex viewer's text rendering of the bytes (offset, hex digits, characters; CR LF line ends).
std::string ElementDumpText(std::span<const uint8_t> bytes);
// The file: the text rendering, or exactly the bytes (an empty file for none). Written atomically; an empty
// text or the reason of the failure (an existing file is then left as it was).
std::string WriteElementDump(std::span<const uint8_t> bytes, TDumpFormat format, const std::filesystem::path& file);

// The element tree as a table without columns: one row per line, parents before children, with its level.
TExportTable ElementTreeTable(const TIETree& tree);

// The timestamp of proposed names: "2026-12-10-18-05-09" (local time).
std::string FileNameTimestamp(LocalDateTime time);

// A text made fit to stand inside a file name: "/" and "\" as "_", control characters (C0, DEL, C1) and the
// Unicode line separators as "_", bytes that are not UTF-8 as U+FFFD. The result never names a folder.
std::string FileNameSafe(std::string_view text);

// Where a proposed name comes from.
enum class TExportSource { NetworkList, CurrentConnection, PhyStatistics, MacStatistics, Other };

// "Wi-Fi networks 2026-12-10-18-05-09" and the like, through the language lookup.
std::string ProposedExportName(TExportSource source, LocalDateTime time);
// "Information Elements for AP <SSID> [<BSSID>] <timestamp>", SSID and BSSID made file-name safe.
std::string ProposedElementTreeName(std::string_view ssid, std::string_view bssid, LocalDateTime time);
// "Dump for AP <SSID> [<BSSID>] <timestamp>".
std::string ProposedDumpName(std::string_view ssid, std::string_view bssid, LocalDateTime time);

// Pattern with each "%s" replaced in turn by the next argument ("%%" stays as written); missing arguments
// leave their "%s".
std::string FillPattern(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace skimlet::report

// The column registry of the network list: the one description of each column (stable name, title key,
// default width, alignment and visibility, whether it can be hidden, its cell text and its sort order). The
// list, its details, copy, export, the report and skimlet-cli's network table read their columns from here,
// and the default stored layout is built from it. Column numbers are the enum's: a stored layout keeps its
// columns under those numbers, so a column is only ever added at the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/options.h"

namespace skimlet {

class TWLANNetwork;

enum class TNetworkColumn : int {
  Marker,  // the colour swatch and the check box; no text
  SSID,
  BSSID,
  Comment,
  Vendor,
  SignalStrength,
  SignalQuality,
  NetworkType,
  NetworkMode,
  Channel,
  Band,
  Frequency,
  ChannelWidth,
  SpatialStreams,
  ChannelUtilization,
  Clients,
  SecurityMode,
  Encryption,
  Authentication,
  WPS,
  WPSVersion,
  DeviceName,
  DeviceModelName,
  DeviceModelNumber,
  DeviceManufacturer,
  Country,
  AchievableRate,
  MinimumRate,
  MaximumRate,
  SupportedRates,
  FirstSeen,
  LastSeen,
  // Added after the first 32: stored layouts of 32 columns keep their meaning, and these start hidden.
  PMF,
  Roaming,
};
inline constexpr size_t kNetworkColumnCount = static_cast<size_t>(TNetworkColumn::Roaming) + 1;
// The columns a layout written before PMF and Roaming existed has.
inline constexpr size_t kClassicNetworkColumnCount = 32;

// Alignment values as the stored layouts keep them.
enum class TColumnAlignment : int32_t { Left = 0, Right = 1, Center = 2 };

// What a column sorts by.
enum class TColumnSortKey {
  None,             // all rows compare equal
  Text,             // the cell text, ASCII case folded
  ActiveThenValue,  // an active network before an inactive one, then the value
  Number,
  Rate,  // a floating-point rate
  Time,  // a date and time
};

struct TNetworkColumnInfo {
  TNetworkColumn Id;
  // The stable name for scripts ("ssid", "signal", "first_seen"): lower case, words joined by "_", the same
  // in every language and never changed once given.
  std::string_view Name;
  std::string_view TitleKey;  // language key of the title ("ListColumns1")
  int32_t DefaultWidth;
  TColumnAlignment DefaultAlignment;
  TColumnSortKey SortKey;
  // Hidden in the default layout (and where a stored layout does not mention the column).
  bool HiddenByDefault = false;
  // Always shown: the list cannot hide it.
  bool Locked = false;
  // Shows text from outside the program (the air, the vendor database, the user): the list makes its control
  // characters visible.
  bool OutsideText = false;
  // Its cells are numbers with a unit ("-60 dBm", "6 GHz", "12:00:01"): spreadsheet exports keep them apart
  // from plain texts.
  bool NumericCell = false;
  // The cell text; empty for the marker column.
  std::string (*Text)(const TWLANNetwork&) = nullptr;
  // The sort order (negative, 0, positive); all rows equal for the marker column.
  int (*Compare)(const TWLANNetwork&, const TWLANNetwork&) = nullptr;
};

const std::array<TNetworkColumnInfo, kNetworkColumnCount>& NetworkColumns();
const TNetworkColumnInfo& NetworkColumnInfo(TNetworkColumn column);
// The row of a column number (an index into a stored layout); none for a number that is no column.
const TNetworkColumnInfo* NetworkColumnInfoAt(int index);
// The column of a number 0 to kNetworkColumnCount - 1 (an index into a layout), in range or not.
inline TNetworkColumn NetworkColumnAt(size_t index) { return static_cast<TNetworkColumn>(index); }
constexpr int ColumnIndex(TNetworkColumn column) { return static_cast<int>(column); }
std::string_view NetworkColumnName(TNetworkColumn column);
// The column of a stable name; none for a name that is no column.
std::optional<TNetworkColumn> NetworkColumnByName(std::string_view name);
// The title in the current language.
std::string NetworkColumnTitle(TNetworkColumn column);
// The cell text of a column.
std::string NetworkCellText(const TWLANNetwork& network, TNetworkColumn column);
// The cell text of a column number; empty for a number that is no column.
std::string NetworkCellText(const TWLANNetwork& network, int column);
// The sort order of two networks by a column number; 0 for a number that is no column.
int CompareNetworksBy(const TWLANNetwork& a, const TWLANNetwork& b, int column);
// Whether a column number is one the list always shows.
bool NetworkColumnLocked(int column);
// The network list's default stored layout: widths, alignments and visibility from the rows above.
TColumnLayout DefaultNetworkColumnLayout();

}  // namespace skimlet

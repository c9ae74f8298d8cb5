// The columns of the network list by name: the language key of each title, its default width and
// alignment, and what it sorts by. The list, its details, copy, export, the report and skimlet-cli's network
// table all number their columns through this table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
  std::string_view TitleKey;  // language key of the title ("ListColumns1")
  int32_t DefaultWidth;
  TColumnAlignment DefaultAlignment;
  TColumnSortKey SortKey;
  // Hidden in the default layout (and where a stored layout does not mention the column).
  bool HiddenByDefault = false;
};

const std::array<TNetworkColumnInfo, kNetworkColumnCount>& NetworkColumns();
const TNetworkColumnInfo& NetworkColumnInfo(TNetworkColumn column);
// The column of a number 0 to kNetworkColumnCount - 1 (an index into a layout), in range or not.
inline TNetworkColumn NetworkColumnAt(size_t index) { return static_cast<TNetworkColumn>(index); }
constexpr int ColumnIndex(TNetworkColumn column) { return static_cast<int>(column); }
// The stable name of a column for scripts ("ssid", "signal", "first_seen"): lower case, words joined by "_",
// the same in every language and never changed once given.
std::string_view NetworkColumnName(TNetworkColumn column);
// The column of a stable name; none for a name that is no column.
std::optional<TNetworkColumn> NetworkColumnByName(std::string_view name);
// The title in the current language.
std::string NetworkColumnTitle(TNetworkColumn column);
// The cell text of a column: the network's column text.
std::string NetworkCellText(const TWLANNetwork& network, TNetworkColumn column);

}  // namespace skimlet

#include "core/model/columns.h"

#include "core/base/translate.h"
#include "core/model/network.h"

namespace skimlet {

namespace {

using C = TNetworkColumn;
using A = TColumnAlignment;
using S = TColumnSortKey;

constexpr std::array<TNetworkColumnInfo, kNetworkColumnCount> kColumns = {{
    {C::Marker, "ListColumns0", 60, A::Left, S::None, false},
    {C::SSID, "ListColumns1", 170, A::Left, S::Text, false},
    {C::BSSID, "ListColumns2", 130, A::Left, S::Text, false},
    {C::Comment, "ListColumns3", 100, A::Left, S::Text, false},
    {C::Vendor, "ListColumns4", 170, A::Left, S::Text, false},
    {C::SignalStrength, "ListColumns5", 90, A::Right, S::ActiveThenValue, false},
    {C::SignalQuality, "ListColumns6", 110, A::Right, S::ActiveThenValue, false},
    {C::NetworkType, "ListColumns7", 100, A::Left, S::Text, false},
    {C::NetworkMode, "ListColumns8", 100, A::Left, S::Number, false},
    {C::Channel, "ListColumns9", 80, A::Left, S::Number, false},
    {C::Band, "ListColumns10", 70, A::Left, S::Number, false},
    {C::Frequency, "ListColumns11", 90, A::Left, S::Text, false},
    {C::ChannelWidth, "ListColumns12", 90, A::Left, S::Number, false},
    {C::SpatialStreams, "ListColumns13", 65, A::Center, S::Number, false},
    {C::ChannelUtilization, "ListColumns14", 90, A::Right, S::ActiveThenValue, false},
    {C::Clients, "ListColumns15", 65, A::Right, S::ActiveThenValue, false},
    {C::SecurityMode, "ListColumns16", 90, A::Left, S::Text, false},
    {C::Encryption, "ListColumns17", 100, A::Left, S::Text, false},
    {C::Authentication, "ListColumns18", 160, A::Left, S::Text, false},
    {C::WPS, "ListColumns19", 100, A::Left, S::Number, false},
    {C::WPSVersion, "ListColumns20", 70, A::Left, S::Text, false},
    {C::DeviceName, "ListColumns21", 120, A::Left, S::Text, false},
    {C::DeviceModelName, "ListColumns22", 120, A::Left, S::Text, false},
    {C::DeviceModelNumber, "ListColumns23", 100, A::Left, S::Text, false},
    {C::DeviceManufacturer, "ListColumns24", 120, A::Left, S::Text, false},
    {C::Country, "ListColumns25", 65, A::Left, S::Text, false},
    {C::AchievableRate, "ListColumns26", 110, A::Right, S::Rate, false},
    {C::MinimumRate, "ListColumns27", 80, A::Right, S::Rate, false},
    {C::MaximumRate, "ListColumns28", 90, A::Right, S::Rate, false},
    {C::SupportedRates, "ListColumns29", 250, A::Left, S::Text, false},
    {C::FirstSeen, "ListColumns30", 90, A::Left, S::Time, false},
    {C::LastSeen, "ListColumns31", 90, A::Left, S::Time, false},
    {C::PMF, "ListColumns32", 80, A::Left, S::Number, true},
    {C::Roaming, "ListColumns33", 80, A::Left, S::Number, true},
}};

// Stable names, in the order of the columns.
constexpr std::array<std::string_view, kNetworkColumnCount> kNames = {
    "marker",       "ssid",          "bssid",          "comment",         "vendor",       "signal",
    "quality",      "network_type",  "phy_modes",      "channel",         "band",         "frequency",
    "width",        "streams",       "utilization",    "clients",         "security",     "encryption",
    "authentication", "wps",         "wps_version",    "device_name",     "model_name",   "model_number",
    "manufacturer", "country",       "achievable_rate", "min_rate",       "max_rate",     "rates",
    "first_seen",   "last_seen",     "pmf",            "roaming",
};

constexpr bool InEnumOrder() {
  for (size_t i = 0; i < kColumns.size(); ++i)
    if (static_cast<size_t>(kColumns[i].Id) != i) return false;
  return true;
}
static_assert(InEnumOrder());
static_assert(kNetworkColumnCount == static_cast<size_t>(NetworkColumnCount));

}  // namespace

const std::array<TNetworkColumnInfo, kNetworkColumnCount>& NetworkColumns() { return kColumns; }

const TNetworkColumnInfo& NetworkColumnInfo(TNetworkColumn column) {
  return kColumns[static_cast<size_t>(column)];
}

std::string_view NetworkColumnName(TNetworkColumn column) { return kNames[static_cast<size_t>(column)]; }

std::optional<TNetworkColumn> NetworkColumnByName(std::string_view name) {
  for (size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == name) return NetworkColumnAt(i);
  return std::nullopt;
}

std::string NetworkColumnTitle(TNetworkColumn column) { return Translate(NetworkColumnInfo(column).TitleKey); }

std::string NetworkCellText(const TWLANNetwork& network, TNetworkColumn column) {
  return network.GetColumnText(ColumnIndex(column));
}

}  // namespace skimlet

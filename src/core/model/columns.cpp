#include "core/model/columns.h"

#include "core/base/translate.h"
#include "core/model/network.h"

namespace skimlet {

namespace {

using C = TNetworkColumn;
using A = TColumnAlignment;
using S = TColumnSortKey;

constexpr std::array<TNetworkColumnInfo, kNetworkColumnCount> kColumns = {{
    {C::Marker, "ListColumns0", 60, A::Left, S::None},
    {C::SSID, "ListColumns1", 170, A::Left, S::Text},
    {C::BSSID, "ListColumns2", 130, A::Left, S::Text},
    {C::Comment, "ListColumns3", 100, A::Left, S::Text},
    {C::Vendor, "ListColumns4", 170, A::Left, S::Text},
    {C::SignalStrength, "ListColumns5", 90, A::Right, S::ActiveThenValue},
    {C::SignalQuality, "ListColumns6", 110, A::Right, S::ActiveThenValue},
    {C::NetworkType, "ListColumns7", 100, A::Left, S::Text},
    {C::NetworkMode, "ListColumns8", 100, A::Left, S::Number},
    {C::Channel, "ListColumns9", 80, A::Left, S::Number},
    {C::Band, "ListColumns10", 70, A::Left, S::Number},
    {C::Frequency, "ListColumns11", 90, A::Left, S::Text},
    {C::ChannelWidth, "ListColumns12", 90, A::Left, S::Number},
    {C::SpatialStreams, "ListColumns13", 65, A::Center, S::Number},
    {C::ChannelUtilization, "ListColumns14", 90, A::Right, S::ActiveThenValue},
    {C::Clients, "ListColumns15", 65, A::Right, S::ActiveThenValue},
    {C::SecurityMode, "ListColumns16", 90, A::Left, S::Text},
    {C::Encryption, "ListColumns17", 100, A::Left, S::Text},
    {C::Authentication, "ListColumns18", 160, A::Left, S::Text},
    {C::WPS, "ListColumns19", 100, A::Left, S::Number},
    {C::WPSVersion, "ListColumns20", 70, A::Left, S::Text},
    {C::DeviceName, "ListColumns21", 120, A::Left, S::Text},
    {C::DeviceModelName, "ListColumns22", 120, A::Left, S::Text},
    {C::DeviceModelNumber, "ListColumns23", 100, A::Left, S::Text},
    {C::DeviceManufacturer, "ListColumns24", 120, A::Left, S::Text},
    {C::Country, "ListColumns25", 65, A::Left, S::Text},
    {C::AchievableRate, "ListColumns26", 110, A::Right, S::Rate},
    {C::MinimumRate, "ListColumns27", 80, A::Right, S::Rate},
    {C::MaximumRate, "ListColumns28", 90, A::Right, S::Rate},
    {C::SupportedRates, "ListColumns29", 250, A::Left, S::Text},
    {C::FirstSeen, "ListColumns30", 90, A::Left, S::Time},
    {C::LastSeen, "ListColumns31", 90, A::Left, S::Time},
}};

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

std::string NetworkColumnTitle(TNetworkColumn column) { return Translate(NetworkColumnInfo(column).TitleKey); }

std::string NetworkCellText(const TWLANNetwork& network, TNetworkColumn column) {
  return network.GetColumnText(ColumnIndex(column));
}

}  // namespace skimlet

#include "core/model/columns.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/model/network.h"

namespace skimlet {

namespace {

using C = TNetworkColumn;
using A = TColumnAlignment;
using S = TColumnSortKey;
using N = const TWLANNetwork&;

int Sign(int64_t a, int64_t b) { return (a > b) - (a < b); }
int SignF(double a, double b) { return (a > b) - (a < b); }

// Active networks sort above inactive ones; among equals the value decides.
int ActiveFirst(N a, N b, int64_t va, int64_t vb) {
  if (a.Active != b.Active) return a.Active ? 1 : -1;
  return Sign(va, vb);
}

std::string SSIDCell(N n) {
  if (n.SSID.find_first_not_of(' ') == std::string::npos) return Translate("sHiddenNetwork");
  return n.SSID;
}

std::string StreamsCell(N n) {
  return n.TxStreams > 0 && n.RxStreams > 0 ? Format("%dx%d", {n.TxStreams, n.RxStreams}) : std::string();
}

// The compare function of a column that sorts by its cell text.
template <std::string (*Text)(N)>
int ByText(N a, N b) {
  return CompareFoldedText(Text(a), Text(b));
}

// Plain text fields of the record.
template <std::string TWLANNetwork::*Field>
std::string FieldCell(N n) {
  return n.*Field;
}
template <std::string TWLANNetwork::*Field>
int ByField(N a, N b) {
  return CompareFoldedText(a.*Field, b.*Field);
}

// Derived texts of the record.
template <std::string (TWLANNetwork::*Method)() const>
std::string MethodCell(N n) {
  return (n.*Method)();
}

std::string MarkerCell(N) { return {}; }
int Unordered(N, N) { return 0; }

enum : unsigned { kHidden = 1, kLocked = 2, kOutside = 4, kNumeric = 8 };

constexpr TNetworkColumnInfo Row(C id, std::string_view name, std::string_view titleKey, int32_t width, A alignment,
                                 S sortKey, unsigned flags, std::string (*text)(N), int (*compare)(N, N)) {
  return {id,
          name,
          titleKey,
          width,
          alignment,
          sortKey,
          (flags & kHidden) != 0,
          (flags & kLocked) != 0,
          (flags & kOutside) != 0,
          (flags & kNumeric) != 0,
          text,
          compare};
}

// Rows in the order of TNetworkColumn; the static_assert below keeps it so.
constexpr std::array<TNetworkColumnInfo, kNetworkColumnCount> kColumns = {{
    Row(C::Marker, "marker", "ListColumns0", 60, A::Left, S::None, kLocked, MarkerCell, Unordered),
    Row(C::SSID, "ssid", "ListColumns1", 170, A::Left, S::Text, kLocked | kOutside, SSIDCell, ByText<SSIDCell>),
    Row(C::BSSID, "bssid", "ListColumns2", 130, A::Left, S::Text, 0, FieldCell<&TWLANNetwork::BSSIDText>,
        ByField<&TWLANNetwork::BSSIDText>),
    Row(C::Comment, "comment", "ListColumns3", 100, A::Left, S::Text, kOutside, FieldCell<&TWLANNetwork::Comment>,
        ByField<&TWLANNetwork::Comment>),
    Row(C::Vendor, "vendor", "ListColumns4", 170, A::Left, S::Text, kOutside, FieldCell<&TWLANNetwork::Vendor>,
        ByField<&TWLANNetwork::Vendor>),
    Row(
        C::SignalStrength, "signal", "ListColumns5", 90, A::Right, S::ActiveThenValue, kNumeric,
        [](N n) { return n.Active ? std::to_string(n.RSSI) + " dBm" : std::string(); },
        [](N a, N b) { return ActiveFirst(a, b, a.RSSI, b.RSSI); }),
    Row(
        C::SignalQuality, "quality", "ListColumns6", 110, A::Right, S::ActiveThenValue, kNumeric,
        [](N n) { return n.Active ? std::to_string(n.LinkQuality) + "%" : std::string(); },
        [](N a, N b) { return ActiveFirst(a, b, a.LinkQuality, b.LinkQuality); }),
    Row(C::NetworkType, "network_type", "ListColumns7", 100, A::Left, S::Text, 0,
        MethodCell<&TWLANNetwork::BssTypeText>, ByText<MethodCell<&TWLANNetwork::BssTypeText>>),
    Row(C::NetworkMode, "phy_modes", "ListColumns8", 100, A::Left, S::Number, 0,
        MethodCell<&TWLANNetwork::PhyLettersText>,
        [](N a, N b) { return Sign(a.GetHighestPhyType(), b.GetHighestPhyType()); }),
    Row(C::Channel, "channel", "ListColumns9", 80, A::Left, S::Number, kNumeric, MethodCell<&TWLANNetwork::ChannelText>,
        [](N a, N b) { return Sign(a.Channel, b.Channel); }),
    Row(C::Band, "band", "ListColumns10", 70, A::Left, S::Number, 0, MethodCell<&TWLANNetwork::BandText>,
        [](N a, N b) { return Sign(a.Band, b.Band); }),
    Row(C::Frequency, "frequency", "ListColumns11", 90, A::Left, S::Text, kNumeric,
        MethodCell<&TWLANNetwork::FrequencyText>, ByText<MethodCell<&TWLANNetwork::FrequencyText>>),
    Row(C::ChannelWidth, "width", "ListColumns12", 90, A::Left, S::Number, kNumeric,
        MethodCell<&TWLANNetwork::WidthText>, [](N a, N b) { return Sign(a.ChannelWidth, b.ChannelWidth); }),
    Row(C::SpatialStreams, "streams", "ListColumns13", 65, A::Center, S::Number, kNumeric, StreamsCell,
        [](N a, N b) { return Sign(int64_t{a.TxStreams} + a.RxStreams, int64_t{b.TxStreams} + b.RxStreams); }),
    Row(
        C::ChannelUtilization, "utilization", "ListColumns14", 90, A::Right, S::ActiveThenValue, kNumeric,
        [](N n) {
          return n.Active && n.ChannelUtilization >= 0 ? std::to_string(n.ChannelUtilization) + "%" : std::string();
        },
        [](N a, N b) { return ActiveFirst(a, b, a.ChannelUtilization, b.ChannelUtilization); }),
    Row(
        C::Clients, "clients", "ListColumns15", 65, A::Right, S::ActiveThenValue, kNumeric,
        [](N n) { return n.Active && n.StationCount >= 0 ? std::to_string(n.StationCount) : std::string(); },
        [](N a, N b) { return ActiveFirst(a, b, a.StationCount, b.StationCount); }),
    Row(C::SecurityMode, "security", "ListColumns16", 90, A::Left, S::Text, 0,
        MethodCell<&TWLANNetwork::SecurityModeText>, ByText<MethodCell<&TWLANNetwork::SecurityModeText>>),
    Row(C::Encryption, "encryption", "ListColumns17", 100, A::Left, S::Text, 0, MethodCell<&TWLANNetwork::CipherText>,
        ByText<MethodCell<&TWLANNetwork::CipherText>>),
    Row(C::Authentication, "authentication", "ListColumns18", 160, A::Left, S::Text, 0,
        MethodCell<&TWLANNetwork::AuthenticationText>, ByText<MethodCell<&TWLANNetwork::AuthenticationText>>),
    Row(C::WPS, "wps", "ListColumns19", 100, A::Left, S::Number, 0, MethodCell<&TWLANNetwork::WPSStateText>,
        [](N a, N b) { return Sign(a.WPSState, b.WPSState); }),
    Row(C::WPSVersion, "wps_version", "ListColumns20", 70, A::Left, S::Text, kOutside,
        FieldCell<&TWLANNetwork::WPSVersion>, ByField<&TWLANNetwork::WPSVersion>),
    Row(C::DeviceName, "device_name", "ListColumns21", 120, A::Left, S::Text, kOutside,
        FieldCell<&TWLANNetwork::DeviceName>, ByField<&TWLANNetwork::DeviceName>),
    Row(C::DeviceModelName, "model_name", "ListColumns22", 120, A::Left, S::Text, kOutside,
        FieldCell<&TWLANNetwork::DeviceModelName>, ByField<&TWLANNetwork::DeviceModelName>),
    Row(C::DeviceModelNumber, "model_number", "ListColumns23", 100, A::Left, S::Text, kOutside,
        FieldCell<&TWLANNetwork::DeviceModelNumber>, ByField<&TWLANNetwork::DeviceModelNumber>),
    Row(C::DeviceManufacturer, "manufacturer", "ListColumns24", 120, A::Left, S::Text, kOutside,
        FieldCell<&TWLANNetwork::DeviceManufacturer>, ByField<&TWLANNetwork::DeviceManufacturer>),
    Row(C::Country, "country", "ListColumns25", 65, A::Left, S::Text, kOutside, FieldCell<&TWLANNetwork::CountryCode>,
        ByField<&TWLANNetwork::CountryCode>),
    Row(
        C::AchievableRate, "achievable_rate", "ListColumns26", 110, A::Right, S::Rate, kNumeric,
        [](N n) { return n.Active && n.AchievableRate > 0 ? RateText(n.AchievableRate) + " Mbps" : std::string(); },
        [](N a, N b) { return SignF(a.AchievableRate, b.AchievableRate); }),
    Row(
        C::MinimumRate, "min_rate", "ListColumns27", 80, A::Right, S::Rate, kNumeric,
        [](N n) { return RateText(n.MinRate) + " Mbps"; }, [](N a, N b) { return SignF(a.MinRate, b.MinRate); }),
    Row(
        C::MaximumRate, "max_rate", "ListColumns28", 90, A::Right, S::Rate, kNumeric,
        [](N n) { return RateText(n.MaxRate) + " Mbps"; }, [](N a, N b) { return SignF(a.MaxRate, b.MaxRate); }),
    Row(C::SupportedRates, "rates", "ListColumns29", 250, A::Left, S::Text, kNumeric,
        MethodCell<&TWLANNetwork::RatesText>, ByText<MethodCell<&TWLANNetwork::RatesText>>),
    Row(
        C::FirstSeen, "first_seen", "ListColumns30", 90, A::Left, S::Time, kNumeric,
        [](N n) { return SeenTimeText(n.FirstSeen, SeenTimeNow()); },
        [](N a, N b) { return SignF(a.FirstSeen, b.FirstSeen); }),
    Row(
        C::LastSeen, "last_seen", "ListColumns31", 90, A::Left, S::Time, kNumeric,
        [](N n) { return SeenTimeText(n.LastSeen, SeenTimeNow()); },
        [](N a, N b) { return SignF(a.LastSeen, b.LastSeen); }),
    Row(C::PMF, "pmf", "ListColumns32", 80, A::Left, S::Number, kHidden, MethodCell<&TWLANNetwork::PMFText>,
        [](N a, N b) { return Sign(a.PMF, b.PMF); }),
    Row(C::Roaming, "roaming", "ListColumns33", 80, A::Left, S::Number, kHidden, MethodCell<&TWLANNetwork::RoamingText>,
        [](N a, N b) { return Sign(a.Roaming, b.Roaming); }),
}};

// Every row at the place of its column. (Whether a row has its functions is no constant expression under
// the sanitizers; the column tests call every one of them.)
constexpr bool InEnumOrder() {
  for (size_t i = 0; i < kColumns.size(); ++i)
    if (static_cast<size_t>(kColumns[i].Id) != i) return false;
  return true;
}
static_assert(InEnumOrder());
static_assert(kNetworkColumnCount == static_cast<size_t>(NetworkColumnCount));

// The options hold the list's stored layout but lie below this registry: it hands over its defaults.
const bool kDefaultsHandedOver = (SetNetworkListDefaults(&DefaultNetworkColumnLayout), true);

}  // namespace

const std::array<TNetworkColumnInfo, kNetworkColumnCount>& NetworkColumns() {
  (void)kDefaultsHandedOver;
  return kColumns;
}

const TNetworkColumnInfo& NetworkColumnInfo(TNetworkColumn column) { return kColumns[static_cast<size_t>(column)]; }

const TNetworkColumnInfo* NetworkColumnInfoAt(int index) {
  if (index < 0 || static_cast<size_t>(index) >= kColumns.size()) return nullptr;
  return &kColumns[static_cast<size_t>(index)];
}

std::string_view NetworkColumnName(TNetworkColumn column) { return NetworkColumnInfo(column).Name; }

std::optional<TNetworkColumn> NetworkColumnByName(std::string_view name) {
  for (const TNetworkColumnInfo& c : kColumns)
    if (c.Name == name) return c.Id;
  return std::nullopt;
}

std::string NetworkColumnTitle(TNetworkColumn column) { return Translate(NetworkColumnInfo(column).TitleKey); }

std::string NetworkCellText(const TWLANNetwork& network, TNetworkColumn column) {
  return NetworkColumnInfo(column).Text(network);
}

std::string NetworkCellText(const TWLANNetwork& network, int column) {
  const TNetworkColumnInfo* c = NetworkColumnInfoAt(column);
  return c ? c->Text(network) : std::string();
}

int CompareNetworksBy(const TWLANNetwork& a, const TWLANNetwork& b, int column) {
  const TNetworkColumnInfo* c = NetworkColumnInfoAt(column);
  return c ? c->Compare(a, b) : 0;
}

bool NetworkColumnLocked(int column) {
  const TNetworkColumnInfo* c = NetworkColumnInfoAt(column);
  return c && c->Locked;
}

TColumnLayout DefaultNetworkColumnLayout() {
  TColumnLayout layout = DefaultColumnLayout(kColumns.size());
  for (size_t i = 0; i < kColumns.size(); ++i) {
    layout[i].Width = kColumns[i].DefaultWidth;
    layout[i].Alignment = static_cast<int32_t>(kColumns[i].DefaultAlignment);
    layout[i].Visible = !kColumns[i].HiddenByDefault;
    layout[i].Locked = kColumns[i].Locked;
  }
  return layout;
}

}  // namespace skimlet

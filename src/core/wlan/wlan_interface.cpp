#include "core/wlan/wlan_interface.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/settings/options.h"

namespace skimlet {

namespace {
constexpr uint32_t kClientVersion = 1;
constexpr int64_t kForgetScanRequestAfterSeconds = 30;
// PHY types whose radio state is kept: OFDM (a), HR/DSSS (b), ERP (g), HT (n), VHT (ac), HE (ax) and EHT (be).
bool KeepsRadioState(uint32_t phyType) {
  return (phyType >= 4 && phyType <= 8) || phyType == kPhyHE || phyType == kPhyEHT;
}
}  // namespace

std::string InterfaceStateText(uint32_t state) {
  static const char* const kKeys[] = {
      "swlan_interface_state_not_ready",
      "swlan_interface_state_connected",
      "swlan_interface_state_ad_hoc_network_formed",
      "swlan_interface_state_disconnecting",
      "swlan_interface_state_disconnected",
      "swlan_interface_state_associating",
      "swlan_interface_state_discovering",
      "swlan_interface_state_authenticating",
  };
  if (state < std::size(kKeys)) return Translate(kKeys[state]);
  return Format(Translate("swlan_interface_state_unknown_state"), {state});
}

// TWLANInterface ---------------------------------------------------------------------------------------------

TWLANInterface::TWLANInterface(TWLANInterfaces& interfaces)
    : Interfaces(&interfaces),
      Networks(std::make_unique<TWLANNetworkList>(interfaces.Options(), interfaces.SettingsFolder())),
      IPStatistics(std::make_unique<TIPStatistics>(this, interfaces.OnIPStatisticsChange)),
      Statistics(std::make_unique<TWLANStatistics>(this, interfaces.OnStatisticsChange)),
      Connection(std::make_unique<TWLANConnection>(this, interfaces.OnConnectionChange)),
      OnRadioStateChange(interfaces.OnRadioStateChange),
      Profiles(std::make_unique<TWLANProfiles>(this, interfaces.OnProfilesChange)),
      OnPropertiesChange(interfaces.OnPropertiesChange) {
  Networks->OnChange = interfaces.OnNetworkListChange;
  Networks->OnVendorError = interfaces.OnVendorError;
  Networks->FetchBssList = [this](std::vector<uint8_t>& block) {
    return Service().GetNetworkBssList(GUID, nullptr, 3, false, block);
  };
}

TWLANInterface::~TWLANInterface() = default;

WlanService& TWLANInterface::Service() const { return Interfaces->Service(); }

void TWLANInterface::UpdateProperties() {
  auto query = [this](uint32_t opcode) -> uint32_t {
    WlanBlock block;
    if (Service().QueryInterface(GUID, opcode, block) != 0) return 0;
    return DecodeUInt32Value(block).value_or(0);
  };
  State = query(kOpcodeInterfaceState);
  AutoConfEnabled = query(kOpcodeAutoConfEnabled) != 0;
  MediaStreamingMode = query(kOpcodeMediaStreamingMode) != 0;
  BackgroundScanEnabled = query(kOpcodeBackgroundScanEnabled) != 0;
  if (OnPropertiesChange) OnPropertiesChange(*this);
}

bool TWLANInterface::IsConnected() const { return Connection->State == kInterfaceConnected; }

void TWLANInterface::RefreshNetworks() { Networks->Refresh(Interfaces->Now()); }

void TWLANInterface::RederiveNetworks() { Networks->Merge(); }

bool TWLANInterface::Connect(const TWLANNetwork& network) {
  WlanResult result = Service().Connect(GUID, ConnectionParametersFor(network));
  if (Interfaces->Options().bShowScanDebugInLOG && Interfaces->OnDebugMessage) {
    if (result != 0) Interfaces->OnDebugMessage(Format("WlanConnect is failed. Error %d", {result}), "Error");
    else Interfaces->OnDebugMessage("WlanConnect is successful.", "Success");
  }
  return result == 0;
}

bool TWLANInterface::Disconnect() { return Service().Disconnect(GUID) == 0; }

void TWLANInterface::UpdateRadioState() {
  RadioStates.fill({});
  WlanBlock radioBlock, capabilityBlock;
  if (Service().QueryInterface(GUID, kOpcodeRadioState, radioBlock) != 0) return;
  auto radio = WLAN_RADIO_STATE::Decode(radioBlock);
  if (!radio) return;
  if (Service().GetInterfaceCapability(GUID, capabilityBlock) != 0) return;
  auto capability = WLAN_INTERFACE_CAPABILITY::Decode(capabilityBlock);
  if (!capability) return;
  for (const WLAN_PHY_RADIO_STATE& r : radio->PhyRadioState) {
    if (r.dwPhyIndex >= capability->dot11PhyTypes.size()) continue;
    const uint32_t p = capability->dot11PhyTypes[r.dwPhyIndex];
    if (!KeepsRadioState(p)) continue;
    RadioStates[p] = {true, r.dot11SoftwareRadioState, r.dot11HardwareRadioState};
  }
  if (OnRadioStateChange) OnRadioStateChange(*this);
}

void TWLANInterface::SetRadio(bool on) {
  const uint32_t state = on ? kRadioOn : kRadioOff;
  WlanBlock capabilityBlock;
  if (Service().GetInterfaceCapability(GUID, capabilityBlock) != 0) return;
  auto capability = WLAN_INTERFACE_CAPABILITY::Decode(capabilityBlock);
  if (!capability) return;
  for (uint32_t i = 0; i < capability->dot11PhyTypes.size(); ++i)
    Service().SetInterface(GUID, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{i, state, state}.Encode());
}

bool TWLANInterface::IsSoftwareRadioOn() const {
  for (const TRadioState& r : RadioStates)
    if (r.SoftwareState == kRadioOn) return true;
  return false;
}

bool TWLANInterface::IsHardwareRadioOn() const {
  for (const TRadioState& r : RadioStates)
    if (r.HardwareState == kRadioOn) return true;
  return false;
}

std::string TWLANInterface::SaveSnapshot(const std::string& path) {
  return skimlet::SaveSnapshot(*Networks, path, Interfaces->Now());
}

TSnapshotLoadResult TWLANInterface::LoadSnapshot(const std::string& path) {
  return skimlet::LoadSnapshot(*Networks, path);
}

// TWLANInterfaces --------------------------------------------------------------------------------------------

TWLANInterfaces::TWLANInterfaces(WlanService& service, const TProgramOptions& options,
                                 std::filesystem::path settingsFolder, TClock clock)
    : service_(&service), options_(&options), settingsFolder_(std::move(settingsFolder)), clock_(std::move(clock)) {}

TWLANInterfaces::~TWLANInterfaces() {
  OnNetworkListChange = nullptr;
  OnInterfacesChange = nullptr;
  OnStatisticsChange = OnIPStatisticsChange = OnConnectionChange = OnProfilesChange = nullptr;
  OnRadioStateChange = OnPropertiesChange = nullptr;
  OnVendorError = nullptr;
  OnDebugMessage = nullptr;
  relay_.Detach();
  connectionRelay_.Detach();
  if (HandleOpen) {
    service_->RegisterNotification(kNotificationSourceAll, true, nullptr);
    Close();
  }
  Items.clear();
}

void TWLANInterfaces::SetPostScanResults(PostFunction post) { relay_.Attach(std::move(post)); }
void TWLANInterfaces::SetPostConnectionChange(PostFunction post) { connectionRelay_.Attach(std::move(post)); }

bool TWLANInterfaces::Open() {
  HandleOpen = service_->OpenHandle(kClientVersion, NegotiatedVersion) == 0;
  service_->RegisterNotification(
      kNotificationSourceAll, true,
      [scan = relay_.Callback(), connection = connectionRelay_.Callback()](const WlanNotification& n) {
        scan(n);
        connection(n);
      });
  return HandleOpen;
}

void TWLANInterfaces::Close() {
  service_->CloseHandle();
  HandleOpen = false;
}

bool TWLANInterfaces::Enumerate() {
  if (!HandleOpen) Open();
  WlanBlock block;
  if (service_->EnumInterfaces(block) != 0) return false;
  auto list = WLAN_INTERFACE_INFO_LIST::Decode(block);
  if (!list) return false;
  for (const WLAN_INTERFACE_INFO& info : list->InterfaceInfo) {
    auto i = std::make_unique<TWLANInterface>(*this);
    i->Description = info.strInterfaceDescription;
    i->GUID = info.InterfaceGuid;
    i->UpdateProperties();
    // The connection's state tells which interface is connected, so it is known from the start.
    i->UpdateConnection();
    Items.push_back(std::move(i));
  }
  if (OnInterfacesChange) OnInterfacesChange(*this);
  return true;
}

TWLANInterface* TWLANInterfaces::Selected() const {
  if (SelectedIndex < 0 || SelectedIndex >= Count()) return nullptr;
  return Items[static_cast<size_t>(SelectedIndex)].get();
}

int32_t TWLANInterfaces::FirstConnectedIndex() const {
  for (int i = 0; i < Count(); ++i)
    if (Items[static_cast<size_t>(i)]->IsConnected()) return i;
  return -1;
}

bool TWLANInterfaces::RequestScan() {
  const LocalDateTime now = Now();
  if (SecondsBetween(LastScanRequest, now) > kForgetScanRequestAfterSeconds) ScanPending = false;
  if (ScanPending) return false;
  ScanPending = true;
  LastScanRequest = now;
  if (TWLANInterface* i = Selected()) service_->Scan(i->GUID);
  return true;
}

void TWLANInterfaces::TakeScanResults() {
  if (TWLANInterface* i = Selected()) i->RefreshNetworks();
  ScanPending = false;
}

}  // namespace skimlet

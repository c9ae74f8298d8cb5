#include "ui/interface_set.h"

#include "core/base/datetime.h"
#include "core/settings/options.h"

namespace skimlet {

namespace {
constexpr uint32_t kClientVersion = 2;
}

TUiInterfaceSet::TUiInterfaceSet(std::unique_ptr<WlanService> service, bool simulated, const TProgramOptions& options,
                                 std::filesystem::path settingsFolder)
    : Clock(SystemClock()), service_(std::move(service)), simulated_(simulated), options_(options),
      settingsFolder_(std::move(settingsFolder)) {}

TUiInterfaceSet::~TUiInterfaceSet() {
  Relay.Detach();
  if (service_ && open_) {
    service_->RegisterNotification(0, true, nullptr);
    service_->CloseHandle();
  }
  ClearInterfaces();
}

bool TUiInterfaceSet::Open() {
  if (!service_) return false;
  if (open_) return true;
  uint32_t negotiated = 0;
  if (service_->OpenHandle(kClientVersion, negotiated) != WlanError::kSuccess) return false;
  open_ = true;
  service_->RegisterNotification(kNotificationSourceAll, true, Relay.Callback());
  return true;
}

void TUiInterfaceSet::ClearInterfaces() {
  SelectedIndex = -1;
  scanOutstanding_ = false;
  Items.clear();
}

bool TUiInterfaceSet::Enumerate() {
  ClearInterfaces();
  bool ok = false;
  if (open_) {
    WlanBlock block;
    if (service_->EnumInterfaces(block) == WlanError::kSuccess) {
      if (auto list = WLAN_INTERFACE_INFO_LIST::Decode(block)) {
        ok = true;
        for (const auto& info : list->InterfaceInfo) {
          auto itf = std::make_unique<TUiInterface>();
          itf->Guid = info.InterfaceGuid;
          itf->Description = info.strInterfaceDescription;
          itf->State = info.isState;
          itf->Networks = std::make_unique<TWLANNetworkList>(options_, settingsFolder_);
          itf->Networks->OnVendorError = [](const std::string&) {};
          itf->Networks->OnChange = [this](TWLANNetworkList& l) {
            if (OnNetworkListChanged) OnNetworkListChanged(l);
          };
          QueryInterfaceProperties(*itf);
          QueryConnection(*itf);
          Items.push_back(std::move(itf));
        }
      }
    }
  }
  if (OnInterfacesChanged) OnInterfacesChanged();
  return ok;
}

TUiInterface* TUiInterfaceSet::Selected() const {
  if (SelectedIndex < 0 || SelectedIndex >= static_cast<int>(Items.size())) return nullptr;
  return Items[static_cast<size_t>(SelectedIndex)].get();
}

TWLANNetworkList* TUiInterfaceSet::SelectedNetworks() const {
  TUiInterface* itf = Selected();
  return itf ? itf->Networks.get() : nullptr;
}

int TUiInterfaceSet::FirstConnectedIndex() const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i]->State == kInterfaceConnected) return static_cast<int>(i);
  return Items.empty() ? -1 : 0;
}

bool TUiInterfaceSet::RequestScan(TSteadyTime now) {
  TUiInterface* itf = Selected();
  if (!itf || !open_) return false;
  if (scanOutstanding_ && now - scanRequestedAt_ <= kScanTimeout) return false;
  if (service_->Scan(itf->Guid) != WlanError::kSuccess) return false;
  scanOutstanding_ = true;
  scanRequestedAt_ = now;
  return true;
}

void TUiInterfaceSet::RefreshNetworks() {
  scanOutstanding_ = false;
  TUiInterface* itf = Selected();
  if (!itf || !open_) return;
  WlanBlock block;
  if (service_->GetNetworkBssList(itf->Guid, nullptr, 3, false, block) != WlanError::kSuccess) return;
  QueryConnection(*itf);
  TWLANNetworkList& list = *itf->Networks;
  list.ConnectedBSSIDText = itf->Connection ? BSSIDToText(itf->Connection->dot11Bssid) : std::string();
  const LocalDateTime now = Clock();
  list.RefreshTime = now;
  list.SetBssList(std::move(block));
  list.UpdateStatuses(now);
  if (list.OnChange) list.OnChange(list);
}

void TUiInterfaceSet::QueryInterfaceProperties(TUiInterface& itf) {
  if (!open_) return;
  WlanBlock block;
  if (service_->QueryInterface(itf.Guid, kOpcodeInterfaceState, block) == WlanError::kSuccess)
    if (auto v = DecodeUInt32Value(block)) itf.State = *v;
  block.clear();
  if (service_->QueryInterface(itf.Guid, kOpcodeAutoConfEnabled, block) == WlanError::kSuccess)
    if (auto v = DecodeUInt32Value(block)) itf.AutoConfEnabled = *v != 0;
}

void TUiInterfaceSet::QueryRadioState(TUiInterface& itf) {
  itf.Radio.reset();
  if (!open_) return;
  WlanBlock block;
  if (service_->QueryInterface(itf.Guid, kOpcodeRadioState, block) == WlanError::kSuccess)
    itf.Radio = WLAN_RADIO_STATE::Decode(block);
}

void TUiInterfaceSet::QueryConnection(TUiInterface& itf) {
  itf.Connection.reset();
  if (!open_) return;
  WlanBlock block;
  if (service_->QueryInterface(itf.Guid, kOpcodeCurrentConnection, block) != WlanError::kSuccess) return;
  auto attributes = WLAN_CONNECTION_ATTRIBUTES::Decode(block);
  if (attributes && attributes->isState == kInterfaceConnected) itf.Connection = std::move(attributes);
}

void TUiInterfaceSet::RefreshInterfaceState() {
  TUiInterface* itf = Selected();
  if (!itf) return;
  QueryInterfaceProperties(*itf);
  QueryRadioState(*itf);
  QueryConnection(*itf);
}

bool TUiInterfaceSet::AnySoftwareRadioOn() const {
  TUiInterface* itf = Selected();
  if (!itf || !itf->Radio) return false;
  for (const auto& phy : itf->Radio->PhyRadioState)
    if (phy.dot11SoftwareRadioState == kRadioOn) return true;
  return false;
}

bool TUiInterfaceSet::AnyHardwareRadioOn() const {
  TUiInterface* itf = Selected();
  if (!itf || !itf->Radio) return false;
  for (const auto& phy : itf->Radio->PhyRadioState)
    if (phy.dot11HardwareRadioState == kRadioOn) return true;
  return false;
}

void TUiInterfaceSet::SetSoftwareRadio(bool on) {
  TUiInterface* itf = Selected();
  if (!itf || !open_) return;
  if (!itf->Radio) QueryRadioState(*itf);
  if (!itf->Radio) return;
  for (const auto& phy : itf->Radio->PhyRadioState) {
    WLAN_PHY_RADIO_STATE state;
    state.dwPhyIndex = phy.dwPhyIndex;
    state.dot11SoftwareRadioState = on ? kRadioOn : kRadioOff;
    state.dot11HardwareRadioState = phy.dot11HardwareRadioState;
    service_->SetInterface(itf->Guid, kOpcodeRadioState, state.Encode());
  }
  QueryRadioState(*itf);
}

}  // namespace skimlet

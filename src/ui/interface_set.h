// The window's client of the wireless service: the session, the interfaces it reports, the network list of
// each interface, scan requests with their throttle, and the queries the window's timers make. It holds no
// Qt types; the window binds it to its thread through ScanNotificationRelay.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/network_list.h"
#include "core/wlan/service/wlan_service.h"
#include "core/wlan/types/wlan_records.h"

namespace skimlet {

struct TProgramOptions;

// One wireless interface with what the window keeps about it.
struct TUiInterface {
  WLAN_GUID Guid{};
  std::string Description;
  uint32_t State = kInterfaceNotReady;
  bool AutoConfEnabled = true;
  std::optional<WLAN_CONNECTION_ATTRIBUTES> Connection;  // set while connected
  std::optional<WLAN_RADIO_STATE> Radio;
  std::unique_ptr<TWLANNetworkList> Networks;

  bool IsConnected() const { return Connection.has_value(); }
};

class TUiInterfaceSet {
public:
  using TSteadyTime = std::chrono::steady_clock::time_point;
  // A request that has not been answered after this long no longer blocks the next one.
  static constexpr std::chrono::seconds kScanTimeout{30};

  // Service: the session's backend; Simulated: whether it is the simulated radio (the window says so).
  TUiInterfaceSet(std::unique_ptr<WlanService> service, bool simulated, const TProgramOptions& options,
                  std::filesystem::path settingsFolder);
  // Unregisters the notifications, closes the session; each network list writes its text files.
  ~TUiInterfaceSet();
  TUiInterfaceSet(const TUiInterfaceSet&) = delete;
  TUiInterfaceSet& operator=(const TUiInterfaceSet&) = delete;

  bool Simulated() const { return simulated_; }
  bool IsOpen() const { return open_; }
  // Opens the session and registers for notifications; false when the service refuses.
  bool Open();
  // Frees the interfaces and asks the service for them again; false when it cannot list them. Calls
  // OnInterfacesChanged either way.
  bool Enumerate();
  // Frees every interface (the network lists write their text files).
  void ClearInterfaces();

  std::vector<std::unique_ptr<TUiInterface>> Items;
  int SelectedIndex = -1;
  TUiInterface* Selected() const;
  TWLANNetworkList* SelectedNetworks() const;
  // The index of the first connected interface, else 0 (-1 without interfaces).
  int FirstConnectedIndex() const;

  // Asks for a scan of the selected interface unless one is outstanding (forgotten after kScanTimeout).
  // True when a request went out.
  bool RequestScan(TSteadyTime now = std::chrono::steady_clock::now());
  bool ScanOutstanding() const { return scanOutstanding_; }
  // Fetches the selected interface's BSS list, merges it, marks the connected network, samples and counts,
  // then fires the list's OnChange. Clears the outstanding request.
  void RefreshNetworks();
  // Interface properties, radio state and current connection of the selected interface.
  void RefreshInterfaceState();
  void QueryInterfaceProperties(TUiInterface& itf);
  void QueryRadioState(TUiInterface& itf);
  void QueryConnection(TUiInterface& itf);
  // Switches the software radio of every PHY of the selected interface.
  void SetSoftwareRadio(bool on);
  bool AnySoftwareRadioOn() const;
  bool AnyHardwareRadioOn() const;

  // The relay whose callback the service calls; the window attaches its queued post.
  ScanNotificationRelay Relay;
  std::function<void()> OnInterfacesChanged;
  // Installed as OnChange of every network list this set creates.
  std::function<void(TWLANNetworkList&)> OnNetworkListChanged;
  // The clock of the refresh times (tests replace it).
  TClock Clock;

private:
  std::unique_ptr<WlanService> service_;
  bool simulated_;
  const TProgramOptions& options_;
  std::filesystem::path settingsFolder_;
  bool open_ = false;
  bool scanOutstanding_ = false;
  TSteadyTime scanRequestedAt_{};
};

}  // namespace skimlet

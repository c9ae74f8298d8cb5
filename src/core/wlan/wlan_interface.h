// TWLANInterfaces: the program's one client of the wireless LAN service. It opens the session, registers for
// notifications, enumerates the wireless interfaces, keeps which one is selected, throttles scan requests and
// turns "scan complete" notifications into a post to the window thread.
//
// TWLANInterface: one wireless interface with everything kept about it: its network list, connection,
// profiles, statistics, radio state per PHY type and properties.
//
// Threads: everything here runs on one thread (the window thread, or the command line's loop). The only
// exception is the notification callback, which runs on the service's thread and does nothing but call the
// post function given to SetPostScanResults (the receiver then calls TakeScanResults on its own thread) or the
// one given to SetPostConnectionChange (the receiver then updates the connection).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/datetime.h"
#include "core/model/network_list.h"
#include "core/model/snapshot.h"
#include "core/service/wlan_service.h"
#include "core/wlan/wlan_connection.h"
#include "core/wlan/wlan_statistics.h"

namespace skimlet {

struct TProgramOptions;
class TWLANInterfaces;

// The text of an interface state; an unknown state formats swlan_interface_state_unknown_state with it.
std::string InterfaceStateText(uint32_t state);

class TWLANInterface {
 public:
  explicit TWLANInterface(TWLANInterfaces& interfaces);
  ~TWLANInterface();
  TWLANInterface(const TWLANInterface&) = delete;
  TWLANInterface& operator=(const TWLANInterface&) = delete;

  WLAN_GUID GUID{};
  std::string Description;
  uint32_t State = 0;
  TWLANInterfaces* Interfaces;  // the owning set; not owned
  std::unique_ptr<TWLANNetworkList> Networks;
  std::unique_ptr<TIPStatistics> IPStatistics;
  std::unique_ptr<TWLANStatistics> Statistics;
  std::unique_ptr<TWLANConnection> Connection;
  TRadioStates RadioStates{};
  std::function<void(TWLANInterface&)> OnRadioStateChange;
  std::unique_ptr<TWLANProfiles> Profiles;
  std::function<void(TWLANInterface&)> OnPropertiesChange;
  bool BackgroundScanEnabled = false;
  bool MediaStreamingMode = false;
  bool AutoConfEnabled = false;

  WlanService& Service() const;

  // State, auto-configuration, media streaming and background scan (false or 0 when a query fails), then
  // OnPropertiesChange.
  void UpdateProperties();
  std::string StateText() const { return InterfaceStateText(State); }
  // The connection's state is "connected".
  bool IsConnected() const;

  void RefreshNetworks();
  void RederiveNetworks();
  void UpdateConnection() { Connection->Update(); }
  void UpdateProfiles() { Profiles->Update(); }
  void UpdateStatistics() { Statistics->Update(); }
  void UpdateIPStatistics() { IPStatistics->Update(); }

  // Asks the service to connect to Network; true when it accepted the request.
  bool Connect(const TWLANNetwork& network);
  // True when the service disconnected; the caller then updates the connection.
  bool Disconnect();

  // Radio state per PHY type (kept for the types a, b, g, n, ac and ax only), then OnRadioStateChange.
  void UpdateRadioState();
  // Switches the software radio of every PHY on or off; the results are not checked.
  void SetRadio(bool on);
  bool IsSoftwareRadioOn() const;
  bool IsHardwareRadioOn() const;

  // The network list as a snapshot file, and a snapshot file appended to the list.
  std::string SaveSnapshot(const std::string& path);
  TSnapshotLoadResult LoadSnapshot(const std::string& path);
};

class TWLANInterfaces {
 public:
  using PostFunction = ScanNotificationRelay::PostFunction;

  // Service: kept by reference, must outlive the set. Options and SettingsFolder go to every network list.
  // Clock: "now" for the scan throttle and the refreshes.
  TWLANInterfaces(WlanService& service, const TProgramOptions& options, std::filesystem::path settingsFolder = {},
                  TClock clock = SystemClock());
  // Stops the posts, unregisters, closes the session and frees the interfaces.
  ~TWLANInterfaces();
  TWLANInterfaces(const TWLANInterfaces&) = delete;
  TWLANInterfaces& operator=(const TWLANInterfaces&) = delete;

  bool HandleOpen = false;
  uint32_t NegotiatedVersion = 0;
  std::function<void(TWLANNetworkList&)> OnNetworkListChange;
  std::function<void(TWLANInterfaces&)> OnInterfacesChange;
  TWlanObject::ChangeHandler OnStatisticsChange, OnIPStatisticsChange, OnConnectionChange, OnProfilesChange;
  std::function<void(TWLANInterface&)> OnRadioStateChange, OnPropertiesChange;
  // Given to every network list it creates: a vendor lookup that failed (reported once per run of failures).
  std::function<void(const std::string&)> OnVendorError;
  // Messages for the user that the option bShowScanDebugInLOG asks for: text and caption.
  std::function<void(const std::string&, const std::string&)> OnDebugMessage;
  int32_t SelectedIndex = -1;
  bool ScanPending = false;
  LocalDateTime LastScanRequest = 0;
  std::vector<std::unique_ptr<TWLANInterface>> Items;

  WlanService& Service() const { return *service_; }
  const TProgramOptions& Options() const { return *options_; }
  const std::filesystem::path& SettingsFolder() const { return settingsFolder_; }
  LocalDateTime Now() const { return clock_(); }

  // Where "scan results ready" goes. Called on the service's thread; it must only hand the news over to the
  // thread that owns the set. Nothing is posted without one.
  void SetPostScanResults(PostFunction post);
  // Where "a connection attempt or a connection ended" goes (connected, failed or disconnected), under the
  // same rules: the receiver updates the connection on its own thread.
  void SetPostConnectionChange(PostFunction post);

  // Opens the session and registers for notifications (also when the open failed). True when it opened.
  bool Open();
  void Close();
  // Appends one interface per interface the service lists, then OnInterfacesChange. False when the service
  // cannot list them (nothing changes then).
  bool Enumerate();
  int Count() const { return static_cast<int>(Items.size()); }
  void Clear() { Items.clear(); }
  TWLANInterface* Selected() const;
  void SetSelectedIndex(int32_t index) { SelectedIndex = index; }
  int32_t FirstConnectedIndex() const;

  // At most one scan request is outstanding; one unanswered for more than 30 whole seconds is forgotten.
  // True when a request was issued (its result is the service's business).
  bool RequestScan();
  // Refreshes the selected interface's network list and allows the next scan request.
  void TakeScanResults();

 private:
  WlanService* service_;
  const TProgramOptions* options_;
  std::filesystem::path settingsFolder_;
  TClock clock_;
  ScanNotificationRelay relay_;
  ScanNotificationRelay connectionRelay_{ScanNotificationRelay::IsConnectionOutcomeNotification};
};

}  // namespace skimlet

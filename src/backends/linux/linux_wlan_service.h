// The Linux service's class (linux_service.h describes its behaviour). Its kernel devices come from the
// options' KernelDevices, so tests drive it over a fake nl80211 socket and a fake sysfs tree.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "backends/linux/linux_service.h"
#include "backends/linux/netlink_socket.h"
#include "backends/linux/nl80211_parse.h"
#include "backends/linux/nm_client.h"

namespace skimlet::linuxwifi {

class LinuxWlanService : public WlanService {
 public:
  explicit LinuxWlanService(LinuxServiceOptions options);
  ~LinuxWlanService() override;

  WlanResult OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) override;
  WlanResult CloseHandle() override;
  WlanResult RegisterNotification(uint32_t sources, bool ignoreDuplicate, WlanNotificationCallback callback) override;
  WlanResult EnumInterfaces(WlanBlock& interfaceList) override;
  WlanResult Scan(const WLAN_GUID& guid) override;
  WlanResult GetNetworkBssList(const WLAN_GUID& guid, const DOT11_SSID* ssid, uint32_t bssType, bool securityEnabled,
                               WlanBlock& bssList) override;
  WlanResult QueryInterface(const WLAN_GUID& guid, uint32_t opcode, WlanBlock& data) override;
  WlanResult SetInterface(const WLAN_GUID& guid, uint32_t opcode, std::span<const uint8_t> data) override;
  WlanResult GetInterfaceCapability(const WLAN_GUID& guid, WlanBlock& capability) override;
  WlanResult Connect(const WLAN_GUID& guid, const WLAN_CONNECTION_PARAMETERS& p) override;
  WlanResult Disconnect(const WLAN_GUID& guid) override;
  WlanResult GetProfileList(const WLAN_GUID& guid, WlanBlock& profileList) override;
  WlanResult DeleteProfile(const WLAN_GUID& guid, std::string_view name) override;
  WlanResult RenameProfile(const WLAN_GUID& guid, std::string_view oldName, std::string_view newName) override;
  WlanResult SetProfilePosition(const WLAN_GUID& guid, std::string_view name, uint32_t position) override;
  WlanResult EditProfile(uint32_t clientVersion, std::string_view name, const WLAN_GUID& guid, void* parentWindow,
                         uint32_t firstPage, uint32_t& reasonCode) override;
  WlanResult QueryInterfaceIdentity(const WLAN_GUID& guid, WlanInterfaceIdentity& identity) override;

  // The kernel's survey of the interface's channels (NL80211_CMD_GET_SURVEY): noise and channel times per
  // channel as the driver reports them; entries the parser rejects are left out. Beyond WlanService.
  WlanResult ChannelSurveys(const WLAN_GUID& guid, std::vector<ChannelSurvey>& surveys);

  // The service's result of a positive errno.
  static WlanResult ErrnoToResult(int e);

 private:
  struct Interface {
    WLAN_GUID Guid{};
    uint32_t IfIndex = 0;
    std::string Name;
    uint32_t Wiphy = 0;
    std::string WiphyName;
    std::vector<uint32_t> PhyTypes;
    std::string Description;
    bool Connected = false;
  };

  // What the notification thread knows about the interfaces.
  struct Route {
    WLAN_GUID Guid{};
    uint32_t IfIndex = 0;
    std::string Name;
    int Rfkill = -1;
    size_t PhyCount = 0;
  };

  // The caller's side (under lock_).
  WlanResult OpenDevices();
  WlanResult NetworkManagerInterface(const WLAN_GUID& guid, std::string& ifname);
  WlanResult Enter(const WLAN_GUID& guid, Interface*& out);
  int RefreshInterfaces();
  std::optional<InterfaceInfo> InterfaceNow(const Interface& i);
  uint32_t StateOf(const Interface& i);
  int ScanDump(const Interface& i, std::vector<BssRecord>& out);
  void Association(const Interface& i, std::optional<BssRecord>& bss, std::optional<StationInfo>& station);
  size_t ConnectionPhyIndex(const Interface& i, const BssRecord& bss, const StationInfo* sta);
  WlanResult QueryConnection(const Interface& i, uint32_t opcode, WlanBlock& data);
  WLAN_CONNECTION_ATTRIBUTES ConnectionAttributes(const Interface& i, const BssRecord& bss,
                                                  const std::optional<StationInfo>& station);
  std::pair<uint32_t, uint32_t> RadioOf(const Interface& i);
  bool RadioBlocked(const Interface& i);

  // The notification thread.
  void Wake();
  void SendNotice(const std::string& text);
  void Deliver(const WlanNotification& n);
  void NotifyInterface(uint32_t ifindex, uint32_t code);
  void TriggerScan(uint32_t ifindex);
  void OnRfkill();
  void Run();
  void Shutdown();

  LinuxServiceOptions options_;
  std::shared_ptr<KernelDevices> kernel_;
  std::mutex lock_;  // the caller's operations; guards interfaces_ and control_
  std::atomic<bool> open_ = false;
  std::unique_ptr<Nl80211Socket> control_;
  std::vector<Interface> interfaces_;

  std::mutex queueLock_;  // guards scanQueue_, routes_ and stop_
  std::deque<uint32_t> scanQueue_;
  std::vector<Route> routes_;
  std::set<uint32_t> refused_;  // interfaces whose last scan trigger was refused (under queueLock_)
  bool stop_ = false;

  std::mutex callbackLock_;  // held while a notification is delivered
  WlanNotificationCallback callback_;

  std::mutex noticeLock_;
  std::set<std::string> notices_;

  std::mutex nmLock_;  // taken after lock_ when both are held
  NmClient nm_;

  // Used by the notification thread only.
  NmClient scanNm_;  // a bus connection of its own: sd-bus connections belong to one thread
  std::unique_ptr<Nl80211Socket> events_;
  std::unique_ptr<Nl80211Socket> trigger_;
  Fd wake_;
  Fd rfkill_;
  std::thread worker_;
};

}  // namespace skimlet::linuxwifi

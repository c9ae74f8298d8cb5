// A small NetworkManager client over the system bus (sd-bus), for the operations the kernel interface does not
// offer: the stored wireless profiles, connecting, disconnecting, the name of the profile in use and the
// wireless switch.
//
// - Profiles are NetworkManager's 802-11-wireless connections usable on the interface (connection.interface-name
//   empty or equal to it; volatile ones, which end with their connection, left out), in NetworkManager's
//   autoconnect order: connection.autoconnect-priority descending,
//   then the most recently used first (connection.timestamp), then by id. A profile's name is connection.id.
// - Every call has a bounded timeout, so a stuck NetworkManager holds the caller for a few seconds at most.
// - Results are the service's codes: NetworkManager not on the bus → WlanError::kServiceNotActive, a refusal
//   by the system's policy → kAccessDenied, an unknown profile or device → kNotFound, bad arguments →
//   kInvalidParameter, no answer in time → kTimeout.
//
// Not thread-safe: one client is used from one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/service/wlan_service.h"

namespace skimlet::linuxwifi {

// One wireless profile as NetworkManager stores it.
struct NmProfile {
  std::string Path;           // the Settings.Connection object
  std::string Id;             // connection.id, the profile's name
  std::string Uuid;           // connection.uuid
  std::string InterfaceName;  // connection.interface-name; empty: any interface
  std::string Mode;           // 802-11-wireless.mode; empty: infrastructure
  std::vector<uint8_t> Ssid;  // 802-11-wireless.ssid
  int32_t Priority = 0;       // connection.autoconnect-priority
  uint64_t Timestamp = 0;     // connection.timestamp, seconds of the last successful activation
};

// True when A comes before B in NetworkManager's autoconnect order.
bool NmProfileBefore(const NmProfile& a, const NmProfile& b);

// The range NetworkManager accepts for connection.autoconnect-priority.
constexpr int32_t kNmMinPriority = -999;
constexpr int32_t kNmMaxPriority = 999;

// New autoconnect priorities that move Profiles[From] (the list in autoconnect order) to position To while the
// others keep their relative order, changing as few profiles as it can. The result holds one priority per
// profile of the list (in the list's order); nullopt when the priority range cannot express the order.
std::optional<std::vector<int32_t>> PlanProfilePosition(const std::vector<NmProfile>& profiles, size_t from, size_t to);

class NmClient {
 public:
  // Every D-Bus call waits at most this long for its answer.
  static constexpr uint64_t kCallTimeoutUsec = 3'000'000;

  NmClient();
  ~NmClient();
  NmClient(const NmClient&) = delete;
  NmClient& operator=(const NmClient&) = delete;

  // The profiles usable on IfName, in autoconnect order.
  WlanResult Profiles(const std::string& ifname, std::vector<NmProfile>& profiles);
  WlanResult DeleteProfile(const std::string& ifname, std::string_view name);
  // Renames the profile; the stored secrets stay. kAlreadyExists when another profile has NewName.
  WlanResult RenameProfile(const std::string& ifname, std::string_view oldName, std::string_view newName);
  // Moves the profile to Position (0: first) of the autoconnect order by rewriting autoconnect priorities.
  WlanResult SetProfilePosition(const std::string& ifname, std::string_view name, uint32_t position);
  // Starts the desktop's connection editor on the profile without waiting for it; kFileNotFound when the editor
  // is not found on SearchPath (a PATH-like list; empty: the environment's PATH).
  WlanResult EditProfile(const std::string& ifname, std::string_view name, const std::string& searchPath = {});

  // Connects IfName to SSID: the first profile of that SSID (and BSS type: 1 infrastructure, 2 ad hoc, 3 any)
  // is activated; without such a profile a new one is added and activated (NetworkManager asks for a secret
  // through its agent). With a Bssid the connection is held to that access point: a profile is activated as a
  // volatile copy with the BSSID (NetworkManager removes it when the connection ends; the profile is not
  // changed), and the access point is also named to NetworkManager when it lists it.
  WlanResult Connect(const std::string& ifname, std::span<const uint8_t> ssid,
                     const std::optional<std::array<uint8_t, 6>>& bssid, uint32_t bssType);
  // Activates the profile named Name on IfName, held to Bssid's access point when given (as Connect does).
  WlanResult ConnectProfile(const std::string& ifname, std::string_view name,
                            const std::optional<std::array<uint8_t, 6>>& bssid);
  // Disconnects the device; success when it was not connected.
  WlanResult Disconnect(const std::string& ifname);
  // The id of the device's active connection; empty when it has none.
  WlanResult ActiveProfileName(const std::string& ifname, std::string& name);
  // NetworkManager's wireless switch (WirelessEnabled).
  WlanResult SetWirelessEnabled(bool enabled);
  // Asks NetworkManager to scan with the device (its Wireless.RequestScan, which its policy grants the active
  // user). On failure Why says what went wrong, for the user.
  WlanResult RequestScan(const std::string& ifname, std::string& why);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace skimlet::linuxwifi

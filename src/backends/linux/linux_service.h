// The Linux backend: a WlanService over the kernel's nl80211 interface (through libnl-genl-3), /dev/rfkill
// and, when the kernel refuses to scan for an unprivileged program, NetworkManager over D-Bus.
//
// - Interfaces: the station interfaces of the kernel's interface list. The GUID is a name-based UUID of the
//   wiphy's permanent MAC address, so it stays the same across reboots and renames; the description names the
//   device (or its driver) and the interface: "Intel Wi-Fi 6 AX201 (wlp0s20f3)".
// - Capability: one PHY index per PHY type the wiphy's bands offer (4 OFDM, 5 HR/DSSS, 6 ERP, 7 HT, 8 VHT,
//   10 HE), ascending.
// - Scan returns at once. The backend's own thread triggers the scan; the end of any scan on the interface (new
//   results, or an aborted scan) becomes the notification "scan complete" (source 8, code 7) on that thread.
//   A refused trigger (no CAP_NET_ADMIN) is handed to NetworkManager; without it the results other programs'
//   scans leave are used, and the notice says once how to allow triggering.
//   A scan of an interface that is down fails at once ("invalid state"), of one that is gone with "not
//   found"; the identity query (kernel name, address, up, whether the last trigger was refused) asks the
//   kernel anew each time.
// - Connections: the kernel's connection events (whoever connects: NetworkManager, a supplicant, a tool)
//   become the notifications "connection complete" (source 8, code 10), "connection attempt failed" (11) and
//   "disconnected" (21) of the interface, on the backend's thread, without data.
// - Radio state: the wiphy's rfkill switch, reported for every PHY index (they all share it); switching any PHY
//   switches the wiphy's soft state. Changes arrive as notifications of source 0x10, code 7 with a
//   WLAN_PHY_RADIO_STATE for each PHY index. When /dev/rfkill cannot be written, NetworkManager's wireless switch
//   is used instead.
// - Connect, disconnect, the profile operations and the current connection's profile name go to NetworkManager
//   (nm_client.h): profiles are its wireless connections. Without it they fail with "service not active"
//   (1062); scanning does not need it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "backends/linux/sysfs.h"
#include "core/service/wlan_service.h"

namespace skimlet::linuxwifi {

class KernelDevices;

// Notification source and code of a radio state change.
constexpr uint32_t kNotificationSourceMSM = 0x10;
constexpr uint32_t kMsmRadioStateChange = 7;

struct LinuxServiceOptions {
  // Where sysfs is mounted (tests use a fake tree).
  std::string SysfsRoot = "/sys";
  // Receives notices for the user (e.g. that triggering scans needs a capability); each is sent once. Empty:
  // standard error.
  std::function<void(const std::string&)> Notice;
  // Whether to use NetworkManager: for scans the kernel refuses, profiles, connecting and disconnecting (else
  // those return "not supported").
  bool UseNetworkManager = true;
  // The nl80211 sockets and the rfkill device; null: the running kernel's (tests give fakes).
  std::shared_ptr<KernelDevices> Kernel;
};

std::unique_ptr<WlanService> CreateLinuxService(LinuxServiceOptions options = {});

}  // namespace skimlet::linuxwifi

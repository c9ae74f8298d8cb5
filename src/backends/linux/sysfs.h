// What the Linux service reads from sysfs: interface flags and counters, the wiphy's permanent address and
// rfkill switch, device names. Every function takes the root where sysfs is mounted, so tests use a fake tree.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "backends/linux/nl80211_parse.h"

namespace skimlet::linuxwifi {

// The first line of a file without its line end and trailing blanks; empty when it cannot be read.
std::string ReadSysfsLine(const std::filesystem::path& path);
// The decimal number at the start of a file's first line; 0 when there is none.
uint64_t ReadSysfsNumber(const std::filesystem::path& path);

// Whether the network interface is up (IFF_UP in its flags); nullopt when its flags cannot be read.
std::optional<bool> InterfaceUp(const std::string& sysfsRoot, const std::string& ifname);
// Whether the network interface exists in sysfs.
bool InterfaceExists(const std::string& sysfsRoot, const std::string& ifname);
// The interface's own counters (class/net/IF/statistics); zeros for those that cannot be read.
NetCounters ReadNetCounters(const std::string& sysfsRoot, const std::string& ifname);
// The wiphy's permanent MAC address (class/ieee80211/PHY/macaddress).
std::optional<std::array<uint8_t, 6>> WiphyPermanentAddress(const std::string& sysfsRoot, const std::string& wiphyName);

// The rfkill index of a wiphy (its "rfkillN" child in sysfs), or -1.
int RfkillIndexOf(const std::string& sysfsRoot, const std::string& wiphyName);
// The soft and hard state of rfkill switch Index in the service's radio values: on, off, or unknown when
// the state cannot be read.
std::pair<uint32_t, uint32_t> RfkillState(const std::string& sysfsRoot, int index);

// True when the kernel knows at least one wireless device (/sys/class/ieee80211 is not empty).
bool LinuxWifiPresent(const std::string& sysfsRoot = "/sys");

// The description of an interface from sysfs: the device's name (PCI names from the system's pci.ids, or the
// USB product), else its driver's name, with the interface name: "Intel Wi-Fi 6 AX201 (wlp0s20f3)".
std::string DescribeInterface(const std::string& sysfsRoot, const std::string& ifname);

}  // namespace skimlet::linuxwifi

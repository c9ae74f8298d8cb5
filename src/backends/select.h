// Choosing the wireless service the program talks to: the Linux radio when the kernel reports a Wi-Fi
// interface, otherwise the simulated radio (the window) or an error (the command line, which never passes
// invented networks off as real); or what --service names: "sim", "sim:FILE.scene", "linux" or
// "replay:FILE.snapshot".
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "backends/sim/sim_service.h"
#include "core/service/wlan_service.h"

namespace skimlet {

// Names of the network interfaces the kernel reports as wireless: those with a "wireless" folder or a
// "phy80211" link under SysRoot/class/net, sorted.
std::vector<std::string> WifiInterfaceNames(const std::filesystem::path& sysRoot = "/sys");
// True when WifiInterfaceNames finds one, or SysRoot/class/ieee80211 holds a PHY.
bool HasWifiHardware(const std::filesystem::path& sysRoot = "/sys");

// True when this build has the Linux radio backend.
bool HasLinuxBackend();

struct ServiceSelection {
  std::unique_ptr<WlanService> Service;
  std::string Name;         // "linux", "sim", "sim:FILE" or "replay:FILE"
  std::string Notice;       // for the user once: why the simulated radio is used when nobody asked for it
  std::string Error;        // when Service is null
  bool UsageError = false;  // the choice itself is malformed (rather than unavailable or unreadable)
};

// What the automatic choice does on a machine without Wi-Fi hardware.
enum class WithoutWifiHardware {
  Simulate,  // the simulated radio, with a Notice saying so
  Fail,      // no service; Error names --service sim
};

// Choice: empty for the automatic choice. ProgramFolder: where the shipped scenes are found. SimOptions go to
// the simulated radio. SysRoot: where the kernel's device tree is read for the automatic choice.
ServiceSelection SelectWlanService(std::string_view choice, const std::string& programFolder,
                                   sim::SimOptions simOptions, const std::filesystem::path& sysRoot = "/sys",
                                   WithoutWifiHardware withoutHardware = WithoutWifiHardware::Simulate);

}  // namespace skimlet

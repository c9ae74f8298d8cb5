#include "backends/select.h"

#include "backends/linux/linux_service.h"

#include <algorithm>
#include <system_error>

namespace skimlet {

namespace fs = std::filesystem;

std::vector<std::string> WifiInterfaceNames(const fs::path& sysRoot) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(sysRoot / "class" / "net", ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e1, e2;
    if (fs::exists(it->path() / "wireless", e1) || fs::exists(it->path() / "phy80211", e2))
      names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool HasWifiHardware(const fs::path& sysRoot) {
  if (!WifiInterfaceNames(sysRoot).empty()) return true;
  std::error_code ec;
  fs::directory_iterator it(sysRoot / "class" / "ieee80211", ec);
  return !ec && it != fs::directory_iterator();
}

bool HasLinuxBackend() { return true; }

ServiceSelection SelectWlanService(std::string_view choice, const std::string& programFolder,
                                   sim::SimOptions simOptions, const fs::path& sysRoot,
                                   WithoutWifiHardware withoutHardware) {
  ServiceSelection s;
  std::string simChoice;
  if (choice == "linux" || (choice.empty() && HasWifiHardware(sysRoot))) {
    s.Name = "linux";
    s.Service = linuxwifi::CreateLinuxService();
    if (!s.Service) s.Error = "the Linux radio could not be opened (nl80211 unavailable)";
    return s;
  }
  if (choice.empty() && withoutHardware == WithoutWifiHardware::Fail) {
    s.Error = "no Wi-Fi interface found; use --service sim for the simulated radio";
    return s;
  }
  if (choice.empty()) {
    s.Notice = "no Wi-Fi interface found; using the simulated radio";
    simChoice = "sim";
  } else if (choice == "sim" || choice.starts_with("sim:") || choice.starts_with("replay:")) {
    if ((choice.starts_with("sim:") && choice.size() == 4) || (choice.starts_with("replay:") && choice.size() == 7)) {
      s.Error = "--service " + std::string(choice) + ": a file name is required after ':'";
      s.UsageError = true;
      return s;
    }
    simChoice = std::string(choice);
  } else {
    s.Error = "unknown service '" + std::string(choice) + "' (sim, sim:FILE.scene, linux or replay:FILE.snapshot)";
    s.UsageError = true;
    return s;
  }
  s.Name = simChoice;
  s.Service = sim::CreateSimulatedService(simChoice, programFolder, std::move(simOptions), s.Error);
  return s;
}

}  // namespace skimlet

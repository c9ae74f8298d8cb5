#include "backends/linux/sysfs.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

#include "core/service/wlan_records.h"

namespace skimlet::linuxwifi {

namespace fs = std::filesystem;

std::string ReadSysfsLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

uint64_t ReadSysfsNumber(const fs::path& path) {
  std::string s = ReadSysfsLine(path);
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v;
}

namespace {

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The name of a PCI device from pci.ids: the vendor's first word and the subsystem's name when listed, else the
// device's.
std::string PciName(const std::string& vendor, const std::string& device, const std::string& subVendor,
                    const std::string& subDevice) {
  for (const char* file : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
    std::ifstream in(file);
    if (!in) continue;
    std::string line, vendorName, deviceName, subName;
    bool inVendor = false, inDevice = false;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      if (line[0] != '\t') {
        if (inVendor) break;
        if (line.size() > 6 && Lower(line.substr(0, 4)) == vendor) {
          inVendor = true;
          vendorName = line.substr(6);
        }
        continue;
      }
      if (!inVendor) continue;
      if (line.size() > 1 && line[1] != '\t') {
        if (inDevice) break;
        if (line.size() > 7 && Lower(line.substr(1, 4)) == device) {
          inDevice = true;
          deviceName = line.substr(7);
        }
        continue;
      }
      if (inDevice && line.size() > 13 && Lower(line.substr(2, 4)) == subVendor &&
          Lower(line.substr(7, 4)) == subDevice)
        subName = line.substr(13);
    }
    if (deviceName.empty()) continue;
    std::string brand = vendorName.substr(0, vendorName.find(' '));
    return brand + " " + (subName.empty() ? deviceName : subName);
  }
  return {};
}

std::string StripHex(std::string s) {
  if (s.rfind("0x", 0) == 0) s = s.substr(2);
  return Lower(s);
}

}  // namespace

std::optional<bool> InterfaceUp(const std::string& sysfsRoot, const std::string& ifname) {
  std::string flags = ReadSysfsLine(fs::path(sysfsRoot) / "class" / "net" / ifname / "flags");
  if (flags.empty()) return std::nullopt;
  return (std::strtoul(flags.c_str(), nullptr, 16) & 1) != 0;  // IFF_UP
}

bool InterfaceExists(const std::string& sysfsRoot, const std::string& ifname) {
  std::error_code ec;
  return fs::exists(fs::path(sysfsRoot) / "class" / "net" / ifname, ec);
}

NetCounters ReadNetCounters(const std::string& sysfsRoot, const std::string& ifname) {
  NetCounters net;
  fs::path stats = fs::path(sysfsRoot) / "class" / "net" / ifname / "statistics";
  net.RxPackets = ReadSysfsNumber(stats / "rx_packets");
  net.TxPackets = ReadSysfsNumber(stats / "tx_packets");
  net.Multicast = ReadSysfsNumber(stats / "multicast");
  net.RxCrcErrors = ReadSysfsNumber(stats / "rx_crc_errors");
  net.RxDropped = ReadSysfsNumber(stats / "rx_dropped");
  net.TxErrors = ReadSysfsNumber(stats / "tx_errors");
  return net;
}

std::optional<std::array<uint8_t, 6>> WiphyPermanentAddress(const std::string& sysfsRoot,
                                                            const std::string& wiphyName) {
  return ParseMacText(ReadSysfsLine(fs::path(sysfsRoot) / "class" / "ieee80211" / wiphyName / "macaddress"));
}

int RfkillIndexOf(const std::string& sysfsRoot, const std::string& wiphyName) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class" / "ieee80211" / wiphyName, ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("rfkill", 0) == 0 && name.size() > 6 &&
        std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::stoi(name.substr(6));
  }
  return -1;
}

std::pair<uint32_t, uint32_t> RfkillState(const std::string& sysfsRoot, int index) {
  fs::path dir = fs::path(sysfsRoot) / "class" / "rfkill" / ("rfkill" + std::to_string(index));
  std::string soft = ReadSysfsLine(dir / "soft"), hard = ReadSysfsLine(dir / "hard");
  return {soft == "1"   ? kRadioOff
          : soft == "0" ? kRadioOn
                        : kRadioUnknown,
          hard == "1"   ? kRadioOff
          : hard == "0" ? kRadioOn
                        : kRadioUnknown};
}

bool LinuxWifiPresent(const std::string& sysfsRoot) {
  std::error_code ec;
  fs::directory_iterator it(fs::path(sysfsRoot) / "class" / "ieee80211", ec);
  return !ec && it != fs::directory_iterator();
}

std::string DescribeInterface(const std::string& sysfsRoot, const std::string& ifname) {
  fs::path device = fs::path(sysfsRoot) / "class" / "net" / ifname / "device";
  std::error_code ec;
  std::string driver = fs::read_symlink(device / "driver", ec).filename().string();
  if (ec) driver.clear();
  std::string name;
  std::string vendor = StripHex(ReadSysfsLine(device / "vendor")), dev = StripHex(ReadSysfsLine(device / "device"));
  if (vendor.size() == 4 && dev.size() == 4)
    name = PciName(vendor, dev, StripHex(ReadSysfsLine(device / "subsystem_vendor")),
                   StripHex(ReadSysfsLine(device / "subsystem_device")));
  if (name.empty()) {
    // A USB adapter: the interface's parent is the USB device with its own texts.
    std::string product = ReadSysfsLine(device / ".." / "product");
    std::string maker = ReadSysfsLine(device / ".." / "manufacturer");
    if (!product.empty()) name = maker.empty() || product.rfind(maker, 0) == 0 ? product : maker + " " + product;
  }
  if (name.empty()) name = driver;
  if (name.empty()) name = "Wi-Fi adapter";
  return name + " (" + ifname + ")";
}

}  // namespace skimlet::linuxwifi

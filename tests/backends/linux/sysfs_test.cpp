// The Linux backend's reading of sysfs, on a fake tree: interface descriptions and wireless presence.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "backends/linux/linux_service.h"

namespace skimlet::linuxwifi {
namespace {

namespace fs = std::filesystem;

class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("skimlet-sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  void Write(const fs::path& rel, const std::string& text) {
    fs::create_directories((root_ / rel).parent_path());
    std::ofstream(root_ / rel) << text << "\n";
  }
  fs::path root_;
};

TEST_F(FakeSysfs, DescriptionNamesDeviceOrDriverAndInterface) {
  // A virtual radio: only the driver is known.
  fs::create_directories(root_ / "bus/mac80211_hwsim");
  fs::create_directories(root_ / "devices/hwsim0");
  fs::create_symlink(root_ / "bus/mac80211_hwsim", root_ / "devices/hwsim0/driver");
  fs::create_directories(root_ / "class/net/wlan13");
  fs::create_directory_symlink(root_ / "devices/hwsim0", root_ / "class/net/wlan13/device");
  EXPECT_EQ(DescribeInterface(root_.string(), "wlan13"), "mac80211_hwsim (wlan13)");

  // A USB adapter: its product text, with the maker when the product does not start with it.
  Write("devices/usb1/product", "802.11ac NIC");
  Write("devices/usb1/manufacturer", "Realtek");
  fs::create_directories(root_ / "devices/usb1/1-1:1.0");
  fs::create_directories(root_ / "class/net/wlx0");
  fs::create_directory_symlink(root_ / "devices/usb1/1-1:1.0", root_ / "class/net/wlx0/device");
  EXPECT_EQ(DescribeInterface(root_.string(), "wlx0"), "Realtek 802.11ac NIC (wlx0)");

  // Nothing known at all.
  EXPECT_EQ(DescribeInterface(root_.string(), "wlan9"), "Wi-Fi adapter (wlan9)");
}

TEST_F(FakeSysfs, PresenceNeedsAWiphy) {
  EXPECT_FALSE(LinuxWifiPresent(root_.string()));
  fs::create_directories(root_ / "class/ieee80211");
  EXPECT_FALSE(LinuxWifiPresent(root_.string()));
  fs::create_directories(root_ / "class/ieee80211/phy0");
  EXPECT_TRUE(LinuxWifiPresent(root_.string()));
}

}  // namespace
}  // namespace skimlet::linuxwifi

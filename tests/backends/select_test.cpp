// Choosing the wireless service: the --service values and the automatic choice from the kernel's devices.
#include "backends/select.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace skimlet {
namespace {

namespace fs = std::filesystem;

class SelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("skimlet-select-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "class" / "net" / "lo");
    fs::create_directories(root_ / "class" / "net" / "eth0");
  }
  void TearDown() override { fs::remove_all(root_); }
  ServiceSelection Select(std::string_view choice) {
    return SelectWlanService(choice, SKIMLET_SOURCE_DIR "/data", {}, root_);
  }
  fs::path root_;
};

TEST_F(SelectTest, WifiInterfacesAreThoseWithAWirelessFolderOrAPhyLink) {
  EXPECT_FALSE(HasWifiHardware(root_));
  fs::create_directories(root_ / "class" / "net" / "wlp2s0" / "wireless");
  fs::create_directories(root_ / "class" / "net" / "wlx00" / "phy80211");
  EXPECT_EQ(WifiInterfaceNames(root_), (std::vector<std::string>{"wlp2s0", "wlx00"}));
  EXPECT_TRUE(HasWifiHardware(root_));
  EXPECT_FALSE(HasWifiHardware(root_ / "missing"));
  fs::remove_all(root_ / "class" / "net");
  fs::create_directories(root_ / "class" / "ieee80211" / "phy0");
  EXPECT_TRUE(HasWifiHardware(root_));
}

TEST_F(SelectTest, TheAutomaticChoiceFallsBackToTheSimulatedRadioAndSaysWhy) {
  ServiceSelection s = Select("");
  ASSERT_TRUE(s.Service) << s.Error;
  EXPECT_EQ(s.Name, "sim");
  EXPECT_NE(s.Notice.find("no Wi-Fi interface"), std::string::npos);
  // With Wi-Fi hardware the Linux radio is chosen (whether nl80211 answers depends on the machine).
  fs::create_directories(root_ / "class" / "net" / "wlan0" / "wireless");
  s = Select("");
  EXPECT_EQ(s.Name, "linux");
  EXPECT_TRUE(s.Service || !s.Error.empty());
}

TEST_F(SelectTest, TheCommandLineChoiceFailsWithoutHardwareAndNamesTheSimulatedRadio) {
  ServiceSelection s = SelectWlanService("", SKIMLET_SOURCE_DIR "/data", {}, root_, WithoutWifiHardware::Fail);
  EXPECT_FALSE(s.Service);
  EXPECT_FALSE(s.UsageError);
  EXPECT_NE(s.Error.find("--service sim"), std::string::npos) << s.Error;
  s = SelectWlanService("sim", SKIMLET_SOURCE_DIR "/data", {}, root_, WithoutWifiHardware::Fail);
  EXPECT_TRUE(s.Service) << s.Error;
  fs::create_directories(root_ / "class" / "net" / "wlan0" / "wireless");
  EXPECT_EQ(SelectWlanService("", SKIMLET_SOURCE_DIR "/data", {}, root_, WithoutWifiHardware::Fail).Name, "linux");
}

TEST_F(SelectTest, ExplicitChoices) {
  ServiceSelection s = Select("linux");
  EXPECT_EQ(s.Name, "linux");
  EXPECT_TRUE(s.Service || !s.Error.empty());
  EXPECT_FALSE(s.UsageError);
  s = Select("sim");
  EXPECT_TRUE(s.Service);
  EXPECT_TRUE(s.Notice.empty());
  s = Select("replay:" + (root_ / "none.snapshot").string());
  EXPECT_FALSE(s.Service);
  EXPECT_FALSE(s.UsageError);
  EXPECT_FALSE(s.Error.empty());
  for (const char* bad : {"wifi", "sim:", "replay:", "SIM"}) {
    s = Select(bad);
    EXPECT_FALSE(s.Service) << bad;
    EXPECT_TRUE(s.UsageError) << bad;
  }
}

}  // namespace
}  // namespace skimlet

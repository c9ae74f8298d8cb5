// The Linux service over a fake kernel, for what only it does: the requests it sends, the channel of the
// kernel's frequency, refused scan triggers, interfaces that are down or gone, failing replies, the rfkill
// device and its events. What every service does is in the contract suite.
#include <gtest/gtest.h>

#include <linux/nl80211.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "backends/linux/linux_service.h"
#include "backends/linux/linux_wlan_service.h"
#include "support/fake_kernel.h"

namespace skimlet::linuxwifi {
namespace {

using namespace test::netlink;
using test::FakeBss;
using test::FakeKernel;

class LinuxServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kernel_->SetBss({{{0x02, 0, 0, 0, 0, 0x01}, "Lab", 2437, -50, false}});
    LinuxServiceOptions o;
    o.SysfsRoot = kernel_->SysfsRoot();
    o.UseNetworkManager = false;
    o.Notice = [this](const std::string& text) {
      std::lock_guard<std::mutex> l(lock_);
      notices_.push_back(text);
    };
    o.Kernel = kernel_;
    service_ = CreateLinuxService(o);
    uint32_t version = 0;
    ASSERT_EQ(service_->OpenHandle(2, version), WlanError::kSuccess);
    ASSERT_EQ(service_->RegisterNotification(kNotificationSourceAll, true,
                                             [this](const WlanNotification& n) {
                                               std::lock_guard<std::mutex> l(lock_);
                                               notes_.push_back(n);
                                               cv_.notify_all();
                                             }),
              WlanError::kSuccess);
    WlanBlock list;
    ASSERT_EQ(service_->EnumInterfaces(list), WlanError::kSuccess);
    guid_ = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
  }
  void TearDown() override { service_.reset(); }

  // Waits (real time, bounded) until Count notifications of Source and Code have arrived.
  bool WaitFor(uint32_t source, uint32_t code, size_t count = 1) {
    std::unique_lock<std::mutex> l(lock_);
    return cv_.wait_for(l, std::chrono::seconds(5), [&] {
      return static_cast<size_t>(std::count_if(notes_.begin(), notes_.end(), [&](const WlanNotification& n) {
               return n.NotificationSource == source && n.NotificationCode == code;
             })) >= count;
    });
  }
  std::vector<std::string> Notices() {
    std::lock_guard<std::mutex> l(lock_);
    return notices_;
  }

  std::shared_ptr<FakeKernel> kernel_ = std::make_shared<FakeKernel>();
  std::unique_ptr<WlanService> service_;
  WLAN_GUID guid_{};
  std::mutex lock_;
  std::condition_variable cv_;
  std::vector<WlanNotification> notes_;
  std::vector<std::string> notices_;
};

TEST_F(LinuxServiceTest, ScanTriggerNamesTheInterfaceAndAsksForAnActiveScan) {
  ASSERT_EQ(service_->Scan(guid_), WlanError::kSuccess);
  ASSERT_TRUE(WaitFor(kNotificationSourceACM, kAcmScanComplete));
  std::vector<FakeKernel::Logged> triggers;
  for (const auto& r : kernel_->Requests())
    if (r.Command == NL80211_CMD_TRIGGER_SCAN) triggers.push_back(r);
  ASSERT_EQ(triggers.size(), 1u);
  EXPECT_FALSE(triggers[0].Dump);
  // The interface, and one empty (wildcard) SSID in the SSID list.
  EXPECT_EQ(triggers[0].Attributes,
            Cat({U32(NL80211_ATTR_IFINDEX, FakeKernel::kIfIndex), Nest(NL80211_ATTR_SCAN_SSIDS, {Attr(1, {})})}));
  // The scan dump asks for the same interface; the wiphy dump is split.
  WlanBlock list;
  ASSERT_EQ(service_->GetNetworkBssList(guid_, nullptr, 3, false, list), WlanError::kSuccess);
  ASSERT_GT(kernel_->CountRequests(NL80211_CMD_GET_SCAN), 0u);
  for (const auto& r : kernel_->Requests()) {
    if (r.Command == NL80211_CMD_GET_SCAN) { EXPECT_EQ(r.Attributes, U32(NL80211_ATTR_IFINDEX, FakeKernel::kIfIndex)); }
    if (r.Command == NL80211_CMD_GET_WIPHY) { EXPECT_EQ(r.Attributes, Attr(NL80211_ATTR_SPLIT_WIPHY_DUMP, {})); }
  }
}

TEST_F(LinuxServiceTest, ChannelNumberOfTheKernelsFrequency) {
  // The kernel reports MHz; the channel is the core's conversion of it, 6 GHz plan included.
  const std::pair<uint32_t, uint32_t> cases[] = {{2412, 1}, {2484, 14}, {5180, 36}, {5885, 177}, {5925, 0},
                                                 {5935, 2}, {5955, 1},  {6415, 93}, {7115, 233}};
  for (auto [mhz, channel] : cases) {
    kernel_->SetBss({{{0x02, 0, 0, 0, 0, 0x01}, "Lab", mhz, -50, false}});
    kernel_->Associate(0);
    WlanBlock b;
    ASSERT_EQ(service_->QueryInterface(guid_, kOpcodeChannelNumber, b), WlanError::kSuccess) << mhz;
    EXPECT_EQ(DecodeUInt32Value(b), channel) << mhz;
  }
}

TEST_F(LinuxServiceTest, RefusedTriggerUsesOtherScansAndSaysSoOnce) {
  kernel_->FailCommand(NL80211_CMD_TRIGGER_SCAN, EPERM);
  for (size_t n = 1; n <= 2; ++n) {
    ASSERT_EQ(service_->Scan(guid_), WlanError::kSuccess);
    ASSERT_TRUE(WaitFor(kNotificationSourceACM, kAcmScanComplete, n));  // the kernel's results are the best there is
  }
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_NE(Notices()[0].find("CAP_NET_ADMIN"), std::string::npos);
  WlanInterfaceIdentity identity;
  ASSERT_EQ(service_->QueryInterfaceIdentity(guid_, identity), WlanError::kSuccess);
  EXPECT_TRUE(identity.ScansRefused);
  EXPECT_EQ(identity.Name, "wlan0");
  EXPECT_EQ(identity.Up, true);

  // Any other failure is a failed scan.
  kernel_->FailCommand(NL80211_CMD_TRIGGER_SCAN, ENETDOWN);
  ASSERT_EQ(service_->Scan(guid_), WlanError::kSuccess);
  EXPECT_TRUE(WaitFor(kNotificationSourceACM, kAcmScanFail));
}

TEST_F(LinuxServiceTest, InterfacesThatAreDownOrGoneRefuseScans) {
  kernel_->WriteFile("class/net/wlan0/flags", "0x1002");
  EXPECT_EQ(service_->Scan(guid_), WlanError::kInvalidState);
  WlanBlock b;
  ASSERT_EQ(service_->QueryInterface(guid_, kOpcodeInterfaceState, b), WlanError::kSuccess);
  EXPECT_EQ(DecodeUInt32Value(b), kInterfaceNotReady);
  std::filesystem::remove_all(std::filesystem::path(kernel_->SysfsRoot()) / "class/net/wlan0");
  EXPECT_EQ(service_->Scan(guid_), WlanError::kNotFound);
}

TEST_F(LinuxServiceTest, KernelFailuresBecomeServiceErrors) {
  // A failing dump is an input/output error; a refused one is access denied.
  kernel_->FailCommand(NL80211_CMD_GET_SCAN, EIO);
  WlanBlock b;
  EXPECT_EQ(service_->GetNetworkBssList(guid_, nullptr, 3, false, b), 1117u);
  kernel_->FailCommand(NL80211_CMD_GET_INTERFACE, EPERM);
  EXPECT_EQ(service_->EnumInterfaces(b), WlanError::kAccessDenied);
}

TEST_F(LinuxServiceTest, RadioSwitchGoesThroughRfkillAndItsEventIsNotified) {
  ASSERT_EQ(service_->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{1, kRadioOff, kRadioOn}.Encode()),
            WlanError::kSuccess);
  ASSERT_EQ(kernel_->ApplyRfkillWrites(), 1u);
  // Every PHY shares the wiphy's switch: one notification per PHY index.
  ASSERT_TRUE(WaitFor(kNotificationSourceMSM, kMsmRadioStateChange, FakeKernel::kPhyCount));
  {
    std::lock_guard<std::mutex> l(lock_);
    for (const auto& n : notes_) {
      if (n.NotificationSource != kNotificationSourceMSM) continue;
      auto s = WLAN_PHY_RADIO_STATE::Decode(n.Data);
      ASSERT_TRUE(s);
      EXPECT_EQ(s->dot11SoftwareRadioState, kRadioOff);
      EXPECT_EQ(s->dot11HardwareRadioState, kRadioOn);
    }
  }
  // Without the right to write /dev/rfkill (and without NetworkManager): access denied.
  kernel_->DenyRfkillWrites();
  EXPECT_EQ(service_->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{0, kRadioOn, kRadioOn}.Encode()),
            WlanError::kAccessDenied);
  // A wiphy without an rfkill switch cannot be switched.
  std::filesystem::remove_all(std::filesystem::path(kernel_->SysfsRoot()) / "class/ieee80211/phy0/rfkill0");
  EXPECT_EQ(service_->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{0, kRadioOn, kRadioOn}.Encode()),
            WlanError::kNotSupported);
}

TEST_F(LinuxServiceTest, ChannelSurveyOfTheInterface) {
  kernel_->SetSurvey(
      {Cat({U32(NL80211_SURVEY_INFO_FREQUENCY, 2437), U8(NL80211_SURVEY_INFO_NOISE, static_cast<uint8_t>(-95)),
            U64(NL80211_SURVEY_INFO_TIME, 1000), U64(NL80211_SURVEY_INFO_TIME_BUSY, 250)}),
       Cat({U32(NL80211_SURVEY_INFO_FREQUENCY, 5180), Attr(NL80211_SURVEY_INFO_NOISE, {})}),  // malformed
       Cat({U32(NL80211_SURVEY_INFO_FREQUENCY, 5180), Attr(NL80211_SURVEY_INFO_IN_USE, {})})});
  auto& service = dynamic_cast<LinuxWlanService&>(*service_);
  std::vector<ChannelSurvey> surveys;
  ASSERT_EQ(service.ChannelSurveys(guid_, surveys), WlanError::kSuccess);
  ASSERT_EQ(surveys.size(), 2u);
  EXPECT_EQ(surveys[0].FrequencyKHz, 2437000u);
  EXPECT_EQ(surveys[0].NoiseDbm, -95);
  EXPECT_EQ(surveys[0].BusyMs, 250u);
  EXPECT_TRUE(surveys[1].InUse);
  const auto requests = kernel_->Requests();
  auto dump =
      std::find_if(requests.begin(), requests.end(), [](const auto& r) { return r.Command == NL80211_CMD_GET_SURVEY; });
  ASSERT_NE(dump, requests.end());
  EXPECT_TRUE(dump->Dump);
  EXPECT_EQ(dump->Attributes, U32(NL80211_ATTR_IFINDEX, FakeKernel::kIfIndex));

  kernel_->FailCommand(NL80211_CMD_GET_SURVEY, EOPNOTSUPP);
  EXPECT_EQ(service.ChannelSurveys(guid_, surveys), WlanError::kNotSupported);
  EXPECT_TRUE(surveys.empty());
  WLAN_GUID unknown = guid_;
  unknown[0] ^= 1;
  EXPECT_EQ(service.ChannelSurveys(unknown, surveys), WlanError::kNotFound);
}

}  // namespace
}  // namespace skimlet::linuxwifi

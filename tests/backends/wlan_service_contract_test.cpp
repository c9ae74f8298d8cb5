// What every WlanService promises its caller, written once and run against each backend: the simulated radio
// on a clock the test moves, and the Linux service over a fake kernel (built nl80211 replies and events, a
// sysfs tree in a temporary folder). A rig hides how each backend is driven; the checks are the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "backends/linux/linux_service.h"
#include "backends/sim/sim_service.h"
#include "core/radio/values.h"
#include "core/service/wlan_records.h"
#include "support/fake_kernel.h"

namespace skimlet {
namespace {

// The air both rigs hear: an encrypted 5 GHz network and an open one on 2.4 GHz.
struct AirBss {
  std::array<uint8_t, 6> Bssid;
  const char* Ssid;
  uint32_t Channel;
  uint32_t FrequencyKHz;
  bool Privacy;
};
const AirBss kAir[] = {
    {{0x02, 0x00, 0x00, 0x00, 0x00, 0x01}, "Home", 36, 5180000, true},
    {{0x02, 0x00, 0x00, 0x00, 0x00, 0x02}, "Cafe", 6, 2437000, false},
};
constexpr size_t kCafe = 1;

// Collects the notifications a service sends from its thread.
class Notifications {
 public:
  WlanNotificationCallback Callback() {
    return [this](const WlanNotification& n) {
      std::lock_guard<std::mutex> l(lock_);
      codes_.push_back(n.NotificationCode);
      guids_.insert(GuidToText(n.InterfaceGuid));
      cv_.notify_all();
    };
  }
  // Waits (real time, bounded) until Code has arrived Count times in all.
  bool WaitFor(uint32_t code, size_t count = 1) {
    std::unique_lock<std::mutex> l(lock_);
    return cv_.wait_for(l, std::chrono::seconds(5),
                        [&] { return static_cast<size_t>(std::count(codes_.begin(), codes_.end(), code)) >= count; });
  }
  size_t Count(uint32_t code) {
    std::lock_guard<std::mutex> l(lock_);
    return static_cast<size_t>(std::count(codes_.begin(), codes_.end(), code));
  }
  std::set<std::string> Guids() {
    std::lock_guard<std::mutex> l(lock_);
    return guids_;
  }

 private:
  std::mutex lock_;
  std::condition_variable cv_;
  std::vector<uint32_t> codes_;
  std::set<std::string> guids_;
};

// How a backend is driven: what makes a scan end, a connection come and go, a radio switch take effect.
class ServiceRig {
 public:
  virtual ~ServiceRig() = default;
  virtual WlanService& Service() = 0;
  // Lets a requested scan run to its end.
  virtual void FinishScan() = 0;
  // The interface connects to the open network of the air by the backend's own means, and disconnects.
  virtual void Connect() = 0;
  virtual void Disconnect() = 0;
  // Lets the switches of the software radio take effect.
  virtual void SettleRadio() = 0;
};

class SimRig : public ServiceRig {
 public:
  SimRig() {
    std::string text = "[interface]\nname = \"Contract adapter\"\nphys = b g n a ac\n";
    for (const auto& b : kAir) {
      char bssid[18];
      std::snprintf(bssid, sizeof bssid, "%02x:%02x:%02x:%02x:%02x:%02x", b.Bssid[0], b.Bssid[1], b.Bssid[2],
                    b.Bssid[3], b.Bssid[4], b.Bssid[5]);
      text += std::string("\n[ap]\nbssid = ") + bssid + "\nssid = " + b.Ssid +
              "\nchannel = " + std::to_string(b.Channel) + "\nphy = n\nsecurity = " + (b.Privacy ? "wpa2" : "open") +
              "\nrssi = -55\n";
    }
    auto scene = sim::ParseScene(text, "contract.scene");
    EXPECT_TRUE(scene.Value) << scene.Error;
    sim::SimOptions o;
    o.Clock = clock_ = std::make_shared<sim::ManualSimClock>();
    service_ = std::make_unique<sim::SimWlanService>(std::move(*scene.Value), o);
  }
  WlanService& Service() override { return *service_; }
  void FinishScan() override { clock_->Advance(3.01); }
  void Connect() override {
    WLAN_CONNECTION_PARAMETERS p;
    p.wlanConnectionMode = kConnectionModeDiscoveryUnsecure;
    DOT11_SSID ssid;
    ssid.uSSIDLength = 4;
    std::copy_n(kAir[kCafe].Ssid, 4, ssid.ucSSID.begin());
    p.pDot11Ssid = ssid;
    ASSERT_EQ(service_->Connect(Guid(), p), WlanError::kSuccess);
    clock_->Advance(1.6);
  }
  void Disconnect() override {
    ASSERT_EQ(service_->Disconnect(Guid()), WlanError::kSuccess);
    clock_->Advance(0.7);
  }
  void SettleRadio() override {}

 private:
  WLAN_GUID Guid() {
    WlanBlock list;
    EXPECT_EQ(service_->EnumInterfaces(list), WlanError::kSuccess);
    return WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
  }
  std::shared_ptr<sim::ManualSimClock> clock_;
  std::unique_ptr<sim::SimWlanService> service_;
};

class LinuxRig : public ServiceRig {
 public:
  LinuxRig() : kernel_(std::make_shared<test::FakeKernel>()) {
    std::vector<test::FakeBss> bss;
    for (const auto& b : kAir) bss.push_back({b.Bssid, b.Ssid, b.FrequencyKHz / 1000, -55, b.Privacy});
    kernel_->SetBss(bss);
    linuxwifi::LinuxServiceOptions o;
    o.SysfsRoot = kernel_->SysfsRoot();
    o.UseNetworkManager = false;
    o.Notice = [](const std::string&) {};
    o.Kernel = kernel_;
    service_ = linuxwifi::CreateLinuxService(o);
  }
  WlanService& Service() override { return *service_; }
  void FinishScan() override {}  // the fake kernel ends a scan as soon as it is triggered
  void Connect() override { kernel_->Connect(kCafe); }
  void Disconnect() override { kernel_->Disconnect(); }
  void SettleRadio() override { kernel_->ApplyRfkillWrites(); }

 private:
  std::shared_ptr<test::FakeKernel> kernel_;
  std::unique_ptr<WlanService> service_;
};

struct RigChoice {
  const char* Name;
  std::function<std::unique_ptr<ServiceRig>()> Make;
};
void PrintTo(const RigChoice& choice, std::ostream* os) { *os << choice.Name; }

class WlanServiceContract : public ::testing::TestWithParam<RigChoice> {
 protected:
  void SetUp() override {
    rig_ = GetParam().Make();
    uint32_t version = 0;
    ASSERT_EQ(S().OpenHandle(2, version), WlanError::kSuccess);
    EXPECT_EQ(version, 2u);
    ASSERT_EQ(S().RegisterNotification(kNotificationSourceAll, true, notes_.Callback()), WlanError::kSuccess);
    WlanBlock list;
    ASSERT_EQ(S().EnumInterfaces(list), WlanError::kSuccess);
    auto decoded = WLAN_INTERFACE_INFO_LIST::Decode(list);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->InterfaceInfo.size(), 1u);
    interface_ = decoded->InterfaceInfo[0];
    guid_ = interface_.InterfaceGuid;
  }
  void TearDown() override {
    if (rig_) S().CloseHandle();
  }

  WlanService& S() { return rig_->Service(); }

  void ScanOnce() {
    size_t before = notes_.Count(kAcmScanComplete);
    ASSERT_EQ(S().Scan(guid_), WlanError::kSuccess);
    rig_->FinishScan();
    ASSERT_TRUE(notes_.WaitFor(kAcmScanComplete, before + 1));
  }
  std::vector<WLAN_BSS_ENTRY> Entries(const DOT11_SSID* ssid = nullptr, uint32_t type = 3, bool secure = false) {
    WlanBlock block;
    EXPECT_EQ(S().GetNetworkBssList(guid_, ssid, type, secure, block), WlanError::kSuccess);
    WlanBssListView view(block);
    std::vector<WLAN_BSS_ENTRY> out;
    for (size_t k = 0; k < view.Count(); ++k) out.push_back(view.Entry(k));
    return out;
  }
  std::optional<uint32_t> QueryValue(uint32_t opcode) {
    WlanBlock b;
    if (S().QueryInterface(guid_, opcode, b) != WlanError::kSuccess) return std::nullopt;
    return DecodeUInt32Value(b);
  }
  std::vector<uint32_t> PhyTypes() {
    WlanBlock b;
    EXPECT_EQ(S().GetInterfaceCapability(guid_, b), WlanError::kSuccess);
    auto c = WLAN_INTERFACE_CAPABILITY::Decode(b);
    return c ? c->dot11PhyTypes : std::vector<uint32_t>{};
  }
  std::optional<WLAN_RADIO_STATE> Radio() {
    WlanBlock b;
    if (S().QueryInterface(guid_, kOpcodeRadioState, b) != WlanError::kSuccess) return std::nullopt;
    return WLAN_RADIO_STATE::Decode(b);
  }
  // The software radio state of each PHY index.
  std::vector<uint32_t> SoftwareRadio() {
    std::vector<uint32_t> out;
    if (auto r = Radio())
      for (const auto& s : r->PhyRadioState) out.push_back(s.dot11SoftwareRadioState);
    return out;
  }
  WlanResult SwitchRadio(uint32_t phy, uint32_t state) {
    return S().SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{phy, state, kRadioOn}.Encode());
  }

  std::unique_ptr<ServiceRig> rig_;
  Notifications notes_;
  WLAN_INTERFACE_INFO interface_;
  WLAN_GUID guid_{};
};

TEST_P(WlanServiceContract, EnumeratesTheInterfaceWithItsPhys) {
  EXPECT_FALSE(interface_.strInterfaceDescription.empty());
  EXPECT_EQ(interface_.isState, kInterfaceDisconnected);
  EXPECT_EQ(QueryValue(kOpcodeInterfaceState), kInterfaceDisconnected);
  // One PHY index per type the radio offers; radio state and statistics count the same PHYs.
  std::vector<uint32_t> phys = PhyTypes();
  EXPECT_EQ(std::set<uint32_t>(phys.begin(), phys.end()),
            (std::set<uint32_t>{kPhyOFDM, kPhyHRDSSS, kPhyERP, kPhyHT, kPhyVHT}));
  auto radio = Radio();
  ASSERT_TRUE(radio);
  EXPECT_EQ(radio->PhyRadioState.size(), phys.size());
  WlanBlock b;
  ASSERT_EQ(S().QueryInterface(guid_, kOpcodeStatistics, b), WlanError::kSuccess);
  auto stats = WLAN_STATISTICS::Decode(b);
  ASSERT_TRUE(stats);
  EXPECT_EQ(stats->PhyCounters.size(), phys.size());
  // The GUID stays the same when the interfaces are listed again.
  WlanBlock again;
  ASSERT_EQ(S().EnumInterfaces(again), WlanError::kSuccess);
  EXPECT_EQ(WLAN_INTERFACE_INFO_LIST::Decode(again)->InterfaceInfo.at(0).InterfaceGuid, guid_);
}

TEST_P(WlanServiceContract, ScanEndsWithANoticeAndListsTheAir) {
  ScanOnce();
  EXPECT_EQ(notes_.Guids(), std::set<std::string>{GuidToText(guid_)});
  auto entries = Entries();
  ASSERT_EQ(entries.size(), std::size(kAir));
  for (const auto& b : kAir) {
    auto e =
        std::find_if(entries.begin(), entries.end(), [&](const WLAN_BSS_ENTRY& x) { return x.dot11Bssid == b.Bssid; });
    ASSERT_NE(e, entries.end()) << b.Ssid;
    EXPECT_EQ(std::string(e->dot11Ssid.ucSSID.begin(), e->dot11Ssid.ucSSID.begin() + e->dot11Ssid.uSSIDLength), b.Ssid);
    EXPECT_EQ(e->ulChCenterFrequency, b.FrequencyKHz) << b.Ssid;
    EXPECT_EQ(FrequencyToChannel(e->ulChCenterFrequency), b.Channel) << b.Ssid;
    EXPECT_EQ((e->usCapabilityInformation & 0x0010) != 0, b.Privacy) << b.Ssid;
    EXPECT_EQ(e->dot11BssType, 1u);
  }

  // Filters: by SSID with its security, and by BSS type.
  DOT11_SSID cafe;
  cafe.uSSIDLength = 4;
  std::copy_n("Cafe", 4, cafe.ucSSID.begin());
  ASSERT_EQ(Entries(&cafe, 3, false).size(), 1u);
  EXPECT_EQ(Entries(&cafe, 3, false)[0].dot11Bssid, kAir[kCafe].Bssid);
  EXPECT_TRUE(Entries(&cafe, 3, true).empty());
  EXPECT_TRUE(Entries(nullptr, 2).empty());
  EXPECT_EQ(Entries(nullptr, 1).size(), std::size(kAir));
}

TEST_P(WlanServiceContract, ConnectionsComeAndGoWithNotices) {
  ScanOnce();
  rig_->Connect();
  ASSERT_TRUE(notes_.WaitFor(kAcmConnectionComplete));
  EXPECT_EQ(QueryValue(kOpcodeInterfaceState), kInterfaceConnected);
  WlanBlock b;
  ASSERT_EQ(S().QueryInterface(guid_, kOpcodeCurrentConnection, b), WlanError::kSuccess);
  auto a = WLAN_CONNECTION_ATTRIBUTES::Decode(b);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->isState, kInterfaceConnected);
  EXPECT_EQ(a->dot11Bssid, kAir[kCafe].Bssid);
  EXPECT_EQ(std::string(a->dot11Ssid.ucSSID.begin(), a->dot11Ssid.ucSSID.begin() + a->dot11Ssid.uSSIDLength), "Cafe");
  EXPECT_FALSE(a->bSecurityEnabled);
  EXPECT_LT(a->uDot11PhyIndex, PhyTypes().size());
  EXPECT_EQ(QueryValue(kOpcodeChannelNumber), kAir[kCafe].Channel);
  WlanBlock rssi;
  EXPECT_EQ(S().QueryInterface(guid_, kOpcodeRssi, rssi), WlanError::kSuccess);

  rig_->Disconnect();
  ASSERT_TRUE(notes_.WaitFor(kAcmDisconnected));
  EXPECT_EQ(QueryValue(kOpcodeInterfaceState), kInterfaceDisconnected);
  EXPECT_EQ(S().QueryInterface(guid_, kOpcodeCurrentConnection, b), WlanError::kInvalidState);
  EXPECT_EQ(S().QueryInterface(guid_, kOpcodeChannelNumber, b), WlanError::kInvalidState);
}

TEST_P(WlanServiceContract, SoftwareRadioSwitchesOffAndOn) {
  const size_t phys = PhyTypes().size();
  ASSERT_GT(phys, 0u);
  auto radio = Radio();
  ASSERT_TRUE(radio);
  for (const auto& s : radio->PhyRadioState) {
    EXPECT_EQ(s.dot11SoftwareRadioState, kRadioOn);
    EXPECT_EQ(s.dot11HardwareRadioState, kRadioOn);
  }
  for (uint32_t p = 0; p < phys; ++p) ASSERT_EQ(SwitchRadio(p, kRadioOff), WlanError::kSuccess) << p;
  rig_->SettleRadio();
  EXPECT_EQ(SoftwareRadio(), std::vector<uint32_t>(phys, kRadioOff));
  EXPECT_EQ(S().Scan(guid_), WlanError::kRadioOff);

  for (uint32_t p = 0; p < phys; ++p) ASSERT_EQ(SwitchRadio(p, kRadioOn), WlanError::kSuccess) << p;
  rig_->SettleRadio();
  EXPECT_EQ(SoftwareRadio(), std::vector<uint32_t>(phys, kRadioOn));
  ScanOnce();

  // Requests that name no PHY or no state.
  EXPECT_EQ(SwitchRadio(static_cast<uint32_t>(phys), kRadioOff), WlanError::kInvalidParameter);
  EXPECT_EQ(SwitchRadio(0, 7), WlanError::kInvalidParameter);
  EXPECT_EQ(S().SetInterface(guid_, kOpcodeRadioState, std::vector<uint8_t>{0, 0}), WlanError::kInvalidParameter);
}

TEST_P(WlanServiceContract, StatisticsOfAConnectionCountOnItsPhy) {
  ScanOnce();
  rig_->Connect();
  ASSERT_TRUE(notes_.WaitFor(kAcmConnectionComplete));
  rig_->FinishScan();  // time passes
  WlanBlock b;
  ASSERT_EQ(S().QueryInterface(guid_, kOpcodeCurrentConnection, b), WlanError::kSuccess);
  const uint32_t phy = WLAN_CONNECTION_ATTRIBUTES::Decode(b)->uDot11PhyIndex;
  ASSERT_EQ(S().QueryInterface(guid_, kOpcodeStatistics, b), WlanError::kSuccess);
  auto stats = WLAN_STATISTICS::Decode(b);
  ASSERT_TRUE(stats);
  ASSERT_LT(phy, stats->PhyCounters.size());
  EXPECT_GT(stats->PhyCounters[phy][0], 0u);  // frames sent on the connection's PHY
  EXPECT_GT(stats->MacUcastCounters[0], 0u);
}

TEST_P(WlanServiceContract, ErrorsOfHandleInterfaceAndParameters) {
  uint32_t version = 0;
  EXPECT_EQ(S().OpenHandle(3, version), WlanError::kInvalidParameter);
  WLAN_GUID unknown = guid_;
  unknown[15] ^= 0xFF;
  WlanBlock b;
  EXPECT_EQ(S().Scan(unknown), WlanError::kNotFound);
  EXPECT_EQ(S().QueryInterface(unknown, kOpcodeInterfaceState, b), WlanError::kNotFound);
  EXPECT_EQ(S().GetNetworkBssList(unknown, nullptr, 3, false, b), WlanError::kNotFound);
  EXPECT_EQ(S().GetInterfaceCapability(unknown, b), WlanError::kNotFound);
  EXPECT_EQ(S().SetInterface(unknown, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{0, kRadioOn, kRadioOn}.Encode()),
            WlanError::kNotFound);

  DOT11_SSID tooLong;
  tooLong.uSSIDLength = 33;
  EXPECT_EQ(S().GetNetworkBssList(guid_, &tooLong, 3, false, b), WlanError::kInvalidParameter);
  EXPECT_EQ(S().GetNetworkBssList(guid_, nullptr, 0, false, b), WlanError::kInvalidParameter);
  EXPECT_EQ(S().GetNetworkBssList(guid_, nullptr, 4, false, b), WlanError::kInvalidParameter);

  ASSERT_EQ(S().CloseHandle(), WlanError::kSuccess);
  EXPECT_EQ(S().CloseHandle(), WlanError::kInvalidHandle);
  EXPECT_EQ(S().EnumInterfaces(b), WlanError::kInvalidHandle);
  EXPECT_EQ(S().Scan(guid_), WlanError::kInvalidHandle);
  EXPECT_EQ(S().QueryInterface(guid_, kOpcodeInterfaceState, b), WlanError::kInvalidHandle);
  EXPECT_EQ(S().RegisterNotification(kNotificationSourceAll, true, nullptr), WlanError::kInvalidHandle);
  // Opened again, the same interface is there.
  ASSERT_EQ(S().OpenHandle(1, version), WlanError::kSuccess);
  EXPECT_EQ(S().GetInterfaceCapability(guid_, b), WlanError::kSuccess);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, WlanServiceContract,
    ::testing::Values(RigChoice{"Sim", [] { return std::unique_ptr<ServiceRig>(std::make_unique<SimRig>()); }},
                      RigChoice{"Linux", [] { return std::unique_ptr<ServiceRig>(std::make_unique<LinuxRig>()); }}),
    [](const ::testing::TestParamInfo<RigChoice>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace skimlet

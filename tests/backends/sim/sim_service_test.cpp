// The simulated radio's behaviour, on a clock the test moves: scans, signals, connection, profiles,
// statistics, radio switches and replay.
#include "backends/sim/sim_service.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "core/ie/elements.h"
#include "core/model/snapshot_file.h"
#include "core/radio/values.h"

namespace skimlet::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kScene = R"(
[interface]
name = "Test adapter"
phys = b a g n ac ax
connected = 00:00:00:00:00:01

[ap]
bssid = 00:00:00:00:00:01
ssid = Home
channel = 36
width = 80
phy = ax
streams = 2
security = wpa2
rssi = -50

[ap]
bssid = 00:00:00:00:00:02
ssid = Cafe
channel = 6
phy = n
security = open
rssi = -70

[ap]
bssid = 00:00:00:00:00:03
ssid = Cafe
channel = 11
phy = n
security = open
rssi = -60

[ap]
bssid = 00:00:00:00:00:04
ssid = Blinker
channel = 1
phy = g
rssi = -80
appear = 60 60
)";

// Collects the notifications the service sends from its thread.
class Notifications {
 public:
  WlanNotificationCallback Callback() {
    return [this](const WlanNotification& n) {
      std::lock_guard<std::mutex> l(lock_);
      codes_.push_back(n.NotificationCode);
      cv_.notify_all();
    };
  }
  // Waits (real time, bounded) until Code has arrived Count times in all.
  bool WaitFor(uint32_t code, size_t count = 1) {
    std::unique_lock<std::mutex> l(lock_);
    return cv_.wait_for(l, std::chrono::seconds(5),
                        [&] { return std::count(codes_.begin(), codes_.end(), code) >= long(count); });
  }
  size_t Count(uint32_t code) {
    std::lock_guard<std::mutex> l(lock_);
    return static_cast<size_t>(std::count(codes_.begin(), codes_.end(), code));
  }

 private:
  std::mutex lock_;
  std::condition_variable cv_;
  std::vector<uint32_t> codes_;
};

class SimServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("skimlet-sim-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::unique_ptr<SimWlanService> Make(uint64_t seed = 7, const char* text = kScene) {
    auto scene = ParseScene(text, "test.scene");
    EXPECT_TRUE(scene.Value) << scene.Error;
    SimOptions o;
    o.Seed = seed;
    o.SettingsFolder = folder_.string();
    o.Clock = clock_ = std::make_shared<ManualSimClock>();
    auto s = std::make_unique<SimWlanService>(std::move(*scene.Value), o);
    uint32_t version = 0;
    EXPECT_EQ(s->OpenHandle(1, version), 0u);
    EXPECT_EQ(s->RegisterNotification(kNotificationSourceAll, true, notes_.Callback()), 0u);
    WlanBlock list;
    EXPECT_EQ(s->EnumInterfaces(list), 0u);
    guid_ = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
    return s;
  }

  // Requests a scan, lets the clock run past its end and waits for the notification.
  void ScanOnce(SimWlanService& s) {
    size_t before = notes_.Count(kAcmScanComplete);
    ASSERT_EQ(s.Scan(guid_), 0u);
    clock_->Advance(3.01);
    ASSERT_TRUE(notes_.WaitFor(kAcmScanComplete, before + 1));
  }

  std::vector<WLAN_BSS_ENTRY> Entries(SimWlanService& s) {
    WlanBlock block;
    EXPECT_EQ(s.GetNetworkBssList(guid_, nullptr, 3, false, block), 0u);
    WlanBssListView view(block);
    std::vector<WLAN_BSS_ENTRY> out;
    for (size_t k = 0; k < view.Count(); ++k) out.push_back(view.Entry(k));
    return out;
  }

  std::optional<WLAN_CONNECTION_ATTRIBUTES> Connection(SimWlanService& s) {
    WlanBlock b;
    if (s.QueryInterface(guid_, kOpcodeCurrentConnection, b) != 0) return std::nullopt;
    return WLAN_CONNECTION_ATTRIBUTES::Decode(b);
  }

  std::vector<std::string> Profiles(SimWlanService& s) {
    WlanBlock b;
    EXPECT_EQ(s.GetProfileList(guid_, b), 0u);
    std::vector<std::string> names;
    auto list = WLAN_PROFILE_INFO_LIST::Decode(b);
    EXPECT_TRUE(list);
    if (list)
      for (const auto& p : list->ProfileInfo) names.push_back(p.strProfileName);
    return names;
  }

  uint32_t State(SimWlanService& s) {
    WlanBlock b;
    EXPECT_EQ(s.QueryInterface(guid_, kOpcodeInterfaceState, b), 0u);
    return *DecodeUInt32Value(b);
  }

  fs::path folder_;
  std::shared_ptr<ManualSimClock> clock_;
  Notifications notes_;
  WLAN_GUID guid_{};
};

TEST_F(SimServiceTest, InterfacesSayTheyAreSimulated) {
  auto s = Make();
  WlanBlock list;
  ASSERT_EQ(s->EnumInterfaces(list), 0u);
  auto l = WLAN_INTERFACE_INFO_LIST::Decode(list);
  ASSERT_EQ(l->InterfaceInfo.size(), 1u);
  EXPECT_EQ(l->InterfaceInfo[0].strInterfaceDescription, "Simulated Test adapter");
  EXPECT_EQ(l->InterfaceInfo[0].isState, static_cast<uint32_t>(kInterfaceConnected));
  WlanBlock cap;
  ASSERT_EQ(s->GetInterfaceCapability(guid_, cap), 0u);
  EXPECT_EQ(WLAN_INTERFACE_CAPABILITY::Decode(cap)->dot11PhyTypes, (std::vector<uint32_t>{5, 4, 6, 7, 8, 10}));
  WLAN_GUID other{};
  EXPECT_EQ(s->Scan(other), WlanError::kNotFound);
  ASSERT_EQ(s->CloseHandle(), 0u);
  EXPECT_EQ(s->EnumInterfaces(list), WlanError::kInvalidHandle);
  EXPECT_TRUE(list.empty());
}

TEST_F(SimServiceTest, ScanCompletesAfterOneToThreeSecondsOnTheServiceThread) {
  auto s = Make();
  size_t initial = Entries(*s).size();
  EXPECT_GE(initial, 3u);  // the service knows the air before the first scan
  ASSERT_EQ(s->Scan(guid_), 0u);
  ASSERT_EQ(s->Scan(guid_), 0u);  // a second request joins the running scan
  clock_->Advance(0.99);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(notes_.Count(kAcmScanComplete), 0u);
  clock_->Advance(2.02);
  ASSERT_TRUE(notes_.WaitFor(kAcmScanComplete));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(notes_.Count(kAcmScanComplete), 1u);

  // Every entry carries a blob that decodes, and its own values.
  WlanBlock block;
  ASSERT_EQ(s->GetNetworkBssList(guid_, nullptr, 3, false, block), 0u);
  WlanBssListView view(block);
  ASSERT_GE(view.Count(), 3u);
  for (size_t k = 0; k < view.Count(); ++k) {
    auto blob = view.Blob(k);
    ASSERT_TRUE(blob);
    TInformationElements e;
    e.Parse(*blob);
    EXPECT_NE(e.FindElement(0), nullptr);
    EXPECT_EQ(view.Entry(k).uLinkQuality, LinkQualityFromRssi(view.Entry(k).lRssi));
  }
  // Filters: one SSID, security on or off.
  DOT11_SSID cafe;
  cafe.uSSIDLength = 4;
  std::copy_n("Cafe", 4, cafe.ucSSID.begin());
  ASSERT_EQ(s->GetNetworkBssList(guid_, &cafe, 3, false, block), 0u);
  EXPECT_EQ(WlanBssListView(block).Count(), 2u);
  ASSERT_EQ(s->GetNetworkBssList(guid_, &cafe, 3, true, block), 0u);
  EXPECT_EQ(WlanBssListView(block).Count(), 0u);
}

TEST_F(SimServiceTest, SignalsWalkWithinBoundsAndASeedRepeatsARun) {
  auto run = [&](uint64_t seed) {
    auto s = Make(seed);
    std::vector<int> rssis;
    for (int k = 0; k < 40; ++k) {
      ScanOnce(*s);
      for (const auto& e : Entries(*s)) {
        if (e.dot11Bssid[5] == 1) {
          rssis.push_back(e.lRssi);
          EXPECT_GE(e.lRssi, -56);
          EXPECT_LE(e.lRssi, -44);
        }
      }
    }
    return rssis;
  };
  auto a = run(11), b = run(11), c = run(12);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_GT(std::set<int>(a.begin(), a.end()).size(), 3u);  // it does move
}

TEST_F(SimServiceTest, AccessPointsComeAndGo) {
  auto s = Make();
  int heard = 0, missed = 0;
  for (int k = 0; k < 60; ++k) {
    ScanOnce(*s);
    clock_->Advance(5);
    auto entries = Entries(*s);
    bool blinker = std::any_of(entries.begin(), entries.end(), [](const auto& e) { return e.dot11Bssid[5] == 4; });
    (blinker ? heard : missed)++;
  }
  EXPECT_GT(heard, 10);
  EXPECT_GT(missed, 10);
}

TEST_F(SimServiceTest, ConnectionIsReportedAndChangesAfterADelay) {
  auto s = Make();
  auto c = Connection(*s);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->dot11Bssid[5], 1);
  EXPECT_EQ(c->strProfileName, "Home");
  EXPECT_EQ(c->dot11PhyType, 10u);
  EXPECT_EQ(c->uDot11PhyIndex, 5u);
  EXPECT_EQ(c->dot11AuthAlgorithm, static_cast<uint32_t>(kAuthRSNAPSK));
  EXPECT_EQ(c->dot11CipherAlgorithm, static_cast<uint32_t>(kCipherCCMP));
  EXPECT_GT(c->ulRxRate, 1000000u);  // 2 streams of 802.11ax at 80 MHz
  WlanBlock b;
  ASSERT_EQ(s->QueryInterface(guid_, kOpcodeChannelNumber, b), 0u);
  EXPECT_EQ(DecodeUInt32Value(b), 36u);
  ASSERT_EQ(s->QueryInterface(guid_, kOpcodeRssi, b), 0u);
  EXPECT_EQ(DecodeInt32Value(b), -50);
  EXPECT_EQ(Profiles(*s), (std::vector<std::string>{"Home"}));

  // Connect as the program does: discovery mode, the SSID and one desired BSSID.
  WLAN_CONNECTION_PARAMETERS p;
  p.wlanConnectionMode = kConnectionModeDiscoveryUnsecure;
  DOT11_SSID ssid;
  ssid.uSSIDLength = 4;
  std::copy_n("Cafe", 4, ssid.ucSSID.begin());
  p.pDot11Ssid = ssid;
  p.pDesiredBssidList = DOT11_BSSID_LIST{0x80, 1, 20, 1, 1, {{0, 0, 0, 0, 0, 2}}};
  ASSERT_EQ(s->Connect(guid_, p), 0u);
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceAssociating));
  EXPECT_FALSE(Connection(*s));
  clock_->Advance(1.51);
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceConnected));
  ASSERT_TRUE(notes_.WaitFor(kAcmConnectionComplete));
  c = Connection(*s);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->dot11Bssid[5], 2);  // the desired one, not the stronger one on channel 11
  EXPECT_EQ(c->wlanConnectionMode, static_cast<uint32_t>(kConnectionModeDiscoveryUnsecure));
  EXPECT_EQ(c->bSecurityEnabled, 0u);
  EXPECT_EQ(Profiles(*s), (std::vector<std::string>{"Home", "Cafe"}));

  ASSERT_EQ(s->Disconnect(guid_), 0u);
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceDisconnecting));
  clock_->Advance(0.61);
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceDisconnected));
  EXPECT_FALSE(Connection(*s));
  EXPECT_EQ(s->QueryInterface(guid_, kOpcodeRssi, b), WlanError::kInvalidState);
  ASSERT_TRUE(notes_.WaitFor(kAcmDisconnected));

  // Back to the first network by its profile.
  WLAN_CONNECTION_PARAMETERS byProfile;
  byProfile.strProfile = "Home";
  ASSERT_EQ(s->Connect(guid_, byProfile), 0u);
  clock_->Advance(1.51);
  EXPECT_EQ(Connection(*s)->dot11Bssid[5], 1);
}

TEST_F(SimServiceTest, ConnectRefusesBadRequestsAndFailsForNetworksNotHeard) {
  auto s = Make();
  WLAN_CONNECTION_PARAMETERS p;
  p.strProfile = "Nowhere";
  EXPECT_EQ(s->Connect(guid_, p), WlanError::kNotFound);
  p.wlanConnectionMode = kConnectionModeDiscoverySecure;
  EXPECT_EQ(s->Connect(guid_, p), WlanError::kInvalidParameter);  // no SSID
  DOT11_SSID ssid;
  ssid.uSSIDLength = 4;
  std::copy_n("Cafe", 4, ssid.ucSSID.begin());
  p.pDot11Ssid = ssid;  // secure mode for an open network: the attempt fails
  ASSERT_EQ(s->Connect(guid_, p), 0u);
  clock_->Advance(1.51);
  ASSERT_TRUE(notes_.WaitFor(kAcmConnectionAttemptFail));
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceDisconnected));
  EXPECT_EQ(Profiles(*s), (std::vector<std::string>{"Home"}));
}

TEST_F(SimServiceTest, ProfilesPersistAcrossRuns) {
  {
    auto s = Make();
    WLAN_CONNECTION_PARAMETERS p;
    p.wlanConnectionMode = kConnectionModeDiscoveryUnsecure;
    DOT11_SSID ssid;
    ssid.uSSIDLength = 4;
    std::copy_n("Cafe", 4, ssid.ucSSID.begin());
    p.pDot11Ssid = ssid;
    ASSERT_EQ(s->Connect(guid_, p), 0u);
    clock_->Advance(2);
    ASSERT_EQ(Profiles(*s), (std::vector<std::string>{"Home", "Cafe"}));
    EXPECT_EQ(s->RenameProfile(guid_, "Cafe", "Café am Markt"), 0u);
    EXPECT_EQ(s->RenameProfile(guid_, "Home", "Café am Markt"), WlanError::kAlreadyExists);
    EXPECT_EQ(s->RenameProfile(guid_, "Nope", "X"), WlanError::kNotFound);
    EXPECT_EQ(s->RenameProfile(guid_, "Home", "tab\there"), WlanError::kInvalidParameter);
    EXPECT_EQ(s->SetProfilePosition(guid_, "Café am Markt", 0), 0u);
    EXPECT_EQ(s->SetProfilePosition(guid_, "Home", 2), WlanError::kInvalidParameter);
    EXPECT_EQ(s->DeleteProfile(guid_, "Nope"), WlanError::kNotFound);
    EXPECT_EQ(Connection(*s)->strProfileName, "Café am Markt");
    EXPECT_TRUE(s->LastProfileStoreError().empty());
    uint32_t reason = 1;
    EXPECT_EQ(s->EditProfile(1, "Home", guid_, nullptr, 0, reason), WlanError::kNotSupported);
  }
  {
    auto s = Make();
    EXPECT_EQ(Profiles(*s), (std::vector<std::string>{"Café am Markt", "Home"}));
    EXPECT_EQ(s->DeleteProfile(guid_, "Home"), 0u);
  }
  auto s = Make();  // connected to Home at start: its profile comes back, last
  EXPECT_EQ(Profiles(*s), (std::vector<std::string>{"Café am Markt", "Home"}));
  // No temporary files are left beside the profile file.
  size_t files = 0;
  for ([[maybe_unused]] const auto& f : fs::directory_iterator(folder_)) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(SimServiceTest, StatisticsGrowMostOnTheConnectedPhy) {
  auto s = Make();
  WlanBlock b;
  ASSERT_EQ(s->QueryInterface(guid_, kOpcodeStatistics, b), 0u);
  auto first = WLAN_STATISTICS::Decode(b);
  ASSERT_TRUE(first);
  ASSERT_EQ(first->PhyCounters.size(), 6u);
  clock_->Advance(30);
  ASSERT_EQ(s->QueryInterface(guid_, kOpcodeStatistics, b), 0u);
  auto second = WLAN_STATISTICS::Decode(b);
  ASSERT_TRUE(second);
  EXPECT_GT(second->MacUcastCounters[0], first->MacUcastCounters[0] + 500);  // transmitted frames
  EXPECT_GT(second->MacUcastCounters[10], 0u);                               // decrypted: WPA2
  for (size_t p = 0; p < 6; ++p)
    for (size_t c = 0; c < 18; ++c) EXPECT_GE(second->PhyCounters[p][c], first->PhyCounters[p][c]);
  // The 802.11ax PHY (index 5) carries the connection.
  for (size_t p = 0; p < 5; ++p) EXPECT_GT(second->PhyCounters[5][0], 20 * second->PhyCounters[p][0]);
  EXPECT_GT(second->PhyCounters[5][3], 0u);   // retries
  EXPECT_GT(second->PhyCounters[5][17], 0u);  // FCS errors
}

TEST_F(SimServiceTest, SoftwareRadioSwitchesPerPhyAndHardwareStateComesFromTheScene) {
  auto s = Make();
  auto radio = [&] {
    WlanBlock b;
    EXPECT_EQ(s->QueryInterface(guid_, kOpcodeRadioState, b), 0u);
    return WLAN_RADIO_STATE::Decode(b).value();
  };
  auto r = radio();
  ASSERT_EQ(r.PhyRadioState.size(), 6u);
  EXPECT_EQ(r.PhyRadioState[3].dot11SoftwareRadioState, static_cast<uint32_t>(kRadioOn));
  EXPECT_EQ(r.PhyRadioState[3].dot11HardwareRadioState, static_cast<uint32_t>(kRadioOn));

  ASSERT_EQ(s->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{3, kRadioOff, kRadioOff}.Encode()), 0u);
  r = radio();
  EXPECT_EQ(r.PhyRadioState[3].dot11SoftwareRadioState, static_cast<uint32_t>(kRadioOff));
  EXPECT_EQ(r.PhyRadioState[3].dot11HardwareRadioState, static_cast<uint32_t>(kRadioOn));  // not the software's to set
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceConnected));                        // other PHYs still on
  EXPECT_EQ(s->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{6, kRadioOff, kRadioOff}.Encode()),
            WlanError::kInvalidParameter);
  EXPECT_EQ(s->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{0, 7, 7}.Encode()),
            WlanError::kInvalidParameter);

  ASSERT_EQ(s->Scan(guid_), 0u);
  for (uint32_t p = 0; p < 6; ++p)
    ASSERT_EQ(s->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{p, kRadioOff, kRadioOff}.Encode()), 0u);
  EXPECT_EQ(State(*s), static_cast<uint32_t>(kInterfaceDisconnected));
  EXPECT_TRUE(notes_.WaitFor(kAcmScanFail));
  EXPECT_EQ(s->Scan(guid_), WlanError::kRadioOff);
  EXPECT_TRUE(Entries(*s).empty());

  ASSERT_EQ(s->SetInterface(guid_, kOpcodeRadioState, WLAN_PHY_RADIO_STATE{5, kRadioOn, kRadioOn}.Encode()), 0u);
  ScanOnce(*s);
  EXPECT_FALSE(Entries(*s).empty());

  std::string off = std::string(kScene);
  off.replace(off.find("phys"), 0, "hardware-radio = off\n");
  auto h = Make(7, off.c_str());
  WlanBlock b;
  ASSERT_EQ(h->QueryInterface(guid_, kOpcodeRadioState, b), 0u);
  EXPECT_EQ(WLAN_RADIO_STATE::Decode(b)->PhyRadioState[0].dot11HardwareRadioState, static_cast<uint32_t>(kRadioOff));
  EXPECT_EQ(h->Scan(guid_), WlanError::kRadioOff);
  EXPECT_EQ(State(*h), static_cast<uint32_t>(kInterfaceDisconnected));
}

TEST_F(SimServiceTest, ReplayHearsEverySnapshotRecordWithItsSavedSignal) {
  WLAN_BSS_ENTRY a, b;
  a.dot11Bssid = {0xAA, 0, 0, 0, 0, 1};
  a.lRssi = -67;
  a.ulChCenterFrequency = 2437000;
  a.dot11BssPhyType = 7;
  a.padding68 = {1, 2, 3, 4};  // carried bytes stay as saved
  b.dot11Bssid = {0xAA, 0, 0, 0, 0, 2};
  b.lRssi = -81;
  b.ulChCenterFrequency = 5180000;
  std::vector<uint8_t> blobA = {0x00, 0x03, 'A', 'B', 'C', 0x03, 0x01, 0x06}, blobB;
  SnapshotRecordRef records[] = {{&a, blobA, 45000.0, 45000.5}, {&b, blobB, 45000.0, 45000.5}};
  std::string path = (folder_ / "saved.snapshot").string();
  ASSERT_EQ(WriteSnapshotFile(path, 45001.0, records), "");

  SimOptions o;
  o.Clock = std::make_shared<ManualSimClock>();
  std::string error;
  auto s = CreateSimulatedService("replay:" + path, "", o, error);
  ASSERT_TRUE(s) << error;
  uint32_t v;
  ASSERT_EQ(s->OpenHandle(1, v), 0u);
  WlanBlock list;
  ASSERT_EQ(s->EnumInterfaces(list), 0u);
  auto info = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0);
  EXPECT_EQ(info.strInterfaceDescription, "Simulated replay of saved.snapshot");
  for (int round = 0; round < 3; ++round) {
    WlanBlock block;
    ASSERT_EQ(s->GetNetworkBssList(info.InterfaceGuid, nullptr, 3, false, block), 0u);
    WlanBssListView view(block);
    ASSERT_EQ(view.Count(), 2u);
    EXPECT_EQ(view.Entry(0).lRssi, -67);
    EXPECT_EQ(view.Entry(1).lRssi, -81);
    EXPECT_EQ(view.Entry(0).padding68, a.padding68);
    EXPECT_EQ(std::vector<uint8_t>(view.Blob(0)->begin(), view.Blob(0)->end()), blobA);
    EXPECT_TRUE(view.Blob(1)->empty());
    ASSERT_EQ(s->Scan(info.InterfaceGuid), 0u);
    o.Clock->Now();
    static_cast<ManualSimClock&>(*o.Clock).Advance(3.01);
  }
}

TEST(SimServiceChoice, UnknownChoicesAndBrokenScenesAreReported) {
  std::string error;
  EXPECT_FALSE(CreateSimulatedService("radio", "", {}, error));
  EXPECT_EQ(error, "unknown service 'radio' (sim, sim:FILE.scene or replay:FILE.snapshot)");
  auto path = fs::temp_directory_path() / ("skimlet-broken-" + std::to_string(::getpid()) + ".scene");
  std::ofstream(path) << "[ap]\nbssid = 00:11:22:33:44:55\nchannel = 99\n";
  EXPECT_FALSE(CreateSimulatedService("sim:" + path.string(), "", {}, error));
  EXPECT_EQ(error, path.string() + ":3: channel 99 is no 20 MHz channel");
  fs::remove(path);
  EXPECT_EQ(DefaultScenePath("/opt/skimlet/bin"), "/opt/skimlet/share/skimlet/scenes/default.scene");
}

}  // namespace
}  // namespace skimlet::sim

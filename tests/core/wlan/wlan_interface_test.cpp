// The interface set and its interfaces against a fake service: scan throttle and notifications, properties,
// refreshes, connection (RSSI mapping, connect parameters), profiles, statistics and radio state.
#include "core/wlan/wlan_interface.h"

#include <gtest/gtest.h>

#include <map>

#include "core/base/translate.h"
#include "core/settings/options.h"
#include "support/fake_wlan_service.h"
#include "support/network_fixture.h"

namespace skimlet {
namespace {

using test::FakeWlanService;

WLAN_GUID Guid(uint8_t n) {
  WLAN_GUID g{};
  g[15] = n;
  return g;
}

class InterfacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = EncodeLocalDateTime(2024, 1, 1, 12);
    now_ = base_;
  }

  // Lists N interfaces (descriptions "wlan0", ...) and enumerates them.
  void Enumerate(int n) {
    WLAN_INTERFACE_INFO_LIST list;
    for (int k = 0; k < n; ++k)
      list.InterfaceInfo.push_back(
          {Guid(static_cast<uint8_t>(k + 1)), "wlan" + std::to_string(k), kInterfaceConnected});
    fake_.Interfaces = {0, list.Encode()};
    ASSERT_TRUE(set_.Enumerate());
    for (auto& i : set_.Items) i->Networks->VendorLookup = nullptr;
  }
  void At(double seconds) { now_ = AddSeconds(base_, seconds); }
  TWLANInterface& First() { return *set_.Items.at(0); }

  FakeWlanService fake_;
  TProgramOptions options_;
  LocalDateTime base_ = 0, now_ = 0;
  TWLANInterfaces set_{fake_, options_, {}, [this] { return now_; }};
};

// Scan throttle --------------------------------------------------------------------------------------------

TEST_F(InterfacesTest, AtMostOneScanRequestIsOutstandingAndAnUnansweredOneIsForgottenAfterMoreThan30Seconds) {
  Enumerate(2);
  set_.SetSelectedIndex(1);
  EXPECT_TRUE(set_.RequestScan());
  EXPECT_EQ(fake_.ScanCalls, 1);
  EXPECT_EQ(fake_.ScannedGuids.back(), Guid(2));
  At(10);
  EXPECT_FALSE(set_.RequestScan());
  At(30.9);  // 30 whole seconds: still waiting
  EXPECT_FALSE(set_.RequestScan());
  EXPECT_EQ(fake_.ScanCalls, 1);
  At(31);
  EXPECT_TRUE(set_.RequestScan());
  EXPECT_EQ(fake_.ScanCalls, 2);
  EXPECT_EQ(set_.LastScanRequest, now_);
  // Taking the results allows the next request at once.
  set_.TakeScanResults();
  EXPECT_FALSE(set_.ScanPending);
  EXPECT_TRUE(set_.RequestScan());
  EXPECT_EQ(fake_.ScanCalls, 3);
}

TEST_F(InterfacesTest, ARequestWithoutSelectedInterfaceStillBlocksTheNextOne) {
  Enumerate(1);
  ASSERT_EQ(set_.SelectedIndex, -1);
  EXPECT_TRUE(set_.RequestScan());
  EXPECT_TRUE(set_.ScanPending);
  EXPECT_EQ(fake_.ScanCalls, 0);
  At(20);
  set_.SetSelectedIndex(0);
  EXPECT_FALSE(set_.RequestScan());
  EXPECT_EQ(fake_.ScanCalls, 0);
}

TEST_F(InterfacesTest, ScanNotificationsArePostedAndEachTakeRefreshesTheList) {
  int posts = 0, changes = 0;
  set_.OnNetworkListChange = [&](TWLANNetworkList&) { ++changes; };
  set_.SetPostScanResults([&] { ++posts; });
  Enumerate(1);
  set_.SetSelectedIndex(0);
  fake_.BssList = {0, test::MakeBssList({{test::MakeEntry(1), {}}, {test::MakeEntry(2), {}}})};
  set_.RequestScan();
  // Two notifications for one request: two posts, and two refreshes when both are taken.
  fake_.Notify(kNotificationSourceACM, kAcmScanComplete);
  fake_.Notify(kNotificationSourceACM, kAcmScanListRefresh);
  fake_.Notify(kNotificationSourceACM, kAcmConnectionComplete);
  fake_.Notify(4, kAcmScanComplete);
  EXPECT_EQ(posts, 2);
  set_.TakeScanResults();
  At(5);
  set_.TakeScanResults();
  EXPECT_EQ(changes, 2);
  const TWLANNetworkList& list = *First().Networks;
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items[0]->FirstSeen, base_);
  EXPECT_EQ(list.Items[0]->LastSeen, now_);
  EXPECT_EQ(list.Items[0]->TypedSeries().Count(), 2u);
}

TEST_F(InterfacesTest, NothingIsPostedWithoutAPostFunctionOrAfterTheSetIsGone) {
  Enumerate(1);
  EXPECT_NO_THROW(fake_.Notify(kNotificationSourceACM, kAcmScanComplete));
  int posts = 0;
  auto callback = fake_.Callback;
  {
    FakeWlanService other;
    TWLANInterfaces set(other, options_);
    set.SetPostScanResults([&] { ++posts; });
    set.Open();
    callback = other.Callback;
    callback({kNotificationSourceACM, kAcmScanComplete, {}, {}});
  }
  callback({kNotificationSourceACM, kAcmScanComplete, {}, {}});  // a late notification from the service's thread
  EXPECT_EQ(posts, 1);
}

TEST_F(InterfacesTest, AFailedBssListStillAgesTheNetworksAndFiresTheChange) {
  Enumerate(1);
  set_.SetSelectedIndex(0);
  fake_.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "", 0x0011, 80), {}}})};
  set_.TakeScanResults();
  TWLANNetworkList& list = *First().Networks;
  ASSERT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.HasBssList());
  int changes = 0;
  list.OnChange = [&](TWLANNetworkList&) { ++changes; };
  fake_.BssList = {WlanError::kNotFound, {}};
  At(11);
  set_.TakeScanResults();
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(list.HasBssList());
  EXPECT_FALSE(list.Items[0]->Active);
  EXPECT_EQ(list.Items[0]->LinkQuality, 0u);
  EXPECT_EQ(list.Items[0]->RSSI, -50);
  EXPECT_EQ(list.RefreshTime, now_);
}

// Enumeration and properties -------------------------------------------------------------------------------

TEST_F(InterfacesTest, EnumerationCreatesInterfacesInOrderWithTheirPropertiesAndConnection) {
  fake_.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
  fake_.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
  fake_.SetQuery(kOpcodeMediaStreamingMode, {1, 2});  // malformed: false
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = kInterfaceConnected;
  a.dot11Bssid = {0, 0x11, 0x22, 0x33, 0, 2};
  fake_.SetQuery(kOpcodeCurrentConnection, a.Encode());
  int interfaceChanges = 0, propertyChanges = 0;
  set_.OnInterfacesChange = [&](TWLANInterfaces&) { ++interfaceChanges; };
  set_.OnPropertiesChange = [&](TWLANInterface&) { ++propertyChanges; };
  Enumerate(3);
  ASSERT_EQ(set_.Count(), 3);
  EXPECT_EQ(set_.Items[2]->Description, "wlan2");
  EXPECT_EQ(set_.Items[2]->GUID, Guid(3));
  EXPECT_EQ(First().State, kInterfaceConnected);
  EXPECT_TRUE(First().AutoConfEnabled);
  EXPECT_FALSE(First().MediaStreamingMode);
  EXPECT_FALSE(First().BackgroundScanEnabled);  // the query fails
  EXPECT_EQ(interfaceChanges, 1);
  EXPECT_EQ(propertyChanges, 3);
  // The connection was queried with the properties, so the connected interface is known at once.
  EXPECT_EQ(set_.FirstConnectedIndex(), 0);
  EXPECT_EQ(First().Networks->ConnectedBSSIDText, "00-11-22-33-00-02");

  fake_.Interfaces = {WlanError::kAccessDenied, {}};
  EXPECT_FALSE(set_.Enumerate());
  EXPECT_EQ(set_.Count(), 3);
  EXPECT_EQ(interfaceChanges, 1);
}

TEST_F(InterfacesTest, OpenFailsButRegistersAnyway) {
  fake_.OpenResult = WlanError::kAccessDenied;
  set_.SetPostScanResults([] {});
  EXPECT_FALSE(set_.Open());
  EXPECT_TRUE(static_cast<bool>(fake_.Callback));
}

class MapTextSource : public TextSource {
 public:
  std::map<std::string, std::string, std::less<>> Texts;
  std::optional<std::string> Lookup(std::string_view key) const override {
    auto it = Texts.find(key);
    if (it == Texts.end()) return std::nullopt;
    return it->second;
  }
};

TEST(InterfaceTexts, UnknownValuesAreFormattedWithTheirNumber) {
  MapTextSource texts;
  texts.Texts = {{"swlan_interface_state_unknown_state", "Unknown state (%d)"},
                 {"swlan_interface_state_discovering", "Discovering"},
                 {"swlan_connection_mode_unknown", "Unknown mode (%d)"}};
  SetTextSource(&texts);
  EXPECT_EQ(InterfaceStateText(9), "Unknown state (9)");
  EXPECT_EQ(InterfaceStateText(6), "Discovering");
  EXPECT_EQ(ConnectionModeText(6), "Unknown mode (6)");
  SetTextSource(nullptr);
  EXPECT_EQ(AuthAlgorithmText(0), "sUnknownAlgorithm");
  EXPECT_EQ(AuthAlgorithmText(7), "sDOT11_AUTH_ALGO_RSNA_PSK");
  EXPECT_EQ(AuthAlgorithmText(0x80000001), "sVendorSpecificAlgorithm");
  EXPECT_EQ(CipherAlgorithmText(3), "sUnknownAlgorithm");
  EXPECT_EQ(CipherAlgorithmText(0x101), "sDOT11_CIPHER_ALGO_WEP");
  EXPECT_EQ(CipherAlgorithmText(0xFFFFFFFF), "sVendorSpecificAlgorithm");
  EXPECT_EQ(RadioStateText(1), "SRadioStateON");
  EXPECT_EQ(RadioStateText(7), "SRadioStateUnknown");
  EXPECT_EQ(RateKbpsText(866700), "866.7");
  EXPECT_EQ(RateKbpsText(1201000), "1,201.0");
}

// Connection -----------------------------------------------------------------------------------------------

TEST(ConnectionRssi, ReportedValuesAreMappedAndCheckedAgainstTheQualityEstimate) {
  struct Case {
    int32_t reported, quality, expected;
  };
  const Case cases[] = {
      {60, 40, -80},                 // 60 - 95 = -35, estimate -80 differs by more than 10
      {-60, 80, -60},                // estimate -60
      {-60, 100, -60},               // estimate -50: exactly 10 apart, kept
      {-61, 100, -50},               // 11 apart
      {101, 40, -80},                // 101 * 50 / 255 - 100 = -80.2, truncated towards zero
      {255, 100, -50}, {1, 0, -94},  // 1 - 95; estimate -100
      {0, 0, -100},                  // 0 dBm is no signal at all next to quality 0
      {-91, 41, -80},                // 20.5 rounds to 20 (ties to even): estimate -80
      {-90, 45, -78},                // 22.5 rounds to 22: estimate -78
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReportedRssiToDbm(c.reported, c.quality), c.expected) << c.reported << " at quality " << c.quality;
}

TEST_F(InterfacesTest, ConnectionUpdateReadsAttributesChannelAndRssiAndAddsASample) {
  Enumerate(1);
  TWLANConnection& c = *First().Connection;
  EXPECT_EQ(c.State, kInterfaceDisconnected);  // no attributes at enumeration
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = kInterfaceConnected;
  a.wlanConnectionMode = kConnectionModeProfile;
  a.strProfileName = "Home";
  a.dot11Ssid.uSSIDLength = 4;
  std::copy_n("Home", 4, a.dot11Ssid.ucSSID.begin());
  a.dot11BssType = 1;
  a.dot11Bssid = {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03};
  a.dot11PhyType = 10;
  a.wlanSignalQuality = 140;  // clamped to 100
  a.ulRxRate = 866700;
  a.ulTxRate = 433300;
  a.bSecurityEnabled = 1;
  a.dot11AuthAlgorithm = kAuthRSNAPSK;
  a.dot11CipherAlgorithm = kCipherCCMP;
  fake_.SetQuery(kOpcodeCurrentConnection, a.Encode());
  fake_.SetQuery(kOpcodeChannelNumber, EncodeUInt32Value(36));
  fake_.SetQuery(kOpcodeRssi, EncodeInt32Value(-52));
  int changes = 0;
  c.OnChange = [&](TWlanObject&) { ++changes; };
  First().Networks->VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string("Maker"); };
  c.Update();
  EXPECT_EQ(c.BSSIDText, "AA-BB-CC-01-02-03");
  EXPECT_EQ(c.SSID, "Home");
  EXPECT_EQ(c.ProfileName, "Home");
  EXPECT_EQ(c.Vendor, "Maker");
  EXPECT_EQ(c.SignalQuality, 100);
  EXPECT_EQ(c.Channel, 36u);
  EXPECT_EQ(c.RSSI, -52);
  EXPECT_TRUE(c.SecurityEnabled);
  EXPECT_TRUE(First().IsConnected());
  EXPECT_EQ(First().Networks->ConnectedBSSIDText, "AA-BB-CC-01-02-03");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(c.Series.Count(), 2u);
  EXPECT_TRUE(c.Series.Newest().Connected);
  EXPECT_EQ(c.Series.Newest().RSSI, -52);
  EXPECT_EQ(c.Series.Newest().Quality, 100);

  // The attributes fail: disconnected and no BSSID, the other values stay; a failed RSSI query keeps the last.
  fake_.FailQuery(kOpcodeCurrentConnection);
  fake_.FailQuery(kOpcodeRssi);
  fake_.FailQuery(kOpcodeChannelNumber);
  c.Update();
  EXPECT_EQ(c.State, kInterfaceDisconnected);
  EXPECT_EQ(c.BSSIDText, "");
  EXPECT_EQ(c.SSID, "Home");
  EXPECT_EQ(c.RSSI, -52);
  EXPECT_EQ(c.Channel, 36u);
  EXPECT_FALSE(First().IsConnected());
  EXPECT_EQ(First().Networks->ConnectedBSSIDText, "");
  EXPECT_FALSE(c.Series.Newest().Connected);
}

TEST_F(InterfacesTest, ConnectPassesDiscoveryModeSsidBssidAndTheAdHocFlag) {
  Enumerate(1);
  TWLANNetworkList& list = *First().Networks;
  WLAN_BSS_ENTRY open = test::MakeEntry(1, -50, 2437000, "Open net", 0x0001);
  WLAN_BSS_ENTRY adhoc = test::MakeEntry(2, -50, 2437000, std::string(40, 'x'), 0x0012);
  adhoc.dot11BssType = 2;
  test::Refresh(list, now_, {{open, {}}, {adhoc, {}}});

  EXPECT_TRUE(First().Connect(*list.Items[0]));
  const WLAN_CONNECTION_PARAMETERS& p = fake_.Connects.back();
  EXPECT_EQ(p.wlanConnectionMode, kConnectionModeDiscoveryUnsecure);
  EXPECT_EQ(p.dwFlags, 0u);
  EXPECT_EQ(p.dot11BssType, 1u);
  EXPECT_TRUE(p.strProfile.empty());
  ASSERT_TRUE(p.pDot11Ssid);
  EXPECT_EQ(p.pDot11Ssid->uSSIDLength, 8u);
  ASSERT_TRUE(p.pDesiredBssidList);
  EXPECT_EQ(p.pDesiredBssidList->HeaderType, 0x80);
  EXPECT_EQ(p.pDesiredBssidList->HeaderSize, 20);
  EXPECT_EQ(p.pDesiredBssidList->uNumOfEntries, 1u);
  EXPECT_EQ(p.pDesiredBssidList->BSSIDs, (std::vector<std::array<uint8_t, 6>>{open.dot11Bssid}));

  options_.bShowScanDebugInLOG = true;
  std::vector<std::pair<std::string, std::string>> messages;
  set_.OnDebugMessage = [&](const std::string& t, const std::string& c) { messages.push_back({t, c}); };
  fake_.ConnectResult = WlanError::kInvalidParameter;
  EXPECT_FALSE(First().Connect(*list.Items[1]));
  const WLAN_CONNECTION_PARAMETERS& q = fake_.Connects.back();
  EXPECT_EQ(q.wlanConnectionMode, kConnectionModeDiscoverySecure);
  EXPECT_EQ(q.dwFlags, 2u);
  EXPECT_EQ(q.dot11BssType, 2u);
  EXPECT_EQ(q.pDot11Ssid->uSSIDLength, 32u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "WlanConnect is failed. Error 87");
  EXPECT_EQ(messages[0].second, "Error");
}

// Profiles -------------------------------------------------------------------------------------------------

WlanBlock ProfileList(std::vector<std::string> names) {
  WLAN_PROFILE_INFO_LIST list;
  for (auto& n : names) list.ProfileInfo.push_back({n, 0});
  return list.Encode();
}

TEST_F(InterfacesTest, TheProfileListReusesItsObjectsAndShrinksFromTheEnd) {
  Enumerate(1);
  TWLANProfiles& profiles = *First().Profiles;
  fake_.Profiles = {0, ProfileList({"a", "b", "c", "d", "e"})};
  profiles.Update();
  ASSERT_EQ(profiles.Items.size(), 5u);
  std::vector<TWLANProfile*> before;
  for (auto& p : profiles.Items) before.push_back(p.get());

  fake_.Profiles = {0, ProfileList({"c", "a", "x"})};
  int changes = 0;
  profiles.OnChange = [&](TWlanObject&) { ++changes; };
  profiles.Update();
  ASSERT_EQ(profiles.Items.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(profiles.Items[i].get(), before[i]);
  EXPECT_EQ(profiles.Items[0]->Name, "c");
  EXPECT_EQ(profiles.Items[2]->Name, "x");

  fake_.Profiles = {WlanError::kAccessDenied, {}};
  profiles.Update();
  EXPECT_EQ(profiles.Items.size(), 3u);
  EXPECT_EQ(changes, 2);
}

// Statistics -----------------------------------------------------------------------------------------------

WlanPhyCounters PhyCounters(uint64_t base) {
  WlanPhyCounters c{};
  for (size_t i = 0; i < c.size(); ++i) c[i] = base + i;
  return c;
}

TEST_F(InterfacesTest, PhyCountersAreFiledByTheTypeOfTheirPhy) {
  Enumerate(1);
  TWLANStatistics& s = *First().Statistics;
  WLAN_STATISTICS st;
  st.ullFourWayHandshakeFailures = 3;
  st.MacUcastCounters[0] = 100;
  st.MacMcastCounters[0] = 7;
  st.PhyCounters = {PhyCounters(1000), PhyCounters(2000), PhyCounters(5000), PhyCounters(9000)};
  fake_.SetQuery(kOpcodeStatistics, st.Encode());
  // PHY 2 has a type without a slot; PHY 3 is not in the capability at all.
  fake_.SetCapability({7, 8, 12});
  int changes = 0;
  s.OnChange = [&](TWlanObject&) { ++changes; };
  s.Update();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(s.FourWayHandshakeFailures, 3u);
  EXPECT_EQ(s.PhyCounters[7], PhyCounters(1000));
  EXPECT_EQ(s.PhyCounters[8], PhyCounters(2000));
  EXPECT_EQ(s.PhyTotal[0], 3000u);
  EXPECT_EQ(s.PhyTotal[17], 3034u);
  TSmallSet expected;
  expected.Add(7);
  expected.Add(8);
  EXPECT_EQ(s.PhyPresent, expected);
  ASSERT_EQ(s.CounterSeries.size(), 30u);
  EXPECT_EQ(s.MacSeries(0).Newest().Unicast, 100u);
  EXPECT_EQ(s.MacSeries(0).Newest().Multicast, 7u);
  EXPECT_EQ(s.PhySeries(0).Newest().Total, 3000u);
  EXPECT_EQ(s.PhySeries(0).Newest().PerPhy[8], 2000u);
  EXPECT_EQ(TWLANStatistics::PhyCounter(s.PhyTotal, 18), 0u);

  // Two PHYs of one type: the later wins.
  fake_.SetCapability({7, 7});
  s.Update();
  EXPECT_EQ(s.PhyCounters[7], PhyCounters(2000));
  EXPECT_EQ(s.PhyCounters[8], WlanPhyCounters{});

  // A failing capability query: PHY counters zeroed, MAC counters kept, no samples, no change.
  fake_.Capability = {WlanError::kNotSupported, {}};
  s.Update();
  EXPECT_EQ(s.PhyTotal, WlanPhyCounters{});
  EXPECT_TRUE(s.PhyPresent.Empty());
  EXPECT_EQ(s.MacUnicast[0], 100u);
  EXPECT_EQ(s.MacSeries(0).Count(), 2u);
  EXPECT_EQ(changes, 2);
}

// Radio state ----------------------------------------------------------------------------------------------

TEST_F(InterfacesTest, RadioStatesAreKeptForTheUsualPhyTypesOnly) {
  Enumerate(1);
  TWLANInterface& i = First();
  WLAN_RADIO_STATE r;
  r.PhyRadioState = {{0, kRadioOn, kRadioOn}, {1, kRadioOff, kRadioOn}, {2, kRadioOn, kRadioOn},
                     {3, kRadioOn, kRadioOn}, {4, kRadioOn, kRadioOff}, {9, kRadioOn, kRadioOn}};
  fake_.SetQuery(kOpcodeRadioState, r.Encode());
  fake_.SetCapability({7, 8, 9, 2, 11});  // n, ac, ad, dsss, be
  int changes = 0;
  i.OnRadioStateChange = [&](TWLANInterface&) { ++changes; };
  i.UpdateRadioState();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(i.RadioStates[7], (TRadioState{true, kRadioOn, kRadioOn}));
  EXPECT_EQ(i.RadioStates[8], (TRadioState{true, kRadioOff, kRadioOn}));
  EXPECT_EQ(i.RadioStates[11], (TRadioState{true, kRadioOn, kRadioOff}));
  for (int p : {0, 1, 2, 3, 4, 5, 6, 9, 10}) EXPECT_FALSE(i.RadioStates[static_cast<size_t>(p)].Present) << p;
  EXPECT_TRUE(i.IsSoftwareRadioOn());
  EXPECT_TRUE(i.IsHardwareRadioOn());

  // The switch turns every PHY off, whatever its type.
  i.SetRadio(false);
  ASSERT_EQ(fake_.RadioSwitches.size(), 5u);
  for (uint32_t k = 0; k < 5; ++k) EXPECT_EQ(fake_.RadioSwitches[k], (WLAN_PHY_RADIO_STATE{k, kRadioOff, kRadioOff}));

  // A failing query clears the records and tells nobody.
  fake_.FailQuery(kOpcodeRadioState);
  i.UpdateRadioState();
  EXPECT_EQ(i.RadioStates, TRadioStates{});
  EXPECT_FALSE(i.IsSoftwareRadioOn());
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace skimlet

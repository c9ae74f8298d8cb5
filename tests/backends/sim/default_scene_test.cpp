// The scene that ships with the program: what it covers, and that every access point's beacon decodes back
// to the values it was built from.
//
// Element families are checked one function each. Where a decoder class exists its decoded values are
// compared; for the others the element must be present (or absent) and its body must be exactly what the
// encoder made for the access point's values, so a value check is one more line in that family's function
// once its decoder exists.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "backends/sim/scene.h"
#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/elements/eid003_dsss.h"
#include "core/ie/elements/eid011_bss_load.h"

namespace skimlet::sim {
namespace {

const Scene& DefaultScene() {
  static const Scene scene = [] {
    auto r = ReadSceneFile(SKIMLET_SOURCE_DIR "/data/scenes/default.scene");
    if (!r.Value) ADD_FAILURE() << r.Error;
    return r.Value.value_or(Scene{});
  }();
  return scene;
}

bool IsMalformed(const SceneAccessPoint& ap) { return !ap.Raw.empty(); }
bool HasHT(const SceneAccessPoint& ap) { return ap.Standard == Phy::N || ap.Standard == Phy::AC || ap.Standard == Phy::AX; }
bool HasVHT(const SceneAccessPoint& ap) { return !ap.Is24GHz() && (ap.Standard == Phy::AC || ap.Standard == Phy::AX); }
bool HasRSN(Security s) {
  return s != Security::Open && s != Security::WEP && s != Security::WPA && s != Security::WPAEnterprise;
}
bool HasWPA(Security s) { return s == Security::WPA || s == Security::WPAWPA2 || s == Security::WPAEnterprise; }

std::vector<uint8_t> BodyOf(const TInformationElement* e) {
  return e ? std::vector<uint8_t>(e->Data.begin(), e->Data.end()) : std::vector<uint8_t>{};
}

TEST(DefaultScene, CoversWhatTheSurveyToolMustShow) {
  const Scene& s = DefaultScene();
  ASSERT_GE(s.AccessPoints.size(), 40u);
  std::set<int> widths;
  std::set<Phy> phys;
  std::set<Security> securities;
  std::set<HiddenSSID> hidden;
  bool b24 = false, b5 = false, nonUtf8 = false, utf8 = false, wpsLocked = false, wpsConfigured = false,
       country = false, load = false, appear = false, adhoc = false;
  size_t vendors = 0, malformed = 0;
  for (const auto& ap : s.AccessPoints) {
    widths.insert(ap.Width);
    phys.insert(ap.Standard);
    securities.insert(ap.Sec);
    hidden.insert(ap.Hidden);
    (ap.Is24GHz() ? b24 : b5) = true;
    std::string text(ap.SSID.begin(), ap.SSID.end());
    bool high = std::any_of(ap.SSID.begin(), ap.SSID.end(), [](uint8_t c) { return c >= 0x80; });
    if (high && SSIDBytesToText(ap.SSID) == text) utf8 = true;
    if (high && SSIDBytesToText(ap.SSID) != text) nonUtf8 = true;
    if (ap.WPS && ap.WPS->Locked && !ap.WPS->DeviceName.empty()) wpsLocked = true;
    if (ap.WPS && ap.WPS->State == 2 && !ap.WPS->Locked && !ap.WPS->DeviceName.empty()) wpsConfigured = true;
    country |= ap.Country.has_value();
    load |= ap.Load.has_value();
    appear |= ap.AppearOn > 0;
    adhoc |= ap.AdHoc;
    vendors += ap.Vendors.size();
    malformed += IsMalformed(ap);
  }
  EXPECT_TRUE(b24 && b5);
  EXPECT_EQ(widths, (std::set<int>{20, 40, 80, 160, 8080}));
  EXPECT_EQ(phys, (std::set<Phy>{Phy::A, Phy::B, Phy::G, Phy::N, Phy::AC, Phy::AX}));
  EXPECT_EQ(securities.size(), 11u);
  EXPECT_EQ(hidden.size(), 3u);
  EXPECT_TRUE(utf8 && nonUtf8 && wpsLocked && wpsConfigured && country && load && appear && adhoc);
  EXPECT_GE(vendors, 5u);
  EXPECT_EQ(malformed, 1u);
  ASSERT_GE(s.Interfaces.size(), 1u);
  EXPECT_TRUE(s.Interfaces[0].ConnectedTo.has_value());
}

// SSID: the text for visible networks; hidden ones send an empty element or zeros.
void CheckSSID(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* ssid = e.Find<TSSIDElement>(kEidSSID);
  if (ap.Hidden == HiddenSSID::Empty) {
    EXPECT_EQ(ssid, nullptr);  // the container skips zero-length elements
    return;
  }
  ASSERT_NE(ssid, nullptr);
  if (ap.Hidden == HiddenSSID::Zeros) {
    EXPECT_EQ(ssid->SSID, "");
    EXPECT_EQ(ssid->Length, ap.SSID.size());
  } else {
    EXPECT_EQ(ssid->SSID, SSIDBytesToText(ap.SSID));
  }
}

// Rates: both rate elements together give the band's rates; the entry's rate set holds the same.
void CheckRates(const SceneAccessPoint& ap, const WLAN_BSS_ENTRY& entry, const TInformationElements& e) {
  std::vector<double> expected;
  if (!ap.Is24GHz()) expected = {6, 9, 12, 18, 24, 36, 48, 54};
  else if (ap.Standard == Phy::B) expected = {1, 2, 5.5, 11};
  else expected = {1, 2, 5.5, 11, 6, 9, 12, 18, 24, 36, 48, 54};
  std::vector<double> rates;
  if (auto* r = e.Find<TSupportedRatesElementBase>(kEidSupportedRates)) rates = r->Rates;
  if (auto* r = e.Find<TSupportedRatesElementBase>(kEidExtSupportedRates)) rates.insert(rates.end(), r->Rates.begin(), r->Rates.end());
  EXPECT_EQ(rates, expected);
  ASSERT_EQ(entry.wlanRateSet.uRateSetLength, 2 * expected.size());
  for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ((entry.wlanRateSet.usRateSet[k] & 0x7FFF) / 2.0, expected[k]);
}

void CheckChannel(const SceneAccessPoint& ap, const WLAN_BSS_ENTRY& entry, const TInformationElements& e) {
  auto* dsss = e.Find<TDSSSParameterSetElement>(kEidDSSS);
  if (ap.Is24GHz()) {
    ASSERT_NE(dsss, nullptr);
    EXPECT_EQ(dsss->CurrentChannel, ap.Channel);
  } else {
    EXPECT_EQ(dsss, nullptr);
  }
  EXPECT_EQ(entry.ulChCenterFrequency, ap.Is24GHz() ? 2407000u + 5000u * ap.Channel : 5000000u + 5000u * ap.Channel);
}

void CheckLoad(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* load = e.Find<TBSSLoadElement>(kEidBSSLoad);
  if (!ap.Load) {
    EXPECT_EQ(load, nullptr);
    return;
  }
  ASSERT_NE(load, nullptr);
  EXPECT_EQ(load->StationCount, ap.Load->first);
  EXPECT_EQ(load->ChannelUtilization, ap.Load->second);
}

void CheckCountry(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* c = e.FindElement(kEidCountry);
  ASSERT_EQ(c != nullptr, ap.Country.has_value());
  if (!c) return;
  ASSERT_GE(c->Length, 6);
  EXPECT_EQ(std::string(c->Data.begin(), c->Data.begin() + 2), ap.Country->Code);
  EXPECT_EQ(c->Data[2], ap.Country->Environment);
  EXPECT_EQ(c->Length % 2, 0);
  // Once the country decoder exists: its CountryCode equals ap.Country->Code.
}

// Security: RSN and WPA elements by the access point's security, privacy bit in the entry.
void CheckSecurity(const SceneAccessPoint& ap, const WLAN_BSS_ENTRY& entry, const TInformationElements& e) {
  EXPECT_EQ((entry.usCapabilityInformation & 0x0010) != 0, ap.Sec != Security::Open);
  auto* rsn = e.FindElement(kEidRSN);
  ASSERT_EQ(rsn != nullptr, HasRSN(ap.Sec)) << SecurityWord(ap.Sec);
  if (rsn) {
    // The AKM suite types follow the security: byte 2+4+2+4n+2 is the first AKM suite.
    auto body = BodyOf(rsn);
    size_t n = body[6];
    uint8_t akm = body[8 + 4 * n + 2 + 3];
    const std::map<Security, uint8_t> firstAKM = {
        {Security::WPA2, kAKMPSK}, {Security::WPAWPA2, kAKMPSK}, {Security::WPA3, kAKMSAE},
        {Security::WPA2WPA3, kAKMPSK}, {Security::OWE, kAKMOWE}, {Security::WPA2Enterprise, kAKM8021X},
        {Security::WPA3Enterprise, kAKMSuiteB192}};
    EXPECT_EQ(akm, firstAKM.at(ap.Sec)) << SecurityWord(ap.Sec);
    // Once the RSN decoder exists: GroupCipher, PairwiseCiphers and AKMSuites of TRSNElement.
  }
  auto* wpa = e.FindVendorElement(kOUIMicrosoft, 1);
  EXPECT_EQ(wpa != nullptr, HasWPA(ap.Sec)) << SecurityWord(ap.Sec);
  // Once the WPA decoder exists: the suites of TWPAElement.
}

void CheckWPS(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* wps = e.FindVendorElement(kOUIMicrosoft, 4);
  ASSERT_EQ(wps != nullptr, ap.WPS.has_value());
  if (!wps) return;
  // Walk the attributes: every one lies inside the body, and the device name and state are the scene's.
  auto body = BodyOf(wps);
  std::string device;
  uint8_t state = 0;
  bool locked = false;
  size_t p = 4;
  while (p + 4 <= body.size()) {
    uint16_t type = static_cast<uint16_t>(body[p] << 8 | body[p + 1]);
    uint16_t len = static_cast<uint16_t>(body[p + 2] << 8 | body[p + 3]);
    ASSERT_LE(p + 4 + len, body.size());
    if (type == 0x1011) device.assign(body.begin() + static_cast<long>(p) + 4, body.begin() + static_cast<long>(p) + 4 + len);
    if (type == 0x1044) state = body[p + 4];
    if (type == 0x1057) locked = true;
    p += 4 + len;
  }
  EXPECT_EQ(p, body.size());
  EXPECT_EQ(device, ap.WPS->DeviceName);
  EXPECT_EQ(state, ap.WPS->State);
  EXPECT_EQ(locked, ap.WPS->Locked);
  // Once the WPS decoder exists: WPSState, APSetupLocked, DeviceName, Manufacturer, ModelName, ModelNumber.
}

void CheckHTVHTHE(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* htCap = e.FindElement(kEidHTCapabilities);
  auto* htOp = e.FindElement(kEidHTOperation);
  ASSERT_EQ(htCap != nullptr, HasHT(ap));
  ASSERT_EQ(htOp != nullptr, HasHT(ap));
  if (htOp) {
    auto body = BodyOf(htOp);
    EXPECT_EQ(body[0], ap.Channel);
    uint8_t offset = body[1] & 3;
    EXPECT_EQ(offset != 0, ap.Width >= 40);
    EXPECT_EQ((body[1] & 4) != 0, ap.Width >= 40);
    // Once the HT decoder exists: PrimaryChannel, SecondaryChannelOffset, Only20MHz; RxMCSBitmask by streams.
  }
  auto* vhtCap = e.FindElement(kEidVHTCapabilities);
  auto* vhtOp = e.FindElement(kEidVHTOperation);
  ASSERT_EQ(vhtCap != nullptr, HasVHT(ap));
  ASSERT_EQ(vhtOp != nullptr, HasVHT(ap));
  if (vhtOp) {
    auto body = BodyOf(vhtOp);
    EXPECT_EQ(body[0], ap.Width >= 80 ? 1 : 0);
    uint8_t cs0 = ap.Width >= 80 ? CenterChannel5GHz(ap.Channel, 80) : 0;
    uint8_t cs1 = ap.Width == 160 ? CenterChannel5GHz(ap.Channel, 160) : ap.Width == 8080 ? ap.Center2 : 0;
    EXPECT_EQ(body[1], cs0);
    EXPECT_EQ(body[2], cs1);
    // Once the VHT decoder exists: ChannelWidth, CenterSegment0/1, RxVHTMCSMap, ShortGI80/160.
  }
  auto* heCap = e.FindExtensionElement(kExtHECapabilities);
  auto* heOp = e.FindExtensionElement(kExtHEOperation);
  ASSERT_EQ(heCap != nullptr, ap.Standard == Phy::AX);
  ASSERT_EQ(heOp != nullptr, ap.Standard == Phy::AX);
  if (heCap) {
    auto body = BodyOf(heCap);  // body 0 is the extension ID
    uint8_t set = body[7] >> 1;
    EXPECT_EQ((set & 1) != 0, ap.Is24GHz() && ap.Width >= 40);
    EXPECT_EQ((set & 2) != 0, !ap.Is24GHz());
    EXPECT_EQ((set & 4) != 0, ap.Width >= 160);
    EXPECT_EQ((set & 8) != 0, ap.Width == 8080);
    EXPECT_EQ(body.size(), 22u + ((set & 4) ? 4 : 0) + ((set & 8) ? 4 : 0));
    // Once the HE decoder exists: the width flags and the MCS maps of THECapabilitiesExtensionsInformationElement.
  }
  EXPECT_EQ(e.FindVendorElement(kOUIMicrosoft, 2) != nullptr, HasHT(ap));  // WMM
}

void CheckVendors(const SceneAccessPoint& ap, const TInformationElements& e) {
  for (const auto& v : ap.Vendors) {
    auto* found = e.FindVendorElement(v.OUI, v.Subtype);
    ASSERT_NE(found, nullptr);
    auto body = BodyOf(found);
    EXPECT_EQ(std::vector<uint8_t>(body.begin() + 4, body.end()), v.Body);
  }
}

TEST(DefaultScene, EveryAccessPointDecodesBackToItsValues) {
  for (const auto& ap : DefaultScene().AccessPoints) {
    SCOPED_TRACE("access point of line " + std::to_string(ap.Line));
    Beacon b = BuildBeacon(ap, ap.Rssi, 0);
    EXPECT_EQ(b.Entry.dot11Bssid, ap.BSSID);
    EXPECT_EQ(b.Entry.lRssi, ap.Rssi);
    EXPECT_EQ(b.Entry.dot11BssType, ap.AdHoc ? 2u : 1u);
    EXPECT_EQ(b.Entry.dot11BssPhyType, PhyTypeOf(ap.Standard));
    EXPECT_EQ(b.Entry.dot11Ssid.uSSIDLength, ap.Hidden == HiddenSSID::No ? ap.SSID.size() : 0u);
    TInformationElements e;
    e.Parse(b.Blob);
    CheckSSID(ap, e);
    CheckRates(ap, b.Entry, e);
    CheckChannel(ap, b.Entry, e);
    CheckVendors(ap, e);
    if (IsMalformed(ap)) continue;  // its raw elements are checked below
    CheckLoad(ap, e);
    CheckCountry(ap, e);
    CheckSecurity(ap, b.Entry, e);
    CheckWPS(ap, e);
    CheckHTVHTHE(ap, e);
    // The blob is a clean sequence of elements: nothing is cut or left over.
    size_t p = 0;
    while (p + 2 <= b.Blob.size()) p += 2 + b.Blob[p + 1];
    EXPECT_EQ(p, b.Blob.size());
  }
}

TEST(DefaultScene, TheMalformedBeaconIsDecodedWithoutHarm) {
  for (const auto& ap : DefaultScene().AccessPoints) {
    if (!IsMalformed(ap)) continue;
    Beacon b = BuildBeacon(ap, ap.Rssi, 0);
    TInformationElements e;
    e.Parse(b.Blob);
    TIETree tree;
    e.FillTree(tree);
    // The wrong-length BSS Load is kept but tells nothing; the cut last element is dropped.
    auto* load = e.Find<TBSSLoadElement>(kEidBSSLoad);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->StationCount, -1);
    EXPECT_NE(e.FindElement(kEidRSN), nullptr);
    EXPECT_NE(e.FindElement(kEidHTCapabilities), nullptr);
    EXPECT_EQ(e.FindVendorElement(0x001018, 0x00), nullptr);
  }
}

}  // namespace
}  // namespace skimlet::sim

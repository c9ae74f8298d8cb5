// The scene that ships with the program: what it covers, and that every access point's beacon decodes back
// to the values it was built from.
//
// Element families are checked one function each: the element must be present (or absent) as the access
// point's values say, and its decoder must give back those values. The Country element has no decoder yet;
// its body is checked byte by byte.
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
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/eid061_ht_operation.h"
#include "core/ie/elements/eid191_vht_capabilities.h"
#include "core/ie/elements/eid192_vht_operation.h"
#include "core/ie/elements/ext035_he_capabilities.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "core/ie/elements/vnd_0050f2_01_wpa.h"
#include "core/ie/elements/vnd_0050f2_04_wps.h"
#include "core/model/columns.h"
#include "core/model/network.h"

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
bool HasHE(const SceneAccessPoint& ap) { return ap.Standard == Phy::AX || ap.Standard == Phy::BE; }
// The 6 GHz band has no HT or VHT elements.
bool HasHT(const SceneAccessPoint& ap) {
  return !ap.Band6GHz && (ap.Standard == Phy::N || ap.Standard == Phy::AC || HasHE(ap));
}
bool HasVHT(const SceneAccessPoint& ap) {
  return !ap.Band6GHz && !ap.Is24GHz() && (ap.Standard == Phy::AC || HasHE(ap));
}
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
  EXPECT_EQ(widths, (std::set<int>{20, 40, 80, 160, 320, 8080}));
  EXPECT_EQ(phys, (std::set<Phy>{Phy::A, Phy::B, Phy::G, Phy::N, Phy::AC, Phy::AX, Phy::BE}));
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
  if (auto* r = e.Find<TSupportedRatesElementBase>(kEidExtSupportedRates))
    rates.insert(rates.end(), r->Rates.begin(), r->Rates.end());
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
  const uint32_t base = ap.Band6GHz ? 5950000u : ap.Is24GHz() ? 2407000u : 5000000u;
  EXPECT_EQ(entry.ulChCenterFrequency, base + 5000u * ap.Channel);
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
  struct Suites {
    uint8_t Group;
    TByteDynamicArray Pairwise, AKM;
  };
  const std::map<Security, Suites> rsnSuites = {
      {Security::WPA2, {kCipherSuiteCCMP, {kCipherSuiteCCMP}, {kAKMPSK}}},
      {Security::WPAWPA2, {kCipherSuiteTKIP, {kCipherSuiteCCMP, kCipherSuiteTKIP}, {kAKMPSK}}},
      {Security::WPA3, {kCipherSuiteCCMP, {kCipherSuiteCCMP}, {kAKMSAE}}},
      {Security::WPA2WPA3, {kCipherSuiteCCMP, {kCipherSuiteCCMP}, {kAKMPSK, kAKMSAE}}},
      {Security::OWE, {kCipherSuiteCCMP, {kCipherSuiteCCMP}, {kAKMOWE}}},
      {Security::WPA2Enterprise, {kCipherSuiteCCMP, {kCipherSuiteCCMP}, {kAKM8021X, kAKMFT8021X}}},
      {Security::WPA3Enterprise, {kCipherSuiteGCMP256, {kCipherSuiteGCMP256}, {kAKMSuiteB192}}},
  };
  auto* rsn = e.Find<TRSNElement>(kEidRSN);
  ASSERT_EQ(rsn != nullptr, HasRSN(ap.Sec)) << SecurityWord(ap.Sec);
  if (rsn) {
    const Suites& want = rsnSuites.at(ap.Sec);
    EXPECT_EQ(rsn->Version, 1);
    EXPECT_EQ(rsn->GroupCipher, want.Group) << SecurityWord(ap.Sec);
    EXPECT_EQ(rsn->PairwiseCiphers, want.Pairwise) << SecurityWord(ap.Sec);
    EXPECT_EQ(rsn->AKMSuites, want.AKM) << SecurityWord(ap.Sec);
  }
  auto* wpa = e.FindVendor<TWPAElement>(kOUIMicrosoft, 1);
  ASSERT_EQ(wpa != nullptr, HasWPA(ap.Sec)) << SecurityWord(ap.Sec);
  if (wpa) {
    EXPECT_EQ(wpa->Version, 1);
    EXPECT_EQ(wpa->GroupCipher, kCipherSuiteTKIP);
    EXPECT_EQ(wpa->PairwiseCiphers, TByteDynamicArray{kCipherSuiteTKIP});
    EXPECT_EQ(wpa->AKMSuites, TByteDynamicArray{uint8_t(ap.Sec == Security::WPAEnterprise ? kAKM8021X : kAKMPSK)});
  }
}

void CheckWPS(const SceneAccessPoint& ap, const TInformationElements& e) {
  auto* wps = e.FindVendor<TWPSElement>(kOUIMicrosoft, 4);
  ASSERT_EQ(wps != nullptr, ap.WPS.has_value());
  if (!wps) return;
  EXPECT_EQ(wps->WPSState, ap.WPS->State);
  EXPECT_EQ(wps->APSetupLocked, ap.WPS->Locked);
  EXPECT_EQ(wps->DeviceName, ap.WPS->DeviceName);
  EXPECT_EQ(wps->Manufacturer, ap.WPS->Manufacturer);
  EXPECT_EQ(wps->ModelName, ap.WPS->ModelName);
  EXPECT_EQ(wps->ModelNumber, ap.WPS->ModelNumber);
  EXPECT_EQ(wps->Version, 0x10);
  EXPECT_EQ(wps->Version2, 0x20);
}

void CheckHTVHTHE(const SceneAccessPoint& ap, const TInformationElements& e) {
  bool b24 = ap.Is24GHz();
  auto* htCap = e.Find<THTCapabilitiesElement>(kEidHTCapabilities);
  auto* htOp = e.Find<THTOperationElement>(kEidHTOperation);
  ASSERT_EQ(htCap != nullptr, HasHT(ap));
  ASSERT_EQ(htOp != nullptr, HasHT(ap));
  if (htCap) {
    EXPECT_EQ(htCap->SupportedChannelWidth40, ap.Width >= 40 || !b24);
    EXPECT_TRUE(htCap->ShortGI20);
    EXPECT_EQ(htCap->ShortGI40, htCap->SupportedChannelWidth40);
    EXPECT_EQ(htCap->RxMCSBitmask, HTRxMCSBitmaskFor(ap.Streams));
  }
  if (htOp) {
    EXPECT_EQ(htOp->PrimaryChannel, ap.Channel);
    EXPECT_EQ(htOp->Only20MHz, ap.Width < 40);
    int expectedOffset = 0;
    if (ap.Width >= 40)
      expectedOffset = b24 ? (ap.Channel <= 7 ? 1 : 3) : (CenterChannel5GHz(ap.Channel, 40) > ap.Channel ? 1 : 3);
    EXPECT_EQ(htOp->SecondaryChannelOffset, expectedOffset);
  }
  uint8_t cs0 = ap.Width >= 80 ? CenterChannel5GHz(ap.Channel, 80) : 0;
  uint8_t cs1 = ap.Width == 160 ? CenterChannel5GHz(ap.Channel, 160) : ap.Width == 8080 ? ap.Center2 : 0;
  auto* vhtCap = e.Find<TVHTCapabilitiesElement>(kEidVHTCapabilities);
  auto* vhtOp = e.Find<TVHTOperationElement>(kEidVHTOperation);
  ASSERT_EQ(vhtCap != nullptr, HasVHT(ap));
  ASSERT_EQ(vhtOp != nullptr, HasVHT(ap));
  if (vhtCap) {
    EXPECT_TRUE(vhtCap->ShortGI80);
    EXPECT_EQ(vhtCap->ShortGI160, ap.Width >= 160);
    EXPECT_EQ(vhtCap->RxVHTMCSMap, MCSMapFor(ap.Streams, 2));
    EXPECT_EQ(vhtCap->TxVHTMCSMap, MCSMapFor(ap.Streams, 2));
  }
  if (vhtOp) {
    EXPECT_EQ(vhtOp->ChannelWidth, ap.Width >= 80 ? 1 : 0);
    EXPECT_EQ(vhtOp->CenterSegment0, cs0);
    EXPECT_EQ(vhtOp->CenterSegment1, cs1);
  }
  auto* heCap = e.FindExtension<THECapabilitiesExtensionsInformationElement>(kExtHECapabilities);
  auto* heOp = e.FindExtension<THEOperationExtensionsInformationElement>(kExtHEOperation);
  ASSERT_EQ(heCap != nullptr, HasHE(ap));
  ASSERT_EQ(heOp != nullptr, HasHE(ap));
  if (heCap) {
    uint16_t map = MCSMapFor(ap.Streams, 2);
    bool w160 = ap.Width == 160 || ap.Width == 8080 || ap.Width == 320;
    EXPECT_EQ(heCap->Width40In24G, b24 && ap.Width >= 40);
    EXPECT_EQ(heCap->Width40And80In5G, !b24);
    EXPECT_EQ(heCap->Width160In5G, w160);
    EXPECT_EQ(heCap->Width80p80In5G, ap.Width == 8080);
    EXPECT_EQ(heCap->RxHEMCSMap80, map);
    EXPECT_EQ(heCap->TxHEMCSMap80, map);
    EXPECT_EQ(heCap->RxHEMCSMap160, w160 ? map : 0xFFFF);
    EXPECT_EQ(heCap->TxHEMCSMap160, w160 ? map : 0xFFFF);
    EXPECT_EQ(heCap->RxHEMCSMap80p80, ap.Width == 8080 ? map : 0xFFFF);
  }
  if (heOp) {
    EXPECT_FALSE(heOp->VHTInfoPresent);
    EXPECT_EQ(heOp->Has6GHzInfo, ap.Band6GHz);
    if (ap.Band6GHz) {
      EXPECT_EQ(heOp->PrimaryChannel6GHz, ap.Channel);
      EXPECT_EQ(heOp->ChannelWidthMHz6GHz(), std::min(ap.Width, 160));
    }
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
    // The entry is read from the blob: a raw HT element makes a malformed access point HT, and a hidden
    // SSID of zero bytes keeps its length, as a receiver reports them.
    if (!IsMalformed(ap)) { EXPECT_EQ(b.Entry.dot11BssPhyType, PhyTypeOf(ap.Standard)); }
    EXPECT_EQ(b.Entry.dot11Ssid.uSSIDLength, ap.Hidden == HiddenSSID::Empty ? 0u : ap.SSID.size());
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
    // Every element's tree decodes without a corrupted line.
    TIETree tree;
    e.FillTree(tree);
    tree.ForEach(
        [&](TIETreeLine l) { EXPECT_EQ(tree.Data(l).Text.find("corrupted"), std::string::npos) << tree.Data(l).Text; });
    // The blob is a clean sequence of elements: nothing is cut or left over.
    size_t p = 0;
    while (p + 2 <= b.Blob.size()) p += 2 + b.Blob[p + 1];
    EXPECT_EQ(p, b.Blob.size());
  }
}

// The access points of today's radios read as the network list shows them.
TEST(DefaultScene, TodaysRadiosReadAsTheListShowsThem) {
  struct Expected {
    std::array<uint8_t, 6> BSSID;
    const char *Band, *Channel, *Phy, *Security, *PMF, *Roaming, *Streams;
  } cases[] = {
      {{0x00, 0x1A, 0x2B, 0x00, 0x06, 0x01}, "6 GHz", "47[37]", "ax", "WPA3", "Required", "k, v", "2x2"},
      {{0x00, 0x1A, 0x2B, 0x00, 0x07, 0x05},
       "5 GHz",
       "114[100]",
       "a, n, ac, ax, be",
       "WPA3",
       "Required",
       "k, v, r",
       "4x4"},
      {{0x00, 0x1A, 0x2B, 0x00, 0x07, 0x06}, "6 GHz", "31[37]", "ax, be", "WPA3", "Required", "k, v, r", "4x4"},
      {{0x00, 0x1A, 0x2B, 0x00, 0x08, 0x01}, "5 GHz", "42[44]", "a, n, ac, ax", "WPA2/WPA3", "Capable", "r", "2x2"},
  };
  for (const Expected& c : cases) {
    const auto& aps = DefaultScene().AccessPoints;
    auto ap = std::find_if(aps.begin(), aps.end(), [&](const SceneAccessPoint& a) { return a.BSSID == c.BSSID; });
    ASSERT_NE(ap, aps.end());
    SCOPED_TRACE("access point of line " + std::to_string(ap->Line));
    Beacon b = BuildBeacon(*ap, ap->Rssi, 0);
    TWLANNetwork n;
    n.UpdateFromEntry(b.Entry, b.Blob);
    EXPECT_EQ(n.GetColumnText(ColumnIndex(TNetworkColumn::Band)).substr(0, 2), std::string(c.Band).substr(0, 2));
    EXPECT_EQ(n.ChannelText(), c.Channel);
    EXPECT_EQ(n.PhyLettersText(), c.Phy);
    EXPECT_EQ(n.SecurityModeText(), c.Security);
    EXPECT_EQ(n.PMFText(), c.PMF);
    EXPECT_EQ(n.RoamingText(), c.Roaming);
    EXPECT_EQ(n.GetColumnText(ColumnIndex(TNetworkColumn::SpatialStreams)), c.Streams);
    // The links of the multi-link device name each other in their reduced neighbor reports.
    if (ap->Partner) {
      const TInformationElement* rnr = n.Elements.FindElement(kEidReducedNeighborReport);
      ASSERT_NE(rnr, nullptr);
      const std::vector<uint8_t> body = BodyOf(rnr);
      EXPECT_NE(std::search(body.begin(), body.end(), ap->Partner->begin(), ap->Partner->end()), body.end());
      EXPECT_NE(n.Elements.FindExtensionElement(kExtMultiLink), nullptr);
    }
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

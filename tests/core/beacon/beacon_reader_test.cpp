// The BSS entry of a beacon's elements and reception: PHY type, BSS type, rate set, centre frequency, signal
// and the security of an association.
#include "core/beacon/beacon_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/ie/builder.h"
#include "core/radio/values.h"

namespace skimlet {
namespace {

using Blob = std::vector<uint8_t>;

TEST(BeaconReader, PhyTypeIsTheHighestTheBlobAnnouncesForItsBand) {
  const Blob dsss = {0x01, 0x04, 0x82, 0x84, 0x8B, 0x96};
  const Blob ofdm = {0x01, 0x01, 0x8C};
  const Blob htSelectorOnly = {0x01, 0x01, 0xFF};  // a membership selector is no rate
  struct Case {
    Blob Elements;
    uint32_t KHz, Phy;
  } cases[] = {
      {dsss, 2412000, kPhyHRDSSS},
      {{0x01, 0x02, 0x82, 0x0C}, 2412000, kPhyERP},
      {{0x2A, 0x01, 0x00}, 2412000, kPhyERP},  // ERP element without OFDM rates
      {{}, 2412000, kPhyAny},                  // no rates: nothing tells the PHY
      {htSelectorOnly, 2412000, kPhyAny},
      {{0x00, 0x00}, 0, kPhyAny},  // unknown band, no rates
      {ofdm, 5180000, kPhyOFDM},
      {{}, 5180000, kPhyOFDM},
      {{0xBF, 0x00, 0x2D, 0x00}, 5180000, kPhyVHT},
      {{0xC0, 0x00}, 5180000, kPhyVHT},             // VHT operation alone
      {{0xBF, 0x00, 0x2D, 0x00}, 2437000, kPhyHT},  // VHT elements on 2.4 GHz: HT
      {{0xBF, 0x00}, 2437000, kPhyAny},             // ... and without HT nothing: any
      {{0x3D, 0x01, 0x06}, 2437000, kPhyHT},        // HT operation alone
      {{0xFF, 0x01, 36}, 2437000, kPhyHE},          // HE operation alone
      {{0xFF, 0x01, 35, 0xBF, 0x00}, 5180000, kPhyHE},
      {{0xFF, 0x01, 37}, 5180000, kPhyOFDM},                      // another extension
      {{0x01, 0x01, 0x8C, 0xBF, 0x05, 0x00}, 5180000, kPhyOFDM},  // an element past the end is not read
      // No frequency from the receiver: the DSSS channel, else the HT operation's channel gives the band.
      {{0x01, 0x01, 0x8C, 0x03, 0x01, 0x24}, 0, kPhyOFDM},
      {{0x01, 0x01, 0x8C, 0x3D, 0x01, 0x95, 0xBF, 0x00}, 0, kPhyVHT},
      {{0x01, 0x01, 0x8C}, 0, kPhyERP},
  };
  for (size_t n = 0; n < std::size(cases); ++n)
    EXPECT_EQ(BeaconPhyType(cases[n].Elements, cases[n].KHz), cases[n].Phy) << n;
}

TEST(BeaconReader, EntryFieldsFromReceptionAndElements) {
  Blob blob = ElementBuilder()
                  .AddText(0, "Lab")
                  .Add(1, {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0xFF})  // HT selector last
                  .Add(3, {6})
                  .Add(50, {0x30, 0x48, 0xFE, 0xFB, 0xF9, 0x7F, 0x00})  // VHT, SAE H2E, EHT selectors
                  .Blob();
  TBeaconReception rx;
  rx.Bssid = {0x02, 0, 0, 0, 0, 1};
  rx.Capability = 0x0431;
  rx.BeaconPeriod = 102;
  rx.Timestamp = 0x0102030405060708ull;
  rx.HostTimestamp = 133500000000000000ull;
  rx.FrequencyKHz = 2442000;  // the receiver's frequency wins over the DSSS channel
  rx.SignalDbm = -67;
  rx.PhyId = 2;
  rx.InRegDomain = true;
  WLAN_BSS_ENTRY e = ReadBeacon(blob, rx);
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 3u);
  EXPECT_EQ(std::string(e.dot11Ssid.ucSSID.begin(), e.dot11Ssid.ucSSID.begin() + 3), "Lab");
  EXPECT_EQ(e.dot11Bssid, rx.Bssid);
  EXPECT_EQ(e.uPhyId, 2u);
  EXPECT_EQ(e.dot11BssType, 1u);
  EXPECT_EQ(e.dot11BssPhyType, kPhyERP);
  EXPECT_EQ(e.lRssi, -67);
  EXPECT_EQ(e.uLinkQuality, 66u);
  EXPECT_EQ(e.bInRegDomain, 1);
  EXPECT_EQ(e.usBeaconPeriod, 102);
  EXPECT_EQ(e.ullTimestamp, rx.Timestamp);
  EXPECT_EQ(e.ullHostTimestamp, rx.HostTimestamp);
  EXPECT_EQ(e.usCapabilityInformation, 0x0431);
  EXPECT_EQ(e.ulChCenterFrequency, 2442000u);
  EXPECT_EQ(e.ulIeOffset, 360u);
  EXPECT_EQ(e.ulIeSize, blob.size());
  // Basic rates carry bit 15; selectors and zero bytes are left out, a 0x7F without the basic bit is a rate.
  std::vector<uint16_t> rates(e.wlanRateSet.usRateSet.begin(),
                              e.wlanRateSet.usRateSet.begin() + e.wlanRateSet.uRateSetLength / 2);
  EXPECT_EQ(rates, (std::vector<uint16_t>{0x8002, 0x8004, 0x800B, 0x8016, 12, 18, 24, 48, 72, 0x7F}));
  EXPECT_EQ(BeaconRateSet(blob), e.wlanRateSet);
}

TEST(BeaconReader, FallbacksWhenTheReceiverKnowsLittle) {
  TBeaconReception rx;  // no frequency, no signal
  // Frequency: the DSSS channel first, the HT operation's primary channel without one.
  EXPECT_EQ(ReadBeacon(Blob{0x3D, 0x01, 40, 0x03, 0x01, 11}, rx).ulChCenterFrequency, 2462000u);
  EXPECT_EQ(ReadBeacon(Blob{0x3D, 0x01, 40}, rx).ulChCenterFrequency, 5200000u);
  EXPECT_EQ(ReadBeacon(Blob{0x03, 0x00}, rx).ulChCenterFrequency, 0u);  // an empty DSSS element says nothing
  WLAN_BSS_ENTRY e = ReadBeacon(Blob{}, rx);
  EXPECT_EQ(e.lRssi, kUnknownRssi);
  EXPECT_EQ(e.uLinkQuality, 0u);
  EXPECT_EQ(e.dot11BssType, 3u);
  EXPECT_EQ(e.bInRegDomain, 0);

  // Link quality: 2 points per dB from -100 to -50 dBm.
  for (auto [dBm, quality] :
       {std::pair{-120, 0u}, {-100, 0u}, {-99, 2u}, {-75, 50u}, {-51, 98u}, {-50, 100u}, {-20, 100u}}) {
    rx.SignalDbm = dBm;
    EXPECT_EQ(ReadBeacon(Blob{}, rx).uLinkQuality, quality) << dBm;
    EXPECT_EQ(LinkQualityFromRssi(dBm), quality) << dBm;
  }

  // The first SSID element counts; one longer than 32 bytes gives its first 32; a cut one is not read.
  e = ReadBeacon(ElementBuilder().AddText(0, std::string(40, 'n')).AddText(0, "second").Blob(), rx);
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 32u);
  e = ReadBeacon(Blob{0x00, 0x05, 'a', 'b'}, rx);
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 0u);
  EXPECT_EQ(e.ulIeSize, 4u);
}

TEST(BeaconReader, BssTypeFromTheCapability) {
  // ESS wins over IBSS; neither (a mesh BSS) is no infrastructure network.
  for (auto [capability, type] : {std::pair{0x0001, 1u}, {0x0003, 1u}, {0x0002, 2u}, {0x0000, 3u}, {0x0410, 3u}})
    EXPECT_EQ(BssTypeOfCapability(static_cast<uint16_t>(capability)), type) << capability;
}

TEST(BeaconReader, SecurityOfAnAssociation) {
  auto rsn = [](std::initializer_list<uint8_t> pairwise, std::initializer_list<uint8_t> akms) {
    Blob body = {0x01, 0x00, 0x00, 0x0F, 0xAC, 0x04, static_cast<uint8_t>(pairwise.size()), 0x00};
    for (uint8_t p : pairwise) body.insert(body.end(), {0x00, 0x0F, 0xAC, p});
    body.insert(body.end(), {static_cast<uint8_t>(akms.size()), 0x00});
    for (uint8_t a : akms) body.insert(body.end(), {0x00, 0x0F, 0xAC, a});
    body.insert(body.end(), {0x00, 0x00});
    return ElementBuilder().Add(48, body).Blob();
  };
  const Blob wpaTkip = {0xDD, 0x16, 0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02,
                        0x01, 0x00, 0x00, 0x50, 0xF2, 0x02, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02};
  const Blob wpaEap = {0xDD, 0x16, 0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02,
                       0x01, 0x00, 0x00, 0x50, 0xF2, 0x02, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x01};
  const Blob rsnNoLists = {0x30, 0x08, 0x01, 0x00, 0x00, 0x0F, 0xAC, 0x02, 0x01, 0x00};  // count without suites
  Blob rsnTooShortThenWpa = {0x30, 0x04, 0x01, 0x00, 0x00, 0x0F};
  rsnTooShortThenWpa.insert(rsnTooShortThenWpa.end(), wpaTkip.begin(), wpaTkip.end());
  struct Case {
    Blob Elements;
    uint16_t Capability;
    uint32_t Auth, Cipher;
    bool OneX;
  } cases[] = {
      {{}, 0x0001, kAuthOpen, kCipherNone, false},
      {{}, 0x0011, kAuthOpen, kCipherWEP, false},
      {rsn({4}, {2, 8}), 0x0011, kAuthWPA3SAE, kCipherCCMP, false},  // the strongest key management wins
      {rsn({4}, {9}), 0x0011, kAuthWPA3SAE, kCipherCCMP, false},
      {rsn({4}, {18}), 0x0011, kAuthOWE, kCipherCCMP, false},
      {rsn({4, 2}, {1, 3}), 0x0011, kAuthRSNA, kCipherCCMP, true},
      {rsn({9}, {12}), 0x0011, kAuthWPA3, kCipherGCMP, true},  // 802.1X 192-bit: WPA3-Enterprise
      {rsn({4}, {11}), 0x0011, kAuthRSNA, kCipherCCMP, true},  // the 128-bit Suite B is plain 802.1X
      {rsn({2}, {6}), 0x0011, kAuthRSNAPSK, kCipherTKIP, false},
      {rsn({0}, {}), 0x0011, kAuthRSNAPSK, kCipherCCMP, false},  // pairwise "group": the group's CCMP
      {rsnNoLists, 0x0011, kAuthRSNAPSK, kCipherTKIP, false},
      {wpaTkip, 0x0011, kAuthWPAPSK, kCipherTKIP, false},
      {wpaEap, 0x0011, kAuthWPA, kCipherTKIP, true},
      {rsnTooShortThenWpa, 0x0011, kAuthWPAPSK, kCipherTKIP, false},
  };
  for (size_t n = 0; n < std::size(cases); ++n) {
    TBeaconSecurity s = BeaconSecurity(cases[n].Elements, cases[n].Capability);
    EXPECT_EQ(s.Auth, cases[n].Auth) << n;
    EXPECT_EQ(s.Cipher, cases[n].Cipher) << n;
    EXPECT_EQ(s.OneX, cases[n].OneX) << n;
  }
}

}  // namespace
}  // namespace skimlet

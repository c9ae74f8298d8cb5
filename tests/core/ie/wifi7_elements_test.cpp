// The elements of current radios: HE Operation's 6 GHz information, Reduced Neighbor Report, EHT
// Capabilities and Operation, Basic Multi-Link and Mobility Domain, decoded from blobs of the encoders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid054_mobility_domain.h"
#include "core/ie/elements/eid201_reduced_neighbor_report.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "core/ie/elements/ext106_eht_operation.h"
#include "core/ie/elements/ext107_multi_link.h"
#include "core/ie/elements/ext108_eht_capabilities.h"
#include "core/ie/encode.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using Texts = std::vector<std::string>;
using Blob = std::vector<uint8_t>;

constexpr const char* kCorrupted = "Could not parse element. Element is corrupted.";

Blob Extension(uint8_t id, const ElementBody& body) { return ElementBuilder().AddExtension(id, body).Blob(); }
Blob Element(uint8_t id, const ElementBody& body) { return ElementBuilder().Add(id, body).Blob(); }

TEST(HEOperation6GHz, InformationFollowsTheOtherOptionalParts) {
  HEOperationValues v;
  v.VHTOperationInfo = HEVHTOperationInfo{1, 42, 0};
  v.MaxCoLocatedBSSIDIndicator = 3;
  v.SixGHzOperationInfo = HE6GHzOperationInfo{37, 3, true, 1, 39, 47, 12};
  const Blob blob = Extension(kExtHEOperation, EncodeHEOperationBody(v));
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.FindExtension<THEOperationExtensionsInformationElement>(kExtHEOperation);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->VHTInfoPresent);
  EXPECT_TRUE(e->Has6GHzInfo);
  EXPECT_EQ(e->PrimaryChannel6GHz, 37);
  EXPECT_EQ(e->ChannelWidth6GHz, 3);
  EXPECT_EQ(e->ChannelWidthMHz6GHz(), 160);
  EXPECT_TRUE(e->DuplicateBeacon6GHz);
  EXPECT_EQ(e->RegulatoryInfo6GHz, 1);
  EXPECT_EQ(e->CenterSegment0_6GHz, 39);
  EXPECT_EQ(e->CenterSegment1_6GHz, 47);
  EXPECT_EQ(e->MinimumRate6GHz, 12);

  TIETree tree;
  elements.FillTree(tree);
  const Texts lines = test::TextsOf(tree);
  EXPECT_THAT(lines, Contains("......1. ........ ........ - 6 GHz Operation Information Present: Yes (1)"));
  EXPECT_THAT(lines, Contains("6 GHz Operation Information: 25 0F 27 2F 0C"));
  EXPECT_THAT(lines, Contains("......11 - Channel Width: 160/80+80 MHz (3)"));
  EXPECT_THAT(lines, Contains(".....1.. - Duplicate Beacon: Yes (1)"));
  EXPECT_THAT(lines, Contains("..001... - Regulatory Info: 1"));
  EXPECT_THAT(lines, Contains("Channel Center Frequency Segment 1: 47"));
  EXPECT_THAT(lines, Contains("Minimum Rate: 12 Mbps"));
  // The information's line points at its five bytes: after 2+1 header bytes, 1+3+1+2 fixed, 3 VHT and 1 BSSID.
  tree.ForEach([&](TIETreeLine l) {
    if (tree.Data(l).Text.starts_with("6 GHz Operation Information:")) {
      EXPECT_EQ(tree.Data(l).Offset, 2 + 1 + 6 + 3 + 1);
      EXPECT_EQ(tree.Data(l).Length, 5);
    }
  });
}

TEST(HEOperation6GHz, AnnouncedButCutShort) {
  HEOperationValues v;
  v.SixGHzOperationInfo = HE6GHzOperationInfo{};
  ElementBody body = EncodeHEOperationBody(v);
  body.resize(body.size() - 1);
  TInformationElements elements;
  elements.Parse(Extension(kExtHEOperation, body));
  auto* e = elements.FindExtension<THEOperationExtensionsInformationElement>(kExtHEOperation);
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->Has6GHzInfo);
  EXPECT_EQ(e->ChannelWidthMHz6GHz(), 0);
  EXPECT_EQ(DetailTextsOf(Extension(kExtHEOperation, body)).back(), kCorrupted);
}

TEST(MobilityDomain, FieldsAndLength) {
  const Blob blob = Element(kEidMobilityDomain, EncodeMobilityDomainBody({0xA1B2, true, false}));
  EXPECT_EQ(blob, (Blob{54, 3, 0xB2, 0xA1, 0x01}));
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TMobilityDomainElement>(kEidMobilityDomain);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->MDID, 0xA1B2);
  EXPECT_TRUE(e->FTOverDS);
  EXPECT_FALSE(e->ResourceRequestProtocol);
  const Texts lines = DetailTextsOf(blob);
  EXPECT_THAT(lines, Contains("Mobility Domain Identifier: 0xA1B2"));
  EXPECT_THAT(lines, Contains(".......1 - Fast BSS Transition over DS: Yes (1)"));
  EXPECT_THAT(lines, Contains("......0. - Resource Request Protocol Capability: No (0)"));
  EXPECT_EQ(DetailTextsOf(Element(54, {0x01, 0x02})), (Texts{"Length is wrong, must be = 3"}));
}

RNRTBTTInfo Set(uint8_t offset, uint8_t last, uint32_t shortSSID, uint8_t params) {
  RNRTBTTInfo s;
  s.TBTTOffset = offset;
  s.BSSID = {0x02, 0x11, 0x22, 0x33, 0x44, last};
  s.ShortSSID = shortSSID;
  s.BSSParameters = params;
  s.PSD20MHz = -3;
  s.APMLDID = 0;
  s.LinkID = 2;
  s.BSSParametersChangeCount = 5;
  s.AllUpdatesIncluded = true;
  return s;
}

TEST(ReducedNeighborReport, EveryLengthHoldsItsFields) {
  // Per TBTT information length: BSSID, short SSID, BSS parameters, PSD, MLD parameters.
  struct Row {
    uint8_t Length;
    bool BSSID, ShortSSID, Params, PSD, MLD;
  };
  const Row rows[] = {
      {1, false, false, false, false, false}, {2, false, false, true, false, false},
      {5, false, true, false, false, false},  {6, false, true, true, false, false},
      {7, true, false, false, false, false},  {8, true, false, true, false, false},
      {9, true, false, true, true, false},    {11, true, true, false, false, false},
      {12, true, true, true, false, false},   {13, true, true, true, true, false},
      {16, true, true, true, true, true},     {20, true, true, true, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Length);
    RNRNeighborAPInfo field{false, row.Length, 131, 5, {Set(10, 0x55, 0xDEADBEEF, 0x42), Set(254, 0x66, 1, 0x02)}};
    const Blob blob = Element(kEidReducedNeighborReport, EncodeReducedNeighborReportBody({field}));
    TInformationElements elements;
    elements.Parse(blob);
    auto* e = elements.Find<TReducedNeighborReportElement>(kEidReducedNeighborReport);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->Truncated);
    ASSERT_EQ(e->Neighbors.size(), 2u);
    const TRNRNeighborAP& ap = e->Neighbors[0];
    EXPECT_EQ(ap.OperatingClass, 131);
    EXPECT_EQ(ap.Channel, 5);
    EXPECT_EQ(ap.TBTTOffset, 10);
    EXPECT_EQ(e->Neighbors[1].TBTTOffset, 254);
    EXPECT_EQ(ap.HasBSSID, row.BSSID);
    EXPECT_EQ(ap.HasShortSSID, row.ShortSSID);
    EXPECT_EQ(ap.HasBSSParameters, row.Params);
    EXPECT_EQ(ap.HasPSD20MHz, row.PSD);
    EXPECT_EQ(ap.HasMLDParameters, row.MLD);
    if (row.BSSID) { EXPECT_EQ(e->Neighbors[1].BSSID[5], 0x66); }
    if (row.ShortSSID) { EXPECT_EQ(ap.ShortSSID, 0xDEADBEEFu); }
    if (row.Params) { EXPECT_TRUE(ap.CoLocatedAP() && ap.SameSSID()); }
    if (row.PSD) { EXPECT_EQ(ap.PSD20MHz, -3); }
    if (row.MLD) {
      EXPECT_EQ(ap.LinkID, 2);
      EXPECT_EQ(ap.BSSParametersChangeCount, 5);
      EXPECT_TRUE(ap.AllUpdatesIncluded);
      EXPECT_FALSE(ap.DisabledLink);
    }
    const Texts lines = DetailTextsOf(blob);
    EXPECT_THAT(lines, Contains(HasSubstr("TBTT Information Set 2")));
    EXPECT_THAT(lines, Contains("Neighbor AP TBTT Offset: 254 TUs or more"));
    EXPECT_THAT(lines, Not(Contains(kCorrupted)));
    if (row.Length == 16) {
      EXPECT_THAT(lines, Contains("TBTT Information Set 1: 02-11-22-33-44-55"));
      EXPECT_THAT(lines, Contains("Short SSID: 0xDEADBEEF"));
      EXPECT_THAT(lines, Contains(".1...... - Co-Located AP: Yes (1)"));
      EXPECT_THAT(lines, Contains("20 MHz PSD: -1.5 dBm/MHz (-3)"));
      EXPECT_THAT(lines, Contains("....0000 0101.... ........ - BSS Parameters Change Count: 5"));
    }
    if (row.Length == 20) { EXPECT_THAT(lines, Contains("Reserved: 00 00 00 00")); }
  }
}

TEST(ReducedNeighborReport, SeveralFieldsAndTheShortSSIDOfAnSSID) {
  const std::string ssid = "Skimlet";
  EXPECT_EQ(ShortSSIDOf(Bytes(reinterpret_cast<const uint8_t*>(ssid.data()), ssid.size())), 0xBE23F1ACu);
  RNRNeighborAPInfo a{true, 13, 131, 37, {Set(1, 1, 7, 0), Set(2, 2, 7, 0), Set(3, 3, 7, 0)}};
  RNRNeighborAPInfo b{false, 1, 81, 6, {Set(40, 4, 7, 0)}};
  TInformationElements elements;
  elements.Parse(Element(kEidReducedNeighborReport, EncodeReducedNeighborReportBody({a, b})));
  auto* e = elements.Find<TReducedNeighborReportElement>(kEidReducedNeighborReport);
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(e->Neighbors.size(), 4u);
  EXPECT_TRUE(e->Neighbors[2].FilteredNeighborAP);
  EXPECT_EQ(e->Neighbors[2].BSSID[5], 3);
  EXPECT_EQ(e->Neighbors[3].Channel, 6);
  EXPECT_FALSE(e->Neighbors[3].FilteredNeighborAP);
  EXPECT_EQ(e->Neighbors[3].TBTTOffset, 40);
}

TEST(ReducedNeighborReport, LengthsThatDoNotMatchTheCount) {
  // Two sets of 13 bytes announced, one and a half there.
  RNRNeighborAPInfo field{false, 13, 131, 37, {Set(1, 1, 7, 0), Set(2, 2, 7, 0)}};
  ElementBody body = EncodeReducedNeighborReportBody({field});
  body.resize(body.size() - 6);
  const Blob blob = Element(kEidReducedNeighborReport, body);
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TReducedNeighborReportElement>(kEidReducedNeighborReport);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Truncated);
  EXPECT_TRUE(e->Neighbors.empty());
  Texts lines = DetailTextsOf(blob);
  EXPECT_EQ(lines.back(), "TBTT Information Length is wrong: 2 sets of 13 bytes, 20 bytes left");

  // A field header cut short after a whole field; a TBTT information length of 0.
  body = EncodeReducedNeighborReportBody({RNRNeighborAPInfo{false, 1, 81, 1, {Set(9, 0, 0, 0)}}});
  body.insert(body.end(), {0x00, 0x0D});
  lines = DetailTextsOf(Element(kEidReducedNeighborReport, body));
  EXPECT_EQ(lines.back(), "Neighbor AP Information 2: element is corrupted (2 bytes left)");
  elements.Parse(Element(kEidReducedNeighborReport, body));
  e = elements.Find<TReducedNeighborReportElement>(kEidReducedNeighborReport);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Neighbors.size(), 1u);
  EXPECT_TRUE(e->Truncated);
  lines = DetailTextsOf(Element(kEidReducedNeighborReport, {0x00, 0x00, 81, 1}));
  EXPECT_EQ(lines.back(), "TBTT Information Length is wrong: 1 sets of 0 bytes, 0 bytes left");

  // A field type other than 0: its sets are shown as reserved bytes and not decoded.
  lines = DetailTextsOf(Element(kEidReducedNeighborReport, {0x01, 0x02, 81, 1, 0xAA, 0xBB}));
  EXPECT_EQ(lines.back(), "Reserved: AA BB");
}

TEST(EHTCapabilities, MapsByWidthAndTheirMaxima) {
  struct Row {
    const char* Name;
    EHTCapabilitiesValues V;
    uint8_t NSS20, NSS80, NSS160, NSS320;
    int MaxMCS;
    const char* Line;
  };
  EHTCapabilitiesValues only80;
  only80.Map80 = {EHTNSSByte(2), EHTNSSByte(2), 0x00};
  EHTCapabilitiesValues all = only80;
  all.Map80 = {EHTNSSByte(4), EHTNSSByte(4), EHTNSSByte(2)};
  all.Map160 = std::array<uint8_t, 3>{EHTNSSByte(3), EHTNSSByte(2), EHTNSSByte(2)};
  all.Map320 = std::array<uint8_t, 3>{EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  EHTCapabilitiesValues withPPE = all;
  // NSS PE 1 (two streams), RU bitmask 0b00011: 9 + 2*2*6 = 33 bits, 5 bytes.
  withPPE.PPEThresholds = {0x31, 0x00, 0x00, 0x00, 0x00};
  EHTCapabilitiesValues twentyOnly;
  twentyOnly.Map20Only = std::array<uint8_t, 4>{EHTNSSByte(1), EHTNSSByte(1), 0x00, 0x00};
  EHTCapabilitiesValues no320 = all;
  no320.Map320.reset();
  no320.PPEThresholds = withPPE.PPEThresholds;
  const Row rows[] = {
      {"80", only80, 0, 2, 0, 0, 11, "EHT-MCS Map (BW <= 80 MHz): 0x002222"},
      {"80-160-320", all, 0, 4, 3, 2, 13, "EHT-MCS Map (BW = 320 MHz): 0x222222"},
      {"with PPE", withPPE, 0, 4, 3, 2, 13, ".......0 0011.... - RU Index Bitmask: 0x03"},
      {"80-160 with PPE", no320, 0, 4, 3, 0, 13, "EHT-MCS Map (BW = 160 MHz): 0x222233"},
      {"20 only", twentyOnly, 1, 0, 0, 0, 9, "EHT-MCS Map (20 MHz-Only Non-AP STA): 0x00001111"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const Blob blob = Extension(kExtEHTCapabilities, EncodeEHTCapabilitiesBody(row.V));
    TInformationElements elements;
    elements.Parse(blob);
    auto* e = elements.FindExtension<TEHTCapabilitiesExtensionsInformationElement>(kExtEHTCapabilities);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->MaxNSS20Only, row.NSS20);
    EXPECT_EQ(e->MaxNSS80, row.NSS80);
    EXPECT_EQ(e->MaxNSS160, row.NSS160);
    EXPECT_EQ(e->MaxNSS320, row.NSS320);
    EXPECT_EQ(e->MaxMCS, row.MaxMCS);
    EXPECT_EQ(e->Supports320MHz, row.NSS320 > 0);
    const Texts lines = DetailTextsOf(blob);
    EXPECT_THAT(lines, Contains(row.Line));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("does not fit"))));
    EXPECT_THAT(lines, Not(Contains(kCorrupted)));
  }
}

TEST(EHTCapabilities, CapabilityBitsAndAMapLengthThatFitsNothing) {
  EHTCapabilitiesValues v;
  v.MACCapabilities = 0x0040;   // Maximum MPDU Length 7991
  v.PHYCapabilities[4] = 0xF0;  // PHY bits 36-39: Max Nc 15
  v.PHYCapabilities[8] = 0x01;  // PHY bit 64
  ElementBody body = EncodeEHTCapabilitiesBody(v);
  Texts lines = DetailTextsOf(Extension(kExtEHTCapabilities, body));
  EXPECT_THAT(lines, Contains("........ 01...... - Maximum MPDU Length: 7991 (1)"));
  EXPECT_THAT(lines, Contains("........ ........ ........ 1111.... - Max Nc: 15"));
  EXPECT_THAT(lines, Contains(".......1 - Rx 1024-QAM In Wider Bandwidth DL OFDMA Support: Supported (1)"));
  body.push_back(0x22);  // four map bytes, not the 20 MHz-only map of a station that has wider maps
  body.push_back(0x22);
  lines = DetailTextsOf(Extension(kExtEHTCapabilities, body));
  EXPECT_EQ(lines.back(), "Supported EHT-MCS And NSS Set: length does not fit the capabilities (5 bytes)");
  TInformationElements elements;
  elements.Parse(Extension(kExtEHTCapabilities, body));
  auto* e = elements.FindExtension<TEHTCapabilitiesExtensionsInformationElement>(kExtEHTCapabilities);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->MaxNSS(), 0);
  EXPECT_EQ(e->MaxMCS, -1);
}

TEST(EHTOperation, OptionalParts) {
  struct Row {
    const char* Name;
    EHTOperationValues V;
    int WidthMHz;
    bool Bitmap;
    const char* Line;
  };
  const Row rows[] = {
      {"none", {0x00, 0x44443333, std::nullopt}, 0, false, "....0011 - Rx Max NSS That Supports EHT-MCS 0-7: 3"},
      {"320 MHz",
       {0x00, 0x11111111, EHTOperationInfo{4, 47, 31, std::nullopt}},
       320,
       false,
       ".....100 - Channel Width: 320 MHz (4)"},
      {"bitmap", {0x00, 0x11111111, EHTOperationInfo{3, 15, 31, 0x0003}}, 160, true, "00000000 00000011 (0x0003)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const Blob blob = Extension(kExtEHTOperation, EncodeEHTOperationBody(row.V));
    TInformationElements elements;
    elements.Parse(blob);
    auto* e = elements.FindExtension<TEHTOperationExtensionsInformationElement>(kExtEHTOperation);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->HasOperationInfo, row.V.OperationInfo.has_value());
    EXPECT_EQ(e->ChannelWidthMHz(), row.WidthMHz);
    EXPECT_EQ(e->HasDisabledSubchannelBitmap, row.Bitmap);
    if (row.V.OperationInfo) {
      EXPECT_EQ(e->CenterSegment0, row.V.OperationInfo->CenterSegment0);
      EXPECT_EQ(e->CenterSegment1, 31);
    }
    const Texts lines = DetailTextsOf(blob);
    EXPECT_THAT(lines, Contains(HasSubstr(row.Line)));
    EXPECT_THAT(lines, Not(Contains(kCorrupted)));
  }
  // Information announced, body ends: nothing read, the tree ends corrupted.
  const Blob cut = Extension(kExtEHTOperation, {0x01, 0x11, 0x11, 0x11, 0x11, 0x02});
  EXPECT_EQ(DetailTextsOf(cut).back(), kCorrupted);
  TInformationElements elements;
  elements.Parse(cut);
  EXPECT_FALSE(elements.FindExtension<TEHTOperationExtensionsInformationElement>(kExtEHTOperation)->HasOperationInfo);
}

TEST(MultiLink, CommonInfoAndProfiles) {
  BasicMultiLinkValues v;
  v.MLDMACAddress = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
  v.LinkID = 1;
  v.BSSParametersChangeCount = 4;
  v.EMLCapabilities = 0x0001;
  v.MLDCapabilities = 0x0002;
  v.APMLDID = 0;
  MLPerSTAProfileValues p0;
  p0.LinkID = 0;
  p0.STAMACAddress = std::array<uint8_t, 6>{0x02, 1, 2, 3, 4, 5};
  p0.BeaconInterval = 100;
  p0.Elements = {0x00, 0x02, 'A', 'B'};
  MLPerSTAProfileValues p2;
  p2.LinkID = 2;
  p2.CompleteProfile = false;
  v.Profiles = {p0, p2};
  const Blob blob = Extension(kExtMultiLink, EncodeBasicMultiLinkBody(v));
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.FindExtension<TMultiLinkExtensionsInformationElement>(kExtMultiLink);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Type, 0);
  EXPECT_TRUE(e->HasCommonInfo);
  EXPECT_EQ(e->MLDMACAddress, v.MLDMACAddress);
  EXPECT_TRUE(e->HasLinkID);
  EXPECT_EQ(e->LinkID, 1);
  EXPECT_TRUE(e->HasAPMLDID);
  ASSERT_EQ(e->Profiles.size(), 2u);
  EXPECT_TRUE(e->Profiles[0].HasSTAMACAddress);
  EXPECT_EQ(e->Profiles[0].STAMACAddress[5], 5);
  EXPECT_EQ(e->Profiles[1].LinkID, 2);
  EXPECT_FALSE(e->Profiles[1].CompleteProfile);

  const Texts lines = DetailTextsOf(blob);
  EXPECT_THAT(lines, Contains("Common Info Length: 14"));
  EXPECT_THAT(lines, Contains("MLD MAC Address: 02:AA:BB:CC:DD:EE"));
  EXPECT_THAT(lines, Contains("........ .......1 - EMLSR Support: Supported (1)"));
  EXPECT_THAT(lines, Contains("AP MLD ID: 0"));
  EXPECT_THAT(lines, Contains("Per-STA Profile 1: Link ID 0"));
  EXPECT_THAT(lines, Contains("STA MAC Address: 02:01:02:03:04:05"));
  EXPECT_THAT(lines, Contains("Beacon Interval: 100 TUs"));
  EXPECT_THAT(lines, Contains("STA Profile: 00 02 41 42"));
  EXPECT_THAT(lines, Contains("Per-STA Profile 2: Link ID 2"));
  EXPECT_THAT(lines, Not(Contains(kCorrupted)));
}

TEST(MultiLink, BrokenLengthsAreReportedNotRead) {
  BasicMultiLinkValues v;
  v.LinkID = 3;
  MLPerSTAProfileValues p;
  p.STAMACAddress = std::array<uint8_t, 6>{};
  v.Profiles = {p};
  ElementBody body = EncodeBasicMultiLinkBody(v);
  // The profile claims 40 more bytes than the element holds.
  body[1 + 1 + 7 + 1 + 1] += 40;
  Blob blob = Extension(kExtMultiLink, body);
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.FindExtension<TMultiLinkExtensionsInformationElement>(kExtMultiLink);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->LinkID, 3);
  EXPECT_TRUE(e->Profiles.empty());
  EXPECT_EQ(DetailTextsOf(blob).back(), "Subelement Length is wrong: it runs past the element (9 bytes left)");

  // A common info length too small for the announced fields.
  body = EncodeBasicMultiLinkBody(v);
  body[2] = 7;
  blob = Extension(kExtMultiLink, body);
  EXPECT_EQ(DetailTextsOf(blob).back(), "Common Info Length is wrong, the fields need 8 bytes, the element holds 19");
  elements.Parse(blob);
  EXPECT_FALSE(elements.FindExtension<TMultiLinkExtensionsInformationElement>(kExtMultiLink)->HasCommonInfo);

  // Another type: the control, then the bytes as they are.
  const Texts lines = DetailTextsOf(Extension(kExtMultiLink, {0x02, 0x00, 0xAB}));
  EXPECT_THAT(lines, Contains("........ .....010 - Type: Reconfiguration (2)"));
  EXPECT_EQ(lines.back(), "Data: AB");
}

}  // namespace
}  // namespace skimlet

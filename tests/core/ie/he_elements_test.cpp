// HE Capabilities and HE Operation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/ext035_he_capabilities.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::Hex;
using test::TextsOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Texts = std::vector<std::string>;

// An HE Capabilities element (without the extension ID): six MAC bytes, eleven PHY bytes whose first byte
// carries the channel width set, then Rest (HE-MCS maps and PPE thresholds).
std::vector<uint8_t> HECapabilities(uint64_t mac, uint8_t widthSet, std::vector<uint8_t> rest) {
  std::vector<uint8_t> body;
  for (int k = 0; k < 6; ++k) body.push_back(static_cast<uint8_t>(mac >> (8 * k)));
  body.push_back(static_cast<uint8_t>(widthSet << 1));
  body.resize(17);
  body.insert(body.end(), rest.begin(), rest.end());
  return ElementBuilder().AddExtension(35, body).Blob();
}

const THECapabilitiesExtensionsInformationElement* CapabilitiesOf(TInformationElements& elements,
                                                                  const std::vector<uint8_t>& blob) {
  elements.Parse(blob);
  return elements.FindExtension<THECapabilitiesExtensionsInformationElement>(35);
}

TEST(HECapabilities, MapsFollowTheChannelWidthSet) {
  TInformationElements elements;
  // 40/80 and 160 MHz: maps for up to 80 MHz and for 160 MHz.
  auto* e = CapabilitiesOf(elements, HECapabilities(0, 0x06, {0xFA, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFC, 0xFF}));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Width40And80In5G && e->Width160In5G);
  EXPECT_FALSE(e->Width40In24G || e->Width80p80In5G);
  EXPECT_EQ(e->RxHEMCSMap80, 0xFFFA);
  EXPECT_EQ(e->TxHEMCSMap80, 0xFFFE);
  EXPECT_EQ(e->RxHEMCSMap160, 0xFFFE);
  EXPECT_EQ(e->TxHEMCSMap160, 0xFFFC);
  EXPECT_EQ(e->RxHEMCSMap80p80, 0xFFFF);
  EXPECT_EQ(e->TxHEMCSMap80p80, 0xFFFF);
  Texts lines = DetailTextsOf(HECapabilities(0, 0x06, {0xFA, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFC, 0xFF}));
  EXPECT_THAT(lines, Contains("Rx and Tx HE-MCS Maps <= 80 MHz: (0xFFFEFFFA)"));
  EXPECT_THAT(lines, Contains("Rx and Tx HE-MCS Maps 160 MHz: (0xFFFCFFFE)"));
  EXPECT_THAT(lines, Contains("Tx HE-MCS Map 160 MHz: (0xFFFC)"));
  EXPECT_THAT(lines, Contains("........ ......10 - Max HE-MCS For 1 SS: HE-MCS 0-11 (2)"));
  EXPECT_THAT(lines, Not(Contains(HasSubstr("80+80 MHz:"))));
  EXPECT_THAT(lines, Not(Contains("PPE Thresholds")));

  // 80+80 without 160: its maps take the place of the 160 MHz maps.
  e = CapabilitiesOf(elements, HECapabilities(0, 0x08, {0xFA, 0xFF, 0xFA, 0xFF, 0xFE, 0xFF, 0xFD, 0xFF}));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Width80p80In5G);
  EXPECT_EQ(e->RxHEMCSMap160, 0xFFFF);
  EXPECT_EQ(e->RxHEMCSMap80p80, 0xFFFE);
  EXPECT_EQ(e->TxHEMCSMap80p80, 0xFFFD);

  // 2.4 GHz 40 MHz only.
  e = CapabilitiesOf(elements, HECapabilities(0, 0x01, {0xFA, 0xFF, 0xFA, 0xFF}));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Width40In24G);
  EXPECT_FALSE(e->Width40And80In5G);
}

TEST(HECapabilities, ChannelWidthSetLines) {
  Texts lines = DetailTextsOf(HECapabilities(0, 0x11, {0xFA, 0xFF, 0xFA, 0xFF}));
  EXPECT_THAT(lines, Contains("HE PHY Capabilities Information: 00100010 (0x22) - subset 1 (0-7 bits)"));
  EXPECT_THAT(lines, Contains("0010001. - Channel Width Set: 0x11"));
  EXPECT_THAT(lines, Contains("......1. - 40MHz in 2.4GHz band: Supported (1)"));
  EXPECT_THAT(lines, Contains("..1..... - 242 tone RUs in the 2.4GHz band: Supported (1)"));
  EXPECT_THAT(lines, Contains("x....... - Reserved"));
  EXPECT_THAT(lines, Contains("HE PHY Capabilities Information: 00000000 00000000 (0x0000) - subset 6 (72-87 bits)"));
  EXPECT_THAT(lines, Contains("xxxxxxxx ........ - Reserved"));
}

TEST(HECapabilities, MACFieldsThatDependOnOtherFields) {
  // +HTC clear and no fragmentation: bits 5-9, 15-16, 18-19 and 25 are reserved.
  Texts lines = DetailTextsOf(HECapabilities(0, 0x02, {0xFA, 0xFF, 0xFA, 0xFF}));
  EXPECT_THAT(lines, Contains("HE MAC Capabilities Information: 0x000000"));
  for (const char* reserved : {"........ ........ ........ ........ ......xx xxx..... - Reserved",
                               "........ ........ ........ .......x x....... ........ - Reserved",
                               "........ ........ ........ ....xx.. ........ ........ - Reserved",
                               "........ ........ ......x. ........ ........ ........ - Reserved"})
    EXPECT_THAT(lines, Contains(reserved));
  EXPECT_THAT(lines, Not(Contains(HasSubstr("TRS Support"))));

  // +HTC and fragmentation level 1 with no limit on fragmented MSDUs.
  lines = DetailTextsOf(HECapabilities(0x0000000400E9, 0x02, {0xFA, 0xFF, 0xFA, 0xFF}));
  EXPECT_THAT(lines, Contains("........ ........ ........ ........ ........ ...01... - Fragmentation Support: Support "
                              "for dynamic fragments in MPDUs or S-MPDUs (0x01)"));
  EXPECT_THAT(lines, Contains("........ ........ ........ ........ ........ 111..... - Maximum Number of Fragmented "
                              "MSDUs: No restriction (0x07)"));
  EXPECT_THAT(lines, Contains("........ ........ ........ ........ ......00 ........ - Minimum Fragment Size: No "
                              "restriction on minimum payload size (0x00)"));
  EXPECT_THAT(lines, Contains("........ ........ ........ .....1.. ........ ........ - TRS Support: Supported (0x01)"));
  EXPECT_THAT(lines, Contains("........ ........ ......0. ........ ........ ........ - OM Control Support: Not "
                              "Supported (0x00)"));
  lines = DetailTextsOf(HECapabilities(0x0000000000000028, 0x02, {0xFA, 0xFF, 0xFA, 0xFF}));
  EXPECT_THAT(lines, Contains("........ ........ ........ ........ ........ 001..... - Maximum Number of Fragmented "
                              "MSDUs: 2 (0x01)"));
}

TEST(HECapabilities, BodyEndsInsideTheMaps) {
  // The body ends right after the Rx map for up to 80 MHz.
  std::vector<uint8_t> blob = HECapabilities(0, 0x02, {0xFA, 0xFF});
  TInformationElements elements;
  auto* e = CapabilitiesOf(elements, blob);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->RxHEMCSMap80, 0xFFFA);
  EXPECT_EQ(e->TxHEMCSMap80, 0xFFFF);
  Texts lines = DetailTextsOf(blob);
  ASSERT_GE(lines.size(), 12u);
  EXPECT_THAT(
      std::vector<std::string>(lines.end() - 12, lines.end()),
      ElementsAre("Supported HE-MCS and NSS Set", "Rx and Tx HE-MCS Maps <= 80 MHz: (0xFFFA)",
                  "Rx HE-MCS Map <= 80 MHz: (0xFFFA)", "........ ......10 - Max HE-MCS For 1 SS: HE-MCS 0-11 (2)",
                  "........ ....10.. - Max HE-MCS For 2 SS: HE-MCS 0-11 (2)",
                  "........ ..11.... - Max HE-MCS For 3 SS: Not Supported (3)",
                  "........ 11...... - Max HE-MCS For 4 SS: Not Supported (3)",
                  "......11 ........ - Max HE-MCS For 5 SS: Not Supported (3)",
                  "....11.. ........ - Max HE-MCS For 6 SS: Not Supported (3)",
                  "..11.... ........ - Max HE-MCS For 7 SS: Not Supported (3)",
                  "11...... ........ - Max HE-MCS For 8 SS: Not Supported (3)",
                  "Insufficient bytes for Phy Capabilities Tx HE-MCS Map <= 80 MHz!"));

  // No line reaches past the blob.
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  tree.ForEach([&](TIETreeLine l) {
    const TIETreeData& d = tree.Data(l);
    EXPECT_LE(d.Offset + d.Length, static_cast<int32_t>(blob.size())) << d.Text;
  });

  // 160 MHz announced but only one byte of its maps present.
  lines = DetailTextsOf(HECapabilities(0, 0x04, {0xFA, 0xFF, 0xFA, 0xFF, 0xFE}));
  EXPECT_THAT(lines, Not(Contains(HasSubstr("Maps 160 MHz: ("))));
  elements.Parse(HECapabilities(0, 0x04, {0xFA, 0xFF, 0xFA, 0xFF, 0xFE}));
  elements.FillTree(tree);
  EXPECT_EQ(TextsOf(tree).back(), "Insufficient bytes for Phy Capabilities Rx and Tx HE-MCS Maps 160 MHz!");
}

TEST(HECapabilities, TruncatedFixedPartIsCorrupted) {
  std::vector<uint8_t> blob =
      ElementBuilder().AddExtension(35, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00}).Blob();
  TInformationElements elements;
  auto* e = CapabilitiesOf(elements, blob);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Width40And80In5G);
  EXPECT_EQ(e->RxHEMCSMap80, 0xFFFF);
  Texts lines = DetailTextsOf(blob);
  EXPECT_THAT(lines, Contains(HasSubstr("HE MAC Capabilities Information")));
  EXPECT_THAT(lines, Not(Contains("HE PHY Capabilities Information")));  // it would claim bytes past the body
  EXPECT_EQ(lines.back(), "Could not parse element. Element is corrupted.");
}

TEST(HECapabilities, PPEThresholds) {
  // Two streams, all four RU sizes: two stream lines of four RUs, 7 bytes.
  std::vector<uint8_t> blob =
      HECapabilities(0, 0x02, {0xFA, 0xFF, 0xFA, 0xFF, 0x79, 0x1C, 0xC7, 0x71, 0x1C, 0xC7, 0x71});
  Texts lines = DetailTextsOf(blob);
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  int streams = 0, rus = 0;
  tree.ForEach([&](TIETreeLine l) {
    const TIETreeData& d = tree.Data(l);
    if (d.Text == "PPE Thresholds") { EXPECT_EQ(d.Length, 7); }
    if (d.Text.starts_with("NSS ")) ++streams;
    if (d.Text.starts_with("RU allocation")) ++rus;
  });
  EXPECT_EQ(streams, 2);
  EXPECT_EQ(rus, 8);
  EXPECT_THAT(lines, Contains(".....001 - NSS: 1 (0x01)"));
  EXPECT_THAT(lines, Contains(".1111... - RU Index Bitmask: 0x0F"));
  EXPECT_THAT(lines, Contains("........ ........ ......00 0....... - PPET16: BPSK (0x00)"));
  EXPECT_THAT(lines, Contains("........ ........ ...111.. ........ - PPET8: None (0x07)"));

  // Three streams for the two smallest RU sizes only (as real access points send them): 6 bytes, every
  // stream present, no shortage.
  blob = HECapabilities(0, 0x01, {0xFA, 0xFF, 0xFA, 0xFF, 0x1A, 0x1C, 0xC7, 0x71, 0x1C, 0xC7});
  lines = DetailTextsOf(blob);
  EXPECT_THAT(lines, Contains("NSS 2"));
  EXPECT_THAT(lines, Not(Contains(HasSubstr("Insufficient"))));
  EXPECT_THAT(lines, Not(Contains("RU allocation: 996")));

  // Announced thresholds that the body does not hold.
  lines = DetailTextsOf(HECapabilities(0, 0x02, {0xFA, 0xFF, 0xFA, 0xFF, 0x79, 0x1C, 0xC7, 0x71}));
  EXPECT_THAT(lines, Contains("NSS 0"));
  EXPECT_EQ(lines.back(), "Insufficient bytes for NSS 1!");
}

TEST(HEOperation, VHTOperationInformationAndCoHostedBSS) {
  std::vector<uint8_t> blob =
      ElementBuilder().AddExtension(36, {0x00, 0xC0, 0x00, 0x19, 0xFC, 0xFF, 0x01, 0x9B, 0x00, 0x05}).Blob();
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.FindExtension<THEOperationExtensionsInformationElement>(36);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->VHTInfoPresent);
  EXPECT_EQ(e->ChannelWidth, 1);
  EXPECT_EQ(e->CenterSegment0, 155);
  EXPECT_EQ(e->CenterSegment1, 0);

  TIETree tree;
  elements.FillTree(tree);
  TIETreeLine element = tree.FirstChild(tree.FirstChild(kNoLine));
  TIETreeLine info = tree.Child(element, 3);
  EXPECT_EQ(tree.Data(info).Text, "HE Operation Information: 0x00C000");
  ASSERT_EQ(tree.ChildCount(info), 10);
  TIETreeLine vht = tree.Child(info, 8);
  EXPECT_EQ(tree.Data(vht).Text, "VHT Operation Information");
  EXPECT_EQ(tree.Data(vht).Offset, 9);
  EXPECT_EQ(tree.Data(vht).Length, 3);
  EXPECT_EQ(tree.Data(tree.Child(vht, 1)).Text, "Channel Center Frequency Segment 0: 155 (0x9B)");
  EXPECT_EQ(tree.Data(tree.Child(info, 9)).Text, "Max Co-Located BSSID Indicator: 5");
  EXPECT_EQ(tree.Data(tree.Child(info, 9)).Offset, 12);

  Texts lines = DetailTextsOf(blob);
  EXPECT_THAT(lines, Contains("........ .1...... ........ - VHT Operation Information Present: Yes (1)"));
  EXPECT_THAT(lines, Contains("xxxxxx.. ........ ........ - Reserved"));
  EXPECT_THAT(lines, Contains("..011001 - BSS Color: 25"));
  EXPECT_THAT(lines, Contains("Basic HE-MCS and NSS Set: 11111111 11111100 (0xFFFC)"));

  // Only the co-hosted BSS part: its byte follows the basic HE-MCS set.
  elements.Parse(ElementBuilder().AddExtension(36, {0xF4, 0x81, 0x01, 0x39, 0xFC, 0xFF, 0x04}).Blob());
  e = elements.FindExtension<THEOperationExtensionsInformationElement>(36);
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->VHTInfoPresent);
  elements.FillTree(tree);
  info = tree.Child(tree.FirstChild(tree.FirstChild(kNoLine)), 3);
  ASSERT_EQ(tree.ChildCount(info), 9);
  EXPECT_EQ(tree.Data(tree.Child(info, 8)).Text, "Max Co-Located BSSID Indicator: 4");
  EXPECT_EQ(tree.Data(tree.Child(info, 8)).Offset, 9);
}

TEST(HEOperation, ShortBodies) {
  // Announced VHT operation information that the body does not hold: not read, and the tree ends corrupted.
  std::vector<uint8_t> blob = ElementBuilder().AddExtension(36, {0x00, 0x40, 0x00, 0x19, 0xFC, 0xFF, 0x01}).Blob();
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.FindExtension<THEOperationExtensionsInformationElement>(36);
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->VHTInfoPresent);
  EXPECT_EQ(e->ChannelWidth, 0);
  EXPECT_EQ(DetailTextsOf(blob).back(), "Could not parse element. Element is corrupted.");

  // Shorter than 7 bytes: the length message only.
  blob = ElementBuilder().AddExtension(36, {0x00, 0x40, 0x00, 0x19}).Blob();
  EXPECT_EQ(DetailTextsOf(blob),
            (Texts{"Extension Element ID: HE Operation (802.11ax) (36)", "Length is wrong, must be => 7"}));

  // Shorter than 3 bytes: a plain element.
  elements.Parse(ElementBuilder().AddExtension(36, {0x00}).Blob());
  ASSERT_EQ(elements.Count(), 1);
  EXPECT_EQ(elements.FindExtension<THEOperationExtensionsInformationElement>(36), nullptr);
  EXPECT_EQ(elements.GetItem(0)->ID, 255);
}

}  // namespace
}  // namespace skimlet

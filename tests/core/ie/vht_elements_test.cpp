// VHT Capabilities, VHT Operation and VHT Transmit Power Envelope.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid191_vht_capabilities.h"
#include "core/ie/elements/eid192_vht_operation.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::Hex;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using Texts = std::vector<std::string>;

TEST(VHTCapabilities, FieldsAndLines) {
  // Capabilities B2 59 82 0F, Rx map 0xFFFA with no highest rate, Tx map 0xFFFE with 780 Mbps.
  std::vector<uint8_t> blob = Hex("BF 0C B2 59 82 0F FA FF 00 00 FE FF 0C 23");
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TVHTCapabilitiesElement>(191);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->ShortGI80);
  EXPECT_FALSE(e->ShortGI160);
  EXPECT_EQ(e->RxVHTMCSMap, 0xFFFA);
  EXPECT_EQ(e->TxVHTMCSMap, 0xFFFE);

  Texts lines = DetailTextsOf(blob);
  for (const char* line : {
           "VHT Capabilities Info: 00001111 10000010 01011001 10110010 (0x0F8259B2)",
           "........ ........ ........ ......10 - Maximum MPDU Length: 11 454 octets (2)",
           "........ ........ ........ ..1..... - Short GI for 80 MHz: Supported",
           "........ ........ 010..... ........ - Beamformee STS Capability: 3 (2)",
           "........ .....010 ........ ........ - Number of Sounding Dimensions: 3 (2)",
           "......11 1....... ........ ........ - Maximum A-MPDU Length Exponent: 1048575 octets (0x07)",
           "....xx.. ........ ........ ........ - Reserved",
           "Supported VHT-MCS and NSS Set",
           "Rx VHT-MCS Map: 11111111 11111010 (0xFFFA)",
           "........ ......10 - Max VHT-MCS For 1 SS: VHT-MCS 0-9 (2)",
           "........ ....10.. - Max VHT-MCS For 2 SS: VHT-MCS 0-9 (2)",
           "........ ..11.... - Max VHT-MCS For 3 SS: Not Supported (3)",
           "11...... ........ - Max VHT-MCS For 8 SS: Not Supported (3)",
           "...00000 00000000 - Rx Highest Supported Long GI Data Rate: Not Specified (0x00)",
           "000..... ........ - Maximum NSTS,total: 0 (0x00)",
           "...00011 00001100 - Tx Highest Supported Long GI Data Rate: 780 Mbps  (0x30C)",
           "..1..... ........ - VHT Extended NSS BW Capable: Capable",
       })
    EXPECT_THAT(lines, Contains(line));
  EXPECT_EQ(lines.back(), "xx...... ........ - Reserved");
}

TEST(VHTCapabilities, FieldsThatDependOnOtherBits) {
  // Bits 11, 12 and 22 clear: the sounding, STS and link adaptation fields are reserved.
  Texts lines = DetailTextsOf(Hex("BF 0C 00 00 00 00 FF FF 00 00 FF FF 00 00"));
  EXPECT_THAT(lines, Contains("........ ........ xxx..... ........ - Reserved"));
  EXPECT_THAT(lines, Contains("........ .....xxx ........ ........ - Reserved"));
  EXPECT_THAT(lines, Contains("....xx.. ........ ........ ........ - Reserved"));
  // With bit 22 the link adaptation field shows.
  EXPECT_THAT(DetailTextsOf(Hex("BF 0C 00 00 40 0C FF FF 00 00 FF FF 00 00")),
              Contains("....11.. ........ ........ ........ - VHT Link Adaptation Capable: Both (STA can provide VHT "
                       "MFB in response to VHT MRQ) (0x03)"));
}

TEST(VHTCapabilities, ShortBodies) {
  std::vector<uint8_t> blob = Hex("BF 05 60 00 00 00 FA");
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TVHTCapabilitiesElement>(191);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->ShortGI80 && e->ShortGI160);
  EXPECT_EQ(e->RxVHTMCSMap, 0xFFFF);  // not in the body: no stream
  EXPECT_EQ(e->TxVHTMCSMap, 0xFFFF);
  EXPECT_EQ(DetailTextsOf(blob), Texts{"Length is wrong, must be = 12"});

  elements.Parse(Hex("BF 08 00 00 00 00 FA FF 00 00"));
  e = elements.Find<TVHTCapabilitiesElement>(191);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->RxVHTMCSMap, 0xFFFA);
  EXPECT_EQ(e->TxVHTMCSMap, 0xFFFF);
}

TEST(VHTOperation, FieldsAndLines) {
  std::vector<uint8_t> blob = Hex("C0 05 01 2A 00 FC FF");
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TVHTOperationElement>(192);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->ChannelWidth, 1);
  EXPECT_EQ(e->CenterSegment0, 42);
  EXPECT_EQ(e->CenterSegment1, 0);
  Texts lines = DetailTextsOf(blob);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              ElementsAre("VHT Operation Information", "Channel Width: 80 MHz, 160 MHz or 80+80 MHz (0x01)",
                          "Channel Center Frequency Segment 0: 42 (0x2A)",
                          "Channel Center Frequency Segment 1: Reserved (0x00)",
                          "Basic VHT-MCS and NSS Set: 11111111 11111100 (0xFFFC)",
                          "........ ......00 - Max VHT-MCS For 1 SS: VHT-MCS 0-7 (0)"));

  // 160 MHz in the 80 MHz code: segment 1 is shown; width 0 hides both segments; unknown widths are reserved.
  EXPECT_THAT(DetailTextsOf(Hex("C0 05 01 2A 32 FC FF")), Contains("Channel Center Frequency Segment 1: 50 (0x32)"));
  EXPECT_THAT(DetailTextsOf(Hex("C0 05 00 2A 32 FC FF")),
              Contains("Channel Center Frequency Segment 0: Reserved (0x2A)"));
  EXPECT_THAT(DetailTextsOf(Hex("C0 05 00 2A 32 FC FF")),
              Contains("Channel Center Frequency Segment 1: Reserved (0x32)"));
  EXPECT_THAT(DetailTextsOf(Hex("C0 05 07 2A 00 FC FF")), Contains("Channel Width: Reserved (0x07)"));
}

TEST(VHTOperation, Lengths) {
  // Too long: only the length message, but the three values still reach the network record.
  std::vector<uint8_t> blob = Hex("C0 06 01 2A 9B FC FF 00");
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<TVHTOperationElement>(192);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->CenterSegment1, 155);
  EXPECT_EQ(DetailTextsOf(blob), Texts{"Length is wrong, must be = 5"});
  // Shorter than three bytes: dropped.
  elements.Parse(Hex("C0 02 01 2A 00 01 41"));
  EXPECT_EQ(elements.FindElement(192), nullptr);
  EXPECT_EQ(elements.Count(), 1);
}

TEST(VHTTransmitPowerEnvelope, Lines) {
  EXPECT_EQ(
      DetailTextsOf(Hex("C3 04 02 28 F9 20")),
      (Texts{"Transmit  Power Information: 00000010 (0x0002) - octet 1",
             ".....010 - Local Maximum Transmit Power Count: 2 [20 MHz, 40 MHz, 80 MHz] (0x02)",
             "..000... - Local Maximum Transmit Power Unit Interpretation: EIRP (0x00)", "xx...... - Reserved",
             "Local Maximum Transmit Power For 20 MHz: 20 dBm", "Local Maximum Transmit Power For 40 MHz: -3.5 dBm",
             "Local Maximum Transmit Power For 80 MHz: 16 dBm"}));
  // The count names four bandwidths, the body holds one power.
  Texts lines = DetailTextsOf(Hex("C3 02 0B 28"));
  EXPECT_THAT(
      lines,
      Contains(".....011 - Local Maximum Transmit Power Count: 3 [20 MHz, 40 MHz, 80 MHz, 160/80+80 MHz] (0x03)"));
  EXPECT_THAT(lines, Contains("..001... - Local Maximum Transmit Power Unit Interpretation: Unknown (0x01)"));
  EXPECT_EQ(lines.back(), "Local Maximum Transmit Power For 20 MHz: 20 dBm");
  // Bytes beyond the count are not shown; a count of 7 names unknown bandwidths.
  EXPECT_EQ(DetailTextsOf(Hex("C3 03 00 28 28")).back(), "Local Maximum Transmit Power For 20 MHz: 20 dBm");
  EXPECT_THAT(DetailTextsOf(Hex("C3 02 07 28")), Contains(".....111 - Local Maximum Transmit Power Count: 7 [20 MHz, "
                                                          "40 MHz, 80 MHz, 160/80+80 MHz, Unknown, Unknown, Unknown, "
                                                          "Unknown] (0x07)"));
  EXPECT_EQ(DetailTextsOf(Hex("C3 01 00")), Texts{"Length is wrong, must be >= 2 and <=5"});
  EXPECT_EQ(DetailTextsOf(Hex("C3 06 00 00 00 00 00 00")), Texts{"Length is wrong, must be >= 2 and <=5"});
}

}  // namespace
}  // namespace skimlet

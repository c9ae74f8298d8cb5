// HT Capabilities and HT Operation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/eid061_ht_operation.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using Texts = std::vector<std::string>;

// A 26-byte HT Capabilities body: capability information, A-MPDU parameters, the MCS set starting with
// Mcs, the Tx MCS field at MCS set bytes 12-13.
std::vector<uint8_t> HTCapabilities(uint16_t info, uint8_t ampdu, std::vector<uint8_t> mcs, uint16_t txField = 0) {
  std::vector<uint8_t> body;
  PutUInt16LE(body, info);
  body.push_back(ampdu);
  mcs.resize(16);
  mcs[12] = static_cast<uint8_t>(txField);
  mcs[13] = static_cast<uint8_t>(txField >> 8);
  body.insert(body.end(), mcs.begin(), mcs.end());
  body.resize(26);
  return ElementBuilder().Add(45, body).Blob();
}

TEST(HTCapabilities, FieldsAndLines) {
  std::vector<uint8_t> blob = HTCapabilities(0x016E, 0x17, {0xFF, 0xFF, 0x00, 0x00}, 0x0007);
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<THTCapabilitiesElement>(45);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->SupportedChannelWidth40);
  EXPECT_TRUE(e->ShortGI20);
  EXPECT_TRUE(e->ShortGI40);
  EXPECT_EQ(e->RxMCSBitmask, 0x0000FFFFu);

  Texts lines = DetailTextsOf(blob);
  for (const char* line : {
           "HT Capability Information: 00000001 01101110 (0x016E)",
           "........ ......1. - Supported Channel Width Set: Both 20 MHz and 40 MHz operation is supported",
           "........ ....11.. - SM Power Save: SM Power Save disabled or not supported (3)",
           "........ ..1..... - Short GI for 20 MHz: Supported",
           "........ .1...... - Short GI for 40 MHz: Supported",
           "......01 ........ - Rx STBC: Support of one spatial stream (1)",
           "..x..... ........ - Reserved",
           "A-MPDU Parameters: 00010111 (0x17)",
           "......11 - Maximum A-MPDU Length Exponent: 65535 bytes (3)",
           "...101.. - Minimum MPDU Start Spacing: 4 microseconds (5)",
           "Supported MCS Set",
           "1....... - MCS Index 15: Supported",
           ".......0 - MCS Index 16: Not Supported",
           "...0.... - MCS Index 76: Not Supported",
           "......00 00000000 - Rx Highest Supported Data Rate: Not Specified (0)",
           "........ ....01.. - Tx Maximum Number Spatial Streams: Supported 2 spatial stream(s) (0x01)",
       })
    EXPECT_THAT(lines, Contains(line));
  EXPECT_THAT(lines, Not(Contains("........ .......1 - MCS Index 77: Supported")));
  // Last line: the reserved bits of ASEL.
  EXPECT_EQ(lines.back(), "x....... - Reserved");
}

TEST(HTCapabilities, TxFieldNotDefinedAndHighestRate) {
  std::vector<uint8_t> mcs(16);
  mcs[10] = 0x2C;  // 300 Mbps
  mcs[11] = 0x01;
  Texts lines = DetailTextsOf(HTCapabilities(0, 0x07, mcs, 0x0001));
  EXPECT_THAT(lines, Contains("........ ....00.. - Tx Maximum Number Spatial Streams: Not Defined (0)"));
  EXPECT_THAT(lines, Contains("......01 00101100 - Rx Highest Supported Data Rate: 300 Mbps (0x012C)"));
  EXPECT_THAT(lines, Contains("...001.. - Minimum MPDU Start Spacing: 1/4 microsecond (1)"));
  EXPECT_THAT(DetailTextsOf(HTCapabilities(0, 0x1C, {})),
              Contains("...111.. - Minimum MPDU Start Spacing: 16 microseconds (7)"));
}

TEST(HTCapabilities, WrongLengthStillReadsFields) {
  std::vector<uint8_t> body(25);
  body[0] = 0x62;  // 40 MHz, short GI 20 and 40
  body[3] = 0xFF;
  std::vector<uint8_t> blob = ElementBuilder().Add(45, body).Blob();
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<THTCapabilitiesElement>(45);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->SupportedChannelWidth40 && e->ShortGI20 && e->ShortGI40);
  EXPECT_EQ(e->RxMCSBitmask, 0xFFu);
  EXPECT_EQ(DetailTextsOf(blob), Texts{"Length is wrong, must be = 26"});

  // A body too short for the MCS bitmask leaves it 0.
  elements.Parse(ElementBuilder().Add(45, {0x02, 0x00, 0x00, 0xFF}).Blob());
  e = elements.Find<THTCapabilitiesElement>(45);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->SupportedChannelWidth40);
  EXPECT_EQ(e->RxMCSBitmask, 0u);
}

std::vector<uint8_t> HTOperation(std::vector<uint8_t> start, size_t length = 22) {
  start.resize(length);
  return ElementBuilder().Add(61, start).Blob();
}

TEST(HTOperation, FieldsAndLines) {
  std::vector<uint8_t> blob = HTOperation({0x24, 0x07, 0x06, 0x00, 0xC0, 0x00});
  TInformationElements elements;
  elements.Parse(blob);
  auto* e = elements.Find<THTOperationElement>(61);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->PrimaryChannel, 36);
  EXPECT_EQ(e->SecondaryChannelOffset, 3);
  EXPECT_FALSE(e->Only20MHz);

  Texts lines = DetailTextsOf(blob);
  ASSERT_GE(lines.size(), 24u);
  EXPECT_THAT(
      std::vector<std::string>(lines.begin(), lines.begin() + 6),
      ElementsAre("Primary Channel: 36 (0x24)", "HT Operation Information: 00000111 (0x07) - subset 1 (0-7 bits)",
                  "......11 - Secondary Channel Offset: Secondary channel is below the primary channel (3)",
                  ".....1.. - STA Channel Width: Any channel width",
                  "....0... - Reduced Interframe Spacing (RIFS) Mode: RIFS is prohibited", "xxxx.... - Reserved"));
  EXPECT_THAT(lines, Contains("HT Operation Information: 00000000 00000110 (0x0006) - subset 2 (8-23 bits)"));
  EXPECT_THAT(lines, Contains("........ ......10 - HT Protection: 20 MHz protection mode (2)"));
  EXPECT_THAT(lines, Contains("........ .....1.. - Nongreenfield HT STAs Present: One or more HT STAs that are not "
                              "HT-greenfield capable are associated or one or more HT peer mesh STAs are not "
                              "HT-greenfield capable"));
  EXPECT_THAT(lines, Contains("...00000 000..... - Channel Center Frequency Segment 2: 0"));
  EXPECT_THAT(lines, Contains("........ ..xxxxxx - Reserved"));
  EXPECT_THAT(lines, Contains("........ .1...... - Dual Beacon: An STBC beacon is transmitted by the AP"));
  EXPECT_THAT(lines, Contains("........ 1....... - Dual CTS Protection: Dual CTS protection is required"));
  EXPECT_THAT(lines, Contains(".......0 ........ - STBC Beacon: Primary beacon"));
  EXPECT_THAT(lines, Contains("Basic HT-MCS Set"));
}

TEST(HTOperation, ShortAndWrongLengths) {
  EXPECT_EQ(DetailTextsOf(HTOperation({0x01, 0x00}, 21)), Texts{"Length is wrong, must be = 22"});
  // A body that ends after the primary channel: only the channel is known.
  TInformationElements elements;
  elements.Parse(HTOperation({0x06}, 1));
  auto* e = elements.Find<THTOperationElement>(61);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->PrimaryChannel, 6);
  EXPECT_EQ(e->SecondaryChannelOffset, 0);
}

}  // namespace
}  // namespace skimlet

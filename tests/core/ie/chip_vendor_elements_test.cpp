// Broadcom, Atheros and Ralink vendor elements: their detail lines (the vendor element and header lines are
// the vendor base's).
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/vnd_atheros.h"
#include "core/ie/elements/vnd_broadcom.h"
#include "core/ie/elements/vnd_ralink.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::Hex;
using Texts = std::vector<std::string>;

// The lines from the first line that equals First to the end.
Texts From(const Texts& texts, const std::string& first) {
  auto it = std::find(texts.begin(), texts.end(), first);
  return it == texts.end() ? Texts{"<no line " + first + ">"} : Texts(it, texts.end());
}

bool Has(const Texts& texts, const std::string& line) {
  return std::find(texts.begin(), texts.end(), line) != texts.end();
}

TEST(ChipVendorElements, Dispatch) {
  std::vector<uint8_t> blob = ElementBuilder()
                                  .AddVendor(0x00904C, 0x33, std::vector<uint8_t>(26, 0))
                                  .AddVendor(0x00904C, 0x34, std::vector<uint8_t>(22, 0))
                                  .AddVendor(0x001018, 2, std::vector<uint8_t>(5, 0))
                                  .AddVendor(0x00037F, 1, std::vector<uint8_t>(5, 0))
                                  .AddVendor(0x00037F, 3, std::vector<uint8_t>(19, 0))
                                  .AddVendor(0x000C43, 0x55, {0, 0, 0})
                                  .Blob();
  TInformationElements elements;
  elements.Parse(blob);
  EXPECT_NE(elements.FindVendor<TBroadcomHTCapabilitiesInfoElement>(0x00904C, 0x33), nullptr);
  EXPECT_NE(elements.FindVendor<TBroadcomHTAdditionalCapabilitiesElement>(0x00904C, 0x34), nullptr);
  EXPECT_NE(elements.FindVendor<TBroadcomInfoElement>(0x001018, 2), nullptr);
  auto* advanced = elements.FindVendor<TAtherosAdvancedCapabilityElement>(0x00037F, 1);
  ASSERT_NE(advanced, nullptr);
  EXPECT_EQ(advanced->As<TAtherosExtendedRangeElement>(), nullptr);
  EXPECT_NE(elements.FindVendor<TAtherosExtendedRangeElement>(0x00037F, 3), nullptr);
  EXPECT_NE(elements.FindVendor<TRalinkInformationElement>(0x000C43, 0x55), nullptr);
}

TEST(ChipVendorElements, BroadcomInfo) {
  Texts details = DetailTextsOf(Hex("DD 09 00 10 18 02 05 0C 01 00 10"));
  EXPECT_EQ(
      From(details, "# of assoc STAs: 5"),
      (Texts{"# of assoc STAs: 5", "Flags: 00001100 (0x0C)", "......xx - Reserved", ".....1.. - Lazy WDS enabled: Yes",
             "....1... - BlockACK capable: Yes", "xxxx.... - Reserved", "Flags1: 00000001 (0x01)",
             ".......1 - A-MSDU capable: Yes", "......x. - Reserved",
             ".....0.. - AP is capable of handling WME + PS w/o APSD: No",
             "....0... - AP has fixed PS mode out-of-order packets: No",
             "...0.... - Device can Rx large aggregates: No", "..0..... - RFAWARE dynamic channel selection (DCS): No",
             ".0...... - Configure as Broadcom SOFTAP: No", "0....... - DWDS capable: No",
             "Preferred A-MSDU MTU: 4096"}));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("DD 08 00 10 18 02 05 0C 01 00")), "Length is wrong, must be = 9"));
}

TEST(ChipVendorElements, BroadcomHTAdditionalCapabilities) {
  std::vector<uint8_t> body = {0x06, 0x07, 0x06, 0x00, 0x81, 0x0E};
  body.insert(body.end(), {0xFF, 0x01, 0, 0, 0, 0, 0, 0, 0, 0});  // MCS 0-8
  body.insert(body.end(), {0x2C, 0x01, 0x07, 0x00, 0x00, 0x00});  // 300 Mbps; Tx defined, not equal, 2 streams
  Texts details = DetailTextsOf(ElementBuilder().AddVendor(0x00904C, 0x34, body).Blob());
  for (const char* line :
       {"Control Channel: 6 (0x06)",
        "Additional HT Information: 00000111 (0x0007) - subset 1",
        "......11 - Extension Channel Offset: Secondary channel is below the primary channel (0x03)",
        ".....1.. - Recommended transmission Width Set: Any channel width",
        "000..... - Service Interval Granularity: 5 ms",
        "Additional HT Information: 00000000 00000110 (0x0006) - subset 2",
        "........ ......10 - Operating Mode: No non-HT STA is associated in  the  BSS,  however,  at  least  "
        "one 20MHz  HT  STA  is  associated (0x02)",
        "........ .....1.. - Non-GF Devices Present: One or more HT devices that are not GF capable have associated",
        "Additional HT Information: 00001110 10000001 (0x0E81) - subset 3",
        "........ .0000001 - Basic STBC MCS: 0x01",
        "........ 1....... - Dual  CTS Protection: Dual CTS protection is used",
        ".......0 ........ - Secondary Beacon: Primary Beacon",
        "......1. ........ - L-SIG TXOP Protection Full Support: All HT STA in the BSS support L-SIG TXOP protection",
        "....1... ........ - PCO Phase: Indicates switch to or continue 40 MHz phase",
        "Basic MCS Set",
        "MCS Bitmask",
        ".......1 - MCS Index 8: Supported (0x01)",
        "......0. - MCS Index 9: Not Supported (0x00)",
        "xxx..... - Reserved",
        "......01 00101100 - Rx Highest Supported Data Rate: 300 Mbps (0x012C)",
        "........ .......1 - Tx MCS Set Defined: Defined (0x01)",
        "........ ......1. - Tx Rx MCS Set Not Equal: Supported (0x01)",
        "........ ....01.. - Tx Maximum Number Spatial Streams Supported: 2 spatial stream(s) (0x01)",
        "xxxxxxxx xxxxxxxx - Reserved"})
    EXPECT_TRUE(Has(details, line)) << line;
  EXPECT_EQ(
      std::count_if(details.begin(), details.end(), [](auto& t) { return t.find("MCS Index") != std::string::npos; }),
      77);
  body.pop_back();
  EXPECT_TRUE(
      Has(DetailTextsOf(ElementBuilder().AddVendor(0x00904C, 0x34, body).Blob()), "Length is wrong, must be = 26"));
}

TEST(ChipVendorElements, BroadcomHTCapabilitiesAreHTCapabilities) {
  std::vector<uint8_t> ht = {0x6E, 0x11, 0x03, 0xFF, 0xFF};
  ht.resize(26);
  auto linesOf = [](const std::vector<uint8_t>& blob, size_t skip) {
    TInformationElements elements;
    elements.Parse(blob);
    TIETree tree;
    elements.FillTree(tree);
    std::vector<TIETreeData> lines;
    tree.ForEach([&](TIETreeLine l) { lines.push_back(tree.Data(l)); });
    return std::vector<TIETreeData>(lines.begin() + static_cast<long>(skip), lines.end());
  };
  // Root, element, ID and length lines, plus the vendor's two header lines.
  std::vector<TIETreeData> standard = linesOf(ElementBuilder().Add(45, ht).Blob(), 4);
  std::vector<TIETreeData> vendor = linesOf(ElementBuilder().AddVendor(0x00904C, 0x33, ht).Blob(), 6);
  ASSERT_EQ(vendor.size(), standard.size());
  ASSERT_GT(standard.size(), 100u);
  for (size_t k = 0; k < standard.size(); ++k) {
    EXPECT_EQ(vendor[k].Text, standard[k].Text);
    EXPECT_EQ(vendor[k].Offset, standard[k].Offset + 4) << vendor[k].Text;
    EXPECT_EQ(vendor[k].Length, standard[k].Length) << vendor[k].Text;
  }
}

TEST(ChipVendorElements, BroadcomHTCapabilitiesLength) {
  std::vector<uint8_t> body(25, 0);
  EXPECT_TRUE(
      Has(DetailTextsOf(ElementBuilder().AddVendor(0x00904C, 0x33, body).Blob()), "Length is wrong, must be = 30"));
  body.push_back(0);
  EXPECT_FALSE(
      Has(DetailTextsOf(ElementBuilder().AddVendor(0x00904C, 0x33, body).Blob()), "Length is wrong, must be = 30"));
}

TEST(ChipVendorElements, AtherosAdvancedCapability) {
  Texts details = DetailTextsOf(Hex("DD 09 00 03 7F 01 01 00 81 FF 7F"));
  EXPECT_EQ(
      From(details, "Subtype: 1"),
      (Texts{"Subtype: 1", "Version: 0", "Capabilities: 10000001 (0x81)", ".......1 - Turbo Prime: Yes",
             "......0. - Compression: No", ".....0.. - Fast (Jumbo) Frames: No", "....0... - Xtended Range support: No",
             "...0.... - Advanced Radar support: No", "..0..... - Bursting: No", ".0...... - CWMin tuning: No",
             "1....... - Boost: Yes", "Default key index: 0x7FFF"}));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("DD 0A 00 03 7F 01 01 00 81 FF 7F 00")), "Length is wrong, must be = 9"));
}

TEST(ChipVendorElements, AtherosExtendedRange) {
  std::vector<uint8_t> body = {0x03, 0x01, 0x80, 0x00, 0x03, 0x7F, 0x11, 0x22, 0x33, 0x00,
                               0x03, 0x7F, 0x44, 0x55, 0x66, 0x64, 0x00, 0x21, 0x31};
  Texts details = DetailTextsOf(ElementBuilder().AddVendor(0x00037F, 3, body).Blob());
  EXPECT_EQ(From(details, "Subtype: 3"),
            (Texts{"Subtype: 3", "Version: 1", "Info: 10000000 (0x80)", "Base BSSID: 00-03-7F-11-22-33",
                   "Extended Range BSSID: 00-03-7F-44-55-66", "Extended Range Beacon Interval: 100 (0x0064)",
                   "Base Capabilities: 00100001 (0x21)", "Extended Range Capabilities: 00110001 (0x31)"}));
  body.pop_back();
  EXPECT_TRUE(
      Has(DetailTextsOf(ElementBuilder().AddVendor(0x00037F, 3, body).Blob()), "Length is wrong, must be >= 23"));
}

TEST(ChipVendorElements, Ralink) {
  Texts details = DetailTextsOf(Hex("DD 07 00 0C 43 07 00 00 00"));
  // One header line in place of the OUI and subtype lines, then the flags.
  ASSERT_FALSE(details.empty());
  EXPECT_EQ(details[0].rfind("Vendor OUI: 00-0C-43 (", 0), 0u) << details[0];
  EXPECT_EQ(From(details, "Flags: 00000111 (0x07)"),
            (Texts{"Flags: 00000111 (0x07)", ".......1 - Aggregation Capable: Yes",
                   "......1. - Piggy-Back Capable: Yes", ".....1.. - Reverse Direction Grant support: Yes",
                   "xxxxx... - Reserved", "0x00 - Reserved", "0x00 - Reserved", "0x00 - Reserved"}));
  EXPECT_FALSE(Has(details, "Subtype: 7 (Unknown)"));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("DD 06 00 0C 43 07 00 00")), "Length is wrong, must be = 7"));

  // The organisation comes from the vendor database when one is installed.
  SetOUIVendorLookup(
      [](uint32_t oui) { return oui == 0x000C43 ? std::string("Ralink Technology, Corp.") : std::string(); });
  Texts named = DetailTextsOf(Hex("DD 07 00 0C 43 07 00 00 00"));
  SetOUIVendorLookup({});
  EXPECT_EQ(named[0], "Vendor OUI: 00-0C-43 (Ralink Technology, Corp.)");
  EXPECT_EQ(details[0], "Vendor OUI: 00-0C-43 (Unknown)");
}

}  // namespace
}  // namespace skimlet

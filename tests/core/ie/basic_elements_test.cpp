// SSID, rates, DSSS, TIM, BSS Load, ERP and the power elements.
#include <gtest/gtest.h>

#include "core/base/numfmt.h"
#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/elements/eid003_dsss.h"
#include "core/ie/elements/eid011_bss_load.h"
#include "core/ie/elements/eid042_erp.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::ElementLineOf;
using test::Hex;
using Texts = std::vector<std::string>;

std::string SSIDOf(const char* blob) {
  TInformationElements elements;
  elements.Parse(Hex(blob));
  auto* e = elements.Find<TSSIDElement>(0);
  return e ? e->SSID : "<none>";
}

TEST(SSIDElement, Texts) {
  EXPECT_EQ(SSIDOf("00 05 4D 79 4E 65 74"), "MyNet");
  EXPECT_EQ(ElementLineOf(Hex("00 05 4D 79 4E 65 74")), "SSID: MyNet");
  EXPECT_EQ(DetailTextsOf(Hex("00 05 4D 79 4E 65 74")), Texts{"SSID: MyNet"});
  // A hidden network sending zeros.
  EXPECT_EQ(SSIDOf("00 03 00 00 00"), "");
  EXPECT_EQ(ElementLineOf(Hex("00 03 00 00 00")), "SSID: ");
  EXPECT_EQ(SSIDOf("00 04 41 42 00 43"), "AB");
  EXPECT_EQ(SSIDOf("00 02 C3 A9"), "\xC3\xA9");                     // UTF-8 e acute
  EXPECT_EQ(SSIDOf("00 01 E9"), "\xC3\xA9");                        // the same letter from an 8-bit code page
  EXPECT_EQ(SSIDOf("00 03 ED A0 80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a UTF-16 surrogate is no UTF-8
}

TEST(SSIDElement, TooLong) {
  std::vector<uint8_t> blob = ElementBuilder().AddText(0, std::string(40, 'A')).Blob();
  TInformationElements elements;
  elements.Parse(blob);
  EXPECT_EQ(elements.Find<TSSIDElement>(0)->SSID, "");
  EXPECT_EQ(ElementLineOf(blob), "SSID");
  EXPECT_EQ(DetailTextsOf(blob), Texts{"Length is wrong, must be between 0 and 32"});
}

TEST(SupportedRates, RatesSummaryAndPHYTests) {
  std::vector<uint8_t> blob = Hex("01 08 82 84 8B 96 0C 12 18 24");
  TInformationElements elements;
  elements.Parse(blob);
  auto* rates = elements.Find<TSupportedRatesElement>(1);
  ASSERT_NE(rates, nullptr);
  EXPECT_EQ(rates->Rates, (TDoubleDynamicArray{1, 2, 5.5, 11, 6, 9, 12, 18}));
  EXPECT_TRUE(rates->HasDSSSRates());
  EXPECT_TRUE(rates->HasOFDMRates());
  EXPECT_EQ(ElementLineOf(blob), "Supported Rates: 1 (B), 2 (B), 5.5 (B), 11 (B), 6, 9, 12, 18 Mbps");
  Texts details = DetailTextsOf(blob);
  ASSERT_EQ(details.size(), 8u);
  EXPECT_EQ(details[0], "Basic Speed Rate: 1 Mbps (0x82)");
  EXPECT_EQ(details[2], "Basic Speed Rate: 5.5 Mbps (0x8B)");
  EXPECT_EQ(details[4], "Speed Rate: 6 Mbps (0x0C)");
}

TEST(SupportedRates, OddBodies) {
  // A zero byte among rates is shown but not counted; a membership selector shows as a rate.
  std::vector<uint8_t> blob = Hex("01 03 0C 00 FF");
  TInformationElements elements;
  elements.Parse(blob);
  auto* rates = elements.Find<TSupportedRatesElement>(1);
  ASSERT_NE(rates, nullptr);
  EXPECT_EQ(rates->Rates, (TDoubleDynamicArray{6, 63.5}));
  EXPECT_FALSE(rates->HasDSSSRates());
  EXPECT_EQ(DetailTextsOf(blob),
            (Texts{"Speed Rate: 6 Mbps (0x0C)", "Speed Rate: 0 Mbps (0x00)", "Basic Speed Rate: 63.5 Mbps (0xFF)"}));
  // Nine rates: only the length message, but all nine rates are read.
  blob = Hex("01 09 82 84 8B 96 0C 12 18 24 30");
  elements.Parse(blob);
  EXPECT_EQ(elements.Find<TSupportedRatesElement>(1)->Rates.size(), 9u);
  EXPECT_EQ(DetailTextsOf(blob), Texts{"Length is wrong, must be > 0 and < 8"});
  // Extended rates take any length.
  blob = ElementBuilder().Add(50, std::vector<uint8_t>(12, 0x6C)).Blob();
  EXPECT_EQ(DetailTextsOf(blob).size(), 12u);
  // The user's decimal separator.
  CurrentNumberFormat() = {',', '.'};
  EXPECT_EQ(ElementLineOf(Hex("01 01 8B")), "Supported Rates: 5,5 (B) Mbps");
  CurrentNumberFormat() = {};
}

TEST(DSSSParameterSet, ChannelAndLengthCheck) {
  EXPECT_EQ(ElementLineOf(Hex("03 01 06")), "DSSS Parameter Set: Current channel: 6");
  EXPECT_EQ(DetailTextsOf(Hex("03 01 06")), Texts{"Current channel: 6"});
  TInformationElements elements;
  elements.Parse(Hex("03 02 06 00"));
  EXPECT_EQ(elements.Find<TDSSSParameterSetElement>(3)->CurrentChannel, 6);
  EXPECT_EQ(DetailTextsOf(Hex("03 02 06 00")), Texts{"Length is wrong, must be = 1"});
}

TEST(TIMElement, Lines) {
  EXPECT_EQ(DetailTextsOf(Hex("05 04 00 03 01 00")),
            (Texts{"DTIM Count: 0", "DTIM Period: 3", "Bitmap Control: 00000001 (0x01)",
                   ".......1 - Traffic Indicator: Group Frames Buffered at AP (0x01)",
                   "0000000. - Bitmap Offset: 0 (0x01)", "Partial Virtual Bitmap: 00"}));
  Texts t = DetailTextsOf(Hex("05 05 01 00 06 00 FF"));
  EXPECT_EQ(t[1], "DTIM Period: Reserved");
  EXPECT_EQ(t[4], "0000011. - Bitmap Offset: 3 (0x06)");
  EXPECT_EQ(t[5], "Partial Virtual Bitmap: 00 FF");
  EXPECT_EQ(DetailTextsOf(Hex("05 03 00 01 00")), Texts{"Length is wrong, must be >= 4"});
}

TEST(TIMElement, RangesOfTheBitmapControlLines) {
  TInformationElements elements;
  elements.Parse(Hex("03 01 06 05 04 00 03 01 00"));
  TIETree tree;
  elements.FillTree(tree);
  std::string text = TreeToText(tree);
  EXPECT_NE(text.find("      .......1 - Traffic Indicator: Group Frames Buffered at AP (0x01)\t@7+1\n"),
            std::string::npos);
  EXPECT_NE(text.find("    Partial Virtual Bitmap: 00\t@8+1\n"), std::string::npos);
}

TEST(BSSLoadElement, ValuesAndLines) {
  TInformationElements elements;
  elements.Parse(Hex("0B 05 03 00 80 10 00"));
  auto* load = elements.Find<TBSSLoadElement>(11);
  EXPECT_EQ(load->StationCount, 3);
  EXPECT_EQ(load->ChannelUtilization, 50);
  EXPECT_EQ(DetailTextsOf(Hex("0B 05 03 00 80 10 00")),
            (Texts{"Station Count: 3", "Channel Utilization: 50%",
                   "Available Admission Capacity: 512 microseconds/seconds"}));
  elements.Parse(Hex("0B 05 03 01 FF 00 00"));
  EXPECT_EQ(elements.Find<TBSSLoadElement>(11)->StationCount, 259);
  EXPECT_EQ(elements.Find<TBSSLoadElement>(11)->ChannelUtilization, 100);
  elements.Parse(Hex("0B 04 03 00 80 10"));
  EXPECT_EQ(elements.Find<TBSSLoadElement>(11)->StationCount, -1);
  EXPECT_EQ(elements.Find<TBSSLoadElement>(11)->ChannelUtilization, -1);
  EXPECT_EQ(DetailTextsOf(Hex("0B 04 03 00 80 10")), Texts{"Length is wrong, must be = 5"});
}

TEST(ERPElement, FlagsAndLines) {
  TInformationElements elements;
  elements.Parse(Hex("2A 01 03"));
  auto* erp = elements.Find<TERPElement>(42);
  EXPECT_TRUE(erp->NonERPPresent);
  EXPECT_TRUE(erp->UseProtection);
  EXPECT_FALSE(erp->BarkerPreambleMode);
  EXPECT_EQ(DetailTextsOf(Hex("2A 01 03")),
            (Texts{"ERP Information: 00000011 (0x03)", ".......1 - Non ERP Present: Yes",
                   "......1. - Use Protection: Yes", ".....0.. - Barker Preamble Mode: No", "xxxxx... - Reserved"}));
}

TEST(PowerElements, SignedValuesAndLengthChecks) {
  struct Case {
    const char* blob;
    Texts details;
  };
  const Case cases[] = {
      {"20 01 03", {"Local Power Constraint: 3 dB"}},
      {"20 02 FF 01", {"Local Power Constraint: 255 dB"}},
      {"21 02 F6 14", {"Minimum Transmit Power Capability: -10 dBm", "Maximum Transmit Power Capability: 20 dBm"}},
      {"21 01 F6", {"Length is wrong, must be = 2"}},
      {"22 01 00", {"Length is wrong, must be = 0"}},
      {"23 02 12 FE", {"Transmit Power: 18 dBm", "Link Margin: -2 dB"}},
      {"23 03 12 FE 00", {"Length is wrong, must be = 2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(DetailTextsOf(Hex(c.blob)), c.details) << c.blob;
  EXPECT_EQ(ElementLineOf(Hex("23 02 12 FE")), "TPC Report");
}

}  // namespace
}  // namespace skimlet

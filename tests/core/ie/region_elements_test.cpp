// Country, AP channel report, OBSS scan parameters, supported operating classes, neighbour report and RM
// enabled capabilities.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid007_country.h"
#include "core/radio/values.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::ElementLineOf;
using test::Hex;
using test::TreeTextOf;
using Texts = std::vector<std::string>;

bool Has(const Texts& texts, const std::string& line) {
  return std::find(texts.begin(), texts.end(), line) != texts.end();
}

// Every line of the first element lies inside that element.
void ExpectLinesInsideFirstElement(const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  elements.Parse(blob);
  ASSERT_GT(elements.Count(), 0);
  const TInformationElement* e = elements.GetItem(0);
  TIETree tree;
  elements.FillTree(tree);
  TIETreeLine element = tree.FirstChild(tree.FirstChild(kNoLine));
  std::vector<TIETreeLine> pending{element};
  while (!pending.empty()) {
    TIETreeLine l = pending.back();
    pending.pop_back();
    const TIETreeData& d = tree.Data(l);
    EXPECT_GE(d.Offset, e->Offset) << d.Text;
    EXPECT_LE(d.Offset + d.Length, e->Offset + e->Length + 2) << d.Text;
    for (TIETreeLine c = tree.FirstChild(l); c != kNoLine; c = tree.NextSibling(c)) pending.push_back(c);
  }
}

const TCountryElement* CountryOf(TInformationElements& elements, const char* blob) {
  elements.Parse(Hex(blob));
  return elements.Find<TCountryElement>(7);
}

TEST(CountryElement, CodeAndSubbandTriplet) {
  TInformationElements elements;
  const TCountryElement* country = CountryOf(elements, "07 06 55 53 20 01 0B 1E");
  ASSERT_NE(country, nullptr);
  EXPECT_EQ(country->CountryCode, "US");
  EXPECT_EQ(country->Environment, 0x20);
  EXPECT_EQ(TreeTextOf(Hex("07 06 55 53 20 01 0B 1E")),
            "Information Elements: 1 (8 bytes)\t@0+0\n"
            "  Country: US, Environment: Any\t@0+8\n"
            "    Element ID: 7 (Country)\t@0+1\n"
            "    Length: 6 octets\t@1+1\n"
            "    Country: US\t@2+2\n"
            "    Environment: Any (0x20)\t@4+1\n"
            "    Subband Triplet: First Channel Number: 1, Number of Channels: 11, Maximum Transmit Power Level: 30 "
            "dBm\t@5+3\n"
            "      First Channel Number: 1\t@5+1\n"
            "      Number of Channels: 11\t@6+1\n"
            "      Maximum Transmit Power Level: 30 dBm\t@7+1\n");
}

TEST(CountryElement, AnyCountryPadAndOperatingTriplet) {
  TInformationElements elements;
  // "XX" (either case) stands for any country: no code reaches the network.
  EXPECT_EQ(CountryOf(elements, "07 06 58 58 04 24 04 17")->CountryCode, "");
  EXPECT_EQ(CountryOf(elements, "07 06 78 58 04 24 04 17")->CountryCode, "");
  Texts details = DetailTextsOf(Hex("07 07 58 58 04 24 04 17 00"));
  ASSERT_EQ(details.size(), 7u);
  EXPECT_EQ(details[0], "Country: Any (XX)");
  EXPECT_EQ(details[1], "Environment: Any (X)");
  EXPECT_EQ(
      details[6],
      "Pad: (0x00). The Pad is used to add a single octet to the element if the length is not evenly divisible by 2.");

  EXPECT_EQ(ElementLineOf(Hex("07 06 44 45 49 C9 03 05")), "Country: DE, Environment: Indoor");
  EXPECT_EQ(DetailTextsOf(Hex("07 06 44 45 49 C9 03 05")),
            (Texts{"Country: DE", "Environment: Indoor (I)",
                   "Operating Triplet: Operating Extension Identifier: 201, Operating Class: 3, Coverage Class: 5 (Air "
                   "Propagation Time: 15 microseconds))",
                   "Operating Extension Identifier: 201", "Operating Class: 3",
                   "Coverage Class: 5 (Air Propagation Time: 15 microseconds))"}));
  // Coverage classes 0 and above 31 have no propagation time of their own.
  EXPECT_TRUE(
      Has(DetailTextsOf(Hex("07 06 44 45 4F C9 03 00")), "Coverage Class: 0 (Air Propagation Time: <1 microseconds))"));
  EXPECT_TRUE(
      Has(DetailTextsOf(Hex("07 06 44 45 4F C9 03 20")), "Coverage Class: 32 (Air Propagation Time: - microseconds))"));
}

TEST(CountryElement, MalformedBodies) {
  TInformationElements elements;
  // Too short for one triplet: the length message only, but the code is still read.
  EXPECT_EQ(DetailTextsOf(Hex("07 05 55 53 20 01 0B")), Texts{"Length is wrong, must be > 5"});
  EXPECT_EQ(CountryOf(elements, "07 05 55 53 20 01 0B")->CountryCode, "US");
  EXPECT_EQ(CountryOf(elements, "07 02 55 53")->CountryCode, "");
  // A dangling byte after a triplet shows as a pad line; two dangling bytes as two.
  for (const char* blob : {"07 07 55 53 20 01 0B 1E 7F", "07 08 55 53 20 01 0B 1E 7F 80"}) {
    Texts details = DetailTextsOf(Hex(blob));
    EXPECT_EQ(std::count_if(details.begin(), details.end(), [](auto& t) { return t.rfind("Pad: ", 0) == 0; }),
              Hex(blob)[1] - 6)
        << blob;
    ExpectLinesInsideFirstElement(Hex(blob));
  }
  // An environment byte that would not print is shown by its value (real APs send 0x04).
  EXPECT_TRUE(Has(DetailTextsOf(Hex("07 06 44 45 04 01 0D 14")), "Environment: Any (0x04)"));
  // A code byte above 0x7F is kept as readable text.
  EXPECT_EQ(CountryOf(elements, "07 06 E9 53 20 01 0D 14")->CountryCode, "\xC3\xA9S");
}

TEST(APChannelReport, Lines) {
  EXPECT_EQ(ElementLineOf(Hex("33 04 0C 01 06 0B")), "AP Channel Report: Operating Class: 12, Channel List: 1, 6, 11");
  EXPECT_EQ(TreeTextOf(Hex("33 04 0C 01 06 0B")),
            "Information Elements: 1 (6 bytes)\t@0+0\n"
            "  AP Channel Report: Operating Class: 12, Channel List: 1, 6, 11\t@0+6\n"
            "    Element ID: 51 (AP Channel Report)\t@0+1\n"
            "    Length: 4 octets\t@1+1\n"
            "    Operating Class: 12\t@2+1\n"
            "    Channel List: 1, 6, 11\t@3+3\n"
            "      Channel: 1\t@3+1\n"
            "      Channel: 6\t@4+1\n"
            "      Channel: 11\t@5+1\n");
  // Only the operating class: an empty list.
  EXPECT_EQ(DetailTextsOf(Hex("33 01 0C")), (Texts{"Operating Class: 12", "Channel List: "}));
}

TEST(OBSSScanParameters, Lines) {
  EXPECT_EQ(DetailTextsOf(Hex("4A 0E 14 00 0A 00 2C 01 C8 00 14 00 05 00 19 00")),
            (Texts{"OBSS Scan Passive Dwell: 20480 microseconds (20*TUs, TU=1024 microseconds)",
                   "OBSS Scan Active Dwell: 10240 microseconds (10*TUs, TU=1024 microseconds)",
                   "BSS Channel Width Trigger Scan Interval: 300 seconds",
                   "OBSS Scan Passive Total Per Channel: 204800 microseconds (200*TUs, TU=1024 microseconds)",
                   "OBSS Scan Active Total Per Channel: 20480 microseconds (20*TUs, TU=1024 microseconds)",
                   "BSS Width Channel Transition Delay Factor: 5", "OBSS Scan Activity Threshold: 0.25%"}));
  EXPECT_EQ(DetailTextsOf(Hex("4A 0D 14 00 0A 00 2C 01 C8 00 14 00 05 00 19")), Texts{"Length is wrong, must be = 14"});
}

TEST(SupportedOperatingClasses, Sequences) {
  struct Case {
    const char* blob;
    Texts details;
  };
  const Case cases[] = {
      {"3B 08 51 51 53 54 00 51 00 00",
       {"Current Operating Class: 81", "Alternate Operating Classes: 81, 83, 84",
        "Operating Class Duple Sequence: 81"}},
      {"3B 02 79 00", {"Current Operating Class: 121"}},
      {"3B 04 04 04 0B 0C", {"Current Operating Class: 4", "Alternate Operating Classes: 4, 11, 12"}},
      // A 130 delimiter opens the extension sequence, its 0 the duple sequence.
      {"3B 07 51 73 82 80 00 79 00",
       {"Current Operating Class: 81", "Alternate Operating Classes: 115",
        "Current Operating Class Extension Sequence: 128", "Operating Class Duple Sequence: 121"}},
      // Cut short: a lone byte of a duple is not read.
      {"3B 04 51 00 79 00", {"Current Operating Class: 81", "Operating Class Duple Sequence: 121"}},
      {"3B 03 51 00 79", {"Current Operating Class: 81"}},
      {"3B 01 51", {"Length is wrong, must be >= 2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(DetailTextsOf(Hex(c.blob)), c.details) << c.blob;
}

std::vector<uint8_t> NeighborReport(std::initializer_list<uint8_t> subelements, uint32_t info = 0x17) {
  std::vector<uint8_t> body = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  PutUInt32LE(body, info);
  body.insert(body.end(), {0x51, 0x06, 0x07});
  body.insert(body.end(), subelements);
  return ElementBuilder().Add(52, body).Blob();
}

TEST(NeighborReport, FixedFields) {
  std::vector<uint8_t> blob = NeighborReport({});
  Texts details = DetailTextsOf(blob);
  EXPECT_EQ(
      details,
      (Texts{
          "BSSID: 00-11-22-33-44-55", "BSSID Information: 00000000 00000000 00000000 00010111 (0x00000017)",
          "........ ........ ........ ......11 - AP Reachability: Reachable (0x03)",
          "........ ........ ........ .....1.. - Security: Yes", "........ ........ ........ ....0... - Key Scope: No",
          "........ ........ ......00 0001.... - Capabilities",
          "........ ........ ........ ...1.... - Spectrum Management: Yes",
          "........ ........ ........ ..0..... - QoS: No", "........ ........ ........ .0...... - APSD: No",
          "........ ........ ........ 0....... - Radio Measurement: No",
          "........ ........ .......0 ........ - Delayed Block Ack: No",
          "........ ........ ......0. ........ - Immediate Block Ack: No",
          "........ ........ .....0.. ........ - Mobility Domain: No",
          "........ ........ ....0... ........ - High Throughput: No", "xxxxxxxx xxxxxxxx xxxx.... ........ - Reserved",
          "Operating Class: 81 (0x51)", "Channel Number: 6 (0x06)", "PHY Type: " + PhyTypeName(7) + " (0x07)"}));
  EXPECT_EQ(DetailTextsOf(Hex("34 0C 00 11 22 33 44 55 17 00 00 00 51 06")), Texts{"Length is wrong, must be >= 13"});
}

TEST(NeighborReport, Subelements) {
  std::vector<uint8_t> blob = NeighborReport({0x01, 0x04, 0x0A, 0x00, 0x64, 0x00,          // TSF information
                                              0x02, 0x02, 0x44, 0x45,                      // condensed country string
                                              0x00,                                        // a lone zero byte
                                              0x07, 0x02, 0x41, 0x42,                      // unknown
                                              0x3E, 0x01, 0x03,                            // secondary channel offset
                                              0x46, 0x05, 0x73, 0x00, 0x00, 0x00, 0x00});  // RM capabilities
  Texts details = DetailTextsOf(blob);
  details.erase(details.begin(), details.begin() + 18);
  Texts expected = {"TSF Information",
                    "Subelement ID: 1 (TSF Information)",
                    "Subelement Length: 4",
                    "TSF Offset: 10240 microseconds (10*TUs, TU=1024 microseconds",
                    "Beacon Interval: 102400 microseconds (100*TUs, TU=1024 microseconds",
                    "Condensed Country String: DE",
                    "Subelement ID: 2 (Condensed Country String)",
                    "Subelement Length: 2",
                    "Condensed Country String: DE",
                    "0x00 - Reserved",
                    "Reserved",
                    "Subelement ID: 7 (Reserved)",
                    "Subelement Length: 2",
                    "Data: 41 42",
                    "Text: AB",
                    "Secondary Channel Offset: Secondary channel is below the primary channel",
                    "Subelement ID: 62 (Secondary Channel Offset)",
                    "Subelement Length: 1",
                    "Secondary Channel Offset: Secondary channel is below the primary channel (0x03)",
                    "RM Enabled Capabilities",
                    "Subelement ID: 70 (RM Enabled Capabilities)",
                    "Subelement Length: 5",
                    "RM Enabled Capabilities: 01110011 (0x73) - octet 1 (0-7 bits)"};
  ASSERT_GE(details.size(), expected.size());
  EXPECT_EQ(Texts(details.begin(), details.begin() + static_cast<long>(expected.size())), expected);
}

TEST(NeighborReport, HTSubelementsShowTheHTLines) {
  std::vector<uint8_t> operation = {0x3D, 0x16, 0x24, 0x07};
  operation.resize(24);
  std::vector<uint8_t> body = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x17, 0x00, 0x00, 0x00, 0x51, 0x06, 0x07};
  body.insert(body.end(), operation.begin(), operation.end());
  TInformationElements elements;
  elements.Parse(ElementBuilder().Add(52, body).Blob());
  TIETree tree;
  elements.FillTree(tree);
  bool found = false;
  tree.ForEach([&](TIETreeLine l) {
    if (tree.Data(l).Text != "Primary Channel: 36 (0x24)") return;
    found = true;
    EXPECT_EQ(tree.Data(l).Offset, 2 + 13 + 2);  // the subelement's first data byte
    EXPECT_EQ(tree.Data(tree.Parent(l)).Text, "HT Operation subelement");
  });
  EXPECT_TRUE(found);
  // The wrong length shows the message instead.
  Texts details = DetailTextsOf(NeighborReport({0x2D, 0x02, 0x00, 0x00}));
  EXPECT_TRUE(Has(details, "Length is wrong, must be = 26"));
}

TEST(NeighborReport, MalformedSubelements) {
  // A subelement of the wrong length shows its message at its length byte; the next one is still shown.
  std::vector<uint8_t> blob = NeighborReport({0x02, 0x03, 0x44, 0x45, 0x46, 0x07, 0x01, 0x41});
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  bool found = false;
  tree.ForEach([&](TIETreeLine l) {
    if (tree.Data(l).Text == "Length is wrong, must be = 2") {
      found = true;
      EXPECT_EQ(tree.Data(l).Offset, 2 + 13 + 1);
      EXPECT_EQ(tree.Data(l).Length, 1);
    }
  });
  EXPECT_TRUE(found);
  EXPECT_TRUE(Has(DetailTextsOf(blob), "Text: A"));

  // Subelements that run past the body: the header lines, then nothing; no line leaves the element.
  for (auto sub : {std::vector<uint8_t>{0x01, 0x09, 0x0A, 0x00, 0x64},        // data cut short
                   std::vector<uint8_t>{0x2D, 0xFF, 0x00},                    // claims 255 bytes
                   std::vector<uint8_t>{0x46, 0x05, 0x73, 0x00, 0x00, 0x00},  // RM capabilities one byte short
                   std::vector<uint8_t>{0x01, 0x04},                          // a header without room
                   std::vector<uint8_t>{0x01}}) {
    std::vector<uint8_t> body = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x17, 0x00, 0x00, 0x00, 0x51, 0x06, 0x07};
    body.insert(body.end(), sub.begin(), sub.end());
    std::vector<uint8_t> b = ElementBuilder().Add(52, body).Add(0, {0x41}).Blob();
    Texts details = DetailTextsOf(b);
    EXPECT_FALSE(Has(details, "Could not parse element. Element is corrupted."));
    EXPECT_FALSE(Has(details, "TSF Offset: 10240 microseconds (10*TUs, TU=1024 microseconds"));
    ExpectLinesInsideFirstElement(b);
  }
}

TEST(RMEnabledCapabilities, Lines) {
  Texts details = DetailTextsOf(Hex("46 05 73 00 00 00 00"));
  EXPECT_EQ(details[0], "RM Enabled Capabilities: 01110011 (0x73) - octet 1 (0-7 bits)");
  for (const char* line :
       {".......1 - Link Measurement Capability: Enabled ", "......1. - Neighbor Report Capability: Enabled ",
        ".....0.. - Parallel Measurements Capability: Disabled ",
        ".1...... - Beacon Table Measurement Capability: Enabled ",
        "...000.. - Operating Channel Max Measurement Duration: 0",
        "000..... - Nonoperating Channel Max Measurement Duration: 0", ".....000 - Measurement Pilot Capability: 0",
        "xxxx.... - Reserved"})
    EXPECT_TRUE(Has(details, line)) << line;
  // Five octet lines; octet 3 shows two single bits and two 3-bit fields.
  EXPECT_EQ(std::count_if(details.begin(), details.end(),
                          [](auto& t) { return t.rfind("RM Enabled Capabilities:", 0) == 0; }),
            5);
  EXPECT_TRUE(
      Has(DetailTextsOf(Hex("46 05 00 00 1C 00 00")), "...111.. - Operating Channel Max Measurement Duration: 7"));
  EXPECT_EQ(DetailTextsOf(Hex("46 04 73 00 00 00")), Texts{"Length is wrong, must be = 5"});
}

}  // namespace
}  // namespace skimlet

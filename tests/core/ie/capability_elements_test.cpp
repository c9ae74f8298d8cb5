// Extended capabilities, the HE parameter set elements, interworking and advertisement protocol.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/vendor.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::ElementLineOf;
using test::Hex;
using Texts = std::vector<std::string>;

bool Has(const Texts& texts, const std::string& line) {
  return std::find(texts.begin(), texts.end(), line) != texts.end();
}

// The detail lines of the first element after its extension ID line.
Texts ExtensionDetailsOf(const std::vector<uint8_t>& blob) {
  Texts texts = DetailTextsOf(blob);
  if (!texts.empty()) texts.erase(texts.begin());
  return texts;
}

TEST(ExtendedCapabilities, OctetsAndBits) {
  Texts details = DetailTextsOf(Hex("7F 04 04 00 00 80"));
  ASSERT_EQ(details.size(), 4u * 9u);
  EXPECT_EQ(details[0], "Extended Capabilities: 00000100 (0x04) - octet 1 (0-7 bits)");
  EXPECT_EQ(Texts(details.begin() + 1, details.begin() + 9),
            (Texts{".......0 - 20/40 BSS Coexistence Management Support: Not Supported ", "......x. - Reserved",
                   ".....1.. - Extended Channel Switching: Supported ", "....x... - Reserved",
                   "...0.... - PSMP Capability: Not Supported ", "..x..... - Reserved",
                   ".0...... - S-PSMP Support: Not Supported ", "0....... - Event: Not Supported "}));
  EXPECT_EQ(details[27], "Extended Capabilities: 10000000 (0x80) - octet 4 (24-31 bits)");
  EXPECT_EQ(details[35], "1....... - Interworking: Supported ");

  std::vector<uint8_t> bits(8, 0);
  bits[7] = 0x20;  // bit 61
  bits[6] = 0x08;  // bit 51
  Texts named = DetailTextsOf(ElementBuilder().Add(127, bits).Blob());
  EXPECT_TRUE(Has(named, "..1..... - TDLS Wider Bandwidth: Supported "));
  EXPECT_TRUE(Has(named, "....1... - Robust AV Streaming: Supported "));
}

TEST(ExtendedCapabilities, ServiceIntervalGranularityFollowsSPSMP) {
  Texts with = DetailTextsOf(Hex("7F 06 40 00 00 00 00 02"));
  Texts without = DetailTextsOf(Hex("7F 06 00 00 00 00 00 02"));
  EXPECT_TRUE(Has(with, "....001. - Service Interval Granularity: 10 ms (01)"));
  EXPECT_TRUE(Has(without, "....xxx. - Service Interval Granularity: Reserved "));
  // Octet 6 shows bit 40, the 3-bit field and bits 44 to 47.
  auto octet6 = std::find(with.begin(), with.end(), "Extended Capabilities: 00000010 (0x02) - octet 6 (40-47 bits)");
  ASSERT_NE(octet6, with.end());
  EXPECT_EQ(with.end() - octet6, 1 + 6);
}

TEST(ExtendedCapabilities, MaxMSDUsSpansTwoOctets) {
  // Bits 63 (low) and 64 (high): each octet shows the whole value with the diagram of its own bit.
  Texts both = DetailTextsOf(Hex("7F 09 00 00 00 00 00 00 00 80 01"));
  EXPECT_TRUE(Has(both, "1....... - Max Number Of MSDUs In A-MSDU: 8 (03)"));
  EXPECT_TRUE(Has(both, ".......1 - Max Number Of MSDUs In A-MSDU: 8 (03)"));
  // Without octet 9 bit 64 counts as clear.
  EXPECT_TRUE(
      Has(DetailTextsOf(Hex("7F 08 00 00 00 00 00 00 00 80")), "1....... - Max Number Of MSDUs In A-MSDU: 32 (01)"));
  EXPECT_TRUE(
      Has(DetailTextsOf(Hex("7F 09 00 00 00 00 00 00 00 00 01")), ".......1 - Max Number Of MSDUs In A-MSDU: 16 (02)"));
  // Twelve octets: bits 76 to 95 have no names.
  Texts twelve = DetailTextsOf(ElementBuilder().Add(127, std::vector<uint8_t>(12, 0xFF)).Blob());
  EXPECT_EQ(std::count(twelve.begin(), twelve.end(), "Reserved"), 0);
  auto last = std::find(twelve.begin(), twelve.end(), "Extended Capabilities: 11111111 (0xFF) - octet 12 (88-95 bits)");
  ASSERT_NE(last, twelve.end());
  EXPECT_EQ(*(last + 1), ".......x - Reserved");
}

TEST(HEParameterSets, UORA) {
  EXPECT_EQ(ElementLineOf(Hex("FF 02 25 1B")), "Element ID Extension: UORA Parameter Set (37)");
  EXPECT_EQ(ExtensionDetailsOf(Hex("FF 02 25 1B")),
            (Texts{"UL OFDMA-based Random Access Parameter SET: 0x1B", ".....011 - EOCWmin: 3 (0x03)",
                   "..011... - EOCWmax: 3 (0x03)", "xx...... - Reserved"}));
}

TEST(HEParameterSets, MUEDCA) {
  std::vector<uint8_t> blob = Hex("FF 0E 26 10 52 A4 08 22 A4 08 42 43 08 62 32 08");
  Texts details = ExtensionDetailsOf(blob);
  ASSERT_EQ(details.size(), 6u + 4u * 8u);
  EXPECT_EQ(
      Texts(details.begin(), details.begin() + 6),
      (Texts{"QoS Information (AP): 0x10", "....0000 - EDCA Parameter Set Update Count: 0 (0x00)",
             "...1.... - Q-Ack: STAs MIB attribute dot11QAckOptionImplemented is true (0x01)",
             "..0..... - Queue Request: AP cannot process a nonzero Queue Size subfield in the QoS Control field in "
             "QoS data frames (0x00)",
             ".0...... - TXOP Request: AP cannot process a nonzero TXOP Duration Requested subfield in the QoS "
             "Control field in QoS data frames (0x00)",
             "0....... - More Data Ack: No (0x00)"}));
  EXPECT_EQ(Texts(details.begin() + 6, details.begin() + 14),
            (Texts{"MUAC_BE Parameter Record: 0x08A452", "AIC/AIFSN: 0x52", "....0010 - AIFSN: 2 (0x02)",
                   "...1.... - Admission Control Mandatory: Yes (0x01)",
                   ".10..... - Access Category Index (ACI): Video (0x02)", "x....... - Reserved",
                   "ECWmin/ECWmax: 164 (0xA4)", "MU EDCA Timer: 8 (0x08)"}));
  EXPECT_EQ(details[30], "MUAC_VO Parameter Record: 0x083262");
  // A body without the last record keeps the lines it could show and ends with the corrupted line.
  Texts cut = ExtensionDetailsOf(Hex("FF 0B 26 10 52 A4 08 22 A4 08 42 43 08"));
  EXPECT_TRUE(Has(cut, "MUAC_VI Parameter Record: 0x084342"));
  EXPECT_EQ(cut.back(), "Could not parse element. Element is corrupted.");
}

TEST(HEParameterSets, SpatialReuseFollowsControlFlags) {
  struct Case {
    uint8_t control;
    Texts after;  // the lines after the control byte and its six sub-lines
  };
  const Case cases[] = {
      {0x00, {}},
      {0x04, {"Non-SRG OBSS PD Max Offset: 10 (0x0A)"}},
      {0x08,
       {"SRG OBSS PD Min Offset: 10 (0x0A)", "SRG OBSS PD Max Offset: 11 (0x0B)",
        "SRG BSS Color Bitmap: 0102030405060708", "SRG Partial BSSID Bitmap: 1112131415161718"}},
      {0x0C,
       {"Non-SRG OBSS PD Max Offset: 10 (0x0A)", "SRG OBSS PD Min Offset: 11 (0x0B)",
        "SRG OBSS PD Max Offset: 1 (0x01)", "SRG BSS Color Bitmap: 0203040506070811",
        "SRG Partial BSSID Bitmap: 1213141516171819"}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> body = {c.control, 0x0A, 0x0B, 1,    2,    3,    4,    5,    6,    7,
                                 8,         0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19};
    body.resize(c.control == 0x00 ? 1 : c.control == 0x04 ? 2 : c.control == 0x08 ? 19 : 20);
    Texts details = ExtensionDetailsOf(ElementBuilder().AddExtension(39, body).Blob());
    ASSERT_GE(details.size(), 7u);
    EXPECT_EQ(Texts(details.begin() + 7, details.end()), c.after) << int(c.control);
  }
  Texts flags = ExtensionDetailsOf(Hex("FF 02 27 05"));
  EXPECT_EQ(Texts(flags.begin(), flags.begin() + 3), (Texts{"SR Control: 0x05", ".......1 - SRP Disallowed: Yes (0x01)",
                                                            "......0. - NON-SRG OBSS PD SR Disallowed: No (0x00)"}));
  // Announced but absent: the corrupted line after what could be shown.
  EXPECT_EQ(flags.back(), "Could not parse element. Element is corrupted.");
}

TEST(Interworking, AccessNetworkOptions) {
  EXPECT_EQ(DetailTextsOf(Hex("6B 01 13")),
            (Texts{"Access Network Options: 00010011 (0x13)", "....0011 - Access Network Type: Free public network (3)",
                   "...1.... - Internet: Yes  (1)", "..0..... - ASRA (Additional Step Required for Access): No  (0)",
                   ".0...... - ESR (Emergency Services Reachable): No  (0)",
                   "0....... - UESA (Unauthenticated Emergency Service Accessible): No  (0)"}));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("6B 01 00")), "...0.... - Internet: Unspecified  (0)"));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("6B 01 0E")), "....1110 - Access Network Type: Test or experimental (14)"));
}

TEST(Interworking, VenueAndHESSID) {
  Texts venue = DetailTextsOf(Hex("6B 03 02 02 07"));
  EXPECT_EQ(Texts(venue.begin() + 6, venue.end()),
            (Texts{"Venue Info: Business/Professional Office", "Venue Group: Business (2)",
                   "Venue Type:  Professional Office (7)"}));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("6B 03 02 02 05")), "Venue Info: Business/Reserved"));
  EXPECT_TRUE(Has(DetailTextsOf(Hex("6B 03 02 0C 00")), "Venue Info: Unknown/Unknown"));
  Texts both = DetailTextsOf(Hex("6B 09 01 0B 06 00 11 22 33 44 55"));
  EXPECT_TRUE(Has(both, "Venue Info: Outdoor/Kiosk"));
  EXPECT_EQ(both.back(), "HESSID: 00-11-22-33-44-55");
  EXPECT_EQ(DetailTextsOf(Hex("6B 07 01 00 11 22 33 44 55")).back(), "HESSID: 00-11-22-33-44-55");
  for (const char* blob : {"6B 02 00 00", "6B 04 00 00 00 00", "6B 08 00 00 00 00 00 00 00 00"})
    EXPECT_EQ(DetailTextsOf(Hex(blob)), Texts{"Invalid Interworking element length"}) << blob;
}

TEST(AdvertisementProtocol, Tuples) {
  EXPECT_EQ(DetailTextsOf(Hex("6C 02 7F 00")),
            (Texts{"Advertisement Protocol Tuple #1", "Query Response Info: 01111111 (0x7F)",
                   ".1111111 - Query Response Length Limit: 127 (0x7F)",
                   "0....... - PAME-BI (Preassociation Message Exchange BSSID Independent): No (0)",
                   "Advertisement Protocol ID: Access network query protocol (ANQP) (0)"}));
  Texts two = DetailTextsOf(Hex("6C 05 00 00 00 04 FF"));  // a last single byte is no tuple
  EXPECT_TRUE(Has(two, "Advertisement Protocol Tuple #2"));
  EXPECT_TRUE(Has(two, "Advertisement Protocol ID: Registered location query protocol (RLQP) (4)"));
  EXPECT_FALSE(Has(two, "Advertisement Protocol Tuple #3"));

  Texts vendor = DetailTextsOf(Hex("6C 08 00 DD 05 50 6F 9A 01 02"));
  EXPECT_EQ(
      Texts(vendor.begin() + 4, vendor.end()),
      (Texts{"Advertisement Protocol ID: Vendor Specific (221)", "Advertisement Protocol Vendor Specific length: 5",
             "Vendor OUI: 50-6F-9A (Wi-Fi Alliance)", "Data: 01 02", "Text: .."}));
  EXPECT_EQ(DetailTextsOf(Hex("6C 01 00")), Texts{"Length is wrong, must be >= 2"});

  // An OUI outside the short-name table is named by the vendor database, else "Unknown".
  const char* other = "6C 07 00 DD 04 12 34 56 07";
  EXPECT_TRUE(Has(DetailTextsOf(Hex(other)), "Vendor OUI: 12-34-56 (Unknown)"));
  SetOUIVendorLookup([](uint32_t oui) { return oui == 0x123456 ? std::string("Example Corp") : std::string(); });
  Texts named = DetailTextsOf(Hex(other));
  SetOUIVendorLookup({});
  EXPECT_TRUE(Has(named, "Vendor OUI: 12-34-56 (Example Corp)"));
}

TEST(AdvertisementProtocol, VendorPartCutShort) {
  struct Case {
    const char* blob;
    int32_t errorOffset;  // blob position of the error line
  };
  const Case cases[] = {
      {"6C 05 00 DD 03 50 6F", 4},     // length below 4
      {"6C 06 00 DD 06 50 6F 9A", 4},  // longer than the rest of the element
      {"6C 04 00 00 00 DD", 5},        // no length byte at all: the line stands at the protocol ID
  };
  for (const Case& c : cases) {
    TInformationElements elements;
    elements.Parse(Hex(c.blob));
    TIETree tree;
    elements.FillTree(tree);
    TIETreeLine element = tree.FirstChild(tree.FirstChild(kNoLine));
    TIETreeLine last = tree.Child(element, tree.ChildCount(element) - 1);
    EXPECT_EQ(tree.Data(last).Text, "Vendor specific info length error") << c.blob;
    EXPECT_EQ(tree.Data(last).Offset, c.errorOffset) << c.blob;
    EXPECT_EQ(tree.Data(last).Length, 1) << c.blob;
  }
}

}  // namespace
}  // namespace skimlet

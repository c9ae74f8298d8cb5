// RSN, the vendor element base, WPA and WMM: suites, capabilities, vendor names and malformed bodies.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <utility>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/vnd_0050f2_01_wpa.h"
#include "core/ie/elements/vnd_0050f2_02_wmm.h"
#include "core/radio/security.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::ElementLineOf;
using test::Hex;
using test::TreeTextOf;
using Texts = std::vector<std::string>;

// Installs an OUI lookup for one test and removes it afterwards.
struct ScopedOUILookup {
  explicit ScopedOUILookup(OUIVendorLookup lookup) { SetOUIVendorLookup(std::move(lookup)); }
  ~ScopedOUILookup() { SetOUIVendorLookup({}); }
};

std::string FakeOrganisation(uint32_t oui) {
  switch (oui) {
    case 0x000FAC: return "IEEE";
    case 0x0050F2: return "Microsoft Corp.";
    case 0x123456: return "Acme Radio";
    default: return "";
  }
}

TEST(SecurityNames, CipherAndAKMSuites) {
  EXPECT_EQ(CipherSuiteName(0), "");
  EXPECT_EQ(CipherSuiteName(2), "TKIP");
  EXPECT_EQ(CipherSuiteName(4), "CCMP");
  EXPECT_EQ(CipherSuiteName(13), "BIP-CMAC-256");
  EXPECT_EQ(CipherSuiteName(3), "Unknown");
  EXPECT_EQ(CipherSuiteName(7), "Unknown");

  EXPECT_EQ(AKMSuiteName(2, 2), "WPA2-PSK");
  EXPECT_EQ(AKMSuiteName(2, 1), "WPA-PSK");
  EXPECT_EQ(AKMSuiteName(0, 2), "WPA2-");
  EXPECT_EQ(AKMSuiteName(4, 2), "WPA2-FT-PSK");
  // 802.1X with SHA-256 is not a fast-transition suite; 13 is the fast transition one of SHA-384.
  EXPECT_EQ(AKMSuiteName(5, 2), "WPA2-EAP-SHA256");
  EXPECT_EQ(AKMSuiteName(12, 2), "WPA2-HMAC-SHA384");
  EXPECT_EQ(AKMSuiteName(13, 2), "WPA2-FT-EAP-SHA384");
  // The WPA3 suites: SAE and its variants, and Enhanced Open.
  EXPECT_EQ(AKMSuiteName(8, 2), "WPA2-SAE");
  EXPECT_EQ(AKMSuiteName(9, 2), "WPA2-FT-SAE");
  EXPECT_EQ(AKMSuiteName(18, 2), "WPA2-OWE");
  EXPECT_EQ(AKMSuiteName(24, 2), "WPA2-SAE-EXT-KEY");
  EXPECT_EQ(AKMSuiteName(25, 2), "WPA2-FT-SAE-EXT-KEY");
  EXPECT_EQ(AKMSuiteName(10, 2), "WPA2-Unknown");
  EXPECT_EQ(AKMSuiteName(255, 1), "WPA-Unknown");
}

const char* const kRSNPSK = "30 14 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 0C 00";

TEST(RSNElement, WPA2PersonalWithCCMP) {
  ScopedOUILookup lookup(FakeOrganisation);
  TInformationElements elements;
  elements.Parse(Hex(kRSNPSK));
  auto* rsn = elements.Find<TRSNElement>(48);
  ASSERT_NE(rsn, nullptr);
  EXPECT_EQ(rsn->Version, 1);
  EXPECT_EQ(rsn->GroupCipher, 4);
  EXPECT_EQ(rsn->PairwiseCiphers, TByteDynamicArray{4});
  EXPECT_EQ(rsn->AKMSuites, TByteDynamicArray{2});
  EXPECT_EQ(TreeTextOf(Hex(kRSNPSK)),
            "Information Elements: 1 (22 bytes)\t@0+0\n"
            "  RSN Information\t@0+22\n"
            "    Element ID: 48 (RSN Information)\t@0+1\n"
            "    Length: 20 octets\t@1+1\n"
            "    Version: 1\t@2+2\n"
            "    Group Data Cipher Suite: 00-0F-AC (IEEE),  CCMP (4)\t@4+4\n"
            "      Group Data Cipher Suite OUI: 00-0F-AC (IEEE)\t@4+3\n"
            "      Group Data Cipher Suite Type: CCMP (4)\t@7+1\n"
            "    Pairwise Cipher Suite Count: 1\t@8+2\n"
            "    Pairwise Cipher Suite List\t@10+4\n"
            "      Pairwise Cipher Suite: 00-0F-AC (IEEE),  CCMP (4)\t@10+4\n"
            "        Pairwise Cipher Suite OUI: 00-0F-AC (IEEE)\t@10+3\n"
            "        Pairwise Cipher Suite Type: CCMP (4)\t@13+1\n"
            "    Auth Key Management (AKM) Suite Count: 1\t@14+2\n"
            "    Authenticated Key Management (AKM) Suite List\t@16+4\n"
            "      Authenticated Key Management (AKM) Suite: 00-0F-AC (IEEE),  WPA2-PSK (2)\t@16+4\n"
            "        Authenticated Key Management (AKM) Suite OUI: 00-0F-AC (IEEE)\t@16+3\n"
            "        Authenticated Key Management (AKM) Suite Type: WPA2-PSK (2)\t@19+1\n"
            "    RSN Capabilities: 00000000 00001100 (0x000C)\t@20+2\n"
            "      ........ .......0 - Preauthentication: No\t@20+2\n"
            "      ........ ......0. - No Pairwise: No\t@20+2\n"
            "      ........ ....11.. - PTKSA Replay Counter: 16 replay counters per PTKSA/GTKSA/STKSA (0x03) \t@20+2\n"
            "      ........ ..00.... - GTKSA Replay Counter: 1 replay counter per PTKSA/GTKSA/STKSA (0x00) \t@20+2\n"
            "      ........ .0...... - Management Frame Protection Required (MFPR): No\t@20+2\n"
            "      ........ 0....... - Management Frame Protection Capable (MFPC): No\t@20+2\n"
            "      .......0 ........ - Joint Multi-Band RSNA: No\t@20+2\n"
            "      ......0. ........ - PeerKey Enabled: No\t@20+2\n"
            "      .....0.. ........ - SPP A-MSDU Capable: No\t@20+2\n"
            "      ....0... ........ - SPP A-MSDU Required: No\t@20+2\n"
            "      ...0.... ........ - PBAC: No\t@20+2\n"
            "      ..0..... ........ - Extended Key ID for Individually Addressed Frames : No\t@20+2\n"
            "      xx...... ........ - Reserved\t@20+2\n");
}

TEST(RSNElement, WPA3AndMixedSuites) {
  // Group CCMP, pairwise CCMP and GCMP-256, AKMs PSK, SAE and SAE-EXT-KEY, MFPC and MFPR set.
  std::vector<uint8_t> blob =
      Hex("30 20 01 00 00 0F AC 04 02 00 00 0F AC 04 00 0F AC 09 03 00 00 0F AC 02 00 0F AC 08 00 0F AC 18 C0 00");
  TInformationElements elements;
  elements.Parse(blob);
  auto* rsn = elements.Find<TRSNElement>(48);
  ASSERT_NE(rsn, nullptr);
  EXPECT_EQ(rsn->PairwiseCiphers, (TByteDynamicArray{4, 9}));
  EXPECT_EQ(rsn->AKMSuites, (TByteDynamicArray{2, 8, 24}));
  Texts details = DetailTextsOf(blob);
  EXPECT_EQ(details[14], "Authenticated Key Management (AKM) Suite: 00-0F-AC (),  WPA2-PSK (2)");
  EXPECT_EQ(details[17], "Authenticated Key Management (AKM) Suite: 00-0F-AC (),  WPA2-SAE (8)");
  EXPECT_EQ(details[20], "Authenticated Key Management (AKM) Suite: 00-0F-AC (),  WPA2-SAE-EXT-KEY (24)");
  EXPECT_EQ(details[23], "RSN Capabilities: 00000000 11000000 (0x00C0)");
  EXPECT_EQ(details[29], "........ 1....... - Management Frame Protection Capable (MFPC): Yes");
}

TEST(RSNElement, CapabilitiesAndTrailingFields) {
  // Capabilities 0: one line. A PMKID count and list and a group management cipher after the capabilities
  // change nothing.
  Texts plain = DetailTextsOf(Hex("30 14 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 00 00"));
  EXPECT_EQ(plain.back(), "RSN Capabilities: Not Present");
  Texts withPMKID =
      DetailTextsOf(Hex("30 1A 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 00 00 "
                        "00 00 00 0F AC 06"));
  EXPECT_EQ(withPMKID, plain);
}

// The capabilities are found by the list counts alone, as the tree shows them; a field cut short is absent.
TEST(RSNElement, Capabilities) {
  const std::pair<const char*, std::optional<uint16_t>> cases[] = {
      {"30 14 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 08 C0 00", 0x00C0},
      {"30 13 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 0C", std::nullopt},
      {"30 10 01 00 00 11 22 04 01 00 00 0F AC 04 00 00 80 00", 0x0080},  // foreign group suite
      {"30 0C 01 00 00 0F AC 04 FF FF 00 0F AC 04", std::nullopt},
      {"30 08 01 00 00 0F AC 04 80 00", std::nullopt},  // two bytes where the pairwise count belongs
  };
  for (const auto& [blob, caps] : cases) {
    TInformationElements elements;
    elements.Parse(Hex(blob));
    const auto* rsn = elements.Find<TRSNElement>(48);
    ASSERT_NE(rsn, nullptr) << blob;
    EXPECT_EQ(rsn->Capabilities, caps) << blob;
  }
}

TEST(RSNElement, TruncatedAndOddBodies) {
  struct Case {
    const char* desc;
    const char* blob;
    uint8_t group;
    TByteDynamicArray pairwise, akm;
    Texts details;  // without the OUI and type lines of each suite
  };
  const Case cases[] = {
      {"one byte", "30 01 01", 0, {}, {}, {"Length is wrong, must be >= 2"}},
      {"group suite cut short", "30 05 01 00 00 0F AC", 0, {}, {}, {"Version: 1"}},
      {"a pairwise suite missing",
       "30 0C 01 00 00 0F AC 04 02 00 00 0F AC 04",
       4,
       {4},
       {},
       {"Version: 1", "Group Data Cipher Suite: 00-0F-AC (),  CCMP (4)", "Pairwise Cipher Suite Count: 2",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-0F-AC (),  CCMP (4)"}},
      {"a count far beyond the body",
       "30 0C 01 00 00 0F AC 04 FF FF 00 0F AC 04",
       4,
       {4},
       {},
       {"Version: 1", "Group Data Cipher Suite: 00-0F-AC (),  CCMP (4)", "Pairwise Cipher Suite Count: 65535",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-0F-AC (),  CCMP (4)"}},
      {"no AKM count",
       "30 0D 01 00 00 0F AC 04 01 00 00 0F AC 04 01",
       4,
       {4},
       {},
       {"Version: 1", "Group Data Cipher Suite: 00-0F-AC (),  CCMP (4)", "Pairwise Cipher Suite Count: 1",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-0F-AC (),  CCMP (4)"}},
      {"capabilities cut to one byte",
       "30 13 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 0C",
       4,
       {4},
       {2},
       {"Version: 1", "Group Data Cipher Suite: 00-0F-AC (),  CCMP (4)", "Pairwise Cipher Suite Count: 1",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-0F-AC (),  CCMP (4)",
        "Auth Key Management (AKM) Suite Count: 1", "Authenticated Key Management (AKM) Suite List",
        "Authenticated Key Management (AKM) Suite: 00-0F-AC (),  WPA2-PSK (2)"}},
      // A Microsoft group suite counts; a Microsoft pairwise suite is shown but not taken; a Microsoft AKM is.
      {"vendor suites",
       "30 14 01 00 00 50 F2 02 01 00 00 50 F2 02 01 00 00 50 F2 02 00 00",
       2,
       {},
       {2},
       {"Version: 1", "Group Data Cipher Suite: 00-50-F2 (),  TKIP (2)", "Pairwise Cipher Suite Count: 1",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-50-F2 (),  TKIP (2)",
        "Auth Key Management (AKM) Suite Count: 1", "Authenticated Key Management (AKM) Suite List",
        "Authenticated Key Management (AKM) Suite: 00-50-F2 (),  WPA2-PSK (2)", "RSN Capabilities: Not Present"}},
      // A group suite of another OUI ends decoding, but every field is still shown.
      {"foreign group suite",
       "30 0E 01 00 00 11 22 04 01 00 00 0F AC 04 00 00",
       0,
       {},
       {},
       {"Version: 1", "Group Data Cipher Suite: 00-11-22 (),  CCMP (4)", "Pairwise Cipher Suite Count: 1",
        "Pairwise Cipher Suite List", "Pairwise Cipher Suite: 00-0F-AC (),  CCMP (4)",
        "Auth Key Management (AKM) Suite Count: 0", "Authenticated Key Management (AKM) Suite List"}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> blob = Hex(c.blob);
    TInformationElements elements;
    elements.Parse(blob);
    auto* rsn = elements.Find<TRSNElement>(48);
    ASSERT_NE(rsn, nullptr) << c.desc;
    EXPECT_EQ(rsn->GroupCipher, c.group) << c.desc;
    EXPECT_EQ(rsn->PairwiseCiphers, c.pairwise) << c.desc;
    EXPECT_EQ(rsn->AKMSuites, c.akm) << c.desc;
    Texts details;
    for (const std::string& t : DetailTextsOf(blob))
      if (t.find("Suite OUI: ") == std::string::npos && t.find("Suite Type: ") == std::string::npos)
        details.push_back(t);
    EXPECT_EQ(details, c.details) << c.desc;
  }
  // A list line never reaches past the body, however large its count.
  EXPECT_NE(
      TreeTextOf(Hex("30 0C 01 00 00 0F AC 04 FF FF 00 0F AC 04")).find("    Pairwise Cipher Suite List\t@10+4\n"),
      std::string::npos);
}

TEST(RSNElement, FailingVendorLookupMarksOnlyThatElementCorrupted) {
  ScopedOUILookup lookup([](uint32_t) -> std::string { throw std::runtime_error("database missing"); });
  std::vector<uint8_t> blob = Hex(std::string(kRSNPSK).append(" 03 01 06").c_str());
  TInformationElements elements;
  elements.Parse(blob);
  ASSERT_NE(elements.Find<TRSNElement>(48), nullptr);  // decoding needs no lookup
  EXPECT_EQ(TreeTextOf(blob),
            "Information Elements: 2 (25 bytes)\t@0+0\n"
            "  RSN Information\t@0+22\n"
            "    Element ID: 48 (RSN Information)\t@0+1\n"
            "    Length: 20 octets\t@1+1\n"
            "    Version: 1\t@2+2\n"
            "    Could not parse element. Element is corrupted.\t@0+20\n"
            "  DSSS Parameter Set: Current channel: 6\t@22+3\n"
            "    Element ID: 3 (DSSS Parameter Set)\t@22+1\n"
            "    Length: 1 octet\t@23+1\n"
            "    Current channel: 6\t@24+1\n");
}

TEST(VendorElement, NamesAndHeaderLines) {
  // A Microsoft subtype without a class of its own.
  std::vector<uint8_t> blob = Hex("DD 07 00 50 F2 09 41 20 42");
  EXPECT_EQ(ElementLineOf(blob), "Vendor Specific: Microsoft: 9");
  EXPECT_EQ(DetailTextsOf(blob), (Texts{"Organization Identifier: 00-50-F2 (Unknown)", "Subtype: 9 (Unknown)",
                                        "Data: 41 20 42", "Text: A.B"}));
  // Only OUI and subtype: empty data.
  EXPECT_EQ(DetailTextsOf(Hex("DD 04 00 50 F2 09")),
            (Texts{"Organization Identifier: 00-50-F2 (Unknown)", "Subtype: 9 (Unknown)", "Data: ", "Text: "}));
  EXPECT_EQ(ElementLineOf(Hex("DD 05 00 0C 43 07 00")), "Vendor Specific: Ralink: Information element");
  EXPECT_EQ(ElementLineOf(Hex("DD 05 12 34 56 11 00")), "Vendor Specific: Unknown: 17");

  // With the vendor database: unknown OUIs are named by it, and the header shows every organisation.
  ScopedOUILookup lookup(FakeOrganisation);
  blob = Hex("DD 05 12 34 56 11 FF");
  EXPECT_EQ(ElementLineOf(blob), "Vendor Specific: Acme Radio: 17");
  EXPECT_EQ(DetailTextsOf(blob)[0], "Organization Identifier: 12-34-56 (Acme Radio)");
  EXPECT_EQ(ElementLineOf(Hex("DD 05 00 50 F2 09 00")), "Vendor Specific: Microsoft: 9");  // the short name wins
  EXPECT_EQ(DetailTextsOf(Hex("DD 05 00 50 F2 09 00"))[0], "Organization Identifier: 00-50-F2 (Microsoft Corp.)");
}

TEST(VendorElement, FailingLookup) {
  ScopedOUILookup lookup([](uint32_t) -> std::string { throw std::runtime_error("database missing"); });
  // A known OUI needs the lookup only for its header line; an unknown one already for its element line.
  EXPECT_EQ(TreeTextOf(Hex("DD 05 00 50 F2 09 00 DD 05 12 34 56 11 00")),
            "Information Elements: 2 (14 bytes)\t@0+0\n"
            "  Vendor Specific: Microsoft: 9\t@0+7\n"
            "    Element ID: 221 (Vendor Specific)\t@0+1\n"
            "    Length: 5 octets\t@1+1\n"
            "    Could not parse element. Element is corrupted.\t@0+5\n"
            "  Could not parse element. Element is corrupted.\t@7+5\n");
}

TEST(VendorElement, TooShortForOUIAndSubtype) {
  TInformationElements elements;
  elements.Parse(Hex("DD 03 00 50 F2"));
  ASSERT_EQ(elements.Count(), 1);
  EXPECT_EQ(elements.GetItem(0)->As<TVendorSpecificInformationElement>(), nullptr);
  EXPECT_EQ(DetailTextsOf(Hex("DD 03 00 50 F2")), (Texts{"Data: 00 50 F2", "Text: .P."}));
}

const char* const kWPAPSK = "DD 16 00 50 F2 01 01 00 00 50 F2 02 01 00 00 50 F2 02 01 00 00 50 F2 02";

TEST(WPAElement, PersonalWithTKIP) {
  TInformationElements elements;
  elements.Parse(Hex(kWPAPSK));
  auto* wpa = elements.FindVendor<TWPAElement>(0x0050F2, 1);
  ASSERT_NE(wpa, nullptr);
  EXPECT_EQ(wpa->Version, 1);
  EXPECT_EQ(wpa->GroupCipher, 2);
  EXPECT_EQ(wpa->PairwiseCiphers, TByteDynamicArray{2});
  EXPECT_EQ(wpa->AKMSuites, TByteDynamicArray{2});
  EXPECT_EQ(ElementLineOf(Hex(kWPAPSK)), "Vendor Specific: Microsoft: WPA");
  EXPECT_EQ(TreeTextOf(Hex(kWPAPSK)).substr(TreeTextOf(Hex(kWPAPSK)).find("    Version")),
            "    Version: 1\t@6+2\n"
            "    Group Data Cipher Suite: 00-50-F2 (),  TKIP (2)\t@8+4\n"
            "      Group Data Cipher Suite OUI: 00-50-F2 ()\t@8+3\n"
            "      Group Data Cipher Suite Type: TKIP (2)\t@11+1\n"
            "    Pairwise Cipher Suite Count: 1\t@12+2\n"
            "    Pairwise Cipher Suite List\t@14+4\n"
            "      Pairwise Cipher Suite: 00-50-F2 (),  TKIP (2)\t@14+4\n"
            "        Pairwise Cipher Suite OUI: 00-50-F2 ()\t@14+3\n"
            "        Pairwise Cipher Suite Type: TKIP (2)\t@17+1\n"
            "    Auth Key Management (AKM) Suite Count: 1\t@18+2\n"
            "    Authenticated Key Management (AKM) Suite List\t@20+4\n"
            "      Authenticated Key Management (AKM) Suite: 00-50-F2 (),  WPA-PSK (2)\t@20+4\n"
            "        Authenticated Key Management (AKM) Suite OUI: 00-50-F2 ()\t@20+3\n"
            "        Authenticated Key Management (AKM) Suite Type: WPA-PSK (2)\t@23+1\n");
}

TEST(WPAElement, ForeignSuitesAndCapabilities) {
  // A group suite of 00-0F-AC: nothing is decoded, everything that fits is shown.
  std::vector<uint8_t> blob = Hex("DD 16 00 50 F2 01 01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02");
  TInformationElements elements;
  elements.Parse(blob);
  auto* wpa = elements.FindVendor<TWPAElement>(0x0050F2, 1);
  ASSERT_NE(wpa, nullptr);
  EXPECT_EQ(wpa->GroupCipher, 0);
  EXPECT_TRUE(wpa->PairwiseCiphers.empty());
  EXPECT_TRUE(wpa->AKMSuites.empty());
  EXPECT_EQ(DetailTextsOf(blob).back(), "Authenticated Key Management (AKM) Suite Type: WPA-PSK (2)");

  // Capabilities 0x2001: preauthentication and extended key ID.
  Texts details = DetailTextsOf(Hex(std::string(kWPAPSK).replace(3, 2, "18").append(" 01 20").c_str()));
  Texts caps(details.end() - 14, details.end());
  EXPECT_EQ(caps, (Texts{
                      "WPA Capabilities: 00100000 00000001 (0x2001)",
                      "........ .......1 - Support preauthentication: Yes",
                      "........ ......0. - Support WEP default key 0 simultaneously with a pairwise key: No",
                      "........ ....00.. - PTKSA Replay Counter: 1 replay counter per PTKSA/GTKSA/STKSA (0x00) ",
                      "........ ..00.... - GTKSA Replay Counter: 1 replay counter per PTKSA/GTKSA/STKSA (0x00) ",
                      "........ .0...... - Management Frame Protection Required (MFPR): No",
                      "........ 0....... - Management  Frame  Protection  Capable  (MFPC): No",
                      ".......x ........ - Reserved",
                      "......0. ........ - PeerKey Enabled: No",
                      ".....0.. ........ - SPP  A-MSDU  Capable: No",
                      "....0... ........ - SPP  A-MSDU  Required: No",
                      "...0.... ........ - PBAC (protected block ack agreement capable): No",
                      "..1..... ........ - Extended Key ID for Individually Addressed Frames: Support Key ID values "
                      "in the range 0 to 1 for a PTKSA and STKSA when the cipher suite is CCMP",
                      "xx...... ........ - Reserved",
                  }));
  EXPECT_EQ(DetailTextsOf(Hex(std::string(kWPAPSK).replace(3, 2, "18").append(" 00 00").c_str())).back(),
            "WPA Capabilities: Not Present");
  // Nothing after the header when even the version is missing.
  EXPECT_EQ(DetailTextsOf(Hex("DD 05 00 50 F2 01 01")),
            (Texts{"Organization Identifier: 00-50-F2 (Unknown)", "Subtype: 1 (WPA)"}));
}

TEST(WMMElement, InformationAndParameterElements) {
  std::vector<uint8_t> info = Hex("DD 07 00 50 F2 02 00 01 8F");
  EXPECT_EQ(ElementLineOf(info), "Vendor Specific: Microsoft: WMM/WME: Information Element");
  EXPECT_EQ(DetailTextsOf(info), (Texts{"Organization Identifier: 00-50-F2 (Unknown)", "Subtype: 2 (WMM/WME)",
                                        "OUI Subtype: 0 (Information Element)", "Version: 1 (0x01)",
                                        "QoS Info: 10001111 (0x8F)", "....1111 - Parameter Set Count: 15 (0x0F)",
                                        ".xxx.... - Reserved (0x00)", "1....... - U-APSD: Enabled (0x01)"}));

  std::vector<uint8_t> parameters =
      Hex("DD 18 00 50 F2 02 01 01 80 00 03 A4 00 00 27 A4 00 00 42 43 5E 00 62 32 2F 00");
  EXPECT_EQ(ElementLineOf(parameters), "Vendor Specific: Microsoft: WMM/WME: Parameter Element");
  Texts details = DetailTextsOf(parameters);
  ASSERT_EQ(details.size(), 9u + 4 * 10);
  EXPECT_EQ(Texts(details.begin() + 8, details.begin() + 20),
            (Texts{"Reserved: 0x00", "AC Parameters: Best Effort (AC_BE)", "ACI/AIFSN: 00000011 (0x03)",
                   "....0011 - Arbitration Inter Frame Spacing Number  (AIFSN): 3",
                   "...0.... - Admission Control Mandatory (ACM): No",
                   ".00..... - Access Category Index (ACI): Best Effort (AC_BE) (0x00)", "x....... - Reserved",
                   "ECWmin/ECWmax: 10100100 (0xA4)", "....0100 - ECWmin: 4", "1010.... - ECWmax: 10", "TXOP Limit: 0",
                   "AC Parameters: Background (AC_BK)"}));
  EXPECT_EQ(details.back(), "TXOP Limit: 47");
  EXPECT_EQ(details[39], "AC Parameters: Voice (AC_VO)");

  // A parameter element without its records, and an element too short for the QoS info.
  details = DetailTextsOf(Hex("DD 14 00 50 F2 02 01 01 80 00 03 A4 00 00 27 A4 00 00 42 43 5E 00"));
  EXPECT_EQ(details.back(), "Length is wrong, must be = 24");
  EXPECT_EQ(details.size(), 2u + 7);
  EXPECT_EQ(DetailTextsOf(Hex("DD 06 00 50 F2 02 01 01")).back(), "Length is wrong, must be >= 7");
}

}  // namespace
}  // namespace skimlet

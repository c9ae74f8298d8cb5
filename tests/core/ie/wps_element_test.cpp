// The WPS element: its decoded values, the attribute forms and malformed attribute lists.
#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/vnd_0050f2_04_wps.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::DetailTextsOf;
using test::ElementLineOf;
using test::Hex;
using test::TreeTextOf;
using Texts = std::vector<std::string>;

// One attribute: type and length big-endian, then the value.
std::vector<uint8_t> Attr(uint16_t type, std::vector<uint8_t> value) {
  std::vector<uint8_t> out;
  PutUInt16BE(out, type);
  PutUInt16BE(out, static_cast<uint16_t>(value.size()));
  out.insert(out.end(), value.begin(), value.end());
  return out;
}

std::vector<uint8_t> WPSBlob(std::initializer_list<std::vector<uint8_t>> attributes) {
  std::vector<uint8_t> body;
  for (const auto& a : attributes) body.insert(body.end(), a.begin(), a.end());
  return ElementBuilder().AddVendor(0x0050F2, 4, body).Blob();
}

struct Decoded {
  TInformationElements elements;
  const TWPSElement* wps = nullptr;
  explicit Decoded(const std::vector<uint8_t>& blob) {
    elements.Parse(blob);
    wps = elements.FindVendor<TWPSElement>(0x0050F2, 4);
  }
};

// The detail lines after the two vendor header lines.
Texts AttributeTextsOf(const std::vector<uint8_t>& blob) {
  Texts texts = DetailTextsOf(blob);
  return texts.size() > 2 ? Texts(texts.begin() + 2, texts.end()) : Texts{};
}

TEST(WPSElement, StateVersionAndLock) {
  std::vector<uint8_t> blob = WPSBlob({Attr(0x104A, {0x10}), Attr(0x1044, {0x02}), Attr(0x1057, {0x01})});
  Decoded d(blob);
  ASSERT_NE(d.wps, nullptr);
  EXPECT_EQ(d.wps->Version, 0x10);
  EXPECT_EQ(d.wps->GetVersionText(), "1.0");
  EXPECT_EQ(d.wps->GetVersion2Text(), "");
  EXPECT_EQ(d.wps->WPSState, 2);
  EXPECT_TRUE(d.wps->APSetupLocked);
  EXPECT_EQ(TreeTextOf(blob),
            "Information Elements: 1 (21 bytes)\t@0+0\n"
            "  Vendor Specific: Microsoft: WPS\t@0+21\n"
            "    Element ID: 221 (Vendor Specific)\t@0+1\n"
            "    Length: 19 octets\t@1+1\n"
            "    Organization Identifier: 00-50-F2 (Unknown)\t@2+3\n"
            "    Subtype: 4 (WPS)\t@5+1\n"
            "    Version: 1.0 (0x10)\t@6+5\n"
            "      Data Element Type: 0x104A  (Version)\t@6+2\n"
            "      Data Element Length: 1 octet\t@8+2\n"
            "      Version: 1.0 (0x10)\t@10+1\n"
            "    Wi-Fi Simple Configuration State: Configured (0x02)\t@11+5\n"
            "      Data Element Type: 0x1044  (Wi-Fi Simple Configuration State)\t@11+2\n"
            "      Data Element Length: 1 octet\t@13+2\n"
            "      Wi-Fi Simple Configuration State: Configured (0x02)\t@15+1\n"
            "    Ap Setup Locked: Locked\t@16+5\n"
            "      Data Element Type: 0x1057  (Ap Setup Locked)\t@16+2\n"
            "      Data Element Length: 1 octet\t@18+2\n"
            "      Ap Setup Locked: Locked\t@20+1\n");

  // Setup locked is a Boolean: sent as 0 it means open to registrars.
  blob = WPSBlob({Attr(0x1057, {0x00})});
  Decoded open(blob);
  ASSERT_NE(open.wps, nullptr);
  EXPECT_FALSE(open.wps->APSetupLocked);
  EXPECT_EQ(AttributeTextsOf(blob).front(), "Ap Setup Locked: Unlocked");
}

TEST(WPSElement, VendorExtension) {
  std::vector<uint8_t> blob = WPSBlob({Attr(0x104A, {0x10}), Attr(0x1049, {0x00, 0x37, 0x2A, 0x00, 0x01, 0x20})});
  Decoded d(blob);
  ASSERT_NE(d.wps, nullptr);
  EXPECT_EQ(d.wps->Version2, 0x20);
  EXPECT_EQ(d.wps->GetVersion2Text(), "2.0");
  Texts texts = AttributeTextsOf(blob);
  EXPECT_EQ(Texts(texts.begin() + 4, texts.end()),
            (Texts{"Vendor Extension", "Data Element Type: 0x1049  (Vendor Extension)", "Data Element Length: 6 octets",
                   "Vendor ID: 0x00372A", "Version2: 2.0 (0x20)", "Subelement ID: 0x00 (Version2)",
                   "Subelement length: 1", "Version2: 2.0 (0x20)"}));

  // The other sub-elements, each in its form.
  blob = WPSBlob({Attr(0x1049, {0x00, 0x37, 0x2A, 0x01, 0x06, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF,
                                0x02, 0x01, 0x01, 0x05, 0x02, 0x00, 0x88, 0x00, 0x02, 0x20, 0x00})});
  Decoded other(blob);
  EXPECT_EQ(other.wps->Version2, 0);  // a Version2 of the wrong length is not taken
  texts = AttributeTextsOf(blob);
  Texts subLines;
  for (const std::string& t : texts)
    if (t.find(" - ") == std::string::npos && t.rfind("Sub", 0) != 0 && t.rfind("Data ", 0) != 0) subLines.push_back(t);
  EXPECT_EQ(subLines, (Texts{"Vendor Extension", "Vendor ID: 0x00372A", "AuthorizedMACs: AA BB CC DD EE FF",
                             "AuthorizedMACs: AA BB CC DD EE FF", "Network Key Shareable: Yes",
                             "Network Key Shareable: Yes", "Registrar Configuration Methods: Display, PushButton",
                             "Registrar Configuration Methods: 00000000 10001000 (0x0088)", "Version2",
                             "Length is wrong, must be = 1"}));

  struct Case {
    const char* desc;
    std::vector<uint8_t> value;
    Texts lines;  // after the type and length lines
  };
  const Case cases[] = {
      {"too short", {0x00, 0x37, 0x2A, 0x00}, {"Length is wrong, must be >= 5"}},
      {"another vendor", {0x00, 0x11, 0x22, 0xAA, 0xBB}, {"Vendor ID (0x001122) is unknown", "Data: AA BB"}},
      {"a sub-element running past the value", {0x00, 0x37, 0x2A, 0x00, 0x05, 0x20}, {"Vendor ID: 0x00372A"}},
  };
  for (const Case& c : cases) {
    blob = WPSBlob({Attr(0x1049, c.value)});
    Decoded cd(blob);
    EXPECT_EQ(cd.wps->Version2, 0) << c.desc;
    texts = AttributeTextsOf(blob);
    EXPECT_EQ(Texts(texts.begin() + 3, texts.end()), c.lines) << c.desc;
  }
}

TEST(WPSElement, FlagsAndBands) {
  std::vector<uint8_t> blob = WPSBlob({Attr(0x1008, {0x02, 0x88})});
  EXPECT_EQ(AttributeTextsOf(blob),
            (Texts{"Config Methods: Display, PushButton, Virtual Push Button",
                   "Data Element Type: 0x1008  (Config Methods)", "Data Element Length: 2 octets",
                   "Config Methods: 00000010 10001000 (0x0288)", "........ .......0 - USBA (Flash Drive): No",
                   "........ ......0. - Ethernet: No", "........ .....0.. - Label: No",
                   "........ ....1... - Display: Yes", "........ ...0.... - External NFC Token: No",
                   "........ ..0..... - Integrated NFC Token: No", "........ .0...... - NFC Interface: No",
                   "........ 1....... - PushButton: Yes", ".......0 ........ - Keypad: No",
                   "......1. 1....... - Virtual Push Button: Yes", ".....0.. 1....... - Physical Push Button: No",
                   "....0... 1....... - Reserved: No", "...0.... ........ - P2Ps Default Configuration Method: No",
                   "..0..... ....1... - Virtual Display PIN: No", ".0...... ....1... - Physical Display PIN: No"}));
  EXPECT_EQ(ElementLineOf(blob), "Vendor Specific: Microsoft: WPS");
  EXPECT_EQ(AttributeTextsOf(WPSBlob({Attr(0x1008, {0x03, 0x8C})})).front(),
            "Config Methods: Label, Display, PushButton, Keypad, Virtual Push Button");
  EXPECT_EQ(AttributeTextsOf(WPSBlob({Attr(0x1004, {0x00, 0x22})})).front(),
            "Authentication Type Flags: WPA-Personal, WPA2-Personal");

  Texts bands = AttributeTextsOf(WPSBlob({Attr(0x103C, {0x03})}));
  EXPECT_EQ(Texts(bands.begin() + 3, bands.end()),
            (Texts{"RF Bands: 00000011 (0x03)", ".......1 - 2.4 GHz: Supported", "......1. - 5 GHz: Supported",
                   ".....0.. - 60 GHz: Not Supported"}));
  EXPECT_EQ(bands.front(), "RF Bands: 2.4 GHz + 5 GHz");
}

TEST(WPSElement, DeviceTexts) {
  // Device name from UTF-8; manufacturer and model bytes taken one character each; texts end at a zero byte.
  std::vector<uint8_t> blob =
      WPSBlob({Attr(0x1011, {'B', 0xC3, 0xBC, 'r', 'o'}), Attr(0x1021, {'A', 0xC3, 0xA9}),
               Attr(0x1023, {'M', 'o', 'd', 'e', 'l', ' ', '1', 0x00, 'x'}), Attr(0x1024, {'7', 0x00})});
  Decoded d(blob);
  ASSERT_NE(d.wps, nullptr);
  EXPECT_EQ(d.wps->DeviceName, "B\xC3\xBCro");
  EXPECT_EQ(d.wps->Manufacturer, "A\xC3\x83\xC2\xA9");
  EXPECT_EQ(d.wps->ModelName, "Model 1");
  EXPECT_EQ(d.wps->ModelNumber, "7");
  Texts texts = AttributeTextsOf(blob);
  EXPECT_EQ(texts[0], "Device Name: B\xC3\xBCro");
  EXPECT_EQ(texts[3], "Device Name: B\xC3\xBCro");
  EXPECT_EQ(texts[8], "Model Name: Model 1");
  // A device name that is no UTF-8 reads one character per byte.
  EXPECT_EQ(Decoded(WPSBlob({Attr(0x1011, {'C', 'a', 'f', 0xE9})})).wps->DeviceName, "Caf\xC3\xA9");
  // A text of zeros shows no value.
  EXPECT_EQ(AttributeTextsOf(WPSBlob({Attr(0x1045, {0x00, 0x00})})),
            (Texts{"SSID", "Data Element Type: 0x1045  (SSID)", "Data Element Length: 2 octets"}));
}

TEST(WPSElement, ValueForms) {
  struct Case {
    std::vector<uint8_t> attribute;
    Texts lines;  // the attribute line and the lines after type and length
  };
  const Case cases[] = {
      {Attr(0x1001, {0x00, 0x06}), {"AP Channel: 6 (0x0006)", "AP Channel: 6 (0x0006)"}},
      {Attr(0x1001, {0x06}), {"AP Channel", "Length is wrong, must be = 2"}},
      {Attr(0x1002, {0x00, 0x01}),
       {"Association State: Connection Success (0x0001)", "Association State: Connection Success (0x0001)"}},
      {Attr(0x1003, {0x00, 0x40}), {"Authentication Type: Unknown (0x0040)", "Authentication Type: Unknown (0x0040)"}},
      {Attr(0x102F, {0x14}), {"Power Level: 20 mW (0x0014)", "Power Level: 20 mW (0x0014)"}},
      {Attr(0x1030, {0x01, 0x02}), {"PSK Current", "Length is wrong, must be = 1"}},
      {Attr(0x103B, {0x03}), {"Response Type: AP (0x03)", "Response Type: AP (0x03)"}},
      {Attr(0x103A, {0x01}),
       {"Request Type: Enrollee, open 802.1X (0x01)", "Request Type: Enrollee, open 802.1X (0x01)"}},
      {Attr(0x1044, {0x07}),
       {"Wi-Fi Simple Configuration State: Unknown (0x07)", "Wi-Fi Simple Configuration State: Unknown (0x07)"}},
      {Attr(0x1041, {0x01}), {"Selected Registrar: Yes", "Selected Registrar: Yes"}},
      {Attr(0x104A, {0x10, 0x00}), {"Version", "Length is wrong, must be = 1"}},
      {Attr(0x1047, {0x28, 0x80, 0x28, 0x80, 0x28, 0x80, 0x18, 0x80, 0xA8, 0x80, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}),
       {"UUID E: 28802880-2880-1880-A880-001122334455", "UUID E: 28802880-2880-1880-A880-001122334455"}},
      {Attr(0x1048, std::vector<uint8_t>(15, 0xAB)), {"UUID R", "Length is wrong, must be = 16"}},
      {Attr(0x1054, {0x00, 0x06, 0x00, 0x50, 0xF2, 0x04, 0x00, 0x01}),
       {"Primary Device Type: Network Infrastructure: AP", "Category: Network Infrastructure (0x0006)",
        "OUI: 00-50-F2-04", "Sub Category: AP (0x0001)"}},
      {Attr(0x1054, {0x00, 0x0A, 0x00, 0x50, 0xF2, 0x04, 0x00, 0x09}),
       {"Primary Device Type: Telephone: Unknown", "Category: Telephone (0x000A)", "OUI: 00-50-F2-04",
        "Sub Category: Unknown (0x0009)"}},
      {Attr(0x1054, {0x00, 0xFF, 0x00, 0x50, 0xF2, 0x04, 0x00, 0x03}),
       {"Primary Device Type: Others: Others", "Category: Others (0x00FF)", "OUI: 00-50-F2-04",
        "Sub Category: Others (0x0003)"}},
      {Attr(0x1054, {0x00, 0x01, 0x00, 0x17, 0xF2, 0x01, 0x00, 0x05}),
       {"Primary Device Type: Computer: Vendor-specific sub-category", "Category: Computer (0x0001)",
        "OUI: 00-17-F2-01", "Sub Category: Vendor-specific sub-category (0x0005)"}},
      {Attr(0x1054, {0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}),
       {"Primary Device Type: Network Infrastructure", "Category: Network Infrastructure (0x0006)",
        "OUI: 00-00-00-00 (Reserved)", "Sub Category: Reserved (0x0001)"}},
      {Attr(0x1054, {0x00, 0x06}), {"Primary Device Type", "Length is wrong, must be = 8"}},
      {Attr(0x1012, {0x00, 0x04}), {"Device Password ID: 4 (0x0004)", "Device Password ID: 4 (0x0004)"}},
      {Attr(0x1012, {0x05}), {"Device Password ID: 5 (0x0005)", "Device Password ID: 5 (0x0005)"}},
      {Attr(0x2000, {0x01, 0x02, 0x03}), {"Unknown: 01 02 03", "Unknown: 01 02 03"}},
  };
  for (const Case& c : cases) {
    Texts texts = AttributeTextsOf(WPSBlob({c.attribute}));
    ASSERT_GE(texts.size(), 3u) << c.lines.front();
    Texts lines{texts.front()};
    lines.insert(lines.end(), texts.begin() + 3, texts.end());
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(WPSElement, MalformedAttributeLists) {
  // A zero-length attribute gets no lines; the next one follows.
  std::vector<uint8_t> blob = WPSBlob({Attr(0x1057, {}), Attr(0x1044, {0x01})});
  Decoded d(blob);
  EXPECT_FALSE(d.wps->APSetupLocked);
  EXPECT_EQ(d.wps->WPSState, 1);
  EXPECT_EQ(AttributeTextsOf(blob).front(), "Wi-Fi Simple Configuration State: Not Configured (0x01)");

  // An attribute whose length runs past the element ends the walk quietly; what came before stays.
  blob = WPSBlob({Attr(0x1044, {0x02}), Hex("10 11 00 20 41 42"), Attr(0x104A, {0x10})});
  Decoded cut(blob);
  EXPECT_EQ(cut.wps->WPSState, 2);
  EXPECT_EQ(cut.wps->DeviceName, "");
  EXPECT_EQ(cut.wps->Version, 0);
  EXPECT_EQ(AttributeTextsOf(blob).size(), 4u);
  // So does a header cut short.
  blob = WPSBlob({Attr(0x1044, {0x02}), Hex("10 11 00")});
  EXPECT_EQ(AttributeTextsOf(blob).size(), 4u);

  // Flags read two value bytes: a one-byte value is a corrupted element, never a read of the next attribute.
  blob = WPSBlob({Attr(0x1044, {0x02}), Attr(0x1008, {0x80}), Attr(0x1011, {'A', 'P'})});
  Texts texts = AttributeTextsOf(blob);
  EXPECT_EQ(texts.back(), "Could not parse element. Element is corrupted.");
  EXPECT_EQ(texts.size(), 4u + 3 + 1);
  EXPECT_EQ(Decoded(blob).wps->DeviceName, "AP");

  // Nothing after OUI and subtype, or a lone byte: no attribute lines.
  EXPECT_TRUE(AttributeTextsOf(Hex("DD 04 00 50 F2 04")).empty());
  EXPECT_TRUE(AttributeTextsOf(Hex("DD 05 00 50 F2 04 10")).empty());
}

}  // namespace
}  // namespace skimlet

#include "core/ie/elements/vnd_0050f2_04_wps.h"

#include <algorithm>
#include <span>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/eid000_ssid.h"

namespace skimlet {

namespace {

// Attribute types and the byte values are big-endian throughout this element: every read says so.
constexpr uint32_t kWFAVendorID = 0x00372A;

constexpr TKeyAndValue kAttributeNames[] = {
    {0x1001, "AP Channel"},
    {0x1002, "Association State"},
    {0x1003, "Authentication Type"},
    {0x1004, "Authentication Type Flags"},
    {0x1005, "Authenticator"},
    {0x1008, "Config Methods"},
    {0x1009, "Configuration Error"},
    {0x100A, "Confirmation URL4"},
    {0x100B, "Confirmation URL6"},
    {0x100C, "Connection Type"},
    {0x100D, "Connection Type Flags"},
    {0x100E, "Credential"},
    {0x1011, "Device Name"},
    {0x1012, "Device Password ID"},
    {0x1014, "E Hash1"},
    {0x1015, "E Hash2"},
    {0x1016, "E SNonce1"},
    {0x1017, "E SNonce2"},
    {0x1018, "Encrypted Settings"},
    {0x100F, "Encryption Type"},
    {0x1010, "Encryption Type Flags"},
    {0x101A, "Enrollee Nonce"},
    {0x101B, "Feature Id"},
    {0x101C, "Identity"},
    {0x101D, "Identity Proof"},
    {0x101E, "Key Wrap Authenticator"},
    {0x101F, "Key Identifier"},
    {0x1020, "MAC Address"},
    {0x1021, "Manufacturer"},
    {0x1022, "Message Type"},
    {0x1023, "Model Name"},
    {0x1024, "Model Number"},
    {0x1026, "Network Index"},
    {0x1027, "Network Key"},
    {0x1028, "Network Key Index"},
    {0x1029, "New Device Name"},
    {0x102A, "New Password"},
    {0x102C, "Out-of-Band Device Password"},
    {0x102D, "OS Version"},
    {0x102F, "Power Level"},
    {0x1030, "PSK Current"},
    {0x1031, "PSK Max"},
    {0x1032, "Public Key"},
    {0x1033, "Radio Enabled"},
    {0x1034, "Reboot"},
    {0x1035, "Registrar Current"},
    {0x1036, "Registrar Established"},
    {0x1037, "Registrar List"},
    {0x1038, "registrar_max"},
    {0x1039, "Registrar Nonce"},
    {0x103A, "Request Type"},
    {0x103B, "Response Type"},
    {0x103C, "RF Bands"},
    {0x103D, "R Hash1"},
    {0x103E, "R Hash2"},
    {0x103F, "R Snonce1"},
    {0x1040, "R Snonce2"},
    {0x1041, "Selected Registrar"},
    {0x1042, "Serial Number"},
    {0x1044, "Wi-Fi Simple Configuration State"},
    {0x1045, "SSID"},
    {0x1046, "Total Networks"},
    {0x1047, "UUID E"},
    {0x1048, "UUID R"},
    {0x1049, "Vendor Extension"},
    {0x104A, "Version"},
    {0x104B, "X509 Certificate Request"},
    {0x104C, "X509 Certificate"},
    {0x104D, "EAP Identity"},
    {0x104E, "Message Counter"},
    {0x104F, "Public Key Hash"},
    {0x1050, "Rekey Key"},
    {0x1051, "Key Lifetime"},
    {0x1052, "Permitted Config Methods"},
    {0x1053, "Selected Registrar Config Methods"},
    {0x1054, "Primary Device Type"},
    {0x1055, "Secondary Device Type List"},
    {0x1056, "Portable Device"},
    {0x1057, "Ap Setup Locked"},
    {0x1058, "Application Extension"},
    {0x1059, "EAP Type"},
    {0x1060, "Initialization Vector"},
    {0x1061, "Key Provided Automatically"},
    {0x1062, "8021x Enabled"},
    {0x1063, "AppSessionKey"},
    {0x1064, "WEPTransmitKey"},
    {0x106A, "Requested Device Type"},
};

constexpr TKeyAndValue kAssociationStates[] = {
    {0, "Not Associated"},      {1, "Connection Success"}, {2, "Configuration Failure"},
    {3, "Association Failure"}, {4, "IP Failure"},
};
constexpr TKeyAndValue kAuthenticationTypes[] = {
    {0x0001, "Open"},           {0x0002, "WPA-Personal"},    {0x0004, "Shared"},
    {0x0008, "WPA-Enterprise"}, {0x0010, "WPA2-Enterprise"}, {0x0020, "WPA2-Personal"},
};
constexpr TKeyAndValue kConfigMethods[] = {
    {0x0001, "USBA (Flash Drive)"},
    {0x0002, "Ethernet"},
    {0x0004, "Label"},
    {0x0008, "Display"},
    {0x0010, "External NFC Token"},
    {0x0020, "Integrated NFC Token"},
    {0x0040, "NFC Interface"},
    {0x0080, "PushButton"},
    {0x0100, "Keypad"},
    {0x0280, "Virtual Push Button"},
    {0x0480, "Physical Push Button"},
    {0x0880, "Reserved"},
    {0x1000, "P2Ps Default Configuration Method"},
    {0x2008, "Virtual Display PIN"},
    {0x4008, "Physical Display PIN"},
};
constexpr TKeyAndValue kRequestTypes[] = {
    {0, "Enrollee, Info only"},
    {1, "Enrollee, open 802.1X"},
    {2, "Registrar"},
    {3, "WLAN Manager Registrar"},
};
constexpr TKeyAndValue kResponseTypes[] = {
    {0, "Enrollee, Info only"},
    {1, "Enrollee, open 802.1X"},
    {2, "Registrar"},
    {3, "AP"},
};
constexpr TKeyAndValue kWPSStates[] = {{0, "Reserved"}, {1, "Not Configured"}, {2, "Configured"}, {3, "Reserved"}};
constexpr TKeyAndValue kRFBands[] = {{1, "2.4 GHz"}, {2, "5 GHz"}, {4, "60 GHz"}};
constexpr TKeyAndValue kWFASubelements[] = {
    {0, "Version2"},          {1, "AuthorizedMACs"},      {2, "Network Key Shareable"},
    {3, "Request to Enroll"}, {4, "Settings Delay Time"}, {5, "Registrar Configuration Methods"},
};

constexpr TKeyAndValue kDeviceCategories[] = {
    {1, "Computer"},
    {2, "Input Device"},
    {3, "Printers, Scanners, Faxes and Copiers "},
    {4, "Camera"},
    {5, "Storage"},
    {6, "Network Infrastructure"},
    {7, "Displays"},
    {8, "Multimedia Devices"},
    {9, "Gaming Devices"},
    {10, "Telephone"},
    {11, "Audio Devices"},
    {12, "Docking Devices"},
    {255, "Others"},
};
constexpr TKeyAndValue kComputers[] = {
    {1, "PC"},
    {2, "Server"},
    {3, "Media Center"},
    {4, "Ultra-mobile PC"},
    {5, "Notebook"},
    {6, "Desktop"},
    {7, "MID (Mobile Internet Device)"},
    {8, "Netbook"},
    {9, "Tablet"},
    {10, "Ultrabook"},
};
constexpr TKeyAndValue kInputDevices[] = {
    {1, "Keyboard"}, {2, "Mouse"},       {3, "Joystick"},         {4, "Trackball"},      {5, "Gaming controller"},
    {6, "Remote"},   {7, "Touchscreen"}, {8, "Biometric reader"}, {9, "Barcode reader"},
};
constexpr TKeyAndValue kPrinters[] = {
    {1, "Printer or Print Server"},
    {2, "Scanner"},
    {3, "Fax"},
    {4, "Copier"},
    {5, "All-in-one (Printer, Scanner, Fax, Copier)"},
};
constexpr TKeyAndValue kCameras[] = {
    {1, "Digital Still Camera"},
    {2, "Video Camera"},
    {3, "Web Camera"},
    {4, "Security Camera"},
};
constexpr TKeyAndValue kStorage[] = {{1, "NAS"}};
constexpr TKeyAndValue kNetworkInfrastructure[] = {
    {1, "AP"}, {2, "Router"}, {3, "Switch"}, {4, "Gateway"}, {5, "Bridge"}};
constexpr TKeyAndValue kDisplays[] = {
    {1, "Television"},
    {2, "Electronic Picture Frame"},
    {3, "Projector"},
    {4, "Monitor"},
};
constexpr TKeyAndValue kMultimedia[] = {
    {1, "DAR"},
    {2, "PVR"},
    {3, "MCX"},
    {4, "Set-top box"},
    {5, "Media Server/Media Adapter/Media Extender"},
    {6, "Portable Video Player"},
};
constexpr TKeyAndValue kGaming[] = {
    {1, "Xbox"},
    {2, "Xbox360"},
    {3, "Playstation"},
    {4, "Game Console/Game Console Adapter"},
    {5, "Portable Gaming Device"},
};
constexpr TKeyAndValue kTelephones[] = {
    {1, "Windows Mobile"},           {2, "Phone - single mode"},    {3, "Phone - dual mode"},
    {4, "Smartphone - single mode"}, {5, "Smartphone - dual mode"},
};
constexpr TKeyAndValue kAudio[] = {
    {1, "Audio tuner/receiver"},
    {2, "Speakers"},
    {3, "Portable Music Player (PMP)"},
    {4, "Headset (headphones + microphone)"},
    {5, "Headphones"},
    {6, "Microphone"},
    {7, "Home Theater Systems"},
};
constexpr TKeyAndValue kDocking[] = {{1, "Computer docking station"}, {2, "Media kiosk"}};

TKeyAndValueTable SubCategories(uint16_t category) {
  switch (category) {
    case 1: return kComputers;
    case 2: return kInputDevices;
    case 3: return kPrinters;
    case 4: return kCameras;
    case 5: return kStorage;
    case 6: return kNetworkInfrastructure;
    case 7: return kDisplays;
    case 8: return kMultimedia;
    case 9: return kGaming;
    case 10: return kTelephones;
    case 11: return kAudio;
    case 12: return kDocking;
    default: return {};
  }
}

// A big-endian 16-bit number at P; the caller has checked that both bytes are there.
inline uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// Calls F(type, typePos, value) for every attribute from body byte 4 that fits in the body, in order.
template <class F>
void ForEachAttribute(Bytes data, F&& f) {
  size_t p = 4;
  while (p <= data.size() && data.size() - p >= 4) {
    // Type and length are big-endian, unlike the numbers of the IEEE elements.
    uint16_t type = BigEndian16(data.data() + p);
    uint16_t length = BigEndian16(data.data() + p + 2);
    size_t typePos = p;
    p += 4;
    if (data.size() - p < length) return;
    f(type, typePos, data.subspan(p, length));
    p += length;
  }
}

// Calls F(id, idPos, value) for every sub-element of a vendor extension value from value byte 3 that fits in
// the value; F returns false to stop the walk. IDPos counts from the first value byte.
template <class F>
void ForEachSubelement(Bytes value, F&& f) {
  size_t q = 3;
  while (q <= value.size() && value.size() - q >= 2) {
    uint8_t id = value[q];
    uint8_t length = value[q + 1];
    if (value.size() - q - 2 < length) return;
    if (!f(id, q, value.subspan(q + 2, length))) return;
    q += 2 + length;
  }
}

Bytes UpToZero(Bytes bytes) {
  return bytes.first(static_cast<size_t>(std::find(bytes.begin(), bytes.end(), uint8_t{0}) - bytes.begin()));
}

bool IsASCII(Bytes bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b < 0x80; });
}

// The bytes up to the first zero, each byte one character (ISO 8859-1).
std::string BytesAsCharacters(Bytes bytes) { return Latin1ToUTF8(UpToZero(bytes)); }

// The bytes up to the first zero as UTF-8, one character per byte when they are no UTF-8.
std::string UTF8Text(Bytes bytes) {
  Bytes text = UpToZero(bytes);
  return IsASCII(text) ? std::string(text.begin(), text.end()) : SSIDBytesToText(text);
}

std::string NibblesText(uint8_t v) { return Format("%d.%d", {v >> 4, v & 15}); }

// The tree lines of the attributes: one builder per AddDetailNodes call.
class WPSLines {
 public:
  WPSLines(const TWPSElement& element, TIETree& tree) : e_(element), tree_(tree) {}

  void AddAttribute(TIETreeLine parent, uint16_t type, size_t typePos, Bytes value) {
    std::string name(KeyToValue(kAttributeNames, type, "Unknown"));
    TIETreeLine attribute = Node(parent, name, typePos, 4 + value.size());
    Node(attribute, Format("Data Element Type: 0x%.4x  (%s)", {type, name}), typePos, 2);
    Node(attribute, Format("Data Element Length: %d %s", {value.size(), value.size() == 1 ? "octet" : "octets"}),
         typePos + 2, 2);
    const size_t pos = typePos + 4;
    switch (type) {
      case 0x1001: return Number16(attribute, name, pos, value);
      case 0x1002: return Choice16(attribute, name, pos, value, kAssociationStates);
      case 0x1003: return Choice16(attribute, name, pos, value, kAuthenticationTypes);
      case 0x1004: return Flags16(attribute, name, pos, value, kAuthenticationTypes);
      case 0x1008: return Flags16(attribute, name, pos, value, kConfigMethods);
      case 0x100A:
      case 0x100B:
      case 0x101C:
      case 0x1021:
      case 0x1023:
      case 0x1024:
      case 0x1029:
      case 0x1042:
      case 0x1045: return Text(attribute, name, pos, value, BytesAsCharacters(value));
      case 0x1011: return Text(attribute, name, pos, value, UTF8Text(value));
      case 0x102F: return Number8(attribute, name, pos, value, "mW");
      case 0x1030:
      case 0x1031: return Number8(attribute, name, pos, value, {});
      case 0x1036:
      case 0x1041:
      case 0x1062: return Show(attribute, name, YesNoToText(true), pos, value);
      case 0x103A: return Choice8(attribute, name, pos, value, kRequestTypes);
      case 0x103B: return Choice8(attribute, name, pos, value, kResponseTypes);
      case 0x103C: return RFBands(attribute, name, pos, value);
      case 0x1044: return Choice8(attribute, name, pos, value, kWPSStates);
      case 0x1047:
      case 0x1048: return UUID(attribute, name, pos, value);
      case 0x1049: return VendorExtension(attribute, pos, value);
      case 0x104A: return VersionForm(attribute, name, pos, value);
      case 0x1054: return PrimaryDeviceType(attribute, pos, value);
      // The access point's setup is locked only when the value says so: an AP that sends the attribute
      // with 0 is open for registrars.
      case 0x1057: return Show(attribute, name, ReadUInt8(value, 0) != 0 ? "Locked" : "Unlocked", pos, value);
      default: return Generic(attribute, name, pos, value);
    }
  }

 private:
  TIETreeLine Node(TIETreeLine parent, std::string text, size_t pos, size_t count) {
    return e_.AddNode(tree_, parent, std::move(text), e_.Offset + 2 + static_cast<int32_t>(pos),
                      static_cast<int32_t>(count));
  }
  // The value line "<name>: <value>" over the value bytes, and ": <value>" behind the attribute line.
  void Show(TIETreeLine attribute, std::string_view name, std::string_view valueText, size_t pos, Bytes value) {
    Node(attribute, Format("%s: %s", {name, valueText}), pos, value.size());
    TInformationElement::AppendText(tree_, attribute, Format(": %s", {valueText}));
  }
  // Lines under Attribute about the Width bits of Bits (the value's bits in display order), over the value.
  TBitLines Bits(TIETreeLine attribute, Bytes bits, unsigned width, size_t pos, Bytes value) {
    return TBitLines(e_, tree_, attribute, bits, width, e_.Offset + 2 + static_cast<int32_t>(pos),
                     static_cast<int32_t>(value.size()));
  }
  // True when the value's length keeps Rule; else false, with the wrong-length line over the value.
  bool LengthHolds(TIETreeLine attribute, const TLengthRule& rule, size_t pos, Bytes value) {
    if (rule.Holds(static_cast<int64_t>(value.size()))) return true;
    Node(attribute, rule.Message(), pos, value.size());
    return false;
  }

  void Number16(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(2), pos, value)) return;
    uint16_t v = ReadUInt16BE(value, 0);
    Show(attribute, name, Format("%d (0x%.4x)", {v, v}), pos, value);
  }
  void Number8(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value, std::string_view unit) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(1), pos, value)) return;
    uint8_t v = value[0];
    Show(attribute, name, unit.empty() ? Format("%d (0x%.4x)", {v, v}) : Format("%d %s (0x%.4x)", {v, unit, v}), pos,
         value);
  }
  void Choice8(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value, TKeyAndValueTable table) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(1), pos, value)) return;
    uint8_t v = value[0];
    Show(attribute, name, Format("%s (0x%.2x)", {KeyToValue(table, v, "Unknown"), v}), pos, value);
  }
  void Choice16(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value, TKeyAndValueTable table) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(2), pos, value)) return;
    uint16_t v = ReadUInt16BE(value, 0);
    Show(attribute, name, Format("%s (0x%.4x)", {KeyToValue(table, v, "Unknown"), v}), pos, value);
  }
  // Reads the first two value bytes; a shorter value is a corrupted element.
  void Flags16(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value, TKeyAndValueTable table) {
    uint16_t v = ReadUInt16BE(value, 0);
    // The bit diagrams number bits from the least significant byte up.
    const uint8_t le[2] = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    TBitLines bits = Bits(attribute, le, 16, pos, value);
    TBitLines flags = bits.Below(Format("%s: %s", {name, Format("%s (0x%.4x)", {bits.AllBits(), v})}));
    std::string set;
    for (const TKeyAndValue& row : table) {
      bool all = (v & row.Key) == row.Key;
      flags.Add(
          Format("%s - %s: %s", {flags.MaskDiagram(static_cast<uint32_t>(row.Key)), row.Value, YesNoToText(all)}));
      if (all) {
        if (!set.empty()) set += ", ";
        set += row.Value;
      }
    }
    TInformationElement::AppendText(tree_, attribute, ": " + set);
  }
  void RFBands(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value) {
    TBitLines bits = Bits(attribute, value, 8, pos, value);
    const uint32_t b = bits.Value();
    TBitLines bands = bits.Below(Format("%s: %s", {name, Format("%s (0x%.2x)", {bits.AllBits(), b})}));
    std::string list;
    for (const TKeyAndValue& row : kRFBands) {
      bool supported = (b & static_cast<uint32_t>(row.Key)) == static_cast<uint32_t>(row.Key);
      bands.Add(Format("%s - %s: %s",
                       {bands.MaskDiagram(static_cast<uint32_t>(row.Key)), row.Value, SupportedToText(supported)}));
      if (supported) {
        if (!list.empty()) list += " + ";
        list += row.Value;
      }
    }
    TInformationElement::AppendText(tree_, attribute, ": " + list);
  }
  void Text(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value, const std::string& text) {
    if (!text.empty()) Show(attribute, name, text, pos, value);
  }
  void VersionForm(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(1), pos, value)) return;
    Show(attribute, name, Format("%s (0x%.2x)", {NibblesText(value[0]), value[0]}), pos, value);
  }
  void UUID(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(16), pos, value)) return;
    std::string text = BytesToHex(value.subspan(0, 4), "") + "-" + BytesToHex(value.subspan(4, 2), "") + "-" +
                       BytesToHex(value.subspan(6, 2), "") + "-" + BytesToHex(value.subspan(8, 2), "") + "-" +
                       BytesToHex(value.subspan(10, 6), "");
    Show(attribute, name, text, pos, value);
  }
  void Generic(TIETreeLine attribute, std::string_view name, size_t pos, Bytes value) {
    if (value.size() == 1) return Number8(attribute, name, pos, value, {});
    if (value.size() == 2) return Number16(attribute, name, pos, value);
    Show(attribute, name, BytesToHex(value), pos, value);
  }
  void PrimaryDeviceType(TIETreeLine attribute, size_t pos, Bytes value) {
    if (!LengthHolds(attribute, TLengthRule::Exactly(8), pos, value)) return;
    uint16_t category = ReadUInt16BE(value, 0);
    uint32_t oui = ReadUInt32BE(value, 2);
    uint16_t sub = ReadUInt16BE(value, 6);
    std::string_view categoryText = KeyToValue(kDeviceCategories, category, "Unknown");
    Node(attribute, Format("%s: %s (0x%.4x)", {"Category", categoryText, category}), pos, 2);
    TInformationElement::AppendText(tree_, attribute, Format(": %s", {categoryText}));
    std::string ouiText = BytesToHex(value.subspan(2, 4), "-");
    if (oui == 0) {
      Node(attribute, Format("%s: %s (%s)", {"OUI", ouiText, "Reserved"}), pos + 2, 4);
      Node(attribute, Format("%s: %s (0x%.4x)", {"Sub Category", "Reserved", sub}), pos + 6, 2);
      return;
    }
    Node(attribute, Format("%s: %s", {"OUI", ouiText}), pos + 2, 4);
    std::string_view subText = "Vendor-specific sub-category";
    if (oui == 0x0050F204) subText = category == 255 ? "Others" : KeyToValue(SubCategories(category), sub, "Unknown");
    TInformationElement::AppendText(tree_, attribute, Format(": %s", {subText}));
    Node(attribute, Format("%s: %s (0x%.4x)", {"Sub Category", subText, sub}), pos + 6, 2);
  }
  void VendorExtension(TIETreeLine attribute, size_t pos, Bytes value) {
    if (!LengthHolds(attribute, TLengthRule::AtLeast(5), pos, value)) return;
    uint32_t vendor = ReadUInt24BE(value, 0);
    if (vendor != kWFAVendorID) {
      Node(attribute, Format("Vendor ID (0x%.6x) is unknown", {vendor}), pos, 3);
      Node(attribute, "Data: " + BytesToHex(value.subspan(3)), pos + 3, value.size() - 3);
      return;
    }
    Node(attribute, Format("%s: 0x%.6x", {"Vendor ID", vendor}), pos, 3);
    ForEachSubelement(value, [&](uint8_t id, size_t q, Bytes sub) {
      std::string name(KeyToValue(kWFASubelements, id, "Unknown"));
      TIETreeLine line = Node(attribute, name, pos + q, 2 + sub.size());
      Node(line, Format("Subelement ID: 0x%.2x (%s)", {id, name}), pos + q, 1);
      Node(line, Format("Subelement length: %d", {sub.size()}), pos + q + 1, 1);
      const size_t subPos = pos + q + 2;
      switch (id) {
        case 0: VersionForm(line, name, subPos, sub); break;
        case 2:
        case 3: Show(line, name, YesNoToText(true), subPos, sub); break;
        case 5: Flags16(line, name, subPos, sub, kConfigMethods); break;
        default: Generic(line, name, subPos, sub); break;
      }
      return true;
    });
  }

  const TWPSElement& e_;
  TIETree& tree_;
};

}  // namespace

std::string TWPSElement::GetVersionText() const { return NibblesText(Version); }

std::string TWPSElement::GetVersion2Text() const { return Version2 == 0 ? std::string() : NibblesText(Version2); }

bool TWPSElement::Parse() {
  APSetupLocked = false;
  WPSState = Version = Version2 = 0;
  DeviceName.clear();
  ModelNumber.clear();
  Manufacturer.clear();
  ModelName.clear();
  ForEachAttribute(Data, [&](uint16_t type, size_t, Bytes value) {
    switch (type) {
      case 0x1011: DeviceName = UTF8Text(value); break;
      case 0x1021: Manufacturer = BytesAsCharacters(value); break;
      case 0x1023: ModelName = BytesAsCharacters(value); break;
      case 0x1024: ModelNumber = BytesAsCharacters(value); break;
      case 0x1044:
        if (!value.empty()) WPSState = value[0];
        break;
      case 0x104A:
        if (!value.empty()) Version = value[0];
        break;
      // Locked is a Boolean value: present with 0 means the setup is open.
      case 0x1057: APSetupLocked = !value.empty() && value[0] != 0; break;
      case 0x1049:
        if (value.size() > 4 && ReadUInt24BE(value, 0) == kWFAVendorID) {
          ForEachSubelement(value, [&](uint8_t id, size_t, Bytes sub) {
            if (id != 0) return true;
            if (sub.size() == 1) Version2 = sub[0];
            return false;
          });
        }
        break;
      default: break;
    }
  });
  return true;
}

void TWPSElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  WPSLines lines(*this, tree);
  ForEachAttribute(Data, [&](uint16_t type, size_t typePos, Bytes value) {
    if (!value.empty()) lines.AddAttribute(element, type, typePos, value);
  });
}

}  // namespace skimlet

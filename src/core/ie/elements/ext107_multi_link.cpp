#include "core/ie/elements/ext107_multi_link.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {
// Body layout: extension ID, multi-link control (2 bytes), then for the basic type the common info (its
// length byte first) and the link info subelements.
constexpr size_t kControl = 1, kCommonInfo = 3;
constexpr uint8_t kTypeBasic = 0, kPerSTAProfile = 0;

// Presence bits of the basic type, counted within the presence bitmap (control bits 4-15).
enum : unsigned {
  kLinkIDInfo = 0,
  kChangeCount = 1,
  kMediumSyncDelay = 2,
  kEMLCapabilities = 3,
  kMLDCapabilities = 4,
  kAPMLDID = 5,
  kExtMLDCapabilities = 6,
};

// Per-STA profile STA control bits.
enum : unsigned {
  kComplete = 4,
  kSTAMAC = 5,
  kBeaconInterval = 6,
  kTSFOffset = 7,
  kDTIMInfo = 8,
  kNSTRLinkPair = 9,
  kNSTRBitmapSize = 10,
  kSTAChangeCount = 11,
};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField P(uint8_t first, std::string_view label) { return {first, 1, YesNo, label, {}, DecValue}; }

constexpr std::string_view kTypes[] = {"Basic", "Probe Request", "Reconfiguration", "TDLS", "Priority Access"};
constexpr TBitField kControlFields[] = {
    {0, 3, Text, "Type", kTypes, DecValue},
    {3, 1, Reserved},
    P(4 + kLinkIDInfo, "Link ID Info Present"),
    P(4 + kChangeCount, "BSS Parameters Change Count Present"),
    P(4 + kMediumSyncDelay, "Medium Synchronization Delay Information Present"),
    P(4 + kEMLCapabilities, "EML Capabilities Present"),
    P(4 + kMLDCapabilities, "MLD Capabilities And Operations Present"),
    P(4 + kAPMLDID, "AP MLD ID Present"),
    P(4 + kExtMLDCapabilities, "Extended MLD Capabilities And Operations Present"),
    {11, 5, Reserved},
};
constexpr TBitField kLinkIDFields[] = {{0, 4, Number, "Link ID"}, {4, 4, Reserved}};
constexpr TBitField kMediumSyncFields[] = {
    {0, 8, Number, "Medium Synchronization Duration"},
    {8, 4, Number, "Medium Synchronization OFDM ED Threshold"},
    {12, 4, Number, "Medium Synchronization Maximum Number Of TXOPs"},
};
constexpr TBitField kEMLFields[] = {
    {0, 1, Supported, "EMLSR Support", {}, DecValue},
    {1, 3, Number, "EMLSR Padding Delay"},
    {4, 3, Number, "EMLSR Transition Delay"},
    {7, 1, Supported, "EMLMR Support", {}, DecValue},
    {8, 3, Reserved},
    {11, 4, Number, "Transition Timeout"},
    {15, 1, Reserved},
};
constexpr TBitField kMLDFields[] = {
    {0, 4, Number, "Maximum Number Of Simultaneous Links"},
    {4, 1, Supported, "SRS Support", {}, DecValue},
    {5, 2, Number, "TID-To-Link Mapping Negotiation Support"},
    {7, 4, Number, "Frequency Separation For STR/AP MLD Type Indication"},
    {11, 1, Supported, "AAR Support", {}, DecValue},
    {12, 4, Reserved},
};
constexpr TBitField kSTAControlFields[] = {
    {0, 4, Number, "Link ID"},
    P(kComplete, "Complete Profile"),
    P(kSTAMAC, "STA MAC Address Present"),
    P(kBeaconInterval, "Beacon Interval Present"),
    P(kTSFOffset, "TSF Offset Present"),
    P(kDTIMInfo, "DTIM Info Present"),
    P(kNSTRLinkPair, "NSTR Link Pair Present"),
    {kNSTRBitmapSize, 1, Number, "NSTR Bitmap Size"},
    P(kSTAChangeCount, "BSS Parameters Change Count Present"),
    {12, 4, Reserved},
};

// The common info fields of the presence bitmap, in body order: presence bit, size, label.
struct CommonField {
  unsigned Bit;
  size_t Size;
};
constexpr CommonField kCommonFields[] = {{kLinkIDInfo, 1},        {kChangeCount, 1},     {kMediumSyncDelay, 2},
                                         {kEMLCapabilities, 2},   {kMLDCapabilities, 2}, {kAPMLDID, 1},
                                         {kExtMLDCapabilities, 2}};

// Length byte and MLD MAC address, then the fields the presence bitmap announces.
size_t CommonInfoNeeded(uint16_t presence) {
  size_t n = 7;
  for (const CommonField& f : kCommonFields)
    if (IsBitSet(presence, f.Bit)) n += f.Size;
  return n;
}

}  // namespace

bool TMultiLinkExtensionsInformationElement::Parse() {
  if (Data.size() < kCommonInfo) return true;
  const uint16_t control = ReadUInt16LE(Data, kControl);
  Type = control & 0x07;
  PresenceBitmap = static_cast<uint16_t>(control >> 4);
  if (Type != kTypeBasic || Data.size() <= kCommonInfo) return true;
  const size_t length = Data[kCommonInfo];
  if (length < CommonInfoNeeded(PresenceBitmap) || kCommonInfo + length > Data.size()) return true;
  HasCommonInfo = true;
  std::copy_n(Data.begin() + kCommonInfo + 1, 6, MLDMACAddress.begin());
  size_t p = kCommonInfo + 7;
  for (const CommonField& f : kCommonFields) {
    if (!IsBitSet(PresenceBitmap, f.Bit)) continue;
    if (f.Bit == kLinkIDInfo) {
      HasLinkID = true;
      LinkID = Data[p] & 0x0F;
    } else if (f.Bit == kAPMLDID) {
      HasAPMLDID = true;
      APMLDID = Data[p];
    }
    p += f.Size;
  }
  for (size_t s = kCommonInfo + length; s + 2 <= Data.size();) {
    const uint8_t id = Data[s], n = Data[s + 1];
    if (s + 2 + n > Data.size()) break;
    if (id == kPerSTAProfile && n >= 2) {
      const uint16_t staControl = ReadUInt16LE(Data, s + 2);
      TMLPerSTAProfile profile;
      profile.LinkID = staControl & 0x0F;
      profile.CompleteProfile = IsBitSet(staControl, kComplete);
      // STA info: its length byte, then the MAC address when announced.
      if (IsBitSet(staControl, kSTAMAC) && n >= 2 + 1 + 6) {
        profile.HasSTAMACAddress = true;
        std::copy_n(Data.begin() + static_cast<std::ptrdiff_t>(s + 5), 6, profile.STAMACAddress.begin());
      }
      Profiles.push_back(profile);
    }
    s += 2u + n;
  }
  return true;
}

void TMultiLinkExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(static_cast<int32_t>(kCommonInfo)))) return;
  TBitLines control(*this, tree, element, kControl, 16, 2);
  control.Under(control.Add(Format("Multi-Link Control: %s (0x%.4x)", {control.AllBits(), control.Value()})))
      .Draw(kControlFields);
  const auto size = static_cast<int32_t>(Data.size());
  if (control.Bits(0, 3) != kTypeBasic) {
    if (size > static_cast<int32_t>(kCommonInfo))
      AddBodyNode(tree, element, Format("Data: %s", {BytesToHex(Tail(Data, kCommonInfo))}), kCommonInfo, size - 3);
    return;
  }
  if (size <= static_cast<int32_t>(kCommonInfo)) {
    AddBodyNode(tree, element, "Common Info: element is corrupted", kCommonInfo, 0);
    return;
  }

  // Common info.
  const uint16_t presence = static_cast<uint16_t>(control.Value() >> 4);
  const int32_t length = Byte(kCommonInfo), needed = static_cast<int32_t>(CommonInfoNeeded(presence));
  const int32_t c = static_cast<int32_t>(kCommonInfo);
  TIETreeLine common = AddBodyNode(tree, element, "Common Info", c, std::min(length, size - c));
  AddBodyNode(tree, common, Format("Common Info Length: %d", {length}), c, 1);
  if (length < needed || c + length > size) {
    AddBodyNode(
        tree, common,
        Format("Common Info Length is wrong, the fields need %d bytes, the element holds %d", {needed, size - c}), c,
        1);
    return;
  }
  const std::string mac = BytesToHex(Slice(Data, kCommonInfo + 1, 6), ":");
  AddBodyNode(tree, common, Format("MLD MAC Address: %s", {mac}), c + 1, 6);
  int32_t p = c + 7;
  auto bits = [&](unsigned width, std::string_view label) {
    TBitLines field(*this, tree, common, static_cast<size_t>(p), width, static_cast<int32_t>(width / 8));
    return field.Under(field.Add(Format(width == 8 ? "%s: 0x%.2x" : "%s: 0x%.4x", {label, field.Value()})));
  };
  for (const CommonField& f : kCommonFields) {
    if (!IsBitSet(presence, f.Bit)) continue;
    switch (f.Bit) {
      case kLinkIDInfo: bits(8, "Link ID Info").Draw(kLinkIDFields); break;
      case kChangeCount:
        AddBodyNode(tree, common, Format("BSS Parameters Change Count: %d", {Byte(static_cast<size_t>(p))}), p, 1);
        break;
      case kMediumSyncDelay: bits(16, "Medium Synchronization Delay Information").Draw(kMediumSyncFields); break;
      case kEMLCapabilities: bits(16, "EML Capabilities").Draw(kEMLFields); break;
      case kMLDCapabilities: bits(16, "MLD Capabilities And Operations").Draw(kMLDFields); break;
      case kAPMLDID: AddBodyNode(tree, common, Format("AP MLD ID: %d", {Byte(static_cast<size_t>(p))}), p, 1); break;
      case kExtMLDCapabilities: bits(16, "Extended MLD Capabilities And Operations"); break;
      default: break;
    }
    p += static_cast<int32_t>(f.Size);
  }
  if (length > needed)
    AddBodyNode(
        tree, common,
        Format("Reserved: %s", {BytesToHex(Slice(Data, static_cast<size_t>(p), static_cast<size_t>(length - needed)))}),
        p, length - needed);

  // Link info.
  int32_t s = c + length;
  for (int index = 1; s < size; ++index) {
    if (size - s < 2) {
      AddBodyNode(tree, element, "Link Info: element is corrupted", s, size - s);
      return;
    }
    const uint8_t id = Byte(static_cast<size_t>(s)), n = Byte(static_cast<size_t>(s + 1));
    const std::string_view name = id == kPerSTAProfile ? "Per-STA Profile"
                                  : id == 221          ? "Vendor Specific"
                                  : id == 254          ? "Fragment"
                                                       : "Reserved";
    TIETreeLine sub = AddBodyNode(tree, element, Format("%s %d", {name, index}), s, std::min<int32_t>(n + 2, size - s));
    AddBodyNode(tree, sub, Format("Subelement ID: %d", {id}), s, 1);
    AddBodyNode(tree, sub, Format("Subelement Length: %d", {n}), s + 1, 1);
    if (s + 2 + n > size) {
      AddBodyNode(tree, sub,
                  Format("Subelement Length is wrong: it runs past the element (%d bytes left)", {size - s - 2}), s + 1,
                  1);
      return;
    }
    if (id == kPerSTAProfile && n >= 2) AddPerSTAProfileNodes(tree, sub, s + 2, n);
    else if (n > 0)
      AddBodyNode(tree, sub, Format("Data: %s", {BytesToHex(Slice(Data, static_cast<size_t>(s + 2), n))}), s + 2, n);
    s += 2 + n;
  }
}

void TMultiLinkExtensionsInformationElement::AddPerSTAProfileNodes(TIETree& tree, TIETreeLine sub, int32_t pos,
                                                                   int32_t n) const {
  const auto at = [](int32_t p) { return static_cast<size_t>(p); };
  TBitLines control(*this, tree, sub, at(pos), 16, 2);
  control.Under(control.Add(Format("STA Control: %s (0x%.4x)", {control.AllBits(), control.Value()})))
      .Draw(kSTAControlFields);
  AppendText(tree, sub, Format(": Link ID %d", {control.Bits(0, 4)}));
  const int32_t end = pos + n;
  int32_t p = pos + 2;
  if (p >= end) return;
  const int32_t infoLength = Byte(at(p));
  TIETreeLine info = AddBodyNode(tree, sub, "STA Info", p, std::min(infoLength, end - p));
  AddBodyNode(tree, info, Format("STA Info Length: %d", {infoLength}), p, 1);
  if (infoLength < 1 || p + infoLength > end) {
    AddBodyNode(tree, info, Format("STA Info Length is wrong: %d bytes left", {end - p}), p, 1);
    return;
  }
  const int32_t infoEnd = p + infoLength;
  ++p;
  // Each announced field, as long as it lies in the STA info.
  auto field = [&](unsigned bit, int32_t size, auto&& draw) {
    if (!control.Bit(bit)) return true;
    if (p + size > infoEnd) {
      AddBodyNode(tree, info, "STA Info: element is corrupted", p, infoEnd - p);
      return false;
    }
    draw();
    p += size;
    return true;
  };
  const int32_t nstrSize = control.Bit(kNSTRBitmapSize) ? 2 : 1;
  const bool ok =
      field(kSTAMAC, 6,
            [&] {
              AddBodyNode(tree, info, Format("STA MAC Address: %s", {BytesToHex(Slice(Data, at(p), 6), ":")}), p, 6);
            }) &&
      field(kBeaconInterval, 2,
            [&] { AddBodyNode(tree, info, Format("Beacon Interval: %d TUs", {ReadUInt16LE(Data, at(p))}), p, 2); }) &&
      field(kTSFOffset, 8,
            [&] { AddBodyNode(tree, info, Format("TSF Offset: %s", {BytesToHex(Slice(Data, at(p), 8))}), p, 8); }) &&
      field(kDTIMInfo, 2,
            [&] {
              AddBodyNode(tree, info, Format("DTIM Count: %d", {Byte(at(p))}), p, 1);
              AddBodyNode(tree, info, Format("DTIM Period: %d", {Byte(at(p + 1))}), p + 1, 1);
            }) &&
      (!control.Bit(kComplete) || field(kNSTRLinkPair, nstrSize,
                                        [&] {
                                          AddBodyNode(
                                              tree, info,
                                              Format("NSTR Indication Bitmap: %s",
                                                     {BytesToHex(Slice(Data, at(p), static_cast<size_t>(nstrSize)))}),
                                              p, nstrSize);
                                        })) &&
      field(kSTAChangeCount, 1,
            [&] { AddBodyNode(tree, info, Format("BSS Parameters Change Count: %d", {Byte(at(p))}), p, 1); });
  if (ok && p < infoEnd)
    AddBodyNode(tree, info, Format("Reserved: %s", {BytesToHex(Slice(Data, at(p), at(infoEnd - p)))}), p, infoEnd - p);
  if (infoEnd < end)
    AddBodyNode(tree, sub, Format("STA Profile: %s", {BytesToHex(Slice(Data, at(infoEnd), at(end - infoEnd)))}),
                infoEnd, end - infoEnd);
}

}  // namespace skimlet

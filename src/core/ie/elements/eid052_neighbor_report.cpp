#include "core/ie/elements/eid052_neighbor_report.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/eid061_ht_operation.h"
#include "core/ie/elements/eid070_rm_enabled.h"
#include "core/ie/elements/ht_texts.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

constexpr std::string_view kReachability[] = {"Reserved", "Not Reachable", "Unknown", "Reachable"};

using enum TBitWords;

constexpr TBitField kBSSIDInformation[] = {
    {0, 2, Text, "AP Reachability", kReachability, TBitSuffix::HexValue},
    {2, 1, YesNo, "Security"},
    {3, 1, YesNo, "Key Scope"},
};
constexpr TBitField kCapabilities[] = {
    {4, 1, YesNo, "Spectrum Management"},
    {5, 1, YesNo, "QoS"},
    {6, 1, YesNo, "APSD"},
    {7, 1, YesNo, "Radio Measurement"},
    {8, 1, YesNo, "Delayed Block Ack"},
    {9, 1, YesNo, "Immediate Block Ack"},
};
constexpr TBitField kBSSIDInformationRest[] = {
    {10, 1, YesNo, "Mobility Domain"},
    {11, 1, YesNo, "High Throughput"},
    {12, 20, Reserved},
};

constexpr TKeyAndValue kSubelementNames[] = {
    {1, "TSF Information"},
    {2, "Condensed Country String"},
    {3, "BSS Transition Candidate Preference"},
    {4, "BSS Termination Duration"},
    {5, "Bearing"},
    {45, "HT Capabilities subelement"},
    {61, "HT Operation subelement"},
    {62, "Secondary Channel Offset"},
    {66, "Measurement Pilot Transmission"},
    {70, "RM Enabled Capabilities"},
    {71, "Multiple BSSID"},
    {221, "Vendor Specific"},
};

enum : uint8_t {
  kTSFInformation = 1,
  kCondensedCountryString = 2,
  kHTCapabilities = 45,
  kHTOperation = 61,
  kSecondaryChannelOffset = 62,
  kRMEnabledCapabilities = 70,
};

constexpr int32_t kFixedLength = 13;  // BSSID, BSSID information, operating class, channel, PHY type

// "10240 microseconds (10*TUs, TU=1024 microseconds": the TU form without its closing parenthesis.
std::string TUText(std::string_view label, uint16_t tus) {
  return Format("%s: %d microseconds (%d*TUs, TU=1024 microseconds", {label, static_cast<uint32_t>(tus) * 1024, tus});
}

}  // namespace

// The HT element lines of a subelement's data: a temporary element whose body is the data bytes, placed so
// that its lines point at them.
template <class T>
void TNeighborReportElement::AddHTNodes(TIETree& tree, TIETreeLine parent, uint8_t id, int32_t pos,
                                        int32_t count) const {
  T ht;
  ht.Load(id, Slice(Data, static_cast<size_t>(pos), static_cast<size_t>(count)), Offset + pos);
  ht.AddDetailNodes(tree, parent);
}

void TNeighborReportElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(kFixedLength))) return;
  AddBodyNode(tree, element, Format("BSSID: %s", {BytesToHex(Slice(Data, 0, 6), "-")}), 0, 6);
  AddBSSIDInformationNodes(tree, element);
  uint8_t opClass = Byte(10), channel = Byte(11), phy = Byte(12);
  AddBodyNode(tree, element, Format("Operating Class: %d (0x%.2x)", {opClass, opClass}), 10, 1);
  AddBodyNode(tree, element, Format("Channel Number: %d (0x%.2x)", {channel, channel}), 11, 1);
  AddBodyNode(tree, element, Format("PHY Type: %s (0x%.2x)", {PhyTypeName(phy), phy}), 12, 1);
  if (Length > kFixedLength) AddSubelementNodes(tree, element);
}

void TNeighborReportElement::AddBSSIDInformationNodes(TIETree& tree, TIETreeLine element) const {
  TBitLines field(*this, tree, element, 6, 32, 4);
  TBitLines info = field.Below(Format("BSSID Information: %s (0x%.8x)", {field.AllBits(), field.Value()}));
  info.Draw(kBSSIDInformation);
  info.Under(info.Field(6, 4, "Capabilities")).Draw(kCapabilities);
  info.Draw(kBSSIDInformationRest);
}

void TNeighborReportElement::AddSubelementNodes(TIETree& tree, TIETreeLine element) const {
  int32_t s = kFixedLength;
  while (s < Length && s <= Length - 3) {
    uint8_t id = Byte(static_cast<size_t>(s)), n = Byte(static_cast<size_t>(s + 1));
    if (id == 0) {
      AddBodyNode(tree, element, Format("0x%.2x - %s", {0, "Reserved"}), s, 1);
      s += 1;
      continue;
    }
    std::string_view name = KeyToValue(kSubelementNames, id, "Reserved");
    // A subelement that claims more bytes than the element holds is shown up to the element's end.
    TIETreeLine sub = AddBodyNode(tree, element, std::string(name), s, std::min<int32_t>(n + 2, Length - s));
    AddBodyNode(tree, sub, Format("Subelement ID: %d (%s)", {id, name}), s, 1);
    AddBodyNode(tree, sub, Format("Subelement Length: %d", {n}), s + 1, 1);
    int32_t p = s + 2;
    if (n == 0) {
      s = p;
      continue;
    }
    if (p + n > Length) return;

    // True when the subelement's length is Expected; else false, with the wrong-length line at its length byte.
    auto lengthMustBe = [&](int32_t expected) {
      const TLengthRule rule = TLengthRule::Exactly(expected);
      if (rule.Holds(n)) return true;
      AddBodyNode(tree, sub, rule.Message(), s + 1, 1);
      return false;
    };
    auto dataLines = [&] {
      Bytes data = Slice(Data, static_cast<size_t>(p), n);
      AddBodyNode(tree, sub, Format("Data: %s", {BytesToHex(data)}), p, n);
      AddBodyNode(tree, sub, Format("Text: %s", {BytesToPrintable(data)}), p, n);
    };
    switch (id) {
      case kTSFInformation:
        if (lengthMustBe(4)) {
          AddBodyNode(tree, sub, TUText("TSF Offset", ReadUInt16LE(Data, static_cast<size_t>(p))), p, 2);
          AddBodyNode(tree, sub, TUText("Beacon Interval", ReadUInt16LE(Data, static_cast<size_t>(p + 2))), p + 2, 2);
        }
        break;
      case kCondensedCountryString:
        if (lengthMustBe(2)) {
          std::string country = SSIDBytesToText(Slice(Data, static_cast<size_t>(p), 2));
          AddBodyNode(tree, sub, Format("%s: %s", {name, country}), p, 2);
          AppendText(tree, sub, ": " + country);
        }
        break;
      case kHTCapabilities:
        if (lengthMustBe(26)) AddHTNodes<THTCapabilitiesElement>(tree, sub, kHTCapabilities, p, n);
        break;
      case kHTOperation:
        if (lengthMustBe(22)) AddHTNodes<THTOperationElement>(tree, sub, kHTOperation, p, n);
        break;
      case kSecondaryChannelOffset: {
        uint8_t offset = Byte(static_cast<size_t>(p));
        std::string_view text = IndexToText(offset, httext::kSecondaryChannelOffset, "Unknown");
        AddBodyNode(tree, sub, Format("%s: %s (0x%.2x)", {"Secondary Channel Offset", text, offset}), p, 1);
        AppendText(tree, sub, ": " + std::string(text));
        break;
      }
      case kRMEnabledCapabilities:
        if (lengthMustBe(5)) TRMEnabledCapabiliesElement::AddCapabilityNodes(*this, tree, sub, p);
        break;
      default: dataLines();
    }
    s = p + n;
  }
}

}  // namespace skimlet

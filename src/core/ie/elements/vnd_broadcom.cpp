#include "core/ie/elements/vnd_broadcom.h"

#include "core/base/format.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/ht_texts.h"

namespace skimlet {

namespace {

constexpr std::string_view kControlledAccess[] = {"not only PSMP", "PSMP only"};
constexpr std::string_view kServiceIntervalGranularity[] = {"5 ms",  "10 ms", "15 ms", "20 ms",
                                                            "25 ms", "30 ms", "35 ms", "40 ms"};
constexpr std::string_view kOperatingMode[] = {
    "Pure HT, no protection",
    "There may be  non-HT devices in both  the  control  and  the  extension channel",
    "No non-HT STA is associated in  the  BSS,  however,  at  least  one 20MHz  HT  STA  is  associated",
    "Mixed:  no  non-HT  STA  is associated"};
constexpr std::string_view kNonGFDevicesPresent[] = {"All  HT  devices  that  are associated are GF capable",
                                                     "One or more HT devices that are not GF capable have associated"};
constexpr std::string_view kDualCTSProtection[] = {"Regular use of RTS/CTS", "Dual CTS protection is used"};
constexpr std::string_view kSecondaryBeacon[] = {"Primary Beacon", "Secondary Beacon"};

// Lines about one field of Width bits at body position Pos: the field's diagram is built over all its bits and
// every line covers all its bytes.
struct BitField {
  const TInformationElement& Element;
  TIETree& Tree;
  Bytes Field;
  unsigned Width;
  int32_t Offset;  // blob position of the field

  uint32_t Value(unsigned first, unsigned count) const { return GetBits(Field, first, count); }
  std::string Diagram(unsigned first, unsigned count) const { return BitFieldToText(Field, Width, 8, true, count, first); }
  TIETreeLine Add(TIETreeLine parent, std::string text) const {
    return Element.AddNode(Tree, parent, std::move(text), Offset, static_cast<int32_t>(Width / 8));
  }
  // "diagram - label text" with the field value's text.
  void Text(TIETreeLine parent, unsigned first, unsigned count, std::string_view label,
            std::span<const std::string_view> texts) const {
    Add(parent, Format("%s - %s", {Diagram(first, count), std::string(label) + std::string(IndexToText(Value(first, count), texts, "Unknown"))}));
  }
  // The same with the value behind it: "diagram - label text (0x01)".
  void TextAndValue(TIETreeLine parent, unsigned first, unsigned count, std::string_view label,
                    std::span<const std::string_view> texts) const {
    uint32_t v = Value(first, count);
    Add(parent, Format("%s - %s (0x%.2x)", {Diagram(first, count), std::string(label) + std::string(IndexToText(v, texts, "Unknown")), v}));
  }
  void Reserved(TIETreeLine parent, unsigned first, unsigned count) const {
    Add(parent, Format("%s - %s", {BitRangeToText(Width, 8, true, count, first), "Reserved"}));
  }
};

}  // namespace

void TBroadcomHTCapabilitiesInfoElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(30))) return;
  // The rest is an HT capabilities body: a temporary HT element placed 4 bytes further into the blob shows its
  // fields over the same bytes.
  THTCapabilitiesElement capabilities;
  capabilities.Load(45, Body(4), Offset + 4);
  capabilities.AddDetailNodes(tree, element);
}

void TBroadcomHTAdditionalCapabilitiesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(26))) return;
  uint8_t control = Byte(4);
  AddBodyNode(tree, element, Format("Control Channel: %d (0x%.2x)", {control, control}), 4, 1);
  AddInformationSubsets(tree, element);
  AddBasicMCSSet(tree, element);
}

void TBroadcomHTAdditionalCapabilitiesElement::AddInformationSubsets(TIETree& tree, TIETreeLine element) const {
  auto subset = [&](int32_t pos, unsigned width, int number) {
    BitField f{*this, tree, Slice(Data, static_cast<size_t>(pos), width / 8), width, Offset + 2 + pos};
    TIETreeLine line = f.Add(element, Format("Additional HT Information: %s (0x%.4x) - subset %d",
                                             {BitsToText(f.Field, width, 8, true), f.Value(0, width), number}));
    return std::pair{f, line};
  };

  auto [s1, l1] = subset(5, 8, 1);
  s1.TextAndValue(l1, 0, 2, "Extension Channel Offset: ", httext::kSecondaryChannelOffset);
  s1.Text(l1, 2, 1, "Recommended transmission Width Set: ", httext::kSTAChannelWidth);
  s1.Text(l1, 3, 1, "Reduced Interframe Spacing (RIFS) Mode: ", httext::kRIFSMode);
  s1.Text(l1, 4, 1, "Controlled access only: ", kControlledAccess);
  s1.Text(l1, 5, 3, "Service Interval Granularity: ", kServiceIntervalGranularity);

  auto [s2, l2] = subset(6, 16, 2);
  s2.TextAndValue(l2, 0, 2, "Operating Mode: ", kOperatingMode);
  s2.Text(l2, 2, 1, "Non-GF Devices Present: ", kNonGFDevicesPresent);
  s2.Reserved(l2, 3, 13);

  auto [s3, l3] = subset(8, 16, 3);
  s3.Add(l3, Format("%s - %s: 0x%.2x", {s3.Diagram(0, 7), "Basic STBC MCS", s3.Value(0, 7)}));
  s3.Text(l3, 7, 1, "Dual  CTS Protection: ", kDualCTSProtection);
  s3.Text(l3, 8, 1, "Secondary Beacon: ", kSecondaryBeacon);
  s3.Text(l3, 9, 1, "L-SIG TXOP Protection Full Support: ", httext::kLSIGTXOPProtectionFullSupport);
  s3.Text(l3, 10, 1, "PCO Active: ", httext::kPCOActive);
  s3.Text(l3, 11, 1, "PCO Phase: ", httext::kPCOPhase);
  s3.Reserved(l3, 12, 4);
}

void TBroadcomHTAdditionalCapabilitiesElement::AddBasicMCSSet(TIETree& tree, TIETreeLine element) const {
  constexpr int32_t p = 10;
  TIETreeLine set = AddBodyNode(tree, element, "Basic MCS Set", p, 16);

  TIETreeLine bitmask = AddBodyNode(tree, set, "MCS Bitmask", p, 10);
  Bytes mask = Slice(Data, p, 10);
  for (unsigned i = 0; i <= 76; ++i) {
    Bytes byte = mask.subspan(i / 8, 1);
    unsigned bit = GetBits(mask, i, 1);
    AddBodyNode(tree, bitmask,
                Format("%s - %s", {BitFieldToText(byte, 8, 8, true, 1, i % 8),
                                   Format("MCS Index %d: %s (0x%.2x)", {i, SupportedToText(bit != 0), bit})}),
                p + static_cast<int32_t>(i / 8), 1);
  }
  AddBodyNode(tree, bitmask, Format("%s - %s", {BitRangeToText(8, 8, true, 3, 5), "Reserved"}), p + 9, 1);

  BitField rate{*this, tree, Slice(Data, p + 10, 2), 16, Offset + 2 + p + 10};
  uint32_t highest = rate.Value(0, 10);
  rate.Add(set, Format("%s - %s", {rate.Diagram(0, 10),
                                   highest == 0 ? Format("Rx Highest Supported Data Rate: %s (0x%.4x)", {"Not Specified", 0})
                                                : Format("Rx Highest Supported Data Rate: %d Mbps (0x%.4x)", {highest, highest})}));
  rate.Reserved(set, 10, 6);

  BitField tx{*this, tree, Slice(Data, p + 12, 2), 16, Offset + 2 + p + 12};
  uint32_t defined = tx.Value(0, 1), notEqual = tx.Value(1, 1), streams = tx.Value(2, 2), unequal = tx.Value(4, 1);
  tx.Add(set, Format("%s - %s", {tx.Diagram(0, 1), Format("Tx MCS Set Defined: %s (0x%.2x)", {DefinedToText(defined != 0), defined})}));
  tx.Add(set, Format("%s - %s", {tx.Diagram(1, 1), Format("Tx Rx MCS Set Not Equal: %s (0x%.2x)", {SupportedToText(notEqual != 0), notEqual})}));
  tx.Add(set, Format("%s - %s", {tx.Diagram(2, 2),
                                 defined && notEqual
                                     ? Format("Tx Maximum Number Spatial Streams Supported: %d spatial stream(s) (0x%.2x)", {streams + 1, streams})
                                     : Format("Tx Maximum Number Spatial Streams Supported: %s (0x%.2x)", {"Not Supported", streams})}));
  tx.Add(set, Format("%s - %s", {tx.Diagram(4, 1), Format("Tx Unequal Modulation Supported: %s (0x%.2x)", {SupportedToText(unequal != 0), unequal})}));
  tx.Reserved(set, 5, 11);

  BitField last{*this, tree, Slice(Data, p + 14, 2), 16, Offset + 2 + p + 14};
  last.Reserved(set, 0, 16);
}

void TBroadcomInfoElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(9))) return;
  AddBodyNode(tree, element, Format("# of assoc STAs: %d", {Byte(4)}), 4, 1);

  auto flagsLine = [&](std::string_view label, int32_t pos) {
    BitField f{*this, tree, Slice(Data, static_cast<size_t>(pos), 1), 8, Offset + 2 + pos};
    TIETreeLine line = f.Add(element, Format("%s: %s (0x%.2x)", {label, BitsToText(f.Field, 8, 8, true), f.Value(0, 8)}));
    return std::pair{f, line};
  };
  auto yesNo = [](const BitField& f, TIETreeLine parent, unsigned bit, std::string_view label) {
    f.Add(parent, Format("%s - %s: %s", {f.Diagram(bit, 1), label, YesNoToText(f.Value(bit, 1) != 0)}));
  };

  auto [flags, l1] = flagsLine("Flags", 5);
  flags.Reserved(l1, 0, 2);
  yesNo(flags, l1, 2, "Lazy WDS enabled");
  yesNo(flags, l1, 3, "BlockACK capable");
  flags.Reserved(l1, 4, 4);

  auto [flags1, l2] = flagsLine("Flags1", 6);
  yesNo(flags1, l2, 0, "A-MSDU capable");
  flags1.Reserved(l2, 1, 1);
  static constexpr std::string_view kFlags1[] = {"AP is capable of handling WME + PS w/o APSD",
                                                 "AP has fixed PS mode out-of-order packets", "Device can Rx large aggregates",
                                                 "RFAWARE dynamic channel selection (DCS)", "Configure as Broadcom SOFTAP",
                                                 "DWDS capable"};
  for (unsigned k = 0; k < std::size(kFlags1); ++k) yesNo(flags1, l2, 2 + k, kFlags1[k]);

  AddBodyNode(tree, element, Format("Preferred A-MSDU MTU: %d", {ReadUInt16LE(Data, 7)}), 7, 2);
}

}  // namespace skimlet

#include "core/ie/elements/vnd_atheros.h"

#include "core/base/format.h"

namespace skimlet {

void TAtherosAdvancedCapabilityElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(9))) return;
  AddBodyNode(tree, element, Format("Subtype: %d", {Byte(4)}), 4, 1);
  AddBodyNode(tree, element, Format("Version: %d", {Byte(5)}), 5, 1);
  Bytes field = Slice(Data, 6, 1);
  uint8_t v = field[0];
  TIETreeLine capabilities =
      AddBodyNode(tree, element, Format("Capabilities: %s (0x%.2x)", {BitsToText(field, 8, 8, true), v}), 6, 1);
  static constexpr std::string_view kCapabilities[] = {"Turbo Prime",           "Compression",           "Fast (Jumbo) Frames",
                                                       "Xtended Range support", "Advanced Radar support", "Bursting",
                                                       "CWMin tuning",          "Boost"};
  for (unsigned bit = 0; bit < 8; ++bit)
    AddBodyNode(tree, capabilities,
                Format("%s - %s: %s", {BitFieldToText(field, 8, 8, true, 1, bit), kCapabilities[bit], YesNoToText(IsBitSet(v, bit))}),
                6, 1);
  AddBodyNode(tree, element, Format("Default key index: 0x%.4x", {ReadUInt16LE(Data, 7)}), 7, 2);
}

void TAtherosExtendedRangeElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(23))) return;
  AddBodyNode(tree, element, Format("Subtype: %d", {Byte(4)}), 4, 1);
  AddBodyNode(tree, element, Format("Version: %d", {Byte(5)}), 5, 1);
  AddBodyNode(tree, element, Format("Info: %s (0x%.2x)", {BitsToText(Slice(Data, 6, 1), 8, 8, true), Byte(6)}), 6, 1);
  AddBodyNode(tree, element, Format("Base BSSID: %s", {BytesToHex(Slice(Data, 7, 6), "-")}), 7, 6);
  AddBodyNode(tree, element, Format("Extended Range BSSID: %s", {BytesToHex(Slice(Data, 13, 6), "-")}), 13, 6);
  uint16_t interval = ReadUInt16LE(Data, 19);
  AddBodyNode(tree, element, Format("Extended Range Beacon Interval: %d (0x%.4x)", {interval, interval}), 19, 2);
  AddBodyNode(tree, element, Format("Base Capabilities: %s (0x%.2x)", {BitsToText(Slice(Data, 21, 1), 8, 8, true), Byte(21)}), 21, 1);
  AddBodyNode(tree, element,
              Format("Extended Range Capabilities: %s (0x%.2x)", {BitsToText(Slice(Data, 22, 1), 8, 8, true), Byte(22)}), 22, 1);
}

}  // namespace skimlet

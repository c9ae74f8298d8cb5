#include "core/ie/elements/vnd_atheros.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void TAtherosAdvancedCapabilityElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(9))) return;
  AddBodyNode(tree, element, Format("Subtype: %d", {Byte(4)}), 4, 1);
  AddBodyNode(tree, element, Format("Version: %d", {Byte(5)}), 5, 1);
  static constexpr TBitField kCapabilities[] = {
      {0, 1, TBitWords::YesNo, "Turbo Prime"},
      {1, 1, TBitWords::YesNo, "Compression"},
      {2, 1, TBitWords::YesNo, "Fast (Jumbo) Frames"},
      {3, 1, TBitWords::YesNo, "Xtended Range support"},
      {4, 1, TBitWords::YesNo, "Advanced Radar support"},
      {5, 1, TBitWords::YesNo, "Bursting"},
      {6, 1, TBitWords::YesNo, "CWMin tuning"},
      {7, 1, TBitWords::YesNo, "Boost"},
  };
  TBitLines capabilities(*this, tree, element, 6, 8, 1);
  capabilities.Below(Format("Capabilities: %s (0x%.2x)", {capabilities.AllBits(), capabilities.Value()}))
      .Draw(kCapabilities);
  AddBodyNode(tree, element, Format("Default key index: 0x%.4x", {ReadUInt16LE(Data, 7)}), 7, 2);
}

void TAtherosExtendedRangeElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(23))) return;
  AddBodyNode(tree, element, Format("Subtype: %d", {Byte(4)}), 4, 1);
  AddBodyNode(tree, element, Format("Version: %d", {Byte(5)}), 5, 1);
  // Whole bytes of flags that are shown only as their bits.
  auto flagsLine = [&](const char* label, size_t pos) {
    TBitLines flags(*this, tree, element, pos, 8, 1);
    flags.Add(Format("%s: %s (0x%.2x)", {label, flags.AllBits(), flags.Value()}));
  };
  flagsLine("Info", 6);
  AddBodyNode(tree, element, Format("Base BSSID: %s", {BytesToHex(Slice(Data, 7, 6), "-")}), 7, 6);
  AddBodyNode(tree, element, Format("Extended Range BSSID: %s", {BytesToHex(Slice(Data, 13, 6), "-")}), 13, 6);
  uint16_t interval = ReadUInt16LE(Data, 19);
  AddBodyNode(tree, element, Format("Extended Range Beacon Interval: %d (0x%.4x)", {interval, interval}), 19, 2);
  flagsLine("Base Capabilities", 21);
  flagsLine("Extended Range Capabilities", 22);
}

}  // namespace skimlet

#include "core/ie/elements/ext036_he_operation.h"

#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/vht_base.h"

namespace skimlet {

namespace {
// Body layout: extension ID, 3 bytes of parameters, BSS colour, basic HE-MCS set, then the optional parts.
constexpr size_t kParameters = 1, kBSSColor = 4, kBasicMCSSet = 5, kOptional = 7;
// Parameter bits that announce the optional parts.
constexpr unsigned kVHTInfoPresent = 14, kCoHostedBSS = 15;
}  // namespace

bool THEOperationExtensionsInformationElement::Parse() {
  if (Length < 3) return false;
  // Bit 14 of the parameters lies in body byte 2.
  if (IsBitSet(Data[2], kVHTInfoPresent - 8) && Data.size() >= kOptional + 3) {
    VHTInfoPresent = true;
    ChannelWidth = Data[kOptional];
    CenterSegment0 = Data[kOptional + 1];
    CenterSegment1 = Data[kOptional + 2];
  }
  return true;
}

void THEOperationExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(7).Worded(TLengthWording::AtLeastArrow))) return;
  uint32_t parameters = ReadUInt24LE(Data, kParameters);
  TIETreeLine info = AddBodyNode(tree, element, Format("HE Operation Information: 0x%.6x", {parameters}), kParameters, 3);
  TBitLines p(*this, tree, info, kParameters, 24, 3);
  p.Add(Format("%s - Default PE Duration: %d", {p.Diagram(3, 0), p.Bits(0, 3)}));
  p.Add(Format("%s - TWT Required: %s (%d)", {p.Diagram(1, 3), RequiredToText(p.Bit(3)), p.Bit(3)}));
  p.Add(Format("%s - TXOP Duration RTS Threshold: %d", {p.Diagram(10, 4), p.Bits(4, 10)}));
  p.Add(Format("%s - VHT Operation Information Present: %s (%d)", {p.Diagram(1, 14), YesNoToText(p.Bit(14)), p.Bit(14)}));
  p.Add(Format("%s - Co-Located BSS: %s (%d)", {p.Diagram(1, 15), YesNoToText(p.Bit(15)), p.Bit(15)}));
  p.Add(Format("%s - ER SU Disable: %s (%d)", {p.Diagram(1, 16), YesNoToText(p.Bit(16)), p.Bit(16)}));
  p.Reserved(7, 17);

  TIETreeLine colorLine = AddBodyNode(tree, element, Format("BSS Color Information: (0x%.2x)", {Byte(kBSSColor)}), kBSSColor, 1);
  TBitLines color(*this, tree, colorLine, kBSSColor, 8, 1);
  color.Add(Format("%s - BSS Color: %d", {color.Diagram(6, 0), color.Bits(0, 6)}));
  color.Add(Format("%s - Partial BSS Color: %s (%d)", {color.Diagram(1, 6), YesNoToText(color.Bit(6)), color.Bit(6)}));
  color.Add(Format("%s - BSS Color Disabled: %s (%d)", {color.Diagram(1, 7), YesNoToText(color.Bit(7)), color.Bit(7)}));

  TIETreeLine basic = AddBodyNode(tree, element,
                                  Format("Basic HE-MCS and NSS Set: %s (0x%.4x)",
                                         {BitsToText(Body(kBasicMCSSet), 16, 8, true), ReadUInt16LE(Data, kBasicMCSSet)}),
                                  kBasicMCSSet, 2);
  AddHEMCSMapLines(*this, tree, basic, kBasicMCSSet);

  size_t pos = kOptional;
  if (p.Bit(kVHTInfoPresent)) {
    AddVHTOperationInfoLines(*this, tree, info, pos);
    pos += 3;
  }
  if (p.Bit(kCoHostedBSS))
    AddBodyNode(tree, info, Format("Max Co-Located BSSID Indicator: %d", {Byte(pos)}), static_cast<int32_t>(pos), 1);
}

}  // namespace skimlet

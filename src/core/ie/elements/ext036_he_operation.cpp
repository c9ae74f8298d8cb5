#include "core/ie/elements/ext036_he_operation.h"

#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/vht_base.h"

namespace skimlet {

namespace {
// Body layout: extension ID, 3 bytes of parameters, BSS colour, basic HE-MCS set, then the optional parts.
constexpr size_t kParameters = 1, kBSSColor = 4, kBasicMCSSet = 5, kOptional = 7;
// Parameter bits that announce the optional parts.
constexpr unsigned kVHTInfoPresent = 14, kCoHostedBSS = 15;

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kParameterFields[] = {
    {0, 3, Number, "Default PE Duration"},
    {3, 1, Required, "TWT Required", {}, DecValue},
    {4, 10, Number, "TXOP Duration RTS Threshold"},
    {kVHTInfoPresent, 1, YesNo, "VHT Operation Information Present", {}, DecValue},
    {kCoHostedBSS, 1, YesNo, "Co-Located BSS", {}, DecValue},
    {16, 1, YesNo, "ER SU Disable", {}, DecValue},
    {17, 7, Reserved},
};
constexpr TBitField kBSSColorFields[] = {
    {0, 6, Number, "BSS Color"},
    {6, 1, YesNo, "Partial BSS Color", {}, DecValue},
    {7, 1, YesNo, "BSS Color Disabled", {}, DecValue},
};

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
  TBitLines parameters(*this, tree, element, kParameters, 24, 3);
  TIETreeLine info = parameters.Add(Format("HE Operation Information: 0x%.6x", {parameters.Value()}));
  parameters.Under(info).Draw(kParameterFields);

  TBitLines color(*this, tree, element, kBSSColor, 8, 1);
  color.Below(Format("BSS Color Information: (0x%.2x)", {color.Value()})).Draw(kBSSColorFields);

  TBitLines basic(*this, tree, element, kBasicMCSSet, 16, 2);
  AddHEMCSMapLines(*this, tree, basic.Add(Format("Basic HE-MCS and NSS Set: %s (0x%.4x)", {basic.AllBits(), basic.Value()})),
                   kBasicMCSSet);

  size_t pos = kOptional;
  if (parameters.Bit(kVHTInfoPresent)) {
    AddVHTOperationInfoLines(*this, tree, info, pos);
    pos += 3;
  }
  if (parameters.Bit(kCoHostedBSS))
    AddBodyNode(tree, info, Format("Max Co-Located BSSID Indicator: %d", {Byte(pos)}), static_cast<int32_t>(pos), 1);
}

}  // namespace skimlet

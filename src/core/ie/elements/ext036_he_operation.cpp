#include "core/ie/elements/ext036_he_operation.h"

#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/vht_base.h"

namespace skimlet {

namespace {
// Body layout: extension ID, 3 bytes of parameters, BSS colour, basic HE-MCS set, then the optional parts.
constexpr size_t kParameters = 1, kBSSColor = 4, kBasicMCSSet = 5, kOptional = 7;
// Parameter bits that announce the optional parts.
constexpr unsigned kVHTInfoPresent = 14, kCoHostedBSS = 15, k6GHzInfoPresent = 17;
constexpr size_t k6GHzInfoLength = 5;  // primary channel, control, centre segments 0 and 1, minimum rate

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kParameterFields[] = {
    {0, 3, Number, "Default PE Duration"},
    {3, 1, Required, "TWT Required", {}, DecValue},
    {4, 10, Number, "TXOP Duration RTS Threshold"},
    {kVHTInfoPresent, 1, YesNo, "VHT Operation Information Present", {}, DecValue},
    {kCoHostedBSS, 1, YesNo, "Co-Located BSS", {}, DecValue},
    {16, 1, YesNo, "ER SU Disable", {}, DecValue},
    {k6GHzInfoPresent, 1, YesNo, "6 GHz Operation Information Present", {}, DecValue},
    {18, 6, Reserved},
};
constexpr std::string_view k6GHzChannelWidth[] = {"20 MHz", "40 MHz", "80 MHz", "160/80+80 MHz"};
constexpr TBitField k6GHzControlFields[] = {
    {0, 2, Text, "Channel Width", k6GHzChannelWidth, DecValue},
    {2, 1, YesNo, "Duplicate Beacon", {}, DecValue},
    {3, 3, Number, "Regulatory Info"},
    {6, 2, Reserved},
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
  if (Data.size() >= kBSSColor && IsBitSet(Data[3], k6GHzInfoPresent - 16)) {
    size_t pos =
        kOptional + (IsBitSet(Data[2], kVHTInfoPresent - 8) ? 3 : 0) + (IsBitSet(Data[2], kCoHostedBSS - 8) ? 1 : 0);
    if (Data.size() >= pos + k6GHzInfoLength) {
      Has6GHzInfo = true;
      PrimaryChannel6GHz = Data[pos];
      ChannelWidth6GHz = Data[pos + 1] & 0x03;
      DuplicateBeacon6GHz = IsBitSet(Data[pos + 1], 2);
      RegulatoryInfo6GHz = (Data[pos + 1] >> 3) & 0x07;
      CenterSegment0_6GHz = Data[pos + 2];
      CenterSegment1_6GHz = Data[pos + 3];
      MinimumRate6GHz = Data[pos + 4];
    }
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
  AddHEMCSMapLines(*this, tree,
                   basic.Add(Format("Basic HE-MCS and NSS Set: %s (0x%.4x)", {basic.AllBits(), basic.Value()})),
                   kBasicMCSSet);

  size_t pos = kOptional;
  if (parameters.Bit(kVHTInfoPresent)) {
    AddVHTOperationInfoLines(*this, tree, info, pos);
    pos += 3;
  }
  if (parameters.Bit(kCoHostedBSS)) {
    AddBodyNode(tree, info, Format("Max Co-Located BSSID Indicator: %d", {Byte(pos)}), static_cast<int32_t>(pos), 1);
    pos += 1;
  }
  if (parameters.Bit(k6GHzInfoPresent)) Add6GHzInfoNodes(tree, info, pos);
}

void THEOperationExtensionsInformationElement::Add6GHzInfoNodes(TIETree& tree, TIETreeLine parent, size_t pos) const {
  // A body that ends inside the information throws here: the tree ends with the corrupted line.
  Bytes bytes = Slice(Data, pos, k6GHzInfoLength);
  const auto p = static_cast<int32_t>(pos);
  TIETreeLine info = AddBodyNode(tree, parent, Format("6 GHz Operation Information: %s", {BytesToHex(bytes)}), p,
                                 static_cast<int32_t>(k6GHzInfoLength));
  AddBodyNode(tree, info, Format("Primary Channel: %d", {Byte(pos)}), p, 1);
  TBitLines control(*this, tree, info, pos + 1, 8, 1);
  control.Under(control.Add(Format("Control: %s (0x%.2x)", {control.AllBits(), control.Value()})))
      .Draw(k6GHzControlFields);
  AddBodyNode(tree, info, Format("Channel Center Frequency Segment 0: %d", {Byte(pos + 2)}), p + 2, 1);
  AddBodyNode(tree, info, Format("Channel Center Frequency Segment 1: %d", {Byte(pos + 3)}), p + 3, 1);
  AddBodyNode(tree, info, Format("Minimum Rate: %d Mbps", {Byte(pos + 4)}), p + 4, 1);
}

}  // namespace skimlet

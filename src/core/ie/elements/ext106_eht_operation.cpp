#include "core/ie/elements/ext106_eht_operation.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {
// Body layout: extension ID, parameters, basic EHT-MCS and NSS set, then the optional operation information
// (control, CCFS0, CCFS1, and the disabled subchannel bitmap when announced).
constexpr size_t kParameters = 1, kBasicSet = 2, kInfo = 6, kInfoLength = 3, kBitmapLength = 2;
constexpr unsigned kInfoPresent = 0, kBitmapPresent = 1;

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kParameterFields[] = {
    {kInfoPresent, 1, YesNo, "EHT Operation Information Present", {}, DecValue},
    {kBitmapPresent, 1, YesNo, "Disabled Subchannel Bitmap Present", {}, DecValue},
    {2, 1, YesNo, "EHT Default PE Duration", {}, DecValue},
    {3, 1, YesNo, "Group Addressed BU Indication Limit", {}, DecValue},
    {4, 2, Number, "Group Addressed BU Indication Exponent"},
    {6, 2, Reserved},
};
constexpr TBitField kBasicSetFields[] = {
    {0, 4, Number, "Rx Max NSS That Supports EHT-MCS 0-7"},
    {4, 4, Number, "Tx Max NSS That Supports EHT-MCS 0-7"},
    {8, 4, Number, "Rx Max NSS That Supports EHT-MCS 8-9"},
    {12, 4, Number, "Tx Max NSS That Supports EHT-MCS 8-9"},
    {16, 4, Number, "Rx Max NSS That Supports EHT-MCS 10-11"},
    {20, 4, Number, "Tx Max NSS That Supports EHT-MCS 10-11"},
    {24, 4, Number, "Rx Max NSS That Supports EHT-MCS 12-13"},
    {28, 4, Number, "Tx Max NSS That Supports EHT-MCS 12-13"},
};
constexpr std::string_view kChannelWidth[] = {"20 MHz", "40 MHz", "80 MHz", "160 MHz", "320 MHz"};
constexpr TBitField kControlFields[] = {
    {0, 3, Text, "Channel Width", kChannelWidth, DecValue},
    {3, 5, Reserved},
};
}  // namespace

int TEHTOperationExtensionsInformationElement::ChannelWidthMHz() const {
  return HasOperationInfo && ChannelWidth <= 4 ? 20 << ChannelWidth : 0;
}

bool TEHTOperationExtensionsInformationElement::Parse() {
  if (Data.size() < kInfo) return true;
  Parameters = Data[kParameters];
  BasicEHTMCSAndNSSSet = ReadUInt32LE(Data, kBasicSet);
  if (IsBitSet(Parameters, kInfoPresent) && Data.size() >= kInfo + kInfoLength) {
    HasOperationInfo = true;
    ChannelWidth = Data[kInfo] & 0x07;
    CenterSegment0 = Data[kInfo + 1];
    CenterSegment1 = Data[kInfo + 2];
    if (IsBitSet(Parameters, kBitmapPresent) && Data.size() >= kInfo + kInfoLength + kBitmapLength) {
      HasDisabledSubchannelBitmap = true;
      DisabledSubchannelBitmap = ReadUInt16LE(Data, kInfo + kInfoLength);
    }
  }
  return true;
}

void TEHTOperationExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(static_cast<int32_t>(kInfo)))) return;
  TBitLines parameters(*this, tree, element, kParameters, 8, 1);
  parameters
      .Under(
          parameters.Add(Format("EHT Operation Parameters: %s (0x%.2x)", {parameters.AllBits(), parameters.Value()})))
      .Draw(kParameterFields);
  TBitLines basic(*this, tree, element, kBasicSet, 32, 4);
  basic.Under(basic.Add(Format("Basic EHT-MCS And NSS Set: 0x%.8x", {basic.Value()}))).Draw(kBasicSetFields);
  if (!parameters.Bit(kInfoPresent)) return;

  const size_t length = kInfoLength + (parameters.Bit(kBitmapPresent) ? kBitmapLength : 0);
  // A body that ends inside the information throws here: the tree ends with the corrupted line.
  Bytes bytes = Slice(Data, kInfo, length);
  constexpr auto p = static_cast<int32_t>(kInfo);
  TIETreeLine info = AddBodyNode(tree, element, Format("EHT Operation Information: %s", {BytesToHex(bytes)}), p,
                                 static_cast<int32_t>(length));
  TBitLines control(*this, tree, info, kInfo, 8, 1);
  control.Under(control.Add(Format("Control: %s (0x%.2x)", {control.AllBits(), control.Value()}))).Draw(kControlFields);
  AddBodyNode(tree, info, Format("Channel Center Frequency Segment 0: %d", {Byte(kInfo + 1)}), p + 1, 1);
  AddBodyNode(tree, info, Format("Channel Center Frequency Segment 1: %d", {Byte(kInfo + 2)}), p + 2, 1);
  if (parameters.Bit(kBitmapPresent)) {
    TBitLines bitmap(*this, tree, info, kInfo + kInfoLength, 16, 2);
    bitmap.Add(Format("Disabled Subchannel Bitmap: %s (0x%.4x)", {bitmap.AllBits(), bitmap.Value()}));
  }
}

}  // namespace skimlet

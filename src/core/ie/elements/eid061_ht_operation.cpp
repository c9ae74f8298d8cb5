#include "core/ie/elements/eid061_ht_operation.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using Texts = std::span<const std::string_view>;

constexpr std::string_view kSecondaryChannelOffset[] = {
    "No secondary channel is present", "Secondary channel is above the primary channel", "Reserved",
    "Secondary channel is below the primary channel"};
constexpr std::string_view kSTAChannelWidth[] = {"20 MHz channel width", "Any channel width"};
constexpr std::string_view kRIFSMode[] = {"RIFS is prohibited", "RIFS is permitted"};
constexpr std::string_view kHTProtection[] = {"No protection mode", "Nonmember protection mode",
                                              "20 MHz protection mode", "Non-HT mixed mode"};
constexpr std::string_view kNongreenfield[] = {
    "All HT STAs that are associated are HT-greenfield capable or all HT peer mesh STAs are HT-greenfield capable",
    "One or more HT STAs that are not HT-greenfield capable are associated or one or more HT peer mesh STAs are not "
    "HT-greenfield capable"};
constexpr std::string_view kOBSSNonHT[] = {
    "Use of protection for non-HT STAs by OBSSs is determined to be not required",
    "Use of protection for non-HT STAs by OBSSs is determined to be desirable"};
constexpr std::string_view kDualBeacon[] = {"No STBC beacon is transmitted", "An STBC beacon is transmitted by the AP"};
constexpr std::string_view kDualCTS[] = {"Dual CTS protection is not required", "Dual CTS protection is required"};
constexpr std::string_view kSTBCBeacon[] = {"Primary beacon", "STBC beacon"};
constexpr std::string_view kLSIGTXOP[] = {"One or more HT STA in the BSS do not support L-SIG TXOP protection",
                                          "All HT STA in the BSS support L-SIG TXOP protection"};
constexpr std::string_view kPCOActive[] = {"PCO is not active in the BSS", "PCO is active in the BSS"};
constexpr std::string_view kPCOPhase[] = {"Indicates switch to or continue 20 MHz phase",
                                          "Indicates switch to or continue 40 MHz phase"};

// "diagram - Label: text" for a one-bit field shown through its two texts.
void AddTextBit(const TBitLines& lines, unsigned bit, std::string_view label, Texts texts) {
  lines.Field(1, bit, Format("%s%s", {label, IndexToText(lines.Bits(bit, 1), texts, "Unknown")}));
}

}  // namespace

bool THTOperationElement::Parse() {
  if (Length >= 1) PrimaryChannel = Data[0];
  if (Length >= 2) {
    SecondaryChannelOffset = Data[1] & 0x03;
    Only20MHz = !IsBitSet(Data[1], 2);
  }
  return true;
}

void THTOperationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(22))) return;
  AddBodyNode(tree, element, Format("Primary Channel: %d (0x%.2x)", {Byte(0), Byte(0)}), 0, 1);

  // The five bytes of operation information, shown as three subsets of 8, 16 and 16 bits.
  uint8_t subset1 = Byte(1);
  TBitLines info1(*this, tree,
                  AddBodyNode(tree, element,
                              Format("HT Operation Information: %s (0x%.2x) - subset %d (%d-%d bits)",
                                     {BitsToText(Body(1), 8, 8, true), subset1, 1, 0, 7}),
                              1, 1),
                  1, 8, 1);
  uint32_t offset = info1.Bits(0, 2);
  info1.Add(Format("%s - %s (%d)", {info1.Diagram(2, 0),
                                    Format("Secondary Channel Offset: %s",
                                           {IndexToText(offset, kSecondaryChannelOffset, "Unknown")}),
                                    offset}));
  AddTextBit(info1, 2, "STA Channel Width: ", kSTAChannelWidth);
  AddTextBit(info1, 3, "Reduced Interframe Spacing (RIFS) Mode: ", kRIFSMode);
  info1.Reserved(4, 4);

  uint16_t subset2 = ReadUInt16LE(Data, 2);
  TBitLines info2(*this, tree,
                  AddBodyNode(tree, element,
                              Format("HT Operation Information: %s (0x%.4x) - subset %d (%d-%d bits)",
                                     {BitsToText(Body(2), 16, 8, true), subset2, 2, 8, 23}),
                              2, 2),
                  2, 16, 2);
  uint32_t protection = info2.Bits(0, 2);
  info2.Add(Format("%s - %s (%d)",
                   {info2.Diagram(2, 0),
                    Format("HT Protection: %s", {IndexToText(protection, kHTProtection, "Unknown")}), protection}));
  AddTextBit(info2, 2, "Nongreenfield HT STAs Present: ", kNongreenfield);
  info2.Reserved(1, 3);
  AddTextBit(info2, 4, "OBSS Non-HT STAs Present: ", kOBSSNonHT);
  info2.Field(8, 5, Format("Channel Center Frequency Segment 2: %d", {info2.Bits(5, 8)}));
  info2.Reserved(3, 13);

  uint16_t subset3 = ReadUInt16LE(Data, 4);
  TBitLines info3(*this, tree,
                  AddBodyNode(tree, element,
                              Format("HT Operation Information: %s (0x%.4x) - subset %d (%d-%d bits)",
                                     {BitsToText(Body(4), 16, 8, true), subset3, 3, 24, 39}),
                              4, 2),
                  4, 16, 2);
  info3.Reserved(6, 0);
  AddTextBit(info3, 6, "Dual Beacon: ", kDualBeacon);
  AddTextBit(info3, 7, "Dual CTS Protection: ", kDualCTS);
  AddTextBit(info3, 8, "STBC Beacon: ", kSTBCBeacon);
  AddTextBit(info3, 9, "L-SIG TXOP Protection Full Support: ", kLSIGTXOP);
  AddTextBit(info3, 10, "PCO Active: ", kPCOActive);
  AddTextBit(info3, 11, "PCO Phase: ", kPCOPhase);
  info3.Reserved(4, 12);

  AddMCSSetNodes(tree, AddBodyNode(tree, element, "Basic HT-MCS Set", 6, 16), 6);
}

}  // namespace skimlet

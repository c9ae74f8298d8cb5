#include "core/ie/elements/eid061_ht_operation.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/ht_texts.h"

namespace skimlet {

namespace {

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

using enum TBitWords;
using enum TBitSuffix;

// The five bytes of operation information, shown as three subsets of 8, 16 and 16 bits.
constexpr TBitField kSubset1[] = {
    {0, 2, Text, "Secondary Channel Offset", httext::kSecondaryChannelOffset, DecValue},
    {2, 1, Text, "STA Channel Width", httext::kSTAChannelWidth},
    {3, 1, Text, "Reduced Interframe Spacing (RIFS) Mode", httext::kRIFSMode},
    {4, 4, Reserved},
};
constexpr TBitField kSubset2[] = {
    {0, 2, Text, "HT Protection", kHTProtection, DecValue},
    {2, 1, Text, "Nongreenfield HT STAs Present", kNongreenfield},
    {3, 1, Reserved},
    {4, 1, Text, "OBSS Non-HT STAs Present", kOBSSNonHT},
    {5, 8, Number, "Channel Center Frequency Segment 2"},
    {13, 3, Reserved},
};
constexpr TBitField kSubset3[] = {
    {0, 6, Reserved},
    {6, 1, Text, "Dual Beacon", kDualBeacon},
    {7, 1, Text, "Dual CTS Protection", kDualCTS},
    {8, 1, Text, "STBC Beacon", kSTBCBeacon},
    {9, 1, Text, "L-SIG TXOP Protection Full Support", httext::kLSIGTXOPProtectionFullSupport},
    {10, 1, Text, "PCO Active", httext::kPCOActive},
    {11, 1, Text, "PCO Phase", httext::kPCOPhase},
    {12, 4, Reserved},
};

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

  struct Subset {
    size_t Pos;
    unsigned Width, FirstBit;
    std::span<const TBitField> Fields;
  };
  int number = 0;
  for (const Subset& subset : {Subset{1, 8, 0, kSubset1}, Subset{2, 16, 8, kSubset2}, Subset{4, 16, 24, kSubset3}}) {
    TBitLines value(*this, tree, element, subset.Pos, subset.Width, static_cast<int32_t>(subset.Width / 8));
    const char* format = subset.Width == 8 ? "HT Operation Information: %s (0x%.2x) - subset %d (%d-%d bits)"
                                           : "HT Operation Information: %s (0x%.4x) - subset %d (%d-%d bits)";
    value
        .Below(Format(format,
                      {value.AllBits(), value.Value(), ++number, subset.FirstBit, subset.FirstBit + subset.Width - 1}))
        .Draw(subset.Fields);
  }

  AddMCSSetNodes(tree, AddBodyNode(tree, element, "Basic HT-MCS Set", 6, 16), 6);
}

}  // namespace skimlet

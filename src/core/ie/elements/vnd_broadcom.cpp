#include "core/ie/elements/vnd_broadcom.h"

#include <tuple>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/ht_texts.h"

namespace skimlet {

namespace {

constexpr std::string_view kControlledAccess[] = {"not only PSMP", "PSMP only"};
constexpr std::string_view kServiceIntervalGranularity[] = {"5 ms",  "10 ms", "15 ms", "20 ms",
                                                            "25 ms", "30 ms", "35 ms", "40 ms"};
constexpr std::string_view kOperatingMode[] = {
    "Pure HT, no protection", "There may be  non-HT devices in both  the  control  and  the  extension channel",
    "No non-HT STA is associated in  the  BSS,  however,  at  least  one 20MHz  HT  STA  is  associated",
    "Mixed:  no  non-HT  STA  is associated"};
constexpr std::string_view kNonGFDevicesPresent[] = {"All  HT  devices  that  are associated are GF capable",
                                                     "One or more HT devices that are not GF capable have associated"};
constexpr std::string_view kDualCTSProtection[] = {"Regular use of RTS/CTS", "Dual CTS protection is used"};
constexpr std::string_view kSecondaryBeacon[] = {"Primary Beacon", "Secondary Beacon"};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kSubset1[] = {
    {0, 2, Text, "Extension Channel Offset", httext::kSecondaryChannelOffset, HexValue},
    {2, 1, Text, "Recommended transmission Width Set", httext::kSTAChannelWidth},
    {3, 1, Text, "Reduced Interframe Spacing (RIFS) Mode", httext::kRIFSMode},
    {4, 1, Text, "Controlled access only", kControlledAccess},
    {5, 3, Text, "Service Interval Granularity", kServiceIntervalGranularity},
};
constexpr TBitField kSubset2[] = {
    {0, 2, Text, "Operating Mode", kOperatingMode, HexValue},
    {2, 1, Text, "Non-GF Devices Present", kNonGFDevicesPresent},
    {3, 13, Reserved},
};
constexpr TBitField kSubset3[] = {
    {0, 7, Hex, "Basic STBC MCS"},
    {7, 1, Text, "Dual  CTS Protection", kDualCTSProtection},
    {8, 1, Text, "Secondary Beacon", kSecondaryBeacon},
    {9, 1, Text, "L-SIG TXOP Protection Full Support", httext::kLSIGTXOPProtectionFullSupport},
    {10, 1, Text, "PCO Active", httext::kPCOActive},
    {11, 1, Text, "PCO Phase", httext::kPCOPhase},
    {12, 4, Reserved},
};

constexpr TBitField kTxMCSSet[] = {
    {0, 1, Defined, "Tx MCS Set Defined", {}, HexValue},
    {1, 1, Supported, "Tx Rx MCS Set Not Equal", {}, HexValue},
};
constexpr TBitField kTxUnequalModulation[] = {
    {4, 1, Supported, "Tx Unequal Modulation Supported", {}, HexValue},
    {5, 11, Reserved},
};

constexpr TBitField kFlags[] = {
    {0, 2, Reserved},
    {2, 1, YesNo, "Lazy WDS enabled"},
    {3, 1, YesNo, "BlockACK capable"},
    {4, 4, Reserved},
};
constexpr TBitField kFlags1[] = {
    {0, 1, YesNo, "A-MSDU capable"},
    {1, 1, Reserved},
    {2, 1, YesNo, "AP is capable of handling WME + PS w/o APSD"},
    {3, 1, YesNo, "AP has fixed PS mode out-of-order packets"},
    {4, 1, YesNo, "Device can Rx large aggregates"},
    {5, 1, YesNo, "RFAWARE dynamic channel selection (DCS)"},
    {6, 1, YesNo, "Configure as Broadcom SOFTAP"},
    {7, 1, YesNo, "DWDS capable"},
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
  struct Subset {
    size_t Pos;
    unsigned Width;
    std::span<const TBitField> Fields;
  };
  int number = 0;
  for (const Subset& subset : {Subset{5, 8, kSubset1}, Subset{6, 16, kSubset2}, Subset{8, 16, kSubset3}}) {
    TBitLines value(*this, tree, element, subset.Pos, subset.Width, static_cast<int32_t>(subset.Width / 8));
    value
        .Below(Format("Additional HT Information: %s (0x%.4x) - subset %d", {value.AllBits(), value.Value(), ++number}))
        .Draw(subset.Fields);
  }
}

void TBroadcomHTAdditionalCapabilitiesElement::AddBasicMCSSet(TIETree& tree, TIETreeLine element) const {
  constexpr int32_t p = 10;
  TIETreeLine set = AddBodyNode(tree, element, "Basic MCS Set", p, 16);

  TIETreeLine bitmask = AddBodyNode(tree, set, "MCS Bitmask", p, 10);
  for (unsigned k = 0; k < 10; ++k) {
    TBitLines byte(*this, tree, bitmask, p + k, 8, 1);
    for (unsigned bit = 0; bit < 8 && 8 * k + bit <= 76; ++bit) {
      unsigned set = byte.Bit(bit);
      byte.Field(1, bit, Format("MCS Index %d: %s (0x%.2x)", {8 * k + bit, SupportedToText(set != 0), set}));
    }
    if (k == 9) byte.Reserved(3, 5);
  }

  TBitLines rate(*this, tree, set, p + 10, 16, 2);
  uint32_t highest = rate.Bits(0, 10);
  rate.Field(10, 0,
             highest == 0 ? Format("Rx Highest Supported Data Rate: %s (0x%.4x)", {"Not Specified", 0})
                          : Format("Rx Highest Supported Data Rate: %d Mbps (0x%.4x)", {highest, highest}));
  rate.Reserved(6, 10);

  TBitLines tx(*this, tree, set, p + 12, 16, 2);
  uint32_t defined = tx.Bits(0, 1), notEqual = tx.Bits(1, 1), streams = tx.Bits(2, 2);
  tx.Draw(kTxMCSSet);
  tx.Field(
      2, 2,
      defined && notEqual
          ? Format("Tx Maximum Number Spatial Streams Supported: %d spatial stream(s) (0x%.2x)", {streams + 1, streams})
          : Format("Tx Maximum Number Spatial Streams Supported: %s (0x%.2x)", {"Not Supported", streams}));
  tx.Draw(kTxUnequalModulation);

  TBitLines(*this, tree, set, p + 14, 16, 2).Reserved(16, 0);
}

void TBroadcomInfoElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(9))) return;
  AddBodyNode(tree, element, Format("# of assoc STAs: %d", {Byte(4)}), 4, 1);

  for (auto [label, pos, fields] :
       {std::tuple<const char*, size_t, std::span<const TBitField>>{"Flags", 5, kFlags}, {"Flags1", 6, kFlags1}}) {
    TBitLines flags(*this, tree, element, pos, 8, 1);
    flags.Below(Format("%s: %s (0x%.2x)", {label, flags.AllBits(), flags.Value()})).Draw(fields);
  }

  AddBodyNode(tree, element, Format("Preferred A-MSDU MTU: %d", {ReadUInt16LE(Data, 7)}), 7, 2);
}

}  // namespace skimlet

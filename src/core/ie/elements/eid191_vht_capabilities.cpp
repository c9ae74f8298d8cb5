#include "core/ie/elements/eid191_vht_capabilities.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr std::string_view kMaxMPDULength[] = {"3895 octets", "7991 octets", "11 454 octets", "Reserved"};
constexpr std::string_view kChannelWidthSet[] = {"No support either 160 or 80+80 MHz", "Support 160 MHz",
                                                 "Support 160 MHz and 80+80 MHz", "Reserved"};
constexpr std::string_view kRxSTBC[] = {"No support",
                                        "Support of one spatial stream",
                                        "Support of one and two spatial streams",
                                        "support of one, two, and three spatial streams",
                                        "support of one, two, three, and four spatial streams",
                                        "Reserved",
                                        "Reserved",
                                        "Reserved"};
constexpr std::string_view kLinkAdaptation[] = {"No Feedback (STA does not provide VHT MFB)", "Reserved",
                                                "Unsolicited (STA provides only unsolicited VHT MFB)",
                                                "Both (STA can provide VHT MFB in response to VHT MRQ)"};
constexpr std::string_view kRxAntennaPattern[] = {
    "Receive antenna pattern might change during the lifetime of the current association",
    "Receive antenna pattern does not change during the lifetime of the current association"};
constexpr std::string_view kTxAntennaPattern[] = {
    "Transmit antenna pattern might change during the lifetime of the current association",
    "Transmit antenna pattern does not change during the lifetime of the current association"};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kInfoToBeamformee[] = {
    {0, 2, Text, "Maximum MPDU Length", kMaxMPDULength, DecValue},
    {2, 2, Text, "Supported Channel Width Set", kChannelWidthSet, DecValue},
    {4, 1, Supported, "Rx LDPC"},
    {5, 1, Supported, "Short GI for 80 MHz"},
    {6, 1, Supported, "Short GI for 160 and 80+80 MHz"},
    {7, 1, Supported, "Tx STBC"},
    {8, 3, Text, "Rx STBC", kRxSTBC, DecValue},
    {11, 1, Supported, "SU Beamformer Capable"},
    {12, 1, Supported, "SU Beamformee Capable"},
};
constexpr TBitField kInfoToHTC[] = {
    {19, 1, Supported, "MU Beamformer Capable"},
    {20, 1, Supported, "MU Beamformee Capable"},
    {21, 1, Supported, "TXOP PS"},
    {22, 1, Supported, "+HTC-VHT Capable"},
};
// Shown only when +HTC-VHT is supported.
constexpr TBitField kLinkAdaptationField = {26, 2, Text, "VHT Link Adaptation Capable", kLinkAdaptation, HexValue};
constexpr TBitField kNoLinkAdaptation = {26, 2, Reserved};
constexpr TBitField kInfoFromAntennaPattern[] = {
    {28, 1, Text, "Rx Antenna Pattern Consistency", kRxAntennaPattern},
    {29, 1, Text, "Tx Antenna Pattern Consistency", kTxAntennaPattern},
    {30, 2, Number, "Extended NSS BW Support"},
};
constexpr TBitField kMaximumNSTS = {13, 3, Number, "Maximum NSTS,total", {}, HexValue};
constexpr TBitField kTxHighestRateRest[] = {
    {13, 1, Capable, "VHT Extended NSS BW Capable"},
    {14, 2, Reserved},
};

}  // namespace

bool TVHTCapabilitiesElement::Parse() {
  if (Length < 1) return false;
  ShortGI80 = IsBitSet(Data[0], 5);
  ShortGI160 = IsBitSet(Data[0], 6);
  if (Length >= 6) RxVHTMCSMap = ReadUInt16LE(Data, 4);
  if (Length >= 10) TxVHTMCSMap = ReadUInt16LE(Data, 8);
  return true;
}

void TVHTCapabilitiesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(12))) return;
  TBitLines info(*this, tree, element, 0, 32, 4);
  TBitLines cap = info.Below(Format("VHT Capabilities Info: %s (0x%.8x)", {info.AllBits(), info.Value()}));
  // A count field that holds the count minus one, present only when its capability bit is set.
  auto countPlusOne = [&](unsigned first, bool present, std::string_view label) {
    if (!present) return cap.Reserved(3, first);
    uint32_t v = cap.Bits(first, 3);
    return cap.Field(3, first, Format("%s%d (%d)", {label, v + 1, v}));
  };
  cap.Draw(kInfoToBeamformee);
  countPlusOne(13, cap.Bit(12), "Beamformee STS Capability: ");
  countPlusOne(16, cap.Bit(11), "Number of Sounding Dimensions: ");
  cap.Draw(kInfoToHTC);
  uint32_t exponent = cap.Bits(23, 3);
  cap.Field(
      3, 23,
      Format("Maximum A-MPDU Length Exponent: %d octets (0x%.2x)", {(uint32_t{1} << (13 + exponent)) - 1, exponent}));
  cap.Draw(cap.Bit(22) ? kLinkAdaptationField : kNoLinkAdaptation);
  cap.Draw(kInfoFromAntennaPattern);

  TIETreeLine set = AddBodyNode(tree, element, "Supported VHT-MCS and NSS Set", 4, 8);
  auto addMap = [&](size_t pos, const char* format) {
    TBitLines map(*this, tree, set, pos, 16, 2);
    AddMCSMapLines(*this, tree, map.Add(Format(format, {map.AllBits(), map.Value()})), pos);
  };
  // The highest long-GI data rate in bits 0-12 of the word; 0 leaves it unspecified.
  auto addHighestRate = [&](const TBitLines& word, const char* label, const char* format) {
    uint32_t rate = word.Bits(0, 13);
    std::string text = rate != 0 ? Format("%s: %d Mbps", {label, rate}) : Format("%s: %s", {label, "Not Specified"});
    word.Add(Format(format, {word.Diagram(13, 0), text, rate}));
  };

  addMap(4, "Rx VHT-MCS Map: %s (0x%.2x)");
  TBitLines rx(*this, tree, set, 6, 16, 2);
  addHighestRate(rx, "Rx Highest Supported Long GI Data Rate", "%s - %s (0x%.2x)");
  rx.Draw(kMaximumNSTS);
  addMap(8, "Tx VHT-MCS Map: %s (0x%.2x)");
  TBitLines tx(*this, tree, set, 10, 16, 2);
  addHighestRate(tx, "Tx Highest Supported Long GI Data Rate", "%s - %s  (0x%.2x)");
  tx.Draw(kTxHighestRateRest);
}

}  // namespace skimlet

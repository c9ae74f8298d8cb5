#include "core/ie/elements/eid191_vht_capabilities.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using Texts = std::span<const std::string_view>;

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
  uint32_t info = ReadUInt32LE(Data, 0);
  TBitLines cap(*this, tree,
                AddBodyNode(tree, element,
                            Format("VHT Capabilities Info: %s (0x%.8x)", {BitsToText(Body(0), 32, 8, true), info}), 0, 4),
                0, 32, 4);
  auto valued = [&](unsigned first, unsigned length, std::string_view label, Texts texts) {
    uint32_t v = cap.Bits(first, length);
    cap.Add(Format("%s - %s (%d)",
                   {cap.Diagram(length, first), Format("%s%s", {label, IndexToText(v, texts, "Unknown")}), v}));
  };
  auto supported = [&](unsigned bit, std::string_view label) {
    cap.Field(1, bit, Format("%s%s", {label, SupportedToText(cap.Bit(bit))}));
  };
  auto textBit = [&](unsigned bit, std::string_view label, Texts texts) {
    cap.Field(1, bit, Format("%s%s", {label, IndexToText(cap.Bits(bit, 1), texts, "Unknown")}));
  };
  // A count field that holds the count minus one, present only when its capability bit is set.
  auto countPlusOne = [&](unsigned first, bool present, std::string_view label) {
    if (!present) return cap.Reserved(3, first);
    uint32_t v = cap.Bits(first, 3);
    return cap.Add(Format("%s - %s (%d)", {cap.Diagram(3, first), Format("%s%d", {label, v + 1}), v}));
  };
  valued(0, 2, "Maximum MPDU Length: ", kMaxMPDULength);
  valued(2, 2, "Supported Channel Width Set: ", kChannelWidthSet);
  supported(4, "Rx LDPC: ");
  supported(5, "Short GI for 80 MHz: ");
  supported(6, "Short GI for 160 and 80+80 MHz: ");
  supported(7, "Tx STBC: ");
  valued(8, 3, "Rx STBC: ", kRxSTBC);
  supported(11, "SU Beamformer Capable: ");
  supported(12, "SU Beamformee Capable: ");
  countPlusOne(13, cap.Bit(12), "Beamformee STS Capability: ");
  countPlusOne(16, cap.Bit(11), "Number of Sounding Dimensions: ");
  supported(19, "MU Beamformer Capable: ");
  supported(20, "MU Beamformee Capable: ");
  supported(21, "TXOP PS: ");
  supported(22, "+HTC-VHT Capable: ");
  uint32_t exponent = cap.Bits(23, 3);
  cap.Add(Format("%s - %s (0x%.2x)",
                 {cap.Diagram(3, 23),
                  Format("Maximum A-MPDU Length Exponent: %d octets", {(uint32_t{1} << (13 + exponent)) - 1}), exponent}));
  if (cap.Bit(22)) {
    uint32_t v = cap.Bits(26, 2);
    cap.Add(Format("%s - %s (0x%.2x)",
                   {cap.Diagram(2, 26),
                    Format("VHT Link Adaptation Capable: %s", {IndexToText(v, kLinkAdaptation, "Unknown")}), v}));
  } else {
    cap.Reserved(2, 26);
  }
  textBit(28, "Rx Antenna Pattern Consistency: ", kRxAntennaPattern);
  textBit(29, "Tx Antenna Pattern Consistency: ", kTxAntennaPattern);
  cap.Field(2, 30, Format("Extended NSS BW Support: %d", {cap.Bits(30, 2)}));

  TIETreeLine set = AddBodyNode(tree, element, "Supported VHT-MCS and NSS Set", 4, 8);
  auto addMap = [&](size_t pos, const char* format) {
    TIETreeLine line = AddBodyNode(tree, set, Format(format, {BitsToText(Body(pos), 16, 8, true), ReadUInt16LE(Data, pos)}),
                                   static_cast<int32_t>(pos), 2);
    AddMCSMapLines(*this, tree, line, pos);
  };
  // The highest long-GI data rate in bits 0-12 of the word at Pos; 0 leaves it unspecified.
  auto addHighestRate = [&](const TBitLines& word, const char* label, const char* format) {
    uint32_t rate = word.Bits(0, 13);
    std::string text = rate != 0 ? Format("%s: %d Mbps", {label, rate}) : Format("%s: %s", {label, "Not Specified"});
    word.Add(Format(format, {word.Diagram(13, 0), text, rate}));
  };

  addMap(4, "Rx VHT-MCS Map: %s (0x%.2x)");
  TBitLines rx(*this, tree, set, 6, 16, 2);
  addHighestRate(rx, "Rx Highest Supported Long GI Data Rate", "%s - %s (0x%.2x)");
  uint32_t nsts = rx.Bits(13, 3);
  rx.Add(Format("%s - Maximum NSTS,total: %d (0x%.2x)", {rx.Diagram(3, 13), nsts, nsts}));
  addMap(8, "Tx VHT-MCS Map: %s (0x%.2x)");
  TBitLines tx(*this, tree, set, 10, 16, 2);
  addHighestRate(tx, "Tx Highest Supported Long GI Data Rate", "%s - %s  (0x%.2x)");
  tx.Field(1, 13, Format("VHT Extended NSS BW Capable: %s", {CapableToText(tx.Bit(13))}));
  tx.Reserved(2, 14);
}

}  // namespace skimlet

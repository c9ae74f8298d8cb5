#include "core/ie/elements/eid045_ht_capabilities.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using Texts = std::span<const std::string_view>;

constexpr std::string_view kChannelWidthSet[] = {"Only 20 MHz operation is supported",
                                                 "Both 20 MHz and 40 MHz operation is supported"};
constexpr std::string_view kSMPowerSave[] = {"Static SM power save mode", "Dynamic SM power save mode", "Reserved",
                                             "SM Power Save disabled or not supported"};
constexpr std::string_view kRxSTBC[] = {"No support", "Support of one spatial stream",
                                        "Support of one and two spatial streams",
                                        "Support of one, two and three spatial streams"};
constexpr std::string_view kMaxAMSDULength[] = {"3839 octets", "7935 octets"};
constexpr std::string_view kDSSSCCK40[] = {"Does not allow use of DSSS/CCK in 40 MHz",
                                           "Does allow use of DSSS/CCK in 40 MHz"};
constexpr std::string_view kFortyMHzIntolerant[] = {"Use of 40 MHz transmissions allowed",
                                                    "Use of 40 MHz transmissions prohibited"};
constexpr TKeyAndValue kMPDUStartSpacing[] = {
    {0, "No restriction"}, {1, "1/4 microsecond"}, {2, "1/2 microsecond"}, {3, "1 microsecond"},
    {4, "2 microseconds"}, {5, "4 microseconds"},  {6, "8 microseconds"},  {7, "16 microseconds"},
};
constexpr std::string_view kPCOTransitionTime[] = {"No Transition", "400 microseconds", "1.5 ms", "5 ms"};
constexpr std::string_view kMCSFeedback[] = {
    "No Feedback (STA does not provide MFB)", "Reserved", "Unsolicited (STA provides only unsolicited MFB)",
    "Both (STA can provide MFB in response to MRQ as well as unsolicited MFB)"};
constexpr std::string_view kCalibration[] = {
    "Not Supported", "STA can respond to a calibration request using the CSI report, but cannot initiate calibration",
    "Reserved", "STA can both initiate and respond to a calibration request"};
constexpr std::string_view kFeedback[] = {"Not Supported", "Delayed feedback", "Immediate feedback",
                                          "Delayed and Immediate feedback"};
constexpr std::string_view kMinimalGrouping[] = {"STA supports groups of 1 (no grouping)", "STA supports groups of 1, 2",
                                                 "STA supports groups of 1, 4", "STA supports groups of 1, 2, 4"};
constexpr std::string_view kBeamformerAntennas[] = {"Single Tx antenna sounding", "2 Tx antenna sounding",
                                                    "3 Tx antenna sounding", "4 Tx antenna sounding"};
constexpr std::string_view kCSIRows[] = {"Single row of CSI", "2 rows of CSI", "3 rows of CSI", "4 rows of CSI"};
constexpr std::string_view kChannelEstimation[] = {"1 space-time stream", "2 space-time streams",
                                                   "3 space-time streams", "4 space-time streams"};

std::string_view TextOf(Texts texts, uint32_t value) { return IndexToText(value, texts, "Unknown"); }

// "diagram - Label: Supported" for each one-bit field.
void AddSupportedBits(const TBitLines& lines, std::initializer_list<std::pair<unsigned, std::string_view>> bits) {
  for (auto [bit, label] : bits) lines.Field(1, bit, Format("%s%s", {label, SupportedToText(lines.Bit(bit))}));
}

}  // namespace

bool THTCapabilitiesElement::Parse() {
  if (Length >= 1) {
    SupportedChannelWidth40 = IsBitSet(Data[0], 1);
    ShortGI20 = IsBitSet(Data[0], 5);
    ShortGI40 = IsBitSet(Data[0], 6);
  }
  if (Length >= 7) RxMCSBitmask = ReadUInt32LE(Data, 3);
  return true;
}

void THTCapabilitiesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(26))) return;

  uint16_t info = ReadUInt16LE(Data, 0);
  TIETreeLine infoLine = AddBodyNode(
      tree, element, Format("HT Capability Information: %s (0x%.4x)", {BitsToText(Body(0), 16, 8, true), info}), 0, 2);
  TBitLines cap(*this, tree, infoLine, 0, 16, 2);
  auto supported = [&](unsigned bit, std::string_view label) {
    cap.Add(Format("%s - %s: %s", {cap.Diagram(1, bit), label, SupportedToText(cap.Bit(bit))}));
  };
  auto oneBit = [&](unsigned bit, std::string_view label, Texts texts) {
    cap.Add(Format("%s - %s: %s", {cap.Diagram(1, bit), label, TextOf(texts, cap.Bits(bit, 1))}));
  };
  auto twoBits = [&](unsigned bit, std::string_view label, Texts texts) {
    uint32_t v = cap.Bits(bit, 2);
    cap.Add(Format("%s - %s: %s (%d)", {cap.Diagram(2, bit), label, TextOf(texts, v), v}));
  };
  supported(0, "LDPC Coding Capability");
  oneBit(1, "Supported Channel Width Set", kChannelWidthSet);
  twoBits(2, "SM Power Save", kSMPowerSave);
  supported(4, "HT-Greenfield");
  supported(5, "Short GI for 20 MHz");
  supported(6, "Short GI for 40 MHz");
  supported(7, "Tx STBC");
  twoBits(8, "Rx STBC", kRxSTBC);
  supported(10, "HT-delayed Block Ack");
  oneBit(11, "Maximum A-MSDU Length", kMaxAMSDULength);
  oneBit(12, "DSSS/CCK Mode in 40 MHz", kDSSSCCK40);
  cap.Reserved(1, 13);
  oneBit(14, "Forty MHz Intolerant", kFortyMHzIntolerant);
  supported(15, "L-SIG TXOP Protection Support");

  uint8_t ampdu = Byte(2);
  TIETreeLine ampduLine =
      AddBodyNode(tree, element, Format("A-MPDU Parameters: %s (0x%.2x)", {BitsToText(Body(2), 8, 8, true), ampdu}), 2, 1);
  TBitLines params(*this, tree, ampduLine, 2, 8, 1);
  uint32_t exponent = params.Bits(0, 2), spacing = params.Bits(2, 3);
  params.Add(Format("%s - %s (%d)", {params.Diagram(2, 0),
                                     Format("Maximum A-MPDU Length Exponent: %d bytes", {(1u << (13 + exponent)) - 1}),
                                     exponent}));
  params.Add(Format("%s - %s (%d)", {params.Diagram(3, 2),
                                     Format("Minimum MPDU Start Spacing: %s",
                                            {KeyToValue(kMPDUStartSpacing, spacing, "Unknown")}),
                                     spacing}));
  params.Reserved(3, 5);

  AddMCSSetNodes(tree, AddBodyNode(tree, element, "Supported MCS Set", 3, 16), 3);

  uint16_t ext = ReadUInt16LE(Data, 19);
  TIETreeLine extLine = AddBodyNode(
      tree, element, Format("HT Extended Capabilities Info: %s (0x%.4x)", {BitsToText(Body(19), 16, 8, true), ext}), 19, 2);
  TBitLines extended(*this, tree, extLine, 19, 16, 2);
  bool pco = extended.Bit(0);
  extended.Field(1, 0, Format("PCO: %s", {SupportedToText(pco)}));
  if (pco) {
    uint32_t v = extended.Bits(1, 2);
    extended.Add(Format("%s - %s (%d)", {extended.Diagram(2, 1),
                                         Format("PCO Transition Time: %s", {TextOf(kPCOTransitionTime, v)}), v}));
  } else {
    extended.Reserved(2, 1);
  }
  extended.Reserved(5, 3);
  uint32_t feedback = extended.Bits(8, 2);
  extended.Add(Format("%s - %s (%d)", {extended.Diagram(2, 8),
                                       Format("MCS Feedback: %s", {TextOf(kMCSFeedback, feedback)}), feedback}));
  AddSupportedBits(extended, {{10, "+HTC-HT Support: "}, {11, "RD Responder: "}});
  extended.Reserved(4, 12);

  uint32_t txbf = ReadUInt32LE(Data, 21);
  TIETreeLine txbfLine =
      AddBodyNode(tree, element,
                  Format("Transmit Beamforming Capabilities: %s (0x%.8x)", {BitsToText(Body(21), 32, 8, true), txbf}), 21, 4);
  TBitLines bf(*this, tree, txbfLine, 21, 32, 4);
  auto valued = [&](unsigned bit, std::string_view label, Texts texts, const char* format) {
    uint32_t v = bf.Bits(bit, 2);
    bf.Add(Format(format, {bf.Diagram(2, bit), Format("%s%s", {label, TextOf(texts, v)}), v}));
  };
  AddSupportedBits(bf, {{0, "Implicit Transmit Beamforming Receiving Capable: "},
                        {1, "Receive Staggered Sounding Capable: "},
                        {2, "Transmit Staggered Sounding Capable: "},
                        {3, "Receive NDP Capable: "},
                        {4, "Transmit NDP Capable: "},
                        {5, "Implicit Transmit Beamforming Capable: "}});
  valued(6, "Calibration: ", kCalibration, "%s - %s (%d)");
  AddSupportedBits(bf, {{8, "Explicit CSI Transmit Beamforming Capable: "},
                        {9, "Explicit Noncompressed Steering Capable: "},
                        {10, "Explicit Compressed Steering Capable: "}});
  valued(11, "Explicit Transmit Beamforming CSI Feedback: ", kFeedback, "%s - %s (0x%.2x)");
  valued(13, "Explicit Noncompressed Beamforming Feedback Capable: ", kFeedback, "%s - %s (0x%.2x)");
  valued(15, "Explicit Compressed Beamforming Feedback Capable: ", kFeedback, "%s - %s (0x%.2x)");
  valued(17, "Minimal Grouping: ", kMinimalGrouping, "%s - %s (%d)");
  valued(19, "CSI Number of Beamformer Antennas Supported: ", kBeamformerAntennas, "%s - %s (%d)");
  valued(21, "Noncompressed Steering Number of Beamformer Antennas Supported: ", kBeamformerAntennas, "%s - %s (%d)");
  valued(23, "Compressed Steering Number of Beamformer Antennas Supported: ", kBeamformerAntennas, "%s - %s (%d)");
  valued(25, "CSI Max Number of Rows Beamformer Supported: ", kCSIRows, "%s - %s (%d)");
  valued(27, "Channel Estimation Capability: ", kChannelEstimation, "%s - %s (%d)");
  bf.Reserved(3, 29);

  uint8_t asel = Byte(25);
  TIETreeLine aselLine = AddBodyNode(
      tree, element, Format("Antenna Selection (ASEL) Capabilities: %s (0x%.2x)", {BitsToText(Body(25), 8, 8, true), asel}),
      25, 1);
  TBitLines antenna(*this, tree, aselLine, 25, 8, 1);
  AddSupportedBits(antenna, {{0, "Antenna Selection Capable: "},
                             {1, "Explicit CSI Feedback Based Transmit ASEL Capable: "},
                             {2, "Antenna Indices Feedback Based Transmit ASEL Capable: "},
                             {3, "Explicit CSI Feedback Capable: "},
                             {4, "Antenna Indices Feedback Capable: "},
                             {5, "Receive ASEL Capable: "},
                             {6, "Transmit Sounding PPDUs Capable: "}});
  antenna.Reserved(1, 7);
}

}  // namespace skimlet

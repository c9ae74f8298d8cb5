#include "core/ie/elements/eid045_ht_capabilities.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

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
constexpr std::string_view kMPDUStartSpacing[] = {"No restriction", "1/4 microsecond", "1/2 microsecond",
                                                  "1 microsecond",  "2 microseconds",  "4 microseconds",
                                                  "8 microseconds", "16 microseconds"};
constexpr std::string_view kPCOTransitionTime[] = {"No Transition", "400 microseconds", "1.5 ms", "5 ms"};
constexpr std::string_view kMCSFeedback[] = {
    "No Feedback (STA does not provide MFB)", "Reserved", "Unsolicited (STA provides only unsolicited MFB)",
    "Both (STA can provide MFB in response to MRQ as well as unsolicited MFB)"};
constexpr std::string_view kCalibration[] = {
    "Not Supported", "STA can respond to a calibration request using the CSI report, but cannot initiate calibration",
    "Reserved", "STA can both initiate and respond to a calibration request"};
constexpr std::string_view kFeedback[] = {"Not Supported", "Delayed feedback", "Immediate feedback",
                                          "Delayed and Immediate feedback"};
constexpr std::string_view kMinimalGrouping[] = {"STA supports groups of 1 (no grouping)",
                                                 "STA supports groups of 1, 2", "STA supports groups of 1, 4",
                                                 "STA supports groups of 1, 2, 4"};
constexpr std::string_view kBeamformerAntennas[] = {"Single Tx antenna sounding", "2 Tx antenna sounding",
                                                    "3 Tx antenna sounding", "4 Tx antenna sounding"};
constexpr std::string_view kCSIRows[] = {"Single row of CSI", "2 rows of CSI", "3 rows of CSI", "4 rows of CSI"};
constexpr std::string_view kChannelEstimation[] = {"1 space-time stream", "2 space-time streams",
                                                   "3 space-time streams", "4 space-time streams"};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kCapabilityInfo[] = {
    {0, 1, Supported, "LDPC Coding Capability"},
    {1, 1, Text, "Supported Channel Width Set", kChannelWidthSet},
    {2, 2, Text, "SM Power Save", kSMPowerSave, DecValue},
    {4, 1, Supported, "HT-Greenfield"},
    {5, 1, Supported, "Short GI for 20 MHz"},
    {6, 1, Supported, "Short GI for 40 MHz"},
    {7, 1, Supported, "Tx STBC"},
    {8, 2, Text, "Rx STBC", kRxSTBC, DecValue},
    {10, 1, Supported, "HT-delayed Block Ack"},
    {11, 1, Text, "Maximum A-MSDU Length", kMaxAMSDULength},
    {12, 1, Text, "DSSS/CCK Mode in 40 MHz", kDSSSCCK40},
    {13, 1, Reserved},
    {14, 1, Text, "Forty MHz Intolerant", kFortyMHzIntolerant},
    {15, 1, Supported, "L-SIG TXOP Protection Support"},
};

// The PCO transition time is shown only when PCO is supported.
constexpr TBitField kPCO = {0, 1, Supported, "PCO"};
constexpr TBitField kPCOTransition = {1, 2, Text, "PCO Transition Time", kPCOTransitionTime, DecValue};
constexpr TBitField kNoPCOTransition = {1, 2, Reserved};
constexpr TBitField kExtendedCapabilities[] = {
    {3, 5, Reserved},
    {8, 2, Text, "MCS Feedback", kMCSFeedback, DecValue},
    {10, 1, Supported, "+HTC-HT Support"},
    {11, 1, Supported, "RD Responder"},
    {12, 4, Reserved},
};

constexpr TBitField kBeamforming[] = {
    {0, 1, Supported, "Implicit Transmit Beamforming Receiving Capable"},
    {1, 1, Supported, "Receive Staggered Sounding Capable"},
    {2, 1, Supported, "Transmit Staggered Sounding Capable"},
    {3, 1, Supported, "Receive NDP Capable"},
    {4, 1, Supported, "Transmit NDP Capable"},
    {5, 1, Supported, "Implicit Transmit Beamforming Capable"},
    {6, 2, Text, "Calibration", kCalibration, DecValue},
    {8, 1, Supported, "Explicit CSI Transmit Beamforming Capable"},
    {9, 1, Supported, "Explicit Noncompressed Steering Capable"},
    {10, 1, Supported, "Explicit Compressed Steering Capable"},
    {11, 2, Text, "Explicit Transmit Beamforming CSI Feedback", kFeedback, HexValue},
    {13, 2, Text, "Explicit Noncompressed Beamforming Feedback Capable", kFeedback, HexValue},
    {15, 2, Text, "Explicit Compressed Beamforming Feedback Capable", kFeedback, HexValue},
    {17, 2, Text, "Minimal Grouping", kMinimalGrouping, DecValue},
    {19, 2, Text, "CSI Number of Beamformer Antennas Supported", kBeamformerAntennas, DecValue},
    {21, 2, Text, "Noncompressed Steering Number of Beamformer Antennas Supported", kBeamformerAntennas, DecValue},
    {23, 2, Text, "Compressed Steering Number of Beamformer Antennas Supported", kBeamformerAntennas, DecValue},
    {25, 2, Text, "CSI Max Number of Rows Beamformer Supported", kCSIRows, DecValue},
    {27, 2, Text, "Channel Estimation Capability", kChannelEstimation, DecValue},
    {29, 3, Reserved},
};

constexpr TBitField kAntennaSelection[] = {
    {0, 1, Supported, "Antenna Selection Capable"},
    {1, 1, Supported, "Explicit CSI Feedback Based Transmit ASEL Capable"},
    {2, 1, Supported, "Antenna Indices Feedback Based Transmit ASEL Capable"},
    {3, 1, Supported, "Explicit CSI Feedback Capable"},
    {4, 1, Supported, "Antenna Indices Feedback Capable"},
    {5, 1, Supported, "Receive ASEL Capable"},
    {6, 1, Supported, "Transmit Sounding PPDUs Capable"},
    {7, 1, Reserved},
};

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

  TBitLines info(*this, tree, element, 0, 16, 2);
  info.Below(Format("HT Capability Information: %s (0x%.4x)", {info.AllBits(), info.Value()})).Draw(kCapabilityInfo);

  TBitLines ampdu(*this, tree, element, 2, 8, 1);
  TBitLines params = ampdu.Below(Format("A-MPDU Parameters: %s (0x%.2x)", {ampdu.AllBits(), ampdu.Value()}));
  uint32_t exponent = params.Bits(0, 2);
  params.Field(2, 0, Format("Maximum A-MPDU Length Exponent: %d bytes (%d)", {(1u << (13 + exponent)) - 1, exponent}));
  params.Draw({2, 3, Text, "Minimum MPDU Start Spacing", kMPDUStartSpacing, DecValue});
  params.Reserved(3, 5);

  AddMCSSetNodes(tree, AddBodyNode(tree, element, "Supported MCS Set", 3, 16), 3);

  TBitLines ext(*this, tree, element, 19, 16, 2);
  TBitLines extended = ext.Below(Format("HT Extended Capabilities Info: %s (0x%.4x)", {ext.AllBits(), ext.Value()}));
  extended.Draw(kPCO);
  extended.Draw(extended.Bit(0) ? kPCOTransition : kNoPCOTransition);
  extended.Draw(kExtendedCapabilities);

  TBitLines txbf(*this, tree, element, 21, 32, 4);
  txbf.Below(Format("Transmit Beamforming Capabilities: %s (0x%.8x)", {txbf.AllBits(), txbf.Value()}))
      .Draw(kBeamforming);

  TBitLines asel(*this, tree, element, 25, 8, 1);
  asel.Below(Format("Antenna Selection (ASEL) Capabilities: %s (0x%.2x)", {asel.AllBits(), asel.Value()}))
      .Draw(kAntennaSelection);
}

}  // namespace skimlet

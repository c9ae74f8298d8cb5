#include "core/ie/elements/eid195_vht_tx_power_envelope.h"

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void TVHTTransmitPowerEnvelopeElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  static constexpr TKeyAndValue kBandwidth[] = {{0, "20 MHz"}, {1, "40 MHz"}, {2, "80 MHz"}, {3, "160/80+80 MHz"}};
  static constexpr std::string_view kUnitInterpretation[] = {"EIRP"};
  static constexpr TBitField kUnit = {3,
                                      3,
                                      TBitWords::Text,
                                      "Local Maximum Transmit Power Unit Interpretation",
                                      kUnitInterpretation,
                                      TBitSuffix::HexValue};
  if (!CheckLength(tree, element, TLengthRule::Range(2, 5))) return;
  TBitLines octet(*this, tree, element, 0, 8, 1);
  TBitLines info = octet.Under(
      octet.Add(Format("Transmit  Power Information: %s (0x%.4x) - octet %d", {octet.AllBits(), octet.Value(), 1})));
  const unsigned count = info.Bits(0, 3);
  std::string names;
  for (unsigned k = 0; k <= count; ++k) {
    if (k > 0) names += ", ";
    names += KeyToValue(kBandwidth, k, "Unknown");
  }
  info.Add(Format("%s - %s: %d [%s] (0x%.2x)",
                  {info.Diagram(3, 0), "Local Maximum Transmit Power Count", count, names, count}));
  info.Draw(kUnit);
  info.Reserved(2, 6);

  // One power per bandwidth, in signed half dBm; bytes beyond the announced count are not shown.
  for (unsigned k = 0; k <= count && k + 1 < static_cast<unsigned>(Length); ++k) {
    double dBm = static_cast<int8_t>(Byte(k + 1)) / 2.0;
    AddBodyNode(tree, element,
                Format("%s: %g dBm",
                       {Format("Local Maximum Transmit Power For %s", {KeyToValue(kBandwidth, k, "Unknown")}), dBm}),
                static_cast<int32_t>(k + 1), 1);
  }
}

}  // namespace skimlet

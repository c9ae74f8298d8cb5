#include "core/ie/elements/ht_base.h"

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using enum TBitWords;
using enum TBitSuffix;

constexpr std::string_view kTxRxMCSSet[] = {"Equal", "Not Equal"};
constexpr TBitField kTxMCSSetDefined = {0, 1, YesNo, "Tx MCS Set Defined", {}, DecValue};
constexpr TBitField kTxRxMCSSetNotEqual = {1, 1, Text, "Tx and Rx MCS Set", kTxRxMCSSet, DecValue};
constexpr TBitField kTxUnequalModulation = {4, 1, Supported, "Tx Unequal Modulation", {}, DecValue};

}  // namespace

void THTBaseElement::AddMCSSetNodes(TIETree& tree, TIETreeLine set, size_t pos) const {
  const int32_t p = static_cast<int32_t>(pos);
  TIETreeLine bitmask = AddBodyNode(tree, set, "Rx MCS Bitmask", p, 10);
  // MCS 0-76 in the bits of the first ten bytes, each line over its own byte; the last three bits are reserved.
  for (unsigned k = 0; k < 10; ++k) {
    TBitLines byte(*this, tree, bitmask, pos + k, 8, 1);
    for (unsigned bit = 0; bit < 8 && 8 * k + bit <= 76; ++bit)
      byte.Field(1, bit, Format("MCS Index %d: %s", {8 * k + bit, SupportedToText(byte.Bit(bit))}));
    if (k == 9) byte.Reserved(3, 5);
  }

  TBitLines rate(*this, tree, set, pos + 10, 16, 2);
  uint32_t highest = rate.Bits(0, 10);
  rate.Field(10, 0,
             highest != 0 ? Format("Rx Highest Supported Data Rate: %d Mbps (0x%.4x)", {highest, highest})
                          : Format("Rx Highest Supported Data Rate: %s (%d)", {"Not Specified", 0}));
  rate.Reserved(6, 10);

  TBitLines tx(*this, tree, set, pos + 12, 16, 2);
  bool defined = tx.Bit(0), unequal = tx.Bit(1);
  uint32_t streams = tx.Bits(2, 2);
  tx.Draw(kTxMCSSetDefined);
  tx.Draw(kTxRxMCSSetNotEqual);
  tx.Field(2, 2,
           defined && unequal ? Format("Tx Maximum Number Spatial Streams: Supported %d spatial stream(s) (0x%.2x)",
                                       {streams + 1, streams})
                              : Format("Tx Maximum Number Spatial Streams: %s (%d)", {"Not Defined", streams}));
  tx.Draw(kTxUnequalModulation);
  tx.Reserved(11, 5);

  TBitLines(*this, tree, set, pos + 14, 16, 2).Reserved(16, 0);
}

}  // namespace skimlet

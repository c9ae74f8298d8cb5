#include "core/ie/elements/ht_base.h"

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void THTBaseElement::AddMCSSetNodes(TIETree& tree, TIETreeLine set, size_t pos) const {
  const int32_t p = static_cast<int32_t>(pos);
  TIETreeLine bitmask = AddBodyNode(tree, set, "Rx MCS Bitmask", p, 10);
  for (unsigned i = 0; i <= 76; ++i) {
    Bytes b = Slice(Data, pos + i / 8, 1);
    AddBodyNode(tree, bitmask,
                Format("%s - %s", {BitFieldToText(b, 8, 8, true, 1, i % 8),
                                   Format("MCS Index %d: %s", {i, SupportedToText(GetBits(b, i % 8, 1) != 0)})}),
                p + static_cast<int32_t>(i / 8), 1);
  }
  TBitLines(*this, tree, bitmask, pos + 9, 8, 1).Reserved(3, 5);

  TBitLines rate(*this, tree, set, pos + 10, 16, 2);
  uint32_t highest = rate.Bits(0, 10);
  rate.Field(10, 0,
             highest != 0 ? Format("Rx Highest Supported Data Rate: %d Mbps (0x%.4x)", {highest, highest})
                          : Format("Rx Highest Supported Data Rate: %s (%d)", {"Not Specified", 0}));
  rate.Reserved(6, 10);

  TBitLines tx(*this, tree, set, pos + 12, 16, 2);
  bool defined = tx.Bit(0), unequal = tx.Bit(1);
  uint32_t streams = tx.Bits(2, 2);
  tx.Field(1, 0, Format("Tx MCS Set Defined: %s (%d)", {YesNoToText(defined), defined}));
  tx.Field(1, 1, Format("Tx and Rx MCS Set: %s (%d)", {unequal ? "Not Equal" : "Equal", unequal}));
  tx.Field(2, 2,
           defined && unequal
               ? Format("Tx Maximum Number Spatial Streams: Supported %d spatial stream(s) (0x%.2x)", {streams + 1, streams})
               : Format("Tx Maximum Number Spatial Streams: %s (%d)", {"Not Defined", streams}));
  tx.Field(1, 4, Format("Tx Unequal Modulation: %s (%d)", {SupportedToText(tx.Bit(4)), tx.Bit(4)}));
  tx.Reserved(11, 5);

  TBitLines(*this, tree, set, pos + 14, 16, 2).Reserved(16, 0);
}

}  // namespace skimlet

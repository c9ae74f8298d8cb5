#include "core/ie/elements/eid192_vht_operation.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

bool TVHTOperationElement::Parse() {
  if (Length < 3) return false;
  ChannelWidth = Data[0];
  CenterSegment0 = Data[1];
  CenterSegment1 = Data[2];
  return true;
}

void TVHTOperationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(5))) return;
  AddVHTOperationInfoLines(*this, tree, element, 0);
  TBitLines basic(*this, tree, element, 3, 16, 2);
  AddMCSMapLines(*this, tree,
                 basic.Add(Format("Basic VHT-MCS and NSS Set: %s (0x%.4x)", {basic.AllBits(), basic.Value()})), 3);
}

}  // namespace skimlet

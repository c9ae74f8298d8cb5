#include "core/ie/elements/eid192_vht_operation.h"

#include "core/base/format.h"

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
  TIETreeLine basic = AddBodyNode(
      tree, element,
      Format("Basic VHT-MCS and NSS Set: %s (0x%.4x)", {BitsToText(Body(3), 16, 8, true), ReadUInt16LE(Data, 3)}), 3, 2);
  AddMCSMapLines(*this, tree, basic, 3);
}

}  // namespace skimlet

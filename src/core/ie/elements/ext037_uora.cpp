#include "core/ie/elements/ext037_uora.h"

#include "core/base/format.h"

namespace skimlet {

void TUORAParamsExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes field = Slice(Data, 1, 1);
  uint8_t v = field[0];
  TIETreeLine line = AddBodyNode(tree, element, Format("%s: 0x%.2x", {"UL OFDMA-based Random Access Parameter SET", v}), 1, 1);
  uint32_t min = GetBits(field, 0, 3), max = GetBits(field, 3, 3);
  AddBodyNode(tree, line, Format("%s - %s: %d (0x%.2x)", {BitFieldToText(field, 8, 8, true, 3, 0), "EOCWmin", min, min}), 1, 1);
  AddBodyNode(tree, line, Format("%s - %s: %d (0x%.2x)", {BitFieldToText(field, 8, 8, true, 3, 3), "EOCWmax", max, max}), 1, 1);
  AddBodyNode(tree, line, Format("%s - %s", {BitRangeToText(8, 8, true, 2, 6), "Reserved"}), 1, 1);
}

}  // namespace skimlet

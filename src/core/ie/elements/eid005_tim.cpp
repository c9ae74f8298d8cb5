#include "core/ie/elements/eid005_tim.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void TTIMElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(4))) return;
  AddBodyNode(tree, element, Format("%s: %d", {"DTIM Count", Byte(0)}), 0, 1);
  uint8_t period = Byte(1);
  AddBodyNode(tree, element,
              period == 0 ? Format("%s: %s", {"DTIM Period", "Reserved"}) : Format("%s: %d", {"DTIM Period", period}),
              1, 1);

  static constexpr std::string_view kTrafficIndicator[] = {"No Group Frames Buffered at AP",
                                                           "Group Frames Buffered at AP"};
  // Both field lines show the whole control byte behind their value.
  TBitLines bitmap(*this, tree, element, 2, 8, 1);
  const uint32_t bits = bitmap.Value();
  TBitLines control = bitmap.Below(Format("%s: %s (0x%.2x)", {"Bitmap Control", bitmap.AllBits(), bits}));
  control.Field(
      1, 0,
      Format("%s: %s (0x%.2x)", {"Traffic Indicator", IndexToText(bits & 1, kTrafficIndicator, "Unknown"), bits}));
  control.Field(7, 1, Format("%s: %d (0x%.2x)", {"Bitmap Offset", control.Bits(1, 7), bits}));
  AddBodyNode(tree, element, Format("%s: %s", {"Partial Virtual Bitmap", BytesToHex(Body(3))}), 3, Length - 3);
}

}  // namespace skimlet

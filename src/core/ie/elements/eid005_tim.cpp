#include "core/ie/elements/eid005_tim.h"

#include "core/base/format.h"

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
  Bytes control = Body(2);
  uint8_t bits = Byte(2);
  TIETreeLine field =
      AddBodyNode(tree, element, Format("%s: %s (0x%.2x)", {"Bitmap Control", BitsToText(control, 8, 8, true), bits}), 2, 1);
  AddBodyNode(tree, field,
              Format("%s - %s: %s (0x%.2x)", {BitFieldToText(control, 8, 8, true, 1, 0), "Traffic Indicator",
                                               IndexToText(bits & 1, kTrafficIndicator, "Unknown"), bits}),
              2, 1);
  AddBodyNode(tree, field,
              Format("%s - %s: %d (0x%.2x)",
                     {BitFieldToText(control, 8, 8, true, 7, 1), "Bitmap Offset", GetBits(control, 1, 7), bits}),
              2, 1);
  AddBodyNode(tree, element, Format("%s: %s", {"Partial Virtual Bitmap", BytesToHex(Body(3))}), 3, Length - 3);
}

}  // namespace skimlet

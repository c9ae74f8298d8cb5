#include "core/ie/elements/eid042_erp.h"

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

bool TERPElement::Parse() {
  uint8_t b = Data.empty() ? 0 : Data[0];
  NonERPPresent = IsBitSet(b, 0);
  UseProtection = IsBitSet(b, 1);
  BarkerPreambleMode = IsBitSet(b, 2);
  return true;
}

void TERPElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes field = Body(0);
  uint8_t b = Byte(0);
  TIETreeLine line =
      AddBodyNode(tree, element, Format("%s: %s (0x%.2x)", {Translate("ERP Information"), BitsToText(field, 8, 8, true), b}), 0, 1);
  static constexpr std::string_view kFlags[] = {"Non ERP Present", "Use Protection", "Barker Preamble Mode"};
  for (unsigned bit = 0; bit < 3; ++bit)
    AddBodyNode(tree, line,
                Format("%s - %s: %s", {BitFieldToText(field, 8, 8, true, 1, bit), Translate(kFlags[bit]),
                                       YesNoToText(IsBitSet(b, bit))}),
                0, 1);
  AddBodyNode(tree, line, Format("%s - %s", {BitRangeToText(8, 8, true, 5, 3), Translate("Reserved")}), 0, 1);
}

}  // namespace skimlet

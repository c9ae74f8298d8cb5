#include "core/ie/elements/eid042_erp.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

bool TERPElement::Parse() {
  uint8_t b = Data.empty() ? 0 : Data[0];
  NonERPPresent = IsBitSet(b, 0);
  UseProtection = IsBitSet(b, 1);
  BarkerPreambleMode = IsBitSet(b, 2);
  return true;
}

void TERPElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  static constexpr TBitField kFlags[] = {
      {0, 1, TBitWords::YesNo, "Non ERP Present"},
      {1, 1, TBitWords::YesNo, "Use Protection"},
      {2, 1, TBitWords::YesNo, "Barker Preamble Mode"},
      {3, 5, TBitWords::Reserved},
  };
  TBitLines info(*this, tree, element, 0, 8, 1);
  info.Under(info.Add(Format("%s: %s (0x%.2x)", {Translate("ERP Information"), info.AllBits(), info.Value()})))
      .DrawTranslated(kFlags);
}

}  // namespace skimlet

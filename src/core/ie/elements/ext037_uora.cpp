#include "core/ie/elements/ext037_uora.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {
constexpr TBitField kParameterFields[] = {
    {0, 3, TBitWords::Number, "EOCWmin", {}, TBitSuffix::HexValue},
    {3, 3, TBitWords::Number, "EOCWmax", {}, TBitSuffix::HexValue},
    {6, 2, TBitWords::Reserved},
};
}  // namespace

void TUORAParamsExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  TBitLines parameters(*this, tree, element, 1, 8, 1);
  parameters.Under(parameters.Add(Format("%s: 0x%.2x", {"UL OFDMA-based Random Access Parameter SET", parameters.Value()})))
      .Draw(kParameterFields);
}

}  // namespace skimlet

#include "core/ie/elements/eid003_dsss.h"

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

bool TDSSSParameterSetElement::Parse() {
  CurrentChannel = Data.empty() ? 0 : Data[0];
  return true;
}

void TDSSSParameterSetElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(1).Translated())) return;
  std::string text = Format("%s: %d", {Translate("Current channel"), Byte(0)});
  AppendText(tree, element, ": " + text);
  AddBodyNode(tree, element, std::move(text), 0, 1);
}

}  // namespace skimlet

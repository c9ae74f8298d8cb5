#include "core/ie/elements/eid000_ssid.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

bool TSSIDElement::Parse() {
  SSID.clear();
  if (Length > 0 && Length <= 32) SSID = SSIDBytesToText(Data);
  return true;
}

void TSSIDElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Range(0, 32).Worded(TLengthWording::Between).Translated())) return;
  AppendText(tree, element, Format(": %s", {SSID}));
  AddBodyNode(tree, element, Format(Translate("SSID: %s"), {SSID}), 0, Length);
}

}  // namespace skimlet

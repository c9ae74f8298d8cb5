#include "core/ie/extension.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/names.h"

namespace skimlet {

std::string TExtensionsInformationElement::GetExtensionName() const {
  return std::string(KeyToValue(ExtensionNameTable(), ExtensionID, "Unknown"));
}

TIETreeLine TExtensionsInformationElement::AddElementNode(TIETree& tree, TIETreeLine parent) const {
  return AddNode(tree, parent, Format("%s: %s (%d)", {GetName(), GetExtensionName(), ExtensionID}), Offset, Length + 2);
}

void TExtensionsInformationElement::AddHeaderNodes(TIETree& tree, TIETreeLine element) const {
  AddBodyNode(tree, element,
              Format("%s: %s (%d)", {Translate("Extension Element ID"), GetExtensionName(), ExtensionID}), 0, 1);
}

void TExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes rest = Body(1);
  AddBodyNode(tree, element, Format("%s: %s", {Translate("Data"), BytesToHex(rest)}), 1, Length - 1);
  AddBodyNode(tree, element, Format("%s: %s", {Translate("Text"), BytesToPrintable(rest)}), 1, Length - 1);
}

}  // namespace skimlet

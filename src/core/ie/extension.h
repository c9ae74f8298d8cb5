// TExtensionsInformationElement: element ID 255, whose first body byte is the extension ID; the base of
// every extension element class.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TExtensionsInformationElement : public TInformationElement {
 public:
  uint8_t ExtensionID = 0;  // set by the container before Load

  const TExtensionsInformationElement* AsExtension() const override { return this; }

  // The extension name, "Unknown" when there is none.
  std::string GetExtensionName() const;

  TIETreeLine AddElementNode(TIETree& tree, TIETreeLine parent) const override;
  void AddHeaderNodes(TIETree& tree, TIETreeLine element) const override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// RM Enabled Capabilities (ID 70): the radio measurements an AP supports, a 40-bit field.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TRMEnabledCapabiliesElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

  // The octet and bit lines of the 5-byte capability field at body position Pos of Element, under Parent
  // (the neighbour report shows its RM capabilities subelement with them).
  static void AddCapabilityNodes(const TInformationElement& element, TIETree& tree, TIETreeLine parent, int32_t pos);
};

}  // namespace skimlet

// Supported Operating Classes (ID 59): the current and the alternate operating classes of the AP.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TSupportedOperatingClassesElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// Traffic Indication Map (ID 5).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TTIMElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

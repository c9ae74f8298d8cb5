// Advertisement Protocol (ID 108): the query protocols the AP answers before association.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TAdvertisementProtocolElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

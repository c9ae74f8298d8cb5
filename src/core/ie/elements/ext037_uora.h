// UORA Parameter Set: the uplink OFDMA random access contention window range (extension ID 37).
#pragma once

#include "core/ie/extension.h"

namespace skimlet {

class TUORAParamsExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

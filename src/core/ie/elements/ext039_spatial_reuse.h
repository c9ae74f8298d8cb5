// Spatial Reuse Parameter Set: the limits of spatial reuse in the BSS (extension ID 39).
#pragma once

#include "core/ie/extension.h"

namespace skimlet {

class TSpatialReuseExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

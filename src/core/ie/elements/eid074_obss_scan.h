// Overlapping BSS Scan Parameters (ID 74): the scan timings a 20/40 MHz BSS asks of its stations.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TOverlappingBSSScanParametersElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// MU EDCA Parameter Set: the EDCA parameters for stations in multi-user operation (extension ID 38).
#pragma once

#include "core/ie/extension.h"

namespace skimlet {

class THEMUEDCAParamsExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

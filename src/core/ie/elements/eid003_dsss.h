// DSSS Parameter Set (ID 3).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TDSSSParameterSetElement : public TInformationElement {
 public:
  uint8_t CurrentChannel = 0;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

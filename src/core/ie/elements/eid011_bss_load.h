// BSS Load (ID 11).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TBSSLoadElement : public TInformationElement {
 public:
  int32_t StationCount = -1;        // -1: not known
  int32_t ChannelUtilization = -1;  // percent, -1: not known

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

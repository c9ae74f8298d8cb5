// HT Operation (ID 61): how the 802.11n BSS operates: primary channel, secondary channel and width.
#pragma once

#include <cstdint>

#include "core/ie/elements/ht_base.h"

namespace skimlet {

class THTOperationElement : public THTBaseElement {
 public:
  bool Only20MHz = false;  // STA Channel Width is 0
  int32_t PrimaryChannel = 0;
  int32_t SecondaryChannelOffset = 0;  // 1: above the primary channel, 3: below, 0: none

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

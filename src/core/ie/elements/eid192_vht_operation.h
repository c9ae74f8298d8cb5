// VHT Operation (ID 192): the 802.11ac channel width and centre-frequency segments of the BSS.
#pragma once

#include <cstdint>

#include "core/ie/elements/vht_base.h"

namespace skimlet {

class TVHTOperationElement : public TVHTBaseElement {
 public:
  uint8_t ChannelWidth = 0;  // 0: 20 or 40 MHz, 1: 80, 160 or 80+80 MHz, 2 and 3: deprecated 160 and 80+80
  uint8_t CenterSegment0 = 0;
  uint8_t CenterSegment1 = 0;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// VHT Capabilities (ID 191): the 802.11ac capabilities of the access point.
#pragma once

#include <cstdint>

#include "core/ie/elements/vht_base.h"

namespace skimlet {

class TVHTCapabilitiesElement : public TVHTBaseElement {
 public:
  bool ShortGI80 = false;
  bool ShortGI160 = false;  // 160 and 80+80 MHz
  // Two bits per stream count 1..8 (0: MCS 0-7, 1: 0-8, 2: 0-9, 3: not supported). A map the body does
  // not hold reads 0xFFFF: no stream supported.
  uint16_t RxVHTMCSMap = 0xFFFF;
  uint16_t TxVHTMCSMap = 0xFFFF;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

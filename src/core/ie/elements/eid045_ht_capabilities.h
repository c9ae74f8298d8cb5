// HT Capabilities (ID 45): the 802.11n capabilities of the access point.
#pragma once

#include <cstdint>

#include "core/ie/elements/ht_base.h"

namespace skimlet {

class THTCapabilitiesElement : public THTBaseElement {
 public:
  bool SupportedChannelWidth40 = false;  // 20 and 40 MHz operation
  bool ShortGI40 = false;
  bool ShortGI20 = false;
  uint32_t RxMCSBitmask = 0;  // receive MCS 0-31, bit i for MCS i

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

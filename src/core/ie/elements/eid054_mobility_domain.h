// Mobility Domain (ID 54): the mobility domain identifier and the fast BSS transition capability and policy.
#pragma once

#include <cstdint>

#include "core/ie/element.h"

namespace skimlet {

class TMobilityDomainElement : public TInformationElement {
 public:
  // Decoded when the body has its 3 bytes.
  uint16_t MDID = 0;
  bool FTOverDS = false;                 // fast BSS transition over the distribution system
  bool ResourceRequestProtocol = false;  // resource request protocol capability

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

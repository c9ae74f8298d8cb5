// Extended Capabilities (ID 127): a bit field of any length, one optional capability per bit.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TExtendedCapabilitiesElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

// Capability names by bit number; "Reserved" marks reserved bits.
TKeyAndValueTable ExtendedCapabilityNames();

}  // namespace skimlet

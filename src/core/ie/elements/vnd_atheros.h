// Atheros vendor elements (OUI 00-03-7F): advanced capability (subtype 1) and extended range (subtype 3).
#pragma once

#include "core/ie/vendor.h"

namespace skimlet {

class TAtherosAdvancedCapabilityElement : public TVendorSpecificInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

class TAtherosExtendedRangeElement : public TAtherosAdvancedCapabilityElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

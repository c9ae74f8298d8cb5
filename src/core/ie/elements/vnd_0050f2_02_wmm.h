// WMM/WME element (vendor 00-50-F2, subtype 2): the information element (QoS info only) and the parameter
// element (QoS info and one parameter record per access category).
#pragma once

#include "core/ie/vendor.h"

namespace skimlet {

class TWMEElement : public TVendorSpecificInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  void AddACParameterNodes(TIETree& tree, TIETreeLine element, int32_t pos) const;
};

}  // namespace skimlet

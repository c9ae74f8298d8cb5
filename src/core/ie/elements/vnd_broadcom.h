// Broadcom's vendor elements: the pre-standard HT capabilities and HT operation (OUI 00-90-4C, subtypes 0x33
// and 0x34) and the Broadcom information element (OUI 00-10-18, subtype 2).
#pragma once

#include "core/ie/vendor.h"

namespace skimlet {

class TBroadcomHTCapabilitiesInfoElement : public TVendorSpecificInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

class TBroadcomHTAdditionalCapabilitiesElement : public TVendorSpecificInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  void AddInformationSubsets(TIETree& tree, TIETreeLine element) const;
  void AddBasicMCSSet(TIETree& tree, TIETreeLine element) const;
};

class TBroadcomInfoElement : public TVendorSpecificInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

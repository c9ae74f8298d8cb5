// WPA element (vendor 00-50-F2, subtype 1): the security suites of a network from before RSN, laid out like
// the RSN element behind the OUI and subtype.
#pragma once

#include "core/ie/vendor.h"

namespace skimlet {

class TWPAElement : public TVendorSpecificInformationElement {
 public:
  uint16_t Version = 0;
  uint8_t GroupCipher = 0;            // suite type of a 00-50-F2 group suite, else 0
  TByteDynamicArray PairwiseCiphers;  // suite types of the 00-50-F2 pairwise suites
  TByteDynamicArray AKMSuites;        // suite types of the 00-50-F2 AKM suites

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

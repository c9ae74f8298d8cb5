// Ralink's vendor element (OUI 00-0C-43, every subtype): its capability flags.
#pragma once

#include "core/ie/vendor.h"

namespace skimlet {

class TRalinkInformationElement : public TVendorSpecificInformationElement {
 public:
  // One "Vendor OUI" line in place of the OUI and subtype lines: the fourth byte holds flags.
  void AddHeaderNodes(TIETree& tree, TIETreeLine element) const override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

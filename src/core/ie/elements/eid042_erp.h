// ERP Information (ID 42, and 47 under its old name).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TERPElement : public TInformationElement {
 public:
  bool NonERPPresent = false;
  bool UseProtection = false;
  bool BarkerPreambleMode = false;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

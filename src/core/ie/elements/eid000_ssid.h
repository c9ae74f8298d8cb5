// SSID element (ID 0).
#pragma once

#include "core/base/text.h"
#include "core/ie/element.h"

namespace skimlet {

class TSSIDElement : public TInformationElement {
 public:
  std::string SSID;  // UTF-8

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

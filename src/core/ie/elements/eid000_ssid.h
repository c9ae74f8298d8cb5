// SSID element (ID 0).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TSSIDElement : public TInformationElement {
public:
  std::string SSID;  // UTF-8

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

// The text of SSID bytes: up to the first zero byte; taken as UTF-8 when they are valid UTF-8, otherwise one
// character per byte (ISO 8859-1).
std::string SSIDBytesToText(Bytes bytes);

}  // namespace skimlet

// TVendorSpecificInformationElement: element ID 221 with at least four body bytes, keyed by the vendor's
// OUI and subtype; the base of every vendor element class.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TVendorSpecificInformationElement : public TInformationElement {
public:
  uint32_t OUI = 0;     // body bytes 0-2, most significant first: 00 50 F2 is 0x0050F2
  uint8_t Subtype = 0;  // body byte 3

  std::string GetOUIText() const { return OUIToText(OUI); }
};

}  // namespace skimlet

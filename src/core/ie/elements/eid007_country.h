// Country (ID 7): the country string and the sub-band or operating triplets.
#pragma once

#include <string>

#include "core/ie/element.h"

namespace skimlet {

class TCountryElement : public TInformationElement {
 public:
  std::string CountryCode;  // the two letters; empty when absent or "XX" (any country)
  uint8_t Environment = 0;  // body byte 2: ' ' any, 'O' outdoor, 'I' indoor

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

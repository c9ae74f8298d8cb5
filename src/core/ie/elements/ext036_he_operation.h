// HE Operation (extension element 36): the 802.11ax operation parameters, BSS colour and basic HE-MCS set,
// and, when announced, the VHT operation information (channel width and centre segments).
#pragma once

#include <cstdint>

#include "core/ie/elements/he_base.h"

namespace skimlet {

class THEOperationExtensionsInformationElement : public THEBaseExtensionsInformationElement {
public:
  // Set when the parameters announce the VHT operation information and the body holds it; the three values
  // mean what those of the VHT Operation element mean, and are 0 otherwise.
  bool VHTInfoPresent = false;
  uint8_t ChannelWidth = 0;
  uint8_t CenterSegment0 = 0;
  uint8_t CenterSegment1 = 0;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

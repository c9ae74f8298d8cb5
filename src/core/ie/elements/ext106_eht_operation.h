// EHT Operation (extension element 106): the EHT operation parameters, the basic EHT-MCS and NSS set and,
// when announced, the EHT operation information (channel width, centre frequency segments and the disabled
// subchannel bitmap).
#pragma once

#include <cstdint>

#include "core/ie/extension.h"

namespace skimlet {

class TEHTOperationExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  uint8_t Parameters = 0;
  uint32_t BasicEHTMCSAndNSSSet = 0;  // four bytes, little-endian

  // Set when the parameters announce the operation information and the body holds it.
  bool HasOperationInfo = false;
  uint8_t ChannelWidth = 0;    // 0 20 MHz, 1 40 MHz, 2 80 MHz, 3 160 MHz, 4 320 MHz
  uint8_t CenterSegment0 = 0;  // CCFS0
  uint8_t CenterSegment1 = 0;  // CCFS1
  bool HasDisabledSubchannelBitmap = false;
  uint16_t DisabledSubchannelBitmap = 0;

  // The channel width in MHz (20 .. 320); 0 without operation information or for a reserved width.
  int ChannelWidthMHz() const;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// HE Operation (extension element 36): the 802.11ax operation parameters, BSS colour and basic HE-MCS set,
// and, when announced, the VHT operation information (channel width and centre segments), the max co-hosted
// BSSID indicator and the 6 GHz operation information.
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

  // Set when the parameters announce the 6 GHz operation information and the body holds it (all 0 otherwise).
  bool Has6GHzInfo = false;
  uint8_t PrimaryChannel6GHz = 0;
  uint8_t ChannelWidth6GHz = 0;  // 0 20 MHz, 1 40 MHz, 2 80 MHz, 3 160 or 80+80 MHz
  bool DuplicateBeacon6GHz = false;
  uint8_t RegulatoryInfo6GHz = 0;   // 3 bits
  uint8_t CenterSegment0_6GHz = 0;  // channel number of the centre of the 20..80 MHz segment
  uint8_t CenterSegment1_6GHz = 0;  // for 160 MHz the centre of the whole channel, else 0
  uint8_t MinimumRate6GHz = 0;      // Mbps

  // Channel width of the 6 GHz information in MHz (20, 40, 80, 160); 0 without it.
  int ChannelWidthMHz6GHz() const { return Has6GHzInfo ? 20 << ChannelWidth6GHz : 0; }

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  void Add6GHzInfoNodes(TIETree& tree, TIETreeLine parent, size_t pos) const;
};

}  // namespace skimlet

// EHT Capabilities (extension element 108): EHT MAC and PHY capabilities, the supported EHT-MCS and NSS
// sets by channel width (up to 80, 160 and 320 MHz, or the 20 MHz-only set), and EHT PPE thresholds.
#pragma once

#include <cstdint>

#include "core/ie/extension.h"

namespace skimlet {

class TEHTCapabilitiesExtensionsInformationElement : public TExtensionsInformationElement {
public:
  uint16_t MACCapabilities = 0;
  bool Supports320MHz = false;   // PHY bit 1: 320 MHz in 6 GHz

  // The largest receive NSS of any EHT-MCS group per channel width; 0 when the element has no map of that
  // width. A 20 MHz-only set counts as MaxNSS20Only.
  uint8_t MaxNSS20Only = 0;
  uint8_t MaxNSS80 = 0;
  uint8_t MaxNSS160 = 0;
  uint8_t MaxNSS320 = 0;
  // The highest EHT-MCS with a receive NSS above 0 in any map (7, 9, 11 or 13), or -1 when there is none.
  int8_t MaxMCS = -1;

  // The largest NSS of any width.
  uint8_t MaxNSS() const;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

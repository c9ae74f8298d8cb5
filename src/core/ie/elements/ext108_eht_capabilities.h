// EHT Capabilities (extension element 108): EHT MAC and PHY capabilities, the supported EHT-MCS and NSS
// sets by channel width (up to 80, 160 and 320 MHz, or the 20 MHz-only set), and EHT PPE thresholds.
// A BSS is EHT-capable when its blob holds this element (FindExtension<...>(108) finds it).
//
// Which maps the element holds depends on the HE capabilities (160 MHz) that this element cannot see; the
// decoder infers them from the length left after the PHY capabilities, taking the most maps whose bytes are
// stream counts and after which the PPE thresholds (when announced) end exactly at the element's end.
#pragma once

#include <cstdint>

#include "core/ie/extension.h"

namespace skimlet {

class TEHTCapabilitiesExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  uint16_t MACCapabilities = 0;
  bool Supports320MHz = false;  // PHY bit 1: 320 MHz in 6 GHz

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

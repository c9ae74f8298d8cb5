// HE Capabilities (extension element 35): the 802.11ax MAC and PHY capabilities, the HE-MCS maps per
// channel width and the optional PPE thresholds.
#pragma once

#include <cstdint>

#include "core/ie/elements/he_base.h"

namespace skimlet {

class THECapabilitiesExtensionsInformationElement : public THEBaseExtensionsInformationElement {
 public:
  // Two bits per stream count 1..8 (0: HE-MCS 0-7, 1: 0-9, 2: 0-11, 3: not supported). A map that the
  // channel width set does not announce, or that the body does not hold, reads 0xFFFF: no stream supported.
  uint16_t RxHEMCSMap80 = 0xFFFF, TxHEMCSMap80 = 0xFFFF;        // widths up to 80 MHz
  uint16_t RxHEMCSMap160 = 0xFFFF, TxHEMCSMap160 = 0xFFFF;      // 160 MHz
  uint16_t RxHEMCSMap80p80 = 0xFFFF, TxHEMCSMap80p80 = 0xFFFF;  // 80+80 MHz
  // The channel width set.
  bool Width40In24G = false;
  bool Width40And80In5G = false;
  bool Width160In5G = false;
  bool Width80p80In5G = false;  // 160 and 80+80 MHz

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  void AddMACNodes(TIETree& tree, TIETreeLine element) const;
  void AddPHYNodes(TIETree& tree, TIETreeLine element) const;
  // Adds the HE-MCS set lines and returns its size in bytes.
  size_t AddMCSSetNodes(TIETree& tree, TIETreeLine element) const;
  void AddPPEThresholdNodes(TIETree& tree, TIETreeLine element, size_t pos) const;
};

}  // namespace skimlet

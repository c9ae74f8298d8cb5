// Reduced Neighbor Report (ID 201): neighbour AP information fields, each a channel with one or more TBTT
// information sets (TBTT offset, BSSID, short SSID, BSS parameters, 20 MHz PSD, MLD parameters as far as
// the set's length holds them).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/ie/element.h"

namespace skimlet {

// One TBTT information set; the Has flags say which fields its length holds.
struct TRNRNeighborAP {
  uint8_t OperatingClass = 0;
  uint8_t Channel = 0;
  bool FilteredNeighborAP = false;
  uint8_t TBTTOffset = 0;  // TUs; 254: 254 or more, 255: unknown
  bool HasBSSID = false;
  std::array<uint8_t, 6> BSSID{};
  bool HasShortSSID = false;
  uint32_t ShortSSID = 0;
  bool HasBSSParameters = false;
  uint8_t BSSParameters = 0;  // bit 0 OCT recommended .. bit 6 co-located AP
  bool HasPSD20MHz = false;
  int8_t PSD20MHz = 0;  // units of 0.5 dBm/MHz; 127: no information
  bool HasMLDParameters = false;
  uint8_t APMLDID = 0;
  uint8_t LinkID = 0;
  uint8_t BSSParametersChangeCount = 0;
  bool AllUpdatesIncluded = false;
  bool DisabledLink = false;

  bool SameSSID() const { return (BSSParameters & 0x02) != 0; }
  bool CoLocatedAP() const { return (BSSParameters & 0x40) != 0; }
};

class TReducedNeighborReportElement : public TInformationElement {
 public:
  // Every TBTT information set of neighbour AP information fields of TBTT information field type 0 that lie
  // wholly in the body, in body order; decoding stops at the first field that does not fit.
  std::vector<TRNRNeighborAP> Neighbors;
  bool Truncated = false;  // a field did not fit the body

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

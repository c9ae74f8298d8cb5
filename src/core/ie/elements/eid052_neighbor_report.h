// Neighbor Report (ID 52): one neighbouring AP with its BSSID information, channel and subelements.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TNeighborReportElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  void AddBSSIDInformationNodes(TIETree& tree, TIETreeLine element) const;
  void AddSubelementNodes(TIETree& tree, TIETreeLine element) const;
  template <class T>
  void AddHTNodes(TIETree& tree, TIETreeLine parent, uint8_t id, int32_t pos, int32_t count) const;
};

}  // namespace skimlet

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
};

}  // namespace skimlet

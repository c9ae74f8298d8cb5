// AP Channel Report (ID 51): an operating class and the channels on which other APs may be found.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TAPChannelReportElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

// The base of the two HT elements (IDs 45 and 61), which both carry a 16-byte MCS set.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class THTBaseElement : public TInformationElement {
 protected:
  // The lines of the 16-byte MCS set at body position Pos, under its set line: the Rx MCS bitmask of MCS
  // 0-76, the highest supported rate and the Tx MCS fields.
  void AddMCSSetNodes(TIETree& tree, TIETreeLine set, size_t pos) const;
};

}  // namespace skimlet

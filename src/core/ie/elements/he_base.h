// The base of the two HE extension elements (HE Capabilities and HE Operation), and the HE-MCS map lines
// they share.
#pragma once

#include <cstddef>

#include "core/ie/extension.h"

namespace skimlet {

class THEBaseExtensionsInformationElement : public TExtensionsInformationElement {};

// Per-stream lines of the 16-bit HE-MCS map at body position Pos of Element, under Parent: for 1 to 8
// spatial streams the highest HE-MCS.
void AddHEMCSMapLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos);

}  // namespace skimlet

// The base of the VHT capabilities and operation elements, and the VHT lines that the HE elements share.
#pragma once

#include <cstddef>

#include "core/ie/element.h"

namespace skimlet {

class TVHTBaseElement : public TInformationElement {};

// Channel Width of a VHT operation: 0 = 20 or 40 MHz, 1 = 80, 160 or 80+80 MHz, 2 and 3 the deprecated
// 160 and 80+80 MHz codes.
inline constexpr uint8_t kVHTChannelWidth20Or40 = 0;

// Per-stream lines of the 16-bit VHT-MCS map at body position Pos of Element, under Parent: for 1 to 8
// spatial streams the highest VHT-MCS.
void AddMCSMapLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos);
// The "VHT Operation Information" line of the three operation bytes (channel width, centre segments 0 and 1)
// at body position Pos of Element, under Parent, with one line per byte.
void AddVHTOperationInfoLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos);

}  // namespace skimlet

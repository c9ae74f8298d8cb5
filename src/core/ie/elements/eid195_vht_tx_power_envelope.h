// VHT Transmit Power Envelope (ID 195): the local maximum transmit power per bandwidth.
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TVHTTransmitPowerEnvelopeElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet

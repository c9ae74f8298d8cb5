#include "core/ie/elements/eid011_bss_load.h"

#include <cmath>

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

namespace {
// The channel utilisation byte (busy time in 255ths) as a rounded percentage: 255 gives 100, 128 gives 50.
int32_t UtilizationPercent(uint8_t b) { return static_cast<int32_t>(std::nearbyint(b * 100.0 / 255.0)); }
}  // namespace

bool TBSSLoadElement::Parse() {
  StationCount = ChannelUtilization = -1;
  if (Length > 4) {
    StationCount = ReadUInt16LE(Data, 0);
    ChannelUtilization = UtilizationPercent(Data[2]);
  }
  return true;
}

void TBSSLoadElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(5).Translated())) return;
  AddBodyNode(tree, element, Format("%s: %d", {Translate("Station Count"), ReadUInt16LE(Data, 0)}), 0, 2);
  AddBodyNode(tree, element, Format("%s: %d%%", {Translate("Channel Utilization"), UtilizationPercent(Byte(2))}), 2, 1);
  AddBodyNode(tree, element,
              Format("%s: %d %s", {Translate("Available Admission Capacity"), ReadUInt16LE(Data, 3) * 32,
                                   Translate("microseconds/seconds")}),
              3, 2);
}

}  // namespace skimlet

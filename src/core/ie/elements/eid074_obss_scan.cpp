#include "core/ie/elements/eid074_obss_scan.h"

#include "core/base/format.h"

namespace skimlet {

namespace {

// A time in TUs: "20480 microseconds (20*TUs, TU=1024 microseconds"; the lines close the parenthesis.
std::string DwellText(uint16_t tus) {
  return Format("%d microseconds (%d*TUs, TU=1024 microseconds", {static_cast<uint32_t>(tus) * 1024, tus});
}

}  // namespace

void TOverlappingBSSScanParametersElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(14))) return;
  auto value = [&](int32_t pos) { return ReadUInt16LE(Data, static_cast<size_t>(pos)); };
  AddBodyNode(tree, element, Format("OBSS Scan Passive Dwell: %s)", {DwellText(value(0))}), 0, 2);
  AddBodyNode(tree, element, Format("OBSS Scan Active Dwell: %s)", {DwellText(value(2))}), 2, 2);
  AddBodyNode(tree, element, Format("BSS Channel Width Trigger Scan Interval: %d seconds", {value(4)}), 4, 2);
  AddBodyNode(tree, element, Format("OBSS Scan Passive Total Per Channel: %s)", {DwellText(value(6))}), 6, 2);
  AddBodyNode(tree, element, Format("OBSS Scan Active Total Per Channel: %s)", {DwellText(value(8))}), 8, 2);
  AddBodyNode(tree, element, Format("BSS Width Channel Transition Delay Factor: %d", {value(10)}), 10, 2);
  AddBodyNode(tree, element, Format("OBSS Scan Activity Threshold: %g%%", {value(12) / 100.0}), 12, 2);
}

}  // namespace skimlet

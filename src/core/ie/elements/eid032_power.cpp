#include "core/ie/elements/eid032_power.h"

#include "core/base/format.h"

namespace skimlet {

namespace {
int8_t Signed(uint8_t b) { return static_cast<int8_t>(b); }
}  // namespace

void TPowerConstraintElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  AddBodyNode(tree, element, Format("Local Power Constraint: %d dB", {Byte(0)}), 0, 1);
}

void TPowerCapabilityElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(2))) return;
  AddBodyNode(tree, element, Format("Minimum Transmit Power Capability: %d dBm", {Signed(Byte(0))}), 0, 1);
  AddBodyNode(tree, element, Format("Maximum Transmit Power Capability: %d dBm", {Signed(Byte(1))}), 1, 1);
}

void TTPCRequestElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  CheckLength(tree, element, TLengthRule::Exactly(0));
}

void TTPCReportElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(2))) return;
  AddBodyNode(tree, element, Format("Transmit Power: %d dBm", {Signed(Byte(0))}), 0, 1);
  AddBodyNode(tree, element, Format("Link Margin: %d dB", {Signed(Byte(1))}), 1, 1);
}

}  // namespace skimlet

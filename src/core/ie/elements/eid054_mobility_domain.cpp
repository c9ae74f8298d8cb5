#include "core/ie/elements/eid054_mobility_domain.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {
using enum TBitWords;
constexpr TBitField kPolicyFields[] = {
    {0, 1, YesNo, "Fast BSS Transition over DS", {}, TBitSuffix::DecValue},
    {1, 1, YesNo, "Resource Request Protocol Capability", {}, TBitSuffix::DecValue},
    {2, 6, Reserved},
};
}  // namespace

bool TMobilityDomainElement::Parse() {
  if (Data.size() >= 3) {
    MDID = ReadUInt16LE(Data, 0);
    FTOverDS = IsBitSet(Data[2], 0);
    ResourceRequestProtocol = IsBitSet(Data[2], 1);
  }
  return true;
}

void TMobilityDomainElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(3))) return;
  AddBodyNode(tree, element, Format("Mobility Domain Identifier: 0x%.4x", {MDID}), 0, 2);
  TBitLines policy(*this, tree, element, 2, 8, 1);
  policy.Under(policy.Add(Format("FT Capability and Policy: %s (0x%.2x)", {policy.AllBits(), policy.Value()})))
      .Draw(kPolicyFields);
}

}  // namespace skimlet

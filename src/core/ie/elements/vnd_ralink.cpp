#include "core/ie/elements/vnd_ralink.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void TRalinkInformationElement::AddHeaderNodes(TIETree& tree, TIETreeLine element) const {
  std::string organisation = GetOUIVendorName();
  AddBodyNode(tree, element,
              "Vendor OUI: " + GetOUIText() + " (" + (organisation.empty() ? "Unknown" : organisation) + ")", 0, 3);
}

void TRalinkInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(7))) return;
  static constexpr TBitField kFlags[] = {
      {0, 1, TBitWords::YesNo, "Aggregation Capable"},
      {1, 1, TBitWords::YesNo, "Piggy-Back Capable"},
      {2, 1, TBitWords::YesNo, "Reverse Direction Grant support"},
      {3, 5, TBitWords::Reserved},
  };
  TBitLines flags(*this, tree, element, 3, 8, 1);
  flags.Below(Format("Flags: %s (0x%.2x)", {flags.AllBits(), flags.Value()})).Draw(kFlags);
  for (int32_t pos = 4; pos <= 6; ++pos)
    AddBodyNode(tree, element, Format("0x%.2x - %s", {Byte(static_cast<size_t>(pos)), "Reserved"}), pos, 1);
}

}  // namespace skimlet

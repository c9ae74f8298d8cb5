#include "core/ie/elements/vnd_ralink.h"

#include "core/base/format.h"

namespace skimlet {

void TRalinkInformationElement::AddHeaderNodes(TIETree& tree, TIETreeLine element) const {
  std::string organisation = GetOUIVendorName();
  AddBodyNode(tree, element, "Vendor OUI: " + GetOUIText() + " (" + (organisation.empty() ? "Unknown" : organisation) + ")", 0, 3);
}

void TRalinkInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(7))) return;
  Bytes field = Slice(Data, 3, 1);
  uint8_t v = field[0];
  TIETreeLine flags = AddBodyNode(tree, element, Format("Flags: %s (0x%.2x)", {BitsToText(field, 8, 8, true), v}), 3, 1);
  static constexpr std::string_view kFlags[] = {"Aggregation Capable", "Piggy-Back Capable", "Reverse Direction Grant support"};
  for (unsigned bit = 0; bit < std::size(kFlags); ++bit)
    AddBodyNode(tree, flags, Format("%s - %s: %s", {BitFieldToText(field, 8, 8, true, 1, bit), kFlags[bit], YesNoToText(IsBitSet(v, bit))}),
                3, 1);
  AddBodyNode(tree, flags, Format("%s - %s", {BitRangeToText(8, 8, true, 5, 3), "Reserved"}), 3, 1);
  for (int32_t pos = 4; pos <= 6; ++pos) AddBodyNode(tree, element, Format("0x%.2x - %s", {Byte(static_cast<size_t>(pos)), "Reserved"}), pos, 1);
}

}  // namespace skimlet

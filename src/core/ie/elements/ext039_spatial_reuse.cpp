#include "core/ie/elements/ext039_spatial_reuse.h"

#include "core/base/format.h"

namespace skimlet {

namespace {

constexpr std::string_view kControlFlags[] = {"SRP Disallowed", "NON-SRG OBSS PD SR Disallowed",
                                              "Non-SRG Offset Present", "SRG Information Present",
                                              "HESIGA Spatial Reuse value 15 allowed"};
constexpr unsigned kNonSRGOffsetPresent = 2;
constexpr unsigned kSRGInformationPresent = 3;

}  // namespace

// Fields the control byte announces but the body does not hold end the lines with the corrupted-element line.
void TSpatialReuseExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes control = Slice(Data, 1, 1);
  uint8_t v = control[0];
  TIETreeLine line = AddBodyNode(tree, element, Format("%s: 0x%.2x", {"SR Control", v}), 1, 1);
  for (unsigned bit = 0; bit < 5; ++bit) {
    unsigned set = IsBitSet(v, bit) ? 1 : 0;
    AddBodyNode(tree, line,
                Format("%s - %s: %s (0x%.2x)", {BitFieldToText(control, 8, 8, true, 1, bit), kControlFlags[bit], YesNoToText(set), set}),
                1, 1);
  }
  AddBodyNode(tree, line, Format("%s - %s", {BitRangeToText(8, 8, true, 3, 5), "Reserved"}), 1, 1);

  int32_t p = 2;
  auto offsetLine = [&](std::string_view label, int32_t pos) {
    uint8_t b = Byte(static_cast<size_t>(pos));
    AddBodyNode(tree, element, Format("%s: %d (0x%.2x)", {label, b, b}), pos, 1);
  };
  if (IsBitSet(v, kNonSRGOffsetPresent)) {
    offsetLine("Non-SRG OBSS PD Max Offset", p);
    p += 1;
  }
  if (IsBitSet(v, kSRGInformationPresent)) {
    offsetLine("SRG OBSS PD Min Offset", p);
    offsetLine("SRG OBSS PD Max Offset", p + 1);
    AddBodyNode(tree, element, Format("%s: %s", {"SRG BSS Color Bitmap", BytesToHex(Slice(Data, static_cast<size_t>(p + 2), 8), "")}), p + 2, 8);
    AddBodyNode(tree, element, Format("%s: %s", {"SRG Partial BSSID Bitmap", BytesToHex(Slice(Data, static_cast<size_t>(p + 10), 8), "")}), p + 10, 8);
  }
}

}  // namespace skimlet

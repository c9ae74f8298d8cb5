#include "core/ie/elements/ext039_spatial_reuse.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr unsigned kNonSRGOffsetPresent = 2;
constexpr unsigned kSRGInformationPresent = 3;

constexpr TBitField kControlFields[] = {
    {0, 1, TBitWords::YesNo, "SRP Disallowed", {}, TBitSuffix::HexValue},
    {1, 1, TBitWords::YesNo, "NON-SRG OBSS PD SR Disallowed", {}, TBitSuffix::HexValue},
    {kNonSRGOffsetPresent, 1, TBitWords::YesNo, "Non-SRG Offset Present", {}, TBitSuffix::HexValue},
    {kSRGInformationPresent, 1, TBitWords::YesNo, "SRG Information Present", {}, TBitSuffix::HexValue},
    {4, 1, TBitWords::YesNo, "HESIGA Spatial Reuse value 15 allowed", {}, TBitSuffix::HexValue},
    {5, 3, TBitWords::Reserved},
};

}  // namespace

// Fields the control byte announces but the body does not hold end the lines with the corrupted-element line.
void TSpatialReuseExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  TBitLines control(*this, tree, element, 1, 8, 1);
  control.Below(Format("%s: 0x%.2x", {"SR Control", control.Value()})).Draw(kControlFields);

  int32_t p = 2;
  auto offsetLine = [&](std::string_view label, int32_t pos) {
    uint8_t b = Byte(static_cast<size_t>(pos));
    AddBodyNode(tree, element, Format("%s: %d (0x%.2x)", {label, b, b}), pos, 1);
  };
  if (control.Bit(kNonSRGOffsetPresent)) {
    offsetLine("Non-SRG OBSS PD Max Offset", p);
    p += 1;
  }
  if (control.Bit(kSRGInformationPresent)) {
    offsetLine("SRG OBSS PD Min Offset", p);
    offsetLine("SRG OBSS PD Max Offset", p + 1);
    AddBodyNode(tree, element,
                Format("%s: %s", {"SRG BSS Color Bitmap", BytesToHex(Slice(Data, static_cast<size_t>(p + 2), 8), "")}),
                p + 2, 8);
    AddBodyNode(
        tree, element,
        Format("%s: %s", {"SRG Partial BSSID Bitmap", BytesToHex(Slice(Data, static_cast<size_t>(p + 10), 8), "")}),
        p + 10, 8);
  }
}

}  // namespace skimlet

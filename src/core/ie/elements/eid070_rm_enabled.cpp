#include "core/ie/elements/eid070_rm_enabled.h"

#include "core/base/format.h"

namespace skimlet {

namespace {

constexpr TKeyAndValue kCapabilityNames[] = {
    {0, "Link Measurement Capability"},
    {1, "Neighbor Report Capability"},
    {2, "Parallel Measurements Capability"},
    {3, "Repeated Measurements Capability"},
    {4, "Beacon Passive Measurement Capability"},
    {5, "Beacon Active Measurement Capability"},
    {6, "Beacon Table Measurement Capability"},
    {7, "Beacon Measurement Reporting Conditions Capability"},
    {8, "Frame Measurement Capability"},
    {9, "Channel Load Measurement Capability"},
    {10, "Noise Histogram Measurement Capability"},
    {11, "Statistics Measurement Capability"},
    {12, "LCI Measurement Capability"},
    {13, "LCI Azimuth Capability"},
    {14, "Transmit Stream/Category Measurement Capability"},
    {15, "Triggered Transmit Stream/Category Measurement Capability"},
    {16, "AP Channel Report Capability"},
    {17, "RM MIB Capability"},
    {18, "Operating Channel Max Measurement Duration"},
    {21, "Nonoperating Channel Max Measurement Duration"},
    {24, "Measurement Pilot Capability"},
    {27, "Measurement Pilot Transmission Information Capability"},
    {28, "Neighbor Report TSF Offset Capability"},
    {29, "RCPI Measurement Capability"},
    {30, "RSNI Measurement Capability"},
    {31, "BSS Average Access Delay Capability"},
    {32, "BSS Available Admission Capacity Capability"},
    {33, "Antenna Capability"},
    {34, "FTM Range Report Capability"},
    {35, "Civic Location Measurement Capability"},
    {36, "Reserved"},
};

// Bits that start a multi-bit field, and its width.
unsigned FieldWidth(unsigned bit) {
  switch (bit) {
    case 18: case 21: case 24: return 3;
    case 36: return 4;
    default: return 1;
  }
}

}  // namespace

void TRMEnabledCapabiliesElement::AddCapabilityNodes(const TInformationElement& element, TIETree& tree,
                                                     TIETreeLine parent, int32_t pos) {
  for (int32_t i = 0; i < 5; ++i) {
    Bytes field = Slice(element.Data, static_cast<size_t>(pos + i), 1);
    uint8_t v = field[0];
    int32_t offset = element.Offset + 2 + pos + i;
    TIETreeLine octet = element.AddNode(
        tree, parent,
        Format("RM Enabled Capabilities: %s (0x%.2x) - octet %d (%d-%d bits)", {BitsToText(field, 8, 8, true), v, i + 1, 8 * i, 8 * i + 7}),
        offset, 1);
    for (unsigned j = 0; j < 8;) {
      unsigned b = 8 * static_cast<unsigned>(i) + j;
      unsigned w = FieldWidth(b);
      std::string_view name = KeyToValue(kCapabilityNames, b, "Reserved");
      std::string text;
      if (name != "Reserved") {
        std::string value = w == 1 ? Format("%s: %s ", {name, EnabledToText(IsBitSet(v, j))})
                                   : Format("%s: %d", {name, GetBits(field, j, w)});
        text = Format("%s - %s", {BitFieldToText(field, 8, 8, true, w, j), value});
      } else {
        text = Format("%s - %s", {BitRangeToText(8, 8, true, w, j), "Reserved"});
      }
      element.AddNode(tree, octet, std::move(text), offset, 1);
      j += w;
    }
  }
}

void TRMEnabledCapabiliesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(5))) return;
  AddCapabilityNodes(*this, tree, element, 0);
}

}  // namespace skimlet

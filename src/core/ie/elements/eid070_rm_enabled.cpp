#include "core/ie/elements/eid070_rm_enabled.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

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
    case 18:
    case 21:
    case 24: return 3;
    case 36: return 4;
    default: return 1;
  }
}

}  // namespace

void TRMEnabledCapabiliesElement::AddCapabilityNodes(const TInformationElement& element, TIETree& tree,
                                                     TIETreeLine parent, int32_t pos) {
  for (int32_t i = 0; i < 5; ++i) {
    TBitLines octet(element, tree, parent, static_cast<size_t>(pos + i), 8, 1);
    TBitLines field = octet.Below(Format("RM Enabled Capabilities: %s (0x%.2x) - octet %d (%d-%d bits)",
                                         {octet.AllBits(), octet.Value(), i + 1, 8 * i, 8 * i + 7}));
    for (unsigned j = 0; j < 8;) {
      unsigned b = 8 * static_cast<unsigned>(i) + j;
      unsigned w = FieldWidth(b);
      std::string_view name = KeyToValue(kCapabilityNames, b, "Reserved");
      if (name == "Reserved") field.Reserved(w, j);
      else if (w == 1) field.Field(w, j, Format("%s: %s ", {name, EnabledToText(field.Bit(j))}));
      else field.Field(w, j, Format("%s: %d", {name, field.Bits(j, w)}));
      j += w;
    }
  }
}

void TRMEnabledCapabiliesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::Exactly(5))) return;
  AddCapabilityNodes(*this, tree, element, 0);
}

}  // namespace skimlet

#include "core/ie/elements/eid127_ext_capabilities.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr TKeyAndValue kNames[] = {
    {0, "20/40 BSS Coexistence Management Support"},
    {1, "Reserved"},
    {2, "Extended Channel Switching"},
    {3, "Reserved"},
    {4, "PSMP Capability"},
    {5, "Reserved"},
    {6, "S-PSMP Support"},
    {7, "Event"},
    {8, "Diagnostics"},
    {9, "Multicast Diagnostics"},
    {10, "Location Tracking"},
    {11, "FMS"},
    {12, "Proxy ARP Service"},
    {13, "Collocated Interference Reporting"},
    {14, "Civic Location"},
    {15, "Geospatial Location"},
    {16, "TFS"},
    {17, "WNM-Sleep Mode"},
    {18, "TIM Broadcast"},
    {19, "BSS Transition"},
    {20, "QoS Traffic Capability"},
    {21, "AC Station Count"},
    {22, "Multiple BSSID"},
    {23, "Timing Measurement"},
    {24, "Channel Usage"},
    {25, "SSID List"},
    {26, "DMS"},
    {27, "UTC TSF Offset"},
    {28, "TPU Buffer STA Support"},
    {29, "TDLS Peer PSM Support"},
    {30, "TDLS channel switching"},
    {31, "Interworking"},
    {32, "QoS Map"},
    {33, "EBR"},
    {34, "SSPN Interface"},
    {35, "Reserved"},
    {36, "MSGCF Capability"},
    {37, "TDLS Support"},
    {38, "TDLS Prohibited"},
    {39, "TDLS Channel Switching Prohibited"},
    {40, "Reject Unadmitted Frame"},
    {41, "Service Interval Granularity"},
    {44, "Identifier Location"},
    {45, "U-APSD Coexistence"},
    {46, "WNM Notification"},
    {47, "QAB Capability"},
    {48, "UTF-8 SSID"},
    {49, "QMFActivated"},
    {50, "QMFReconfigurationActivated"},
    {51, "Robust AV Streaming"},
    {52, "Advanced GCR"},
    {53, "Mesh GCR"},
    {54, "SCS"},
    {55, "QLoad Report"},
    {56, "Alternate EDCA"},
    {57, "Unprotected TXOP Negotiation"},
    {58, "Protected TXOP Negotiation"},
    {59, "Reserved"},
    {60, "Protected QLoad Report"},
    {61, "TDLS Wider Bandwidth"},
    {62, "Operating Mode Notification"},
    {63, "Max Number Of MSDUs In A-MSDU"},
    {65, "Channel Schedule Management"},
    {66, "Geodatabase Inband Enabling Signal"},
    {67, "Network Channel Control"},
    {68, "White Space Map"},
    {69, "Channel Availability Query"},
    {70, "Fine Timing Measurement Responder"},
    {71, "Fine Timing Measurement Initiator"},
    {72, "Reserved"},
    {73, "Extended Spectrum Management Capable"},
    {74, "Future Channel Guidance"},
    {75, "Reserved"},
};

constexpr TKeyAndValue kServiceIntervalGranularity[] = {{0, "5 ms"},  {1, "10 ms"}, {2, "15 ms"}, {3, "20 ms"},
                                                        {4, "25 ms"}, {5, "30 ms"}, {6, "35 ms"}, {7, "40 ms"}};
constexpr TKeyAndValue kMaxMSDUsInAMSDU[] = {{0, "0 (indicate that no limit applies)"}, {1, "32"}, {2, "16"}, {3, "8"}};

constexpr unsigned kSPSMPSupportBit = 6;
constexpr unsigned kServiceIntervalGranularityBit = 41;
constexpr unsigned kMaxMSDUsBit = 63;  // bits 63-64: the one field that spans two octets

}  // namespace

TKeyAndValueTable ExtendedCapabilityNames() { return kNames; }

void TExtendedCapabilitiesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  const std::string label = Translate("Extended Capabilities"), octetLabel = Translate("octet"),
                    bits = Translate("bits");
  bool sPSMP = false;
  for (int32_t i = 0; i < Length; ++i) {
    TBitLines octet(*this, tree, element, static_cast<size_t>(i), 8, 1);
    TBitLines field =
        octet.Below(Format("%s: %s (0x%.2x) - %s %d (%d-%d %s)",
                           {label, octet.AllBits(), octet.Value(), octetLabel, i + 1, 8 * i, 8 * i + 7, bits}));
    for (unsigned j = 0; j < 8;) {
      unsigned b = 8 * static_cast<unsigned>(i) + j;
      if (b == kSPSMPSupportBit) sPSMP = field.Bit(j);
      if (b == kServiceIntervalGranularityBit) {
        std::string_view name = KeyToValue(kNames, b, "Reserved");
        if (sPSMP) {
          uint32_t g = field.Bits(j, 3);
          field.Field(3, j, Format("%s: %s (%.2x)", {name, KeyToValue(kServiceIntervalGranularity, g, "Unknown"), g}));
        } else {
          field.Reserved(3, j, Format("%s: %s ", {name, "Reserved"}));
        }
        j += 3;
        continue;
      }
      if (b == kMaxMSDUsBit || b == kMaxMSDUsBit + 1) {
        // Both octets show the whole two-bit value, each with the diagram of its own bit. A bit beyond the
        // body counts as clear, as every capability the element leaves out.
        uint32_t low = GetBits(Data, kMaxMSDUsBit, 1);
        uint32_t high = static_cast<size_t>(Length) * 8 > kMaxMSDUsBit + 1 ? GetBits(Data, kMaxMSDUsBit + 1, 1) : 0;
        uint32_t value = low | (high << 1);
        field.Field(1, j,
                    Format("%s: %s (%.2x)", {KeyToValue(kNames, kMaxMSDUsBit, "Reserved"),
                                             KeyToValue(kMaxMSDUsInAMSDU, value, "Unknown"), value}));
      } else if (std::string_view name = KeyToValue(kNames, b, "Reserved"); name != "Reserved") {
        field.Field(1, j, Format("%s: %s ", {name, SupportedToText(field.Bit(j))}));
      } else {
        field.Reserved(1, j);
      }
      j += 1;
    }
  }
}

}  // namespace skimlet

#include "core/ie/elements/ext038_mu_edca.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr std::string_view kQAck[] = {"STAs MIB attribute dot11QAckOptionImplemented is false",
                                      "STAs MIB attribute dot11QAckOptionImplemented is true"};
constexpr std::string_view kQueueRequest[] = {
    "AP cannot process a nonzero Queue Size subfield in the QoS Control field in QoS data frames",
    "AP can process a nonzero Queue Size subfield in the QoS Control field in QoS data frames"};
constexpr std::string_view kTXOPRequest[] = {
    "AP cannot process a nonzero TXOP Duration Requested subfield in the QoS Control field in QoS data frames",
    "AP can process a nonzero TXOP Duration Requested subfield in the QoS Control field in QoS data frames"};
constexpr std::string_view kAccessCategories[] = {"Best Effort", "Background", "Video", "Voice"};
constexpr std::string_view kRecordLabels[] = {"MUAC_BE Parameter Record", "MUAC_BK Parameter Record",
                                              "MUAC_VI Parameter Record", "MUAC_VO Parameter Record"};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kQoSInfoFields[] = {
    {0, 4, Number, "EDCA Parameter Set Update Count", {}, HexValue},
    {4, 1, Text, "Q-Ack", kQAck, HexValue},
    {5, 1, Text, "Queue Request", kQueueRequest, HexValue},
    {6, 1, Text, "TXOP Request", kTXOPRequest, HexValue},
    {7, 1, YesNo, "More Data Ack", {}, HexValue},
};
constexpr TBitField kACIFields[] = {
    {0, 4, Number, "AIFSN", {}, HexValue},
    {4, 1, YesNo, "Admission Control Mandatory", {}, HexValue},
    {5, 2, Text, "Access Category Index (ACI)", kAccessCategories, HexValue},
    {7, 1, Reserved},
};

}  // namespace

void THEMUEDCAParamsExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  TBitLines qos(*this, tree, element, 1, 8, 1);
  qos.Under(qos.Add(Format("%s: 0x%.2x", {"QoS Information (AP)", qos.Value()}))).Draw(kQoSInfoFields);

  for (int32_t r = 0; r < 4; ++r) {
    int32_t q = 2 + 3 * r;
    uint32_t value = ReadUInt24LE(Data, static_cast<size_t>(q));
    TIETreeLine record = AddBodyNode(tree, element, Format("%s: 0x%.6x", {kRecordLabels[r], value}), q, 3);
    TBitLines aci(*this, tree, record, static_cast<size_t>(q), 8, 1);
    aci.Under(aci.Add(Format("%s: 0x%.2x", {"AIC/AIFSN", aci.Value()}))).Draw(kACIFields);
    uint8_t ecw = Byte(static_cast<size_t>(q + 1)), timer = Byte(static_cast<size_t>(q + 2));
    AddBodyNode(tree, record, Format("%s: %d (0x%.2x)", {"ECWmin/ECWmax", ecw, ecw}), q + 1, 1);
    AddBodyNode(tree, record, Format("%s: %d (0x%.2x)", {"MU EDCA Timer", timer, timer}), q + 2, 1);
  }
}

}  // namespace skimlet

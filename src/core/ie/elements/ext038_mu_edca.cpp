#include "core/ie/elements/ext038_mu_edca.h"

#include "core/base/format.h"

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

}  // namespace

void THEMUEDCAParamsExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes qos = Slice(Data, 1, 1);
  uint8_t v = qos[0];
  TIETreeLine line = AddBodyNode(tree, element, Format("%s: 0x%.2x", {"QoS Information (AP)", v}), 1, 1);
  uint32_t count = GetBits(qos, 0, 4);
  AddBodyNode(tree, line,
              Format("%s - %s: %d (0x%.2x)", {BitFieldToText(qos, 8, 8, true, 4, 0), "EDCA Parameter Set Update Count", count, count}),
              1, 1);
  auto flag = [&](unsigned bit, std::string_view label, std::span<const std::string_view> texts) {
    unsigned set = IsBitSet(v, bit) ? 1 : 0;
    AddBodyNode(tree, line,
                Format("%s - %s: %s (0x%.2x)", {BitFieldToText(qos, 8, 8, true, 1, bit), label, IndexToText(set, texts, "Unknown"), set}),
                1, 1);
  };
  flag(4, "Q-Ack", kQAck);
  flag(5, "Queue Request", kQueueRequest);
  flag(6, "TXOP Request", kTXOPRequest);
  unsigned moreDataAck = IsBitSet(v, 7) ? 1 : 0;
  AddBodyNode(tree, line,
              Format("%s - %s: %s (0x%.2x)", {BitFieldToText(qos, 8, 8, true, 1, 7), "More Data Ack", YesNoToText(moreDataAck), moreDataAck}),
              1, 1);

  for (int32_t r = 0; r < 4; ++r) {
    int32_t q = 2 + 3 * r;
    uint32_t value = ReadUInt24LE(Data, static_cast<size_t>(q));
    TIETreeLine record = AddBodyNode(tree, element, Format("%s: 0x%.6x", {kRecordLabels[r], value}), q, 3);
    Bytes aci = Slice(Data, static_cast<size_t>(q), 1);
    uint8_t a = aci[0];
    TIETreeLine aciLine = AddBodyNode(tree, record, Format("%s: 0x%.2x", {"AIC/AIFSN", a}), q, 1);
    uint32_t aifsn = GetBits(aci, 0, 4), acm = GetBits(aci, 4, 1), index = GetBits(aci, 5, 2);
    AddBodyNode(tree, aciLine, Format("%s - %s: %d (0x%.2x)", {BitFieldToText(aci, 8, 8, true, 4, 0), "AIFSN", aifsn, aifsn}), q, 1);
    AddBodyNode(tree, aciLine,
                Format("%s - %s: %s (0x%.2x)", {BitFieldToText(aci, 8, 8, true, 1, 4), "Admission Control Mandatory", YesNoToText(acm != 0), acm}),
                q, 1);
    AddBodyNode(tree, aciLine,
                Format("%s - %s: %s (0x%.2x)", {BitFieldToText(aci, 8, 8, true, 2, 5), "Access Category Index (ACI)",
                                                 IndexToText(index, kAccessCategories, "Unknown"), index}),
                q, 1);
    AddBodyNode(tree, aciLine, Format("%s - %s", {BitRangeToText(8, 8, true, 1, 7), "Reserved"}), q, 1);
    uint8_t ecw = Byte(static_cast<size_t>(q + 1)), timer = Byte(static_cast<size_t>(q + 2));
    AddBodyNode(tree, record, Format("%s: %d (0x%.2x)", {"ECWmin/ECWmax", ecw, ecw}), q + 1, 1);
    AddBodyNode(tree, record, Format("%s: %d (0x%.2x)", {"MU EDCA Timer", timer, timer}), q + 2, 1);
  }
}

}  // namespace skimlet

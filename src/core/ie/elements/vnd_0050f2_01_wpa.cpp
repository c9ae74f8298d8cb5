#include "core/ie/elements/vnd_0050f2_01_wpa.h"

#include "core/base/format.h"
#include "core/ie/elements/eid048_rsn.h"

namespace skimlet {

bool TWPAElement::Parse() {
  suites::Parse(Data, 4, suites::kWPARules, Version, GroupCipher, PairwiseCiphers, AKMSuites);
  return true;
}

void TWPAElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  std::optional<size_t> end = suites::AddNodes(*this, tree, element, 4, 1);
  if (!end || *end + 2 > Data.size()) return;

  const int32_t pos = static_cast<int32_t>(*end);
  Bytes caps = Slice(Data, *end, 2);
  uint16_t value = ReadUInt16LE(caps, 0);
  if (value == 0) {
    AddBodyNode(tree, element, Format("WPA Capabilities: %s", {"Not Present"}), pos, 2);
    return;
  }
  TIETreeLine field =
      AddBodyNode(tree, element, Format("WPA Capabilities: %s (0x%.4x)", {BitsToText(caps, 16, 8, true), value}), pos, 2);
  auto line = [&](const std::string& diagram, const std::string& text) {
    AddBodyNode(tree, field, Format("%s - %s", {diagram, text}), pos, 2);
  };
  auto bit = [&](unsigned i, std::string_view label) {
    line(BitFieldToText(caps, 16, 8, true, 1, i), std::string(label) + YesNoToText(IsBitSet(value, i)));
  };
  auto counter = [&](unsigned i, std::string_view label) {
    uint32_t v = GetBits(caps, i, 2);
    AddBodyNode(tree, field,
                Format("%s - %s (0x%.2x) ", {BitFieldToText(caps, 16, 8, true, 2, i),
                                              std::string(label) + std::string(suites::ReplayCounterText(v)), v}),
                pos, 2);
  };
  bit(0, "Support preauthentication: ");
  bit(1, "Support WEP default key 0 simultaneously with a pairwise key: ");
  counter(2, "PTKSA Replay Counter: ");
  counter(4, "GTKSA Replay Counter: ");
  bit(6, "Management Frame Protection Required (MFPR): ");
  bit(7, "Management  Frame  Protection  Capable  (MFPC): ");
  line(BitRangeToText(16, 8, true, 1, 8), "Reserved");
  bit(9, "PeerKey Enabled: ");
  bit(10, "SPP  A-MSDU  Capable: ");
  bit(11, "SPP  A-MSDU  Required: ");
  bit(12, "PBAC (protected block ack agreement capable): ");
  line(BitFieldToText(caps, 16, 8, true, 1, 13),
       std::string("Extended Key ID for Individually Addressed Frames: ") +
           (IsBitSet(value, 13)
                ? "Support Key ID values in the range 0 to 1 for a PTKSA and STKSA when the cipher suite is CCMP"
                : "Support Key ID 0 for a PTKSA and STKSA"));
  AddBodyNode(tree, field, Format("%s - Reserved", {BitRangeToText(16, 8, true, 2, 14)}), pos, 2);
}

}  // namespace skimlet

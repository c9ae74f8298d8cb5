#include "core/ie/elements/vnd_0050f2_01_wpa.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/elements/eid048_rsn.h"

namespace skimlet {

bool TWPAElement::Parse() {
  suites::Parse(Data, 4, suites::kWPARules, Version, GroupCipher, PairwiseCiphers, AKMSuites);
  return true;
}

void TWPAElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  std::optional<size_t> end = suites::AddNodes(*this, tree, element, 4, 1);
  if (!end || *end + 2 > Data.size()) return;

  using enum TBitWords;
  static constexpr TBitField kFlags[] = {
      {0, 1, YesNo, "Support preauthentication"},
      {1, 1, YesNo, "Support WEP default key 0 simultaneously with a pairwise key"},
  };
  static constexpr TBitField kMoreFlags[] = {
      {6, 1, YesNo, "Management Frame Protection Required (MFPR)"},
      {7, 1, YesNo, "Management  Frame  Protection  Capable  (MFPC)"},
      {8, 1, Reserved},
      {9, 1, YesNo, "PeerKey Enabled"},
      {10, 1, YesNo, "SPP  A-MSDU  Capable"},
      {11, 1, YesNo, "SPP  A-MSDU  Required"},
      {12, 1, YesNo, "PBAC (protected block ack agreement capable)"},
  };
  TBitLines caps(*this, tree, element, *end, 16, 2);
  if (caps.Value() == 0) {
    caps.Add(Format("WPA Capabilities: %s", {"Not Present"}));
    return;
  }
  TBitLines field = caps.Below(Format("WPA Capabilities: %s (0x%.4x)", {caps.AllBits(), caps.Value()}));
  field.Draw(kFlags);
  for (auto [first, label] :
       {std::pair<unsigned, const char*>{2, "PTKSA Replay Counter: "}, {4, "GTKSA Replay Counter: "}}) {
    uint32_t v = field.Bits(first, 2);
    field.Field(2, first, Format("%s%s (0x%.2x) ", {label, suites::ReplayCounterText(v), v}));
  }
  field.Draw(kMoreFlags);
  field.Field(1, 13,
              std::string("Extended Key ID for Individually Addressed Frames: ") +
                  (field.Bit(13)
                       ? "Support Key ID values in the range 0 to 1 for a PTKSA and STKSA when the cipher suite is CCMP"
                       : "Support Key ID 0 for a PTKSA and STKSA"));
  field.Reserved(2, 14);
}

}  // namespace skimlet

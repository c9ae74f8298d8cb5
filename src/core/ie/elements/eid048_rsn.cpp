#include "core/ie/elements/eid048_rsn.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/vendor.h"
#include "core/radio/security.h"

namespace skimlet {

namespace suites {

namespace {

// True when Count bytes from Pos lie inside Data.
bool Fits(Bytes data, size_t pos, size_t count) { return pos <= data.size() && count <= data.size() - pos; }

void ReadList(Bytes data, size_t& pos, uint16_t count, uint32_t oui1, uint32_t oui2, TByteDynamicArray& out,
              bool& complete) {
  out.reserve(std::min<size_t>(count, (data.size() - std::min(pos, data.size())) / 4));
  for (uint16_t k = 0; k < count; ++k) {
    if (!Fits(data, pos, 4)) {
      complete = false;
      return;
    }
    uint32_t oui = ReadUInt24BE(data, pos);
    if (oui == oui1 || oui == oui2) out.push_back(data[pos + 3]);
    pos += 4;
  }
}

// "<label>: <OUI> (<organisation>),  <name> (<type>)" with the OUI and type lines below it.
void AddSuite(const TInformationElement& e, TIETree& tree, TIETreeLine parent, std::string_view label, size_t pos,
              const std::string& name) {
  Bytes selector = Slice(e.Data, pos, 4);
  uint32_t oui = ReadUInt24BE(selector, 0);
  uint8_t type = selector[3];
  std::string ouiText = OUIToText(oui);
  std::string organisation = OUIVendorName(oui);
  int32_t at = e.Offset + 2 + static_cast<int32_t>(pos);
  TIETreeLine line =
      e.AddNode(tree, parent, Format("%s: %s (%s),  %s (%d)", {label, ouiText, organisation, name, type}), at, 4);
  e.AddNode(tree, line, Format("%s OUI: %s (%s)", {label, ouiText, organisation}), at, 3);
  e.AddNode(tree, line, Format("%s Type: %s (%d)", {label, name, type}), at + 3, 1);
}

// A line about Count body bytes from Pos, its range cut to the body (a count may claim more than there is).
TIETreeLine AddClippedNode(const TInformationElement& e, TIETree& tree, TIETreeLine parent, std::string text,
                           size_t pos, size_t count) {
  size_t left = e.Data.size() - std::min(pos, e.Data.size());
  return e.AddNode(tree, parent, std::move(text), e.Offset + 2 + static_cast<int32_t>(pos),
                   static_cast<int32_t>(std::min(count, left)));
}

}  // namespace

void Parse(Bytes data, size_t start, const Rules& rules, uint16_t& version, uint8_t& groupCipher,
           TByteDynamicArray& pairwiseCiphers, TByteDynamicArray& akmSuites) {
  version = 0;
  groupCipher = 0;
  pairwiseCiphers.clear();
  akmSuites.clear();
  size_t pos = start;
  if (!Fits(data, pos, 2)) return;
  version = ReadUInt16LE(data, pos);
  pos += 2;
  if (!Fits(data, pos, 4)) return;
  uint32_t oui = ReadUInt24BE(data, pos);
  if (oui != rules.GroupOUI1 && oui != rules.GroupOUI2) return;
  groupCipher = data[pos + 3];
  pos += 4;
  if (!Fits(data, pos, 2)) return;
  uint16_t count = ReadUInt16LE(data, pos);
  pos += 2;
  bool complete = true;
  ReadList(data, pos, count, rules.PairwiseOUI, rules.PairwiseOUI, pairwiseCiphers, complete);
  if (!complete || !Fits(data, pos, 2)) return;
  count = ReadUInt16LE(data, pos);
  pos += 2;
  ReadList(data, pos, count, rules.AKMOUI1, rules.AKMOUI2, akmSuites, complete);
}

std::optional<size_t> ListsEnd(Bytes data, size_t start) {
  size_t pos = start + 2 + 4;  // version and group suite
  for (int list = 0; list < 2; ++list) {
    if (!Fits(data, pos, 2)) return std::nullopt;
    pos += 2 + size_t{4} * static_cast<size_t>(data[pos] | data[pos + 1] << 8);
  }
  if (pos > data.size()) return std::nullopt;
  return pos;
}

std::optional<size_t> AddNodes(const TInformationElement& e, TIETree& tree, TIETreeLine element, size_t start,
                               int akmVersion) {
  Bytes data = e.Data;
  size_t pos = start;
  auto at = [&](size_t p) { return e.Offset + 2 + static_cast<int32_t>(p); };

  if (!Fits(data, pos, 2)) return std::nullopt;
  e.AddNode(tree, element, Format("Version: %d", {ReadUInt16LE(data, pos)}), at(pos), 2);
  pos += 2;

  if (!Fits(data, pos, 4)) return std::nullopt;
  AddSuite(e, tree, element, "Group Data Cipher Suite", pos, CipherSuiteName(data[pos + 3]));
  pos += 4;

  if (!Fits(data, pos, 2)) return std::nullopt;
  uint16_t count = ReadUInt16LE(data, pos);
  e.AddNode(tree, element, Format("Pairwise Cipher Suite Count: %d", {count}), at(pos), 2);
  pos += 2;
  TIETreeLine list = AddClippedNode(e, tree, element, "Pairwise Cipher Suite List", pos, size_t{4} * count);
  for (uint16_t k = 0; k < count; ++k, pos += 4) {
    if (!Fits(data, pos, 4)) return std::nullopt;
    AddSuite(e, tree, list, "Pairwise Cipher Suite", pos, CipherSuiteName(data[pos + 3]));
  }

  if (!Fits(data, pos, 2)) return std::nullopt;
  count = ReadUInt16LE(data, pos);
  e.AddNode(tree, element, Format("Auth Key Management (AKM) Suite Count: %d", {count}), at(pos), 2);
  pos += 2;
  list = AddClippedNode(e, tree, element, "Authenticated Key Management (AKM) Suite List", pos, size_t{4} * count);
  for (uint16_t k = 0; k < count; ++k, pos += 4) {
    if (!Fits(data, pos, 4)) return std::nullopt;
    AddSuite(e, tree, list, "Authenticated Key Management (AKM) Suite", pos, AKMSuiteName(data[pos + 3], akmVersion));
  }
  return pos;
}

std::string_view ReplayCounterText(uint32_t value) {
  static constexpr TKeyAndValue kReplayCounters[] = {
      {0, "1 replay counter per PTKSA/GTKSA/STKSA"},
      {1, "2 replay counters per PTKSA/GTKSA/STKSA"},
      {2, "4 replay counters per PTKSA/GTKSA/STKSA"},
      {3, "16 replay counters per PTKSA/GTKSA/STKSA"},
  };
  return KeyToValue(kReplayCounters, value, "Unknown");
}

}  // namespace suites

bool TRSNElement::Parse() {
  suites::Parse(Data, 0, suites::kRSNRules, Version, GroupCipher, PairwiseCiphers, AKMSuites);
  Capabilities.reset();
  if (std::optional<size_t> end = suites::ListsEnd(Data, 0); end && *end + 2 <= Data.size())
    Capabilities = static_cast<uint16_t>(Data[*end] | Data[*end + 1] << 8);
  return true;
}

void TRSNElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(2))) return;
  std::optional<size_t> end = suites::AddNodes(*this, tree, element, 0, 2);
  if (!end || *end + 2 > Data.size()) return;

  using enum TBitWords;
  static constexpr TBitField kFlags[] = {
      {0, 1, YesNo, "Preauthentication"},
      {1, 1, YesNo, "No Pairwise"},
  };
  static constexpr TBitField kMoreFlags[] = {
      {6, 1, YesNo, "Management Frame Protection Required (MFPR)"},
      {7, 1, YesNo, "Management Frame Protection Capable (MFPC)"},
      {8, 1, YesNo, "Joint Multi-Band RSNA"},
      {9, 1, YesNo, "PeerKey Enabled"},
      {10, 1, YesNo, "SPP A-MSDU Capable"},
      {11, 1, YesNo, "SPP A-MSDU Required"},
      {12, 1, YesNo, "PBAC"},
      {13, 1, YesNo, "Extended Key ID for Individually Addressed Frames "},
      {14, 2, Reserved},
  };
  const size_t pos = *end;
  TBitLines caps(*this, tree, element, pos, 16, 2);
  if (caps.Value() == 0) {
    caps.Add(Format("RSN Capabilities: %s", {"Not Present"}));
    return;
  }
  TBitLines field = caps.Below(Format("RSN Capabilities: %s (0x%.4x)", {caps.AllBits(), caps.Value()}));
  field.Draw(kFlags);
  for (auto [first, name] :
       {std::pair<unsigned, const char*>{2, "PTKSA Replay Counter"}, {4, "GTKSA Replay Counter"}}) {
    uint32_t counter = field.Bits(first, 2);
    field.Field(2, first, Format("%s: %s (0x%.2x) ", {name, suites::ReplayCounterText(counter), counter}));
  }
  field.Draw(kMoreFlags);
}

}  // namespace skimlet

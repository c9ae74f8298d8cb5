#include "core/ie/elements/ext108_eht_capabilities.h"

#include <algorithm>
#include <bit>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {
// Body layout: extension ID, MAC capabilities (2 bytes), PHY capabilities (9 bytes), the EHT-MCS maps, then
// the PPE thresholds when PHY bit 43 is set.
constexpr size_t kMAC = 1, kPHY = 3, kMaps = 12;
constexpr unsigned kPHY320MHz = 1, kPHYPPEPresent = 43;

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField S(uint8_t first, std::string_view label) { return {first, 1, Supported, label, {}, DecValue}; }
constexpr TBitField N(uint8_t first, uint8_t length, std::string_view label) { return {first, length, Number, label}; }
constexpr TBitField R(uint8_t first, uint8_t length) { return {first, length, Reserved}; }

constexpr std::string_view kMPDULength[] = {"3895", "7991", "11454", "Reserved"};
constexpr TBitField kMACFields[] = {
    S(0, "EPCS Priority Access Support"),
    S(1, "EHT OM Control Support"),
    S(2, "Triggered TXOP Sharing Mode 1 Support"),
    S(3, "Triggered TXOP Sharing Mode 2 Support"),
    S(4, "Restricted TWT Support"),
    S(5, "SCS Traffic Description Support"),
    {6, 2, Text, "Maximum MPDU Length", kMPDULength, DecValue},
    N(8, 1, "Maximum A-MPDU Length Exponent Extension"),
    S(9, "EHT TRS Support"),
    S(10, "TXOP Return Support In TXOP Sharing Mode 2"),
    S(11, "Two BQRs Support"),
    N(12, 2, "EHT Link Adaptation Support"),
    S(14, "Unsolicited EPCS Priority Access Parameter Update"),
    R(15, 1),
};
// Bit numbers are those of the whole 72-bit field; no row crosses a multiple of 32.
constexpr TBitField kPHYFields[] = {
    R(0, 1),
    S(kPHY320MHz, "Support For 320 MHz In 6 GHz"),
    S(2, "Support For 242-tone RU In BW Wider Than 20 MHz"),
    S(3, "NDP With 4x EHT-LTF And 3.2 us GI"),
    S(4, "Partial Bandwidth UL MU-MIMO"),
    S(5, "SU Beamformer"),
    S(6, "SU Beamformee"),
    N(7, 3, "Beamformee SS (<= 80 MHz)"),
    N(10, 3, "Beamformee SS (= 160 MHz)"),
    N(13, 3, "Beamformee SS (= 320 MHz)"),
    N(16, 3, "Number Of Sounding Dimensions (<= 80 MHz)"),
    N(19, 3, "Number Of Sounding Dimensions (= 160 MHz)"),
    N(22, 3, "Number Of Sounding Dimensions (= 320 MHz)"),
    S(25, "Ng = 16 SU Feedback"),
    S(26, "Ng = 16 MU Feedback"),
    S(27, "Codebook Size (4, 2) SU Feedback"),
    S(28, "Codebook Size (7, 5) MU Feedback"),
    S(29, "Triggered SU Beamforming Feedback"),
    S(30, "Triggered MU Beamforming Partial BW Feedback"),
    S(31, "Triggered CQI Feedback"),
    S(32, "Partial Bandwidth DL MU-MIMO"),
    S(33, "EHT PSR-Based SR Support"),
    S(34, "Power Boost Factor Support"),
    S(35, "EHT MU PPDU With 4x EHT-LTF And 0.8 us GI"),
    N(36, 4, "Max Nc"),
    S(40, "Non-Triggered CQI Feedback"),
    S(41, "Tx 1024-QAM And 4096-QAM < 242-tone RU Support"),
    S(42, "Rx 1024-QAM And 4096-QAM < 242-tone RU Support"),
    {kPHYPPEPresent, 1, YesNo, "PPE Thresholds Present", {}, DecValue},
    N(44, 2, "Common Nominal Packet Padding"),
    N(46, 5, "Maximum Number Of Supported EHT-LTFs"),
    N(51, 4, "Support Of MCS 15"),
    S(55, "Support Of EHT DUP (MCS 14) In 6 GHz"),
    S(56, "Support For 20 MHz Operating STA Receiving NDP With Wider Bandwidth"),
    S(57, "Non-OFDMA UL MU-MIMO (BW <= 80 MHz)"),
    S(58, "Non-OFDMA UL MU-MIMO (BW = 160 MHz)"),
    S(59, "Non-OFDMA UL MU-MIMO (BW = 320 MHz)"),
    S(60, "MU Beamformer (BW <= 80 MHz)"),
    S(61, "MU Beamformer (BW = 160 MHz)"),
    S(62, "MU Beamformer (BW = 320 MHz)"),
    S(63, "TB Sounding Feedback Rate Limit"),
    S(64, "Rx 1024-QAM In Wider Bandwidth DL OFDMA Support"),
    S(65, "Rx 4096-QAM In Wider Bandwidth DL OFDMA Support"),
    S(66, "20 MHz-Only Limited Capabilities Support"),
    S(67, "20 MHz-Only Triggered MU Beamforming Full BW Feedback And DL MU-MIMO"),
    S(68, "20 MHz-Only M-RU Support"),
    R(69, 3),
};
constexpr TBitField kMapFields[] = {
    N(0, 4, "Rx Max NSS That Supports EHT-MCS 0-9"),    N(4, 4, "Tx Max NSS That Supports EHT-MCS 0-9"),
    N(8, 4, "Rx Max NSS That Supports EHT-MCS 10-11"),  N(12, 4, "Tx Max NSS That Supports EHT-MCS 10-11"),
    N(16, 4, "Rx Max NSS That Supports EHT-MCS 12-13"), N(20, 4, "Tx Max NSS That Supports EHT-MCS 12-13"),
};
constexpr TBitField kMap20OnlyFields[] = {
    N(0, 4, "Rx Max NSS That Supports EHT-MCS 0-7"),    N(4, 4, "Tx Max NSS That Supports EHT-MCS 0-7"),
    N(8, 4, "Rx Max NSS That Supports EHT-MCS 8-9"),    N(12, 4, "Tx Max NSS That Supports EHT-MCS 8-9"),
    N(16, 4, "Rx Max NSS That Supports EHT-MCS 10-11"), N(20, 4, "Tx Max NSS That Supports EHT-MCS 10-11"),
    N(24, 4, "Rx Max NSS That Supports EHT-MCS 12-13"), N(28, 4, "Tx Max NSS That Supports EHT-MCS 12-13"),
};
constexpr TBitField kPPEFields[] = {N(0, 4, "NSS PE"), {4, 5, Hex, "RU Index Bitmask"}};

// The maps the body holds: either the 20 MHz-only map, or 1 to 3 maps of 3 bytes (<= 80, 160, 320 MHz).
struct MapLayout {
  bool Valid = false;
  bool TwentyOnly = false;
  int Count = 0;         // 3-byte maps
  bool Third320 = true;  // with two maps: the second is the 320 MHz map
  size_t Bytes() const { return TwentyOnly ? 4 : static_cast<size_t>(Count) * 3; }
};

// The length of the PPE thresholds at Pos of Data, or 0 when they cannot start there.
size_t PPELength(Bytes data, size_t pos) {
  if (pos + 2 > data.size()) return 0;
  const uint32_t head = GetBits(data.subspan(pos), 0, 9);
  const unsigned nss = (head & 0x0F) + 1, rus = static_cast<unsigned>(std::popcount(head >> 4));
  // Thresholds without a single RU size say nothing; such bytes are not where the thresholds start.
  return rus == 0 ? 0 : (9 + nss * rus * 6 + 7) / 8;
}

// True when every NSS nibble of the Count bytes from Pos is a stream count (at most 8).
bool PlausibleMaps(Bytes data, size_t pos, size_t count) {
  for (size_t k = pos; k < pos + count; ++k)
    if ((data[k] & 0x0F) > 8 || (data[k] >> 4) > 8) return false;
  return true;
}

// The map layout is not written in the element: the 160 MHz map depends on the HE capabilities. It follows
// from the length that remains, with the PPE thresholds' own length when they are present; the most maps
// whose bytes read as stream counts win.
MapLayout LayoutOf(Bytes data, bool has320, bool hasPPE) {
  const size_t left = data.size() - kMaps;
  for (int count = 3; count >= 1; --count) {
    const auto bytes = static_cast<size_t>(count) * 3;
    if (bytes > left || !PlausibleMaps(data, kMaps, bytes)) continue;
    if (hasPPE ? left > bytes && PPELength(data, kMaps + bytes) == left - bytes : bytes == left)
      return {true, false, count, has320 && count == 2};
  }
  if (left >= 4 && PlausibleMaps(data, kMaps, 4) &&
      (hasPPE ? left > 4 && PPELength(data, kMaps + 4) == left - 4 : left == 4))
    return {true, true, 0, false};
  return {};
}

uint8_t MaxNibble(Bytes map) {
  uint8_t nss = 0;
  for (uint8_t b : map) nss = std::max<uint8_t>(nss, b & 0x0F);
  return nss;
}

}  // namespace

uint8_t TEHTCapabilitiesExtensionsInformationElement::MaxNSS() const {
  return std::max({MaxNSS20Only, MaxNSS80, MaxNSS160, MaxNSS320});
}

bool TEHTCapabilitiesExtensionsInformationElement::Parse() {
  if (Data.size() < kMaps) return true;
  MACCapabilities = ReadUInt16LE(Data, kMAC);
  Supports320MHz = GetBits(Data.subspan(kPHY), kPHY320MHz, 1) != 0;
  const MapLayout layout = LayoutOf(Data, Supports320MHz, GetBits(Data.subspan(kPHY), kPHYPPEPresent, 1) != 0);
  if (!layout.Valid) return true;
  auto noteMCS = [&](Bytes map, const int* groups) {
    for (size_t k = 0; k < map.size(); ++k)
      if ((map[k] & 0x0F) != 0) MaxMCS = static_cast<int8_t>(std::max<int>(MaxMCS, groups[k]));
  };
  if (layout.TwentyOnly) {
    static constexpr int kGroups[] = {7, 9, 11, 13};
    Bytes map = Data.subspan(kMaps, 4);
    MaxNSS20Only = MaxNibble(map);
    noteMCS(map, kGroups);
    return true;
  }
  static constexpr int kGroups[] = {9, 11, 13};
  for (int k = 0; k < layout.Count; ++k) {
    Bytes map = Data.subspan(kMaps + static_cast<size_t>(k) * 3, 3);
    uint8_t nss = MaxNibble(map);
    if (k == 0) MaxNSS80 = nss;
    else if (k == 1 && !layout.Third320) MaxNSS160 = nss;
    else MaxNSS320 = nss;
    noteMCS(map, kGroups);
  }
  return true;
}

void TEHTCapabilitiesExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(static_cast<int32_t>(kMaps + 3)))) return;
  TBitLines mac(*this, tree, element, kMAC, 16, 2);
  mac.Under(mac.Add(Format("EHT MAC Capabilities Information: 0x%.4x", {mac.Value()}))).Draw(kMACFields);

  TIETreeLine phy = AddBodyNode(
      tree, element, Format("EHT PHY Capabilities Information: %s", {BytesToHex(Slice(Data, kPHY, 9))}), kPHY, 9);
  // Three groups of bits: 0-31, 32-63, 64-71.
  for (unsigned group = 0; group < 3; ++group) {
    const unsigned first = group * 32, width = group < 2 ? 32 : 8;
    TBitLines bits(*this, tree, phy, kPHY + group * 4, width, static_cast<int32_t>(width / 8));
    TBitLines rows = bits.Under(bits.Add(
        Format(width == 32 ? "Bits %d-%d: 0x%.8x" : "Bits %d-%d: 0x%.2x", {first, first + width - 1, bits.Value()})));
    for (const TBitField& row : kPHYFields)
      if (row.First >= first && row.First < first + width)
        rows.Draw(row, row.First - first, row.Words == Reserved ? std::string_view("Reserved") : row.Label);
  }

  const MapLayout layout = LayoutOf(Data, Supports320MHz, GetBits(Data.subspan(kPHY), kPHYPPEPresent, 1) != 0);
  if (!layout.Valid) {
    AddBodyNode(tree, element,
                Format("Supported EHT-MCS And NSS Set: length does not fit the capabilities (%d bytes)",
                       {static_cast<uint32_t>(Data.size() - kMaps)}),
                kMaps, static_cast<int32_t>(Data.size() - kMaps));
    return;
  }
  TIETreeLine set =
      AddBodyNode(tree, element, "Supported EHT-MCS And NSS Set", kMaps, static_cast<int32_t>(layout.Bytes()));
  if (layout.TwentyOnly) {
    TBitLines map(*this, tree, set, kMaps, 32, 4);
    map.Under(map.Add(Format("EHT-MCS Map (20 MHz-Only Non-AP STA): 0x%.8x", {map.Value()}))).Draw(kMap20OnlyFields);
  } else {
    static constexpr std::string_view kWidths[] = {"BW <= 80 MHz", "BW = 160 MHz", "BW = 320 MHz"};
    for (int k = 0; k < layout.Count; ++k) {
      std::string_view width = kWidths[k == 1 && layout.Third320 ? 2 : k];
      TBitLines map(*this, tree, set, kMaps + static_cast<size_t>(k) * 3, 24, 3);
      map.Under(map.Add(Format("EHT-MCS Map (%s): 0x%.6x", {width, map.Value()}))).Draw(kMapFields);
    }
  }
  const size_t ppe = kMaps + layout.Bytes();
  if (ppe < Data.size()) {
    TIETreeLine line = AddBodyNode(tree, element, Format("EHT PPE Thresholds: %s", {BytesToHex(Tail(Data, ppe))}),
                                   static_cast<int32_t>(ppe), static_cast<int32_t>(Data.size() - ppe));
    TBitLines bits(*this, tree, line, ppe, 16, 2);
    bits.Draw(kPPEFields);
  }
}

}  // namespace skimlet

#include "core/ie/elements/ext035_he_capabilities.h"

#include <algorithm>
#include <bit>
#include <string_view>

#include "core/base/translate.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using Texts = std::span<const std::string_view>;

// Body layout.
constexpr size_t kMAC = 1;         // 6 bytes of MAC capabilities
constexpr size_t kPHY = 7;         // 11 bytes of PHY capabilities; its first byte holds the channel width set
constexpr size_t kMCSSet = 18;     // 4, 8 or 12 bytes of HE-MCS maps
// Channel width set bits within the first PHY byte (set bit k is byte bit k+1).
constexpr unsigned kWidth40In24G = 1, kWidth40And80In5G = 2, kWidth160In5G = 3, kWidth80p80In5G = 4;

constexpr std::string_view kDynamicFragmentation[] = {
    "No support for dynamic fragmentation", "Support for dynamic fragments in MPDUs or S-MPDUs",
    "Support for dynamic fragments in MPDUs and S-MPDUs and up to 1 dyn frag in MSDUs...",
    "Support for all types of dynamic fragments"};
constexpr std::string_view kMinimumFragmentSize[] = {
    "No restriction on minimum payload size", "Minimum payload size of 128 bytes", "Minimum payload size of 256 bytes",
    "Minimum payload size of 512 bytes"};
constexpr std::string_view kLinkAdaptation[] = {
    "No feedback if the STA does not provide HE MFB", "Reserved",
    "Unsolicited if the STA can receive and provide only unsolicited HE MFB", "Both"};
constexpr std::string_view kChannelWidthSet[] = {
    "40MHz in 2.4GHz band",         "40 & 80MHz in the 5GHz band",    "160MHz in the 5GHz band",
    "160/80+80MHz in the 5GHz band", "242 tone RUs in the 2.4GHz band", "242 tone RUs in the 5GHz band",
    "Reserved"};
constexpr std::string_view kDeviceClass[] = {"Class A Device", "Class B Device"};
constexpr std::string_view kStreams4[] = {"1 Space-Time Stream", "2 Space-Time Streams", "3 Space-Time Streams",
                                          "4 Space-Time Streams"};
constexpr std::string_view kStreams2[] = {"1 Space-Time Stream", "2 Space-Time Streams"};
constexpr std::string_view kDCMConstellation[] = {"DCM is not supported", "BPSK", "QPSK", "16-QAM"};
constexpr std::string_view kPacketPadding[] = {"0 us for all Constellations", "8 us for all Constellations",
                                               "16 us for all Constellations", "Reserved"};
constexpr std::string_view kRUAllocation[] = {"242", "484", "996", "2x996"};
constexpr std::string_view kPPEConstellation[] = {"BPSK",    "QPSK",     "16-QAM",   "64-QAM",
                                                  "256-QAM", "1024-QAM", "Reserved", "None"};

// How a capability field is shown.
enum class Kind : uint8_t {
  Supported,  // "diagram - Label: Supported (0x01)"
  Number,     // "diagram - Label: 3 (0x03)"
  Text,       // "diagram - Label: text of the value (0x01)"
  Hex,        // "diagram - Label: 0x05"
  YesNo,      // "diagram - Label: Yes (0x01)"
  Reserved,   // "xxx - Reserved"
};
// When a MAC field is shown; otherwise it is left out (its bits are covered by a reserved row).
enum class When : uint8_t { Always, HTC, NoHTC, Fragmentation, NoFragmentation };

struct Field {
  uint8_t First, Length;
  Kind How;
  std::string_view Label;
  Texts Values = {};
  When Shown = When::Always;
};

constexpr Field kMACFields[] = {
    {0, 1, Kind::Supported, "+HTC HE Support"},
    {1, 1, Kind::Supported, "TWT Requester Support"},
    {2, 1, Kind::Supported, "TWT Responder Support"},
    {3, 2, Kind::Text, "Fragmentation Support", kDynamicFragmentation},
    {5, 5, Kind::Reserved, {}, {}, When::NoFragmentation},
    {5, 3, Kind::Text, "Maximum Number of Fragmented MSDUs", {}, When::Fragmentation},  // text worked out below
    {8, 2, Kind::Text, "Minimum Fragment Size", kMinimumFragmentSize, When::Fragmentation},
    {10, 2, Kind::Number, "Trigger Frame MAC Padding Duration"},
    {12, 3, Kind::Number, "Multi-TID Aggregation Support"},
    {15, 2, Kind::Reserved, {}, {}, When::NoHTC},
    {15, 2, Kind::Text, "HE Link Adaptation Support", kLinkAdaptation, When::HTC},
    {17, 1, Kind::Supported, "All Ack Support"},
    {18, 2, Kind::Reserved, {}, {}, When::NoHTC},
    {18, 1, Kind::Supported, "TRS Support", {}, When::HTC},
    {19, 1, Kind::Supported, "BSR Support", {}, When::HTC},
    {20, 1, Kind::Supported, "Broadcast TWT Support"},
    {21, 1, Kind::Supported, "32-bit BA Bitmap Support"},
    {22, 1, Kind::Supported, "MU Cascading Support"},
    {23, 1, Kind::Supported, "Ack-Enabled Aggregation Support"},
    {24, 1, Kind::Reserved, {}},
    {25, 1, Kind::Reserved, {}, {}, When::NoHTC},
    {25, 1, Kind::Supported, "OM Control Support", {}, When::HTC},
    {26, 1, Kind::Supported, "OFDMA RA Support"},
    {27, 2, Kind::Number, "Maximum A-MPDU Length Exponent Extension"},
    {29, 1, Kind::Supported, "A-MSDU Fragmentation Support"},
    {30, 1, Kind::Supported, "Flexible TWT Schedule Support"},
    {31, 1, Kind::Supported, "Rx Control Frame to MultiBSS"},
    {32, 1, Kind::Supported, "BSRP BQRP A-MPDU Aggregation"},
    {33, 1, Kind::Supported, "QTP Support"},
    {34, 1, Kind::Supported, "BQR Support"},
    {35, 1, Kind::Supported, "SRP Responder Role"},
    {36, 1, Kind::Supported, "NDP Feedback Report Support"},
    {37, 1, Kind::Supported, "OPS Support"},
    {38, 1, Kind::Supported, "A-MSDU in A-MPDU Support"},
    {39, 3, Kind::Number, "Multi-TID Aggregation TX Support"},
    {42, 1, Kind::Supported, "HE Subchannel Selective Transmission Support"},
    {43, 1, Kind::Supported, "UL 2x996-tone RU Support"},
    {44, 1, Kind::Supported, "OM Control UL MU Data Disable RX Support"},
    {45, 1, Kind::Supported, "HE Dynamic SM Power Save"},
    {46, 1, Kind::Supported, "Punctured Sounding Support"},
    {47, 1, Kind::Supported, "HT And VHT Trigger Frame RX Support"},
};

// PHY fields after the channel width set, by bit of the PHY block.
constexpr Field kPHYFields[] = {
    {8, 4, Kind::Hex, "Punctured Preamble RX"},
    {12, 1, Kind::Text, "Device Class", kDeviceClass},
    {13, 1, Kind::Supported, "LDPC Coding In Payload"},
    {14, 1, Kind::Supported, "HE SU PPDU With 1x HE-LTF and 0.8us GI"},
    {15, 2, Kind::Text, "Midamble Rx Max NSTS", kStreams4},
    {17, 1, Kind::Supported, "NDP With 4x HE-LTF and 3.2us GI"},
    {18, 1, Kind::Supported, "STBC Tx <= 80 MHz"},
    {19, 1, Kind::Supported, "STBC Rx <= 80 MHz"},
    {20, 1, Kind::Supported, "Doppler Tx"},
    {21, 1, Kind::Supported, "Doppler Rx"},
    {22, 1, Kind::Supported, "Full Bandwidth UL MU-MIMO"},
    {23, 1, Kind::Supported, "Partial Bandwidth UL MU-MIMO"},
    {24, 2, Kind::Text, "DCM Max Constellation Tx", kDCMConstellation},
    {26, 1, Kind::Text, "DCM Max NSS Tx", kStreams2},
    {27, 2, Kind::Text, "DCM Max Constellation Rx", kDCMConstellation},
    {29, 1, Kind::Text, "DCM Max NSS Rx", kStreams2},
    {30, 1, Kind::Supported, "Rx HE MU PPDU from Non-AP STA"},
    {31, 1, Kind::Supported, "SU Beamformer"},
    {32, 1, Kind::Supported, "SU Beamformee"},
    {33, 1, Kind::Supported, "MU Beamformer"},
    {34, 3, Kind::Number, "Beamformee STS <= 80 MHz"},
    {37, 3, Kind::Number, "Beamformee STS > 80 MHz"},
    {40, 3, Kind::Number, "Number Of Sounding Dimensions <= 80 MHz"},
    {43, 3, Kind::Number, "Number Of Sounding Dimensions > 80 MHz"},
    {46, 1, Kind::Supported, "Ng = 16 SU Feedback"},
    {47, 1, Kind::Supported, "Ng = 16 MU Feedback"},
    {48, 1, Kind::Supported, "Codebook Size SU Feedback"},
    {49, 1, Kind::Supported, "Codebook Size MU Feedback"},
    {50, 1, Kind::Supported, "Triggered SU Beamforming Feedback"},
    {51, 1, Kind::Supported, "Triggered MU Beamforming Feedback"},
    {52, 1, Kind::Supported, "Triggered CQI Feedback"},
    {53, 1, Kind::Supported, "Partial Bandwidth Extended Range"},
    {54, 1, Kind::Supported, "Partial Bandwidth DL MU-MIMO"},
    {55, 1, Kind::YesNo, "PPE Threshold Present"},
    {56, 1, Kind::Supported, "SRP-based SR Support"},
    {57, 1, Kind::Supported, "Power Boost Factor ar Support"},
    {58, 1, Kind::Supported, "HE SU PPDU & HE MU PPDU w 4x HE-LTF & 0.8us GI"},
    {59, 3, Kind::Number, "Max Nc"},
    {62, 1, Kind::Supported, "STBC Tx > 80 MHz"},
    {63, 1, Kind::Supported, "STBC Rx > 80 MHz"},
    {64, 1, Kind::Supported, "HE ER SU PPDU W 4x HE-LTF & 0.8us GI"},
    {65, 1, Kind::Supported, "20 MHz In 40 MHz HE PPDU In 2.4GHz Band"},
    {66, 1, Kind::Supported, "20 MHz In 160/80+80 MHz HE PPDU"},
    {67, 1, Kind::Supported, "80 MHz In 160/80+80 MHz HE PPDU"},
    {68, 1, Kind::Supported, "HE ER SU PPDU W 1x HE-LTF & 0.8us GI"},
    {69, 1, Kind::Supported, "Midamble Rx 2x & 1x HE-LTF"},
    {70, 2, Kind::Number, "DCM Max BW"},
    {72, 1, Kind::Supported, "Longer Than 16 HE SIG-B OFDM Symbols Support"},
    {73, 1, Kind::Supported, "Non-Triggered CQI Feedback"},
    {74, 1, Kind::Supported, "Tx 1024-QAM Support < 242-tone RU"},
    {75, 1, Kind::Supported, "Rx 1024-QAM Support < 242-tone RU"},
    {76, 1, Kind::Supported, "Rx Full BW SU Using HE MU PPDU With Compressed SIGB"},
    {77, 1, Kind::Supported, "Rx Full BW SU Using HE MU PPDU With Non-Compressed SIGB"},
    {78, 2, Kind::Text, "Nominal Packet Padding", kPacketPadding},
    {80, 8, Kind::Reserved, {}},
};

// One field line; First is the field's first bit within the value of Lines.
void AddField(const TBitLines& lines, const Field& f, unsigned first, std::string_view label) {
  if (f.How == Kind::Reserved) {
    lines.Reserved(f.Length, first, Translate("Reserved"));
    return;
  }
  uint32_t v = lines.Bits(first, f.Length);
  std::string diagram = lines.Diagram(f.Length, first);
  switch (f.How) {
    case Kind::Supported:
      lines.Add(Format("%s - %s: %s (0x%.2x)", {diagram, label, SupportedToText(v != 0), v}));
      break;
    case Kind::Number: lines.Add(Format("%s - %s: %d (0x%.2x)", {diagram, label, v, v})); break;
    case Kind::Text:
      lines.Add(Format("%s - %s: %s (0x%.2x)", {diagram, label, IndexToText(v, f.Values, "Unknown"), v}));
      break;
    case Kind::Hex: lines.Add(Format("%s - %s: 0x%.2x", {diagram, label, v})); break;
    case Kind::YesNo: lines.Add(Format("%s - %s: %s (0x%.2x)", {diagram, label, YesNoToText(v != 0), v})); break;
    case Kind::Reserved: break;
  }
}

// A 16-bit little-endian map at Pos, or 0xFFFF when the body does not hold it.
uint16_t MapAt(Bytes data, size_t pos) { return pos + 2 <= data.size() ? ReadUInt16LE(data, pos) : 0xFFFF; }

}  // namespace

bool THECapabilitiesExtensionsInformationElement::Parse() {
  if (Data.size() <= kPHY) return true;
  uint8_t widths = Data[kPHY];
  Width40In24G = IsBitSet(widths, kWidth40In24G);
  Width40And80In5G = IsBitSet(widths, kWidth40And80In5G);
  Width160In5G = IsBitSet(widths, kWidth160In5G);
  Width80p80In5G = IsBitSet(widths, kWidth80p80In5G);
  size_t pos = kMCSSet;
  RxHEMCSMap80 = MapAt(Data, pos);
  TxHEMCSMap80 = MapAt(Data, pos + 2);
  pos += 4;
  if (Width160In5G) {
    RxHEMCSMap160 = MapAt(Data, pos);
    TxHEMCSMap160 = MapAt(Data, pos + 2);
    pos += 4;
  }
  if (Width80p80In5G) {
    RxHEMCSMap80p80 = MapAt(Data, pos);
    TxHEMCSMap80p80 = MapAt(Data, pos + 2);
  }
  return true;
}

void THECapabilitiesExtensionsInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  AddMACNodes(tree, element);
  AddPHYNodes(tree, element);
  size_t size = AddMCSSetNodes(tree, element);
  if (kMCSSet + size < Data.size()) AddPPEThresholdNodes(tree, element, kMCSSet + size);
}

void THECapabilitiesExtensionsInformationElement::AddMACNodes(TIETree& tree, TIETreeLine element) const {
  TIETreeLine line = AddBodyNode(
      tree, element, Format("%s: 0x%.6x", {Translate("HE MAC Capabilities Information"), ReadUInt48LE(Data, kMAC)}),
      kMAC, 6);
  TBitLines mac(*this, tree, line, kMAC, 48, 6);
  bool htc = mac.Bit(0), fragmentation = mac.Bits(3, 2) != 0;
  for (const Field& f : kMACFields) {
    switch (f.Shown) {
      case When::Always: break;
      case When::HTC: if (!htc) continue; break;
      case When::NoHTC: if (htc) continue; break;
      case When::Fragmentation: if (!fragmentation) continue; break;
      case When::NoFragmentation: if (fragmentation) continue; break;
    }
    if (f.First == 5 && f.How == Kind::Text) {  // maximum number of fragmented MSDUs: 2^value, 7 for no limit
      uint32_t v = mac.Bits(5, 3);
      mac.Add(Format("%s - %s: %s (0x%.2x)", {mac.Diagram(3, 5), Translate(f.Label),
                                               v == 7 ? Translate("No restriction") : std::to_string(1u << v), v}));
      continue;
    }
    AddField(mac, f, f.First, f.How == Kind::Reserved ? std::string() : Translate(f.Label));
  }
}

void THECapabilitiesExtensionsInformationElement::AddPHYNodes(TIETree& tree, TIETreeLine element) const {
  Slice(Data, kPHY, 11);  // a body that ends inside the block ends the element here, before a line claims it
  TIETreeLine phy = AddBodyNode(tree, element, Translate("HE PHY Capabilities Information"), kPHY, 11);
  const std::string label = Translate("HE PHY Capabilities Information"), subset = Translate("subset"),
                    bits = Translate("bits");

  // Group 1: the first byte, with the channel width set in bits 1-7.
  uint8_t first = Byte(kPHY);
  TBitLines group1(*this, tree,
                   AddBodyNode(tree, phy,
                               Format("%s: %s (0x%.2x) - %s %d (%d-%d %s)",
                                      {label, BitsToText(Body(kPHY), 8, 8, true), first, subset, 1, 0, 7, bits}),
                               kPHY, 1),
                   kPHY, 8, 1);
  group1.Reserved(1, 0, Translate("Reserved"));
  uint32_t widthSet = group1.Bits(1, 7);
  TIETreeLine widthLine =
      group1.Add(Format("%s - %s: 0x%.2x", {group1.Diagram(7, 1), Translate("Channel Width Set"), widthSet}));
  TBitLines widths(*this, tree, widthLine, kPHY, 8, 1);
  for (unsigned k = 0; k < 7; ++k) {
    std::string_view name = kChannelWidthSet[k];
    if (name == "Reserved") {
      widths.Reserved(1, k + 1, Translate("Reserved"));
    } else {
      bool set = widths.Bit(k + 1);
      widths.Add(Format("%s - %s: %s (%d)", {widths.Diagram(1, k + 1), name, SupportedToText(set), set}));
    }
  }

  // Groups 2 to 6: 16-bit words; bit b of the block is bit b - 8 (first body byte of the group - 7) of its word.
  const Field* f = std::begin(kPHYFields);
  for (unsigned group = 2; group <= 6; ++group) {
    const size_t pos = kPHY + 1 + 2 * (group - 2);
    const unsigned firstBit = 8 + 16 * (group - 2), lastBit = firstBit + 15;
    uint16_t word = ReadUInt16LE(Data, pos);
    std::string text = group <= 3 ? Format("%s: %s (0x%.4x) - %s %d (%d-%d %s)",
                                           {label, BitsToText(Body(pos), 16, 8, true), word, subset, group, firstBit,
                                            lastBit, bits})
                                  : Format("HE PHY Capabilities Information: %s (0x%.4x) - subset %d (%d-%d bits)",
                                           {BitsToText(Body(pos), 16, 8, true), word, group, firstBit, lastBit});
    TBitLines lines(*this, tree, AddBodyNode(tree, phy, std::move(text), static_cast<int32_t>(pos), 2), pos, 16, 2);
    for (; f != std::end(kPHYFields) && f->First <= lastBit; ++f)
      AddField(lines, *f, f->First - firstBit, f->First < 40 ? Translate(f->Label) : std::string(f->Label));
  }
}

size_t THECapabilitiesExtensionsInformationElement::AddMCSSetNodes(TIETree& tree, TIETreeLine element) const {
  struct Block {
    bool Present;
    std::string_view Name, Rx, Tx;
  };
  const Block blocks[] = {
      {true, "Rx and Tx HE-MCS Maps <= 80 MHz", "Rx HE-MCS Map <= 80 MHz", "Tx HE-MCS Map <= 80 MHz"},
      {Width160In5G, "Rx and Tx HE-MCS Maps 160 MHz", "Rx HE-MCS Map 160 MHz", "Tx HE-MCS Map 160 MHz"},
      {Width80p80In5G, "Rx and Tx HE-MCS Maps 80+80 MHz", "Rx HE-MCS Map 80+80 MHz", "Tx HE-MCS Map 80+80 MHz"},
  };
  size_t size = 4 + (Width160In5G ? 4 : 0) + (Width80p80In5G ? 4 : 0);
  const size_t end = Data.size();
  // Lines never reach past the body, even where the channel width set announces more maps than it holds.
  auto within = [&](size_t pos, size_t count) {
    return static_cast<int32_t>(pos >= end ? 0 : std::min(count, end - pos));
  };
  TIETreeLine set = AddBodyNode(tree, element, Translate("Supported HE-MCS and NSS Set"), kMCSSet, within(kMCSSet, size));
  auto insufficient = [&](size_t pos, std::string_view name) {
    AddBodyNode(tree, set, Format(Translate("Insufficient bytes for Phy Capabilities %s!"), {Translate(name)}),
                static_cast<int32_t>(pos), 0);
  };
  size_t q = kMCSSet;
  for (const Block& block : blocks) {
    if (!block.Present) continue;
    if (q + 2 > end) {
      insufficient(q, block.Name);
      break;
    }
    // The block's 32-bit value, of which the body may hold only two or three bytes.
    uint32_t value = 0;
    for (size_t k = std::min<size_t>(4, end - q); k-- > 0;) value = (value << 8) | Data[q + k];
    TIETreeLine blockLine =
        AddBodyNode(tree, set, Format("%s: (0x%.4x)", {Translate(block.Name), value}), static_cast<int32_t>(q), within(q, 4));
    TIETreeLine rx = AddBodyNode(tree, blockLine, Format("%s: (0x%.2x)", {Translate(block.Rx), ReadUInt16LE(Data, q)}),
                                 static_cast<int32_t>(q), 2);
    AddHEMCSMapLines(*this, tree, rx, q);
    if (q + 4 > end) {
      insufficient(q + 2, block.Tx);
      break;
    }
    TIETreeLine tx = AddBodyNode(
        tree, blockLine, Format("%s: (0x%.2x)", {Translate(block.Tx), ReadUInt16LE(Data, q + 2)}), static_cast<int32_t>(q + 2), 2);
    AddHEMCSMapLines(*this, tree, tx, q + 2);
    q += 4;
  }
  return size;
}

void THECapabilitiesExtensionsInformationElement::AddPPEThresholdNodes(TIETree& tree, TIETreeLine element,
                                                                       size_t p) const {
  // Optional trailing part: whatever goes wrong here ends only these lines.
  try {
    const size_t end = Data.size();
    uint8_t b = Byte(p);
    const unsigned streams = b & 0x07, mask = (b >> 3) & 0x0F;
    const unsigned rus = static_cast<unsigned>(std::popcount(mask));
    const std::string nss = Translate("NSS");
    // Header of 7 bits, then for every stream two 3-bit thresholds per RU size of the bitmask.
    const size_t size = (7 + 6 * rus * (streams + 1) + 7) / 8;
    TIETreeLine ppe = AddBodyNode(tree, element, Translate("PPE Thresholds"), static_cast<int32_t>(p),
                                  static_cast<int32_t>(std::min(size, end - p)));
    TBitLines header(*this, tree, ppe, p, 8, 1);
    header.Add(Format("%s - %s: %d (0x%.2x)", {header.Diagram(3, 0), nss, streams, streams}));
    header.Add(Format("%s - %s: 0x%.2x", {header.Diagram(4, 3), Translate("RU Index Bitmask"), mask}));
    if (rus == 0) return;

    unsigned t = 7;  // bit position from bit 0 of body byte p
    for (unsigned i = 0; i <= streams; ++i) {
      const size_t first = t / 8, last = (t + 6 * rus - 1) / 8;
      if (last >= end - p) {
        const size_t at = p + first;
        AddBodyNode(tree, ppe, Format(Translate("Insufficient bytes for NSS %d!"), {i}), static_cast<int32_t>(at),
                    static_cast<int32_t>(end - at > 2 ? end - at - 2 : 0));
        break;
      }
      const int32_t count = static_cast<int32_t>(last - first + 1);
      TIETreeLine stream = AddBodyNode(tree, ppe, Format("%s %d", {nss, i}), static_cast<int32_t>(p + first), count);
      for (unsigned r = 0; r < 4; ++r) {
        if (!((mask >> r) & 1u)) continue;
        TIETreeLine ru = AddBodyNode(tree, stream, Format("%s: %s", {Translate("RU allocation"), kRUAllocation[r]}),
                                     static_cast<int32_t>(p + first), count);
        TBitLines bits(*this, tree, ru, p + first, 8 * static_cast<unsigned>(count), count);
        const unsigned at = t - 8 * static_cast<unsigned>(first);
        for (auto [label, shift] : {std::pair<const char*, unsigned>{"PPET16", 0}, {"PPET8", 3}}) {
          uint32_t v = bits.Bits(at + shift, 3);
          bits.Add(Format("%s - %s: %s (0x%.2x)", {bits.Diagram(3, at + shift), Translate(label),
                                                   IndexToText(v, kPPEConstellation, "Unknown"), v}));
        }
        t += 6;
      }
    }
  } catch (const TElementCorrupted&) {
  }
}

}  // namespace skimlet

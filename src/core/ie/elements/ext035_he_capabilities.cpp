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
constexpr size_t kMAC = 1;      // 6 bytes of MAC capabilities
constexpr size_t kPHY = 7;      // 11 bytes of PHY capabilities; its first byte holds the channel width set
constexpr size_t kMCSSet = 18;  // 4, 8 or 12 bytes of HE-MCS maps
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
constexpr std::string_view kChannelWidthSet[] = {"40MHz in 2.4GHz band",
                                                 "40 & 80MHz in the 5GHz band",
                                                 "160MHz in the 5GHz band",
                                                 "160/80+80MHz in the 5GHz band",
                                                 "242 tone RUs in the 2.4GHz band",
                                                 "242 tone RUs in the 5GHz band",
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

// When a MAC field is shown; otherwise it is left out (its bits are covered by a reserved row).
enum class When : uint8_t { Always, HTC, NoHTC, Fragmentation, NoFragmentation };

// Every capability line shows the field value in hex behind its words, but the Hex rows that are the value.
constexpr TBitField Supported(uint8_t first, std::string_view label) {
  return {first, 1, TBitWords::Supported, label, {}, TBitSuffix::HexValue};
}
constexpr TBitField Number(uint8_t first, uint8_t length, std::string_view label) {
  return {first, length, TBitWords::Number, label, {}, TBitSuffix::HexValue};
}
constexpr TBitField Text(uint8_t first, uint8_t length, std::string_view label, Texts texts = {}) {
  return {first, length, TBitWords::Text, label, texts, TBitSuffix::HexValue};
}
constexpr TBitField Hex(uint8_t first, uint8_t length, std::string_view label) {
  return {first, length, TBitWords::Hex, label};
}
constexpr TBitField YesNo(uint8_t first, std::string_view label) {
  return {first, 1, TBitWords::YesNo, label, {}, TBitSuffix::HexValue};
}
constexpr TBitField Reserved(uint8_t first, uint8_t length) { return {first, length, TBitWords::Reserved, {}}; }

struct MACField {
  TBitField Row;
  When Shown = When::Always;
};

constexpr MACField kMACFields[] = {
    {Supported(0, "+HTC HE Support")},
    {Supported(1, "TWT Requester Support")},
    {Supported(2, "TWT Responder Support")},
    {Text(3, 2, "Fragmentation Support", kDynamicFragmentation)},
    {Reserved(5, 5), When::NoFragmentation},
    {Text(5, 3, "Maximum Number of Fragmented MSDUs"), When::Fragmentation},  // text worked out below
    {Text(8, 2, "Minimum Fragment Size", kMinimumFragmentSize), When::Fragmentation},
    {Number(10, 2, "Trigger Frame MAC Padding Duration")},
    {Number(12, 3, "Multi-TID Aggregation Support")},
    {Reserved(15, 2), When::NoHTC},
    {Text(15, 2, "HE Link Adaptation Support", kLinkAdaptation), When::HTC},
    {Supported(17, "All Ack Support")},
    {Reserved(18, 2), When::NoHTC},
    {Supported(18, "TRS Support"), When::HTC},
    {Supported(19, "BSR Support"), When::HTC},
    {Supported(20, "Broadcast TWT Support")},
    {Supported(21, "32-bit BA Bitmap Support")},
    {Supported(22, "MU Cascading Support")},
    {Supported(23, "Ack-Enabled Aggregation Support")},
    {Reserved(24, 1)},
    {Reserved(25, 1), When::NoHTC},
    {Supported(25, "OM Control Support"), When::HTC},
    {Supported(26, "OFDMA RA Support")},
    {Number(27, 2, "Maximum A-MPDU Length Exponent Extension")},
    {Supported(29, "A-MSDU Fragmentation Support")},
    {Supported(30, "Flexible TWT Schedule Support")},
    {Supported(31, "Rx Control Frame to MultiBSS")},
    {Supported(32, "BSRP BQRP A-MPDU Aggregation")},
    {Supported(33, "QTP Support")},
    {Supported(34, "BQR Support")},
    {Supported(35, "SRP Responder Role")},
    {Supported(36, "NDP Feedback Report Support")},
    {Supported(37, "OPS Support")},
    {Supported(38, "A-MSDU in A-MPDU Support")},
    {Number(39, 3, "Multi-TID Aggregation TX Support")},
    {Supported(42, "HE Subchannel Selective Transmission Support")},
    {Supported(43, "UL 2x996-tone RU Support")},
    {Supported(44, "OM Control UL MU Data Disable RX Support")},
    {Supported(45, "HE Dynamic SM Power Save")},
    {Supported(46, "Punctured Sounding Support")},
    {Supported(47, "HT And VHT Trigger Frame RX Support")},
};

// PHY fields after the channel width set, by bit of the PHY block.
constexpr TBitField kPHYFields[] = {
    Hex(8, 4, "Punctured Preamble RX"),
    Text(12, 1, "Device Class", kDeviceClass),
    Supported(13, "LDPC Coding In Payload"),
    Supported(14, "HE SU PPDU With 1x HE-LTF and 0.8us GI"),
    Text(15, 2, "Midamble Rx Max NSTS", kStreams4),
    Supported(17, "NDP With 4x HE-LTF and 3.2us GI"),
    Supported(18, "STBC Tx <= 80 MHz"),
    Supported(19, "STBC Rx <= 80 MHz"),
    Supported(20, "Doppler Tx"),
    Supported(21, "Doppler Rx"),
    Supported(22, "Full Bandwidth UL MU-MIMO"),
    Supported(23, "Partial Bandwidth UL MU-MIMO"),
    Text(24, 2, "DCM Max Constellation Tx", kDCMConstellation),
    Text(26, 1, "DCM Max NSS Tx", kStreams2),
    Text(27, 2, "DCM Max Constellation Rx", kDCMConstellation),
    Text(29, 1, "DCM Max NSS Rx", kStreams2),
    Supported(30, "Rx HE MU PPDU from Non-AP STA"),
    Supported(31, "SU Beamformer"),
    Supported(32, "SU Beamformee"),
    Supported(33, "MU Beamformer"),
    Number(34, 3, "Beamformee STS <= 80 MHz"),
    Number(37, 3, "Beamformee STS > 80 MHz"),
    Number(40, 3, "Number Of Sounding Dimensions <= 80 MHz"),
    Number(43, 3, "Number Of Sounding Dimensions > 80 MHz"),
    Supported(46, "Ng = 16 SU Feedback"),
    Supported(47, "Ng = 16 MU Feedback"),
    Supported(48, "Codebook Size SU Feedback"),
    Supported(49, "Codebook Size MU Feedback"),
    Supported(50, "Triggered SU Beamforming Feedback"),
    Supported(51, "Triggered MU Beamforming Feedback"),
    Supported(52, "Triggered CQI Feedback"),
    Supported(53, "Partial Bandwidth Extended Range"),
    Supported(54, "Partial Bandwidth DL MU-MIMO"),
    YesNo(55, "PPE Threshold Present"),
    Supported(56, "SRP-based SR Support"),
    Supported(57, "Power Boost Factor ar Support"),
    Supported(58, "HE SU PPDU & HE MU PPDU w 4x HE-LTF & 0.8us GI"),
    Number(59, 3, "Max Nc"),
    Supported(62, "STBC Tx > 80 MHz"),
    Supported(63, "STBC Rx > 80 MHz"),
    Supported(64, "HE ER SU PPDU W 4x HE-LTF & 0.8us GI"),
    Supported(65, "20 MHz In 40 MHz HE PPDU In 2.4GHz Band"),
    Supported(66, "20 MHz In 160/80+80 MHz HE PPDU"),
    Supported(67, "80 MHz In 160/80+80 MHz HE PPDU"),
    Supported(68, "HE ER SU PPDU W 1x HE-LTF & 0.8us GI"),
    Supported(69, "Midamble Rx 2x & 1x HE-LTF"),
    Number(70, 2, "DCM Max BW"),
    Supported(72, "Longer Than 16 HE SIG-B OFDM Symbols Support"),
    Supported(73, "Non-Triggered CQI Feedback"),
    Supported(74, "Tx 1024-QAM Support < 242-tone RU"),
    Supported(75, "Rx 1024-QAM Support < 242-tone RU"),
    Supported(76, "Rx Full BW SU Using HE MU PPDU With Compressed SIGB"),
    Supported(77, "Rx Full BW SU Using HE MU PPDU With Non-Compressed SIGB"),
    Text(78, 2, "Nominal Packet Padding", kPacketPadding),
    Reserved(80, 8),
};

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
  for (const auto& [f, shown] : kMACFields) {
    switch (shown) {
      case When::Always: break;
      case When::HTC:
        if (!htc) continue;
        break;
      case When::NoHTC:
        if (htc) continue;
        break;
      case When::Fragmentation:
        if (!fragmentation) continue;
        break;
      case When::NoFragmentation:
        if (fragmentation) continue;
        break;
    }
    if (f.First == 5 && f.Words == TBitWords::Text) {  // maximum number of fragmented MSDUs: 2^value, 7 for no limit
      uint32_t v = mac.Bits(5, 3);
      mac.Add(Format("%s - %s: %s (0x%.2x)", {mac.Diagram(3, 5), Translate(f.Label),
                                              v == 7 ? Translate("No restriction") : std::to_string(1u << v), v}));
      continue;
    }
    mac.Draw(f, f.First, Translate(f.Words == TBitWords::Reserved ? "Reserved" : f.Label));
  }
}

void THECapabilitiesExtensionsInformationElement::AddPHYNodes(TIETree& tree, TIETreeLine element) const {
  Slice(Data, kPHY, 11);  // a body that ends inside the block ends the element here, before a line claims it
  TIETreeLine phy = AddBodyNode(tree, element, Translate("HE PHY Capabilities Information"), kPHY, 11);
  const std::string label = Translate("HE PHY Capabilities Information"), subset = Translate("subset"),
                    bits = Translate("bits");

  // Group 1: the first byte, with the channel width set in bits 1-7.
  TBitLines byte(*this, tree, phy, kPHY, 8, 1);
  TBitLines group1 = byte.Below(
      Format("%s: %s (0x%.2x) - %s %d (%d-%d %s)", {label, byte.AllBits(), byte.Value(), subset, 1, 0, 7, bits}));
  group1.Reserved(1, 0, Translate("Reserved"));
  TBitLines widths = byte.Under(group1.Draw(Hex(1, 7, ""), 1, Translate("Channel Width Set")));
  for (uint8_t k = 0; k < 7; ++k) {
    std::string_view name = kChannelWidthSet[k];
    if (name == "Reserved") widths.Reserved(1, k + 1u, Translate("Reserved"));
    else widths.Draw({static_cast<uint8_t>(k + 1), 1, TBitWords::Supported, name, {}, TBitSuffix::DecValue});
  }

  // Groups 2 to 6: 16-bit words; bit b of the block is bit b - 8 (first body byte of the group - 7) of its word.
  const TBitField* f = std::begin(kPHYFields);
  for (unsigned group = 2; group <= 6; ++group) {
    const size_t pos = kPHY + 1 + 2 * (group - 2);
    const unsigned firstBit = 8 + 16 * (group - 2), lastBit = firstBit + 15;
    TBitLines word(*this, tree, phy, pos, 16, 2);
    TBitLines lines =
        word.Below(group <= 3 ? Format("%s: %s (0x%.4x) - %s %d (%d-%d %s)",
                                       {label, word.AllBits(), word.Value(), subset, group, firstBit, lastBit, bits})
                              : Format("HE PHY Capabilities Information: %s (0x%.4x) - subset %d (%d-%d bits)",
                                       {word.AllBits(), word.Value(), group, firstBit, lastBit}));
    for (; f != std::end(kPHYFields) && f->First <= lastBit; ++f) {
      std::string_view label = f->Words == TBitWords::Reserved ? "Reserved" : f->Label;
      lines.Draw(*f, f->First - firstBit,
                 f->First < 40 || f->Words == TBitWords::Reserved ? Translate(label) : std::string(label));
    }
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
  TIETreeLine set =
      AddBodyNode(tree, element, Translate("Supported HE-MCS and NSS Set"), kMCSSet, within(kMCSSet, size));
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
    TIETreeLine blockLine = AddBodyNode(tree, set, Format("%s: (0x%.4x)", {Translate(block.Name), value}),
                                        static_cast<int32_t>(q), within(q, 4));
    TIETreeLine rx = AddBodyNode(tree, blockLine, Format("%s: (0x%.2x)", {Translate(block.Rx), ReadUInt16LE(Data, q)}),
                                 static_cast<int32_t>(q), 2);
    AddHEMCSMapLines(*this, tree, rx, q);
    if (q + 4 > end) {
      insufficient(q + 2, block.Tx);
      break;
    }
    TIETreeLine tx =
        AddBodyNode(tree, blockLine, Format("%s: (0x%.2x)", {Translate(block.Tx), ReadUInt16LE(Data, q + 2)}),
                    static_cast<int32_t>(q + 2), 2);
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
    header.Draw(Number(0, 3, {}), 0, nss);
    header.Draw(Hex(3, 4, {}), 3, Translate("RU Index Bitmask"));
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
        for (auto [label, shift] : {std::pair<const char*, unsigned>{"PPET16", 0}, {"PPET8", 3}})
          bits.Draw(Text(0, 3, {}, kPPEConstellation), at + shift, Translate(label));
        t += 6;
      }
    }
  } catch (const TElementCorrupted&) {}
}

}  // namespace skimlet

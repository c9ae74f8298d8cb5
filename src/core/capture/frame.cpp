#include "core/capture/frame.h"

#include <algorithm>
#include <cstring>

#include "core/beacon/beacon_reader.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t LE32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint32_t BE32(const uint8_t* p) {
  return uint32_t{p[3]} | uint32_t{p[2]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[0]} << 24;
}
uint64_t LE64(const uint8_t* p) { return uint64_t{LE32(p)} | uint64_t{LE32(p + 4)} << 32; }

// Capture headers that give no dBm value put other numbers in the signal field (a driver's own scale); only
// values a receiver can report in dBm are taken.
std::optional<int32_t> PlausibleDbm(int32_t v) {
  if (v >= -120 && v < 0) return v;
  return std::nullopt;
}

// Alignment and size of the radiotap fields 0..27 of the radiotap namespace.
struct TRadiotapField {
  uint8_t Align, Size;
};
constexpr TRadiotapField kRadiotapFields[28] = {
    {8, 8},   // 0 TSFT
    {1, 1},   // 1 flags
    {1, 1},   // 2 rate
    {2, 4},   // 3 channel: frequency, flags
    {2, 2},   // 4 FHSS
    {1, 1},   // 5 antenna signal, dBm
    {1, 1},   // 6 antenna noise, dBm
    {2, 2},   // 7 lock quality
    {2, 2},   // 8 TX attenuation
    {2, 2},   // 9 TX attenuation, dB
    {1, 1},   // 10 TX power, dBm
    {1, 1},   // 11 antenna
    {1, 1},   // 12 antenna signal, dB
    {1, 1},   // 13 antenna noise, dB
    {2, 2},   // 14 RX flags
    {2, 2},   // 15 TX flags
    {1, 1},   // 16 RTS retries
    {1, 1},   // 17 data retries
    {4, 8},   // 18 extended channel: flags, frequency, channel, max power
    {1, 3},   // 19 MCS
    {4, 8},   // 20 A-MPDU status
    {2, 12},  // 21 VHT
    {8, 12},  // 22 timestamp
    {2, 12},  // 23 HE
    {2, 12},  // 24 HE-MU
    {2, 6},   // 25 HE-MU other user
    {1, 1},   // 26 zero-length PSDU
    {2, 4},   // 27 L-SIG
};
constexpr uint32_t kRadiotapTLV = 1u << 28;
constexpr uint32_t kRadiotapNamespace = 1u << 29;
constexpr uint32_t kVendorNamespace = 1u << 30;
constexpr uint32_t kMoreBitmaps = 1u << 31;

constexpr uint8_t kFlagFCS = 0x10;
constexpr uint8_t kFlagBadFCS = 0x40;

bool Fail(std::string_view& problem, std::string_view text) {
  problem = text;
  return false;
}
std::nullopt_t Reject(std::string_view& problem, std::string_view text) {
  problem = text;
  return std::nullopt;
}

// Walks the fields of a radiotap header of Len bytes whose presence bitmaps end at DataStart.
bool WalkRadiotapFields(const uint8_t* h, size_t len, size_t dataStart, TRadioInfo& info, std::string_view& problem) {
  size_t pos = dataStart;
  size_t bitmap = 4;
  bool inVendor = false;
  size_t vendorEnd = 0;          // where the data of the current vendor namespace ends
  unsigned wordInNamespace = 0;  // index of the bitmap within its namespace
  bool haveFlags = false, haveChannel = false;
  for (;;) {
    const uint32_t word = LE32(h + bitmap);
    bitmap += 4;
    if ((word & kRadiotapNamespace) && (word & kVendorNamespace))
      return Fail(problem, "radiotap bitmap opens two namespaces at once");
    if (!inVendor && wordInNamespace == 0) {
      for (unsigned bit = 0; bit < 28; ++bit) {
        if (!(word & (1u << bit))) continue;
        const TRadiotapField f = kRadiotapFields[bit];
        pos = (pos + f.Align - 1) / f.Align * f.Align;
        if (pos + f.Size > len) return Fail(problem, "radiotap field runs past the header");
        const uint8_t* p = h + pos;
        switch (bit) {
          case 1:
            if (!haveFlags) {
              info.HasFCS = (p[0] & kFlagFCS) != 0;
              info.BadFCS = (p[0] & kFlagBadFCS) != 0;
              haveFlags = true;
            }
            break;
          case 3:
            if (!haveChannel && LE16(p) != 0) {
              info.FrequencyMHz = LE16(p);
              haveChannel = true;
            }
            break;
          case 5:
            if (!info.SignalDbm) info.SignalDbm = static_cast<int8_t>(p[0]);
            break;
          case 18:
            if (!haveChannel && LE16(p + 4) != 0) {
              info.FrequencyMHz = LE16(p + 4);
              haveChannel = true;
            }
            break;
          default: break;
        }
        pos += f.Size;
      }
      // TLVs fill the rest of the header; nothing this reader needs follows them.
      if (word & kRadiotapTLV) return true;
    } else if (!inVendor && (word & ~(kRadiotapNamespace | kVendorNamespace | kMoreBitmaps)) != 0) {
      // Fields of a later bitmap of the radiotap namespace are not defined: their sizes are unknown, so the
      // fields read so far are all there is.
      return true;
    }
    if (!(word & kMoreBitmaps)) return true;
    if (word & (kRadiotapNamespace | kVendorNamespace)) {
      if (inVendor) pos = vendorEnd;  // the vendor's data is skipped as a whole
      wordInNamespace = 0;
      inVendor = (word & kVendorNamespace) != 0;
      if (inVendor) {
        pos = (pos + 1) / 2 * 2;
        if (pos + 6 > len) return Fail(problem, "radiotap vendor namespace runs past the header");
        vendorEnd = pos + 6 + LE16(h + pos + 4);
        if (vendorEnd > len) return Fail(problem, "radiotap vendor data runs past the header");
        pos += 6;
      }
    } else {
      ++wordInNamespace;
    }
  }
}

}  // namespace

bool IsSupportedLinkType(uint32_t t) {
  return t == kLinkIEEE80211 || t == kLinkPrism || t == kLinkRadiotap || t == kLinkPPI;
}

std::optional<size_t> ParseRadiotap(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem) {
  if (packet.size() < 8) return Reject(problem, "radiotap header shorter than 8 bytes");
  if (packet[0] != 0) return Reject(problem, "unknown radiotap version");
  const size_t len = LE16(packet.data() + 2);
  if (len < 8) return Reject(problem, "radiotap header shorter than 8 bytes");
  if (len > packet.size()) return Reject(problem, "radiotap header runs past the packet");
  // The presence bitmaps: one 32-bit word after another while bit 31 says more follow.
  size_t dataStart = 4;
  for (;;) {
    if (dataStart + 4 > len) return Reject(problem, "radiotap bitmaps run past the header");
    const uint32_t word = LE32(packet.data() + dataStart);
    dataStart += 4;
    if (!(word & kMoreBitmaps)) break;
  }
  if (!WalkRadiotapFields(packet.data(), len, dataStart, info, problem)) return std::nullopt;
  return len;
}

std::optional<size_t> ParsePrism(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem) {
  if (packet.size() < 8) return Reject(problem, "Prism header shorter than 8 bytes");
  const uint8_t* p = packet.data();
  // The AVS header that some drivers hand out under the same link type: big-endian, magic 0x8021100x.
  if ((BE32(p) & 0xFFFFFFF0u) == 0x80211000u) {
    const uint32_t len = BE32(p + 4);
    if (len < 8 || len > packet.size()) return Reject(problem, "AVS header runs past the packet");
    // Version, length, MAC time, host time, PHY type, channel (28), rate, antenna, priority, SSI type (44;
    // 2 = dBm), SSI signal (48), ...
    if (len >= 52) {
      const uint32_t channel = BE32(p + 28);
      if (channel > 0 && channel < 200) info.FrequencyMHz = ChannelToFrequency(channel) / 1000;
      if (BE32(p + 44) == 2) info.SignalDbm = PlausibleDbm(static_cast<int32_t>(BE32(p + 48)));
    }
    return len;
  }
  // Prism: message code, message length, device name, then items of DID, status, length and a 32-bit value
  // in a fixed order (host time, MAC time, channel, RSSI, signal quality, signal, noise, rate, ...). The
  // length is in the capturing host's byte order.
  uint32_t len = LE32(p + 4);
  if (len > 0xFFFF) len = BE32(p + 4);
  if (len < 24 || len > packet.size()) return Reject(problem, "Prism header runs past the packet");
  const bool bigEndian = LE32(p + 4) > 0xFFFF;
  auto item = [&](size_t index) -> std::optional<uint32_t> {
    const size_t at = 24 + index * 12;
    if (at + 12 > len) return std::nullopt;
    const uint16_t status = bigEndian ? static_cast<uint16_t>(p[at + 4] << 8 | p[at + 5]) : LE16(p + at + 4);
    if (status != 0) return std::nullopt;  // no value supplied
    return bigEndian ? BE32(p + at + 8) : LE32(p + at + 8);
  };
  if (auto channel = item(2); channel && *channel > 0 && *channel < 200)
    info.FrequencyMHz = ChannelToFrequency(*channel) / 1000;
  if (auto signal = item(5)) info.SignalDbm = PlausibleDbm(static_cast<int32_t>(*signal));
  return len;
}

std::optional<size_t> ParsePPI(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem) {
  if (packet.size() < 8) return Reject(problem, "PPI header shorter than 8 bytes");
  const uint8_t* p = packet.data();
  if (p[0] != 0) return Reject(problem, "unknown PPI version");
  const size_t len = LE16(p + 2);
  if (len < 8 || len > packet.size()) return Reject(problem, "PPI header runs past the packet");
  if (LE32(p + 4) != kLinkIEEE80211) return Reject(problem, "PPI packet carries no 802.11 frame");
  // Fields: type, length, data; the 802.11-common field (type 2) has the channel, flags and signal.
  for (size_t at = 8; at + 4 <= len;) {
    const uint16_t type = LE16(p + at), size = LE16(p + at + 2);
    if (at + 4 + size > len) return Reject(problem, "PPI field runs past the header");
    const uint8_t* f = p + at + 4;
    if (type == 2 && size >= 20) {
      const uint16_t flags = LE16(f + 8);
      info.HasFCS = (flags & 0x0001) != 0;
      info.BadFCS = (flags & 0x0004) != 0;
      info.FrequencyMHz = LE16(f + 12);
      info.SignalDbm = PlausibleDbm(static_cast<int8_t>(f[18]));
    }
    at += 4 + size;
  }
  return len;
}

void ParseManagementFrame(std::span<const uint8_t> frame, TCapturedFrame& out) {
  if (frame.size() < 2) {
    out.Kind = TFrameKind::Malformed;
    out.Problem = "802.11 frame shorter than its frame control field";
    return;
  }
  const uint16_t fc = LE16(frame.data());
  const unsigned version = fc & 3, type = (fc >> 2) & 3, subtype = (fc >> 4) & 15;
  if (version != 0 || type != 0 || (subtype != 8 && subtype != 5)) {
    out.Kind = TFrameKind::Other;
    return;
  }
  // Management header of 24 bytes, 28 with an HT control field (order bit); then timestamp, beacon interval
  // and capability information.
  const size_t header = (fc & 0x8000) ? 28 : 24;
  if (frame.size() < header + 12) {
    out.Kind = TFrameKind::Malformed;
    out.Problem =
        subtype == 8 ? "beacon too short for its fixed fields" : "probe response too short for its fixed fields";
    return;
  }
  out.Kind = subtype == 8 ? TFrameKind::Beacon : TFrameKind::ProbeResponse;
  const uint8_t* fixed = frame.data() + header;
  TBeaconReception rx;
  std::memcpy(rx.Bssid.data(), frame.data() + 16, 6);
  rx.Timestamp = LE64(fixed);
  rx.BeaconPeriod = LE16(fixed + 8);
  rx.Capability = LE16(fixed + 10);
  rx.FrequencyKHz = out.Radio.FrequencyMHz * 1000;
  rx.SignalDbm = out.Radio.SignalDbm;
  out.Blob = frame.subspan(header + 12);
  ReadBeacon(out.Blob, rx, out.Entry);
}

TCapturedFrame ParseCaptureFrame(uint32_t linkType, std::span<const uint8_t> packet, bool wholeFrame) {
  TCapturedFrame out;
  std::optional<size_t> header;
  switch (linkType) {
    case kLinkIEEE80211: header = 0; break;
    case kLinkRadiotap: header = ParseRadiotap(packet, out.Radio, out.Problem); break;
    case kLinkPrism: header = ParsePrism(packet, out.Radio, out.Problem); break;
    case kLinkPPI: header = ParsePPI(packet, out.Radio, out.Problem); break;
    default: out.Problem = "link type carries no 802.11 frames"; break;
  }
  if (!header) {
    out.Kind = TFrameKind::Malformed;
    return out;
  }
  if (out.Radio.BadFCS) {
    out.Kind = TFrameKind::BadFCS;
    return out;
  }
  std::span<const uint8_t> frame = packet.subspan(*header);
  if (out.Radio.HasFCS && wholeFrame) {
    if (frame.size() < 4) {
      out.Kind = TFrameKind::Malformed;
      out.Problem = "802.11 frame shorter than its frame check sequence";
      return out;
    }
    frame = frame.first(frame.size() - 4);
  }
  ParseManagementFrame(frame, out);
  return out;
}

}  // namespace skimlet

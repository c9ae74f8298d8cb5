// Small pcap and pcapng files made in memory: 802.11 management frames behind radiotap headers, for the
// capture reader's tests, the command line's tests and the capture benchmark.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace skimlet::test {

inline void PutLE(std::vector<uint8_t>& out, uint64_t v, size_t n) {
  for (size_t k = 0; k < n; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

// A beacon (subtype 8) or probe response (subtype 5) from BSSID with the given fixed fields and elements.
inline std::vector<uint8_t> ManagementFrame(const std::array<uint8_t, 6>& bssid, const std::vector<uint8_t>& blob,
                                            uint16_t capability = 0x0411, unsigned subtype = 8,
                                            uint64_t timestamp = 0x0102030405060708ull, uint16_t interval = 100) {
  std::vector<uint8_t> f;
  PutLE(f, subtype << 4, 2);  // frame control: management
  PutLE(f, 0, 2);             // duration
  for (int k = 0; k < 6; ++k) f.push_back(0xFF);  // destination: broadcast
  f.insert(f.end(), bssid.begin(), bssid.end());  // source
  f.insert(f.end(), bssid.begin(), bssid.end());  // BSSID
  PutLE(f, 0x1230, 2);                            // sequence
  PutLE(f, timestamp, 8);
  PutLE(f, interval, 2);
  PutLE(f, capability, 2);
  f.insert(f.end(), blob.begin(), blob.end());
  return f;
}

// A radiotap header with flags, channel and antenna signal (the fields a monitor interface typically gives).
inline std::vector<uint8_t> RadiotapHeader(uint16_t mhz, int8_t dBm, uint8_t flags = 0) {
  std::vector<uint8_t> h = {0x00, 0x00, 0x00, 0x00};
  PutLE(h, (1u << 1) | (1u << 3) | (1u << 5), 4);  // present: flags, channel, antenna signal
  h.push_back(flags);                               // 8: flags
  h.push_back(0);                                   // 9: pad to 2
  PutLE(h, mhz, 2);                                 // 10: channel frequency
  PutLE(h, mhz < 3000 ? 0x00A0 : 0x0140, 2);        // 12: channel flags
  h.push_back(static_cast<uint8_t>(dBm));           // 14: antenna signal
  h[2] = static_cast<uint8_t>(h.size());
  return h;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A classic pcap file (microsecond stamps, little-endian).
class PcapWriter {
public:
  explicit PcapWriter(uint32_t linkType) {
    PutLE(bytes_, 0xA1B2C3D4u, 4);
    PutLE(bytes_, 2, 2);
    PutLE(bytes_, 4, 2);
    PutLE(bytes_, 0, 4);
    PutLE(bytes_, 0, 4);
    PutLE(bytes_, 65535, 4);
    PutLE(bytes_, linkType, 4);
  }
  // OrigLen: the length on air when the packet was cut by the snap length (0: the packet's own).
  PcapWriter& Add(uint32_t seconds, uint32_t micro, const std::vector<uint8_t>& packet, uint32_t origLen = 0) {
    PutLE(bytes_, seconds, 4);
    PutLE(bytes_, micro, 4);
    PutLE(bytes_, packet.size(), 4);
    PutLE(bytes_, origLen ? origLen : packet.size(), 4);
    bytes_.insert(bytes_.end(), packet.begin(), packet.end());
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

private:
  std::vector<uint8_t> bytes_;
};

// A pcapng file: section header, one interface of the link type, enhanced packet blocks (microseconds).
class PcapngWriter {
public:
  explicit PcapngWriter(uint32_t linkType) {
    Block(0x0A0D0D0A, [](std::vector<uint8_t>& b) {
      PutLE(b, 0x1A2B3C4D, 4);
      PutLE(b, 1, 2);
      PutLE(b, 0, 2);
      PutLE(b, ~0ull, 8);
    });
    Block(1, [&](std::vector<uint8_t>& b) {
      PutLE(b, linkType, 2);
      PutLE(b, 0, 2);
      PutLE(b, 65535, 4);
    });
  }
  PcapngWriter& Add(uint32_t seconds, uint32_t micro, const std::vector<uint8_t>& packet) {
    const uint64_t stamp = uint64_t{seconds} * 1000000 + micro;
    Block(6, [&](std::vector<uint8_t>& b) {
      PutLE(b, 0, 4);
      PutLE(b, stamp >> 32, 4);
      PutLE(b, stamp & 0xFFFFFFFFu, 4);
      PutLE(b, packet.size(), 4);
      PutLE(b, packet.size(), 4);
      b.insert(b.end(), packet.begin(), packet.end());
      while (b.size() % 4) b.push_back(0);
    });
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

private:
  template <class F>
  void Block(uint32_t type, F body) {
    std::vector<uint8_t> b;
    body(b);
    PutLE(bytes_, type, 4);
    PutLE(bytes_, b.size() + 12, 4);
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    PutLE(bytes_, b.size() + 12, 4);
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace skimlet::test

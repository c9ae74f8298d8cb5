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
  PutLE(f, subtype << 4, 2);                      // frame control: management
  PutLE(f, 0, 2);                                 // duration
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
  h.push_back(flags);                              // 8: flags
  h.push_back(0);                                  // 9: pad to 2
  PutLE(h, mhz, 2);                                // 10: channel frequency
  PutLE(h, mhz < 3000 ? 0x00A0 : 0x0140, 2);       // 12: channel flags
  h.push_back(static_cast<uint8_t>(dBm));          // 14: antenna signal
  h[2] = static_cast<uint8_t>(h.size());
  return h;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline void PutBE(std::vector<uint8_t>& out, uint64_t v, size_t n) {
  for (size_t k = n; k-- > 0;) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

// The pcap variants libpcap reads.
struct PcapFormat {
  bool Nanoseconds = false;  // magic A1B23C4D: stamps in nanoseconds
  bool BigEndian = false;    // written in the other byte order (libpcap swaps)
  bool Modified = false;     // magic A1B2CD34: 24-byte record headers with interface index, protocol and type
};

// A classic pcap file (by default microsecond stamps, little-endian).
class PcapWriter {
 public:
  explicit PcapWriter(uint32_t linkType, PcapFormat format = {}) : format_(format) {
    Put(format.Modified ? 0xA1B2CD34u : format.Nanoseconds ? 0xA1B23C4Du : 0xA1B2C3D4u, 4);
    Put(2, 2);
    Put(4, 2);
    Put(0, 4);
    Put(0, 4);
    Put(65535, 4);
    Put(linkType, 4);
  }
  // OrigLen: the length on air when the packet was cut by the snap length (0: the packet's own).
  PcapWriter& Add(uint32_t seconds, uint32_t micro, const std::vector<uint8_t>& packet, uint32_t origLen = 0) {
    Put(seconds, 4);
    Put(format_.Nanoseconds ? micro * 1000u : micro, 4);
    Put(packet.size(), 4);
    Put(origLen ? origLen : packet.size(), 4);
    if (format_.Modified) {
      Put(3, 4);            // interface index
      Put(0x0019, 2);       // protocol
      bytes_.push_back(4);  // packet type: outgoing
      bytes_.push_back(0);  // padding of the record header to 24 bytes
    }
    bytes_.insert(bytes_.end(), packet.begin(), packet.end());
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  void Put(uint64_t v, size_t n) { format_.BigEndian ? PutBE(bytes_, v, n) : PutLE(bytes_, v, n); }
  PcapFormat format_;
  std::vector<uint8_t> bytes_;
};

// A pcapng file: a section header, one interface of the link type, enhanced packet blocks (microseconds).
// Further interfaces and sections can follow; a new section starts without interfaces.
class PcapngWriter {
 public:
  explicit PcapngWriter(uint32_t linkType, bool bigEndian = false) {
    Section(bigEndian);
    Interface(linkType);
  }
  PcapngWriter& Section(bool bigEndian = false) {
    bigEndian_ = bigEndian;
    unitsPerSecond_.clear();
    Block(0x0A0D0D0A, [&](std::vector<uint8_t>& b) {
      Put(b, 0x1A2B3C4D, 4);
      Put(b, 1, 2);
      Put(b, 0, 2);
      Put(b, ~0ull, 8);
    });
    return *this;
  }
  // Decimals: the time stamp resolution (6 microseconds, the default; 9 nanoseconds), written as an option
  // when it is not 6.
  PcapngWriter& Interface(uint32_t linkType, uint32_t snapLength = 65535, uint8_t decimals = 6) {
    Block(1, [&](std::vector<uint8_t>& b) {
      Put(b, linkType, 2);
      Put(b, 0, 2);
      Put(b, snapLength, 4);
      if (decimals != 6) {
        Put(b, 9, 2);  // if_tsresol
        Put(b, 1, 2);
        b.insert(b.end(), {decimals, 0, 0, 0});
        Put(b, 0, 4);  // end of options
      }
    });
    uint64_t units = 1;
    for (int k = 0; k < decimals; ++k) units *= 10;
    unitsPerSecond_.push_back(units);
    return *this;
  }
  PcapngWriter& Add(uint32_t seconds, uint32_t micro, const std::vector<uint8_t>& packet, uint32_t interface = 0) {
    const uint64_t units = interface < unitsPerSecond_.size() ? unitsPerSecond_[interface] : 1000000;
    const uint64_t stamp = uint64_t{seconds} * units + uint64_t{micro} * units / 1000000;
    Block(6, [&](std::vector<uint8_t>& b) {
      Put(b, interface, 4);
      Put(b, stamp >> 32, 4);
      Put(b, stamp & 0xFFFFFFFFu, 4);
      Put(b, packet.size(), 4);
      Put(b, packet.size(), 4);
      b.insert(b.end(), packet.begin(), packet.end());
      while (b.size() % 4) b.push_back(0);
    });
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  void Put(std::vector<uint8_t>& out, uint64_t v, size_t n) const { bigEndian_ ? PutBE(out, v, n) : PutLE(out, v, n); }
  template <class F>
  void Block(uint32_t type, F body) {
    std::vector<uint8_t> b;
    body(b);
    Put(bytes_, type, 4);
    Put(bytes_, b.size() + 12, 4);
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    Put(bytes_, b.size() + 12, 4);
  }
  bool bigEndian_ = false;
  std::vector<uint64_t> unitsPerSecond_;  // of the section's interfaces
  std::vector<uint8_t> bytes_;
};

}  // namespace skimlet::test

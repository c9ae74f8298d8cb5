#include "core/capture/capture.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <fstream>
#include <memory>

namespace skimlet {

namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 as a LocalDateTime
// 100 ns units from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochHostTime = 116444736000000000ull;

int64_t UtcOffsetAt(int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return 0;
  return local.tm_gmtoff;
}

// Local time of many stamps close to one another: the zone's offset is looked up once per quarter hour (zones
// change their offset on whole or half hours only).
class TLocalTimes {
 public:
  LocalDateTime Of(int64_t seconds, uint32_t microseconds) {
    const int64_t bucket = seconds >= 0 ? seconds / 900 : (seconds - 899) / 900;
    if (!valid_ || bucket != bucket_) {
      bucket_ = bucket;
      offset_ = UtcOffsetAt(seconds);
      valid_ = true;
    }
    return kUnixEpochDays + static_cast<double>(seconds + offset_) / SecondsPerDay +
           static_cast<double>(std::min<uint32_t>(microseconds, 999999)) / (SecondsPerDay * 1e6);
  }

 private:
  bool valid_ = false;
  int64_t bucket_ = 0, offset_ = 0;
};

uint64_t HostTimeOf(int64_t seconds, uint32_t microseconds) {
  if (seconds < 0) return 0;
  return kUnixEpochHostTime + static_cast<uint64_t>(seconds) * 10000000ull +
         uint64_t{std::min<uint32_t>(microseconds, 999999)} * 10;
}

uint64_t KeyOf(const std::array<uint8_t, 6>& b) {
  uint64_t k = 0;
  for (uint8_t x : b) k = k << 8 | x;
  return k;
}

}  // namespace

namespace {

// A pcapng interface: link type, snap length (0: none) and the time stamps' units per second and offset.
struct TPcapngInterface {
  uint32_t LinkType = 0;
  uint32_t SnapLength = 0;
  uint64_t UnitsPerSecond = 1000000;
  int64_t OffsetSeconds = 0;
};

constexpr uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint32_t kSwappedByteOrderMagic = 0x4D3C2B1A;
// Time stamps and offsets beyond this many seconds (some 35,000 years) are cut to it.
constexpr int64_t kMaxSeconds = int64_t{1} << 40;
constexpr uint32_t kMaxBlockLength = 16 * 1024 * 1024;  // libpcap's limit too

class TBlockReader {
 public:
  bool Swapped = false;
  uint32_t U16(std::span<const uint8_t> b, size_t at) const {
    return Swapped ? uint32_t{b[at]} << 8 | b[at + 1] : uint32_t{b[at + 1]} << 8 | b[at];
  }
  uint32_t U32(std::span<const uint8_t> b, size_t at) const {
    return Swapped ? uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3]
                   : uint32_t{b[at + 3]} << 24 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 1]} << 8 | b[at];
  }
  uint64_t U64(std::span<const uint8_t> b, size_t at) const {
    const uint64_t first = U32(b, at), second = U32(b, at + 4);
    return Swapped ? first << 32 | second : second << 32 | first;
  }
};

// The interface's options that matter: time stamp resolution (9) and offset (14). False when one is invalid.
bool ReadInterfaceOptions(const TBlockReader& r, std::span<const uint8_t> options, TPcapngInterface& i) {
  size_t at = 0;
  while (at + 4 <= options.size()) {
    const uint32_t code = r.U16(options, at), length = r.U16(options, at + 2);
    at += 4;
    if (code == 0) break;
    if (length > options.size() - at) return false;
    std::span<const uint8_t> value = options.subspan(at, length);
    if (code == 9 && length >= 1) {
      const uint8_t v = value[0];
      const unsigned power = v & 0x7F;
      if (v & 0x80) {
        if (power > 63) return false;
        i.UnitsPerSecond = uint64_t{1} << power;
      } else {
        if (power > 19) return false;
        i.UnitsPerSecond = 1;
        for (unsigned k = 0; k < power; ++k) i.UnitsPerSecond *= 10;
      }
    } else if (code == 14 && length == 8) {
      i.OffsetSeconds = std::clamp(static_cast<int64_t>(r.U64(value, 0)), -kMaxSeconds, kMaxSeconds);
    }
    at += (length + 3u) & ~3u;
  }
  return true;
}

}  // namespace

std::string ReadPcapngBlocks(std::istream& in, TCaptureCollector& collector) {
  TBlockReader r;
  std::vector<TPcapngInterface> interfaces;
  bool inSection = false;
  TLocalTimes times;
  std::vector<uint8_t> body;
  for (uint64_t block = 1;; ++block) {
    const std::string where = "pcapng block " + std::to_string(block) + ": ";
    std::array<uint8_t, 12> head{};
    in.read(reinterpret_cast<char*>(head.data()), 8);
    if (in.gcount() == 0) return {};
    if (in.gcount() < 8) return where + "the file ends inside the block header";
    const bool section = r.U32(head, 0) == kSectionHeaderBlock;  // the same in either byte order
    if (section) {
      // The section's byte order comes from its byte-order magic, which follows the length.
      in.read(reinterpret_cast<char*>(head.data() + 8), 4);
      if (in.gcount() < 4) return where + "the file ends inside the section header";
      const uint32_t magic = TBlockReader{}.U32(head, 8);
      if (magic == kByteOrderMagic) r.Swapped = false;
      else if (magic == kSwappedByteOrderMagic) r.Swapped = true;
      else return where + "a section header with an unknown byte order";
    } else if (!inSection) {
      return where + "the file does not start with a section header";
    }
    const uint32_t type = r.U32(head, 0), length = r.U32(head, 4);
    if (length < (section ? 28u : 12u) || length % 4 != 0 || length > kMaxBlockLength)
      return where + "a block length of " + std::to_string(length) + " bytes";
    // The body after the header read so far, with the trailing length.
    const size_t done = section ? 12 : 8;
    body.resize(length - done);
    in.read(reinterpret_cast<char*>(body.data()), static_cast<std::streamsize>(body.size()));
    if (static_cast<size_t>(in.gcount()) < body.size()) return where + "the file ends inside the block";
    if (r.U32(body, body.size() - 4) != length) return where + "the block's two lengths differ";
    std::span<const uint8_t> b(body.data(), body.size() - 4);

    if (section) {
      if (b.size() < 12 || r.U16(b, 0) != 1) return where + "a section of an unknown pcapng version";
      inSection = true;
      interfaces.clear();
      continue;
    }
    uint32_t ifIndex = 0;
    uint64_t stamp = 0;
    uint32_t captured = 0, original = 0;
    std::span<const uint8_t> packet;
    switch (type) {
      case 1: {  // interface description
        if (b.size() < 8) return where + "an interface description shorter than 8 bytes";
        TPcapngInterface i;
        i.LinkType = r.U16(b, 0);
        i.SnapLength = r.U32(b, 4);
        if (!ReadInterfaceOptions(r, b.subspan(8), i)) return where + "an interface option that makes no sense";
        interfaces.push_back(i);
        continue;
      }
      case 6:  // enhanced packet
      case 2:  // obsolete packet
        if (b.size() < 20) return where + "a packet block shorter than 20 bytes";
        ifIndex = type == 6 ? r.U32(b, 0) : r.U16(b, 0);
        stamp = uint64_t{r.U32(b, 4)} << 32 | r.U32(b, 8);
        captured = r.U32(b, 12);
        original = r.U32(b, 16);
        if (captured > b.size() - 20) return where + "a packet longer than its block";
        packet = b.subspan(20, captured);
        break;
      case 3:  // simple packet: interface 0, no time stamp
        if (b.size() < 4) return where + "a simple packet block shorter than 4 bytes";
        original = r.U32(b, 0);
        captured = static_cast<uint32_t>(std::min<size_t>(original, b.size() - 4));
        if (!interfaces.empty() && interfaces[0].SnapLength) captured = std::min(captured, interfaces[0].SnapLength);
        packet = b.subspan(4, captured);
        break;
      default: continue;  // statistics, name resolution, custom blocks ...
    }
    if (ifIndex >= interfaces.size())
      return where + "a packet of interface " + std::to_string(ifIndex) + ", which is not described";
    const TPcapngInterface& i = interfaces[ifIndex];
    const int64_t seconds =
        static_cast<int64_t>(std::min<uint64_t>(stamp / i.UnitsPerSecond, kMaxSeconds)) + i.OffsetSeconds;
    const uint32_t micro = static_cast<uint32_t>(std::min(
        999999.0, static_cast<double>(stamp % i.UnitsPerSecond) * 1e6 / static_cast<double>(i.UnitsPerSecond)));
    if (!IsSupportedLinkType(i.LinkType)) {
      ++collector.Stats().Frames;
      ++collector.Stats().Other;
      continue;
    }
    collector.Add(i.LinkType, packet, captured >= original, times.Of(seconds, micro), HostTimeOf(seconds, micro));
  }
}

LocalDateTime LocalDateTimeOfUnix(int64_t seconds, uint32_t microseconds) {
  return TLocalTimes().Of(seconds, microseconds);
}

void TCaptureCollector::Add(uint32_t linkType, std::span<const uint8_t> packet, bool wholeFrame, LocalDateTime time,
                            uint64_t hostTime) {
  ++stats_.Frames;
  if (!anyFrame_ || time > last_) last_ = time;
  anyFrame_ = true;
  TCapturedFrame f = ParseCaptureFrame(linkType, packet, wholeFrame);
  switch (f.Kind) {
    case TFrameKind::Other: ++stats_.Other; return;
    case TFrameKind::BadFCS: ++stats_.BadFCS; return;
    case TFrameKind::Malformed:
      ++stats_.Malformed;
      if (stats_.FirstProblem.empty())
        stats_.FirstProblem = "frame " + std::to_string(stats_.Frames) + ": " + std::string(f.Problem);
      return;
    case TFrameKind::Beacon: ++stats_.Beacons; break;
    case TFrameKind::ProbeResponse: ++stats_.ProbeResponses; break;
  }
  auto [it, created] = byBSSID_.try_emplace(KeyOf(f.Entry.dot11Bssid), records_.size());
  if (created) {
    records_.emplace_back();
    records_.back().FirstSeen = time;
    records_.back().LastSeen = time;
  }
  SnapshotRecord& r = records_[it->second];
  r.Entry = f.Entry;
  r.Entry.ullHostTimestamp = hostTime;
  r.Blob.assign(f.Blob.begin(), f.Blob.end());
  r.FirstSeen = std::min(r.FirstSeen, time);
  r.LastSeen = std::max(r.LastSeen, time);
}

SnapshotContents TCaptureCollector::Take() {
  SnapshotContents out;
  out.SavedTime = last_;
  out.Records = std::move(records_);
  records_.clear();
  byBSSID_.clear();
  return out;
}

namespace {

using TPcap = std::unique_ptr<pcap_t, decltype(&pcap_close)>;

// The frames libpcap reads from Pcap; Path, when the capture is a file that can be read a second time.
TCaptureContents ReadCapture(TPcap pcap, const char* error, const std::string& name, const std::string* path) {
  TCaptureContents out;
  if (!pcap) {
    out.Status = TCaptureStatus::ReadError;
    out.LibpcapError = error;
    out.Error = name + ": " + error;
    return out;
  }
  const int link = pcap_datalink(pcap.get());
  out.LinkType = static_cast<uint32_t>(link);
  if (!IsSupportedLinkType(out.LinkType)) {
    out.Status = TCaptureStatus::UnsupportedLink;
    const char* linkName = pcap_datalink_val_to_name(link);
    out.Error = name + ": a capture of link type " + std::to_string(link) +
                (linkName ? std::string(" (") + linkName + ")" : "") + ", which carries no 802.11 frames";
    return out;
  }
  TCaptureCollector collector;
  TLocalTimes times;
  for (;;) {
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    const int rc = pcap_next_ex(pcap.get(), &header, &data);
    if (rc == PCAP_ERROR_BREAK) break;  // end of file
    if (rc != 1) {
      collector.Stats().Truncated = true;
      collector.Stats().TruncationText = pcap_geterr(pcap.get());
      break;
    }
    const int64_t seconds = header->ts.tv_sec;
    const uint32_t micro = static_cast<uint32_t>(std::max<long>(0, header->ts.tv_usec));
    collector.Add(out.LinkType, std::span<const uint8_t>(data, header->caplen), header->caplen >= header->len,
                  times.Of(seconds, micro), HostTimeOf(seconds, micro));
  }
  // A pcapng file libpcap stopped reading (an interface of another link type or snap length, say): read it
  // again block by block, and keep that reading when it got further.
  if (path && collector.Stats().Truncated && pcap_major_version(pcap.get()) == 1) {
    std::ifstream in(*path, std::ios::binary);
    TCaptureCollector again;
    std::string stop = ReadPcapngBlocks(in, again);
    if (again.Stats().Frames > collector.Stats().Frames) {
      again.Stats().Truncated = !stop.empty();
      again.Stats().TruncationText = stop;
      collector = std::move(again);
    }
  }
  out.Stats = collector.Stats();
  out.Networks = collector.Take();
  return out;
}

}  // namespace

TCaptureContents ReadCaptureFile(const std::string& path) {
  char error[PCAP_ERRBUF_SIZE] = {};
  TPcap pcap(pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_MICRO, error), &pcap_close);
  return ReadCapture(std::move(pcap), error, path, &path);
}

TCaptureContents ReadCaptureStream(std::FILE* stream, const std::string& name) {
  char error[PCAP_ERRBUF_SIZE] = {};
  TPcap pcap(pcap_fopen_offline_with_tstamp_precision(stream, PCAP_TSTAMP_PRECISION_MICRO, error), &pcap_close);
  if (!pcap) std::fclose(stream);  // libpcap closes it only once it has taken it
  return ReadCapture(std::move(pcap), error, name, nullptr);
}

}  // namespace skimlet

#include "core/capture/capture.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <ctime>
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

TCaptureContents ReadCaptureFile(const std::string& path) {
  TCaptureContents out;
  char error[PCAP_ERRBUF_SIZE] = {};
  std::unique_ptr<pcap_t, decltype(&pcap_close)> pcap(
      pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_MICRO, error), &pcap_close);
  if (!pcap) {
    out.Status = TCaptureStatus::ReadError;
    out.LibpcapError = error;
    out.Error = path + ": " + error;
    return out;
  }
  const int link = pcap_datalink(pcap.get());
  out.LinkType = static_cast<uint32_t>(link);
  if (!IsSupportedLinkType(out.LinkType)) {
    out.Status = TCaptureStatus::UnsupportedLink;
    const char* name = pcap_datalink_val_to_name(link);
    out.Error = path + ": a capture of link type " + std::to_string(link) + (name ? std::string(" (") + name + ")" : "") +
                ", which carries no 802.11 frames";
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
  out.Stats = collector.Stats();
  out.Networks = collector.Take();
  return out;
}

}  // namespace skimlet

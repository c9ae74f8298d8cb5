// Capture files (pcap and pcapng) of 802.11 traffic read as a saved survey: the last beacon or probe
// response of each BSSID becomes its BSS entry and element blob, as if the wireless service had reported it,
// with the times of the first and last of those frames.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <span>
#include <string>
#include <unordered_map>

#include "core/base/datetime.h"
#include "core/capture/frame.h"
#include "core/model/snapshot_file.h"

namespace skimlet {

struct TCaptureStats {
  uint64_t Frames = 0;  // packets read
  uint64_t Beacons = 0;
  uint64_t ProbeResponses = 0;
  uint64_t Other = 0;        // other frames: skipped
  uint64_t BadFCS = 0;       // frames that failed their check: skipped
  uint64_t Malformed = 0;    // frames that made no sense: skipped
  std::string FirstProblem;  // "frame 12: radiotap header runs past the packet"
  // Reading stopped before the end: the file ends inside a frame, or libpcap refused a later block (an
  // interface of another link type in a pcapng file). Every frame before it was read; TruncationText is
  // libpcap's reason.
  bool Truncated = false;
  std::string TruncationText;
};

// Gathers the BSSs of a stream of packets.
class TCaptureCollector {
 public:
  // One packet of the given link type, received at Time (local) or HostTime (100 ns since 1601-01-01 UTC,
  // what the service reports as the host time of reception).
  void Add(uint32_t linkType, std::span<const uint8_t> packet, bool wholeFrame, LocalDateTime time, uint64_t hostTime);
  const TCaptureStats& Stats() const { return stats_; }
  TCaptureStats& Stats() { return stats_; }
  // The BSSs in order of their first frame, with SavedTime the time of the capture's last frame, the moment
  // their activity is judged against.
  SnapshotContents Take();

 private:
  TCaptureStats stats_;
  std::vector<SnapshotRecord> records_;
  std::unordered_map<uint64_t, size_t> byBSSID_;
  LocalDateTime last_ = 0;
  bool anyFrame_ = false;
};

enum class TCaptureStatus {
  Ok,
  ReadError,        // the file could not be opened or is no capture libpcap reads: Error says why
  UnsupportedLink,  // a capture of frames other than 802.11: Error says which
};

struct TCaptureContents {
  TCaptureStatus Status = TCaptureStatus::Ok;
  std::string Error;
  std::string LibpcapError;  // ReadError: libpcap's own text, without the file name
  uint32_t LinkType = 0;
  SnapshotContents Networks;  // Records and SavedTime as a snapshot of the capture would hold them
  TCaptureStats Stats;
};

// Reads any capture file libpcap reads (pcap in either byte order with micro- or nanosecond stamps, its
// modified variant, pcapng); the stamps are read as microseconds. libpcap reads a pcapng file in the link
// type of its first interface and stops at an interface of another link type or snap length; such a file is
// read again by ReadPcapngBlocks, each packet in the link type of its own interface.
TCaptureContents ReadCaptureFile(const std::string& path);
// The same from an open stream, read once from its start (a pipe, say), which it closes. Name names it in
// messages. A pcapng stream is not read a second time: reading ends where libpcap stops.
TCaptureContents ReadCaptureStream(std::FILE* stream, const std::string& name);

// Reads the blocks of a pcapng stream (sections in either byte order, interface, enhanced, simple and
// obsolete packet blocks; others are skipped) into Collector. Packets of interfaces whose link type carries
// no 802.11 frames count as other frames. Returns an empty text at the end of the stream, else why reading
// stopped (every packet before it was added).
std::string ReadPcapngBlocks(std::istream& in, TCaptureCollector& collector);

// Seconds since 1970-01-01 UTC as a LocalDateTime in the local time zone.
LocalDateTime LocalDateTimeOfUnix(int64_t seconds, uint32_t microseconds);

}  // namespace skimlet

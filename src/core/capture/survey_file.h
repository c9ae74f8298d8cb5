// Opening a saved survey: a snapshot file, a floor-plan survey file or a capture file, told apart by content
// (never by the file name), loaded into a network list the same way. A snapshot is known by its own header, a
// floor-plan survey by the SQLite header; everything else is handed to libpcap, so that every capture format
// libpcap reads opens without a list of magic numbers here.
#pragma once

#include <string>

#include "core/capture/capture.h"
#include "core/model/snapshot.h"

namespace skimlet {

enum class TSurveyFileKind {
  Snapshot,
  Capture,
  FloorSurvey,  // a floor-plan survey file: its networks, as their latest records
  Unknown,      // neither a snapshot nor a capture libpcap can read: Ok is false and Message says so
};

struct TSurveyLoadResult {
  TSurveyFileKind Kind = TSurveyFileKind::Snapshot;
  // False when the file could not be read at all (nothing was loaded); Message says why.
  bool Ok = true;
  // For the user: why the file could not be read, e.g. "FILE: neither a snapshot nor a capture that libpcap
  // can read: unknown file format".
  std::string Message;
  // The moment the activity of the loaded networks was judged against: when the snapshot was written, or
  // the time of the capture's last frame.
  LocalDateTime SavedTime = 0;
  size_t Loaded = 0;
  SnapshotStatus Snapshot = SnapshotStatus::Ok;  // for a snapshot: how its header read
  size_t SkippedRecords = 0;                     // snapshot records that made no sense
  std::string Warning;                           // for a snapshot read in part: where reading stopped
  // False for a snapshot of an older writer, which does not say in which zone its times are.
  bool ZoneKnown = true;
  TCaptureStats Capture;  // for a capture: frames read, skipped and why
};

// Appends the networks of the file at Path to List as LoadSnapshot does: as saved, active when heard within
// DeltaTimeInactive seconds of SavedTime. A file that starts with the snapshot format bytes 1, 1 is a
// snapshot; so is one shorter than the 10-byte snapshot header (no capture is that short), which loads
// nothing and is no error. Every other file goes to libpcap.
TSurveyLoadResult LoadSurveyFile(TWLANNetworkList& list, const std::string& path);

// The same from a stream that cannot seek (standard input, a pipe, a FIFO, a terminal), read once from Fd,
// which stays open. A capture is read as it arrives, packet by packet; a snapshot is read into memory, up to
// kMaxStreamedSnapshotBytes. Name names the stream in messages.
inline constexpr size_t kMaxStreamedSnapshotBytes = size_t{256} << 20;
TSurveyLoadResult LoadSurveyStream(TWLANNetworkList& list, int fd, const std::string& name);

// The networks of a capture as a snapshot holds them: the same entries, blobs and times, with SavedTime the
// time of the capture's last frame so that the snapshot opens with the same activity.
TSurveyLoadResult LoadCapture(TWLANNetworkList& list, const TCaptureContents& capture);

}  // namespace skimlet

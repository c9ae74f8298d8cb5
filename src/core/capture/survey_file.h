// Opening a saved survey: a snapshot file or a capture file, told apart by their first bytes (never by the
// file name), loaded into a network list the same way.
#pragma once

#include <string>

#include "core/capture/capture.h"
#include "core/model/snapshot.h"

namespace skimlet {

enum class TSurveyFileKind { Snapshot, Capture };

struct TSurveyLoadResult {
  TSurveyFileKind Kind = TSurveyFileKind::Snapshot;
  // False when the file could not be read at all (nothing was loaded); Message says why.
  bool Ok = true;
  // For the user: why the file could not be read, or "Unable to load snapshot. Reason: Unknown format.".
  std::string Message;
  // The moment the activity of the loaded networks was judged against: when the snapshot was written, or
  // the time of the capture's last frame.
  LocalDateTime SavedTime = 0;
  size_t Loaded = 0;
  SnapshotStatus Snapshot = SnapshotStatus::Ok;  // for a snapshot: how its header read
  size_t SkippedRecords = 0;  // snapshot records that made no sense
  TCaptureStats Capture;      // for a capture: frames read, skipped and why
};

// Appends the networks of the file at Path to List as LoadSnapshot does: as saved, active when heard within
// DeltaTimeInactive seconds of SavedTime. A snapshot shorter than its header loads nothing and is no error.
TSurveyLoadResult LoadSurveyFile(TWLANNetworkList& list, const std::string& path);

// The networks of a capture as a snapshot holds them: the same entries, blobs and times, with SavedTime the
// time of the capture's last frame so that the snapshot opens with the same activity.
TSurveyLoadResult LoadCapture(TWLANNetworkList& list, const TCaptureContents& capture);

}  // namespace skimlet

// Saving a network list as a snapshot file and loading one back into a list.
#pragma once

#include <string>

#include "core/base/datetime.h"
#include "core/model/network_list.h"
#include "core/model/snapshot_file.h"

namespace skimlet {

struct TSnapshotLoadResult {
  SnapshotStatus Status = SnapshotStatus::Ok;
  // For the user: "Unable to load snapshot. Reason: Unknown format." or the system's text; empty otherwise.
  std::string Message;
  size_t Loaded = 0;
  size_t Skipped = 0;  // records that made no sense
  // For the user, when the file was read only in part: "reading stopped at byte N: the file ends inside a
  // record".
  std::string Warning;
  // The file said in which zone its times were written, and they were moved into this machine's local time.
  // Files of older writers do not say; their times are taken as they are.
  bool ZoneKnown = false;
};

// Appends one network per complete record to List, as saved: same entry, blob and times; active when its last
// sighting lies at most DeltaTimeInactive whole seconds before the moment the file was written. The list is
// neither emptied nor matched against; no samples are added and no counters change. Times written in another
// zone are moved into local time.
TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const std::string& path);
TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const SnapshotContents& contents);

// Days to add to the times of Contents to make them local times of this machine (0 when its zone is unknown).
double ZoneShift(const SnapshotContents& contents);

// Writes every network of List, in list order, with SavedTime Now, atomically. Returns an empty text or what
// went wrong.
std::string SaveSnapshot(const TWLANNetworkList& list, const std::string& path, LocalDateTime now);

}  // namespace skimlet

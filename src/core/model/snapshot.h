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
};

// Appends one network per complete record to List, as saved: same entry, blob and times; active when its last
// sighting lies at most DeltaTimeInactive whole seconds before the moment the file was written. The list is
// neither emptied nor matched against; no samples are added and no counters change.
TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const std::string& path);
TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const SnapshotContents& contents);

// Writes every network of List, in list order, with SavedTime Now, atomically. Returns an empty text or what
// went wrong.
std::string SaveSnapshot(const TWLANNetworkList& list, const std::string& path, LocalDateTime now);

}  // namespace skimlet

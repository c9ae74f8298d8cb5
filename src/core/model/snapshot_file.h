// The snapshot file: a saved scan of one interface.
//
//   header   1, 1, SavedTime (LocalDateTime, 8 bytes)
//   records  RecordLength (u32 = 360 + n), the 360-byte BSS entry, its n-byte element blob,
//            FirstSeen and LastSeen (LocalDateTime each); nothing between records, no count.
//   zone     optional, after the last record: 'Z' and the writer's offset from UTC in minutes (i16). Three
//            bytes, fewer than a record length, so readers that do not know it stop before it quietly.
//
// All numbers little-endian. LocalDateTime is a double: days since 1899-12-30 00:00 in the writer's local
// time; the zone tells which local time that was.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/service/bss_entry.h"

namespace skimlet {

struct SnapshotRecord {
  WLAN_BSS_ENTRY Entry;       // as saved; its blob fields describe Blob
  std::vector<uint8_t> Blob;  // the element blob
  double FirstSeen = 0;
  double LastSeen = 0;
};

enum class SnapshotStatus {
  Ok,             // header read; Records holds every complete record
  NoHeader,       // shorter than the 10-byte header: nothing loaded, nothing to tell
  UnknownFormat,  // format bytes are not 1, 1: "Unable to load snapshot. Reason: Unknown format."
  ReadError,      // the file could not be read: Error holds the system's text
};

struct SnapshotContents {
  SnapshotStatus Status = SnapshotStatus::Ok;
  std::string Error;
  double SavedTime = 0;
  std::vector<SnapshotRecord> Records;
  // Records skipped because they made no sense: shorter than an entry, or a blob outside the record.
  size_t SkippedRecords = 0;
  // Set when reading stopped at this byte because the file ends inside a record (the records before it were
  // read).
  std::optional<uint64_t> CutAt;
  // The writer's offset from UTC in minutes, when the file says (files of older writers do not).
  std::optional<int> ZoneOffsetMinutes;
};

// Reads every complete record. A record cut by the end of the file ends reading (CutAt); the records before
// it stay. Nothing outside a record's bytes is read, and a record length larger than the rest of the file
// never leads to an allocation of that size.
SnapshotContents ParseSnapshot(std::span<const uint8_t> file);
SnapshotContents ReadSnapshotFile(const std::string& path);

// One record to write: the entry as the network holds it and the network's blob copy. The writer sets the
// entry's blob offset to 360 and its size to the blob's length.
struct SnapshotRecordRef {
  const WLAN_BSS_ENTRY* Entry;
  std::span<const uint8_t> Blob;
  double FirstSeen;
  double LastSeen;
};

// The times are in the local time of a zone ZoneOffsetMinutes east of UTC (by default the writer's own at
// SavedTime).
std::vector<uint8_t> EncodeSnapshot(double savedTime, std::span<const SnapshotRecordRef> records,
                                    std::optional<int> zoneOffsetMinutes = std::nullopt);
// Writes the file atomically: an interrupted save leaves the previous file as it was. Returns an empty text,
// or what went wrong.
std::string WriteSnapshotFile(const std::string& path, double savedTime, std::span<const SnapshotRecordRef> records);

// The text that says where reading of a cut file stopped: "reading stopped at byte N: the file ends inside a
// record".
std::string CutSnapshotText(uint64_t at);

}  // namespace skimlet

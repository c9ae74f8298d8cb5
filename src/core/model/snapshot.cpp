#include "core/model/snapshot.h"

#include "core/base/translate.h"
#include "core/settings/options.h"

namespace skimlet {

// Days to add to the file's times to make them local times of this machine: none when the file does not say
// in which zone it was written.
double ZoneShift(const SnapshotContents& contents) {
  if (!contents.ZoneOffsetMinutes) return 0;
  const LocalDateTime utc = AddMinutes(contents.SavedTime, -*contents.ZoneOffsetMinutes);
  return (LocalUtcOffsetMinutes(utc) - *contents.ZoneOffsetMinutes) * 60.0 / SecondsPerDay;
}

TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const SnapshotContents& contents) {
  TSnapshotLoadResult result;
  result.Status = contents.Status;
  result.Skipped = contents.SkippedRecords;
  if (contents.Status == SnapshotStatus::UnknownFormat) {
    result.Message = Translate("Unable to load snapshot. Reason: Unknown format.");
    return result;
  }
  if (contents.Status == SnapshotStatus::ReadError) {
    result.Message = contents.Error;
    return result;
  }
  if (contents.CutAt) result.Warning = CutSnapshotText(*contents.CutAt);
  const double shift = ZoneShift(contents);
  result.ZoneKnown = contents.ZoneOffsetMinutes.has_value();
  const int64_t inactiveAfter = list.Options().DeltaTimeInactive;
  for (const SnapshotRecord& record : contents.Records) {
    auto network = std::make_unique<TWLANNetwork>();
    network->Owner = &list;
    network->FirstSeen = record.FirstSeen + shift;
    network->UpdateFromEntry(record.Entry, record.Blob);
    network->LastSeen = record.LastSeen + shift;
    network->SetColor(list.DefaultColorFor(*network));
    network->SetComment(list.Comments.Value(network->BSSIDText));
    network->SetActive(SecondsBetween(record.LastSeen, contents.SavedTime) <= inactiveAfter);
    list.Append(std::move(network));
    ++result.Loaded;
  }
  list.Recount();
  return result;
}

TSnapshotLoadResult LoadSnapshot(TWLANNetworkList& list, const std::string& path) {
  return LoadSnapshot(list, ReadSnapshotFile(path));
}

std::string SaveSnapshot(const TWLANNetworkList& list, const std::string& path, LocalDateTime now) {
  std::vector<SnapshotRecordRef> records;
  records.reserve(list.Items.size());
  for (const auto& n : list.Items)
    if (n) records.push_back({&n->Entry, n->Elements.Data, n->FirstSeen, n->LastSeen});
  return WriteSnapshotFile(path, now, records);
}

}  // namespace skimlet

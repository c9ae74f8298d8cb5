// Arbitrary bytes as a snapshot file: read, loaded into a network list (every record decoded and derived),
// saved again and read back.
#include <cstdint>
#include <cstdlib>

#include "core/model/snapshot.h"
#include "core/settings/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  SnapshotContents contents = ParseSnapshot(std::span(data, size));
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  LoadSnapshot(list, contents);
  if (static_cast<size_t>(list.Count()) != contents.Records.size()) std::abort();
  std::vector<SnapshotRecordRef> refs;
  for (const auto& n : list.Items) {
    refs.push_back({&n->Entry, n->Elements.Data, n->FirstSeen, n->LastSeen});
    for (int c = 0; c < NetworkColumnCount; ++c) n->GetColumnText(c);
  }
  list.UpdateStatuses(contents.SavedTime);
  // What was loaded saves to records that read back the same.
  SnapshotContents again = ParseSnapshot(EncodeSnapshot(contents.SavedTime, refs));
  if (again.Records.size() != contents.Records.size()) std::abort();
  for (size_t i = 0; i < again.Records.size(); ++i)
    if (again.Records[i].Blob != contents.Records[i].Blob) std::abort();
  return 0;
}

// Snapshots of whole network lists: activity against the saved time, and save-after-load.
#include "core/model/snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "core/base/atomic_file.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"

namespace skimlet {
namespace {

namespace fs = std::filesystem;
using test::MakeEntry;

const LocalDateTime kSaved = EncodeLocalDateTime(2024, 1, 1, 12, 0, 0);

TEST(Snapshot, LoadsAsSavedAndJudgesActivityAgainstTheSavedTime) {
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  WLAN_BSS_ENTRY a = MakeEntry(1, -40, 5180000, "Alpha"), b = MakeEntry(2, -70, 2412000, "Beta");
  std::vector<uint8_t> blob = ElementBuilder().AddText(0, "Alpha").Add(3, {36}).Blob();
  SnapshotRecordRef refs[] = {{&a, blob, AddSeconds(kSaved, -60), AddSeconds(kSaved, -10.9)},
                              {&b, {}, AddSeconds(kSaved, -60), AddSeconds(kSaved, -11)}};
  SnapshotContents contents = ParseSnapshot(EncodeSnapshot(kSaved, refs));
  TSnapshotLoadResult r = LoadSnapshot(list, contents);
  EXPECT_EQ(r.Loaded, 2u);
  ASSERT_EQ(list.Count(), 2);
  const TWLANNetwork& alpha = *list.Items[0];
  EXPECT_TRUE(alpha.Active);
  EXPECT_EQ(alpha.SSID, "Alpha");
  EXPECT_EQ(alpha.Channel, 36u);
  EXPECT_EQ(alpha.FirstSeen, AddSeconds(kSaved, -60));
  EXPECT_EQ(alpha.AchievableRate, 0);
  EXPECT_FALSE(alpha.Connected);
  EXPECT_EQ(alpha.TypedSeries().Count(), 0u);
  EXPECT_FALSE(list.Items[1]->Active);
  EXPECT_EQ(list.Items[1]->LinkQuality, 0u);
  EXPECT_EQ(list.Counters[kCountAll], 2);
  EXPECT_EQ(list.Counters[kCountActive], 1);

  // Saving what was loaded writes the same records.
  fs::path file = fs::temp_directory_path() / ("skimlet-snapshot-" + std::to_string(::getpid()));
  ASSERT_EQ(SaveSnapshot(list, file, kSaved + 1), "");
  std::string saved;
  ASSERT_TRUE(ReadWholeFile(file, saved));
  std::vector<uint8_t> original = EncodeSnapshot(kSaved, refs);
  ASSERT_EQ(saved.size(), original.size());
  EXPECT_EQ(saved.substr(10), std::string(original.begin() + 10, original.end()));
  fs::remove(file);
}

TEST(Snapshot, ForeignFilesLoadNothing) {
  TProgramOptions options;
  TWLANNetworkList list(options);
  SnapshotContents unknown;
  unknown.Status = SnapshotStatus::UnknownFormat;
  TSnapshotLoadResult r = LoadSnapshot(list, unknown);
  EXPECT_EQ(r.Message, "Unable to load snapshot. Reason: Unknown format.");
  r = LoadSnapshot(list, "/nonexistent/file.snapshot");
  EXPECT_EQ(r.Status, SnapshotStatus::ReadError);
  EXPECT_NE(r.Message.find("/nonexistent/file.snapshot"), std::string::npos);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace skimlet

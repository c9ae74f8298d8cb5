// Snapshots of whole network lists: activity against the saved time, and save-after-load.
#include "core/model/snapshot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

#include "core/base/atomic_file.h"
#include "core/radio/values.h"
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

// A snapshot holds entries and element blobs only: a 6 GHz WPA3 network with PMF and roaming aids is stored
// in the record format every reader of snapshots knows, and the values derived from it come back on load.
TEST(Snapshot, NewRadioValuesNeedNothingNewInTheFile) {
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  WLAN_BSS_ENTRY e = MakeEntry(1, -40, 6415000, "Six", 0x0011);
  // RSN: CCMP, SAE, PMF required; mobility domain; extended capabilities with BSS transition.
  std::vector<uint8_t> blob =
      ElementBuilder()
          .AddText(0, "Six")
          .Add(48, {1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 8, 0xC0, 0x00})
          .Add(54, {0x34, 0x12, 0x01})
          .Add(127, {0, 0, 0x08})
          .Blob();
  SnapshotRecordRef refs[] = {{&e, blob, AddSeconds(kSaved, -60), AddSeconds(kSaved, -1)}};
  const std::vector<uint8_t> file = EncodeSnapshot(kSaved, refs);
  LoadSnapshot(list, ParseSnapshot(file));
  ASSERT_EQ(list.Count(), 1);
  const TWLANNetwork& n = *list.Items[0];
  EXPECT_EQ(n.Band, kBand6GHz);
  EXPECT_EQ(n.Channel, 93u);
  EXPECT_EQ(n.SecurityModeText(), "WPA3");
  EXPECT_EQ(n.PMF, kPMFRequired);
  EXPECT_EQ(n.Roaming, kRoaming11v | kRoaming11r);
  EXPECT_EQ(list.Counters[kCountBandFirst + int{kBand6GHz}], 1);
  EXPECT_EQ(list.Counters[kCountSecurityFirst + int{kSecurityWPA3}], 1);
  EXPECT_EQ(list.Counters[kCountSecurityFirst + int{kSecurityWPA2}], 0);

  fs::path saved = fs::temp_directory_path() / ("skimlet-snapshot6-" + std::to_string(::getpid()));
  ASSERT_EQ(SaveSnapshot(list, saved, kSaved), "");
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(saved, bytes));
  EXPECT_EQ(bytes, std::string(file.begin(), file.end()));
  fs::remove(saved);
}

TEST(Snapshot, TimesWrittenInAnotherZoneAreMovedIntoLocalTime) {
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  TProgramOptions options;
  WLAN_BSS_ENTRY a = MakeEntry(1, -40, 5180000, "Alpha");
  SnapshotRecordRef refs[] = {{&a, {}, AddSeconds(kSaved, -60), AddSeconds(kSaved, -5)}};
  // Written in New York (UTC-5): noon there is 17:00 here. Activity is judged in the writer's own times.
  TWLANNetworkList ny(options);
  ny.VendorLookup = nullptr;
  TSnapshotLoadResult r = LoadSnapshot(ny, ParseSnapshot(EncodeSnapshot(kSaved, refs, -300)));
  EXPECT_TRUE(r.ZoneKnown);
  EXPECT_EQ(SecondsBetween(ny.Items[0]->LastSeen, AddMinutes(kSaved, 300)), 5);
  EXPECT_TRUE(ny.Items[0]->Active);
  // A file of an older writer says nothing: its times stay as written.
  std::vector<uint8_t> old = EncodeSnapshot(kSaved, refs, -300);
  old.resize(old.size() - 3);
  TWLANNetworkList asIs(options);
  asIs.VendorLookup = nullptr;
  r = LoadSnapshot(asIs, ParseSnapshot(old));
  EXPECT_FALSE(r.ZoneKnown);
  EXPECT_EQ(asIs.Items[0]->LastSeen, AddSeconds(kSaved, -5));
  if (before) ::setenv("TZ", saved.c_str(), 1);
  else ::unsetenv("TZ");
  ::tzset();
}

TEST(Snapshot, ACutFileLoadsWhatItHoldsAndSaysWhereItStopped) {
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  WLAN_BSS_ENTRY a = MakeEntry(1, -40, 5180000, "Alpha"), b = MakeEntry(2, -70, 2412000, "Beta");
  SnapshotRecordRef refs[] = {{&a, {}, kSaved, kSaved}, {&b, {}, kSaved, kSaved}};
  std::vector<uint8_t> file = EncodeSnapshot(kSaved, refs);
  file.resize(file.size() - 20);
  TSnapshotLoadResult r = LoadSnapshot(list, ParseSnapshot(file));
  EXPECT_EQ(r.Loaded, 1u);
  EXPECT_EQ(r.Warning, "reading stopped at byte 390: the file ends inside a record");
  EXPECT_TRUE(r.Message.empty());
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

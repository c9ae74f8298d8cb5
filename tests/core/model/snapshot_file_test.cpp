#include "core/model/snapshot_file.h"

#include <gtest/gtest.h>

#include <bit>

namespace skimlet {
namespace {

WLAN_BSS_ENTRY Entry(uint8_t lastBssidByte, int32_t rssi) {
  WLAN_BSS_ENTRY e;
  e.dot11Bssid = {0x00, 0x11, 0x22, 0x33, 0x44, lastBssidByte};
  e.lRssi = rssi;
  e.ulChCenterFrequency = 2412000;
  e.padding46 = {0xAB, 0xCD};  // carried bytes must survive
  return e;
}

std::vector<uint8_t> TwoRecordFile() {
  WLAN_BSS_ENTRY a = Entry(1, -40), b = Entry(1, -70);
  std::vector<uint8_t> blob = {0x00, 0x03, 'a', 'b', 'c'};
  SnapshotRecordRef refs[] = {{&a, blob, 45292.5, 45292.6}, {&b, {}, 45292.1, 45292.2}};
  return EncodeSnapshot(45293.0, refs);
}

TEST(SnapshotFile, WritesTheLayoutAndReadsItBack) {
  std::vector<uint8_t> file = TwoRecordFile();
  ASSERT_EQ(file.size(), 10u + (4 + 360 + 5 + 16) + (4 + 360 + 0 + 16) + 3);
  EXPECT_EQ(file[0], 1);
  EXPECT_EQ(file[1], 1);
  // 2024-01-01 12:00 is 45292.5, stored as 00 00 00 00 90 1D E6 40.
  std::vector<uint8_t> time(8);
  uint64_t bits = std::bit_cast<uint64_t>(45292.5);
  for (int k = 0; k < 8; ++k) time[static_cast<size_t>(k)] = static_cast<uint8_t>(bits >> (8 * k));
  EXPECT_EQ(time, (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x00, 0x90, 0x1D, 0xE6, 0x40}));
  // RecordLength counts entry and blob; the entry's blob offset is 360 and its size the blob's.
  EXPECT_EQ(file[10], 0x6D);
  EXPECT_EQ(file[11], 0x01);
  EXPECT_EQ(file[14 + 352], 0x68);
  EXPECT_EQ(file[14 + 356], 5);

  SnapshotContents c = ParseSnapshot(file);
  ASSERT_EQ(c.Status, SnapshotStatus::Ok);
  EXPECT_EQ(c.SavedTime, 45293.0);
  ASSERT_EQ(c.Records.size(), 2u);  // the same BSSID twice loads twice
  EXPECT_EQ(c.Records[0].Blob, (std::vector<uint8_t>{0x00, 0x03, 'a', 'b', 'c'}));
  EXPECT_EQ(c.Records[0].Entry.padding46, (std::array<uint8_t, 2>{0xAB, 0xCD}));
  EXPECT_EQ(c.Records[0].FirstSeen, 45292.5);
  EXPECT_EQ(c.Records[0].LastSeen, 45292.6);
  EXPECT_TRUE(c.Records[1].Blob.empty());
  EXPECT_EQ(c.Records[1].Entry.lRssi, -70);

  // Saving what was loaded gives the same bytes.
  std::vector<SnapshotRecordRef> refs;
  for (const auto& r : c.Records) refs.push_back({&r.Entry, r.Blob, r.FirstSeen, r.LastSeen});
  EXPECT_EQ(EncodeSnapshot(c.SavedTime, refs), file);
}

TEST(SnapshotFile, ShortAndForeignFiles) {
  std::vector<uint8_t> file = TwoRecordFile();
  EXPECT_EQ(ParseSnapshot(std::span(file).first(9)).Status, SnapshotStatus::NoHeader);
  SnapshotContents headerOnly = ParseSnapshot(std::span(file).first(10));
  EXPECT_EQ(headerOnly.Status, SnapshotStatus::Ok);
  EXPECT_TRUE(headerOnly.Records.empty());
  file[1] = 2;
  EXPECT_EQ(ParseSnapshot(file).Status, SnapshotStatus::UnknownFormat);
  EXPECT_EQ(ReadSnapshotFile("/nonexistent/x.snapshot").Status, SnapshotStatus::ReadError);
}

TEST(SnapshotFile, CutAndNonsenseRecords) {
  std::vector<uint8_t> file = TwoRecordFile();
  // The last record lacks its last-seen time: the records before it load, and where reading stopped is told.
  const size_t end = file.size() - 3;  // before the zone
  SnapshotContents cut = ParseSnapshot(std::span(file).first(end - 1));
  EXPECT_EQ(cut.Records.size(), 1u);
  EXPECT_EQ(cut.CutAt, 10u + 4 + 360 + 5 + 16);
  EXPECT_EQ(CutSnapshotText(*cut.CutAt), "reading stopped at byte 395: the file ends inside a record");
  // One to three bytes after the last record that are not a zone: cut inside a record length.
  for (size_t extra : {1, 2, 3}) {
    std::vector<uint8_t> tail(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(end));
    tail.insert(tail.end(), extra, 0x7F);
    cut = ParseSnapshot(tail);
    EXPECT_EQ(cut.Records.size(), 2u);
    EXPECT_EQ(cut.CutAt, end) << extra;
    EXPECT_FALSE(cut.ZoneOffsetMinutes);
  }
  EXPECT_FALSE(ParseSnapshot(file).CutAt);
  // A record length far beyond the file ends reading without allocating it.
  std::vector<uint8_t> huge = file;
  size_t second = 10 + 4 + 360 + 5 + 16;
  huge[second] = huge[second + 1] = huge[second + 2] = huge[second + 3] = 0xFF;
  EXPECT_EQ(ParseSnapshot(huge).Records.size(), 1u);
  // A record shorter than an entry, or whose blob lies outside it, is skipped; the next one still loads.
  std::vector<uint8_t> bad = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 'x', 'y', 'z'};
  bad.resize(bad.size() + 16, 0);
  bad.insert(bad.end(), file.begin() + 10, file.end());
  SnapshotContents c = ParseSnapshot(bad);
  EXPECT_EQ(c.Records.size(), 2u);
  EXPECT_EQ(c.SkippedRecords, 1u);
  std::vector<uint8_t> outside = file;
  outside[14 + 356] = 6;  // blob of 6 bytes in a record that holds 5
  c = ParseSnapshot(outside);
  EXPECT_EQ(c.Records.size(), 1u);
  EXPECT_EQ(c.SkippedRecords, 1u);
}

TEST(SnapshotFile, TheWritersZoneFollowsTheRecordsWhereOlderReadersStopQuietly) {
  WLAN_BSS_ENTRY a = Entry(1, -40);
  SnapshotRecordRef refs[] = {{&a, {}, 45292.5, 45292.6}};
  for (int zone : {-300, 0, 330, 840, -720}) {
    std::vector<uint8_t> file = EncodeSnapshot(45293.0, refs, zone);
    // Three bytes after the last record: fewer than a record length, which a reader that does not know them
    // takes for the end of the file.
    ASSERT_EQ(file.size(), 10u + 4 + 360 + 16 + 3);
    EXPECT_EQ(file[file.size() - 3], 'Z');
    SnapshotContents c = ParseSnapshot(file);
    EXPECT_EQ(c.Records.size(), 1u);
    EXPECT_EQ(c.ZoneOffsetMinutes, zone);
    EXPECT_FALSE(c.CutAt);
  }
  // A file of an older writer: no zone, and nothing cut.
  std::vector<uint8_t> old = EncodeSnapshot(45293.0, refs, 0);
  old.resize(old.size() - 3);
  SnapshotContents c = ParseSnapshot(old);
  EXPECT_FALSE(c.ZoneOffsetMinutes);
  EXPECT_FALSE(c.CutAt);
  // A zone no place has is no zone.
  std::vector<uint8_t> odd = EncodeSnapshot(45293.0, refs, 0);
  odd[odd.size() - 1] = 0x7F;
  EXPECT_FALSE(ParseSnapshot(odd).ZoneOffsetMinutes);
}

}  // namespace
}  // namespace skimlet

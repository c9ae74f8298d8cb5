// A child process saves options.xml, comments.txt and colors.txt, or a snapshot, over and over, each save a
// different version, and is killed with SIGKILL at a random moment. After every kill the file on disk must be
// one of the versions, complete (byte for byte what a whole save of it writes) and readable, and no
// half-written temporary file may stay behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/model/network_list.h"
#include "core/model/snapshot_file.h"
#include "core/settings/folders.h"
#include "core/settings/options.h"
#include "core/settings/xml_storage.h"
#include "support/vendor_db_fixture.h"

namespace skimlet {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr int kVersions = 6;

// One kind of save: Save(folder, k) writes version k (1 ... kVersions) of its files into Folder.
struct Writer {
  const char* name;
  std::vector<std::string> files;
  std::function<void(const fs::path&, int)> save;
  // Whether the program reads the file back as version K.
  std::function<bool(const fs::path&, int)> readsAs;
};

TProgramOptions OptionsVersion(int k) {
  TProgramOptions options;
  options.DeltaTimeInactive = 10 + k;
  options.DefaultLang = "version-" + std::to_string(k) + ".lng";
  return options;
}

Writer OptionsWriter() {
  return {"options.xml",
          {"options.xml"},
          [](const fs::path& folder, int k) {
            TProgramFolders folders;
            folders.SettingsFolder = folder;
            SaveOptions(folders, OptionsVersion(k));
          },
          [](const fs::path& file, int k) {
            TXMLStorage storage(file);
            TProgramOptions options;
            if (!storage.Load().empty()) return false;
            ReadOptions(storage, options, std::nullopt);
            return options.DeltaTimeInactive == 10 + k && options.DefaultLang == OptionsVersion(k).DefaultLang;
          }};
}

std::string Bssid(int i) {
  char text[18];
  std::snprintf(text, sizeof text, "00-11-22-%02X-%02X-%02X", i >> 16 & 0xFF, i >> 8 & 0xFF, i & 0xFF);
  return text;
}

Writer TextFilesWriter() {
  return {"comments.txt and colors.txt",
          {"comments.txt", "colors.txt"},
          [](const fs::path& folder, int k) {
            static const TProgramOptions options;
            TWLANNetworkList list(options, folder);  // writes both files again when it ends: the same bytes
            for (int i = 0; i < 500; ++i) {
              list.Comments.Set(Bssid(i), "comment " + std::to_string(i) + " of version " + std::to_string(k));
              list.Colors.Set(Bssid(i), std::to_string(i * 7 + k));
            }
            list.SaveTextFiles();
          },
          [](const fs::path& file, int k) {
            TNameValueList values;
            if (!values.LoadFromFile(file) || values.Count() != 500) return false;
            const bool comments = file.filename() == "comments.txt";
            return values.Value(Bssid(499)) ==
                   (comments ? "comment 499 of version " + std::to_string(k) : std::to_string(499 * 7 + k));
          }};
}

std::vector<SnapshotRecord> SnapshotRecords() {
  std::vector<SnapshotRecord> records(400);
  for (size_t i = 0; i < records.size(); ++i) {
    SnapshotRecord& r = records[i];
    r.Entry.dot11Bssid = {0x00, 0x11, 0x22, 0x33, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
    r.Entry.lRssi = -40 - static_cast<int32_t>(i % 50);
    r.Blob.assign(40 + i % 200, static_cast<uint8_t>(i));
    r.FirstSeen = 45000 + static_cast<double>(i);
    r.LastSeen = r.FirstSeen + 1;
  }
  return records;
}

Writer SnapshotWriter() {
  return {"snapshot",
          {"survey.snapshot"},
          [](const fs::path& folder, int k) {
            static const std::vector<SnapshotRecord> records = SnapshotRecords();
            std::vector<SnapshotRecordRef> refs;
            for (const SnapshotRecord& r : records) refs.push_back({&r.Entry, r.Blob, r.FirstSeen, r.LastSeen});
            WriteSnapshotFile((folder / "survey.snapshot").string(), 45000 + k, refs);
          },
          [](const fs::path& file, int k) {
            SnapshotContents c = ReadSnapshotFile(file.string());
            return c.Status == SnapshotStatus::Ok && c.SavedTime == 45000 + k && c.Records.size() == 400 &&
                   c.SkippedRecords == 0;
          }};
}

void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

std::string Bytes(const fs::path& file) {
  std::string bytes;
  ReadWholeFile(file, bytes);
  return bytes;
}

class CrashSafety : public ::testing::TestWithParam<Writer> {};

TEST_P(CrashSafety, KilledSavesLeaveTheOldOrTheNewFile) {
  const Writer& w = GetParam();
  // What a whole save of each version writes, and how long one takes.
  TempDir reference;
  std::vector<std::map<std::string, int>> versionOf(w.files.size());
  const auto start = std::chrono::steady_clock::now();
  for (int k = 1; k <= kVersions; ++k) {
    w.save(reference.Path(), k);
    for (size_t f = 0; f < w.files.size(); ++f) versionOf[f][Bytes(reference.Path() / w.files[f])] = k;
  }
  const auto saveTime = (std::chrono::steady_clock::now() - start) / kVersions;
  for (size_t f = 0; f < w.files.size(); ++f) ASSERT_EQ(versionOf[f].size(), size_t{kVersions}) << w.files[f];

  TempDir folder;
  w.save(folder.Path(), 1);
  std::mt19937 random(12345);
  int64_t spread = std::max<int64_t>(std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count() * 2, 200);
  std::set<int> seen;
  constexpr int kRounds = 100;
  for (int round = 0; round < kRounds; ++round) {
    // A forked child starts slower than the warm saves measured above (its pages are copied as it writes):
    // while it has completed no other version, the kills come later.
    if (round > 0 && round % 10 == 0 && seen.size() < 3) spread = std::min<int64_t>(spread * 2, 1000000);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Never outlive the test, and never return into it.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      try {
        for (int k = 1 + round % kVersions;; k = k % kVersions + 1) w.save(folder.Path(), k);
      } catch (...) {}
      _exit(1);
    }
    const int64_t wait = std::uniform_int_distribution<int64_t>(0, spread)(random);
    const timespec pause{static_cast<time_t>(wait / 1000000), static_cast<long>(wait % 1000000 * 1000)};
    nanosleep(&pause, nullptr);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child left on its own";

    for (size_t f = 0; f < w.files.size(); ++f) {
      const fs::path file = folder.Path() / w.files[f];
      const auto it = versionOf[f].find(Bytes(file));
      ASSERT_NE(it, versionOf[f].end()) << w.files[f] << " after round " << round << " is no complete version";
      ASSERT_TRUE(w.readsAs(file, it->second)) << w.files[f] << " after round " << round;
      seen.insert(it->second);
    }
    for (const fs::directory_entry& e : fs::directory_iterator(folder.Path())) {
      const std::string name = e.path().filename().string();
      bool known = false;
      for (const std::string& f : w.files) known |= name == f;
      // A save in progress may leave its temporary file behind; the next save must clear it away.
      if (!known) { ASSERT_TRUE(name.starts_with(".") && name.find(".tmp-") != std::string::npos) << name; }
    }
  }
  EXPECT_GT(seen.size(), 2u) << "the child should have completed saves of several versions";

  // One more complete save: no temporary file of a killed save stays.
  w.save(folder.Path(), 1);
  std::vector<std::string> left;
  for (const fs::directory_entry& e : fs::directory_iterator(folder.Path()))
    left.push_back(e.path().filename().string());
  EXPECT_EQ(left.size(), w.files.size()) << ::testing::PrintToString(left);
}

INSTANTIATE_TEST_SUITE_P(Writers, CrashSafety, ::testing::Values(OptionsWriter(), TextFilesWriter(), SnapshotWriter()),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
}  // namespace skimlet

// skimlet-cli channels: advice from saved surveys (each file one refresh) and from the simulated radio.
#include <gtest/gtest.h>

#include "cli_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ie/builder.h"
#include "core/model/snapshot_file.h"
#include "json_check.h"
#include "support/network_fixture.h"

namespace {

using skimlet::test::JsonReader;

using skimlet::test::CliRun;

CliRun Cli(const std::string& args) {
  return skimlet::test::RunCommandLine(std::string(SKIMLET_CLI) + " " + args + " 2>/dev/null");
}

// Two surveys of one 2.4 GHz place: "Neighbour" on 1 and "Cafe" on 6 in both, "Mine" on 11 in the first only.
class CliChannels : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string stem =
        std::filesystem::temp_directory_path() / ("skimlet-channels-" + std::to_string(::getpid()));
    first_ = stem + "-1.snapshot";
    second_ = stem + "-2.snapshot";
    Write(first_, {{1, -50, 1, "Neighbour"}, {2, -55, 6, "Cafe"}, {3, -40, 11, "Mine"}});
    Write(second_, {{1, -50, 1, "Neighbour"}, {2, -55, 6, "Cafe"}});
  }
  void TearDown() override {
    std::filesystem::remove(first_);
    std::filesystem::remove(second_);
  }
  struct Ap {
    uint8_t Id;
    int32_t Dbm;
    uint8_t Channel;
    std::string SSID;
  };
  static void Write(const std::string& path, const std::vector<Ap>& aps) {
    std::vector<skimlet::WLAN_BSS_ENTRY> entries;
    std::vector<std::vector<uint8_t>> blobs;
    for (const Ap& ap : aps) {
      entries.push_back(skimlet::test::MakeEntry(ap.Id, ap.Dbm, 2407000 + 5000u * ap.Channel, ap.SSID));
      blobs.push_back(skimlet::ElementBuilder().AddText(0, ap.SSID).Add(3, {ap.Channel}).Blob());
    }
    const double saved = skimlet::EncodeLocalDateTime(2026, 12, 10, 9, 30, 0);
    std::vector<skimlet::SnapshotRecordRef> refs;
    for (size_t i = 0; i < aps.size(); ++i) refs.push_back({&entries[i], blobs[i], saved - 0.01, saved});
    ASSERT_EQ(skimlet::WriteSnapshotFile(path, saved, refs), "");
  }
  std::string Files() const { return " " + first_ + " " + second_; }
  std::string first_, second_;
};

TEST_F(CliChannels, AdvisesFromSeveralSurveysAndLeavesMineOut) {
  CliRun r = Cli("channels --json --band 2.4 --width 20" + Files());
  ASSERT_EQ(r.status, 0);
  auto doc = JsonReader::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  EXPECT_EQ((*doc)["refreshes"].Number(), 2);
  EXPECT_FALSE((*doc)["channel13"].Bool());
  ASSERT_EQ((*doc)["advice"].Array().size(), 1u);
  const auto& advice = (*doc)["advice"].Array()[0];
  EXPECT_EQ(advice["recommended"]["channel"].Number(), 6);
  ASSERT_EQ(advice["costs"].Array().size(), 1u);
  EXPECT_EQ(advice["costs"].Array()[0]["ssid"].Text(), "Cafe");
  EXPECT_EQ(advice["costs"].Array()[0]["share"].Number(), 1);
  ASSERT_EQ(advice["channels"].Array().size(), 3u);  // 1, 6, 11: no country allows 12 and 13
  // "Mine" was heard in one survey of two: half its power counts on 11.
  EXPECT_NEAR(advice["channels"].Array()[2]["networkMw"].Number(), 0.5e-4, 1e-9);

  r = Cli("channels --json --band 2.4 --width 20 --mine Mine" + Files());
  doc = JsonReader::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  EXPECT_EQ((*doc)["ownSsids"].Array().at(0).Text(), "Mine");
  EXPECT_EQ((*doc)["advice"].Array()[0]["recommended"]["channel"].Number(), 11);
  EXPECT_TRUE((*doc)["advice"].Array()[0]["costs"].Array().empty());

  r = Cli("channels --tsv --band 2.4 --mine Mine" + Files());
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> lines = skimlet::test::Lines(r.out);
  ASSERT_EQ(lines.size(), 1u + 3 + 4);  // header, three 20 MHz and four 40 MHz candidates
  EXPECT_EQ(lines[0].substr(0, 19), "band\twidth\tchannel\t");
  EXPECT_EQ(lines[3].substr(0, 11), "2.4\t20\t11\t1");
  EXPECT_EQ(lines[3].substr(lines[3].size() - 6), "\t1\tyes");

  r = Cli("channels --band 2.4" + Files());
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("2.4 GHz, 20 MHz: channel 6, score -55.0 dBm\n  100.0%  \"Cafe\""), std::string::npos) << r.out;
}

TEST_F(CliChannels, UsageErrors) {
  for (const std::string& bad :
       std::vector<std::string>{"--band 7", "--width 60", "--band 2.4 --width 80", "--tsv --json", "--count 0",
                                "--service sim" + Files(), "--mine"})
    EXPECT_EQ(Cli("channels " + bad).status, 2) << bad;
  EXPECT_EQ(Cli("channels /nonexistent.snapshot").status, 1);
  EXPECT_EQ(Cli("channels --help").out.rfind("Usage: skimlet-cli channels", 0), 0u);
  EXPECT_NE(Cli("--help").out.find("\n  channels "), std::string::npos);
}

// The simulated radio's scene over two refreshes: the connected network's SSID is ours, DFS can be left out.
TEST(CliChannelsLive, AdvisesFromRefreshesOfTheSimulatedRadio) {
  const CliRun r = Cli("channels --service sim --count 2 --sim-scan-seconds 0.01 --json --band 5 --exclude-dfs");
  ASSERT_EQ(r.status, 0);
  const auto doc = JsonReader::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  EXPECT_EQ((*doc)["refreshes"].Number(), 2);
  bool office = false;
  for (const auto& s : (*doc)["ownSsids"].Array()) office |= s.Text() == "Brankwell Office";
  EXPECT_TRUE(office) << r.out;
  ASSERT_EQ((*doc)["advice"].Array().size(), 4u);
  for (const auto& item : (*doc)["advice"].Array()) {
    EXPECT_FALSE(item["recommended"]["dfs"].Bool());
    for (const auto& c : item["channels"].Array()) EXPECT_EQ(c["rank"].IsNull(), c["dfs"].Bool());
  }
}

}  // namespace

#include "core/survey/survey_file.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "core/beacon/beacon_reader.h"
#include "core/capture/survey_file.h"
#include "core/model/network_list.h"
#include "core/settings/options.h"
#include "support/sample_beacon.h"

namespace fs = std::filesystem;

namespace skimlet::survey {
namespace {

class SurveyFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-survey-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

SnapshotRecord SampleNetwork(uint8_t last, double seen) {
  SnapshotRecord r;
  r.Blob = test::SampleBeaconBlob();
  TBeaconReception rx;
  rx.Bssid = {0x00, 0x1A, 0x2B, 0x00, 0x00, last};
  rx.FrequencyKHz = 5180000;
  rx.SignalDbm = -55;
  r.Entry = ReadBeacon(r.Blob, rx);
  r.FirstSeen = r.LastSeen = seen;
  return r;
}

Floor OfficeFloor() {
  Floor f;
  f.Name = "Ground";
  f.Level = 0;
  f.Plan = {0x89, 'P', 'N', 'G'};
  f.PlanWidth = 800;
  f.PlanHeight = 500;
  f.MetresPerPixel = 0.05;
  return f;
}

TEST_F(SurveyFileTest, PointsReadingsAndNetworksComeBackAsWritten) {
  const std::string path = PathOf("office.survey");
  std::string error;
  {
    auto file = SurveyFile::Create(path, error);
    ASSERT_TRUE(file) << error;
    Floor floor = OfficeFloor();
    ASSERT_TRUE(file->AddFloor(floor, error)) << error;
    Floor again = OfficeFloor();
    EXPECT_FALSE(file->AddFloor(again, error));
    EXPECT_NE(error.find("a floor named 'Ground' already"), std::string::npos) << error;

    Point p;
    p.FloorId = floor.Id;
    p.X = 3.5;
    p.Y = 7.25;
    p.Start = 1.7e9;
    p.End = 1.7e9 + 2.5;
    p.Interface = "wlan0";
    p.Adapter = "Test adapter";
    p.Readings = {{{0x00, 0x1A, 0x2B, 0x00, 0x00, 0x01}, -55, 5180000, -92},
                  {{0x00, 0x1A, 0x2B, 0x00, 0x00, 0x02}, -71, 2437000, std::nullopt}};
    std::vector<SnapshotRecord> nets{SampleNetwork(1, 46000.5), SampleNetwork(2, 46000.5)};
    ASSERT_TRUE(file->AddPoint(p, nets, error)) << error;
    // A later sighting replaces the record but keeps the first time it was seen.
    Point q = p;
    q.X = 9;
    q.Kind = PointKind::Walk;
    q.Readings.resize(1);
    std::vector<SnapshotRecord> later{SampleNetwork(1, 46001.0)};
    later[0].Entry.lRssi = -40;
    ASSERT_TRUE(file->AddPoint(q, later, error)) << error;
  }
  auto file = SurveyFile::Open(path, false, error);
  ASSERT_TRUE(file) << error;
  Survey s;
  ASSERT_TRUE(file->Load(s, error)) << error;
  ASSERT_EQ(s.Floors.size(), 1u);
  EXPECT_EQ(s.Floors[0].Plan, OfficeFloor().Plan);
  EXPECT_DOUBLE_EQ(s.Floors[0].Width(), 40.0);
  ASSERT_EQ(s.Points.size(), 2u);
  EXPECT_EQ(s.Points[0].Readings.size(), 2u);
  EXPECT_EQ(s.Points[0].Readings[0].Noise, -92);
  EXPECT_EQ(s.Points[0].Readings[1].Noise, std::nullopt);
  EXPECT_EQ(s.Points[1].Kind, PointKind::Walk);
  EXPECT_DOUBLE_EQ(s.Points[1].X, 9);
  ASSERT_EQ(s.Networks.size(), 2u);
  EXPECT_EQ(s.Networks[0].Entry.lRssi, -40);
  EXPECT_DOUBLE_EQ(s.Networks[0].FirstSeen, 46000.5);
  EXPECT_DOUBLE_EQ(s.Networks[0].LastSeen, 46001.0);
  EXPECT_EQ(s.Networks[0].Blob, test::SampleBeaconBlob());

  // The survey opens wherever snapshots do, as its networks.
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  TSurveyLoadResult r = LoadSurveyFile(list, path);
  ASSERT_TRUE(r.Ok) << r.Message;
  EXPECT_EQ(r.Kind, TSurveyFileKind::FloorSurvey);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items[0]->SSID, "Skimlet-Lab-5G");
  EXPECT_DOUBLE_EQ(r.SavedTime, 46001.0);
}

TEST_F(SurveyFileTest, FilesThatAreNoSurveyAreRefusedAndLeftAsTheyAre) {
  std::string error;
  EXPECT_FALSE(SurveyFile::Open(PathOf("missing.survey"), false, error));
  EXPECT_NE(error.find("no such file"), std::string::npos) << error;
  {
    auto made = SurveyFile::Create(PathOf("exists.survey"), error);
    ASSERT_TRUE(made);
  }
  EXPECT_FALSE(SurveyFile::Create(PathOf("exists.survey"), error));
  EXPECT_NE(error.find("exists already"), std::string::npos);

  // Another program's database.
  const std::string foreign = PathOf("foreign.db");
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE t (x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  // A survey of a newer format.
  const std::string newer = PathOf("newer.survey");
  {
    ASSERT_TRUE(SurveyFile::Create(newer, error));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA user_version = 7;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  // A survey whose pages were overwritten after the header.
  const std::string damaged = PathOf("damaged.survey");
  {
    auto file = SurveyFile::Create(damaged, error);
    Floor floor = OfficeFloor();
    floor.Plan.assign(20000, 0xAB);
    ASSERT_TRUE(file->AddFloor(floor, error));
  }
  {
    std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(1024);
    const std::string junk(6000, '\x5A');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }
  const std::string text = PathOf("notes.survey");
  std::ofstream(text) << "not a survey at all, just some text";

  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {foreign, "an SQLite database, but not a survey file"},
      {newer, "written by a newer version of this program (survey format 7; this version reads up to 1)"},
      {damaged, "the survey file is damaged"},
      {text, "not a survey file (not an SQLite database)"},
  };
  for (const Case& c : cases) {
    const std::string before = Bytes(c.path);
    auto file = SurveyFile::Open(c.path, true, error);
    Survey s;
    if (file) { EXPECT_FALSE(file->Load(s, error)) << c.path; }
    EXPECT_NE(error.find(c.message), std::string::npos) << c.path << ": " << error;
    file.reset();
    EXPECT_EQ(Bytes(c.path), before) << c.path;
    // The snapshot readers say the same.
    TProgramOptions options;
    TWLANNetworkList list(options);
    if (c.path != text) {
      TSurveyLoadResult r = LoadSurveyFile(list, c.path);
      EXPECT_FALSE(r.Ok) << c.path;
      EXPECT_NE(r.Message.find(c.message), std::string::npos) << r.Message;
    }
  }
}

}  // namespace
}  // namespace skimlet::survey

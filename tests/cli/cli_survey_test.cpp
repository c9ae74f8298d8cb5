// skimlet-cli survey as a user runs it on the simulated office: make the survey from the scene, take points,
// walk, import, then maps, AP positions and the check; the survey file also opens as a snapshot.
#include <gtest/gtest.h>

#include "cli_run.h"
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using skimlet::test::CliRun;

CliRun Cli(const std::string& args) {
  return skimlet::test::RunCommandLine(std::string(SKIMLET_CLI) + " " + args + " 2>&1");
}

class CliSurvey : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-cli-survey-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    file_ = (dir_ / "office.survey").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  std::string file_;
};

TEST_F(CliSurvey, SurveyTheSimulatedOfficeWithTheCommandLineAlone) {
  CliRun r = Cli("survey new " + file_ + " --scene default");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("floor 'Office', 40.00 x 25.00 m"), std::string::npos) << r.out;

  const std::string sim = " --service sim --sim-scan-seconds 0.05";
  for (const char* at : {"4,4", "12,6", "20,12", "30,18", "36,22", "8,20", "26,4"}) {
    r = Cli("survey record " + file_ + " --at " + at + sim);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("00:1A:2B:00:00:01"), std::string::npos) << r.out;  // the connected office AP
  }
  r = Cli("survey walk " + file_ + " --waypoints '2,12;38,12' --speed 30" + sim);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Walk: "), std::string::npos);
  EXPECT_EQ(Cli("survey record " + file_ + " --at 50,3" + sim).status, 2);  // outside the floor

  std::ofstream(dir_ / "other.tsv") << "x\ty\tbssid\tsignal\tssid\tfrequency\n"
                                       "5\t5\t00:AA:BB:CC:DD:01\t-61\tImported\t2412\n"
                                       "5\t5\t00:AA:BB:CC:DD:02\t-75\n"
                                       "9\t5\t00:AA:BB:CC:DD:01\t-70\tImported\t2412\n";
  r = Cli("survey import " + file_ + " --points " + (dir_ / "other.tsv").string());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Imported 2 points with 3 readings"), std::string::npos) << r.out;

  r = Cli("survey points " + file_ + " --tsv");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\timported\t"), std::string::npos);
  EXPECT_NE(r.out.find("\twalk\t"), std::string::npos);

  r = Cli("survey map " + file_ + " --map primary --ssid 'Brankwell Office' --cell 1 -o -");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("x\ty\tprimary\n0.500\t0.500\t"), std::string::npos) << r.out.substr(0, 200);
  EXPECT_NE(r.out.find("cross-validated error (leave one out, kriging)"), std::string::npos);
  r = Cli("survey map " + file_ + " --map serving --method idw -o " + (dir_ / "serving.png").string());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(fs::file_size(dir_ / "serving.png") > 1000);
  EXPECT_EQ(Cli("survey map " + file_ + " --map signal -o x.tsv").status, 2);  // signal needs --bssid
  EXPECT_EQ(Cli("survey map " + file_ + " --map heat -o x.tsv").status, 2);

  r = Cli("survey aps " + file_ + " --json --ssid 'Brankwell Office'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\"error_radius\""), std::string::npos) << r.out;

  r = Cli("survey check " + file_ + " --profile voice --target 0");
  EXPECT_EQ(r.status, 0) << r.out;
  r = Cli("survey check " + file_ + " --noise -40");  // no SNR of 25 dB over a noise of -40 dBm
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("of the surveyed area"), std::string::npos);

  // The survey is a saved survey like a snapshot.
  r = Cli("networks --tsv " + file_);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Brankwell Office"), std::string::npos);
  EXPECT_NE(r.out.find("Imported"), std::string::npos);
}

TEST_F(CliSurvey, FilesThatAreNoSurveyAreRefusedAndLeftAsTheyAre) {
  std::ofstream(dir_ / "notes.survey") << "no survey";
  CliRun r = Cli("survey points " + (dir_ / "notes.survey").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("not a survey file"), std::string::npos) << r.out;
  EXPECT_EQ(Cli("survey new " + file_ + " --size 10").status, 2);
  ASSERT_EQ(Cli("survey new " + file_ + " --size 10,8").status, 0);
  r = Cli("survey new " + file_ + " --size 10,8");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("a floor named 'Floor 1' already"), std::string::npos) << r.out;
  EXPECT_EQ(Cli("survey frobnicate " + file_).status, 2);
}

}  // namespace

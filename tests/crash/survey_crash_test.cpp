// A child process records survey points one after another (each with its readings and networks in one
// transaction) and is killed with SIGKILL at a random moment. After every kill the survey must open, hold
// every point the child had been told was committed and at most the one it was writing, and every point
// must be complete: all its readings, none of another's.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <random>

#include "core/survey/survey_file.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::survey {
namespace {

using test::TempDir;

// Point K has 30 + K % 11 readings whose signals tell K and their index.
Point PointNumber(int64_t floor, int k) {
  Point p;
  p.FloorId = floor;
  p.X = k % 40;
  p.Y = k / 40 % 25;
  p.Start = 1.7e9 + k;
  p.End = p.Start + 2;
  p.Interface = "sim0";
  const int count = 30 + k % 11;
  for (int r = 0; r < count; ++r)
    p.Readings.push_back({{0x00, 0x11, 0x22, 0x33, static_cast<uint8_t>(r), 0x01},
                          -(r % 60) - 30,
                          static_cast<uint32_t>(5180000 + k),
                          std::nullopt});
  return p;
}

std::vector<SnapshotRecord> NetworksOf(const Point& p) {
  std::vector<SnapshotRecord> out;
  for (const Reading& r : p.Readings) {
    SnapshotRecord n;
    n.Entry.dot11Bssid = r.BSSID;
    n.Entry.lRssi = r.Signal;
    n.Blob.assign(200, static_cast<uint8_t>(r.BSSID[4]));
    n.FirstSeen = n.LastSeen = 46000 + p.Start / 86400;
    out.push_back(std::move(n));
  }
  return out;
}

TEST(SurveyCrash, AKilledRecordingLosesAtMostThePointBeingTaken) {
  TempDir folder;
  const std::string path = (folder.Path() / "office.survey").string();
  std::string error;
  int64_t floorId = 0;
  {
    auto file = SurveyFile::Create(path, error);
    ASSERT_TRUE(file) << error;
    Floor f;
    f.Name = "Office";
    f.PlanWidth = 400;
    f.PlanHeight = 250;
    f.MetresPerPixel = 0.1;
    ASSERT_TRUE(file->AddFloor(f, error));
    floorId = f.Id;
  }
  std::mt19937 random(4242);
  int committed = 0;  // points the children reported as committed, over all rounds
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      close(pipeFds[0]);
      std::string e;
      auto file = SurveyFile::Open(path, true, e);
      if (!file) _exit(2);
      for (int k = committed;; ++k) {
        Point p = PointNumber(floorId, k);
        if (!file->AddPoint(p, NetworksOf(p), e)) _exit(3);
        const char done = 1;
        if (write(pipeFds[1], &done, 1) != 1) _exit(4);
      }
    }
    close(pipeFds[1]);
    const int64_t wait = std::uniform_int_distribution<int64_t>(5000, 120000)(random);
    const timespec pause{0, static_cast<long>(wait * 1000)};
    nanosleep(&pause, nullptr);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped on its own: " << WEXITSTATUS(status);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) committed += static_cast<int>(n);
    close(pipeFds[0]);

    auto file = SurveyFile::Open(path, true, error);
    ASSERT_TRUE(file) << "round " << round << ": " << error;
    Survey s;
    ASSERT_TRUE(file->Load(s, error)) << error;
    const int stored = static_cast<int>(s.Points.size());
    ASSERT_GE(stored, committed) << "round " << round << ": a committed point was lost";
    ASSERT_LE(stored, committed + 1) << "round " << round;
    for (int k = 0; k < stored; ++k) {
      const Point expected = PointNumber(floorId, k);
      ASSERT_EQ(s.Points[static_cast<size_t>(k)].Readings, expected.Readings) << "point " << k << ", round " << round;
    }
    // A point written but not yet reported counts as committed from here on.
    committed = stored;
  }
  EXPECT_GT(committed, kRounds) << "the children should have committed points in most rounds";
}

}  // namespace
}  // namespace skimlet::survey

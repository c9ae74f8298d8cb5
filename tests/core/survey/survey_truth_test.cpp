// The survey against the truth: the simulated office floor (walls, 3 dB shadowing, the radio's scan-to-scan
// wander) surveyed point by point through the simulated radio and the survey file; maps and AP positions
// compared with what the scene says is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "backends/sim/sim_service.h"
#include "core/service/wlan_records.h"
#include "core/survey/recording.h"
#include "core/survey/survey_file.h"
#include "core/survey/survey_map.h"

namespace fs = std::filesystem;

namespace skimlet::survey {
namespace {

struct Figures {
  double Rmse = 0;
  size_t Cells = 0;
};

class SurveyTruthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto scene = sim::ReadSceneFile(std::string(SKIMLET_SOURCE_DIR) + "/data/scenes/default.scene");
    ASSERT_TRUE(scene.Value) << scene.Error;
    scene_ = *scene.Value;
    sim::SimOptions o;
    o.Seed = 5;
    o.Clock = clock_ = std::make_shared<sim::ManualSimClock>();
    service_ = std::make_unique<sim::SimWlanService>(scene_, o);
    uint32_t version = 0;
    ASSERT_EQ(service_->OpenHandle(1, version), 0u);
    WlanBlock list;
    ASSERT_EQ(service_->EnumInterfaces(list), 0u);
    guid_ = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
    path_ = (fs::temp_directory_path() / ("skimlet-truth-" + std::to_string(::getpid()) + ".survey")).string();
    fs::remove(path_);
  }
  void TearDown() override { fs::remove(path_); }

  // Takes a point at (X, Y) as the CLI does: move, note the start, scan, keep what is fresh.
  Point TakePoint(double x, double y) {
    std::string error;
    EXPECT_TRUE(service_->MoveInterface(guid_, "Office", x, y, error)) << error;
    Point p;
    p.X = x;
    p.Y = y;
    p.Start = clock_->WallTimeAtStart() + clock_->Now();
    EXPECT_EQ(service_->Scan(guid_), 0u);
    clock_->Advance(3.01);
    WlanBlock block;
    EXPECT_EQ(service_->GetNetworkBssList(guid_, nullptr, 3, false, block), 0u);
    WlanBssListView view(block);
    std::vector<WLAN_BSS_ENTRY> entries;
    for (size_t k = 0; k < view.Count(); ++k) entries.push_back(view.Entry(k));
    AddFreshReadings(p, entries);
    p.End = clock_->WallTimeAtStart() + clock_->Now();
    return p;
  }

  // The points of a survey every Step metres over the office, written to and read back from a survey file.
  std::vector<Point> Survey(double step) {
    std::string error;
    auto file = SurveyFile::Create(path_, error);
    EXPECT_TRUE(file) << error;
    Floor floor;
    floor.Name = "Office";
    floor.PlanWidth = 4000;
    floor.PlanHeight = 2500;
    floor.MetresPerPixel = 0.01;
    EXPECT_TRUE(file->AddFloor(floor, error));
    for (double y = 1; y < 25; y += step)
      for (double x = 1; x < 40; x += step) {
        Point p = TakePoint(x, y);
        p.FloorId = floor.Id;
        EXPECT_TRUE(file->AddPoint(p, {}, error)) << error;
      }
    skimlet::survey::Survey s;
    EXPECT_TRUE(SurveyFile::Open(path_, false, error)->Load(s, error)) << error;
    return s.Points;
  }

  std::vector<size_t> PlacedAps() const {
    std::vector<size_t> out;
    for (size_t k = 0; k < scene_.AccessPoints.size(); ++k)
      if (scene_.AccessPoints[k].Position) out.push_back(k);
    return out;
  }

  BssInfo InfoOf(size_t ap) const {
    const auto& a = scene_.AccessPoints[ap];
    return {a.BSSID, "", a.FrequencyKHz()};
  }

  sim::Scene scene_;
  std::shared_ptr<sim::ManualSimClock> clock_;
  std::unique_ptr<sim::SimWlanService> service_;
  WLAN_GUID guid_{};
  std::string path_;
};

TEST_F(SurveyTruthTest, MapsAndApPositionsOfTheSimulatedOfficeMatchItsTruth) {
  const std::vector<Point> points = Survey(2.5);
  ASSERT_GT(points.size(), 120u);
  const FloorBounds bounds{40, 25};
  const std::vector<size_t> aps = PlacedAps();
  ASSERT_EQ(aps.size(), 10u);

  // Both methods are judged on the same cells: those where both have a value and the truth is heard.
  Figures signal[2], primary[2];
  double ssSignal[2] = {0, 0}, ssPrimary[2] = {0, 0}, cv[2] = {0, 0};
  std::vector<BssInfo> placed;
  for (size_t ap : aps) placed.push_back(InfoOf(ap));
  auto compare = [&](const MapResult(&maps)[2], auto truth, Figures(&f)[2], double(&ss)[2]) {
    for (int row = 0; row < maps[0].Rows; ++row)
      for (int col = 0; col < maps[0].Columns; ++col) {
        const double t = truth(maps[0].X(col), maps[0].Y(row));
        if (std::isnan(maps[0].At(col, row)) || std::isnan(maps[1].At(col, row)) || t < -95) continue;
        for (int m = 0; m < 2; ++m) {
          ss[m] += std::pow(maps[m].At(col, row) - t, 2);
          ++f[m].Cells;
        }
      }
  };
  MapOptions o[2];
  for (int m = 0; m < 2; ++m) {
    o[m].Interpolation = m == 0 ? Method::Idw : Method::Kriging;
    o[m].Cell = 0.5;
  }
  for (size_t ap : aps) {
    const BssInfo info = InfoOf(ap);
    MapResult maps[2];
    for (int m = 0; m < 2; ++m) {
      o[m].Kind = MapKind::Signal;
      maps[m] = MakeMap(points, std::span(&info, 1), bounds, o[m]);
    }
    compare(
        maps, [&](double x, double y) { return sim::TrueSignal(scene_, ap, x, y); }, signal, ssSignal);
  }
  {
    MapResult maps[2];
    for (int m = 0; m < 2; ++m) {
      o[m].Kind = MapKind::Primary;
      maps[m] = MakeMap(points, placed, bounds, o[m]);
      cv[m] = maps[m].CvError;
    }
    compare(
        maps,
        [&](double x, double y) {
          double best = -200;
          for (size_t ap : aps) best = std::max(best, sim::TrueSignal(scene_, ap, x, y));
          return best;
        },
        primary, ssPrimary);
  }
  for (int m = 0; m < 2; ++m) {
    signal[m].Rmse = std::sqrt(ssSignal[m] / static_cast<double>(signal[m].Cells));
    primary[m].Rmse = std::sqrt(ssPrimary[m] / static_cast<double>(primary[m].Cells));
  }

  std::vector<double> apError, crudeError;
  for (size_t ap : aps) {
    const auto& a = scene_.AccessPoints[ap];
    ApFit fit = FitAccessPoint(SamplesOf(points, a.BSSID), bounds);
    ASSERT_TRUE(fit.Valid);
    apError.push_back(std::hypot(fit.X - (*a.Position)[0], fit.Y - (*a.Position)[1]));
    crudeError.push_back(std::hypot(fit.StrongestX - (*a.Position)[0], fit.StrongestY - (*a.Position)[1]));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  };
  std::printf("survey of the simulated office: %zu points every 2.5 m\n", points.size());
  std::printf("signal maps vs truth (RMSE over %zu cells): idw %.2f dB, kriging %.2f dB\n", signal[1].Cells,
              signal[0].Rmse, signal[1].Rmse);
  std::printf("primary map vs truth: idw %.2f dB, kriging %.2f dB; leave-one-out: idw %.2f dB, kriging %.2f dB\n",
              primary[0].Rmse, primary[1].Rmse, cv[0], cv[1]);
  std::printf("AP position error: median %.2f m (strongest point: %.2f m), worst %.2f m\n", median(apError),
              median(crudeError), *std::max_element(apError.begin(), apError.end()));

  // Against the truth both methods sit near the floor that the radio's wander (up to 6 dB) and structure
  // finer than the 2.5 m spacing set; held-out readings are predicted much better by kriging.
  for (int m = 0; m < 2; ++m) {
    EXPECT_LT(signal[m].Rmse, 4.5) << m;
    EXPECT_LT(primary[m].Rmse, 4.5) << m;
  }
  EXPECT_LT(std::abs(signal[1].Rmse - signal[0].Rmse), 0.5);
  EXPECT_LT(cv[1], cv[0] - 1.0);
  EXPECT_LT(median(apError), 3.0);
  EXPECT_LE(median(apError), median(crudeError));
}

TEST_F(SurveyTruthTest, APointRecordsOnlyWhatItsOwnScanHeard) {
  // A point next to the cameras' AP hears it; the next point, far behind two walls, takes its scan: the
  // cached result of the first point's scan is not in it.
  const auto cameras =
      std::find_if(scene_.AccessPoints.begin(), scene_.AccessPoints.end(),
                   [](const sim::SceneAccessPoint& a) { return a.Floor.empty() && a.Position && a.Channel == 1; });
  ASSERT_NE(cameras, scene_.AccessPoints.end());
  const double cx = (*cameras->Position)[0], cy = (*cameras->Position)[1];
  Point near = TakePoint(cx, cy);
  auto heard = [](const Point& p, const Bssid& b) {
    return std::any_of(p.Readings.begin(), p.Readings.end(), [&](const Reading& r) { return r.BSSID == b; });
  };
  EXPECT_TRUE(heard(near, cameras->BSSID));
  // Without a new scan the service still lists the old results: they are not fresh for a new point.
  std::string error;
  ASSERT_TRUE(service_->MoveInterface(guid_, "Office", 1, 1, error));
  clock_->Advance(1);
  Point stale;
  stale.Start = clock_->WallTimeAtStart() + clock_->Now();
  WlanBlock block;
  ASSERT_EQ(service_->GetNetworkBssList(guid_, nullptr, 3, false, block), 0u);
  WlanBssListView view(block);
  std::vector<WLAN_BSS_ENTRY> entries;
  for (size_t k = 0; k < view.Count(); ++k) entries.push_back(view.Entry(k));
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(AddFreshReadings(stale, entries), entries.size());
  EXPECT_TRUE(stale.Readings.empty());
}

}  // namespace
}  // namespace skimlet::survey

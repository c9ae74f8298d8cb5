// Map and survey file speed: a map of 500 points of one BSS on a 60 x 45 m floor at 0.25 m cells (target
// 150 ms), the same after one more point (target 50 ms), and a floor of 100,000 readings of 500 BSSIDs:
// opening it (target 1 s) and mapping it (target 300 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <filesystem>
#include <random>

#include "core/survey/survey_file.h"
#include "core/survey/survey_map.h"

namespace {

using namespace skimlet::survey;

constexpr FloorBounds kFloor{60, 45};

Bssid BssidNumber(int k) { return {0x00, 0x1A, 0x2B, 0x00, static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(k)}; }

// Readings of one AP at (20, 15): log-distance with 4 dB of noise, at N random points.
std::vector<Point> OneBssPoints(int n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> x(0, kFloor.Width), y(0, kFloor.Height);
  std::normal_distribution<double> noise(0, 4);
  std::vector<Point> out;
  for (int k = 0; k < n; ++k) {
    Point p;
    p.X = x(rng);
    p.Y = y(rng);
    const double d = std::max(std::hypot(p.X - 20, p.Y - 15), 1.0);
    p.Readings.push_back({BssidNumber(1), static_cast<int32_t>(std::lround(-35 - 30 * std::log10(d) + noise(rng))),
                          5180000, std::nullopt});
    out.push_back(std::move(p));
  }
  return out;
}

void MapOneBss(benchmark::State& state, Method method, int points) {
  const std::vector<Point> p = OneBssPoints(points, 1);
  const BssInfo info{BssidNumber(1), "Office", 5180000};
  MapOptions o;
  o.Kind = MapKind::Signal;
  o.Interpolation = method;
  for (auto _ : state) benchmark::DoNotOptimize(MakeMap(p, std::span(&info, 1), kFloor, o));
}
BENCHMARK_CAPTURE(MapOneBss, kriging_500, Method::Kriging, 500)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapOneBss, idw_500, Method::Idw, 500)->Unit(benchmark::kMillisecond);
// One more point after a map of 500: the covariance of the first map is kept.
void UpdateAfterOnePoint(benchmark::State& state, Method method) {
  std::vector<Point> p = OneBssPoints(501, 1);
  const Point added = p.back();
  p.pop_back();
  const BssInfo info{BssidNumber(1), "Office", 5180000};
  MapOptions o;
  o.Kind = MapKind::Signal;
  o.Interpolation = method;
  const MapResult before = MakeMap(p, std::span(&info, 1), kFloor, o);
  p.push_back(added);
  for (auto _ : state) benchmark::DoNotOptimize(MakeMap(p, std::span(&info, 1), kFloor, o, &before));
}
BENCHMARK_CAPTURE(UpdateAfterOnePoint, kriging, Method::Kriging)->Unit(benchmark::kMillisecond);

// 1,000 points of 100 readings each (100,000 readings) of 500 BSSIDs, 20 per radio neighbourhood.
std::string LargeSurvey() {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("skimlet-bench-" + std::to_string(::getpid()) + ".survey")).string();
  std::filesystem::remove(path);
  std::string error;
  auto file = SurveyFile::Create(path, error);
  Floor f;
  f.Name = "Big";
  f.PlanWidth = 6000;
  f.PlanHeight = 4500;
  f.MetresPerPixel = 0.01;
  file->AddFloor(f, error);
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> x(0, kFloor.Width), y(0, kFloor.Height);
  std::vector<std::pair<double, double>> aps;
  for (int k = 0; k < 500; ++k) aps.push_back({x(rng), y(rng)});
  for (int k = 0; k < 1000; ++k) {
    Point p;
    p.FloorId = f.Id;
    p.X = x(rng);
    p.Y = y(rng);
    // The 100 nearest APs are heard.
    std::vector<std::pair<double, int>> near;
    for (int a = 0; a < 500; ++a) near.push_back({std::hypot(p.X - aps[a].first, p.Y - aps[a].second), a});
    std::partial_sort(near.begin(), near.begin() + 100, near.end());
    for (int r = 0; r < 100; ++r)
      p.Readings.push_back({BssidNumber(near[r].second),
                            static_cast<int32_t>(std::lround(-35 - 30 * std::log10(std::max(near[r].first, 1.0)))),
                            5180000, std::nullopt});
    file->AddPoint(p, {}, error);
  }
  return path;
}

const std::string& LargeSurveyPath() {
  static const std::string path = LargeSurvey();
  return path;
}

void OpenLargeSurvey(benchmark::State& state) {
  const std::string& path = LargeSurveyPath();
  for (auto _ : state) {
    std::string error;
    Survey s;
    auto file = SurveyFile::Open(path, false, error);
    file->Load(s, error);
    benchmark::DoNotOptimize(s.Points.size());
  }
}
BENCHMARK(OpenLargeSurvey)->Unit(benchmark::kMillisecond);

// The signal map of the BSS heard at the most points of the large floor.
void MapLargeSurvey(benchmark::State& state) {
  std::string error;
  Survey s;
  SurveyFile::Open(LargeSurveyPath(), false, error)->Load(s, error);
  std::map<Bssid, int> count;
  for (const Point& p : s.Points)
    for (const Reading& r : p.Readings) ++count[r.BSSID];
  Bssid most{};
  int best = 0;
  for (auto& [b, n] : count)
    if (n > best) best = n, most = b;
  const BssInfo info{most, "", 5180000};
  MapOptions o;
  o.Kind = MapKind::Signal;
  for (auto _ : state) benchmark::DoNotOptimize(MakeMap(s.Points, std::span(&info, 1), kFloor, o));
  state.counters["samples"] = best;
}
BENCHMARK(MapLargeSurvey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

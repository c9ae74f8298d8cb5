#include "core/survey/survey_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/survey/map_picture.h"
#include "core/survey/recording.h"

namespace skimlet::survey {
namespace {

constexpr Bssid kA{0, 1, 2, 3, 4, 0x10}, kA2{2, 1, 2, 3, 4, 0x11}, kB{0, 1, 2, 3, 4, 0x20}, kC{0, 9, 9, 9, 9, 0x30};

// A point with the given readings (BSSID, signal) on channel 36 unless said otherwise.
Point At(double x, double y, std::vector<std::pair<Bssid, int>> readings, uint32_t khz = 5180000) {
  Point p;
  p.X = x;
  p.Y = y;
  for (auto [b, s] : readings) p.Readings.push_back({b, s, khz, std::nullopt});
  return p;
}

double LogDistanceSignal(double x, double y, double ax, double ay) {
  return -30 - 30 * std::log10(std::max(std::hypot(x - ax, y - ay), 1.0));
}

TEST(SurveyMap, IdwIsExactAtSamplesAndNoCellFarFromEveryPointHasData) {
  const std::vector<Point> points{At(1, 1, {{kA, -50}}), At(3, 1, {{kA, -60}}), At(1, 3, {{kA, -70}}),
                                  At(3, 3, {{kA, -80}}), At(2, 2, {{kA, -65}})};
  MapOptions o;
  o.Kind = MapKind::Signal;
  o.Interpolation = Method::Idw;
  o.Cell = 0.5;
  const BssInfo a{kA, "A", 5180000};
  MapResult map = MakeMap(points, std::span(&a, 1), {20, 10}, o);
  EXPECT_EQ(map.Columns, 40);
  EXPECT_EQ(map.Rows, 20);
  // Cell centre (1.25, 1.25) is 0.35 m from the -50 point: close to it; a cell 5 m beyond the last point has none.
  EXPECT_NEAR(map.At(2, 2), -50, 5);
  EXPECT_TRUE(std::isnan(map.At(39, 19)));
  EXPECT_TRUE(std::isnan(map.At(17, 2)));   // x = 8.75: 5.75 m from (3, 1)
  EXPECT_FALSE(std::isnan(map.At(15, 2)));  // x = 7.75: 4.75 m from (3, 1)
  EXPECT_EQ(map.CvPoints, 5u);
  EXPECT_EQ(map.CvUnit, "dB");
  // The centre point's leave-one-out prediction is the mean of the four corners at equal distance: -65.
  Field f = Field::Fit(SamplesOf(points, kA), Method::Idw, {20, 10});
  EXPECT_NEAR(f.LeaveOneOut()[4], -65, 1e-9);
  EXPECT_DOUBLE_EQ(f.At(3, 3), -80);
}

TEST(SurveyMap, KrigingFollowsTheLogDistanceFieldAndBeatsIdwOnIt) {
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0, 2);
  std::vector<Point> points;
  for (double x = 1; x < 30; x += 3)
    for (double y = 1; y < 20; y += 3)
      points.push_back(At(x, y, {{kA, static_cast<int>(std::lround(LogDistanceSignal(x, y, 12, 8) + noise(rng)))}}));
  Field kriged = Field::Fit(SamplesOf(points, kA), Method::Kriging, {30, 20});
  Field idw = Field::Fit(SamplesOf(points, kA), Method::Idw, {30, 20});
  ASSERT_EQ(kriged.Used(), Method::Kriging);
  EXPECT_NEAR(kriged.Trend().X, 12, 1.0);
  EXPECT_NEAR(kriged.Trend().Y, 8, 1.0);
  EXPECT_NEAR(kriged.Trend().Exponent, 3, 0.4);
  double ssK = 0, ssI = 0;
  int n = 0;
  for (double x = 2; x < 28; x += 0.5)
    for (double y = 2; y < 18; y += 0.5) {
      const double truth = LogDistanceSignal(x, y, 12, 8);
      ssK += std::pow(kriged.At(x, y) - truth, 2);
      ssI += std::pow(idw.At(x, y) - truth, 2);
      ++n;
    }
  const double rmsK = std::sqrt(ssK / n), rmsI = std::sqrt(ssI / n);
  EXPECT_LT(rmsK, 2.5);
  EXPECT_LT(rmsK, rmsI);
  // The leave-one-out error tells about the noise of the readings (2 dB) and no less.
  EXPECT_GT(kriged.LeaveOneOutRmse(), 1.5);
  EXPECT_LT(kriged.LeaveOneOutRmse(), 3.5);
  // Too few samples for a trend: the baseline.
  Field few = Field::Fit(std::vector<Sample>{{1, 1, -50}, {2, 2, -55}}, Method::Kriging, {30, 20});
  EXPECT_EQ(few.Used(), Method::Idw);
}

TEST(SurveyMap, AggregateMapsAndProfilesJudgeEachCellFromAllNetworks) {
  // Two points far apart, each with the same three networks: A (and A2, another SSID of A's radio), B on
  // A's channel, C on another.
  const std::vector<BssInfo> nets{{kA, "A", 5180000, 80, 2, 11},
                                  {kA2, "A-guest", 5180000, 80, 2, 11},
                                  {kB, "B", 5180000, 20, 1, 9},
                                  {kC, "C", 5500000, 20, 1, 9}};
  struct Case {
    const char* what;
    std::vector<std::pair<Bssid, int>> readings;
    MapKind kind;
    const char* profile;
    float expected;
  };
  const Case cases[] = {
      {"primary", {{kA, -50}, {kB, -60}, {kC, -70}}, MapKind::Primary, "data", -50},
      {"secondary", {{kA, -50}, {kB, -60}, {kC, -70}}, MapKind::Secondary, "data", -60},
      {"snr against the noise floor", {{kA, -50}}, MapKind::Snr, "data", 45},
      {"co-channel: B counts, A2 is A's own radio", {{kA, -50}, {kA2, -51}, {kB, -84}}, MapKind::CoChannel, "data", 1},
      {"co-channel threshold", {{kA, -50}, {kB, -86}}, MapKind::CoChannel, "data", 0},
      {"APs: radios, not BSSIDs", {{kA, -50}, {kA2, -50}, {kB, -70}, {kC, -80}}, MapKind::Aps, "data", 2},
      {"serving", {{kA, -70}, {kB, -60}}, MapKind::Serving, "data", 2},
      {"rate at 45 dB SNR, 80 MHz, 2 streams", {{kA, -50}}, MapKind::Rate, "data", float(143.4 * 4.19 * 2)},
      {"data passes", {{kA, -50}, {kC, -60}}, MapKind::Requirements, "data", 1},
      {"data: no secondary on 5 GHz", {{kA, -50}}, MapKind::Requirements, "data", 0},
      {"data: A's second SSID is no co-channel BSS",
       {{kA, -50}, {kC, -60}, {kB, -70}, {kA2, -50}},
       MapKind::Requirements,
       "data",
       1},
      {"data: secondary -68 on 5 GHz", {{kA, -68}, {kC, -60}}, MapKind::Requirements, "data", 0},
      {"voice: secondary -76", {{kA, -50}, {kC, -76}}, MapKind::Requirements, "voice", 0},
      {"location: two APs only", {{kA, -50}, {kC, -60}}, MapKind::Requirements, "location", 0},
      {"location: three", {{kA, -50}, {kB, -70}, {kC, -60}}, MapKind::Requirements, "location", 1},
  };
  for (const Case& c : cases) {
    const std::vector<Point> points{At(2, 2, c.readings), At(2.5, 2, c.readings)};
    MapOptions o;
    o.Kind = c.kind;
    o.Interpolation = Method::Idw;
    o.Cell = 1;
    o.Requirements = *FindProfile(c.profile);
    MapResult map = MakeMap(points, nets, {4, 4}, o);
    EXPECT_EQ(map.At(2, 2), c.expected) << c.what;
  }
  // A primary below -67 dBm fails.
  const std::vector<Point> weak{At(2, 2, {{kA, -70}, {kC, -68}})};
  MapOptions o;
  o.Kind = MapKind::Requirements;
  o.Interpolation = Method::Idw;
  o.Cell = 1;
  MapResult map = MakeMap(weak, nets, {4, 4}, o);
  EXPECT_EQ(map.At(2, 2), 0.0f);
  EXPECT_DOUBLE_EQ(map.PassShare, 0.0);
}

TEST(SurveyMap, ExpectedRateTable) {
  EXPECT_DOUBLE_EQ(ExpectedRate(1, 20, 1, 11), 0);
  EXPECT_DOUBLE_EQ(ExpectedRate(25, 20, 1, 11), 86.0);
  EXPECT_DOUBLE_EQ(ExpectedRate(25, 40, 1, 11), 77.4 * 2);  // 3 dB more needed per doubling
  EXPECT_DOUBLE_EQ(ExpectedRate(50, 20, 2, 7), 86.0 * 2);   // 802.11n stops at MCS 7
  EXPECT_DOUBLE_EQ(ExpectedRate(22, 20, 1, -1), 48);
  EXPECT_DOUBLE_EQ(ExpectedRate(50, 20, 1, -2), 11);
}

TEST(SurveyMap, ApFitStaysOnTheFloorAndPlacesANoiselessApClosely) {
  std::vector<Sample> samples;
  for (double x = 1; x < 20; x += 2.5)
    for (double y = 1; y < 12; y += 2.5) samples.push_back({x, y, LogDistanceSignal(x, y, 15, 4)});
  ApFit fit = FitAccessPoint(samples, {20, 12});
  ASSERT_TRUE(fit.Valid);
  EXPECT_NEAR(fit.X, 15, 0.3);
  EXPECT_NEAR(fit.Y, 4, 0.3);
  EXPECT_NEAR(fit.PowerAt1m, -30, 1);
  EXPECT_LT(fit.ErrorRadius, 2);
  // An AP outside the floor (x = 25) is placed on its edge.
  for (Sample& s : samples) s.Value = LogDistanceSignal(s.X, s.Y, 25, 6);
  fit = FitAccessPoint(samples, {20, 12});
  EXPECT_LE(fit.X, 20);
  EXPECT_NEAR(fit.X, 20, 0.5);
  EXPECT_FALSE(FitAccessPoint(std::vector<Sample>(samples.begin(), samples.begin() + 4), {20, 12}).Valid);
}

TEST(SurveyRecording, OnlyResultsReceivedAfterThePointStartedAreRecorded) {
  const double start = 1.7e9 + 100;
  auto entry = [](uint8_t last, int rssi, double at) {
    WLAN_BSS_ENTRY e;
    e.dot11Bssid = {0, 1, 2, 3, 4, last};
    e.lRssi = rssi;
    e.ulChCenterFrequency = 2437000;
    e.ullHostTimestamp = at > 0 ? FiletimeFromUnix(at) : 0;
    return e;
  };
  Point p;
  p.Start = start;
  // A cached result of an earlier scan, one without a time, two fresh sightings of one BSS (the later wins).
  const std::vector<WLAN_BSS_ENTRY> entries{entry(1, -40, start - 30), entry(2, -50, 0), entry(3, -60, start + 1),
                                            entry(3, -58, start + 2.5)};
  EXPECT_EQ(AddFreshReadings(p, entries), 2u);
  ASSERT_EQ(p.Readings.size(), 1u);
  EXPECT_EQ(p.Readings[0].Signal, -58);
  EXPECT_EQ(p.Readings[0].FrequencyKHz, 2437000u);
}

TEST(SurveyRecording, WalkSamplesArePlacedByTimeAlongTheirSegment) {
  const std::vector<Waypoint> w{{0, 0, 100}, {10, 0, 110}, {10, 5, 120}};
  struct Case {
    double time;
    std::optional<std::pair<double, double>> at;
  } cases[] = {{99, std::nullopt},          {100, std::pair{0.0, 0.0}},  {104, std::pair{4.0, 0.0}},
               {115, std::pair{10.0, 2.5}}, {120, std::pair{10.0, 5.0}}, {121, std::nullopt}};
  for (const Case& c : cases) {
    auto at = PositionAt(w, c.time);
    ASSERT_EQ(at.has_value(), c.at.has_value()) << c.time;
    if (at) {
      EXPECT_NEAR(at->first, c.at->first, 1e-9) << c.time;
      EXPECT_NEAR(at->second, c.at->second, 1e-9) << c.time;
    }
  }
}

TEST(SurveyMapPicture, PngHasItsSizeAndTransparentCellsWithoutData) {
  MapResult map;
  map.Columns = 3;
  map.Rows = 2;
  map.Values = {-50, -60, NAN, -90, -30, -70};
  const std::vector<uint8_t> png = MapPng(map, MapKind::Primary, 0, 0);
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(PngSize(png, w, h));
  EXPECT_EQ(w, 12u);
  EXPECT_EQ(h, 8u);
  EXPECT_EQ(MapColour(MapKind::Primary, NAN)[3], 0);
  EXPECT_EQ(MapColour(MapKind::Primary, -30), (Rgba{20, 150, 60, 255}));
  EXPECT_FALSE(PngSize(std::vector<uint8_t>(30, 0), w, h));
}

}  // namespace
}  // namespace skimlet::survey

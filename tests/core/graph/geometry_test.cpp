#include "core/graph/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace skimlet {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Every character 6 pixels wide.
int MonoWidth(std::string_view text) { return static_cast<int>(text.size()) * 6; }

TEST(ValueAxis, WidensTheRangeToWholeSteps) {
  struct Case {
    int height;
    double minY, maxY;
    int intervals;
    double axisMin, axisMax;
  } cases[] = {
      {300, -100, -20, 8, -100, -20},  // N = 10, step 10, two surplus intervals dropped
      {40, 0, 54, 2, 0, 100},          // never fewer than 2 intervals
      {200, 0, 54, 6, 0, 60},          // ratio 7.7, step 10, end 70, one interval dropped
      {300, 4995, 5005, 10, 4995, 5005},
      {300, -3, 97, 6, -20, 100},  // step 10 would end at 90: step 20
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << " px, " << c.minY << " ... " << c.maxY);
    const TValueAxis axis = ComputeValueAxis(10, 10 + c.height, c.minY, c.maxY);
    EXPECT_EQ(axis.Intervals, c.intervals);
    EXPECT_DOUBLE_EQ(axis.MinY, c.axisMin);
    EXPECT_DOUBLE_EQ(axis.MaxY, c.axisMax);
    ASSERT_EQ(axis.Ticks.size(), static_cast<size_t>(c.intervals + 1));
    EXPECT_EQ(axis.GridY.size(), static_cast<size_t>(c.intervals - 1));
    EXPECT_EQ(axis.Ticks.front().Y, 10 + c.height);
    EXPECT_EQ(axis.Ticks.back().Y, 10);
    EXPECT_DOUBLE_EQ(axis.Ticks.front().Value, c.axisMin);
    EXPECT_DOUBLE_EQ(axis.Ticks.back().Value, c.axisMax);
  }
  // The labels of the 300-pixel signal axis, and where they stand.
  const TValueAxis rssi = ComputeValueAxis(0, 300, -100, -20);
  EXPECT_EQ(FormatAxisValue(rssi.Ticks[1].Value), "-90");
  EXPECT_EQ(rssi.Ticks[1].Y, 300 - 38);   // 37.5 rounds to even
  EXPECT_EQ(rssi.Ticks[3].Y, 300 - 112);  // 112.5 likewise
}

TEST(ValueAxis, TakesAnOffsetOffValuesFarFromZero) {
  const TNiceScale far = NiceScale(10, 100, 4995, 5005);
  EXPECT_EQ(far.Offset, 1000);
  EXPECT_EQ(far.Magnitude, 1);
  EXPECT_EQ(NiceScale(10, 100, -100, -20).Offset, 0);
  EXPECT_EQ(NiceScale(10, 100, -5005, -4995).Offset, -1000);
  // Labels still show the true values.
  const TValueAxis axis = ComputeValueAxis(0, 300, 4995, 5005);
  EXPECT_EQ(FormatAxisValue(axis.Ticks[5].Value), "5000");
}

TEST(ValueAxis, DegenerateRangesGiveAUsableAxis) {
  const double cases[][2] = {{kInf, -kInf}, {-kInf, kInf}, {kInf, kInf},   {0, 0},          {-60, -60},
                             {7, kInf},     {10, 0},       {1e308, 1e308}, {-1e308, 1e308}, {std::nan(""), 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << " ... " << c[1]);
    for (int height : {0, 40, 300}) {
      const TValueAxis axis = ComputeValueAxis(0, height, c[0], c[1]);
      EXPECT_TRUE(std::isfinite(axis.MinY) && std::isfinite(axis.MaxY));
      EXPECT_LT(axis.MinY, axis.MaxY);
      EXPECT_GE(axis.Intervals, 1);
      for (const TValueTick& t : axis.Ticks) EXPECT_TRUE(std::isfinite(t.Value));
    }
  }
  // A flat range keeps its value inside the axis.
  const TValueAxis flat = ComputeValueAxis(0, 300, -60, -60);
  EXPECT_LT(flat.MinY, -60);
  EXPECT_GT(flat.MaxY, -60);
}

TEST(ValueAxis, FormatsShortestDecimals) {
  EXPECT_EQ(FormatAxisValue(-20), "-20");
  EXPECT_EQ(FormatAxisValue(2.5, ","), "2,5");
  EXPECT_EQ(FormatAxisValue(-0.0), "0");
  EXPECT_EQ(FormatAxisValue(0.1 + 0.2), "0.3");
}

TEST(TimeWindow, IsClampedAndEndsOnAWholeSecond) {
  const LocalDateTime now = EncodeLocalDateTime(2026, 5, 1, 14, 5, 37, 640);
  for (auto [minutes, clamped] : {std::pair{-5, 1}, {0, 1}, {1, 1}, {5, 5}, {60, 60}, {61, 60}}) {
    const TTimeWindow w = TimeWindowAt(now, minutes);
    EXPECT_EQ(w.Minutes, clamped);
    EXPECT_EQ(MillisecondsBetween(w.MaxX, EncodeLocalDateTime(2026, 5, 1, 14, 5, 37)), 0);
    EXPECT_EQ(SecondsBetween(w.MinX, w.MaxX), clamped * 60);
  }
}

TEST(TimeAxis, LabelsWholeMinutesFromTheRight) {
  // One pixel per second: the 14:05 column stands 37 pixels left of the right edge.
  const LocalDateTime maxX = EncodeLocalDateTime(2026, 5, 1, 14, 5, 37);
  const TTimeAxis axis = ComputeTimeAxis(100, 400, maxX, 5, 60, MonoWidth);
  const std::vector<TAxisLabel> expected{
      {363, "14:05"}, {303, "14:04"}, {243, "14:03"}, {183, "14:02"}, {123, "14:01"}};
  EXPECT_EQ(axis.Labels, expected);
  EXPECT_EQ(axis.GridX, (std::vector<int>{363, 303, 243, 183, 123}));
  // Minor ticks on ten-second marks: 14:05:30 is 7 pixels left of the edge.
  ASSERT_EQ(axis.MinorTickX.size(), 30u);
  EXPECT_EQ(axis.MinorTickX[0], 393);
  EXPECT_EQ(axis.MinorTickX[1], 383);
  // The separator is the locale's; labels cross midnight.
  const TTimeAxis night = ComputeTimeAxis(0, 300, EncodeLocalDateTime(2026, 5, 2, 0, 1, 5), 5, 60, MonoWidth, ".");
  EXPECT_EQ(night.Labels[0].Text, "00.01");
  EXPECT_EQ(night.Labels[2].Text, "23.59");
}

TEST(TimeAxis, ThinsLabelsOfALongWindowUntilTheyFit) {
  const LocalDateTime maxX = EncodeLocalDateTime(2026, 5, 1, 14, 7, 12);
  // 60 minutes on 600 pixels: a minute is 10 pixels, a label 30 + 6; every fifth minute is labelled.
  const TTimeAxis axis = ComputeTimeAxis(0, 600, maxX, 60, 60, MonoWidth);
  ASSERT_EQ(axis.Labels.size(), 12u);
  EXPECT_EQ(axis.Labels[0].Text, "14:05");
  for (size_t i = 1; i < axis.Labels.size(); ++i) {
    EXPECT_GE(axis.Labels[i - 1].X - axis.Labels[i].X, 36);
    EXPECT_EQ(std::stoi(axis.Labels[i].Text.substr(3)) % 5, 0) << axis.Labels[i].Text;
  }
  // A window of 0 minutes draws as one minute; a plot too narrow for any label gets none.
  EXPECT_EQ(ComputeTimeAxis(0, 300, maxX, 0, 60, MonoWidth).Labels.size(), 1u);
  EXPECT_TRUE(ComputeTimeAxis(0, 20, maxX, 60, 60, MonoWidth).Labels.empty());
}

class SeriesRunsTest : public testing::Test {
 protected:
  // A 300 x 100 plot over five minutes (one pixel per second) and values 0 ... 100 (one pixel per unit).
  const TGraphRect plot{0, 0, 300, 100};
  const TTimeWindow window = TimeWindowAt(EncodeLocalDateTime(2026, 5, 1, 12, 0, 0), 5);
  std::vector<TSeriesSample> samples;
  size_t reads = 0;

  void Add(int secondsBeforeEnd, double value, bool valid = true) {
    samples.push_back({AddSeconds(window.MaxX, -secondsBeforeEnd), value, valid});
  }
  std::vector<TPointRun> Runs() {
    return SeriesRuns(plot, window, 0, 100, samples.size(), [this](size_t i) {
      ++reads;
      return samples[i];
    });
  }
};

TEST_F(SeriesRunsTest, BreaksAtInvalidSamplesAndExtendsToTheRight) {
  Add(500, 5);  // two windows back: never read
  Add(400, 5);  // left of the plot: its segment crosses the edge, then the walk stops
  Add(250, 10);
  Add(200, 20);
  Add(150, 0, false);
  Add(100, 50);
  Add(50, 60);
  const std::vector<TPointRun> runs = Runs();
  const std::vector<TPointRun> expected{
      {{300, 40}, {250, 40}, {200, 50}},              // the newest sample runs on to the right edge
      {{150, 80}, {100, 80}, {50, 90}, {-100, 95}}};  // continued to the invalid sample's place
  EXPECT_EQ(runs, expected);
  EXPECT_EQ(reads, 6u);
  EXPECT_EQ(FillPolygonDown(runs[0], 100),
            (std::vector<TGraphPoint>{{300, 40}, {250, 40}, {200, 50}, {200, 100}, {300, 100}}));
}

TEST_F(SeriesRunsTest, InvalidOrInfiniteSamplesDrawNothing) {
  Add(100, 50, false);
  Add(50, kInf);
  EXPECT_TRUE(Runs().empty());
  EXPECT_TRUE(FillPolygonDown({{1, 2}}, 100).empty());
  // A range without height draws nothing instead of dividing by zero.
  samples = {{window.MaxX, 5, true}};
  EXPECT_TRUE(SeriesRuns(plot, window, 5, 5, 1, [this](size_t i) { return samples[i]; }).empty());
  EXPECT_TRUE(SeriesRuns(plot, window, -kInf, kInf, 1, [this](size_t i) { return samples[i]; }).empty());
}

TEST(ValueRanges, PerQuantityAndForCounters) {
  struct Case {
    int valueType;
    double dataMin, dataMax, minY, maxY;
  } cases[] = {
      {kQuantityRSSI, -60, -40, -100, -20},  // fixed whatever the data
      {kQuantityQuality, 20, 30, 0, 100},
      {kQuantityUtilization, kInf, -kInf, 0, 100},
      {kQuantityRate, kInf, -kInf, 0, 100},  // no data
      {kQuantityRate, 0, 0, 0, 100},
      {kQuantityRate, 6, 54, 0, 54},
      {kQuantityClients, 1, 3, 0, 3},
      {kQuantityClients, kInf, -kInf, 0, 10},
      {9, 3, 7, 3, 7},
  };
  for (const Case& c : cases) {
    const TValueRange r = NetworkQuantityRange(c.valueType, c.dataMin, c.dataMax);
    EXPECT_EQ(r.MinY, c.minY) << c.valueType << " " << c.dataMax;
    EXPECT_EQ(r.MaxY, c.maxY) << c.valueType << " " << c.dataMax;
  }
  EXPECT_EQ(CounterRange(kInf, -kInf).MaxY, 1000);
  EXPECT_EQ(CounterRange(0, 0).MaxY, 1000);
  EXPECT_EQ(CounterRange(250, 250).MinY, 0);
  EXPECT_EQ(CounterRange(250, 250).MaxY, 1000);
  EXPECT_EQ(CounterRange(10, 40).MinY, 10);
  EXPECT_EQ(ConnectionRange(0).MinY, -100);
  EXPECT_EQ(ConnectionRange(1).MaxY, 100);
}

TEST(Captions, AppendTheUnitOnlyWhenTheTitleLacksIt) {
  EXPECT_EQ(CaptionWithUnit("Signal (dBm)", QuantityUnit(kQuantityRSSI)), "Signal (dBm)");
  EXPECT_EQ(CaptionWithUnit("Signal", QuantityUnit(kQuantityRSSI)), "Signal, dBm");
  EXPECT_EQ(CaptionWithUnit("Achievable rate", QuantityUnit(kQuantityRate)), "Achievable rate, Mbps");
  EXPECT_EQ(CaptionWithUnit("Clients", QuantityUnit(kQuantityClients)), "Clients");
  EXPECT_EQ(CaptionWithUnit("", "dBm"), "");
  EXPECT_EQ(QuantityColumn(kQuantityRate), 26);
  EXPECT_EQ(QuantityColumn(kQuantityClients), 15);
}

}  // namespace
}  // namespace skimlet

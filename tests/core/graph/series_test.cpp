#include "core/graph/wifi_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>

namespace skimlet {
namespace {

const LocalDateTime T0 = EncodeLocalDateTime(2024, 3, 10, 12, 0, 0);

// A clock the test moves by hand.
struct FakeClock {
  LocalDateTime now = T0;
  TClock Clock() {
    return [this] { return now; };
  }
};

TWiFiSeriesData WiFi(LocalDateTime t, bool active, int32_t rssi, int32_t quality = 50) {
  TWiFiSeriesData s;
  s.Time = t;
  s.Active = active;
  s.RSSI = rssi;
  s.Quality = quality;
  return s;
}

TMacCountersData Mac(LocalDateTime t, uint64_t unicast, uint64_t multicast = 0) {
  TMacCountersData s;
  s.Time = t;
  s.Unicast = unicast;
  s.Multicast = multicast;
  return s;
}

TEST(LocalDateTime, EncodesDaysSince18991230AndMeasuresSpans) {
  EXPECT_EQ(EncodeLocalDateTime(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeLocalDateTime(1970, 1, 1), 25569.0);
  EXPECT_EQ(EncodeLocalDateTime(2000, 1, 1, 18), 36526.75);
  // Day fractions are inexact in binary: whole spans must still come out whole.
  for (int s : {1, 59, 60, 359, 360, 361, 3600}) {
    LocalDateTime later = AddSeconds(T0, s);
    EXPECT_EQ(SecondsBetween(T0, later), s) << s;
    EXPECT_EQ(SecondsBetween(later, T0), s) << s;
    EXPECT_EQ(MinutesBetween(T0, later), s / 60) << s;
  }
  EXPECT_EQ(SecondsBetween(T0, AddSeconds(T0, 2.9)), 2);
  EXPECT_EQ(SecondsBetween(T0, AddSeconds(T0, 0.999)), 0);
  EXPECT_EQ(MillisecondsBetween(T0, PlusInfinity), INT64_MAX);
  LocalDateTime now = LocalNow();
  EXPECT_GT(now, EncodeLocalDateTime(2020, 1, 1));
  EXPECT_LT(SecondsBetween(now, SystemClock()()), 5);
}

TEST(SampleRing, KeepsOrderAcrossWrapAroundAndGrowth) {
  TSampleRing<int> ring(5);
  std::deque<int> model;
  for (int i = 0; i < 60; ++i) {
    ring.PushBack(i);
    model.push_back(i);
    if (model.size() > 5) model.pop_front();  // full at its ceiling: a push drops the oldest itself
    if (i % 3 == 0) {
      ring.PopFront();
      model.pop_front();
    }
    ASSERT_EQ(ring.Count(), model.size());
    for (size_t k = 0; k < model.size(); ++k) ASSERT_EQ(ring[k], model[k]) << i;
  }
  EXPECT_EQ(ring.Capacity(), 5u);
  TSampleRing<int> copy = ring;
  ring.Clear();
  EXPECT_EQ(ring.Count(), 0u);
  EXPECT_EQ(ring.BufferBytes(), 0u);
  EXPECT_EQ(copy.Newest(), model.back());
  EXPECT_THROW(copy.At(copy.Count()), std::out_of_range);
}

TEST(TrimSeries, DropsSamplesOnceTheyAreAWholeMinuteBeyondTheWindow) {
  FakeClock clock;
  TWiFiSeries series;
  AppendSample(series, WiFi(T0, true, -50), DefaultTimeWindowMinutes, clock.Clock());
  clock.now = AddSeconds(T0, 5 * 60 + 59);  // 5:59 old: 5 whole minutes, kept
  AppendSample(series, WiFi(clock.now, true, -51), DefaultTimeWindowMinutes, clock.Clock());
  EXPECT_EQ(series.Count(), 2u);
  EXPECT_EQ(series[0].Time, T0);
  clock.now = AddSeconds(T0, 6 * 60);  // 6:00 old: dropped before the append
  AppendSample(series, WiFi(clock.now, true, -52), DefaultTimeWindowMinutes, clock.Clock());
  ASSERT_EQ(series.Count(), 2u);
  EXPECT_EQ(series[0].RSSI, -51);
  EXPECT_EQ(series.Newest().RSSI, -52);
  // Nothing leaves a series that receives no samples.
  clock.now = AddMinutes(T0, 600);
  EXPECT_EQ(series.Count(), 2u);
  TrimSeries(series, 5, clock.now);
  EXPECT_EQ(series.Count(), 0u);
}

TEST(TrimSeries, CapsTheSampleCount) {
  FakeClock clock;
  TWiFiSeries series;
  for (size_t i = 0; i < SeriesSampleLimit; ++i) series.Add(WiFi(T0, true, static_cast<int32_t>(i)));
  AppendSample(series, WiFi(T0, true, -1), DefaultTimeWindowMinutes, clock.Clock());
  EXPECT_EQ(series.Count(), SeriesSampleLimit + 1);
  EXPECT_EQ(series[0].RSSI, 0);
  AppendSample(series, WiFi(T0, true, -2), DefaultTimeWindowMinutes, clock.Clock());
  EXPECT_EQ(series.Count(), SeriesSampleLimit + 1);
  EXPECT_EQ(series[0].RSSI, 1);  // 10 001 held: the oldest goes before the append
  EXPECT_EQ(series.Newest().RSSI, -2);
}

TEST(WiFiSeries, ValuesBySelectorAndAbsentValuesAsMinusInfinity) {
  TWiFiSeriesData s = WiFi(T0, true, -60, 70);
  s.AchievableRate = 866.7;
  s.ChannelUtilization = 12;
  s.StationCount = 3;
  EXPECT_EQ(s.GetValue(0), -60);
  EXPECT_EQ(s.GetValue(1), 70);
  EXPECT_EQ(s.GetValue(2), 866.7);
  EXPECT_EQ(s.GetValue(3), 12);
  EXPECT_EQ(s.GetValue(4), 3);
  EXPECT_EQ(s.GetValue(5), -60);
  EXPECT_EQ(s.GetValue(-1), -60);
  s.AchievableRate = -1;
  s.ChannelUtilization = -1;
  s.StationCount = -1;
  for (int sel : {2, 3, 4}) EXPECT_EQ(s.GetValue(sel), MinusInfinity) << sel;
}

TEST(RangeStats, WalksTheWindowInEitherOrder) {
  TWiFiSeries series;
  EXPECT_EQ(series.GetRangeStats(0, T0, AddMinutes(T0, 5)).Minimum, PlusInfinity);
  EXPECT_EQ(series.GetRangeStats(0, T0, AddMinutes(T0, 5)).Maximum, MinusInfinity);
  EXPECT_EQ(series.GetRangeStats(0, T0, AddMinutes(T0, 5)).Mean, 0);
  // -70 before the window, then -60 (inactive), -50, -40 inside, -30 after it.
  series.Add(WiFi(AddSeconds(T0, -10), true, -70));
  series.Add(WiFi(AddSeconds(T0, 10), false, -60));
  series.Add(WiFi(AddSeconds(T0, 20), true, -50));
  series.Add(WiFi(AddSeconds(T0, 60), true, -40));
  series.Add(WiFi(AddSeconds(T0, 90), true, -30));
  const LocalDateTime from = T0, to = AddSeconds(T0, 60);
  for (auto [a, b] : {std::pair{from, to}, std::pair{to, from}}) {
    TRangeStats r = series.GetRangeStats(0, a, b);
    EXPECT_EQ(r.Minimum, -50);
    EXPECT_EQ(r.Maximum, -40);
    EXPECT_EQ(r.Mean, -45);
  }
  // The base walk (every sample) counts the inactive one too.
  TRangeStats all = series.TTimeMultiDataSeries::GetRangeStats(0, from, to);
  EXPECT_EQ(all.Minimum, -60);
  EXPECT_EQ(all.Mean, -50);
  // Only inactive samples in the window: no data.
  TRangeStats none = series.GetRangeStats(0, AddSeconds(T0, 5), AddSeconds(T0, 15));
  EXPECT_EQ(none.Minimum, PlusInfinity);
  EXPECT_EQ(none.Maximum, MinusInfinity);
  EXPECT_EQ(none.Mean, 0);
}

TEST(CountersSeries, RateIsGrowthPerWholeSecond) {
  TMACCountersSeries series;
  series.Add(Mac(T0, 1000, 50));
  series.Add(Mac(AddSeconds(T0, 2.9), 1100, 80));  // 2 whole seconds
  series.Add(Mac(AddSeconds(T0, 3.5), 1200, 90));  // 0.6 s later: no whole second
  series.Add(Mac(AddSeconds(T0, 6.5), 10, 0));     // counter reset
  series.Add(Mac(AddSeconds(T0, 9.5), 310, 30));
  EXPECT_EQ(series.GetRate(0, 1), 0);
  EXPECT_EQ(series.GetRate(1, 1), 50);
  EXPECT_EQ(series.GetRate(1, 2), 15);  // selector 2: multicast
  EXPECT_EQ(series.GetRate(2, 1), 0);
  EXPECT_EQ(series.GetRate(3, 1), 0);
  EXPECT_EQ(series.GetRate(4, 1), 100);
  EXPECT_EQ(series.GetRate(4, 2), 10);
  TRangeStats r = series.GetRangeStats(1, AddSeconds(T0, 1), AddSeconds(T0, 10));
  EXPECT_EQ(r.Minimum, 0);
  EXPECT_EQ(r.Maximum, 100);
  EXPECT_EQ(r.Mean, 37.5);
}

TEST(CountersSeries, PhySelectorPicksTotalOrOnePhyType) {
  TPhyCountersSeries series;
  TPhyCountersData a, b;
  a.Time = T0;
  b.Time = AddSeconds(T0, 1);
  a.Total = 100;
  b.Total = 160;
  a.PerPhy[7] = 10;
  b.PerPhy[7] = 40;
  series.Add(a);
  series.Add(b);
  EXPECT_EQ(series.GetRate(1, -1), 60);
  EXPECT_EQ(series.GetRate(1, 7), 30);
  EXPECT_EQ(series.GetRate(1, 0), 0);
  EXPECT_EQ(series.GetRate(1, 11), 0);  // no such PHY type
  EXPECT_EQ(series.GetValue(1, -1), 160);
}

TEST(WholeSeriesStats, CountOnlyFlaggedSamples) {
  TCurrentConnectionSeries conn;
  EXPECT_EQ(SeriesLast(conn, 0), PlusInfinity);
  EXPECT_EQ(SeriesAverage(conn, 0), MinusInfinity);
  for (auto [connected, rssi] : {std::pair{true, -40}, std::pair{true, -60}, std::pair{false, -90}}) {
    TCurrentConnectioSeriesData s;
    s.Time = T0;
    s.Connected = connected;
    s.RSSI = rssi;
    s.Quality = 100 + rssi;
    conn.Add(s);
  }
  EXPECT_EQ(SeriesLast(conn, 0), PlusInfinity);  // newest taken while disconnected
  EXPECT_EQ(SeriesMinimum(conn, 0), -60);
  EXPECT_EQ(SeriesMaximum(conn, 0), -40);
  EXPECT_EQ(SeriesAverage(conn, 0), -50);
  EXPECT_EQ(SeriesAverage(conn, 1), 50);

  TWiFiSeries wifi;
  wifi.Add(WiFi(T0, false, -80));
  EXPECT_EQ(SeriesMinimum(wifi, 0), PlusInfinity);
  EXPECT_EQ(SeriesMaximum(wifi, 0), MinusInfinity);
  EXPECT_EQ(SeriesAverage(wifi, 0), MinusInfinity);
  wifi.Add(WiFi(T0, true, -70));
  EXPECT_EQ(SeriesLast(wifi, 0), -70);
  EXPECT_EQ(SeriesAverage(wifi, 0), -70);
}

TEST(Colors, PaletteAndGenerator) {
  EXPECT_EQ(PaletteColor(0), 180u + 119u * 256 + 31u * 65536);
  EXPECT_EQ(PaletteColor(19), MakeColor(207, 190, 23));
  EXPECT_EQ(PaletteColor(25), PaletteColor(5));
  EXPECT_EQ(PaletteColor(-1), PaletteColor(19));
  EXPECT_EQ(ColorGreen(MakeColor(1, 2, 3)), 2);

  TGraphColorGenerator gen;
  std::vector<TColor> first;
  for (int i = 0; i < 20; ++i) first.push_back(gen.Next());
  EXPECT_EQ(gen.Next(), first[0]);  // the 21st repeats colour 0
  gen.Reset();
  EXPECT_EQ(gen.Counter, 0);
  EXPECT_EQ(gen.Next(), PaletteColor(0));
  EXPECT_EQ(gen.Next(), PaletteColor(1));

  for (int i = 0; i < 200; ++i) {
    TColor c = TWiFiSeries().Color;
    bool inPalette = false;
    for (int p = 0; p < PaletteSize; ++p) inPalette |= c == PaletteColor(p);
    ASSERT_TRUE(inPalette);
  }
}

TEST(ObjectWithSeries, OwnsItsSeriesAndShowsItToGraphs) {
  TObjectWithSeriesOf<TWiFiSeries> owner;
  owner.TypedSeries().Add(WiFi(T0, true, -42));
  const TObjectWithSeries& base = owner;
  EXPECT_EQ(base.Series().Count(), 1u);
  EXPECT_EQ(base.Series().GetValue(0, 0), -42);
  EXPECT_THROW(base.Series().GetTime(1), std::out_of_range);
}

}  // namespace
}  // namespace skimlet

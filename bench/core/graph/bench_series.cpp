// Appending to series at their sample cap, and what a full series costs in memory.
#include <benchmark/benchmark.h>

#include "core/graph/wifi_series.h"

namespace {

using namespace skimlet;

const LocalDateTime T0 = EncodeLocalDateTime(2024, 3, 10, 12, 0, 0);

template <class TSeriesType>
void FillToCap(TSeriesType& series) {
  typename TSeriesType::Sample s;
  for (size_t i = 0; i <= SeriesSampleLimit; ++i) {
    s.Time = AddSeconds(T0, static_cast<double>(i) * 0.001);
    series.Add(s);
  }
}

// Every append trims the oldest sample, since the series holds 10 001 young samples.
template <class TSeriesType>
void BM_AppendAtCap(benchmark::State& state) {
  TSeriesType series;
  FillToCap(series);
  LocalDateTime now = AddSeconds(T0, 20);
  TClock clock = [&] { return now; };
  typename TSeriesType::Sample s;
  s.Time = now;
  for (auto _ : state) {
    AppendSample(series, s, DefaultTimeWindowMinutes, clock);
    benchmark::DoNotOptimize(series.Count());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["samples"] = static_cast<double>(series.Count());
  state.counters["KiB_at_cap"] = static_cast<double>(series.MemoryBytes()) / 1024.0;
  state.counters["sample_bytes"] = sizeof(typename TSeriesType::Sample);
}
BENCHMARK(BM_AppendAtCap<TWiFiSeries>);
BENCHMARK(BM_AppendAtCap<TCurrentConnectionSeries>);
BENCHMARK(BM_AppendAtCap<TMACCountersSeries>);
BENCHMARK(BM_AppendAtCap<TPhyCountersSeries>);

// Filling an empty series to its cap: the growth of the buffer included.
void BM_FillNetworkSeries(benchmark::State& state) {
  for (auto _ : state) {
    TWiFiSeries series;
    FillToCap(series);
    benchmark::DoNotOptimize(series.Count());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(SeriesSampleLimit + 1));
}
BENCHMARK(BM_FillNetworkSeries);

// What a graph asks of a full network series on every paint: the range over a 5-minute window.
void BM_RangeStatsOverWindow(benchmark::State& state) {
  TWiFiSeries series;
  TWiFiSeriesData s;
  s.Active = true;
  for (size_t i = 0; i <= SeriesSampleLimit; ++i) {
    s.Time = AddSeconds(T0, static_cast<double>(i) * 3);
    s.RSSI = -40 - static_cast<int32_t>(i % 50);
    series.Add(s);
  }
  const LocalDateTime to = series.Newest().Time, from = AddMinutes(to, -5);
  for (auto _ : state) benchmark::DoNotOptimize(series.GetRangeStats(0, from, to));
}
BENCHMARK(BM_RangeStatsOverWindow);

}  // namespace

BENCHMARK_MAIN();

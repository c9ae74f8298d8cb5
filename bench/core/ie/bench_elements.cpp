// Decoding speed of a realistic beacon blob: Parse alone, and Parse with the element tree; the same for a
// Wi-Fi 7 beacon (the sample beacon with HE operation for 6 GHz, EHT capabilities and operation, a basic
// multi-link element and a reduced neighbor report).
#include <benchmark/benchmark.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/encode.h"
#include "support/sample_beacon.h"
#include "support/wifi7_beacon.h"

namespace {

using namespace skimlet;

void ParseBlob(benchmark::State& state, const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  for (auto _ : state) {
    elements.Parse(blob);
    benchmark::DoNotOptimize(elements.Items.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(blob.size()));
  state.counters["blob_bytes"] = static_cast<double>(blob.size());
  state.counters["elements"] = elements.Count();
}

void ParseAndFillTree(benchmark::State& state, const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  TIETree tree;
  for (auto _ : state) {
    elements.Parse(blob);
    elements.FillTree(tree);
    benchmark::DoNotOptimize(tree.Count());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["tree_lines"] = static_cast<double>(tree.Count());
}

void BM_ParseWifi7(benchmark::State& state) { ParseBlob(state, test::Wifi7BeaconBlob()); }
BENCHMARK(BM_ParseWifi7);

void BM_ParseAndFillTreeWifi7(benchmark::State& state) { ParseAndFillTree(state, test::Wifi7BeaconBlob()); }
BENCHMARK(BM_ParseAndFillTreeWifi7);

void BM_Parse(benchmark::State& state) { ParseBlob(state, test::SampleBeaconBlob()); }
BENCHMARK(BM_Parse);

void BM_ParseAndFillTree(benchmark::State& state) { ParseAndFillTree(state, test::SampleBeaconBlob()); }
BENCHMARK(BM_ParseAndFillTree);

}  // namespace

BENCHMARK_MAIN();

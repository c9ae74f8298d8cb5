// Decoding speed of a realistic beacon blob: Parse alone, and Parse with the element tree.
#include <benchmark/benchmark.h>

#include "core/ie/elements.h"
#include "support/sample_beacon.h"

namespace {

void BM_Parse(benchmark::State& state) {
  std::vector<uint8_t> blob = skimlet::test::SampleBeaconBlob();
  skimlet::TInformationElements elements;
  for (auto _ : state) {
    elements.Parse(blob);
    benchmark::DoNotOptimize(elements.Items.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(blob.size()));
  state.counters["blob_bytes"] = static_cast<double>(blob.size());
  state.counters["elements"] = elements.Count();
}
BENCHMARK(BM_Parse);

void BM_ParseAndFillTree(benchmark::State& state) {
  std::vector<uint8_t> blob = skimlet::test::SampleBeaconBlob();
  skimlet::TInformationElements elements;
  skimlet::TIETree tree;
  for (auto _ : state) {
    elements.Parse(blob);
    elements.FillTree(tree);
    benchmark::DoNotOptimize(tree.Count());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["tree_lines"] = static_cast<double>(tree.Count());
}
BENCHMARK(BM_ParseAndFillTree);

}  // namespace

BENCHMARK_MAIN();

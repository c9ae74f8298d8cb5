// Network model costs: a refresh of a dense site, the memory of an hour of history, loading a large snapshot.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "core/model/snapshot.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"
#include "support/sample_beacon.h"

namespace {

using namespace skimlet;

std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> Site(int count) {
  std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> items;
  std::vector<uint8_t> blob = test::SampleBeaconBlob();
  for (int i = 0; i < count; ++i) {
    WLAN_BSS_ENTRY e = test::MakeEntry(static_cast<uint8_t>(i), -40 - i % 50, i % 2 ? 5180000 : 2437000, "net");
    e.dot11Bssid[3] = static_cast<uint8_t>(i >> 8);
    items.emplace_back(e, blob);
  }
  return items;
}

std::unique_ptr<TWLANNetworkList> NewList(const TProgramOptions& options) {
  auto list = std::make_unique<TWLANNetworkList>(options);
  list->VendorLookup = nullptr;  // vendors of known BSSIDs are looked up once, not per refresh
  return list;
}

// One refresh of 2,000 known networks: merge (update and re-derive every record), statuses and counters.
void BM_Refresh2000(benchmark::State& state) {
  TProgramOptions options;
  auto list = NewList(options);
  std::vector<uint8_t> block = test::MakeBssList(Site(2000));
  LocalDateTime t = EncodeLocalDateTime(2026, 12, 10, 12, 0, 0);
  list->RefreshTime = t;
  list->SetBssList(block);
  for (auto _ : state) {
    t = AddSeconds(t, 3);
    list->RefreshTime = t;
    list->Merge();
    list->UpdateStatuses(t);
  }
  state.counters["networks"] = list->Count();
}
BENCHMARK(BM_Refresh2000)->Unit(benchmark::kMillisecond);

// The same refresh when every beacon changed since the last one (channel utilisation moves at every access
// point): every blob is decoded and every value derived again.
void BM_Refresh2000AllChanged(benchmark::State& state) {
  TProgramOptions options;
  auto list = NewList(options);
  auto site = Site(2000);
  std::vector<std::vector<uint8_t>> blocks;
  for (int variant = 0; variant < 2; ++variant) {
    for (auto& [entry, blob] : site) blob[blob.size() - 1] = static_cast<uint8_t>(variant);
    blocks.push_back(test::MakeBssList(site));
  }
  LocalDateTime t = EncodeLocalDateTime(2026, 12, 10, 12, 0, 0);
  list->RefreshTime = t;
  list->SetBssList(blocks[0]);
  size_t i = 0;
  for (auto _ : state) {
    t = AddSeconds(t, 3);
    list->RefreshTime = t;
    list->SetBssList(blocks[++i % 2]);
    list->UpdateStatuses(t);
  }
  state.counters["networks"] = list->Count();
}
BENCHMARK(BM_Refresh2000AllChanged)->Unit(benchmark::kMillisecond);

// A network refreshed every 3 seconds for an hour with a 60-minute window: the memory it holds.
void BM_NetworkHourOfHistory(benchmark::State& state) {
  TProgramOptions options;
  options.TimeWindowMinutes = 60;
  size_t bytes = 0;
  for (auto _ : state) {
    auto list = NewList(options);
    LocalDateTime t = EncodeLocalDateTime(2026, 12, 10, 12, 0, 0);
    auto site = Site(1);
    for (int i = 0; i < 1200; ++i, t = AddSeconds(t, 3)) test::Refresh(*list, t, site);
    const TWLANNetwork& n = *list->Items[0];
    bytes = sizeof(TWLANNetwork) + n.Series().MemoryBytes() - sizeof(TWiFiSeries) + n.Elements.Data.capacity() +
            n.Elements.Items.capacity() * sizeof(TElementPtr);
    state.counters["samples"] = static_cast<double>(n.Series().Count());
  }
  state.counters["network_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_NetworkHourOfHistory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadSnapshot10000(benchmark::State& state) {
  TProgramOptions options;
  std::string path =
      (std::filesystem::temp_directory_path() / ("skimlet-bench-" + std::to_string(::getpid()))).string();
  {
    auto list = NewList(options);
    test::Refresh(*list, EncodeLocalDateTime(2026, 12, 10, 12, 0, 0), Site(10000));
    SaveSnapshot(*list, path, EncodeLocalDateTime(2026, 12, 10, 12, 0, 1));
  }
  for (auto _ : state) {
    auto list = NewList(options);
    TSnapshotLoadResult r = LoadSnapshot(*list, path);
    benchmark::DoNotOptimize(r.Loaded);
    state.counters["networks"] = static_cast<double>(r.Loaded);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadSnapshot10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The simulated radio's costs per refresh: reading the default scene, building its beacons, and handing out
// the BSS list of a scan.
#include <benchmark/benchmark.h>

#include "backends/sim/sim_service.h"

namespace skimlet::sim {
namespace {

const char* kScenePath = SKIMLET_SOURCE_DIR "/data/scenes/default.scene";

void BM_ReadDefaultScene(benchmark::State& state) {
  for (auto _ : state) {
    auto r = ReadSceneFile(kScenePath);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ReadDefaultScene);

void BM_BuildAllBeacons(benchmark::State& state) {
  Scene scene = *ReadSceneFile(kScenePath).Value;
  size_t bytes = 0;
  for (auto _ : state) {
    for (const auto& ap : scene.AccessPoints) {
      Beacon b = BuildBeacon(ap, ap.Rssi, 0);
      bytes += b.Blob.size();
      benchmark::DoNotOptimize(b);
    }
  }
  state.counters["beacons/s"] =
      benchmark::Counter(double(state.iterations() * scene.AccessPoints.size()), benchmark::Counter::kIsRate);
  state.counters["blob bytes/beacon"] = double(bytes) / double(state.iterations() * scene.AccessPoints.size());
}
BENCHMARK(BM_BuildAllBeacons);

void BM_GetNetworkBssList(benchmark::State& state) {
  SimOptions o;
  o.Clock = std::make_shared<ManualSimClock>();
  SimWlanService s(*ReadSceneFile(kScenePath).Value, o);
  uint32_t v;
  s.OpenHandle(1, v);
  WlanBlock list;
  s.EnumInterfaces(list);
  WLAN_GUID guid = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
  WlanBlock block;
  for (auto _ : state) {
    s.GetNetworkBssList(guid, nullptr, 3, false, block);
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["block bytes"] = double(block.size());
}
BENCHMARK(BM_GetNetworkBssList);

}  // namespace
}  // namespace skimlet::sim

BENCHMARK_MAIN();

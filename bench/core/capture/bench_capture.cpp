// Capture costs: parsing 100,000 beacons in memory, and a capture file of 100,000 beacons from 1,000 access
// points read into a network list (libpcap, frames, entries, decoding and deriving).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "beacon_capture.h"
#include "core/capture/survey_file.h"
#include "core/settings/options.h"

namespace {

using namespace skimlet;

void BM_CollectBeacons(benchmark::State& state) {
  const test::PcapWriter capture = bench::BeaconCapture(100000, 1000);
  // The packets of the file, found again by walking its records.
  std::vector<std::span<const uint8_t>> packets;
  const std::vector<uint8_t>& b = capture.Bytes();
  for (size_t at = 24; at + 16 <= b.size();) {
    const size_t len = b[at + 8] | b[at + 9] << 8 | b[at + 10] << 16;
    packets.emplace_back(b.data() + at + 16, len);
    at += 16 + len;
  }
  for (auto _ : state) {
    TCaptureCollector collector;
    double t = 45000;
    for (auto p : packets) collector.Add(kLinkRadiotap, p, true, t += 1e-8, 0);
    benchmark::DoNotOptimize(collector.Take());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(packets.size()));
}
BENCHMARK(BM_CollectBeacons)->Unit(benchmark::kMillisecond);

void BM_LoadCaptureFile(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("skimlet-bench-" + std::to_string(::getpid()) + ".pcap");
  std::ofstream(file, std::ios::binary) << bench::BeaconCapture(100000, 1000).Text();
  TProgramOptions options;
  for (auto _ : state) {
    TWLANNetworkList list(options);
    list.VendorLookup = nullptr;
    TSurveyLoadResult r = LoadSurveyFile(list, file);
    if (r.Loaded != 1000) state.SkipWithError("wrong network count");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadCaptureFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

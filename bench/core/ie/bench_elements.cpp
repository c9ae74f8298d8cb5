// Decoding speed of a realistic beacon blob: Parse alone, and Parse with the element tree; the same for a
// Wi-Fi 7 beacon (the sample beacon with HE operation for 6 GHz, EHT capabilities and operation, a basic
// multi-link element and a reduced neighbor report).
#include <benchmark/benchmark.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/encode.h"
#include "support/sample_beacon.h"

namespace {

using namespace skimlet;

std::vector<uint8_t> Wifi7BeaconBlob() {
  ElementBuilder b;
  const std::vector<uint8_t> sample = test::SampleBeaconBlob();
  b.Add(kEidMobilityDomain, EncodeMobilityDomainBody({0x1234, true, false}));
  HEOperationValues he;
  he.SixGHzOperationInfo = HE6GHzOperationInfo{37, 3, false, 1, 39, 47, 6};
  b.AddExtension(kExtHEOperation, EncodeHEOperationBody(he));
  EHTCapabilitiesValues caps;
  caps.Map160 = std::array<uint8_t, 3>{EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  caps.Map320 = std::array<uint8_t, 3>{EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  b.AddExtension(kExtEHTCapabilities, EncodeEHTCapabilitiesBody(caps));
  EHTOperationValues op;
  op.OperationInfo = EHTOperationInfo{4, 47, 31, std::nullopt};
  b.AddExtension(kExtEHTOperation, EncodeEHTOperationBody(op));
  BasicMultiLinkValues ml;
  ml.MLDMACAddress = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
  ml.LinkID = 2;
  ml.BSSParametersChangeCount = 1;
  ml.MLDCapabilities = 0x0002;
  b.AddExtension(kExtMultiLink, EncodeBasicMultiLinkBody(ml));
  RNRTBTTInfo a, c;
  a.BSSID = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEF};
  c.BSSID = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xF0};
  b.Add(kEidReducedNeighborReport,
        EncodeReducedNeighborReportBody({RNRNeighborAPInfo{false, 16, 131, 37, {a}}, RNRNeighborAPInfo{false, 16, 128, 36, {c}}}));
  std::vector<uint8_t> blob = sample;
  blob.insert(blob.end(), b.Blob().begin(), b.Blob().end());
  return blob;
}

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

void BM_ParseWifi7(benchmark::State& state) { ParseBlob(state, Wifi7BeaconBlob()); }
BENCHMARK(BM_ParseWifi7);

void BM_ParseAndFillTreeWifi7(benchmark::State& state) {
  std::vector<uint8_t> blob = Wifi7BeaconBlob();
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
BENCHMARK(BM_ParseAndFillTreeWifi7);

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

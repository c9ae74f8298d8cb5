// Channel advice for a dense site: 2,000 networks over all three bands and every width, heard over three
// refreshes, with a survey of every 5 GHz channel.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/channels/advice.h"

namespace {

using namespace skimlet;

TChannelAirLog Site(int count) {
  std::mt19937 rng(1);
  std::vector<TAirNetwork> networks;
  for (int i = 0; i < count; ++i) {
    const int band = static_cast<int>(rng() % 3);
    const auto widths = BandWidths(band);
    const auto blocks = CandidateChannels(band, widths[rng() % widths.size()], true);
    const TChannelCandidate& c = blocks[rng() % blocks.size()];
    TAirNetwork n;
    n.BSSID = "00-11-22-33-" + std::to_string(i / 256) + "-" + std::to_string(i % 256);
    n.SSID = "net" + std::to_string(i % 300);
    n.Band = band;
    n.Channel = c.Channel;
    n.CenterMHz = RasterFrequency(band, c.CenterChannel());
    n.WidthMHz = static_cast<uint32_t>(c.WidthMHz);
    n.SignalDbm = -30 - static_cast<int>(rng() % 65);
    n.UtilizationPercent = rng() % 2 ? static_cast<int32_t>(rng() % 100) : -1;
    n.Country = "DE";
    networks.push_back(n);
  }
  std::vector<TChannelSurvey> survey;
  for (const auto& c : CandidateChannels(1, 20, false))
    survey.push_back({RasterFrequency(1, c.Channel), -95 + static_cast<int>(c.Channel % 7), 1000, 100 + c.Channel, 10,
                      20, std::nullopt});
  TChannelAirLog log;
  for (int r = 0; r < 3; ++r) {
    for (auto& n : networks) n.SignalDbm += (r % 2) ? 1 : -1;
    log.AddRefresh(networks, survey);
  }
  return log;
}

void BM_Advice2000AllBands(benchmark::State& state) {
  const TChannelAirLog log = Site(2000);
  TAdviceRequest request;
  request.Mine = {"net7"};
  size_t candidates = 0;
  for (auto _ : state) {
    TChannelAdvice advice = AdviseChannels(log, request);
    candidates = 0;
    for (const auto& item : advice.Items) candidates += item.Channels.size();
    benchmark::DoNotOptimize(advice);
  }
  state.counters["candidates"] = static_cast<double>(candidates);
}
BENCHMARK(BM_Advice2000AllBands)->Unit(benchmark::kMillisecond);

// Logging one refresh of the same site.
void BM_LogRefresh2000(benchmark::State& state) {
  const TChannelAirLog site = Site(2000);
  std::vector<TAirNetwork> heard;
  for (const auto& [key, r] : site.Networks()) heard.push_back(r.Last);
  TChannelAirLog log;
  for (auto _ : state) log.AddRefresh(heard);
}
BENCHMARK(BM_LogRefresh2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

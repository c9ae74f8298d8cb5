// Painting the graphs into an image on the offscreen platform: the network time graph with 100 ticked
// networks of 1,200 samples each at 1600 x 500, and a spectrum graph with 300 networks.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <random>
#include <vector>

#include "core/model/network.h"
#include "core/model/network_list.h"
#include "core/radio/values.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"

namespace {

using namespace skimlet;

const LocalDateTime kNow = EncodeLocalDateTime(2026, 5, 1, 14, 5, 37);

struct Scene {
  TProgramOptions options;
  TWLANNetworkList list{options};
  TNetworkListRows rows{&list};

  TWLANNetwork& Add(int i) {
    auto n = std::make_unique<TWLANNetwork>();
    n->SSID = "Network " + std::to_string(i);
    n->BSSIDText = "00-11-22-33-44-" + std::to_string(i);
    n->Active = true;
    n->Checked = true;
    list.Items.push_back(std::move(n));
    return *list.Items.back();
  }
};

void BM_NetworkTimeGraph(benchmark::State& state) {
  Scene scene;
  std::mt19937 random(7);
  for (int i = 0; i < 100; ++i) {
    TWLANNetwork& n = scene.Add(i);
    int32_t rssi = -40 - static_cast<int32_t>(random() % 50);
    for (int s = 0; s < 1200; ++s) {
      TWiFiSeriesData d;
      d.Time = AddSeconds(kNow, s - 1199);
      d.Active = (s / 100 + i) % 7 != 0;  // some gaps
      rssi = std::clamp<int32_t>(rssi + static_cast<int32_t>(random() % 5) - 2, -95, -30);
      d.RSSI = rssi;
      d.AchievableRate = 6.5 * (100 + rssi);
      n.TypedSeries().Add(d);
    }
  }
  scene.rows.Selected = {scene.list.Items[3].get()};
  TGraphWiFiTime graph;
  graph.Tree = &scene.rows;
  graph.AutoScale = true;
  graph.WindowMinutes = 20;
  graph.Clock = [] { return kNow; };
  graph.ValueType = static_cast<int>(state.range(0));  // 0 signal (fixed range), 2 rate (scaled to the data)
  QImage image(1600, 500, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    graph.Render(p, image.size());
  }
  state.counters["samples"] = 100 * 1200;
}
BENCHMARK(BM_NetworkTimeGraph)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SpectrumGraph(benchmark::State& state) {
  Scene scene;
  const int band = static_cast<int>(state.range(0));
  std::mt19937 random(11);
  const uint32_t channels5[] = {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112,
                                116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165};
  for (int i = 0; i < 300; ++i) {
    TWLANNetwork& n = scene.Add(i);
    n.Band = static_cast<uint8_t>(band);
    n.RSSI = -35 - static_cast<int32_t>(random() % 60);
    n.PhyTypes.Add(band == 0 ? (i % 5 == 0 ? kPhyHRDSSS : kPhyHT) : kPhyHE);
    if (band == 0) {
      n.Channel = 1 + random() % 13;
    } else if (band == 1) {
      n.Channel = channels5[random() % std::size(channels5)];
      n.ChannelWidth = static_cast<uint8_t>(random() % 3);
      n.SecondaryChannel = n.Channel + 4;
      n.CenterChannel0 = n.Channel + 6;
    } else {
      n.Channel = 1 + 4 * (random() % 58);
      n.ChannelWidth = 0;
    }
  }
  scene.rows.Selected = {scene.list.Items[5].get()};
  std::unique_ptr<TGraphRSSIChannels> graph;
  if (band == 0) graph = std::make_unique<TGraphRSSIChannel2>();
  else if (band == 1) graph = std::make_unique<TGraphRSSIChannel5>();
  else graph = std::make_unique<TGraphRSSIChannel6>();
  graph->Tree = &scene.rows;
  graph->ShowLegend = false;
  graph->DrawBackgroundSpectrum = true;
  QImage image(1600, 500, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    graph->Render(p, image.size());
  }
}
BENCHMARK(BM_SpectrumGraph)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

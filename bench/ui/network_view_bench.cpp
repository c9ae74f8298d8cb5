// The network list with 2,000 networks: the sync after a refresh (rows updated, filtered flags, one sort)
// and painting a full screen of rows. Runs on the offscreen platform.
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>

#include <memory>

#include <benchmark/benchmark.h>

#include "core/model/network_filter.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"
#include "ui/list/network_view.h"

using namespace skimlet;

namespace {

constexpr int kNetworks = 2000;
const LocalDateTime kT0 = EncodeLocalDateTime(2024, 5, 1, 12, 0, 0);

std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> Items(int round) {
  std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> items;
  items.reserve(kNetworks);
  for (int i = 0; i < kNetworks; ++i) {
    WLAN_BSS_ENTRY e =
        test::MakeEntry(0, -40 - (i * 7 + round * 13) % 50, i % 2 ? 5180000 : 2437000, "net-" + std::to_string(i));
    e.dot11Bssid = {0x02, 0x11, 0x22, 0x33, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
    items.push_back({e, {}});
  }
  return items;
}

struct Fixture {
  TProgramOptions options;
  TWLANNetworkList list{options};
  TNetworkListModel model{options};
  Fixture() {
    list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
    model.SetList(&list);
    model.Filter = [this](const TWLANNetwork& n) { return NetworkPassesFilter(n, options, {}); };
    model.SetSortState(5, Qt::DescendingOrder);
    test::Refresh(list, kT0, Items(0));
    model.Sync();
  }
};

void BM_SyncAfterRefresh(benchmark::State& state) {
  Fixture f;
  f.model.SetSortState(static_cast<int>(state.range(0)), Qt::AscendingOrder);
  std::vector<std::vector<uint8_t>> blocks;
  for (int r = 1; r <= 4; ++r) blocks.push_back(test::MakeBssList(Items(r)));
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();  // the merge belongs to the model layer; only the view's part is timed
    f.list.RefreshTime = AddSeconds(kT0, 3 * ++round);
    f.list.SetBssList(blocks[static_cast<size_t>(round % 4)]);
    f.list.UpdateStatuses(f.list.RefreshTime);
    state.ResumeTiming();
    f.model.Sync();
  }
  state.SetLabel("2000 networks, sort column " + std::to_string(state.range(0)));
}
BENCHMARK(BM_SyncAfterRefresh)->Arg(5)->Arg(1)->Arg(31)->Unit(benchmark::kMillisecond);

// The list striped with grid lines in a 1920x1000 window, every column 90 pixels wide.
std::unique_ptr<TNetworkListView> ShowFullScreenOfRows(Fixture& f) {
  f.options.bStripped = true;
  f.options.bHorzGrid = true;
  auto view = std::make_unique<TNetworkListView>(f.options, &f.model);
  for (int c = 0; c < NetworkColumnCount; ++c) view->header()->resizeSection(c, 90);
  view->resize(1920, 1000);
  view->show();
  QApplication::processEvents();
  return view;
}

void BM_PaintScreenOfRows(benchmark::State& state) {
  Fixture f;
  std::unique_ptr<TNetworkListView> shown = ShowFullScreenOfRows(f);
  TNetworkListView& view = *shown;
  QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter p(&image);
    view.viewport()->render(&p);
  }
  state.SetLabel(std::to_string(view.viewport()->height() / std::max(1, view.sizeHintForRow(0))) + " rows");
}
BENCHMARK(BM_PaintScreenOfRows)->Unit(benchmark::kMillisecond);

// The paint that follows a refresh: signal, quality and last-seen texts are new, the rest repeats.
void BM_PaintAfterRefresh(benchmark::State& state) {
  Fixture f;
  std::unique_ptr<TNetworkListView> shown = ShowFullScreenOfRows(f);
  TNetworkListView& view = *shown;
  QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  std::vector<std::vector<uint8_t>> blocks;
  for (int r = 1; r <= 4; ++r) blocks.push_back(test::MakeBssList(Items(r)));
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.list.RefreshTime = AddSeconds(kT0, 3 * ++round);
    f.list.SetBssList(blocks[static_cast<size_t>(round % 4)]);
    f.list.UpdateStatuses(f.list.RefreshTime);
    f.model.Sync();
    state.ResumeTiming();
    QPainter p(&image);
    view.viewport()->render(&p);
  }
}
BENCHMARK(BM_PaintAfterRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

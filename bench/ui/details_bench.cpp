// The detail pages: selecting another network shows its element tree and dump (the Wi-Fi 7 sample beacon),
// painting the hex dump, and re-filtering and recounting 2,000 networks after a filter change or a typed find
// character. Runs on the offscreen platform.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include "core/ie/builder.h"
#include "core/ie/encode.h"
#include "core/model/network_filter.h"
#include "support/network_fixture.h"
#include "support/wifi7_beacon.h"
#include "ui/details/advanced_details.h"
#include "ui/details/element_tree_model.h"
#include "ui/filters/filter_tree.h"
#include "ui/hexview/hex_dump_viewer.h"
#include "ui/list/network_view.h"

using namespace skimlet;

namespace {

// Two networks with the Wi-Fi 7 beacon; every round selects the other one, on a shown page.
void BM_SelectOtherNetworkShowsTreeAndDump(benchmark::State& state) {
  TProgramOptions options;
  TWLANNetworkList list{options};
  list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
  const std::vector<uint8_t> blob = test::Wifi7BeaconBlob();
  test::Refresh(list, EncodeLocalDateTime(2024, 5, 1, 12, 0, 0),
                {{test::MakeEntry(1, -50, 2437000, "a"), blob}, {test::MakeEntry(2, -50, 2437000, "b"), blob}});
  ui::TAdvancedDetails page;
  page.resize(1400, 400);
  page.show();
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    page.ShowNetwork(list.Items[static_cast<size_t>(++i % 2)].get());
    page.TreeView()->doItemsLayout();
  }
  state.SetLabel(std::to_string(page.Model()->Tree().Count()) + " lines, " + std::to_string(blob.size()) + " bytes");
}
BENCHMARK(BM_SelectOtherNetworkShowsTreeAndDump)->Unit(benchmark::kMillisecond);

// A full viewer (650 x 400) with both ranges marked.
void BM_PaintHexDump(benchmark::State& state) {
  ui::THexDumpViewer viewer;
  viewer.resize(650, 400);
  viewer.show();
  const std::vector<uint8_t> blob = test::Wifi7BeaconBlob();
  viewer.LoadBytes(blob);
  viewer.SetOuterRange({40, 120});
  viewer.SetInnerRange({60, 9});
  QApplication::processEvents();
  QImage image(viewer.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter p(&image);
    viewer.viewport()->render(&p);
  }
  state.SetLabel(std::to_string(viewer.Layout().PaintRows()) + " lines");
}
BENCHMARK(BM_PaintHexDump)->Unit(benchmark::kMillisecond);

// 2,000 networks: a find character or a filter check re-filters every row and recounts the filter tree.
void BM_RefilterAndRecount(benchmark::State& state) {
  TProgramOptions options;
  TWLANNetworkList list{options};
  list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
  std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> items;
  for (int i = 0; i < 2000; ++i) {
    WLAN_BSS_ENTRY e = test::MakeEntry(0, -40 - (i * 7) % 50, i % 2 ? 5180000 : 2437000, "net-" + std::to_string(i));
    e.dot11Bssid = {0x02, 0x11, 0x22, 0x33, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
    items.push_back({e, {}});
  }
  test::Refresh(list, EncodeLocalDateTime(2024, 5, 1, 12, 0, 0), items);
  TNetworkFilter filter(options);
  TNetworkListModel model(options);
  model.SetList(&list);
  model.Filter = [&filter](const TWLANNetwork& n) { return filter.Passes(n); };
  model.SetSortState(5, Qt::DescendingOrder);
  model.Sync();
  ui::TFilterTree tree(options);
  const char* finds[] = {"n", "ne", "net", "net-1", "net-", ""};
  size_t round = 0;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      filter.SetFindText(finds[round++ % std::size(finds)]);
    } else {
      if (round++ % 2) options.FilterFrequencyBandSet.Remove(1);
      else options.FilterFrequencyBandSet.Add(1);
    }
    model.ApplyFilter(false);
    tree.UpdateCounts(&list.Counters);
  }
  state.SetLabel(state.range(0) == 0 ? "find text" : "band check box");
}
BENCHMARK(BM_RefilterAndRecount)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

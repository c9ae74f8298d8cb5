// Report and export costs: the page of 1,000 networks with every section, and the CSV of 10,000 networks,
// each from the network records to the written file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "core/report/network_table.h"
#include "core/report/report.h"
#include "core/report/table_export.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"
#include "support/sample_beacon.h"

namespace {

using namespace skimlet;
namespace fs = std::filesystem;

// A dense site: Count networks, all with the same full beacon, half on 5 GHz.
std::unique_ptr<TWLANNetworkList> Site(const TProgramOptions& options, int count) {
  auto list = std::make_unique<TWLANNetworkList>(options);
  list->VendorLookup = nullptr;
  std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>> items;
  const std::vector<uint8_t> blob = test::SampleBeaconBlob();
  for (int i = 0; i < count; ++i) {
    WLAN_BSS_ENTRY e = test::MakeEntry(static_cast<uint8_t>(i), -40 - i % 50, i % 2 ? 5180000 : 2437000,
                                       "net <" + std::to_string(i) + "> & co");
    e.dot11Bssid[3] = static_cast<uint8_t>(i >> 8);
    items.emplace_back(e, blob);
  }
  test::Refresh(*list, EncodeLocalDateTime(2026, 12, 10, 12, 0, 0), items);
  return list;
}

fs::path Scratch(const char* name) { return fs::temp_directory_path() / (std::to_string(::getpid()) + name); }

// The page of 1,000 networks, all four sections and the seven image links: rows from the records, templates
// read, sections built and escaped, the page written.
void BM_Report1000(benchmark::State& state) {
  TProgramOptions options;
  auto list = Site(options, 1000);
  const fs::path file = Scratch("-bench-report.htm");
  size_t bytes = 0;
  for (auto _ : state) {
    report::TReportInput input;
    input.TemplateFolder = fs::path(SKIMLET_SOURCE_DIR) / "data" / "Default" / "Report";
    input.ReportDate = "2026-12-10 12:00:00";
    input.Counters = list->Counters;
    for (const TNetworkColumn c : report::DefaultNetworkColumns())
      input.Columns.push_back({c, NetworkColumnTitle(c), NetworkColumnInfo(c).DefaultAlignment});
    for (const auto& n : list->Items) input.Rows.push_back(report::ReportRowOf(*n));
    input.Images = [&](const report::TReportImageInfo& image) {
      return report::TReportImageResult{report::ReportImageRelativePath(file, image), {}};
    };
    const std::string error = report::WriteReport(input, file);
    if (!error.empty()) state.SkipWithError(error.c_str());
    bytes = fs::file_size(file);
  }
  state.counters["page_bytes"] = static_cast<double>(bytes);
  fs::remove(file);
}
BENCHMARK(BM_Report1000)->Unit(benchmark::kMillisecond);

// The CSV export of 10,000 networks: cell texts from the records, rendering, the written file.
void BM_CsvExport10000(benchmark::State& state) {
  TProgramOptions options;
  auto list = Site(options, 10000);
  std::vector<const TWLANNetwork*> networks;
  for (const auto& n : list->Items) networks.push_back(n.get());
  const std::vector<TNetworkColumn> columns = report::DefaultNetworkColumns();
  const fs::path file = Scratch("-bench-export.csv");
  for (auto _ : state) {
    const report::TExportTable table = report::NetworkExportTable(networks, columns);
    const std::string error = report::WriteTableExport(table, report::TExportFormat::Csv, file);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}
BENCHMARK(BM_CsvExport10000)->Unit(benchmark::kMillisecond);

// Rendering alone, for the formats side by side: 10,000 rows of the network columns.
void BM_Render10000(benchmark::State& state) {
  TProgramOptions options;
  auto list = Site(options, 10000);
  std::vector<const TWLANNetwork*> networks;
  for (const auto& n : list->Items) networks.push_back(n.get());
  const report::TExportTable table = report::NetworkExportTable(networks, report::DefaultNetworkColumns());
  const auto format = static_cast<report::TExportFormat>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(report::RenderTable(table, format));
}
BENCHMARK(BM_Render10000)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

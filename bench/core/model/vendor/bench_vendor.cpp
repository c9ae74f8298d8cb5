// Vendor lookups against the vendors.db the build generates from the IEEE registries: a dense site brings
// hundreds of new BSSIDs in one refresh, each looked up once.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <random>
#include <set>
#include <vector>

#include "core/vendor/vendor.h"

namespace {

using namespace skimlet;
using Mac = std::array<uint8_t, 6>;

constexpr size_t BatchSize = 2000;

Mac MacOf(int64_t address) {
  Mac mac;
  for (int b = 0; b < 6; ++b) mac[static_cast<size_t>(b)] = static_cast<uint8_t>(address >> (40 - 8 * b));
  return mac;
}

// Distinct addresses: uniformly random, or inside blocks of the registry (as real BSSIDs are).
std::vector<Mac> Addresses(size_t count, bool registered) {
  std::mt19937_64 rng(registered ? 7 : 11);
  std::vector<std::pair<int64_t, int64_t>> ranges;
  if (registered) {
    sqlite3* db = OpenVendorDatabase(SKIMLET_VENDORS_DB, VendorDatabaseOpenFlags);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT range_begin, range_end FROM mac_addresses", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
      ranges.emplace_back(sqlite3_column_int64(stmt, 0), sqlite3_column_int64(stmt, 1));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
  }
  std::set<int64_t> seen;
  std::vector<Mac> out;
  while (out.size() < count) {
    int64_t address;
    if (registered) {
      const auto& [begin, end] = ranges[rng() % ranges.size()];
      address = begin + static_cast<int64_t>(rng() % static_cast<uint64_t>(end - begin + 1));
    } else {
      address = static_cast<int64_t>(rng() & 0xFFFFFFFFFFFF);
    }
    if (seen.insert(address).second) out.push_back(MacOf(address));
  }
  return out;
}

// 2,000 lookups of distinct addresses per iteration, with the database open and its index read.
void BM_Lookup2000(benchmark::State& state) {
  SetVendorDatabasePath(SKIMLET_VENDORS_DB);
  const std::vector<Mac> macs = Addresses(BatchSize * 16, state.range(0) != 0);
  VendorOfMAC(macs[0]);
  size_t next = 0, found = 0;
  for (auto _ : state) {
    for (size_t i = 0; i < BatchSize; ++i) {
      found += !VendorOfMAC(macs[next]).empty();
      next = next + 1 == macs.size() ? 0 : next + 1;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(BatchSize));
  state.counters["found_share"] = static_cast<double>(found) / static_cast<double>(state.iterations() * BatchSize);
}
BENCHMARK(BM_Lookup2000)->ArgName("registered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same 2,000 lookups on a fresh start: opening the database and reading it into the index included.
void BM_Lookup2000FromClosed(benchmark::State& state) {
  SetVendorDatabasePath(SKIMLET_VENDORS_DB);
  const std::vector<Mac> macs = Addresses(BatchSize, true);
  for (auto _ : state) {
    CloseVendorDatabase();
    for (const Mac& mac : macs) benchmark::DoNotOptimize(VendorOfMAC(mac));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(BatchSize));
}
BENCHMARK(BM_Lookup2000FromClosed)->Unit(benchmark::kMillisecond);

// For comparison: the plain query for each address on the open connection (20 lookups per iteration).
void BM_PlainQuery(benchmark::State& state) {
  const std::vector<Mac> macs = Addresses(20, true);
  sqlite3* db = OpenVendorDatabase(SKIMLET_VENDORS_DB, VendorDatabaseOpenFlags);
  for (auto _ : state)
    for (const Mac& mac : macs) benchmark::DoNotOptimize(LookupVendor(VendorKeyOfMAC(mac), db));
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(macs.size()));
}
BENCHMARK(BM_PlainQuery)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

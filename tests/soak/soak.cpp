#include "soak/soak.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <memory>
#include <ostream>
#include <random>

#include "backends/sim/sim_service.h"
#include "core/settings/options.h"
#include "core/wlan/scan_results_queue.h"
#include "core/wlan/update_cycle.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet::soak {

namespace {

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

std::array<uint8_t, 6> BSSIDOf(int index, std::mt19937_64& rng) {
  // A handful of organisations, as a survey sees; the low bytes keep every address distinct.
  static constexpr std::array<uint32_t, 6> kOUIs = {0x001A2B, 0x00180A, 0xF09FC2, 0x3C5AB4, 0x0024D4, 0xB0BE76};
  const uint32_t oui = kOUIs[rng() % kOUIs.size()];
  return {static_cast<uint8_t>(oui >> 16),   static_cast<uint8_t>(oui >> 8),   static_cast<uint8_t>(oui),
          static_cast<uint8_t>(index >> 16), static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
}

std::vector<uint8_t> SSIDOf(int index, std::mt19937_64& rng) {
  static const char* const kStems[] = {"Home",         "Cafe",        "Office",  "Guest",    "Caf\xC3\xA9 \xE2\x98\x95",
                                       "\xE5\xAE\xB6", "<b>Free</b>", "a,\"b\"", "Lab\tNet", "IoT"};
  std::string s = kStems[rng() % std::size(kStems)];
  s += "-" + std::to_string(index);
  if (rng() % 20 == 0) s.push_back('\x01');  // stray control bytes happen on the air
  if (s.size() > 32) s.resize(32);
  return {s.begin(), s.end()};
}

}  // namespace

bool ParseSoakArguments(int argc, char** argv, SoakOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      error = "missing value after " + arg;
      return false;
    }
    double v = 0;
    if (!ParseNumber(argv[i + 1], v)) {
      error = "not a number: " + std::string(argv[i + 1]);
      return false;
    }
    ++i;
    const bool whole = v == std::floor(v) && v >= 0 && v <= 1e6;
    if (arg == "--hours" && whole && v >= 1) {
      options.Hours = static_cast<int>(v);
    } else if (arg == "--warmup-hours" && whole && v >= 1) {
      options.WarmupHours = static_cast<int>(v);
    } else if (arg == "--aps" && whole && v >= 1) {
      options.AccessPoints = static_cast<int>(v);
    } else if (arg == "--seed" && whole) {
      options.Seed = static_cast<uint64_t>(v);
    } else if (arg == "--limit" && v >= 0) {
      options.LimitPercent = v;
    } else {
      error = "bad argument: " + arg + " " + argv[i];
      return false;
    }
  }
  if (options.Hours <= options.WarmupHours) {
    error = "--hours must exceed --warmup-hours";
    return false;
  }
  return true;
}

sim::Scene GenerateSoakScene(int accessPoints, uint64_t seed) {
  std::mt19937_64 rng(seed);
  auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<uint64_t>(hi - lo + 1)); };
  static constexpr uint8_t k24[] = {1, 6, 11, 1, 6, 11, 2, 3, 4, 5, 7, 8, 9, 10, 12, 13};
  static constexpr uint8_t k5[] = {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112,
                                   116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165};
  static constexpr int kPeriods[] = {600, 900, 1200, 1800, 3600};  // each divides an hour

  sim::Scene scene;
  scene.Name = "soak";
  sim::SceneInterface itf;
  itf.Description = "Simulated soak adapter";
  itf.PhyTypes = {5, 4, 6, 7, 8, 10};
  scene.Interfaces.push_back(itf);

  for (int k = 0; k < accessPoints; ++k) {
    sim::SceneAccessPoint ap;
    ap.BSSID = BSSIDOf(k, rng);
    ap.SSID = SSIDOf(k, rng);
    const int hidden = pick(0, 19);
    ap.Hidden = hidden == 0 ? sim::HiddenSSID::Empty : hidden == 1 ? sim::HiddenSSID::Zeros : sim::HiddenSSID::No;
    const bool b24 = k != 0 && pick(0, 1) == 0;
    if (b24) {
      ap.Channel = k24[rng() % std::size(k24)];
      static constexpr sim::Phy kPhys[] = {sim::Phy::B, sim::Phy::G, sim::Phy::N, sim::Phy::N, sim::Phy::AX};
      ap.Standard = kPhys[rng() % std::size(kPhys)];
      ap.Width = ap.Standard >= sim::Phy::N && pick(0, 3) == 0 ? 40 : 20;
    } else {
      ap.Channel = k5[rng() % std::size(k5)];
      static constexpr sim::Phy kPhys[] = {sim::Phy::A, sim::Phy::N, sim::Phy::AC, sim::Phy::AC, sim::Phy::AX};
      ap.Standard = kPhys[rng() % std::size(kPhys)];
      static constexpr int kWidths[] = {20, 40, 80, 80, 160};
      ap.Width = ap.Standard == sim::Phy::A   ? 20
                 : ap.Standard == sim::Phy::N ? std::min(40, kWidths[pick(0, 4)])
                                              : kWidths[pick(0, 4)];
    }
    ap.Streams = pick(1, 4);
    ap.Sec = static_cast<sim::Security>(pick(0, static_cast<int>(sim::Security::WPA3Enterprise)));
    ap.Rssi = k == 0 ? -45 : pick(-92, -35);
    if (pick(0, 2) == 0) ap.Country = CountryValues{pick(0, 1) ? "DE" : "US", ' ', {{1, 13, 20}}};
    if (pick(0, 2) == 0) ap.Load = std::pair<int, int>{pick(0, 40), pick(0, 100)};
    if (pick(0, 4) == 0) {
      sim::WPSDescription w;
      w.State = static_cast<uint8_t>(pick(1, 2));
      w.DeviceName = "AP " + std::to_string(k);
      w.Manufacturer = "Maker";
      w.ModelName = "Model";
      w.ModelNumber = std::to_string(pick(100, 999));
      ap.WPS = w;
    }
    if (pick(0, 9) == 0) ap.Vendors.push_back({0x00904C, 0x33, std::vector<uint8_t>(26, 0x2C)});
    if (k != 0 && pick(0, 4) < 2) {
      const int period = kPeriods[rng() % std::size(kPeriods)];
      const int on = period * pick(30, 80) / 100;
      ap.AppearOn = on;
      ap.AppearOff = period - on;
    }
    scene.AccessPoints.push_back(std::move(ap));
  }
  scene.Interfaces[0].ConnectedTo = scene.AccessPoints[0].BSSID;
  return scene;
}

MemoryFigures ReadMemoryFigures() {
  MemoryFigures f;
  std::ifstream statm("/proc/self/statm");
  uint64_t size = 0, resident = 0;
  if (statm >> size >> resident) f.ResidentBytes = resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  const struct mallinfo2 mi = mallinfo2();
  f.HeapBytes = mi.uordblks + mi.hblkhd;
  f.ArenaBytes = mi.arena + mi.hblkhd;
  return f;
}

double GrowthPercent(uint64_t base, uint64_t now) {
  if (base == 0) return now == 0 ? 0 : 100;
  return (static_cast<double>(now) - static_cast<double>(base)) * 100.0 / static_cast<double>(base);
}

int RunSoak(const SoakOptions& o, const SoakHooks& hooks, std::ostream& out) {
  using Steady = std::chrono::steady_clock;
  const Steady::time_point realStart = Steady::now();
  auto realSeconds = [&] { return std::chrono::duration<double>(Steady::now() - realStart).count(); };

  auto simClock = std::make_shared<sim::ManualSimClock>();
  sim::SimOptions simOptions;
  simOptions.Seed = o.Seed;
  simOptions.Clock = simClock;
  // Every scan completes within one refresh interval, so each tick's request is answered before the next.
  simOptions.MinScanSeconds = 0.5;
  simOptions.MaxScanSeconds = std::max(0.6, o.RefreshSeconds - 0.5);
  sim::SimWlanService service(GenerateSoakScene(o.AccessPoints, o.Seed), simOptions);

  TProgramOptions options;
  options.intDeleteNetworkIfNotSeenMin = o.DeleteAfterMinutes;
  const LocalDateTime start = EncodeLocalDateTime(2026, 6, 1, 8, 0, 0);
  int64_t simSeconds = 0;
  auto now = [&] { return AddSeconds(start, static_cast<double>(simSeconds)); };

  TWLANInterfaces set(service, options, std::filesystem::path{}, now);
  TScanResultsQueue queue;
  TUpdateCycle cycle(set, options, [&queue] { queue.Post(); });
  int64_t removedThisHour = 0;
  cycle.OnNetworksRemoving = [&](TWLANNetworkList& list, const std::vector<const TWLANNetwork*>& stale) {
    removedThisHour += static_cast<int64_t>(stale.size());
    if (hooks.Removing) hooks.Removing(list, stale);
  };
  if (!set.Open() || !set.Enumerate() || set.Count() < 1) {
    out << "soak: the simulated radio did not open\n";
    return 2;
  }
  set.SetSelectedIndex(0);
  TWLANInterface& itf = *set.Selected();
  TWLANNetworkList& list = *itf.Networks;

  out << "soak: " << o.AccessPoints << " access points, " << o.Hours << " simulated hours of " << o.RefreshSeconds
      << " s refreshes, warm-up " << o.WarmupHours << " h, limit " << o.LimitPercent << " %\n";
  out << " hour   real s  networks  added  deleted  RSS KiB  heap KiB  arena KiB   RSS %  heap %\n";

  MemoryFigures base;
  int64_t addedThisHour = 0;
  int64_t nextInterfaceStateAt = 0;
  const int64_t perHour = 3600 / o.RefreshSeconds;
  for (int hour = 1; hour <= o.Hours; ++hour) {
    for (int64_t r = 0; r < perHour; ++r) {
      // Deletion of networks not seen: on in the first half of every hour, off in the second. Two minutes of
      // every hour are paused, with "update now" every 30 s.
      const int64_t inHour = simSeconds % 3600;
      options.bDeleteNetworkIfNotSeen = inHour < 1800;
      cycle.SetPaused(inHour >= 3000 && inHour < 3120);
      if (cycle.Paused()) {
        if (cycle.Tick()) {
          out << "soak: a scan was requested while paused at " << simSeconds << " s\n";
          return 2;
        }
        simSeconds += o.RefreshSeconds;
        simClock->Advance(o.RefreshSeconds);
        if (simSeconds % 30 < o.RefreshSeconds) {
          cycle.UpdateNow();
          if (hooks.AfterRefresh) hooks.AfterRefresh(list);
        }
        continue;
      }
      const bool requested = cycle.Tick();
      simSeconds += o.RefreshSeconds;
      simClock->Advance(o.RefreshSeconds);
      if (!requested) {
        out << "soak: no scan request at " << simSeconds << " s\n";
        return 2;
      }
      if (queue.WaitAndTake(TScanResultsQueue::Clock::now() + std::chrono::seconds(10)) == 0) {
        out << "soak: the scan requested at " << simSeconds - o.RefreshSeconds << " s was never answered\n";
        return 2;
      }
      const int before = list.Count();
      const int64_t removedBefore = removedThisHour;
      cycle.ScanResultsReady();
      addedThisHour += list.Count() - before + (removedThisHour - removedBefore);
      if (hooks.AfterRefresh) hooks.AfterRefresh(list);
      itf.UpdateStatistics();
      itf.UpdateIPStatistics();
      if (simSeconds >= nextInterfaceStateAt) {
        itf.UpdateProperties();
        itf.UpdateRadioState();
        itf.UpdateConnection();
        nextInterfaceStateAt = simSeconds + 10;
      }
    }
    const MemoryFigures m = ReadMemoryFigures();
    if (hour == o.WarmupHours) base = m;
    const bool measured = hour >= o.WarmupHours;
    char row[160];
    std::snprintf(row, sizeof row, "%5d %8.1f %9d %6lld %8lld %8llu %9llu %10llu", hour, realSeconds(), list.Count(),
                  static_cast<long long>(addedThisHour), static_cast<long long>(removedThisHour),
                  static_cast<unsigned long long>(m.ResidentBytes / 1024),
                  static_cast<unsigned long long>(m.HeapBytes / 1024),
                  static_cast<unsigned long long>(m.ArenaBytes / 1024));
    out << row;
    if (measured) {
      std::snprintf(row, sizeof row, " %+7.2f %+7.2f", GrowthPercent(base.ResidentBytes, m.ResidentBytes),
                    GrowthPercent(base.HeapBytes, m.HeapBytes));
      out << row;
    }
    out << '\n' << std::flush;
    addedThisHour = removedThisHour = 0;
  }

  const MemoryFigures end = ReadMemoryFigures();
  const double rss = GrowthPercent(base.ResidentBytes, end.ResidentBytes);
  const double heap = GrowthPercent(base.HeapBytes, end.HeapBytes);
  out << std::fixed << std::setprecision(2) << "soak: " << o.Hours << " simulated hours in " << realSeconds()
      << " s; after warm-up RSS " << base.ResidentBytes / 1024 << " -> " << end.ResidentBytes / 1024 << " KiB ("
      << std::showpos << rss << std::noshowpos << " %), heap " << base.HeapBytes / 1024 << " -> "
      << end.HeapBytes / 1024 << " KiB (" << std::showpos << heap << std::noshowpos << " %)\n";
  if (rss > o.LimitPercent || heap > o.LimitPercent) {
    out << "soak: FAILED: memory grew beyond " << o.LimitPercent << " % after warm-up\n";
    return 1;
  }
  out << "soak: passed\n";
  return 0;
}

}  // namespace skimlet::soak

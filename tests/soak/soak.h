// The soak run: the real update cycle and network list over the simulated radio, driven by a manual clock
// through many simulated hours of refreshes, with the process's memory read once per simulated hour.
//
//   each refresh:  Tick() ─► the radio's scan completes on its own thread ─► post ─► ScanResultsReady()
//                  (+ statistics every refresh, connection and radio state every 10 s, as the window does)
//   each hour:     deletion of networks not seen is on in the first half and off in the second; two minutes
//                  are paused, with "update now" every 30 s
//
// The scene's comings and goings repeat every hour, so the model holds the same networks at every hour mark;
// after the warm-up hours, resident memory and heap in use must stay within a limit of their warm-up values.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "backends/sim/scene.h"

namespace skimlet {
class TWLANNetwork;
class TWLANNetworkList;
}  // namespace skimlet

namespace skimlet::soak {

struct SoakOptions {
  int Hours = 2;        // simulated hours in all, warm-up included
  int WarmupHours = 1;  // the figures at the end of these are the baseline
  int AccessPoints = 500;
  uint64_t Seed = 1;
  double LimitPercent = 1.0;  // allowed growth of either figure over the baseline
  int RefreshSeconds = 3;
  int DeleteAfterMinutes = 5;  // intDeleteNetworkIfNotSeenMin while deletion is on
};

// Parses --hours N --warmup-hours N --aps N --seed N --limit PERCENT. False and Error on a bad argument.
bool ParseSoakArguments(int argc, char** argv, SoakOptions& options, std::string& error);

// What a front end adds to the run (the window's list model, say).
struct SoakHooks {
  // Networks about to be deleted as stale, while they still exist.
  std::function<void(TWLANNetworkList&, const std::vector<const TWLANNetwork*>&)> Removing;
  // After every refresh of the list.
  std::function<void(TWLANNetworkList&)> AfterRefresh;
};

// The access points of a run: one interface connected to the first one; about two in five come and go with
// periods that divide an hour (so each hour repeats the last), the rest are always heard. Signals walk.
sim::Scene GenerateSoakScene(int accessPoints, uint64_t seed);

struct MemoryFigures {
  uint64_t ResidentBytes = 0;  // /proc/self/statm
  uint64_t HeapBytes = 0;      // mallinfo2: in use, arena and mapped blocks
  uint64_t ArenaBytes = 0;     // mallinfo2: what the allocator holds from the system, free parts included
};
MemoryFigures ReadMemoryFigures();

// Growth of Now over Base in percent (negative when it shrank).
double GrowthPercent(uint64_t base, uint64_t now);

// Runs the soak, printing a table row per simulated hour and a verdict to Out. Returns the exit code: 0 when
// both figures stayed within the limit, 1 when one grew beyond it, 2 when the run itself failed.
int RunSoak(const SoakOptions& options, const SoakHooks& hooks, std::ostream& out);

}  // namespace skimlet::soak

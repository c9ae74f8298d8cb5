// TUpdateCycle: the network update cycle shared by the window and the command line, without timers of its own.
//
//   owner's timer ──► Tick() ──► TWLANInterfaces::RequestScan (unless paused; one request outstanding)
//   service's thread: "scan complete" ──► the post function (it only hands the news over)
//   owner's thread, per post ──► ScanResultsReady(): unless paused, stale networks go, then the selected
//                                interface's list is refreshed and the next request is allowed
//   "update now" ──► UpdateNow(): stale networks go and the list is refreshed, also while paused
//
// The owner keeps the clocks that drive it (QTimers in the window, its loop in the command line) and calls the
// cycle from the one thread that owns the interface set. The post function is the only part that runs on the
// service's thread: the window passes a queued call, the command line a TScanResultsQueue post.
#pragma once

#include <functional>
#include <vector>

#include "core/base/datetime.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet {

struct TProgramOptions;

class TUpdateCycle {
 public:
  using PostFunction = TWLANInterfaces::PostFunction;
  // The networks about to be removed from List, while they still exist (a view drops their rows here).
  using RemovingHandler = std::function<void(TWLANNetworkList& list, const std::vector<const TWLANNetwork*>&)>;

  // Interfaces and Options are kept by reference and must outlive the cycle; the options are read at every
  // step, so changes apply at once. Post is installed as the set's "scan results ready" post. Clock gives
  // "now" for the stale-network age; empty means the set's own clock.
  TUpdateCycle(TWLANInterfaces& interfaces, const TProgramOptions& options, PostFunction post, TClock clock = {});
  // Removes the post: nothing reaches the owner after the cycle is gone.
  ~TUpdateCycle();
  TUpdateCycle(const TUpdateCycle&) = delete;
  TUpdateCycle& operator=(const TUpdateCycle&) = delete;

  RemovingHandler OnNetworksRemoving;

  // While paused, ticks request nothing and scan results leave the list as it is (the answered request still
  // allows the next one, so resuming scans at once).
  void SetPaused(bool paused) { paused_ = paused; }
  bool Paused() const { return paused_; }

  // The network timer's tick: asks for a scan of the selected interface unless paused. True when a request
  // went out (false while paused, while one is outstanding, or without a selected interface).
  bool Tick();
  // Call on the owner's thread once per post. True when the list was refreshed (false while paused).
  bool ScanResultsReady();
  // Stale networks go and the selected interface's list is refreshed from what the service holds now,
  // paused or not. The outstanding request is left alone.
  void UpdateNow();

  // Removes from the selected interface's list every network last seen Minutes or more whole minutes before
  // Now, telling OnNetworksRemoving first. Returns the number removed.
  int DeleteStaleNetworks(int minutes, LocalDateTime now);

  LocalDateTime Now() const { return clock_ ? clock_() : interfaces_->Now(); }

 private:
  // DeleteStaleNetworks with the options' age when the option is on.
  void DeleteStaleIfAsked();

  TWLANInterfaces* interfaces_;
  const TProgramOptions* options_;
  TClock clock_;
  bool paused_ = false;
};

}  // namespace skimlet

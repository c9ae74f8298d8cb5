// The update cycle with the simulated radio: the scan completes on the service's thread, which only posts;
// the test's thread takes the post and refreshes the model, as the window and the command line do.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "backends/sim/sim_service.h"
#include "core/settings/options.h"
#include "core/wlan/scan_results_queue.h"
#include "core/wlan/update_cycle.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet {
namespace {

constexpr const char* kScene = R"(
[interface]
name = "Bench adapter"
phys = b g n ac
connected = 00:00:00:00:00:01

[ap]
bssid = 00:00:00:00:00:01
ssid = Home
channel = 36
phy = ac
security = wpa2
rssi = -50

[ap]
bssid = 00:00:00:00:00:02
ssid = Cafe
channel = 6
phy = n
rssi = -70
)";

TEST(UpdateCycle, ScanResultsArePostedFromTheServiceThreadAndTakenOnTheOwnersThread) {
  auto scene = sim::ParseScene(kScene, "cycle.scene");
  ASSERT_TRUE(scene.Value) << scene.Error;
  sim::SimOptions o;
  auto clock = std::make_shared<sim::ManualSimClock>();
  o.Clock = clock;
  sim::SimWlanService service(std::move(*scene.Value), o);

  TProgramOptions options;
  TWLANInterfaces set(service, options);
  TScanResultsQueue queue;
  const std::thread::id owner = std::this_thread::get_id();
  std::atomic<bool> postedElsewhere{false};
  set.SetPostScanResults([&] {
    postedElsewhere = std::this_thread::get_id() != owner;
    queue.Post();
  });
  std::vector<std::thread::id> changeThreads;
  set.OnNetworkListChange = [&](TWLANNetworkList&) { changeThreads.push_back(std::this_thread::get_id()); };
  ASSERT_TRUE(set.Open());
  ASSERT_TRUE(set.Enumerate());
  ASSERT_EQ(set.Count(), 1);
  EXPECT_NE(set.Items[0]->Description.find("Simulated"), std::string::npos);
  set.SetSelectedIndex(set.FirstConnectedIndex());
  ASSERT_EQ(set.SelectedIndex, 0);
  set.Selected()->Networks->VendorLookup = nullptr;

  for (int round = 1; round <= 3; ++round) {
    ASSERT_TRUE(set.RequestScan());
    EXPECT_FALSE(set.RequestScan());  // one outstanding request
    EXPECT_EQ(queue.Take(), 0u);      // the scan takes its time on the service's clock
    clock->Advance(3.01);
    ASSERT_GE(queue.WaitAndTake(TScanResultsQueue::Clock::now() + std::chrono::seconds(5)), 1u) << round;
    EXPECT_TRUE(postedElsewhere);
    set.TakeScanResults();
  }
  ASSERT_EQ(changeThreads.size(), 3u);
  for (auto id : changeThreads) EXPECT_EQ(id, owner);
  const TWLANNetworkList& list = *set.Selected()->Networks;
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Counters[kCountActive], 2);
  // The connection was read at enumeration, so the connected network is marked.
  EXPECT_TRUE(list.Items[0]->BSSIDText == "00-00-00-00-00-01" ? list.Items[0]->Connected : list.Items[1]->Connected);
  EXPECT_EQ(list.Items[0]->TypedSeries().Count(), 3u);
}

// The simulated radio behind a cycle, with a manual clock for the service's scans and one for the model's
// time stamps; posts land in a queue as they do in the command line.
struct CycleRig {
  std::shared_ptr<sim::ManualSimClock> simClock = std::make_shared<sim::ManualSimClock>();
  std::unique_ptr<sim::SimWlanService> service;
  TProgramOptions options;
  LocalDateTime now = EncodeLocalDateTime(2026, 3, 1, 12, 0, 0);
  std::unique_ptr<TWLANInterfaces> set;
  TScanResultsQueue queue;
  std::unique_ptr<TUpdateCycle> cycle;

  CycleRig() {
    auto scene = sim::ParseScene(kScene, "cycle.scene");
    EXPECT_TRUE(scene.Value) << scene.Error;
    sim::SimOptions o;
    o.Clock = simClock;
    service = std::make_unique<sim::SimWlanService>(std::move(*scene.Value), o);
    set = std::make_unique<TWLANInterfaces>(*service, options, std::filesystem::path{}, [this] { return now; });
    cycle = std::make_unique<TUpdateCycle>(*set, options, [this] { queue.Post(); });
    EXPECT_TRUE(set->Open());
    EXPECT_TRUE(set->Enumerate());
    set->SetSelectedIndex(0);
    set->Selected()->Networks->VendorLookup = nullptr;
  }
  ~CycleRig() {
    cycle.reset();
    set.reset();
  }
  TWLANNetworkList& List() { return *set->Selected()->Networks; }
  // Lets the outstanding scan complete and waits for its post.
  size_t CompleteScan() {
    simClock->Advance(3.01);
    return queue.WaitAndTake(TScanResultsQueue::Clock::now() + std::chrono::seconds(5));
  }
};

TEST(UpdateCycle, PauseStopsRequestsAndResultsButNotUpdateNow) {
  CycleRig rig;
  ASSERT_TRUE(rig.cycle->Tick());
  EXPECT_FALSE(rig.cycle->Tick());  // one outstanding request
  ASSERT_GE(rig.CompleteScan(), 1u);
  EXPECT_TRUE(rig.cycle->ScanResultsReady());
  ASSERT_EQ(rig.List().Count(), 2);
  const LocalDateTime firstRefresh = rig.List().RefreshTime;

  // A request made before the pause is answered during it: the list stays, the next request is allowed.
  ASSERT_TRUE(rig.cycle->Tick());
  rig.cycle->SetPaused(true);
  ASSERT_GE(rig.CompleteScan(), 1u);
  rig.now = AddSeconds(rig.now, 3);
  EXPECT_FALSE(rig.cycle->ScanResultsReady());
  EXPECT_EQ(rig.List().RefreshTime, firstRefresh);
  EXPECT_EQ(rig.List().Items[0]->TypedSeries().Count(), 1u);
  EXPECT_FALSE(rig.cycle->Tick());  // paused: no request
  rig.simClock->Advance(10);
  EXPECT_EQ(rig.queue.Take(), 0u);

  // Update now works while paused.
  rig.cycle->UpdateNow();
  EXPECT_EQ(rig.List().RefreshTime, rig.now);
  EXPECT_EQ(rig.List().Items[0]->TypedSeries().Count(), 2u);

  rig.cycle->SetPaused(false);
  EXPECT_TRUE(rig.cycle->Tick());  // the answered request does not hold this one back
}

TEST(UpdateCycle, StaleNetworksGoAfterWholeMinutesWhenTheOptionIsOn) {
  CycleRig rig;
  rig.cycle->UpdateNow();
  ASSERT_EQ(rig.List().Count(), 2);
  std::vector<std::string> removed;
  rig.cycle->OnNetworksRemoving = [&](TWLANNetworkList& list, const std::vector<const TWLANNetwork*>& stale) {
    EXPECT_EQ(&list, &rig.List());
    for (const TWLANNetwork* n : stale) removed.push_back(n->BSSIDText);  // still alive here
  };
  auto byBSSID = [&](const std::string& text) -> TWLANNetwork* {
    for (auto& n : rig.List().Items)
      if (n->BSSIDText == text) return n.get();
    return nullptr;
  };
  TWLANNetwork* five = byBSSID("00-00-00-00-00-01");
  TWLANNetwork* almost = byBSSID("00-00-00-00-00-02");
  ASSERT_TRUE(five && almost);
  rig.now = AddMinutes(rig.now, 10);
  five->LastSeen = AddMinutes(rig.now, -5);
  almost->LastSeen = AddSeconds(rig.now, -(4 * 60 + 59));

  rig.options.intDeleteNetworkIfNotSeenMin = 5;
  rig.options.bDeleteNetworkIfNotSeen = false;
  ASSERT_TRUE(rig.cycle->Tick());
  ASSERT_GE(rig.CompleteScan(), 1u);
  ASSERT_TRUE(rig.cycle->ScanResultsReady());
  EXPECT_TRUE(removed.empty());  // the option is off

  five->LastSeen = AddMinutes(rig.now, -5);
  almost->LastSeen = AddSeconds(rig.now, -(4 * 60 + 59));
  rig.options.bDeleteNetworkIfNotSeen = true;
  ASSERT_TRUE(rig.cycle->Tick());
  ASSERT_GE(rig.CompleteScan(), 1u);
  ASSERT_TRUE(rig.cycle->ScanResultsReady());
  EXPECT_EQ(removed, std::vector<std::string>{"00-00-00-00-00-01"});
  // The 4:59 record is the same one; the removed network is still on the air, so it comes back as a new record.
  EXPECT_EQ(byBSSID("00-00-00-00-00-02"), almost);
  ASSERT_NE(byBSSID("00-00-00-00-00-01"), nullptr);
  EXPECT_EQ(byBSSID("00-00-00-00-00-01")->FirstSeen, rig.now);
  EXPECT_EQ(rig.List().Count(), 2);

  // The explicit call reports how many went.
  removed.clear();
  EXPECT_EQ(rig.cycle->DeleteStaleNetworks(0, rig.now), 2);
  EXPECT_EQ(removed.size(), 2u);
  EXPECT_EQ(rig.List().Count(), 0);
}

TEST(UpdateCycle, NoPostAfterTheCycleIsGone) {
  CycleRig rig;
  ASSERT_TRUE(rig.cycle->Tick());
  rig.cycle.reset();
  rig.simClock->Advance(3.01);
  EXPECT_EQ(rig.queue.WaitAndTake(TScanResultsQueue::Clock::now() + std::chrono::milliseconds(200)), 0u);
}

}  // namespace
}  // namespace skimlet

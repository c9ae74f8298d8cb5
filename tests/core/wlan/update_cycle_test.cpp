// The update cycle with the simulated radio: the scan completes on the service's thread, which only posts;
// the test's thread takes the post and refreshes the model, as the window and the command line do.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "backends/sim/sim_service.h"
#include "core/settings/options.h"
#include "core/wlan/scan_results_queue.h"
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

}  // namespace
}  // namespace skimlet

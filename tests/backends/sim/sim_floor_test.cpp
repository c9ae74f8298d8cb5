// Placed access points on a simulated floor: the scene keys, the signal formula, moving the radio.
#include <gtest/gtest.h>

#include <cmath>

#include "backends/sim/scene.h"
#include "backends/sim/sim_service.h"
#include "core/service/wlan_records.h"

namespace skimlet::sim {
namespace {

constexpr const char* kFloorScene = R"(
[floor]
name = "Ground"
size = 30 20
path-loss-exponent = 2.5
noise = -70
seed = 3
wall = 10 0 10 20 7.5
wall = 20 0 20 20 4

[interface]
name = "Test"
position = 2 2

[ap]
bssid = 00:00:00:00:00:01
ssid = "Placed"
channel = 36
phy = ac
position = 5 10
tx-power = 17

[ap]
bssid = 00:00:00:00:00:02
ssid = "Fixed"
channel = 1
rssi = -61
)";

TEST(SimFloor, SceneKeysAndTheSignalFormula) {
  SceneResult r = ParseScene(kFloorScene, "floor.scene");
  ASSERT_TRUE(r.Value) << r.Error;
  const Scene& s = *r.Value;
  ASSERT_EQ(s.Floors.size(), 1u);
  EXPECT_EQ(s.Floors[0].Walls.size(), 2u);
  EXPECT_EQ(s.Floors[0].Shadowing, 0);
  // 5180 MHz: 17 dBm − (20·log10(5180) − 27.55) at 1 m, then 25·log10(d), walls on the way.
  const double at1m = 17 - (20 * std::log10(5180.0) - 27.55);
  EXPECT_NEAR(TrueSignal(s, 0, 5, 10.5), at1m, 1e-9);                                // within 1 m
  EXPECT_NEAR(TrueSignal(s, 0, 5, 20), at1m - 25, 1e-9);                             // 10 m, no wall
  EXPECT_NEAR(TrueSignal(s, 0, 15, 10), at1m - 25 - 7.5, 1e-9);                      // 10 m, one wall
  EXPECT_NEAR(TrueSignal(s, 0, 25, 10), at1m - 25 * std::log10(20.0) - 11.5, 1e-9);  // two walls
  EXPECT_EQ(TrueSignal(s, 1, 25, 10), -61);                                          // not placed: its rssi

  // Shadowing: a fixed field of the given deviation, the same for the same seed.
  std::string text = kFloorScene;
  text.replace(text.find("seed = 3"), 8, "seed = 3\nshadowing = 4");
  const Scene shadowed = *ParseScene(text, "floor.scene").Value;
  double sum = 0, ss = 0;
  int n = 0;
  for (double x = 0.25; x < 10; x += 0.5)
    for (double y = 0.25; y < 20; y += 0.5) {
      const double d = TrueSignal(shadowed, 0, x, y) - TrueSignal(s, 0, x, y);
      sum += d;
      ss += d * d;
      ++n;
    }
  EXPECT_NEAR(std::sqrt(ss / n - std::pow(sum / n, 2)), 4, 1.5);
  EXPECT_EQ(TrueSignal(shadowed, 0, 3, 3), TrueSignal(*ParseScene(text, "floor.scene").Value, 0, 3, 3));

  struct Bad {
    const char* replace;
    const char* with;
    const char* error;
  } bad[] = {
      {"position = 5 10", "position = 5", "position is X Y in metres"},
      {"position = 5 10", "position = 5 10\nfloor = Cellar", "there is no floor named 'Cellar'"},
      {"size = 30 20", "size = 30", "size is W H in metres"},
      {"wall = 20 0 20 20 4", "wall = 20 0 20 20", "wall is X1 Y1 X2 Y2 LOSS"},
      {"noise = -70", "noise = loud", "noise must be a number"},
      {"tx-power = 17", "tx-power = 17\nfloor = Ground\ncolour = red", "unknown access point key 'colour'"},
  };
  for (const Bad& b : bad) {
    std::string t = kFloorScene;
    t.replace(t.find(b.replace), std::string(b.replace).size(), b.with);
    SceneResult e = ParseScene(t, "floor.scene");
    EXPECT_FALSE(e.Value) << b.with;
    EXPECT_NE(e.Error.find(b.error), std::string::npos) << e.Error;
  }
  SceneResult noFloor = ParseScene("[ap]\nbssid = 00:00:00:00:00:01\nposition = 1 1\n", "x.scene");
  EXPECT_NE(noFloor.Error.find("needs a [floor]"), std::string::npos) << noFloor.Error;
}

TEST(SimFloor, MovingTheRadioChangesWhatItHearsFromTheNextScan) {
  SimOptions o;
  auto clock = std::make_shared<ManualSimClock>();
  o.Clock = clock;
  o.WalkLimit = 0;
  SimWlanService service(*ParseScene(kFloorScene, "floor.scene").Value, o);
  uint32_t version = 0;
  ASSERT_EQ(service.OpenHandle(1, version), 0u);
  WlanBlock list;
  ASSERT_EQ(service.EnumInterfaces(list), 0u);
  const WLAN_GUID guid = WLAN_INTERFACE_INFO_LIST::Decode(list)->InterfaceInfo.at(0).InterfaceGuid;
  auto scan = [&](double& placedSignal, uint64_t& when) {
    EXPECT_EQ(service.Scan(guid), 0u);
    clock->Advance(3.01);
    WlanBlock block;
    EXPECT_EQ(service.GetNetworkBssList(guid, nullptr, 3, false, block), 0u);
    WlanBssListView view(block);
    placedSignal = NAN;
    for (size_t k = 0; k < view.Count(); ++k)
      if (view.Entry(k).dot11Bssid[5] == 1) {
        placedSignal = view.Entry(k).lRssi;
        when = view.Entry(k).ullHostTimestamp;
      }
    return view.Count();
  };
  const Scene& s = service.SceneOf();
  double signal = 0;
  uint64_t when = 0;
  EXPECT_EQ(scan(signal, when), 2u);  // the scene's position 2 2
  EXPECT_EQ(signal, std::lround(TrueSignal(s, 0, 2, 2)));
  std::string error;
  ASSERT_TRUE(service.MoveInterface(guid, "", 15, 10, error)) << error;
  EXPECT_EQ(scan(signal, when), 2u);
  EXPECT_EQ(signal, std::lround(TrueSignal(s, 0, 15, 10)));
  // Results carry the time of the scan that heard them, not the time they were asked for.
  const uint64_t scanned = when;
  clock->Advance(10);
  WlanBlock block;
  ASSERT_EQ(service.GetNetworkBssList(guid, nullptr, 3, false, block), 0u);
  EXPECT_EQ(WlanBssListView(block).Entry(0).ullHostTimestamp, scanned);
  // Behind the second wall the placed AP (-73.7 dBm) is below the floor's noise (-70 dBm): not heard.
  ASSERT_TRUE(service.MoveInterface(guid, "Ground", 25, 10, error));
  EXPECT_EQ(scan(signal, when), 1u);
  EXPECT_FALSE(service.MoveInterface(guid, "Attic", 1, 1, error));
  EXPECT_NE(error.find("no floor named 'Attic'"), std::string::npos);
}

}  // namespace
}  // namespace skimlet::sim

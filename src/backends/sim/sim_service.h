// The simulated radio: a WlanService whose interfaces hear a scene.
//
// - A scan completes 1 to 3 seconds after the request, on the service's own thread, which then notifies
//   "scan complete" (source 8, code 7). Until then the BSS list holds the previous scan's results.
// - Each access point's signal follows a bounded random walk from scan to scan; access points with an
//   appear/gone cycle come and go with it.
// - Connect and disconnect change the interface state after a short delay (notifications 9/10, 20/21, or 11
//   for a failed attempt); a connection creates a profile named after the SSID. Profiles are kept per
//   interface in the file "sim-profiles.txt" of the settings folder, written atomically on every change.
// - Statistics counters grow with the time that passes, most on the PHY of the connected network.
// - The software radio of each PHY is switched with SetInterface (opcode 4); the hardware radio comes from
//   the scene. With no PHY both on, scans fail and the interface disconnects.
//
// Given the same seed, scene, clock readings and calls, two runs give the same results.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "backends/sim/scene.h"
#include "core/service/wlan_service.h"

namespace skimlet::sim {

// Time for the simulation, in seconds from an arbitrary start.
class SimClock {
 public:
  virtual ~SimClock() = default;
  virtual double Now() = 0;
  // Seconds since 1970 at Now() = 0, for host time stamps.
  virtual double WallTimeAtStart() = 0;
  // Blocks until Cv is notified or the clock reaches Deadline (spurious returns are allowed).
  virtual void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline) = 0;
};

// The steady clock of the machine.
class SteadySimClock : public SimClock {
 public:
  SteadySimClock();
  double Now() override;
  double WallTimeAtStart() override { return wallStart_; }
  void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline) override;

 private:
  std::chrono::steady_clock::time_point start_;
  double wallStart_;
};

// A clock that moves only when told to (tests, reproducible runs).
class ManualSimClock : public SimClock {
 public:
  double Now() override;
  double WallTimeAtStart() override { return 1.7e9; }
  void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline) override;
  void Advance(double seconds);

 private:
  std::mutex lock_;
  double now_ = 0;
};

struct SimOptions {
  uint64_t Seed = 1;
  std::string SettingsFolder;       // where sim-profiles.txt lives; empty: profiles are not stored
  std::shared_ptr<SimClock> Clock;  // null: the steady clock
  double MinScanSeconds = 1, MaxScanSeconds = 3;
  double MinConnectSeconds = 0.5, MaxConnectSeconds = 1.5;
  double MinDisconnectSeconds = 0.2, MaxDisconnectSeconds = 0.6;
  int WalkLimit = 6;  // the walk stays within this many dB of the scene's signal
};

class SimWlanService : public WlanService {
 public:
  SimWlanService(Scene scene, SimOptions options);
  ~SimWlanService() override;

  WlanResult OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) override;
  WlanResult QueryInterfaceIdentity(const WLAN_GUID& interfaceGuid, WlanInterfaceIdentity& identity) override;
  WlanResult CloseHandle() override;
  WlanResult RegisterNotification(uint32_t sources, bool ignoreDuplicate, WlanNotificationCallback callback) override;
  WlanResult EnumInterfaces(WlanBlock& interfaceList) override;
  WlanResult Scan(const WLAN_GUID& interfaceGuid) override;
  WlanResult GetNetworkBssList(const WLAN_GUID& interfaceGuid, const DOT11_SSID* ssid, uint32_t bssType,
                               bool securityEnabled, WlanBlock& bssList) override;
  WlanResult QueryInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode, WlanBlock& data) override;
  WlanResult SetInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode, std::span<const uint8_t> data) override;
  WlanResult GetInterfaceCapability(const WLAN_GUID& interfaceGuid, WlanBlock& capability) override;
  WlanResult Connect(const WLAN_GUID& interfaceGuid, const WLAN_CONNECTION_PARAMETERS& parameters) override;
  WlanResult Disconnect(const WLAN_GUID& interfaceGuid) override;
  WlanResult GetProfileList(const WLAN_GUID& interfaceGuid, WlanBlock& profileList) override;
  WlanResult DeleteProfile(const WLAN_GUID& interfaceGuid, std::string_view name) override;
  WlanResult RenameProfile(const WLAN_GUID& interfaceGuid, std::string_view oldName, std::string_view newName) override;
  WlanResult SetProfilePosition(const WLAN_GUID& interfaceGuid, std::string_view name, uint32_t position) override;
  WlanResult EditProfile(uint32_t clientVersion, std::string_view name, const WLAN_GUID& interfaceGuid,
                         void* parentWindow, uint32_t firstPage, uint32_t& reasonCode) override;

  // Moves an open interface to (X, Y) metres on the floor of the name (empty: the first floor): placed access
  // points are then heard as they are there (TrueSignal), from the next scan on.
  bool MoveInterface(const WLAN_GUID& interfaceGuid, const std::string& floor, double x, double y, std::string& error);
  // The scene heard, as read.
  const Scene& SceneOf() const;

  // The error of the last profile file write, empty when it worked.
  std::string LastProfileStoreError() const;
  static constexpr const char* kProfileFileName = "sim-profiles.txt";

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The scene file that ships with the program: ProgramFolder/scenes/default.scene when it exists, else the
// installed copy under share/skimlet/scenes.
std::string DefaultScenePath(const std::string& programFolder);

// A service for the --service choice "sim", "sim:FILE.scene" or "replay:FILE.snapshot". Nullptr and Error
// when the choice is unknown or its file cannot be read.
std::unique_ptr<WlanService> CreateSimulatedService(std::string_view choice, const std::string& programFolder,
                                                    SimOptions options, std::string& error);

}  // namespace skimlet::sim

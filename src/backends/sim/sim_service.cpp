#include "backends/sim/sim_service.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <limits>
#include <optional>

#include "core/base/atomic_file.h"
#include "core/base/hex.h"
#include "core/beacon/beacon_reader.h"
#include "core/ie/elements/eid000_ssid.h"

namespace skimlet::sim {

// Clocks -----------------------------------------------------------------------------------------------------

SteadySimClock::SteadySimClock()
    : start_(std::chrono::steady_clock::now()),
      wallStart_(std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count()) {}

double SteadySimClock::Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void SteadySimClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline) {
  if (!std::isfinite(deadline)) {
    cv.wait(lock);
    return;
  }
  double left = deadline - Now();
  if (left > 0) cv.wait_for(lock, std::chrono::duration<double>(left));
}

double ManualSimClock::Now() {
  std::lock_guard<std::mutex> l(lock_);
  return now_;
}

void ManualSimClock::Advance(double seconds) {
  std::lock_guard<std::mutex> l(lock_);
  now_ += seconds;
}

void ManualSimClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline) {
  // Nothing scheduled: only a new request (which notifies) can change that.
  if (!std::isfinite(deadline)) {
    cv.wait(lock);
    return;
  }
  // The clock moves without telling anybody, so look again soon.
  if (Now() < deadline) cv.wait_for(lock, std::chrono::milliseconds(1));
}

// The service ------------------------------------------------------------------------------------------------

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();

struct Profile {
  std::string Name;
  std::vector<uint8_t> SSID;
};

enum class TransitionKind { Connected, ConnectFailed, Disconnected };
struct Transition {
  TransitionKind Kind;
  double At;
  int AccessPoint;
};

struct Interface {
  SceneInterface Desc;
  WLAN_GUID Guid{};
  std::string Description;
  std::vector<uint32_t> Software;  // per PHY index: 1 on, 2 off
  uint32_t State = kInterfaceDisconnected;
  int ConnectedAP = -1;
  uint32_t ConnectionMode = kConnectionModeProfile;
  std::string ProfileName;
  bool AutoConf = true, BackgroundScan = true, MediaStreaming = false;
  double ScanDoneAt = kNever;
  std::optional<Transition> Pending;
  std::vector<int> LastScan;  // access points heard by the last scan
  std::vector<double> Walk;   // per access point, dB
  double LastScanAt = 0;      // when the last scan completed: the reception time of its results
  std::string Floor;          // the floor Desc.Position lies on; empty: the first
  std::vector<Profile> Profiles;
  std::array<double, 12> MacU{}, MacM{};
  std::vector<std::array<double, 18>> Phy;
  double StatsAt = 0;
};

bool ContainsSimulated(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s.find("simulated") != std::string::npos;
}

std::string SSIDText(const std::vector<uint8_t>& ssid) { return SSIDBytesToText(ssid); }

bool ValidProfileName(std::string_view name) {
  if (!IsValidWlanName(name)) return false;
  return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The highest data rate in kbit/s of an access point's widest channel.
uint32_t MaxRateKbps(const SceneAccessPoint& ap) {
  int w = ap.Width == 8080 ? 160 : ap.Width;
  double perStream = 0;
  switch (ap.Standard) {
    case Phy::B: return 11000;
    case Phy::A:
    case Phy::G: return 54000;
    case Phy::N: perStream = w >= 40 ? 150.0 : 72.2; break;
    case Phy::AC: perStream = w >= 160 ? 866.7 : w >= 80 ? 433.3 : w >= 40 ? 200.0 : 86.7; break;
    case Phy::AX: perStream = w >= 160 ? 1201.0 : w >= 80 ? 600.5 : w >= 40 ? 286.8 : 143.4; break;
    case Phy::BE: perStream = w >= 320 ? 2882.4 : w >= 160 ? 1441.2 : w >= 80 ? 720.6 : w >= 40 ? 344.1 : 172.1; break;
  }
  return static_cast<uint32_t>(std::lround(perStream * ap.Streams * 1000));
}

}  // namespace

struct SimWlanService::Impl {
  Scene SceneData;
  SimOptions Options;
  std::shared_ptr<SimClock> Clock;
  std::mt19937_64 WalkRng, DelayRng, StatsRng, PhaseRng;

  std::mutex Lock;  // everything below
  std::condition_variable Wake;
  bool Open = false;
  bool Stop = false;
  std::vector<Interface> Interfaces;
  std::vector<double> Phase;  // per access point, seconds into its appear/gone cycle
  std::deque<WlanNotification> Outbox;
  std::vector<std::string> ForeignProfileLines;  // lines of interfaces this scene does not have
  std::string ProfileError;

  std::mutex CallbackLock;  // held while a notification is delivered
  WlanNotificationCallback Callback;

  std::thread Worker;

  class Call;

  Impl(Scene scene, SimOptions options)
      : SceneData(std::move(scene)),
        Options(std::move(options)),
        Clock(Options.Clock ? Options.Clock : std::make_shared<SteadySimClock>()),
        WalkRng(Options.Seed * 4 + 0),
        DelayRng(Options.Seed * 4 + 1),
        StatsRng(Options.Seed * 4 + 2),
        PhaseRng(Options.Seed * 4 + 3) {}

  double Uniform(std::mt19937_64& rng, double lo, double hi) {
    return lo + (hi - lo) * std::uniform_real_distribution<double>(0.0, 1.0)(rng);
  }

  Interface* Find(const WLAN_GUID& guid) {
    for (auto& i : Interfaces)
      if (i.Guid == guid) return &i;
    return nullptr;
  }

  void Notify(const Interface& i, uint32_t code) {
    Outbox.push_back({kNotificationSourceACM, code, i.Guid, {}});
    Wake.notify_all();
  }

  bool RadioOn(const Interface& i) const {
    return i.Desc.HardwareRadioOn && std::find(i.Software.begin(), i.Software.end(), kRadioOn) != i.Software.end();
  }

  bool Hears(const Interface& i, int ap, double now) const {
    const auto& a = SceneData.AccessPoints[static_cast<size_t>(ap)];
    if (a.Band6GHz ? !i.Desc.Hears6GHz : a.Is24GHz() ? !i.Desc.Hears24GHz : !i.Desc.Hears5GHz) return false;
    if (ap == i.ConnectedAP) return true;
    // A placed access point is heard on its own floor only, and only above the floor's noise.
    if (a.Position && i.Desc.Position) {
      const SceneFloor* apFloor = SceneData.FindFloor(a.Floor);
      if (apFloor != SceneData.FindFloor(i.Floor)) return false;
      if (RssiOf(i, ap) <= apFloor->Noise) return false;
    }
    if (a.AppearOn <= 0 || a.AppearOff <= 0) return true;
    return std::fmod(now + Phase[static_cast<size_t>(ap)], a.AppearOn + a.AppearOff) < a.AppearOn;
  }

  int RssiOf(const Interface& i, int ap) const {
    const auto& a = SceneData.AccessPoints[static_cast<size_t>(ap)];
    const double base = a.Position && i.Desc.Position ? TrueSignal(SceneData, static_cast<size_t>(ap),
                                                                   (*i.Desc.Position)[0], (*i.Desc.Position)[1])
                                                      : a.Rssi;
    int rssi = static_cast<int>(std::lround(base)) + i.Desc.RssiOffset +
               static_cast<int>(std::lround(i.Walk[static_cast<size_t>(ap)]));
    return std::clamp(rssi, -100, -10);
  }

  uint32_t PhyIndexOf(const Interface& i, int ap) const {
    uint32_t type = PhyTypeOf(SceneData.AccessPoints[static_cast<size_t>(ap)].Standard);
    auto it = std::find(i.Desc.PhyTypes.begin(), i.Desc.PhyTypes.end(), type);
    return it == i.Desc.PhyTypes.end() ? 0 : static_cast<uint32_t>(it - i.Desc.PhyTypes.begin());
  }

  void TakeScan(Interface& i, double now, bool walk) {
    if (walk && i.Desc.RandomWalk) {
      for (auto& w : i.Walk) {
        w += Uniform(WalkRng, -2.0, 2.0);
        w = std::clamp(w, -double(Options.WalkLimit), double(Options.WalkLimit));
      }
    }
    i.LastScan.clear();
    i.LastScanAt = now;
    if (!RadioOn(i)) return;
    for (int ap = 0; ap < static_cast<int>(SceneData.AccessPoints.size()); ++ap)
      if (Hears(i, ap, now)) i.LastScan.push_back(ap);
  }

  void Drop(Interface& i) {
    bool was = i.State != kInterfaceDisconnected;
    i.State = kInterfaceDisconnected;
    i.ConnectedAP = -1;
    i.Pending.reset();
    if (was) Notify(i, kAcmDisconnected);
  }

  // Applies every event due at Now, earliest first.
  void ProcessDue(double now) {
    for (;;) {
      Interface* next = nullptr;
      double at = kNever;
      bool isScan = false;
      for (auto& i : Interfaces) {
        if (i.ScanDoneAt <= now && i.ScanDoneAt < at) {
          next = &i;
          at = i.ScanDoneAt;
          isScan = true;
        }
        if (i.Pending && i.Pending->At <= now && i.Pending->At < at) {
          next = &i;
          at = i.Pending->At;
          isScan = false;
        }
      }
      if (!next) return;
      Interface& i = *next;
      if (isScan) {
        i.ScanDoneAt = kNever;
        TakeScan(i, at, true);
        Notify(i, kAcmScanComplete);
        continue;
      }
      Transition t = *i.Pending;
      i.Pending.reset();
      switch (t.Kind) {
        case TransitionKind::Connected: {
          i.State = kInterfaceConnected;
          i.ConnectedAP = t.AccessPoint;
          const auto& ap = SceneData.AccessPoints[static_cast<size_t>(t.AccessPoint)];
          auto has = [&](const std::string& n) {
            return std::any_of(i.Profiles.begin(), i.Profiles.end(), [&](const Profile& p) { return p.Name == n; });
          };
          if (!i.ProfileName.empty() && !has(i.ProfileName)) {
            i.Profiles.push_back({i.ProfileName, ap.SSID});
            SaveProfiles();
          }
          Notify(i, kAcmConnectionComplete);
          break;
        }
        case TransitionKind::ConnectFailed:
          i.State = kInterfaceDisconnected;
          i.ConnectedAP = -1;
          Notify(i, kAcmConnectionAttemptFail);
          break;
        case TransitionKind::Disconnected:
          i.State = kInterfaceDisconnected;
          i.ConnectedAP = -1;
          Notify(i, kAcmDisconnected);
          break;
      }
    }
  }

  double NextDeadline() const {
    double at = kNever;
    for (const auto& i : Interfaces) {
      at = std::min(at, i.ScanDoneAt);
      if (i.Pending) at = std::min(at, i.Pending->At);
    }
    return at;
  }

  void Run() {
    std::unique_lock<std::mutex> lock(Lock);
    while (!Stop) {
      ProcessDue(Clock->Now());
      if (!Outbox.empty()) {
        std::deque<WlanNotification> notes;
        notes.swap(Outbox);
        lock.unlock();
        {
          std::lock_guard<std::mutex> cb(CallbackLock);
          for (const auto& n : notes) {
            if (!Callback) break;
            try {
              Callback(n);
            } catch (...) {
              // A failing receiver must not stop the radio.
            }
          }
        }
        lock.lock();
        continue;
      }
      Clock->WaitUntil(Wake, lock, NextDeadline());
    }
  }

  // Statistics: every counter grows with the time since the last query.
  void GrowCounters(Interface& i, double now) {
    double dt = std::max(0.0, now - i.StatsAt);
    i.StatsAt = now;
    if (!RadioOn(i) || dt == 0) return;
    bool connected = i.State == kInterfaceConnected && i.ConnectedAP >= 0;
    const SceneAccessPoint* ap = connected ? &SceneData.AccessPoints[static_cast<size_t>(i.ConnectedAP)] : nullptr;
    if (connected) {
      double f = Uniform(StatsRng, 0.7, 1.3);
      double tx = 40 * f * dt, rx = 65 * f * dt, mtx = 0.5 * f * dt, mrx = 9 * f * dt;
      bool privacy = ap->Sec != Security::Open;
      bool tkip = ap->Sec == Security::WPA || ap->Sec == Security::WPAEnterprise;
      bool wep = ap->Sec == Security::WEP;
      for (auto* m : {&i.MacU, &i.MacM}) {
        double t = m == &i.MacU ? tx : mtx, r = m == &i.MacU ? rx : mrx;
        (*m)[0] += t;
        (*m)[1] += r;
        if (wep) (*m)[2] += r * 0.0005, (*m)[8] += r * 0.0002, (*m)[9] += r * 0.0002;
        if (tkip) (*m)[4] += r * 0.0001, (*m)[5] += r * 0.0002;
        if (privacy && !tkip && !wep) (*m)[6] += r * 0.00005, (*m)[7] += r * 0.0002;
        if (privacy) (*m)[10] += r, (*m)[11] += r * 0.0003;
      }
    }
    uint32_t activePhy = connected ? PhyIndexOf(i, i.ConnectedAP) : UINT32_MAX;
    static constexpr double kTxShare[10] = {1, 0.02, 0.01, 0.06, 0.015, 0.0005, 1, 0.1, 0.002, 0.02};
    static constexpr double kRxShare[8] = {1, 0.1, 0, 0.0002, 0.004, 1, 0, 0.03};
    for (size_t p = 0; p < i.Phy.size(); ++p) {
      if (i.Software[p] != kRadioOn) continue;
      double f = Uniform(StatsRng, 0.7, 1.3);
      bool active = p == activePhy;
      double tx = (active ? 45 : 0.4) * f * dt, rx = (active ? 75 : 3) * f * dt;
      for (size_t c = 0; c < 10; ++c) i.Phy[p][c] += tx * kTxShare[c];
      for (size_t c = 0; c < 8; ++c) i.Phy[p][10 + c] += rx * kRxShare[c];
    }
  }

  WLAN_STATISTICS StatisticsOf(const Interface& i) const {
    WLAN_STATISTICS s;
    for (size_t k = 0; k < 12; ++k) {
      s.MacUcastCounters[k] = static_cast<uint64_t>(i.MacU[k]);
      s.MacMcastCounters[k] = static_cast<uint64_t>(i.MacM[k]);
    }
    for (const auto& phy : i.Phy) {
      WlanPhyCounters c{};
      for (size_t k = 0; k < 18; ++k) c[k] = static_cast<uint64_t>(phy[k]);
      s.PhyCounters.push_back(c);
    }
    return s;
  }

  // Profiles: "{GUID}<TAB>name<TAB>SSID in hex", one line per profile, in priority order.
  std::string ProfilePath() const {
    return Options.SettingsFolder.empty() ? std::string() : Options.SettingsFolder + "/" + kProfileFileName;
  }

  void LoadProfiles() {
    std::string path = ProfilePath();
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) return;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      size_t t1 = line.find('\t'), t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
      if (t2 == std::string::npos) continue;
      auto guid = GuidFromText(line.substr(0, t1));
      std::string name = line.substr(t1 + 1, t2 - t1 - 1);
      auto ssid = ParseHexBytes(line.substr(t2 + 1));
      if (!guid || !ValidProfileName(name) || !ssid || ssid->size() > 32) continue;
      if (Interface* i = Find(*guid)) {
        bool dup =
            std::any_of(i->Profiles.begin(), i->Profiles.end(), [&](const Profile& p) { return p.Name == name; });
        if (!dup) i->Profiles.push_back({name, *ssid});
      } else {
        ForeignProfileLines.push_back(line);
      }
    }
  }

  void SaveProfiles() {
    std::string path = ProfilePath();
    if (path.empty()) return;
    std::string text;
    for (const auto& i : Interfaces)
      for (const auto& p : i.Profiles)
        text += GuidToText(i.Guid) + "\t" + p.Name + "\t" + BytesToHex(p.SSID, "") + "\n";
    for (const auto& l : ForeignProfileLines) text += l + "\n";
    ProfileError = WriteFileAtomic(path, text);
  }

  Profile* FindProfile(Interface& i, std::string_view name) {
    for (auto& p : i.Profiles)
      if (p.Name == name) return &p;
    return nullptr;
  }
};

SimWlanService::SimWlanService(Scene scene, SimOptions options)
    : impl_(std::make_unique<Impl>(std::move(scene), std::move(options))) {
  Impl& s = *impl_;
  const auto& aps = s.SceneData.AccessPoints;
  for (const auto& ap : aps)
    s.Phase.push_back(ap.AppearOn > 0 ? s.Uniform(s.PhaseRng, 0, ap.AppearOn + ap.AppearOff) : 0);
  for (size_t n = 0; n < s.SceneData.Interfaces.size(); ++n) {
    Interface i;
    i.Desc = s.SceneData.Interfaces[n];
    i.Guid = i.Desc.Guid.value_or(WLAN_GUID{0x00, 0x00, 0x1A, 0x5E, 0x00, 0x00, 0x00, 0x40, 0x80, 0x00, 0, 0, 0, 0, 0,
                                            static_cast<uint8_t>(n + 1)});
    i.Description = ContainsSimulated(i.Desc.Description) ? i.Desc.Description : "Simulated " + i.Desc.Description;
    if (!IsValidWlanName(i.Description)) i.Description = "Simulated Wi-Fi adapter";
    i.Software.assign(i.Desc.PhyTypes.size(), kRadioOn);
    i.Phy.resize(i.Desc.PhyTypes.size());
    i.Walk.assign(aps.size(), 0.0);
    s.Interfaces.push_back(std::move(i));
  }
  s.LoadProfiles();
  bool added = false;
  for (auto& i : s.Interfaces) {
    if (i.Desc.ConnectedTo && s.RadioOn(i)) {
      for (int ap = 0; ap < static_cast<int>(aps.size()); ++ap) {
        if (aps[static_cast<size_t>(ap)].BSSID != *i.Desc.ConnectedTo) continue;
        i.State = kInterfaceConnected;
        i.ConnectedAP = ap;
        i.ProfileName = SSIDText(aps[static_cast<size_t>(ap)].SSID);
        if (i.ProfileName.empty() || !ValidProfileName(i.ProfileName)) i.ProfileName = "Simulated network";
        if (!s.FindProfile(i, i.ProfileName)) {
          i.Profiles.push_back({i.ProfileName, aps[static_cast<size_t>(ap)].SSID});
          added = true;
        }
      }
    }
    s.TakeScan(i, 0, false);  // the service knows the air before the first request
  }
  if (added) s.SaveProfiles();
  s.Worker = std::thread([this] { impl_->Run(); });
}

SimWlanService::~SimWlanService() {
  {
    std::lock_guard<std::mutex> l(impl_->Lock);
    impl_->Stop = true;
    impl_->Wake.notify_all();
  }
  impl_->Worker.join();
}

bool SimWlanService::MoveInterface(const WLAN_GUID& interfaceGuid, const std::string& floor, double x, double y,
                                   std::string& error) {
  std::lock_guard<std::mutex> lock(impl_->Lock);
  Impl& s = *impl_;
  if (!s.SceneData.FindFloor(floor)) {
    error = s.SceneData.Floors.empty() ? "the scene has no floor" : "the scene has no floor named '" + floor + "'";
    return false;
  }
  Interface* i = s.Find(interfaceGuid);
  if (!i) {
    error = "no such interface";
    return false;
  }
  i->Desc.Position = std::array<double, 2>{x, y};
  i->Floor = floor;
  return true;
}

const Scene& SimWlanService::SceneOf() const { return impl_->SceneData; }

std::string SimWlanService::LastProfileStoreError() const {
  std::lock_guard<std::mutex> l(impl_->Lock);
  return impl_->ProfileError;
}

WlanResult SimWlanService::OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) {
  if (clientVersion < 1 || clientVersion > 2) return WlanError::kInvalidParameter;
  std::lock_guard<std::mutex> l(impl_->Lock);
  impl_->Open = true;
  negotiatedVersion = clientVersion;
  return WlanError::kSuccess;
}

WlanResult SimWlanService::CloseHandle() {
  {
    std::lock_guard<std::mutex> l(impl_->Lock);
    if (!impl_->Open) return WlanError::kInvalidHandle;
    impl_->Open = false;
    impl_->Outbox.clear();
  }
  std::lock_guard<std::mutex> cb(impl_->CallbackLock);
  impl_->Callback = nullptr;
  return WlanError::kSuccess;
}

WlanResult SimWlanService::RegisterNotification(uint32_t sources, bool, WlanNotificationCallback callback) {
  {
    std::lock_guard<std::mutex> l(impl_->Lock);
    if (!impl_->Open) return WlanError::kInvalidHandle;
  }
  std::lock_guard<std::mutex> cb(impl_->CallbackLock);
  if (callback && (sources & kNotificationSourceACM)) {
    impl_->Callback = [callback, sources](const WlanNotification& n) {
      if (n.NotificationSource & sources) callback(n);
    };
  } else {
    impl_->Callback = nullptr;
  }
  return WlanError::kSuccess;
}

// One call on one interface: holds the service's lock while it lives, brings the simulation up to the
// clock's time and finds the interface. False when the handle is closed or the interface is unknown;
// Result() then says which.
class SimWlanService::Impl::Call {
 public:
  // What the call works with: the service, the interface and the clock's time.
  struct Parts {
    Impl& s;
    Interface& i;
    double now;
  };

  Call(Impl& s, const WLAN_GUID& guid) : lock_(s.Lock), s_(s) {
    if (!s.Open) {
      result_ = WlanError::kInvalidHandle;
      return;
    }
    now_ = s.Clock->Now();
    s.ProcessDue(now_);
    interface_ = s.Find(guid);
    if (!interface_) result_ = WlanError::kNotFound;
  }
  explicit operator bool() const { return interface_ != nullptr; }
  WlanResult Result() const { return result_; }
  Parts Get() { return {s_, *interface_, now_}; }

 private:
  std::lock_guard<std::mutex> lock_;
  Impl& s_;
  Interface* interface_ = nullptr;
  double now_ = 0;
  WlanResult result_ = WlanError::kSuccess;
};

WlanResult SimWlanService::EnumInterfaces(WlanBlock& interfaceList) {
  interfaceList.clear();
  std::lock_guard<std::mutex> l(impl_->Lock);
  Impl& s = *impl_;
  if (!s.Open) return WlanError::kInvalidHandle;
  s.ProcessDue(s.Clock->Now());
  WLAN_INTERFACE_INFO_LIST list;
  for (const auto& i : s.Interfaces) list.InterfaceInfo.push_back({i.Guid, i.Description, i.State});
  interfaceList = list.Encode();
  return WlanError::kSuccess;
}

WlanResult SimWlanService::Scan(const WLAN_GUID& interfaceGuid) {
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  if (!s.RadioOn(i)) return WlanError::kRadioOff;
  if (i.ScanDoneAt == kNever) {
    i.ScanDoneAt = now + s.Uniform(s.DelayRng, s.Options.MinScanSeconds, s.Options.MaxScanSeconds);
    s.Wake.notify_all();
  }
  return WlanError::kSuccess;
}

WlanResult SimWlanService::GetNetworkBssList(const WLAN_GUID& interfaceGuid, const DOT11_SSID* ssid, uint32_t bssType,
                                             bool securityEnabled, WlanBlock& bssList) {
  bssList.clear();
  if (bssType < 1 || bssType > 3 || (ssid && ssid->uSSIDLength > 32)) return WlanError::kInvalidParameter;
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  std::vector<WlanBssListItem> items;
  for (int ap : i.Desc.ScansRefused ? std::vector<int>() : i.LastScan) {
    const auto& a = s.SceneData.AccessPoints[static_cast<size_t>(ap)];
    Beacon b = BuildBeacon(a, s.RssiOf(i, ap), s.PhyIndexOf(i, ap));
    if (bssType != 3 && b.Entry.dot11BssType != bssType) continue;
    if (ssid) {
      if (b.Entry.dot11Ssid.uSSIDLength != ssid->uSSIDLength ||
          !std::equal(ssid->ucSSID.begin(), ssid->ucSSID.begin() + ssid->uSSIDLength, b.Entry.dot11Ssid.ucSSID.begin()))
        continue;
      if (securityEnabled != ((b.Entry.usCapabilityInformation & 0x0010) != 0)) continue;
    }
    // The beacon's time stamps: the access point's time since it started, the host's time of reception.
    double t = now + 3600.0 * (1 + ap % 97);
    b.Entry.ullTimestamp = static_cast<uint64_t>(t * 1e6);
    b.Entry.ullHostTimestamp =
        static_cast<uint64_t>((s.Clock->WallTimeAtStart() + i.LastScanAt) * 1e7) + 116444736000000000ull;
    items.push_back({b.Entry, std::move(b.Blob)});
  }
  bssList = EncodeBssList(items);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::QueryInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode, WlanBlock& data) {
  data.clear();
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  bool connected = i.State == kInterfaceConnected && i.ConnectedAP >= 0;
  switch (opcode) {
    case kOpcodeAutoConfEnabled: data = EncodeUInt32Value(i.AutoConf); break;
    case kOpcodeBackgroundScanEnabled: data = EncodeUInt32Value(i.BackgroundScan); break;
    case kOpcodeMediaStreamingMode: data = EncodeUInt32Value(i.MediaStreaming); break;
    case kOpcodeInterfaceState: data = EncodeUInt32Value(i.State); break;
    case kOpcodeRadioState: {
      WLAN_RADIO_STATE r;
      for (size_t p = 0; p < i.Software.size() && p < WLAN_RADIO_STATE::kMaxPhys; ++p)
        r.PhyRadioState.push_back({static_cast<uint32_t>(p), i.Software[p],
                                   i.Desc.HardwareRadioOn ? uint32_t{kRadioOn} : uint32_t{kRadioOff}});
      data = r.Encode();
      break;
    }
    case kOpcodeCurrentConnection: {
      if (!connected) return WlanError::kInvalidState;
      const auto& ap = s.SceneData.AccessPoints[static_cast<size_t>(i.ConnectedAP)];
      int rssi = s.RssiOf(i, i.ConnectedAP);
      WLAN_CONNECTION_ATTRIBUTES a;
      a.isState = i.State;
      a.wlanConnectionMode = i.ConnectionMode;
      a.strProfileName = i.ProfileName;
      a.dot11Ssid.uSSIDLength = static_cast<uint32_t>(std::min<size_t>(ap.SSID.size(), 32));
      std::copy_n(ap.SSID.begin(), a.dot11Ssid.uSSIDLength, a.dot11Ssid.ucSSID.begin());
      // Type, PHY, quality and security as the access point's beacon gives them.
      Beacon b = BuildBeacon(ap, rssi, s.PhyIndexOf(i, i.ConnectedAP));
      a.dot11BssType = b.Entry.dot11BssType;
      a.dot11Bssid = ap.BSSID;
      a.dot11PhyType = b.Entry.dot11BssPhyType;
      a.uDot11PhyIndex = b.Entry.uPhyId;
      a.wlanSignalQuality = b.Entry.uLinkQuality;
      double share = std::clamp(0.35 + 0.65 * a.wlanSignalQuality / 100.0, 0.0, 1.0);
      a.ulRxRate = static_cast<uint32_t>(std::lround(MaxRateKbps(ap) * share / 100.0) * 100);
      a.ulTxRate = static_cast<uint32_t>(std::lround(MaxRateKbps(ap) * share * 0.9 / 100.0) * 100);
      TBeaconSecurity security = BeaconSecurity(b.Blob, b.Entry.usCapabilityInformation);
      a.dot11AuthAlgorithm = security.Auth;
      a.dot11CipherAlgorithm = security.Cipher;
      a.bSecurityEnabled = security.Cipher != kCipherNone;
      a.bOneXEnabled = security.OneX;
      data = a.Encode();
      break;
    }
    case kOpcodeChannelNumber:
      if (!connected) return WlanError::kInvalidState;
      data = EncodeUInt32Value(s.SceneData.AccessPoints[static_cast<size_t>(i.ConnectedAP)].Channel);
      break;
    case kOpcodeRssi:
      if (!connected) return WlanError::kInvalidState;
      data = EncodeInt32Value(s.RssiOf(i, i.ConnectedAP));
      break;
    case kOpcodeStatistics:
      s.GrowCounters(i, now);
      data = s.StatisticsOf(i).Encode();
      break;
    default: return WlanError::kInvalidParameter;
  }
  return WlanError::kSuccess;
}

WlanResult SimWlanService::SetInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode,
                                        std::span<const uint8_t> data) {
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  if (opcode == kOpcodeAutoConfEnabled || opcode == kOpcodeBackgroundScanEnabled ||
      opcode == kOpcodeMediaStreamingMode) {
    auto v = DecodeUInt32Value(data);
    if (!v) return WlanError::kInvalidParameter;
    (opcode == kOpcodeAutoConfEnabled         ? i.AutoConf
     : opcode == kOpcodeBackgroundScanEnabled ? i.BackgroundScan
                                              : i.MediaStreaming) = *v != 0;
    return WlanError::kSuccess;
  }
  if (opcode != kOpcodeRadioState) return WlanError::kInvalidParameter;
  auto r = WLAN_PHY_RADIO_STATE::Decode(data);
  if (!r || r->dwPhyIndex >= i.Software.size() ||
      (r->dot11SoftwareRadioState != kRadioOn && r->dot11SoftwareRadioState != kRadioOff))
    return WlanError::kInvalidParameter;
  s.GrowCounters(i, now);  // counters so far belong to the old state
  i.Software[r->dwPhyIndex] = r->dot11SoftwareRadioState;
  if (!s.RadioOn(i)) {
    s.Drop(i);
    i.LastScan.clear();
    if (i.ScanDoneAt != kNever) {
      i.ScanDoneAt = kNever;
      s.Notify(i, kAcmScanFail);
    }
  }
  return WlanError::kSuccess;
}

WlanResult SimWlanService::GetInterfaceCapability(const WLAN_GUID& interfaceGuid, WlanBlock& capability) {
  capability.clear();
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  WLAN_INTERFACE_CAPABILITY c;
  c.interfaceType = 1;
  c.bDot11DSupported = 1;
  c.dwMaxDesiredSsidListSize = 4;
  c.dwMaxDesiredBssidListSize = 8;
  c.dot11PhyTypes = i.Desc.PhyTypes;
  capability = c.Encode();
  return WlanError::kSuccess;
}

WlanResult SimWlanService::Connect(const WLAN_GUID& interfaceGuid, const WLAN_CONNECTION_PARAMETERS& p) {
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  std::vector<uint8_t> ssid;
  std::string profile;
  switch (p.wlanConnectionMode) {
    case kConnectionModeProfile: {
      Profile* found = s.FindProfile(i, p.strProfile);
      if (!found) return WlanError::kNotFound;
      ssid = found->SSID;
      profile = found->Name;
      break;
    }
    case kConnectionModeDiscoverySecure:
    case kConnectionModeDiscoveryUnsecure:
      if (!p.pDot11Ssid || p.pDot11Ssid->uSSIDLength == 0 || p.pDot11Ssid->uSSIDLength > 32)
        return WlanError::kInvalidParameter;
      ssid.assign(p.pDot11Ssid->ucSSID.begin(), p.pDot11Ssid->ucSSID.begin() + p.pDot11Ssid->uSSIDLength);
      profile = SSIDText(ssid);
      if (!ValidProfileName(profile)) profile = "Simulated network";
      break;
    case kConnectionModeTemporaryProfile: return WlanError::kNotSupported;
    default: return WlanError::kInvalidParameter;
  }
  if (p.dot11BssType < 1 || p.dot11BssType > 3) return WlanError::kInvalidParameter;
  if (p.pDesiredBssidList && p.pDesiredBssidList->BSSIDs.size() < p.pDesiredBssidList->uNumOfEntries)
    return WlanError::kInvalidParameter;
  if (!s.RadioOn(i)) return WlanError::kRadioOff;

  // The strongest access point heard now that fits the request.
  int target = -1;
  for (int ap = 0; ap < static_cast<int>(s.SceneData.AccessPoints.size()); ++ap) {
    const auto& a = s.SceneData.AccessPoints[static_cast<size_t>(ap)];
    if (a.SSID != ssid || !s.Hears(i, ap, now)) continue;
    uint32_t type = a.AdHoc ? 2 : 1;
    if (p.dot11BssType != 3 && p.dot11BssType != type) continue;
    if ((p.dwFlags & 2) && !a.AdHoc) continue;
    bool privacy = a.Sec != Security::Open;
    if (p.wlanConnectionMode == kConnectionModeDiscoverySecure && !privacy) continue;
    if (p.wlanConnectionMode == kConnectionModeDiscoveryUnsecure && privacy) continue;
    if (p.pDesiredBssidList && p.pDesiredBssidList->uNumOfEntries > 0) {
      const auto& list = p.pDesiredBssidList->BSSIDs;
      if (std::find(list.begin(), list.begin() + p.pDesiredBssidList->uNumOfEntries, a.BSSID) ==
          list.begin() + p.pDesiredBssidList->uNumOfEntries)
        continue;
    }
    if (target < 0 || s.RssiOf(i, ap) > s.RssiOf(i, target)) target = ap;
  }

  if (i.State == kInterfaceConnected) s.Notify(i, kAcmDisconnected);
  i.State = kInterfaceAssociating;
  i.ConnectedAP = -1;
  i.ConnectionMode = p.wlanConnectionMode;
  i.ProfileName = profile;
  double delay = s.Uniform(s.DelayRng, s.Options.MinConnectSeconds, s.Options.MaxConnectSeconds);
  i.Pending = Transition{target >= 0 ? TransitionKind::Connected : TransitionKind::ConnectFailed, now + delay, target};
  s.Notify(i, kAcmConnectionStart);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::Disconnect(const WLAN_GUID& interfaceGuid) {
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  if (i.State == kInterfaceDisconnected || i.State == kInterfaceDisconnecting) return WlanError::kSuccess;
  i.State = kInterfaceDisconnecting;
  double delay = s.Uniform(s.DelayRng, s.Options.MinDisconnectSeconds, s.Options.MaxDisconnectSeconds);
  i.Pending = Transition{TransitionKind::Disconnected, now + delay, -1};
  s.Notify(i, kAcmDisconnecting);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::GetProfileList(const WLAN_GUID& interfaceGuid, WlanBlock& profileList) {
  profileList.clear();
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  WLAN_PROFILE_INFO_LIST list;
  for (const auto& p : i.Profiles) list.ProfileInfo.push_back({p.Name, 0});
  profileList = list.Encode();
  return WlanError::kSuccess;
}

WlanResult SimWlanService::DeleteProfile(const WLAN_GUID& interfaceGuid, std::string_view name) {
  if (!ValidProfileName(name)) return WlanError::kInvalidParameter;
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  auto it = std::find_if(i.Profiles.begin(), i.Profiles.end(), [&](const Profile& p) { return p.Name == name; });
  if (it == i.Profiles.end()) return WlanError::kNotFound;
  i.Profiles.erase(it);
  s.SaveProfiles();
  s.Notify(i, kAcmProfileChange);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::RenameProfile(const WLAN_GUID& interfaceGuid, std::string_view oldName,
                                         std::string_view newName) {
  if (!ValidProfileName(oldName) || !ValidProfileName(newName)) return WlanError::kInvalidParameter;
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  Profile* p = s.FindProfile(i, oldName);
  if (!p) return WlanError::kNotFound;
  if (oldName != newName && s.FindProfile(i, newName)) return WlanError::kAlreadyExists;
  if (i.ProfileName == oldName) i.ProfileName = std::string(newName);
  p->Name = std::string(newName);
  s.SaveProfiles();
  s.Notify(i, kAcmProfileNameChange);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::SetProfilePosition(const WLAN_GUID& interfaceGuid, std::string_view name,
                                              uint32_t position) {
  if (!ValidProfileName(name)) return WlanError::kInvalidParameter;
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  auto it = std::find_if(i.Profiles.begin(), i.Profiles.end(), [&](const Profile& p) { return p.Name == name; });
  if (it == i.Profiles.end()) return WlanError::kNotFound;
  if (position >= i.Profiles.size()) return WlanError::kInvalidParameter;
  Profile moved = *it;
  i.Profiles.erase(it);
  i.Profiles.insert(i.Profiles.begin() + position, std::move(moved));
  s.SaveProfiles();
  s.Notify(i, kAcmProfileChange);
  return WlanError::kSuccess;
}

WlanResult SimWlanService::EditProfile(uint32_t, std::string_view, const WLAN_GUID& interfaceGuid, void*, uint32_t,
                                       uint32_t& reasonCode) {
  reasonCode = 0;
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  (void)i;
  return WlanError::kNotSupported;  // the simulated service has no profile editor
}

WlanResult SimWlanService::QueryInterfaceIdentity(const WLAN_GUID& interfaceGuid, WlanInterfaceIdentity& identity) {
  identity = {};
  Impl::Call call(*impl_, interfaceGuid);
  if (!call) return call.Result();
  auto [s, i, now] = call.Get();
  const size_t n = static_cast<size_t>(&i - s.Interfaces.data());
  identity.Name = i.Desc.KernelName.empty() ? "sim" + std::to_string(n) : i.Desc.KernelName;
  identity.Mac = i.Desc.Mac.value_or(std::array<uint8_t, 6>{0x02, 0x00, 0x00, 0x00, 0x1A, static_cast<uint8_t>(n + 1)});
  identity.Up = i.Desc.Up;
  identity.ScansRefused = i.Desc.ScansRefused;
  return WlanError::kSuccess;
}

// Choosing a service ---------------------------------------------------------------------------------------

std::string DefaultScenePath(const std::string& programFolder) {
  namespace fs = std::filesystem;
  fs::path beside = fs::path(programFolder) / "scenes" / "default.scene";
  std::error_code ec;
  if (fs::exists(beside, ec)) return beside.string();
  return (fs::path(programFolder) / ".." / "share" / "skimlet" / "scenes" / "default.scene")
      .lexically_normal()
      .string();
}

std::unique_ptr<WlanService> CreateSimulatedService(std::string_view choice, const std::string& programFolder,
                                                    SimOptions options, std::string& error) {
  SceneResult scene;
  if (choice == "sim") {
    scene = ReadSceneFile(DefaultScenePath(programFolder));
  } else if (choice.starts_with("sim:")) {
    scene = ReadSceneFile(std::string(choice.substr(4)));
  } else if (choice.starts_with("replay:")) {
    scene = ReplaySnapshotScene(std::string(choice.substr(7)));
  } else {
    error = "unknown service '" + std::string(choice) + "' (sim, sim:FILE.scene or replay:FILE.snapshot)";
    return nullptr;
  }
  if (!scene.Value) {
    error = scene.Error;
    return nullptr;
  }
  return std::make_unique<SimWlanService>(std::move(*scene.Value), std::move(options));
}

}  // namespace skimlet::sim

// Drives the Linux backend's NetworkManager side against a real NetworkManager, for the lab test (check_lab.py
// checks the lines). Usage: skimlet-nm-probe INTERFACE SSID FIRST SECOND RENAMED
//
// FIRST and SECOND are two stored profiles of SSID, FIRST ahead in the autoconnect order. The probe
//  1. waits for NetworkManager and lists the profiles             "profiles initial: FIRST|SECOND"
//  2. scans and finds SSID's access points                        "bss: SSID BSSID..."
//  3. connects by profile SECOND and waits for the association    "connect profile: 0", "connected: ..."
//  4. disconnects                                                 "disconnect: 0", "disconnected: ..."
//  5. renames SECOND to RENAMED, moves it to the front, lists     "rename: 0", "position: 0", "profiles moved: ..."
//  6. connects by SSID and BSSID, the BSSID of another access point of SSID than the one of step 3 where there
//     is one ("pin: BSSID"): the first profile of SSID is taken, now RENAMED, whose secret the rename must have
//     kept, and the association must be with that access point
//     ("profiles pinned: RENAMED|FIRST", the same list as before)
//  7. disconnects and lists the profiles once more                "profiles final: ..."
// "connected:" lines print the state, SSID, BSSID and profile of the current connection as the backend reports
// them; a connection counts once it has held for a few seconds (a wrong or lost secret ends it sooner).
// Exit status: 0 when every step did what it should, 1 otherwise, 2 when NetworkManager never answered.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backends/linux/linux_service.h"
#include "core/service/wlan_service.h"

using namespace skimlet;
using Clock = std::chrono::steady_clock;

namespace {

std::string MacText(const std::array<uint8_t, 6>& m) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4], m[5]);
  return text;
}

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Probe {
  std::unique_ptr<WlanService> service;
  WLAN_GUID guid{};
  std::string ssid;
  bool ok = true;

  // "|"-joined profile names, or "error N".
  std::string Profiles(WlanResult* result = nullptr) {
    WlanBlock block;
    WlanResult r = service->GetProfileList(guid, block);
    if (result) *result = r;
    if (r != 0) return "error " + std::to_string(r);
    auto list = WLAN_PROFILE_INFO_LIST::Decode(block);
    if (!list) return "undecodable";
    std::string text;
    for (const auto& p : list->ProfileInfo) text += (text.empty() ? "" : "|") + p.strProfileName;
    return text;
  }

  std::optional<WLAN_CONNECTION_ATTRIBUTES> Current() {
    WlanBlock block;
    if (service->QueryInterface(guid, kOpcodeCurrentConnection, block) != 0) return std::nullopt;
    return WLAN_CONNECTION_ATTRIBUTES::Decode(block);
  }

  static std::string Describe(const WLAN_CONNECTION_ATTRIBUTES& a) {
    std::string s(reinterpret_cast<const char*>(a.dot11Ssid.ucSSID.data()),
                  std::min<uint32_t>(a.dot11Ssid.uSSIDLength, 32));
    return "state=" + std::to_string(a.isState) + " ssid=" + s + " bssid=" + MacText(a.dot11Bssid) +
           " profile=" + a.strProfileName + " auth=" + std::to_string(a.dot11AuthAlgorithm) +
           " cipher=" + std::to_string(a.dot11CipherAlgorithm);
  }

  bool ConnectedToSsid(const WLAN_CONNECTION_ATTRIBUTES& a) const {
    return a.isState == kInterfaceConnected && a.dot11Ssid.uSSIDLength == ssid.size() &&
           std::memcmp(a.dot11Ssid.ucSSID.data(), ssid.data(), ssid.size()) == 0;
  }

  // Waits for an association with SSID that still holds three seconds later, prints it and returns its BSSID.
  std::string AwaitConnected(Clock::time_point start, const std::string& wantProfile, const std::string& wantBssid) {
    while (Since(start) < 30) {
      auto a = Current();
      if (a && ConnectedToSsid(*a)) {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        auto later = Current();
        if (later && ConnectedToSsid(*later) && later->dot11Bssid == a->dot11Bssid) {
          std::printf("connected: %s after %.1f s\n", Describe(*later).c_str(), Since(start));
          if (later->strProfileName != wantProfile || (!wantBssid.empty() && MacText(later->dot11Bssid) != wantBssid)) {
            std::printf("  expected profile=%s bssid=%s\n", wantProfile.c_str(), wantBssid.c_str());
            ok = false;
          }
          return MacText(later->dot11Bssid);
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    auto a = Current();
    std::printf("connected: NO after %.1f s (%s)\n", Since(start), a ? Describe(*a).c_str() : "no connection");
    ok = false;
    return {};
  }

  void AwaitDisconnected(Clock::time_point start) {
    while (Since(start) < 15) {
      WlanBlock block;
      if (service->QueryInterface(guid, kOpcodeInterfaceState, block) == 0 &&
          DecodeUInt32Value(block) == uint32_t{kInterfaceDisconnected}) {
        std::printf("disconnected: yes after %.1f s\n", Since(start));
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::printf("disconnected: NO after %.1f s\n", Since(start));
    ok = false;
  }

  // NetworkManager may refuse an activation while the device is still coming up (the supplicant not ready
  // yet): such refusals are retried for a while.
  WlanResult Connect(const WLAN_CONNECTION_PARAMETERS& p, const char* what) {
    auto start = Clock::now();
    WlanResult r = 0;
    while ((r = service->Connect(guid, p)) != 0 && Since(start) < 15)
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("connect %s: %u\n", what, r);
    if (r != 0) ok = false;
    return r;
  }

  void Disconnect() {
    auto start = Clock::now();
    WlanResult r = service->Disconnect(guid);
    std::printf("disconnect: %u\n", r);
    if (r != 0) ok = false;
    AwaitDisconnected(start);
  }

  void Check(const char* what, WlanResult r) {
    std::printf("%s: %u\n", what, r);
    if (r != 0) ok = false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: skimlet-nm-probe INTERFACE SSID FIRST SECOND RENAMED\n");
    return 1;
  }
  const std::string ifname = argv[1], first = argv[3], second = argv[4], renamed = argv[5];
  Probe probe;
  probe.ssid = argv[2];
  probe.service = linuxwifi::CreateLinuxService();
  uint32_t version = 0;
  if (WlanResult r = probe.service->OpenHandle(2, version); r != 0) {
    std::printf("open failed: %u\n", r);
    return 1;
  }
  // The backend's connection notices, counted as the kernel sends them.
  std::atomic<int> connectedNotices{0}, disconnectedNotices{0};
  probe.service->RegisterNotification(kNotificationSourceACM, true, [&](const WlanNotification& n) {
    if (n.NotificationSource != kNotificationSourceACM) return;
    if (n.NotificationCode == kAcmConnectionComplete) ++connectedNotices;
    if (n.NotificationCode == kAcmDisconnected) ++disconnectedNotices;
  });
  WlanBlock block;
  std::optional<WLAN_INTERFACE_INFO_LIST> list;
  if (probe.service->EnumInterfaces(block) == 0) list = WLAN_INTERFACE_INFO_LIST::Decode(block);
  bool found = false;
  for (const auto& i : list ? list->InterfaceInfo : std::vector<WLAN_INTERFACE_INFO>{})
    if (i.strInterfaceDescription.ends_with("(" + ifname + ")")) {
      probe.guid = i.InterfaceGuid;
      found = true;
    }
  if (!found) {
    std::printf("no interface %s\n", ifname.c_str());
    return 1;
  }

  // 1. NetworkManager answers once it has read its profiles.
  auto start = Clock::now();
  WlanResult r = 0;
  std::string profiles;
  while (true) {
    profiles = probe.Profiles(&r);
    if ((r == 0 && !profiles.empty()) || Since(start) > 30) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  std::printf("profiles initial: %s (after %.1f s)\n", profiles.c_str(), Since(start));
  if (r != 0) return 2;
  if (profiles != first + "|" + second) probe.ok = false;

  // 2. A scan of our own, so that the access points are fresh in the kernel's and the supplicant's lists. The
  //    lab has two of SSID; the list is read until both are in it, or for a while.
  probe.service->Scan(probe.guid);
  std::vector<std::string> bssids;
  for (start = Clock::now(); bssids.size() < 2 && Since(start) < 15;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (probe.service->GetNetworkBssList(probe.guid, nullptr, 3, false, block) != 0) continue;
    WlanBssListView view(block);
    bssids.clear();
    for (size_t n = 0; n < view.Count(); ++n) {
      WLAN_BSS_ENTRY e = view.Entry(n);
      if (std::string(reinterpret_cast<const char*>(e.dot11Ssid.ucSSID.data()), e.dot11Ssid.uSSIDLength) == probe.ssid)
        bssids.push_back(MacText(e.dot11Bssid));
    }
  }
  std::string listed;
  for (const auto& b : bssids) listed += " " + b;
  std::printf("bss: %s%s\n", probe.ssid.c_str(), listed.empty() ? " NONE" : listed.c_str());
  if (bssids.empty()) return 1;

  // 3. By profile: the second one, which NetworkManager would not pick by itself.
  WLAN_CONNECTION_PARAMETERS byProfile;
  byProfile.wlanConnectionMode = kConnectionModeProfile;
  byProfile.strProfile = second;
  start = Clock::now();
  std::string landed;
  if (probe.Connect(byProfile, "profile") == 0) landed = probe.AwaitConnected(start, second, {});

  // 4.
  probe.Disconnect();

  // 5. Rename and reorder, each seen in the list.
  probe.Check("rename", probe.service->RenameProfile(probe.guid, second, renamed));
  std::printf("profiles renamed: %s\n", probe.Profiles().c_str());
  probe.Check("position", probe.service->SetProfilePosition(probe.guid, renamed, 0));
  profiles = probe.Profiles();
  std::printf("profiles moved: %s\n", profiles.c_str());
  if (profiles != renamed + "|" + first) probe.ok = false;

  // 6. By SSID and BSSID: the first profile of the SSID is taken, pinned to that access point.
  std::string bssid = bssids.front();
  for (const auto& b : bssids)
    if (b != landed) bssid = b;
  std::printf("pin: %s\n", bssid.c_str());
  WLAN_CONNECTION_PARAMETERS byBssid;
  byBssid.wlanConnectionMode = kConnectionModeDiscoverySecure;
  DOT11_SSID s;
  s.uSSIDLength = static_cast<uint32_t>(probe.ssid.size());
  std::memcpy(s.ucSSID.data(), probe.ssid.data(), std::min<size_t>(probe.ssid.size(), 32));
  byBssid.pDot11Ssid = s;
  DOT11_BSSID_LIST pinned;
  std::array<uint8_t, 6> mac{};
  std::sscanf(bssid.c_str(), "%hhx:%hhx:%hhx:%hhx:%hhx:%hhx", &mac[0], &mac[1], &mac[2], &mac[3], &mac[4], &mac[5]);
  pinned.BSSIDs = {mac};
  pinned.uNumOfEntries = pinned.uTotalNumOfEntries = 1;
  byBssid.pDesiredBssidList = pinned;
  start = Clock::now();
  if (probe.Connect(byBssid, "bssid") == 0) probe.AwaitConnected(start, renamed, bssid);
  // The stand-in NetworkManager activates for a pinned connection is no profile of its own.
  profiles = probe.Profiles();
  std::printf("profiles pinned: %s\n", profiles.c_str());
  if (profiles != renamed + "|" + first) probe.ok = false;

  // 7.
  probe.Disconnect();
  profiles = probe.Profiles();
  std::printf("profiles final: %s\n", profiles.c_str());
  if (profiles != renamed + "|" + first) probe.ok = false;
  // Two connections made and ended: two notices of each, which may trail the state the probe polled.
  for (int i = 0; i < 40 && (connectedNotices < 2 || disconnectedNotices < 2); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::printf("notices: connected=%d disconnected=%d\n", connectedNotices.load(), disconnectedNotices.load());
  if (connectedNotices < 2 || disconnectedNotices < 2) probe.ok = false;
  probe.service->CloseHandle();
  std::printf("result: %s\n", probe.ok ? "ok" : "FAILED");
  return probe.ok ? 0 : 1;
}

// Scans once with the Linux backend and prints what it found, one line per BSS, for the lab test
// (run.sh checks the lines). Usage: skimlet-wifi-probe [INTERFACE]
//
// Prints the interface (GUID, description, PHY types, radio state), how long the scan took until the
// backend's notification, then "BSS ssid=... channel=... security=... auth=... rssi=... phy=..." per BSS.
// Exit status: 0 when the notification came and the list held at least one BSS.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "backends/linux/linux_service.h"
#include "core/model/network.h"

using namespace skimlet;

int main(int argc, char** argv) {
  std::string want = argc > 1 ? argv[1] : "";
  auto service = linuxwifi::CreateLinuxService();
  uint32_t version = 0;
  if (WlanResult r = service->OpenHandle(2, version); r != 0) {
    std::printf("open failed: %u\n", r);
    return 1;
  }
  std::mutex lock;
  std::condition_variable cv;
  int scans = 0;
  uint32_t lastCode = 0;
  service->RegisterNotification(kNotificationSourceAll, true, [&](const WlanNotification& n) {
    if (n.NotificationSource != kNotificationSourceACM) return;
    std::lock_guard<std::mutex> l(lock);
    ++scans;
    lastCode = n.NotificationCode;
    cv.notify_all();
  });

  WlanBlock block;
  if (WlanResult r = service->EnumInterfaces(block); r != 0) {
    std::printf("enumeration failed: %u\n", r);
    return 1;
  }
  auto list = WLAN_INTERFACE_INFO_LIST::Decode(block);
  if (!list) return 1;
  const WLAN_INTERFACE_INFO* chosen = nullptr;
  for (const auto& i : list->InterfaceInfo) {
    std::printf("interface %s \"%s\" state=%u\n", GuidToText(i.InterfaceGuid).c_str(),
                i.strInterfaceDescription.c_str(), i.isState);
    if (!chosen && (want.empty() || i.strInterfaceDescription.ends_with("(" + want + ")"))) chosen = &i;
  }
  if (!chosen) {
    std::printf("no interface %s\n", want.c_str());
    return 1;
  }
  WLAN_GUID guid = chosen->InterfaceGuid;
  if (service->GetInterfaceCapability(guid, block) == 0) {
    auto capability = WLAN_INTERFACE_CAPABILITY::Decode(block);
    std::printf("phy types:");
    if (capability)
      for (uint32_t t : capability->dot11PhyTypes) std::printf(" %u", t);
    std::printf("\n");
  }
  if (service->QueryInterface(guid, kOpcodeRadioState, block) == 0) {
    auto radio = WLAN_RADIO_STATE::Decode(block);
    if (radio && !radio->PhyRadioState.empty())
      std::printf("radio software=%u hardware=%u (%zu phys)\n", radio->PhyRadioState[0].dot11SoftwareRadioState,
                  radio->PhyRadioState[0].dot11HardwareRadioState, radio->PhyRadioState.size());
  }

  auto start = std::chrono::steady_clock::now();
  WlanResult scan = service->Scan(guid);
  double callMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("scan request: %u (returned after %.1f ms)\n", scan, callMs);
  bool notified = false;
  {
    std::unique_lock<std::mutex> l(lock);
    notified = cv.wait_for(l, std::chrono::seconds(60), [&] { return scans > 0; });
  }
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("scan notification: %s code=%u after %.1f s\n", notified ? "yes" : "NO", lastCode, secs);

  if (WlanResult r = service->GetNetworkBssList(guid, nullptr, 3, false, block); r != 0) {
    std::printf("BSS list failed: %u\n", r);
    return 1;
  }
  WlanBssListView view(block);
  std::printf("%zu BSSs\n", view.Count());
  for (size_t n = 0; n < view.Count(); ++n) {
    TWLANNetwork net;
    WLAN_BSS_ENTRY e = view.Entry(n);
    auto blob = view.Blob(n);
    net.UpdateFromEntry(e, blob ? *blob : Bytes{});
    std::printf("BSS ssid=%s channel=%s security=%s auth=%s bssid=%s freq=%u rssi=%d quality=%u phy=%u rates=%u\n",
                net.SSID.c_str(), net.ChannelText().c_str(), net.SecurityModeText().c_str(),
                net.AuthenticationText().c_str(), net.BSSIDText.c_str(), e.ulChCenterFrequency, e.lRssi, e.uLinkQuality,
                e.dot11BssPhyType, e.wlanRateSet.uRateSetLength / 2);
  }
  service->CloseHandle();
  return notified && view.Count() > 0 ? 0 : 1;
}

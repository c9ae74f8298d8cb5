// BSS entries and BSS list blocks for model tests and benchmarks.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/datetime.h"
#include "core/ie/builder.h"
#include "core/model/network_list.h"
#include "core/service/bss_entry.h"
#include "core/service/wlan_records.h"

namespace skimlet::test {

inline WLAN_BSS_ENTRY MakeEntry(uint8_t id, int32_t rssi = -50, uint32_t kHz = 2437000, const std::string& ssid = "",
                                uint16_t capability = 0x0011, uint32_t quality = 80) {
  WLAN_BSS_ENTRY e;
  e.dot11Ssid.uSSIDLength = static_cast<uint32_t>(std::min<size_t>(ssid.size(), 32));
  std::memcpy(e.dot11Ssid.ucSSID.data(), ssid.data(), e.dot11Ssid.uSSIDLength);
  e.dot11Bssid = {0x00, 0x11, 0x22, 0x33, static_cast<uint8_t>(id >> 8), id};
  e.dot11BssType = 1;
  e.lRssi = rssi;
  e.uLinkQuality = quality;
  e.ulChCenterFrequency = kHz;
  e.usCapabilityInformation = capability;
  return e;
}

// The service's BSS list block: 8-byte header, the entries, then their blobs.
inline std::vector<uint8_t> MakeBssList(const std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>>& items) {
  std::vector<WlanBssListItem> list;
  for (const auto& [entry, blob] : items) list.push_back({entry, blob});
  return EncodeBssList(list);
}

// Refreshes List from Items at Time as the service layer does: hold and merge the list, then the statuses.
inline void Refresh(TWLANNetworkList& list, LocalDateTime time,
                    const std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>>& items) {
  list.RefreshTime = time;
  list.SetBssList(MakeBssList(items));
  list.UpdateStatuses(time);
}

}  // namespace skimlet::test

// WLAN_BSS_ENTRY: the service's 360-byte little-endian record of one BSS, followed by its element blob.
// It is also the unit of the snapshot file, so its layout is a file format: every offset is fixed, and
// fields this program never interprets (including the padding) are kept to be written back unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace skimlet {

struct DOT11_SSID {
  uint32_t uSSIDLength = 0;          // 0..32
  std::array<uint8_t, 32> ucSSID{};  // bytes beyond the length are undefined, kept as they came
  bool operator==(const DOT11_SSID&) const = default;
};

struct WLAN_RATE_SET {
  uint32_t uRateSetLength = 0;            // bytes used in usRateSet
  std::array<uint16_t, 126> usRateSet{};  // rates in 500 kbit/s units, bit 15 = basic rate
  bool operator==(const WLAN_RATE_SET&) const = default;
};

struct WLAN_BSS_ENTRY {
  static constexpr size_t kSize = 360;

  DOT11_SSID dot11Ssid;                  // 0
  uint32_t uPhyId = 0;                   // 36
  std::array<uint8_t, 6> dot11Bssid{};   // 40
  std::array<uint8_t, 2> padding46{};    // 46
  uint32_t dot11BssType = 0;             // 48: 1 infrastructure, 2 independent, 3 any
  uint32_t dot11BssPhyType = 0;          // 52
  int32_t lRssi = 0;                     // 56: dBm
  uint32_t uLinkQuality = 0;             // 60: 0..100
  uint8_t bInRegDomain = 0;              // 64
  uint8_t padding65 = 0;                 // 65
  uint16_t usBeaconPeriod = 0;           // 66: time units
  std::array<uint8_t, 4> padding68{};    // 68
  uint64_t ullTimestamp = 0;             // 72
  uint64_t ullHostTimestamp = 0;         // 80
  uint16_t usCapabilityInformation = 0;  // 88: bit 4 Privacy
  std::array<uint8_t, 2> padding90{};    // 90
  uint32_t ulChCenterFrequency = 0;      // 92: kHz
  WLAN_RATE_SET wlanRateSet;             // 96
  uint32_t ulIeOffset = 0;               // 352: from the first byte of the entry
  uint32_t ulIeSize = 0;                 // 356

  // Reads the 360 entry bytes at the start of Bytes; nullopt when there are fewer.
  static std::optional<WLAN_BSS_ENTRY> Decode(std::span<const uint8_t> bytes);
  // Appends the 360 entry bytes to Out.
  void Encode(std::vector<uint8_t>& out) const;

  bool operator==(const WLAN_BSS_ENTRY&) const = default;
};

// An entry together with the blob it points to, as the service's BSS list or a snapshot record holds them.
// The blob is only handed out when it lies completely inside Bytes.
std::optional<std::span<const uint8_t>> ElementBlobOf(const WLAN_BSS_ENTRY& entry, std::span<const uint8_t> bytes);

}  // namespace skimlet

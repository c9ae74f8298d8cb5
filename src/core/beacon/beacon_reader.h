// The BSS entry of a beacon or probe response: what the receiver measured (or the kernel kept of the frame's
// fixed fields) plus what the element blob says. Every source of entries (kernel scan results, captured
// frames, the simulated radio) fills its entries here, so one beacon gives one entry whichever way it came.
//
// Decisions where the sources used to differ:
// - BSS type from the capability's ESS and IBSS bits: ESS 1 (infrastructure, also when both are set), IBSS 2
//   (independent), neither 3 ("any"): a mesh BSS sets neither and is no infrastructure network, so the entry
//   claims no type it cannot back (a connection to it must not be tried as one to an access point).
// - PHY type, the highest the beacon announces: HE capabilities or operation 10; VHT capabilities or
//   operation 8, but not on 2.4 GHz (vendor 256-QAM extensions put VHT elements there, and VHT is a 5 GHz
//   PHY); HT capabilities or operation 7; otherwise OFDM 4 outside 2.4 GHz; on 2.4 GHz (or an unknown band)
//   ERP 6 with an ERP element or an OFDM rate, HR/DSSS 5 with a DSSS rate only, and "any" 0 when the blob
//   lists no rate at all: nothing in it tells which PHY the BSS uses.
// - Rate set: every non-zero byte of Supported Rates then Extended Supported Rates, in 500 kbit/s units with
//   bit 15 for a basic rate, except the BSS membership selectors (IsBssMembershipSelector).
// - Centre frequency: the receiver's frequency; without one the DSSS channel, then the HT operation's primary
//   channel.
// - Signal: without a dBm value from the receiver, kUnknownRssi (link quality 0).
// - Security (WLAN_CONNECTION_ATTRIBUTES): from the RSN element, else the WPA element, as their decoders read
//   them; the strongest key management offered wins (802.1X < PSK < OWE < SAE < 802.1X 192-bit, which is
//   WPA3-Enterprise); the cipher is the first pairwise suite's, the group suite's without one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/service/bss_entry.h"
#include "core/service/wlan_records.h"

namespace skimlet {

// The signal of an entry whose receiver reported none.
inline constexpr int32_t kUnknownRssi = -100;

// What the receiver knows of a beacon or probe response besides its elements.
struct TBeaconReception {
  std::array<uint8_t, 6> Bssid{};
  uint16_t Capability = 0;           // capability information field
  uint16_t BeaconPeriod = 0;         // beacon interval, time units
  uint64_t Timestamp = 0;            // the BSS's timer (TSF) as the frame carried it
  uint64_t HostTimestamp = 0;        // 100 ns units since 1601 of the reception; 0 unknown
  uint32_t FrequencyKHz = 0;         // 0 unknown
  std::optional<int32_t> SignalDbm;  // none: kUnknownRssi
  uint32_t PhyId = 0;                // index of the receiving interface's PHY
  bool InRegDomain = false;          // the receiver knows the channel is allowed where it is
};

// Fills Entry for a beacon whose elements are Elements: every field set, ulIeOffset 360 and ulIeSize the
// blob's size (the layout of a snapshot record). A last element that runs past the blob ends the walk.
void ReadBeacon(std::span<const uint8_t> elements, const TBeaconReception& reception, WLAN_BSS_ENTRY& entry);
inline WLAN_BSS_ENTRY ReadBeacon(std::span<const uint8_t> elements, const TBeaconReception& reception) {
  WLAN_BSS_ENTRY e;
  ReadBeacon(elements, reception, e);
  return e;
}

// The parts of ReadBeacon on their own.
uint32_t BeaconPhyType(std::span<const uint8_t> elements, uint32_t frequencyKHz);
WLAN_RATE_SET BeaconRateSet(std::span<const uint8_t> elements);
uint32_t BssTypeOfCapability(uint16_t capability);

// Authentication and cipher algorithm of an association with the BSS, as the service's connection attributes
// give them, and whether it uses 802.1X.
struct TBeaconSecurity {
  uint32_t Auth = kAuthOpen;
  uint32_t Cipher = kCipherNone;
  bool OneX = false;
};
TBeaconSecurity BeaconSecurity(std::span<const uint8_t> elements, uint16_t capability);

}  // namespace skimlet

// Data rates of the 802.11 PHYs: the rate of one index, stream count and guard interval, the rate lists of
// the HT MCS bitmask and the VHT/HE MCS maps, and the stream counts they announce.
//
// Widths are channel-width codes: 0 = 20 MHz, 1 = 40 MHz, 2 = 80 MHz, 3 = 160 MHz, 4 = 80+80 MHz,
// 5 = 320 MHz (EHT only; the older PHYs count it as 160 MHz); any other code counts as 20 MHz. Rates are in Mbps,
// rounded to one decimal (ties to even).
#pragma once

#include <cstdint>
#include <vector>

namespace skimlet {

// 6, 9, 12, 18, 24, 36, 48, 54 Mbps by index 0..7; 0 for any other index.
double OFDMRate(int index);
// 1, 2, 5.5, 11 Mbps by index 0..3; 0 for any other index.
double DSSSRate(int index);

// A byte of a Supported Rates or Extended Supported Rates element that is a BSS membership selector, not a
// rate: the basic-rate bit set and a value of 121..127 (EHT, HE, SAE hash-to-element only, EPD, GLK, VHT and
// HT PHY). The same byte without the basic bit is an ordinary (if unusual) rate.
constexpr bool IsBssMembershipSelector(uint8_t rateByte) { return rateByte >= 0x80 + 121; }
// A rate byte's rate (low 7 bits, 500 kbit/s units) is one of the DSSS/CCK rates 1, 2, 5.5, 11 Mbps.
constexpr bool IsDSSSRateUnits(uint8_t units) { return units == 2 || units == 4 || units == 11 || units == 22; }
// ... one of the OFDM rates 6, 9, 12, 18, 24, 36, 48, 54 Mbps.
constexpr bool IsOFDMRateUnits(uint8_t units) {
  return units == 12 || units == 18 || units == 24 || units == 36 || units == 48 || units == 72 || units == 96 ||
         units == 108;
}

// HT MCS 0..31 (the MCS index carries the stream count: MCS 8 is MCS 0 with two streams). Width 1 is
// 40 MHz, every other width 20 MHz. 0 for MCS 32 and above.
double HTRate(int index, int width, bool shortGI);
// VHT MCS 0..9 with 1..8 streams; 0 outside.
double VHTRate(int mcs, int width, int streams, bool shortGI);
// HE MCS 0..11 with 1..8 streams, guard-interval index 0 (0.8 us), 1 (1.6 us) or 2 (3.2 us); 0 outside.
double HERate(int mcs, int width, int streams, bool dcm, int giIndex);
// EHT MCS 0..13 (MCS 12 and 13 with 4096-QAM) with 1..16 streams, guard-interval index 0 (0.8 us), 1 (1.6 us)
// or 2 (3.2 us); 0 outside.
double EHTRate(int mcs, int width, int streams, int giIndex);
// The EHT rates of MCS 0 up to HighestMCS with 1 up to Streams streams, those above 1 Mbps.
std::vector<double> EHTRateList(int highestMCS, int streams, int width, int giIndex);

// The rates of every MCS 0..31 whose bit is set in the HT receive MCS bitmask.
std::vector<double> HTRateList(uint32_t mcsBitmask, int width, bool shortGI);
// For each stream count 1..8 that the map supports, the rates of MCS 0 up to the map's highest MCS for it,
// those above 1 Mbps.
std::vector<double> VHTRateList(uint16_t mcsMap, int width, bool shortGI);
std::vector<double> HERateList(uint16_t mcsMap, int width, int giIndex, bool dcm);

// The highest stream count the bitmask or map supports; 1 when it supports none.
int HTStreams(uint32_t mcsBitmask);
int VHTStreams(uint16_t mcsMap);
int HEStreams(uint16_t mcsMap);

}  // namespace skimlet

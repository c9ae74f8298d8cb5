// Channel, band, width, quality, PHY, security-kind, WPS-state and BSS-type values and their names.
#pragma once

#include <cstdint>
#include <string>

namespace skimlet {

// Channel number to centre frequency in kHz (0 when the number is no channel): 1..13, 14, and 34 upwards.
uint32_t ChannelToFrequency(uint32_t channel);
// Centre frequency in kHz to channel number; 0 for frequencies outside the known bands (5.9 GHz and up).
uint32_t FrequencyToChannel(uint32_t kHz);

// Link quality in percent of a signal in dBm: -100 dBm and below 0, -50 dBm and above 100, linear between
// (2 points per dB). Every source of BSS entries (kernel scans, captures, the simulated radio) uses it.
uint32_t LinkQualityFromRssi(int32_t rssiDbm);

// Signal quality class 0..5 of a link quality in percent (0 offline, 5 excellent).
uint8_t QualityClassOf(int64_t linkQuality);
std::string QualityClassName(int qualityClass);

// PHY types in the service's numbering.
enum PhyType : uint8_t {
  kPhyAny = 0, kPhyFHSS = 1, kPhyDSSS = 2, kPhyIRBaseband = 3, kPhyOFDM = 4, kPhyHRDSSS = 5, kPhyERP = 6,
  kPhyHT = 7, kPhyVHT = 8, kPhyDMG = 9, kPhyHE = 10,
};
// The long name (a language text).
std::string PhyTypeName(int phyType);
// The amendment letters ("a", "b", "g", "n", "ac", "ad", "ax"); empty for the types without letters.
std::string PhyTypeLetters(int phyType);

// Channel widths: 0 = 20, 1 = 40, 2 = 80, 3 = 160, 4 = 80+80 MHz.
uint32_t WidthKHz(int width);
std::string WidthName(int width);
// Bands: 0 = 2.4 GHz, 1 = 5 GHz.
std::string BandName(int band);

// Security kinds: 1 Open, 2 WEP, 3 WPA, 4 WPA2, 5 WPA3.
std::string SecurityKindName(int kind);
// WPS states: 0 none, 1 not configured, 2 configured, 3 locked.
std::string WPSStateText(int state);
// BSS types: 1 infrastructure, 2 independent, 3 any.
std::string BssTypeText(uint32_t bssType);

}  // namespace skimlet

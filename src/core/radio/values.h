// Channel, band, width, quality, PHY, security-kind, WPS-state and BSS-type values and their names.
#pragma once

#include <cstdint>
#include <string>

namespace skimlet {

// Bands: 0 = 2.4 GHz, 1 = 5 GHz, 2 = 6 GHz.
enum RadioBand : uint8_t { kBand24GHz = 0, kBand5GHz = 1, kBand6GHz = 2 };
// The band of a centre frequency in kHz: 6 GHz from 5,925 to 7,125 MHz, 5 GHz for the rest above 2.5 GHz.
uint8_t BandOfFrequency(uint32_t kHz);

// Channel number to centre frequency in kHz (0 when the number is no channel): 1..13, 14, and 34 upwards.
uint32_t ChannelToFrequency(uint32_t channel);
// The same in a band's own channel plan: in the 6 GHz band channel 2 is 5,935 MHz and channels 1..233 are
// 5,950 + 5·n MHz; the other bands number as above.
uint32_t ChannelToFrequency(uint32_t channel, int band);
// Centre frequency in kHz to channel number, in the plan of the frequency's band; 0 for frequencies that
// are no channel (between the 5 and 6 GHz bands, above 7,115 MHz).
uint32_t FrequencyToChannel(uint32_t kHz);

// Link quality in percent of a signal in dBm: -100 dBm and below 0, -50 dBm and above 100, linear between
// (2 points per dB). Every source of BSS entries (kernel scans, captures, the simulated radio) uses it.
uint32_t LinkQualityFromRssi(int32_t rssiDbm);

// Signal quality class 0..5 of a link quality in percent (0 offline, 5 excellent).
uint8_t QualityClassOf(int64_t linkQuality);
std::string QualityClassName(int qualityClass);

// PHY types in the service's numbering.
enum PhyType : uint8_t {
  kPhyAny = 0,
  kPhyFHSS = 1,
  kPhyDSSS = 2,
  kPhyIRBaseband = 3,
  kPhyOFDM = 4,
  kPhyHRDSSS = 5,
  kPhyERP = 6,
  kPhyHT = 7,
  kPhyVHT = 8,
  kPhyDMG = 9,
  kPhyHE = 10,
  kPhyEHT = 11,
};
inline constexpr int kPhyTypeLast = kPhyEHT;
// The long name (a language text).
std::string PhyTypeName(int phyType);
// The amendment letters ("a", "b", "g", "n", "ac", "ad", "ax", "be"); empty for the types without letters.
std::string PhyTypeLetters(int phyType);

// Channel widths: 0 = 20, 1 = 40, 2 = 80, 3 = 160, 4 = 80+80, 5 = 320 MHz.
inline constexpr int kWidth320 = 5;
// The two channelizations of 320 MHz in the 6 GHz band: 320 MHz-1 is centred on channels 31, 95 and 159,
// 320 MHz-2 on 63, 127 and 191. 1 or 2 for such a centre channel, 0 for any other.
int Channel320Position(uint32_t centerChannel);
uint32_t WidthKHz(int width);
std::string WidthName(int width);
// "2.4 GHz", "5 GHz", "6 GHz" (with the language's decimal separator and unit).
std::string BandName(int band);

// Security kinds: 1 Open, 2 WEP, 3 WPA, 4 WPA2, 5 WPA3, 6 OWE.
std::string SecurityKindName(int kind);
// WPS states: 0 none, 1 not configured, 2 configured, 3 locked.
std::string WPSStateText(int state);
// BSS types: 1 infrastructure, 2 independent, 3 any.
std::string BssTypeText(uint32_t bssType);

}  // namespace skimlet

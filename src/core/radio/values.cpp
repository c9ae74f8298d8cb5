#include "core/radio/values.h"

#include <cmath>

#include "core/base/numfmt.h"
#include "core/base/translate.h"

namespace skimlet {

uint32_t ChannelToFrequency(uint32_t c) {
  if (c >= 1 && c <= 13) return (5 * c + 2407) * 1000;
  if (c == 14) return 2484000;
  if (c >= 34 && c <= 800000) return (5 * c + 5000) * 1000;  // the cap keeps the result in 32 bits
  return 0;
}

uint8_t BandOfFrequency(uint32_t f) {
  if (f >= 5925000 && f <= 7125000) return kBand6GHz;
  return f > 2500000 ? kBand5GHz : kBand24GHz;
}

uint32_t ChannelToFrequency(uint32_t c, int band) {
  if (band != kBand6GHz) return ChannelToFrequency(c);
  if (c == 2) return 5935000;
  return c >= 1 && c <= 233 ? (5950 + 5 * c) * 1000 : 0;
}

uint32_t FrequencyToChannel(uint32_t f) {
  if (f >= 5925000 && f <= 7125000) {
    if (f == 5935000) return 2;
    return f >= 5955000 && f <= 7115000 ? (f - 5950000) / 5000 : 0;
  }
  if (f > 2400000 && f < 2484000) return (f - 2407000) / 5000;
  if (f >= 2484000 && f < 2495000) return 14;
  if (f > 3000000 && f < 3700000) return (f - 3002500) / 5000;
  if (f > 4900000 && f < 5000000) return (f - 4000000) / 5000;
  if (f > 5000000 && f < 5900000) return (f - 5000000) / 5000;
  return 0;
}

uint32_t LinkQualityFromRssi(int32_t rssi) {
  if (rssi <= -100) return 0;
  if (rssi >= -50) return 100;
  return static_cast<uint32_t>(2 * (rssi + 100));
}

uint8_t QualityClassOf(int64_t q) {
  if (q <= 0) return 0;
  if (q <= 19) return 1;
  if (q <= 39) return 2;
  if (q <= 59) return 3;
  if (q <= 89) return 4;
  return 5;
}

std::string QualityClassName(int qualityClass) {
  static constexpr const char* kKeys[] = {"sDOT11_Quality_Offline",  "sDOT11_Quality_Poor",
                                          "sDOT11_Quality_Fair",     "sDOT11_Quality_Good",
                                          "sDOT11_Quality_VeryGood", "sDOT11_Quality_Excellent"};
  return Translate(qualityClass >= 0 && qualityClass <= 5 ? kKeys[qualityClass] : kKeys[0]);
}

std::string PhyTypeName(int phyType) {
  static constexpr const char* kKeys[] = {
      "sdot11_phy_type_any",  "sdot11_phy_type_fhss",   "sdot11_phy_type_dsss", "sdot11_phy_type_irbaseband",
      "sdot11_phy_type_ofdm", "sdot11_phy_type_hrdsss", "sdot11_phy_type_erp",  "sdot11_phy_type_ht",
      "sdot11_phy_type_vht",  "sdot11_phy_type_dmg",    "sdot11_phy_type_he",   "sdot11_phy_type_eht"};
  if (phyType < 0 || phyType > kPhyTypeLast) return Translate("sUnknownPHYtype");
  return Translate(kKeys[phyType]);
}

std::string PhyTypeLetters(int phyType) {
  static constexpr const char* kLetters[] = {"", "", "", "", "a", "b", "g", "n", "ac", "ad", "ax", "be"};
  if (phyType < 0 || phyType > kPhyTypeLast) return Translate("sUnknownPHYtype");
  return kLetters[phyType];
}

uint32_t WidthKHz(int width) {
  switch (width) {
    case 1: return 40000;
    case 2: return 80000;
    case 3:
    case 4: return 160000;
    case kWidth320: return 320000;
    default: return 20000;
  }
}

int Channel320Position(uint32_t c) {
  if (c < 31 || c > 191 || (c - 31) % 32 != 0) return 0;
  return (c - 31) % 64 == 0 ? 1 : 2;
}

std::string WidthName(int width) {
  if (width == 4) return "80+80 " + Translate("sMHz");
  return std::to_string(static_cast<long>(std::nearbyint(WidthKHz(width) / 1000.0))) + " " + Translate("sMHz");
}

std::string BandName(int band) {
  const double ghz = band == kBand6GHz ? 6.0 : band == kBand5GHz ? 5.0 : 2.4;
  return FloatToText(ghz) + " " + Translate("sGHz");
}

std::string SecurityKindName(int kind) {
  switch (kind) {
    case 1: return Translate("Open");
    case 2: return "WEP";
    case 3: return "WPA";
    case 4: return "WPA2";
    case 5: return "WPA3";
    case 6: return "OWE";
    default: return "Unknown";
  }
}

std::string WPSStateText(int state) {
  switch (state) {
    case 0: return Translate("sNo", "No");
    case 1: return "Not Configured";
    case 2: return "Configured";
    case 3: return "Locked";
    default: return "Unknown";
  }
}

std::string BssTypeText(uint32_t bssType) {
  switch (bssType) {
    case 1: return Translate("sdot11_BSS_type_infrastructure");
    case 2: return Translate("sdot11_BSS_type_independent");
    case 3: return Translate("sdot11_BSS_type_any");
    default: return Translate("sUnknownBSStype");
  }
}

}  // namespace skimlet

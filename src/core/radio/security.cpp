#include "core/radio/security.h"

#include <string_view>

#include "core/base/translate.h"

namespace skimlet {

namespace {

std::string UnknownAlgorithm() { return Translate("sUnknownAlgorithm", "Unknown"); }

std::string_view CipherName(uint8_t type) {
  switch (type) {
    case 0: return "";
    case 1: return "WEP-40";
    case 2: return "TKIP";
    case 4: return "CCMP";
    case 5: return "WEP-104";
    case 6: return "BIP-CMAC-128";
    case 8: return "GCMP";
    case 9: return "GCMP-256";
    case 10: return "CCMP-256";
    case 11: return "BIP-GMAC-128";
    case 12: return "BIP-GMAC-256";
    case 13: return "BIP-CMAC-256";
    default: return {};
  }
}

// Type 5 is 802.1X with SHA-256 key derivation (no fast transition: that is type 3), and 13 is the fast
// transition variant of 12's 802.1X with SHA-384. Types 8 and 9 are the password-authenticated (SAE)
// suites of WPA3-Personal; 18 is opportunistic wireless encryption (Enhanced Open); 24 and 25 the SAE
// suites with group-dependent hash that newer access points offer beside 8.
std::string_view AKMName(uint8_t type) {
  switch (type) {
    case 0: return "";
    case 1: return "EAP";
    case 2: return "PSK";
    case 3: return "FT-EAP";
    case 4: return "FT-PSK";
    case 5: return "EAP-SHA256";
    case 6: return "PSK-SHA256";
    case 7: return "TDLS";
    case 8: return "SAE";
    case 9: return "FT-SAE";
    case 11: return "HMAC-SHA256";
    case 12: return "HMAC-SHA384";
    case 13: return "FT-EAP-SHA384";
    case 18: return "OWE";
    case 24: return "SAE-EXT-KEY";
    case 25: return "FT-SAE-EXT-KEY";
    default: return {};
  }
}

bool KnownCipher(uint8_t type) { return type == 0 || !CipherName(type).empty(); }
bool KnownAKM(uint8_t type) { return type == 0 || !AKMName(type).empty(); }

}  // namespace

std::string CipherSuiteName(uint8_t type) {
  return KnownCipher(type) ? std::string(CipherName(type)) : UnknownAlgorithm();
}

std::string AKMSuiteName(uint8_t type, int version) {
  std::string name = version == 2 ? "WPA2-" : "WPA-";
  if (KnownAKM(type)) name += AKMName(type);
  else name += UnknownAlgorithm();
  return name;
}

}  // namespace skimlet

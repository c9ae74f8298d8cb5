#include "core/beacon/beacon_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/walker.h"
#include "core/radio/rates.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

constexpr uint8_t kEidSSID = 0, kEidRates = 1, kEidDSSS = 3, kEidERP = 42, kEidHTCapabilities = 45, kEidRSN = 48,
                  kEidExtRates = 50, kEidHTOperation = 61, kEidVHTCapabilities = 191, kEidVHTOperation = 192,
                  kEidVendor = 221, kEidExtension = 255;
constexpr uint8_t kExtHECapabilities = 35, kExtHEOperation = 36, kExtEHTOperation = 106, kExtEHTCapabilities = 108;

bool Is24GHzOrUnknown(uint32_t kHz) { return kHz <= 2500000; }

// What each rate byte is, looked up once per byte: a rate (DSSS, OFDM or another), or nothing for the set
// (a zero byte, a membership selector).
enum TRateKind : uint8_t { kNoRate, kOtherRate, kDSSSRate, kOFDMRate };
constexpr std::array<TRateKind, 256> MakeRateKinds() {
  std::array<TRateKind, 256> kinds{};
  for (unsigned b = 0; b < 256; ++b) {
    const uint8_t byte = static_cast<uint8_t>(b), units = byte & 0x7F;
    kinds[b] = units == 0 || IsBssMembershipSelector(byte) ? kNoRate
               : IsDSSSRateUnits(units)                    ? kDSSSRate
               : IsOFDMRateUnits(units)                    ? kOFDMRate
                                                           : kOtherRate;
  }
  return kinds;
}
constexpr std::array<TRateKind, 256> kRateKinds = MakeRateKinds();

// What one walk over the blob collects for the entry.
struct TBlobFacts {
  bool HaveSSID = false;
  bool EHT = false, HE = false, VHT = false, HT = false, ERP = false, OFDMRate = false, DSSSRate = false;
  uint8_t DSSSChannel = 0, HTChannel = 0;
};

// Walks the elements once: SSID, rate set (when RateSet is given) and the marks of the PHY type and channel.
// A last element that runs past the blob ends the walk.
void Walk(std::span<const uint8_t> blob, TBlobFacts& f, DOT11_SSID* ssid, WLAN_RATE_SET* rateSet) {
  uint32_t rates = 0;
  WalkElements(blob, [&](uint8_t id, std::span<const uint8_t> element, size_t) {
    const uint8_t* body = element.data();
    const size_t len = element.size();
    switch (id) {
      case kEidSSID:
        if (!f.HaveSSID) {
          f.HaveSSID = true;
          if (ssid) {
            ssid->uSSIDLength = std::min<uint32_t>(static_cast<uint32_t>(len), 32);  // longer is malformed: 32 bytes
            std::memcpy(ssid->ucSSID.data(), body, ssid->uSSIDLength);
          }
        }
        break;
      case kEidRates:
      case kEidExtRates:
        for (size_t k = 0; k < len; ++k) {
          const uint8_t byte = body[k];
          const TRateKind kind = kRateKinds[byte];
          if (kind == kNoRate) continue;
          f.DSSSRate |= kind == kDSSSRate;
          f.OFDMRate |= kind == kOFDMRate;
          if (rateSet && rates < rateSet->usRateSet.size())
            rateSet->usRateSet[rates++] = static_cast<uint16_t>((byte & 0x7F) | ((byte & 0x80) << 8));
        }
        break;
      case kEidDSSS:
        if (len >= 1 && !f.DSSSChannel) f.DSSSChannel = body[0];
        break;
      case kEidERP: f.ERP = true; break;
      case kEidHTCapabilities: f.HT = true; break;
      case kEidHTOperation:
        f.HT = true;
        if (len >= 1 && !f.HTChannel) f.HTChannel = body[0];
        break;
      case kEidVHTCapabilities:
      case kEidVHTOperation: f.VHT = true; break;
      case kEidExtension:
        if (len >= 1 && (body[0] == kExtHECapabilities || body[0] == kExtHEOperation)) f.HE = true;
        if (len >= 1 && (body[0] == kExtEHTCapabilities || body[0] == kExtEHTOperation)) f.EHT = true;
        break;
      default: break;
    }
  });
  if (rateSet) rateSet->uRateSetLength = rates * 2;
}

uint32_t PhyTypeOf(const TBlobFacts& f, uint32_t kHz) {
  const bool band24 = Is24GHzOrUnknown(kHz);
  if (f.EHT) return kPhyEHT;
  if (f.HE) return kPhyHE;
  if (f.VHT && !band24) return kPhyVHT;
  if (f.HT) return kPhyHT;
  if (!band24) return kPhyOFDM;
  if (f.ERP || f.OFDMRate) return kPhyERP;
  if (f.DSSSRate) return kPhyHRDSSS;
  return kPhyAny;
}

uint32_t FrequencyOf(const TBlobFacts& f, uint32_t kHz) {
  if (kHz == 0 && f.DSSSChannel) kHz = ChannelToFrequency(f.DSSSChannel);
  if (kHz == 0 && f.HTChannel) kHz = ChannelToFrequency(f.HTChannel);
  return kHz;
}

}  // namespace

uint32_t BssTypeOfCapability(uint16_t capability) {
  if (capability & 0x0001) return 1;  // ESS
  if (capability & 0x0002) return 2;  // IBSS
  return 3;
}

void ReadBeacon(std::span<const uint8_t> elements, const TBeaconReception& rx, WLAN_BSS_ENTRY& e) {
  e = WLAN_BSS_ENTRY{};
  TBlobFacts f;
  Walk(elements, f, &e.dot11Ssid, &e.wlanRateSet);
  e.uPhyId = rx.PhyId;
  e.dot11Bssid = rx.Bssid;
  e.dot11BssType = BssTypeOfCapability(rx.Capability);
  e.ulChCenterFrequency = FrequencyOf(f, rx.FrequencyKHz);
  e.dot11BssPhyType = PhyTypeOf(f, e.ulChCenterFrequency);
  e.lRssi = rx.SignalDbm.value_or(kUnknownRssi);
  e.uLinkQuality = LinkQualityFromRssi(e.lRssi);
  e.bInRegDomain = rx.InRegDomain ? 1 : 0;
  e.usBeaconPeriod = rx.BeaconPeriod;
  e.ullTimestamp = rx.Timestamp;
  e.ullHostTimestamp = rx.HostTimestamp;
  e.usCapabilityInformation = rx.Capability;
  e.ulIeOffset = static_cast<uint32_t>(WLAN_BSS_ENTRY::kSize);
  e.ulIeSize = static_cast<uint32_t>(elements.size());
}

uint32_t BeaconPhyType(std::span<const uint8_t> elements, uint32_t frequencyKHz) {
  TBlobFacts f;
  Walk(elements, f, nullptr, nullptr);
  return PhyTypeOf(f, FrequencyOf(f, frequencyKHz));
}

WLAN_RATE_SET BeaconRateSet(std::span<const uint8_t> elements) {
  WLAN_RATE_SET set;
  TBlobFacts f;
  Walk(elements, f, nullptr, &set);
  return set;
}

namespace {

// Key management kinds, weakest first: the strongest one a BSS offers is the one a client would use.
enum class TKeyManagement { None, EAP, PSK, OWE, SAE, EAP192 };

TKeyManagement KeyManagementOf(uint8_t akm) {
  switch (akm) {
    case 1:
    case 3:
    case 5:
    case 11:
    case 22:
    case 23: return TKeyManagement::EAP;  // 802.1X, FT, SHA-256, Suite B, FILS
    case 2:
    case 4:
    case 6:
    case 19:
    case 20: return TKeyManagement::PSK;  // PSK, FT, SHA-256, SHA-384
    case 18: return TKeyManagement::OWE;
    case 8:
    case 9:
    case 24:
    case 25: return TKeyManagement::SAE;  // SAE, FT-SAE, their EXT-KEY forms
    case 12:
    case 13: return TKeyManagement::EAP192;  // 802.1X 192-bit (Suite B), its FT form
    default: return TKeyManagement::None;
  }
}

uint32_t CipherOf(uint8_t suite) {
  switch (suite) {
    case 1: return kCipherWEP40;
    case 2: return kCipherTKIP;
    case 5: return kCipherWEP104;
    case 8:
    case 9: return kCipherGCMP;
    default: return kCipherCCMP;
  }
}

// Authentication and cipher from the suites of an RSN element (Rsn true) or a WPA element as their decoders
// read them.
TBeaconSecurity FromSuites(bool rsn, uint8_t group, const TByteDynamicArray& pairwise, const TByteDynamicArray& akms) {
  TKeyManagement best = TKeyManagement::None;
  for (uint8_t a : akms) {
    TKeyManagement k = KeyManagementOf(a);
    if (!rsn && k != TKeyManagement::EAP && k != TKeyManagement::PSK) continue;  // WPA knows only these two
    best = std::max(best, k);
  }
  if (best == TKeyManagement::None) best = TKeyManagement::PSK;  // no (known) AKM suite: the default, PSK
  TBeaconSecurity s;
  s.OneX = best == TKeyManagement::EAP || best == TKeyManagement::EAP192;
  switch (best) {
    case TKeyManagement::EAP: s.Auth = rsn ? kAuthRSNA : kAuthWPA; break;
    case TKeyManagement::OWE: s.Auth = kAuthOWE; break;
    case TKeyManagement::SAE: s.Auth = kAuthWPA3SAE; break;
    case TKeyManagement::EAP192: s.Auth = kAuthWPA3; break;  // WPA3-Enterprise 192-bit
    default: s.Auth = rsn ? kAuthRSNAPSK : kAuthWPAPSK; break;
  }
  // The first pairwise suite; suite 0 ("use the group cipher") and an empty list stand for the group suite.
  uint8_t cipher = pairwise.empty() || pairwise.front() == 0 ? group : pairwise.front();
  s.Cipher = CipherOf(cipher);
  return s;
}

}  // namespace

TBeaconSecurity BeaconSecurity(std::span<const uint8_t> elements, uint16_t capability) {
  std::span<const uint8_t> rsn, wpa;
  bool haveRsn = false, haveWpa = false;
  WalkElements(elements, [&](uint8_t id, std::span<const uint8_t> body, size_t) {
    // An RSN element needs its version and group suite; the WPA element its OUI and type besides.
    if (id == kEidRSN && !haveRsn && body.size() >= 6) {
      rsn = body;
      haveRsn = true;
    } else if (id == kEidVendor && !haveWpa && body.size() >= 10 && body[0] == 0x00 && body[1] == 0x50 &&
               body[2] == 0xF2 && body[3] == 1) {
      wpa = body;
      haveWpa = true;
    }
  });
  uint16_t version = 0;
  uint8_t group = 0;
  TByteDynamicArray pairwise, akms;
  if (haveRsn) {
    suites::Parse(rsn, 0, suites::kRSNRules, version, group, pairwise, akms);
    return FromSuites(true, group, pairwise, akms);
  }
  if (haveWpa) {
    suites::Parse(wpa, 4, suites::kWPARules, version, group, pairwise, akms);
    return FromSuites(false, group, pairwise, akms);
  }
  TBeaconSecurity s;
  s.Cipher = (capability & 0x0010) ? kCipherWEP : kCipherNone;
  return s;
}

}  // namespace skimlet

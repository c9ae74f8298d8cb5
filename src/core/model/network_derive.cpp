// Values derived from a network's entry and elements: WPS, channel and width, PHY types, rates, streams,
// achievable rate and security kinds.
//
// Each step first resets the fields it owns, so running it again on the same elements gives the same result.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <array>

#include "core/base/format.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/elements/eid003_dsss.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/eid061_ht_operation.h"
#include "core/ie/elements/eid191_vht_capabilities.h"
#include "core/ie/elements/eid192_vht_operation.h"
#include "core/ie/elements/ext035_he_capabilities.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "core/ie/elements/ext106_eht_operation.h"
#include "core/ie/elements/ext108_eht_capabilities.h"
#include "core/ie/elements/vnd_0050f2_04_wps.h"
#include "core/model/network.h"
#include "core/radio/rates.h"
#include "core/radio/values.h"
#include "core/settings/options.h"

namespace skimlet {

namespace {

// Sorts Rates and keeps one of every run of values less than 0.1 apart. Every rate carries one decimal at most
// (PHY rates are rounded to 0.1 Mbps, legacy rates come in 0.5 steps), so such a run is one rate.
void UniteSorted(TDoubleDynamicArray& rates) {
  constexpr double kSame = 0.1 - 1e-6;
  rates.erase(std::unique(rates.begin(), rates.end(), [](double kept, double v) { return v - kept < kSame; }),
              rates.end());
}

void SortAndUnite(TDoubleDynamicArray& rates) {
  std::sort(rates.begin(), rates.end());
  UniteSorted(rates);
}

// A dense site holds hundreds of access points of a few models: the same MCS map, width and guard interval
// give the same rate list. Lists are computed once per key (on the window thread that derives networks).
template <class Compute>
const TDoubleDynamicArray& CachedRateList(uint64_t key, Compute compute) {
  // A small direct-mapped cache: a site's few configurations stay in their slots; a collision recomputes.
  struct Slot {
    uint64_t Key = ~uint64_t{0};
    TDoubleDynamicArray Rates;
  };
  thread_local std::array<Slot, 64> cache;
  Slot& slot = cache[(key * 0x9E3779B97F4A7C15ull) >> 58];
  if (slot.Key != key) {
    // Kept sorted and without repeats, ready to be merged into a network's rates.
    slot.Rates = compute();
    SortAndUnite(slot.Rates);
    slot.Key = key;
  }
  return slot.Rates;
}

const TDoubleDynamicArray& HTRates(uint32_t mask, int width, bool shortGI) {
  uint64_t key = uint64_t{mask} << 16 | uint64_t(width & 0xFF) << 8 | (shortGI ? 1 : 0) | uint64_t{1} << 60;
  return CachedRateList(key, [&] { return HTRateList(mask, width, shortGI); });
}

const TDoubleDynamicArray& VHTRates(uint16_t map, int width, bool shortGI) {
  uint64_t key = uint64_t{map} << 16 | uint64_t(width & 0xFF) << 8 | (shortGI ? 1 : 0) | uint64_t{2} << 60;
  return CachedRateList(key, [&] { return VHTRateList(map, width, shortGI); });
}

const TDoubleDynamicArray& EHTRates(int highestMCS, int streams, int width, int g) {
  uint64_t key = uint64_t(highestMCS & 0xFF) << 24 | uint64_t(streams & 0xFF) << 16 | uint64_t(width & 0xFF) << 8 |
                 uint64_t(g & 0xFF) | uint64_t{4} << 60;
  return CachedRateList(key, [&] { return EHTRateList(highestMCS, streams, width, g); });
}

const TDoubleDynamicArray& HERates(uint16_t map, int width, int g, bool dcm) {
  uint64_t key =
      uint64_t{map} << 16 | uint64_t(width & 0xFF) << 8 | uint64_t(g & 0x7F) << 1 | (dcm ? 1 : 0) | uint64_t{3} << 60;
  return CachedRateList(key, [&] { return HERateList(map, width, g, dcm); });
}

constexpr uint8_t kSupportedRatesID = 1;
constexpr uint8_t kDSSSID = 3;
constexpr uint8_t kHTCapabilitiesID = 45;
constexpr uint8_t kExtSupportedRatesID = 50;
constexpr uint8_t kHTOperationID = 61;
constexpr uint8_t kVHTCapabilitiesID = 191;
constexpr uint8_t kVHTOperationID = 192;
constexpr uint8_t kHECapabilitiesExt = 35;
constexpr uint8_t kHEOperationExt = 36;
constexpr uint8_t kEHTOperationExt = 106;
constexpr uint8_t kEHTCapabilitiesExt = 108;
constexpr uint8_t kRSNID = 48;
constexpr uint8_t kMobilityDomainID = 54;
constexpr uint8_t kRMEnabledID = 70;
constexpr uint8_t kExtCapabilitiesID = 127;

// Rate index by SNR 0..50 dB (rows) for: DSSS/CCK, OFDM, HT 20 MHz, HT 40 MHz, VHT/HE 20, 40, 80 and 160 MHz.
// -1: no rate works at that SNR. From 40 dB on every row equals the last one.
constexpr int8_t kSNRTable[41][8] = {
    {-1, -1, -1, -1, -1, -1, -1, -1},  // 0
    {-1, -1, -1, -1, -1, -1, -1, -1},  // 1
    {-1, 0, 0, -1, 0, -1, -1, -1},     // 2
    {-1, 0, 0, -1, 0, -1, -1, -1},     // 3
    {0, 1, 0, -1, 0, -1, -1, -1},      // 4
    {0, 2, 1, 0, 1, 0, -1, -1},        // 5
    {0, 2, 1, 0, 1, 0, -1, -1},        // 6
    {1, 2, 1, 0, 1, 0, -1, -1},        // 7
    {1, 2, 1, 1, 1, 1, 0, -1},         // 8
    {1, 3, 2, 1, 2, 1, 0, -1},         // 9
    {1, 3, 2, 1, 2, 1, 0, -1},         // 10
    {2, 4, 3, 1, 3, 1, 1, 0},          // 11
    {2, 4, 3, 2, 3, 2, 1, 0},          // 12
    {2, 4, 3, 2, 3, 2, 1, 0},          // 13
    {2, 4, 3, 3, 3, 3, 1, 1},          // 14
    {2, 5, 4, 3, 4, 3, 2, 1},          // 15
    {3, 5, 4, 3, 4, 3, 2, 1},          // 16
    {3, 5, 4, 3, 4, 3, 3, 1},          // 17
    {3, 6, 5, 4, 5, 4, 3, 2},          // 18
    {3, 6, 5, 4, 5, 4, 3, 2},          // 19
    {3, 7, 6, 4, 6, 4, 3, 3},          // 20
    {3, 7, 6, 5, 6, 5, 4, 3},          // 21
    {3, 7, 6, 5, 6, 5, 4, 3},          // 22
    {3, 7, 6, 6, 6, 6, 4, 3},          // 23
    {3, 7, 6, 6, 6, 6, 5, 4},          // 24
    {3, 7, 7, 6, 7, 6, 5, 4},          // 25
    {3, 7, 7, 6, 7, 6, 6, 4},          // 26
    {3, 7, 7, 6, 7, 6, 6, 5},          // 27
    {3, 7, 7, 7, 7, 7, 6, 5},          // 28
    {3, 7, 7, 7, 8, 7, 6, 6},          // 29
    {3, 7, 7, 7, 8, 7, 6, 6},          // 30
    {3, 7, 7, 7, 9, 7, 7, 6},          // 31
    {3, 7, 7, 7, 9, 8, 7, 6},          // 32
    {3, 7, 7, 7, 9, 8, 7, 6},          // 33
    {3, 7, 7, 7, 9, 9, 7, 7},          // 34
    {3, 7, 7, 7, 9, 9, 8, 7},          // 35
    {3, 7, 7, 7, 9, 9, 8, 7},          // 36
    {3, 7, 7, 7, 9, 9, 9, 7},          // 37
    {3, 7, 7, 7, 9, 9, 9, 8},          // 38
    {3, 7, 7, 7, 9, 9, 9, 8},          // 39
    {3, 7, 7, 7, 9, 9, 9, 9},          // 40 to 50
};

// The rate index for an SNR in dB (clamped to 0..50) and a table column 1..8.
int SNRRateIndex(int snr, int column) {
  snr = std::clamp(snr, 0, 50);
  return kSNRTable[std::min(snr, 40)][column - 1];
}

std::string NibbleVersion(uint8_t v) { return Format("%d.%d", {v >> 4, v & 0x0F}); }

uint32_t Distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

}  // namespace

void TWLANNetwork::DeriveWPS() {
  WPSState = 0;
  WPSVersion.clear();
  DeviceName.clear();
  DeviceModelName.clear();
  DeviceModelNumber.clear();
  DeviceManufacturer.clear();
  for (const auto& item : Elements.Items) {
    const auto* vendor = item->AsVendor();
    if (!vendor || vendor->OUI != 0x0050F2 || vendor->Subtype != 4) continue;
    const auto* wps = vendor->As<TWPSElement>();
    if (!wps) continue;
    if (wps->WPSState != 0) WPSState = wps->WPSState;
    if (wps->APSetupLocked) WPSState = 3;
    if (wps->Version2 != 0) WPSVersion = NibbleVersion(wps->Version2);
    else if (WPSVersion.empty()) WPSVersion = NibbleVersion(wps->Version);
    if (!wps->DeviceName.empty()) DeviceName = wps->DeviceName;
    if (!wps->ModelName.empty()) DeviceModelName = wps->ModelName;
    if (!wps->ModelNumber.empty()) DeviceModelNumber = wps->ModelNumber;
    if (!wps->Manufacturer.empty()) DeviceManufacturer = wps->Manufacturer;
  }
}

void TWLANNetwork::ApplyOperation(int type, uint32_t seg0, uint32_t seg1) {
  if (type == 0) return;
  CenterChannel0 = seg0;
  CenterChannel1 = seg1;
  switch (type) {
    case 1:
      if (seg1 == 0) ChannelWidth = 2;
      else if (Distance(seg0, seg1) == 8) ChannelWidth = 3;
      else if (Distance(seg0, seg1) > 16) ChannelWidth = 4;
      break;
    case 2: ChannelWidth = 3; break;
    case 3: ChannelWidth = 4; break;
    default: break;
  }
}

void TWLANNetwork::DeriveChannelAndWidth() {
  Channel = FrequencyToChannel(CenterFrequency);
  ChannelWidth = 0;
  CenterChannel0 = CenterChannel1 = SecondaryChannel = 0;
  ShortGI20 = ShortGI40 = ShortGI80 = ShortGI160 = false;

  const uint32_t heard = Channel;
  const auto* dsss = Elements.Find<TDSSSParameterSetElement>(kDSSSID);
  if (dsss) Channel = dsss->CurrentChannel;
  if (const auto* op = Elements.Find<THTOperationElement>(kHTOperationID)) {
    // The HT primary channel, unless the DS channel of the same frame says otherwise: then the channel the
    // frame was heard on when it is one of the two, else the DS channel.
    const auto primary = static_cast<uint32_t>(op->PrimaryChannel);
    if (!dsss || primary == dsss->CurrentChannel) Channel = primary;
    else if (heard != 0 && (heard == primary || heard == dsss->CurrentChannel)) Channel = heard;
    ChannelWidth = op->Only20MHz ? 0 : 1;
    if (op->SecondaryChannelOffset == 1) SecondaryChannel = Channel + 4;
    else if (op->SecondaryChannelOffset == 3) SecondaryChannel = Channel >= 4 ? Channel - 4 : 0;
  }
  if (const auto* cap = Elements.Find<THTCapabilitiesElement>(kHTCapabilitiesID)) {
    ShortGI20 = cap->ShortGI20;
    ShortGI40 = cap->ShortGI40;
  }
  if (const auto* op = Elements.Find<TVHTOperationElement>(kVHTOperationID))
    ApplyOperation(op->ChannelWidth, op->CenterSegment0, op->CenterSegment1);
  if (const auto* cap = Elements.Find<TVHTCapabilitiesElement>(kVHTCapabilitiesID)) {
    ShortGI80 = cap->ShortGI80;
    ShortGI160 = cap->ShortGI160;
  }
  if (const auto* op = Elements.FindExtension<THEOperationExtensionsInformationElement>(kHEOperationExt))
    if (op->VHTInfoPresent) ApplyOperation(op->ChannelWidth, op->CenterSegment0, op->CenterSegment1);
  if (const auto* he = Elements.FindExtension<THECapabilitiesExtensionsInformationElement>(kHECapabilitiesExt)) {
    if (Band == 0) {
      ChannelWidth = he->Width40In24G && SecondaryChannel > 0 ? 1 : 0;
    } else if (Band == 1) {
      const uint32_t d = Distance(CenterChannel0, CenterChannel1);
      if (he->Width80p80In5G && CenterChannel1 > 0 && d > 16) ChannelWidth = 4;
      else if (he->Width160In5G && CenterChannel1 > 0 && d == 8) ChannelWidth = 3;
      else if (he->Width40And80In5G) ChannelWidth = CenterChannel0 > 0 ? 2 : 1;
    }
  }

  if (Band == kBand6GHz) {
    Derive6GHzChannel();
    return;
  }

  // A width is kept only when the channels that make it up are known.
  const bool bothCentres = CenterChannel0 != 0 && CenterChannel1 != 0;
  const uint32_t d = Distance(CenterChannel0, CenterChannel1);
  if (ChannelWidth == 4 && !(bothCentres && d > 16)) ChannelWidth = 3;
  if (ChannelWidth == 3 && !(bothCentres && d <= 16)) ChannelWidth = 2;
  if (ChannelWidth == 2 && CenterChannel0 == 0) ChannelWidth = 1;
  if (ChannelWidth == 1 && !(SecondaryChannel != 0 && Distance(Channel, SecondaryChannel) == 4)) ChannelWidth = 0;
}

void TWLANNetwork::Derive6GHzChannel() {
  // The 6 GHz band has no HT or VHT operation: the HE operation's 6 GHz information gives the primary
  // channel, the width and its centres, and the EHT operation a wider channel. What the access point
  // announces wins over the frequency the frame was heard on.
  ChannelWidth = 0;
  CenterChannel0 = CenterChannel1 = SecondaryChannel = 0;
  const auto* he = Elements.FindExtension<THEOperationExtensionsInformationElement>(kHEOperationExt);
  if (he && he->Has6GHzInfo) {
    if (he->PrimaryChannel6GHz != 0) Channel = he->PrimaryChannel6GHz;
    const uint32_t seg0 = he->CenterSegment0_6GHz, seg1 = he->CenterSegment1_6GHz;
    switch (he->ChannelWidth6GHz) {
      case 1:
      case 2:
        if (seg0 != 0) {
          ChannelWidth = he->ChannelWidth6GHz;
          CenterChannel0 = seg0;
        }
        break;
      case 3:
        if (seg0 != 0 && seg1 != 0 && Distance(seg0, seg1) == 8) ChannelWidth = 3;
        else if (seg0 != 0 && seg1 != 0 && Distance(seg0, seg1) > 16) ChannelWidth = 4;
        else if (seg0 != 0) ChannelWidth = 2;
        CenterChannel0 = seg0;
        if (ChannelWidth >= 3) CenterChannel1 = seg1;
        break;
      default: break;
    }
  }
  // EHT operation: CCFS0 is the centre of the 160 MHz half that holds the primary channel, CCFS1 the centre
  // of the 320 MHz channel; for 160 MHz CCFS1 is the channel's centre.
  const auto* eht = Elements.FindExtension<TEHTOperationExtensionsInformationElement>(kEHTOperationExt);
  if (eht && eht->HasOperationInfo) {
    const uint32_t seg0 = eht->CenterSegment0, seg1 = eht->CenterSegment1;
    if (eht->ChannelWidth == 4 && Channel320Position(seg1) != 0 && Distance(seg0, seg1) == 16) {
      ChannelWidth = kWidth320;
      CenterChannel0 = seg0;
      CenterChannel1 = seg1;
    } else if (eht->ChannelWidth >= 3 && ChannelWidth < 3 && seg1 != 0 && Distance(seg0, seg1) == 8) {
      ChannelWidth = 3;
      CenterChannel0 = seg0;
      CenterChannel1 = seg1;
    }
  }
}

void TWLANNetwork::DerivePhyTypes() {
  PhyTypes = {};
  const TSupportedRatesElementBase* rates = Elements.Find<TSupportedRatesElement>(kSupportedRatesID);
  const TSupportedRatesElementBase* extRates = Elements.Find<TExtSupportedRatesElement>(kExtSupportedRatesID);
  const bool ht = Elements.FindElement(kHTCapabilitiesID) || Elements.FindElement(kHTOperationID);
  const bool vht = Elements.FindElement(kVHTCapabilitiesID) || Elements.FindElement(kVHTOperationID);
  bool he = false, eht = false;
  for (const auto& item : Elements.Items) {
    if (item->ID != 255) continue;
    const auto* x = item->AsExtension();
    if (!x) continue;
    he |= x->ExtensionID == kHECapabilitiesExt || x->ExtensionID == kHEOperationExt;
    eht |= x->ExtensionID == kEHTCapabilitiesExt || x->ExtensionID == kEHTOperationExt;
  }
  if (Band != kBand24GHz) {
    // 802.11a has no place on 6 GHz: its OFDM rates are the HE PHY's there.
    if (Band != kBand6GHz && ((rates && rates->HasOFDMRates()) || (extRates && extRates->HasOFDMRates())))
      PhyTypes.Add(kPhyOFDM);
    if (ht) PhyTypes.Add(kPhyHT);
    if (vht) PhyTypes.Add(kPhyVHT);
  } else {
    for (const auto* r : {rates, extRates}) {
      if (!r) continue;
      if (r->HasDSSSRates()) PhyTypes.Add(kPhyHRDSSS);
      if (r->HasOFDMRates()) PhyTypes.Add(kPhyERP);
    }
    if (ht) PhyTypes.Add(kPhyHT);
  }
  if (he) PhyTypes.Add(kPhyHE);
  if (eht) PhyTypes.Add(kPhyEHT);
}

void TWLANNetwork::MergeRates(const TDoubleDynamicArray& rates) {
  // Rates is kept sorted: merging a sorted list is linear. Values less than 0.1 apart are one rate (see
  // SortAndUnite), so the union of the lists is what adding them one by one with that test gives.
  thread_local TDoubleDynamicArray merged, sorted;
  const TDoubleDynamicArray* in = &rates;
  if (!std::is_sorted(rates.begin(), rates.end())) {
    sorted = rates;
    std::sort(sorted.begin(), sorted.end());
    in = &sorted;
  }
  auto positive = std::upper_bound(in->begin(), in->end(), 0.0);
  merged.clear();
  std::merge(Rates.begin(), Rates.end(), positive, in->end(), std::back_inserter(merged));
  Rates.swap(merged);
}

void TWLANNetwork::DeriveRates() {
  Rates.clear();
  TxStreams = RxStreams = 1;
  MinRate = MaxRate = 0;

  if (const auto* r = Elements.Find<TSupportedRatesElement>(kSupportedRatesID)) MergeRates(r->Rates);
  if (const auto* r = Elements.Find<TExtSupportedRatesElement>(kExtSupportedRatesID)) MergeRates(r->Rates);
  if (const auto* ht = Elements.Find<THTCapabilitiesElement>(kHTCapabilitiesID)) {
    if (ht->SupportedChannelWidth40) MergeRates(HTRates(ht->RxMCSBitmask, 1, ht->ShortGI40));
    else MergeRates(HTRates(ht->RxMCSBitmask, 0, ht->ShortGI20));
    TxStreams = RxStreams = HTStreams(ht->RxMCSBitmask);
  }
  if (const auto* vht = Elements.Find<TVHTCapabilitiesElement>(kVHTCapabilitiesID)) {
    TxStreams = VHTStreams(vht->TxVHTMCSMap);
    RxStreams = VHTStreams(vht->RxVHTMCSMap);
    bool shortGI;
    switch (ChannelWidth) {
      case 1: shortGI = ShortGI40; break;
      case 2: shortGI = vht->ShortGI80; break;
      case 3:
      case 4: shortGI = vht->ShortGI160; break;
      default: shortGI = ShortGI20; break;
    }
    MergeRates(VHTRates(vht->RxVHTMCSMap, ChannelWidth, shortGI));
    MergeRates(VHTRates(vht->TxVHTMCSMap, ChannelWidth, shortGI));
  }
  if (const auto* he = Elements.FindExtension<THECapabilitiesExtensionsInformationElement>(kHECapabilitiesExt)) {
    uint16_t rx = he->RxHEMCSMap80, tx = he->TxHEMCSMap80;
    if (ChannelWidth == 3 || ChannelWidth == kWidth320) rx = he->RxHEMCSMap160, tx = he->TxHEMCSMap160;
    else if (ChannelWidth == 4) rx = he->RxHEMCSMap80p80, tx = he->TxHEMCSMap80p80;
    TxStreams = HEStreams(tx);
    RxStreams = HEStreams(rx);
    const int g = GIIndex();
    MergeRates(HERates(rx, ChannelWidth, g, false));
    MergeRates(HERates(tx, ChannelWidth, g, false));
  }
  // DerivePhyTypes ran first: only an EHT network is looked through for EHT capabilities.
  const TEHTCapabilitiesExtensionsInformationElement* eht =
      PhyTypes.Contains(kPhyEHT)
          ? Elements.FindExtension<TEHTCapabilitiesExtensionsInformationElement>(kEHTCapabilitiesExt)
          : nullptr;
  if (eht) {
    // The map of the current width; a 20 MHz-only station has one map for all.
    uint8_t nss = eht->MaxNSS20Only != 0 ? eht->MaxNSS20Only : eht->MaxNSS80;
    if (ChannelWidth == kWidth320 && eht->MaxNSS320 != 0) nss = eht->MaxNSS320;
    else if ((ChannelWidth == 3 || ChannelWidth == 4 || ChannelWidth == kWidth320) && eht->MaxNSS160 != 0)
      nss = eht->MaxNSS160;
    if (nss > 0 && eht->MaxMCS >= 0) {
      TxStreams = RxStreams = nss;
      MergeRates(EHTRates(eht->MaxMCS, nss, ChannelWidth, GIIndex()));
    }
  }
  // The merges kept Rates sorted; one rate reached by two PHYs stands once.
  UniteSorted(Rates);
  if (!Rates.empty()) {
    MinRate = Rates.front();
    MaxRate = Rates.back();
  }
  AchievableRate = ComputeAchievableRate();
}

void TWLANNetwork::DeriveSecurityKinds() {
  SecurityKinds = {};
  if (!Privacy) {
    SecurityKinds.Add(kSecurityOpen);
  } else if (WPA.Present || RSN.Present) {
    if (WPA.Present) SecurityKinds.Add(kSecurityWPA);
    if (RSN.Present) {
      // The RSN element's key management suites tell WPA2 (PSK, 802.1X and their SHA-256 and fast
      // transition forms), WPA3 (SAE, SAE with group-dependent hash, the 192-bit 802.1X suites) and
      // opportunistic wireless encryption apart; an element with none of them known reads as WPA2.
      bool wpa2 = false, wpa3 = false, owe = false;
      for (uint8_t akm : RSN.AKMSuites) {
        switch (akm) {
          case 1:
          case 2:
          case 3:
          case 4:
          case 5:
          case 6:
          case 11: wpa2 = true; break;
          case 8:
          case 9:
          case 12:
          case 13:
          case 24:
          case 25: wpa3 = true; break;
          case 18: owe = true; break;
          default: break;
        }
      }
      if (wpa2 || !(wpa3 || owe)) SecurityKinds.Add(kSecurityWPA2);
      if (wpa3) SecurityKinds.Add(kSecurityWPA3);
      if (owe) SecurityKinds.Add(kSecurityOWE);
    }
  } else {
    SecurityKinds.Add(kSecurityWEP);
  }
}

void TWLANNetwork::DeriveProtectionAndRoaming() {
  PMF = kPMFNo;
  Roaming = 0;
  // One pass over the elements (a refresh derives every network of a dense site); the first element of an
  // ID counts, as Find gives it.
  bool rsnSeen = false, rmSeen = false, extSeen = false;
  for (const auto& item : Elements.Items) {
    const Bytes d = item->Data;
    switch (item->ID) {
      case kRSNID: {
        if (rsnSeen) break;
        rsnSeen = true;
        // Bit 6 of the RSN capabilities is management frame protection required, bit 7 capable.
        const auto* rsn = item->As<TRSNElement>();
        if (rsn && rsn->Capabilities) {
          if (*rsn->Capabilities & 0x0040) PMF = kPMFRequired;
          else if (*rsn->Capabilities & 0x0080) PMF = kPMFCapable;
        }
        break;
      }
      case kRMEnabledID:  // bit 1: neighbour report
        if (!rmSeen && !d.empty() && (d[0] & 0x02)) Roaming |= kRoaming11k;
        rmSeen = true;
        break;
      case kExtCapabilitiesID:  // bit 19: BSS transition
        if (!extSeen && d.size() > 2 && (d[2] & 0x08)) Roaming |= kRoaming11v;
        extSeen = true;
        break;
      case kMobilityDomainID: Roaming |= kRoaming11r; break;
      default: break;
    }
  }
}

int TWLANNetwork::GIIndex() const {
  bool shortGI;
  switch (ChannelWidth) {
    case 0: shortGI = ShortGI20; break;
    case 1: shortGI = ShortGI40; break;
    case 2: shortGI = ShortGI80; break;
    case 3:
    case 4:
    case kWidth320: shortGI = ShortGI160; break;
    default: return 1;
  }
  return shortGI ? 0 : 1;
}

double TWLANNetwork::ComputeAchievableRate() const {
  if (!Active) return 0;
  const TProgramOptions& options = Options();
  const int snr = static_cast<int>(std::clamp<int64_t>(int64_t{RSSI} - options.DefaultNoiseLevel, 0, 50));
  const int p = GetHighestPhyType();
  int column;
  switch (p) {
    case kPhyHRDSSS: column = 1; break;
    case kPhyHT: column = ChannelWidth == 0 ? 3 : 4; break;
    case kPhyVHT:
    case kPhyHE:
    case kPhyEHT:
      switch (ChannelWidth) {
        case 1: column = 6; break;
        case 2: column = 7; break;
        case 3:
        case 4:
        case kWidth320: column = 8; break;
        default: column = 5; break;
      }
      break;
    default: column = 2; break;
  }
  int e = SNRRateIndex(snr, column);
  if (e < 0) return 0;

  int streams;
  if (options.CalculateAchivableRateForAP || options.DefaultTxStreams > TxStreams ||
      options.DefaultRxStreams > RxStreams)
    streams = std::max(TxStreams, RxStreams);
  else streams = std::max(options.DefaultTxStreams, options.DefaultRxStreams);

  switch (p) {
    case kPhyOFDM:
    case kPhyERP: return OFDMRate(e);
    case kPhyHRDSSS: return DSSSRate(e);
    case kPhyHT:
      if (streams < 1 || streams > 4) return 0;
      return HTRate(e + (streams - 1) * 8, ChannelWidth, ChannelWidth == 1 ? ShortGI40 : ShortGI20);
    case kPhyVHT: {
      bool shortGI;
      switch (ChannelWidth) {
        case 1: shortGI = ShortGI40; break;
        case 2: shortGI = ShortGI80; break;
        case 3:
        case 4: shortGI = ShortGI160; break;
        default: shortGI = ShortGI20; break;
      }
      return VHTRate(e, ChannelWidth, streams, shortGI);
    }
    case kPhyHE: {
      // The table is made for MCS 0..9; HE adds MCS 10 and 11, so the index is stretched to 0..11.
      const int mcs = static_cast<int>(std::nearbyint((e + 1) / 10.0 * 12.0 - 1.0));
      return HERate(mcs, ChannelWidth, streams, false, GIIndex());
    }
    case kPhyEHT: {
      // ... and for EHT to 0..13.
      const int mcs = static_cast<int>(std::nearbyint((e + 1) / 10.0 * 14.0 - 1.0));
      return EHTRate(mcs, ChannelWidth, streams, GIIndex());
    }
    default: return 0;
  }
}

uint32_t TWLANNetwork::GetWidthKHz() const { return WidthKHz(ChannelWidth); }

int TWLANNetwork::GetHighestPhyType() const {
  for (int p = 15; p >= 0; --p)
    if (PhyTypes.Contains(p)) return p;
  return 0;
}

}  // namespace skimlet

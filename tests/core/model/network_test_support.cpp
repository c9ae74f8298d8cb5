#include "network_test_support.h"

#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/vnd_0050f2_01_wpa.h"
#include "core/radio/values.h"
#include "core/settings/options.h"

namespace skimlet {

namespace testing {

std::optional<std::string> EnglishUnits::Lookup(std::string_view key) const {
  static const std::map<std::string, std::string, std::less<>> kTexts = {
      {"sGHz", "GHz"}, {"sMHz", "MHz"}, {"sHiddenNetwork", "<Hidden network>"}, {"sNo", "No"}};
  auto it = kTexts.find(key);
  if (it == kTexts.end()) return std::nullopt;
  return it->second;
}

std::vector<uint8_t> HTCapabilities(bool width40, bool shortGI20, bool shortGI40, uint32_t rxMCSBitmask) {
  std::vector<uint8_t> b;
  PutUInt16LE(b, static_cast<uint16_t>((width40 ? 0x02 : 0) | (shortGI20 ? 0x20 : 0) | (shortGI40 ? 0x40 : 0)));
  b.push_back(0x17);  // A-MPDU parameters
  PutUInt32LE(b, rxMCSBitmask);
  b.resize(b.size() + 12, 0);  // rest of the MCS set
  b.resize(b.size() + 7, 0);   // extended capabilities, beamforming, antenna selection
  return b;
}

std::vector<uint8_t> HTOperation(uint8_t primary, uint8_t secondaryOffset, bool anyWidth) {
  std::vector<uint8_t> b = {primary, static_cast<uint8_t>(secondaryOffset | (anyWidth ? 0x04 : 0))};
  b.resize(22, 0);
  return b;
}

std::vector<uint8_t> VHTCapabilities(bool shortGI80, bool shortGI160, uint16_t rxMap, uint16_t txMap) {
  std::vector<uint8_t> b;
  PutUInt32LE(b, (shortGI80 ? 0x20u : 0u) | (shortGI160 ? 0x40u : 0u));
  PutUInt16LE(b, rxMap);
  PutUInt16LE(b, 0);
  PutUInt16LE(b, txMap);
  PutUInt16LE(b, 0);
  return b;
}

std::vector<uint8_t> HECapabilities(uint8_t widthSet, uint16_t map80, uint16_t map160, uint16_t map8080) {
  std::vector<uint8_t> b(6, 0);  // MAC capabilities
  std::vector<uint8_t> phy(11, 0);
  phy[0] = widthSet;
  b.insert(b.end(), phy.begin(), phy.end());
  PutUInt16LE(b, map80);
  PutUInt16LE(b, map80);
  if (widthSet & 0x08) {
    PutUInt16LE(b, map160);
    PutUInt16LE(b, map160);
  }
  if (widthSet & 0x10) {
    PutUInt16LE(b, map8080);
    PutUInt16LE(b, map8080);
  }
  return b;
}

std::vector<uint8_t> HEOperation(uint8_t width, uint8_t seg0, uint8_t seg1) {
  // Parameters (bit 14: VHT operation information present), BSS colour, basic HE-MCS set, VHT information.
  return {0x00, 0x40, 0x00, 0x01, 0xFC, 0xFF, width, seg0, seg1};
}

std::vector<uint8_t> SecuritySuites(uint32_t oui, uint8_t group, std::vector<uint8_t> pairwise,
                                    std::vector<uint8_t> akms) {
  auto suite = [&](std::vector<uint8_t>& b, uint8_t type) {
    b.insert(b.end(),
             {static_cast<uint8_t>(oui >> 16), static_cast<uint8_t>(oui >> 8), static_cast<uint8_t>(oui), type});
  };
  std::vector<uint8_t> b;
  PutUInt16LE(b, 1);
  suite(b, group);
  PutUInt16LE(b, static_cast<uint16_t>(pairwise.size()));
  for (uint8_t t : pairwise) suite(b, t);
  PutUInt16LE(b, static_cast<uint16_t>(akms.size()));
  for (uint8_t t : akms) suite(b, t);
  if (oui == 0x000FAC) PutUInt16LE(b, 0);  // RSN capabilities
  return b;
}

std::vector<uint8_t> WPSAttributes(uint8_t state, bool locked, uint8_t version, uint8_t version2,
                                   const std::string& deviceName, const std::string& manufacturer) {
  std::vector<uint8_t> b;
  auto attribute = [&](uint16_t type, std::vector<uint8_t> value) {
    PutUInt16BE(b, type);
    PutUInt16BE(b, static_cast<uint16_t>(value.size()));
    b.insert(b.end(), value.begin(), value.end());
  };
  if (version) attribute(0x104A, {version});
  if (state) attribute(0x1044, {state});
  if (locked) attribute(0x1057, {1});
  if (!deviceName.empty()) attribute(0x1011, {deviceName.begin(), deviceName.end()});
  if (!manufacturer.empty()) attribute(0x1021, {manufacturer.begin(), manufacturer.end()});
  if (version2) attribute(0x1049, {0x00, 0x37, 0x2A, 0x00, 0x01, version2});
  return b;
}

void Derive(TWLANNetwork& n) {
  n.DeriveWPS();
  n.DeriveChannelAndWidth();
  auto take = [](TSecurityWPA& s, const auto* e) {
    s.Present = e != nullptr;
    if (!e) return;
    s.GroupCipher = e->GroupCipher;
    s.PairwiseCiphers = e->PairwiseCiphers;
    s.AKMSuites = e->AKMSuites;
  };
  take(n.RSN, n.Elements.Find<TRSNElement>(48));
  take(n.WPA, n.Elements.FindVendor<TWPAElement>(0x0050F2, 1));
  n.DerivePhyTypes();
  n.DeriveRates();
  n.DeriveSecurityKinds();
  n.DeriveProtectionAndRoaming();
}

std::unique_ptr<TWLANNetwork> MakeNetwork(const ElementBuilder& blob, const NetworkSetup& setup) {
  auto n = std::make_unique<TWLANNetwork>();
  n->CenterFrequency = setup.CenterFrequency;
  n->Channel = FrequencyToChannel(setup.CenterFrequency);
  n->Band = BandOfFrequency(setup.CenterFrequency);
  n->Privacy = setup.Privacy;
  n->Active = setup.Active;
  n->RSSI = setup.RSSI;
  n->TxStreams = n->RxStreams = 1;
  n->StationCount = n->ChannelUtilization = -1;
  n->Elements.Parse(blob.Blob());
  Derive(*n);
  return n;
}

}  // namespace testing
}  // namespace skimlet

#include "core/wlan/wlan_connection.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/model/network.h"
#include "core/radio/values.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet {

namespace {

// x rounded to the nearest integer, ties to even.
int32_t RoundHalfEven(double x) {
  double r = std::floor(x);
  double diff = x - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  return static_cast<int32_t>(r);
}

}  // namespace

int32_t ReportedRssiToDbm(int32_t reported, int32_t signalQuality) {
  int32_t rssi;
  if (reported <= 0) rssi = reported;
  else if (reported <= 100) rssi = reported - 95;
  else rssi = static_cast<int32_t>(std::trunc(static_cast<double>(reported) * 50.0 / 255.0 - 100.0));
  int32_t estimate = RoundHalfEven(signalQuality / 2.0) - 100;
  if (std::llabs(static_cast<long long>(estimate) - rssi) > 10) rssi = estimate;
  return rssi;
}

std::string ConnectionModeText(uint32_t mode) {
  static const char* const kKeys[] = {
      "swlan_connection_mode_profile",
      "swlan_connection_mode_temporary_profile",
      "swlan_connection_mode_discovery_secure",
      "swlan_connection_mode_discovery_unsecure",
      "swlan_connection_mode_auto",
      "swlan_connection_mode_invalid",
  };
  if (mode < std::size(kKeys)) return Translate(kKeys[mode]);
  return Format(Translate("swlan_connection_mode_unknown"), {mode});
}

namespace {
std::string UnknownAlgorithmText(uint32_t algorithm) {
  return Translate((algorithm & 0x80000000u) != 0 ? "sVendorSpecificAlgorithm" : "sUnknownAlgorithm");
}
}  // namespace

std::string AuthAlgorithmText(uint32_t algorithm) {
  static const char* const kKeys[] = {
      nullptr,
      "sDOT11_AUTH_ALGO_80211_OPEN",
      "sDOT11_AUTH_ALGO_80211_SHARED_KEY",
      "sDOT11_AUTH_ALGO_WPA",
      "sDOT11_AUTH_ALGO_WPA_PSK",
      "sDOT11_AUTH_ALGO_WPA_NONE",
      "sDOT11_AUTH_ALGO_RSNA",
      "sDOT11_AUTH_ALGO_RSNA_PSK",
  };
  if (algorithm < std::size(kKeys) && kKeys[algorithm]) return Translate(kKeys[algorithm]);
  return UnknownAlgorithmText(algorithm);
}

std::string CipherAlgorithmText(uint32_t algorithm) {
  switch (algorithm) {
    case kCipherNone: return Translate("sDOT11_CIPHER_ALGO_NONE");
    case kCipherWEP40: return Translate("sDOT11_CIPHER_ALGO_WEP40");
    case kCipherTKIP: return Translate("sDOT11_CIPHER_ALGO_TKIP");
    case kCipherCCMP: return Translate("sDOT11_CIPHER_ALGO_CCMP");
    case kCipherWEP104: return Translate("sDOT11_CIPHER_ALGO_WEP104");
    case kCipherBIP: return Translate("sDOT11_CIPHER_ALGO_BIP");
    case kCipherGCMP: return Translate("sDOT11_CIPHER_ALGO_GCMP");
    case kCipherWPAUseGroup: return Translate("sDOT11_CIPHER_ALGO_WPA_USE_GROUP");
    case kCipherWEP: return Translate("sDOT11_CIPHER_ALGO_WEP");
    default: return UnknownAlgorithmText(algorithm);
  }
}

std::string RateKbpsText(uint32_t kbps) { return Format("%.1n", {kbps / 1000.0}); }

std::string YesNoText(bool value) { return Translate(value ? "sYes" : "sNo"); }

std::string TWLANConnection::BssTypeText() const { return skimlet::BssTypeText(BssType); }
std::string TWLANConnection::PhyTypeText() const { return PhyTypeName(static_cast<int>(PhyType)); }
std::string TWLANConnection::RxRateText() const { return RateKbpsText(RxRate); }
std::string TWLANConnection::TxRateText() const { return RateKbpsText(TxRate); }
std::string TWLANConnection::ConnectionModeText() const { return skimlet::ConnectionModeText(ConnectionMode); }
std::string TWLANConnection::AuthAlgorithmText() const { return skimlet::AuthAlgorithmText(AuthAlgorithm); }
std::string TWLANConnection::CipherAlgorithmText() const { return skimlet::CipherAlgorithmText(CipherAlgorithm); }

void TWLANConnection::QueryAttributes() {
  BSSIDText.clear();
  WlanBlock block;
  std::optional<WLAN_CONNECTION_ATTRIBUTES> a;
  if (Interface->Service().QueryInterface(Interface->GUID, kOpcodeCurrentConnection, block) == 0)
    a = WLAN_CONNECTION_ATTRIBUTES::Decode(block);
  if (!a) {
    State = kInterfaceDisconnected;
    return;
  }
  State = a->isState;
  ConnectionMode = a->wlanConnectionMode;
  ProfileName = a->strProfileName;
  RawSSID = a->dot11Ssid;
  size_t ssidLength = std::min<size_t>(RawSSID.uSSIDLength, RawSSID.ucSSID.size());
  SSID = SSIDBytesToText(Bytes(RawSSID.ucSSID.data(), ssidLength));
  BssType = a->dot11BssType;
  BSSID = a->dot11Bssid;
  BSSIDText = BSSIDToText(BSSID);
  // The text was emptied above, so the organisation is looked up on every successful query.
  Vendor = Interface->Networks->LookupVendor(BSSID);
  PhyType = a->dot11PhyType;
  SignalQuality = static_cast<int32_t>(std::min<uint32_t>(a->wlanSignalQuality, 100));
  RxRate = a->ulRxRate;
  TxRate = a->ulTxRate;
  OneXEnabled = a->bOneXEnabled != 0;
  SecurityEnabled = a->bSecurityEnabled != 0;
  AuthAlgorithm = a->dot11AuthAlgorithm;
  CipherAlgorithm = a->dot11CipherAlgorithm;
}

void TWLANConnection::QueryChannel() {
  WlanBlock block;
  if (Interface->Service().QueryInterface(Interface->GUID, kOpcodeChannelNumber, block) != 0) return;
  if (auto v = DecodeUInt32Value(block)) Channel = *v;
}

void TWLANConnection::QueryRssi() {
  WlanBlock block;
  if (Interface->Service().QueryInterface(Interface->GUID, kOpcodeRssi, block) != 0) return;
  if (auto v = DecodeInt32Value(block)) RSSI = ReportedRssiToDbm(*v, SignalQuality);
}

void TWLANConnection::Update() {
  QueryAttributes();
  QueryChannel();
  QueryRssi();
  // The network list marks the network of this BSSID as the connected one at its next status update.
  Interface->Networks->ConnectedBSSIDText = BSSIDText;
  TCurrentConnectioSeriesData sample;
  sample.Time = Interface->Interfaces->Now();
  sample.RSSI = RSSI;
  sample.Quality = SignalQuality;
  sample.Connected = Interface->IsConnected();
  TrimSeries(Series, Interface->Interfaces->Options().TimeWindowMinutes, sample.Time);
  Series.Add(sample);
  TWlanObject::Update();
}

WLAN_CONNECTION_PARAMETERS ConnectionParametersFor(const TWLANNetwork& network) {
  WLAN_CONNECTION_PARAMETERS p;
  p.wlanConnectionMode = network.Privacy ? kConnectionModeDiscoverySecure : kConnectionModeDiscoveryUnsecure;
  DOT11_SSID ssid;
  ssid.uSSIDLength = static_cast<uint32_t>(std::min<size_t>(network.SSID.size(), ssid.ucSSID.size()));
  std::copy_n(network.SSID.begin(), ssid.uSSIDLength, ssid.ucSSID.begin());
  p.pDot11Ssid = ssid;
  DOT11_BSSID_LIST bssids;
  bssids.uNumOfEntries = 1;
  bssids.uTotalNumOfEntries = 1;
  bssids.BSSIDs.push_back(network.BSSID);
  p.pDesiredBssidList = bssids;
  p.dot11BssType = network.BssType;
  p.dwFlags = network.BssType == 2 ? 2 : 0;
  return p;
}

// Profiles ---------------------------------------------------------------------------------------------------

void TWLANProfiles::Update() {
  WlanBlock block;
  if (Interface->Service().GetProfileList(Interface->GUID, block) == 0) {
    if (auto list = WLAN_PROFILE_INFO_LIST::Decode(block)) {
      const size_t n = list->ProfileInfo.size();
      for (size_t i = 0; i < n; ++i) {
        if (i >= Items.size()) Items.push_back(std::make_unique<TWLANProfile>());
        Items[i]->Name = list->ProfileInfo[i].strProfileName;
      }
      while (Items.size() > n) Items.pop_back();
    }
  }
  TWlanObject::Update();
}

uint32_t TWLANProfiles::Delete(const std::string& name) {
  return Interface->Service().DeleteProfile(Interface->GUID, name);
}

uint32_t TWLANProfiles::Rename(const std::string& oldName, const std::string& newName) {
  return Interface->Service().RenameProfile(Interface->GUID, oldName, newName);
}

uint32_t TWLANProfiles::SetPosition(const std::string& name, uint32_t position) {
  return Interface->Service().SetProfilePosition(Interface->GUID, name, position);
}

uint32_t TWLANProfiles::Edit(const std::string& name, void* parentWindow) {
  uint32_t reason = 0;
  constexpr uint32_t kFirstPage = 0;  // the connection page
  return Interface->Service().EditProfile(Interface->Interfaces->NegotiatedVersion, name, Interface->GUID, parentWindow,
                                          kFirstPage, reason);
}

}  // namespace skimlet

#include "core/model/network.h"

#include <algorithm>

#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid007_country.h"
#include "core/ie/elements/eid011_bss_load.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/vnd_0050f2_01_wpa.h"
#include "core/model/network_list.h"
#include "core/radio/values.h"
#include "core/settings/options.h"

namespace skimlet {

std::string BSSIDToText(const std::array<uint8_t, 6>& bssid) { return BytesToHex(bssid, "-"); }

const TProgramOptions& TWLANNetwork::Options() const {
  static const TProgramOptions kDefaults;
  return Owner ? Owner->Options() : kDefaults;
}

namespace {
template <class T>
void TakeSuites(TSecurityWPA& security, const T* element) {
  security.Present = element != nullptr;
  if (!element) return;  // the suites keep their old values
  security.GroupCipher = element->GroupCipher;
  security.PairwiseCiphers = element->PairwiseCiphers;
  security.AKMSuites = element->AKMSuites;
}
}  // namespace

void TWLANNetwork::UpdateFromEntry(const WLAN_BSS_ENTRY& entry, Bytes blob) {
  // A refresh mostly brings the same beacon again with a new signal. The values derived from the elements
  // depend only on the blob, the frequency and the capability bits; when none of them changed, they stand,
  // and only what the signal decides is taken anew.
  const bool sameBlob =
      blob.size() == Elements.Data.size() && std::equal(blob.begin(), blob.end(), Elements.Data.begin());
  const bool sameDerivation = derived_ && sameBlob && entry.ulChCenterFrequency == Entry.ulChCenterFrequency &&
                              entry.usCapabilityInformation == Entry.usCapabilityInformation;
  const uint32_t derivedChannel = Channel;
  Entry = entry;
  size_t ssidLength = std::min<size_t>(entry.dot11Ssid.uSSIDLength, entry.dot11Ssid.ucSSID.size());
  SSID = SSIDBytesToText(Bytes(entry.dot11Ssid.ucSSID.data(), ssidLength));

  // The text follows the bytes: compare the bytes, and build the text (and look the vendor up) only when
  // they change or the record has no text yet.
  if (BSSIDText.empty() || entry.dot11Bssid != BSSID) {
    BSSID = entry.dot11Bssid;
    BSSIDText = BSSIDToText(BSSID);
    Vendor = Owner ? Owner->LookupVendor(BSSID) : std::string();
  }

  BssType = entry.dot11BssType;
  RSSI = entry.lRssi;
  LinkQuality = entry.uLinkQuality;
  QualityClass = QualityClassOf(LinkQuality);
  CenterFrequency = entry.ulChCenterFrequency;
  Channel = FrequencyToChannel(CenterFrequency);
  Band = BandOfFrequency(CenterFrequency);
  Privacy = (entry.usCapabilityInformation & 0x10) != 0;

  if (sameDerivation) {
    if (auto* ssid = Elements.Find<TSSIDElement>(0)) SSID = ssid->SSID;
    Channel = derivedChannel;
    AchievableRate = ComputeAchievableRate();
    if (!SSID.empty()) Series().Caption = SSID;
    return;
  }

  PhyTypes = {};
  ChannelWidth = 0;
  CenterChannel0 = CenterChannel1 = SecondaryChannel = 0;
  StationCount = ChannelUtilization = -1;
  TxStreams = RxStreams = 1;
  Rates.clear();
  AchievableRate = 0;
  ShortGI20 = ShortGI40 = ShortGI80 = ShortGI160 = false;  // the WPS fields are DeriveWPS's own

  if (!sameBlob) Elements.Parse(blob);
  if (auto* ssid = Elements.Find<TSSIDElement>(0)) SSID = ssid->SSID;
  if (auto* load = Elements.Find<TBSSLoadElement>(11)) {
    ChannelUtilization = load->ChannelUtilization;
    StationCount = load->StationCount;
  }
  if (auto* country = Elements.Find<TCountryElement>(7)) CountryCode = country->CountryCode;
  DeriveWPS();
  DeriveChannelAndWidth();
  TakeSuites(RSN, Elements.Find<TRSNElement>(48));
  TakeSuites(WPA, Elements.FindVendor<TWPAElement>(0x0050F2, 1));
  DerivePhyTypes();
  DeriveRates();
  DeriveSecurityKinds();
  DeriveProtectionAndRoaming();
  derived_ = true;
  if (!SSID.empty()) Series().Caption = SSID;
}

void TWLANNetwork::SetActive(bool value) {
  Active = value;
  if (!value) {
    LinkQuality = 0;
    QualityClass = 0;
  }
}

void TWLANNetwork::SetColor(TColor color) {
  if (Owner) {
    if (Owner->Colors.Count() > 1000) Owner->Colors.DeleteFirst();
    Owner->Colors.Set(BSSIDText, std::to_string(color));
  }
  Series().Color = color;
}

void TWLANNetwork::SetComment(const std::string& text) {
  if (text == Comment) return;
  Comment = text;
  if (!Owner) return;
  if (text.empty()) Owner->Comments.Remove(BSSIDText);
  else Owner->Comments.Set(BSSIDText, text);
}

void TWLANNetwork::AddSample(LocalDateTime time) {
  TWiFiSeriesData sample;
  sample.Time = time;
  sample.Active = Active;
  sample.Quality = static_cast<int32_t>(LinkQuality);
  sample.RSSI = RSSI;
  sample.AchievableRate = AchievableRate;
  sample.ChannelUtilization = ChannelUtilization;
  sample.StationCount = StationCount;
  TrimSeries(TypedSeries(), Options().TimeWindowMinutes, time);
  TypedSeries().Add(sample);
}

std::string TWLANNetwork::GetDisplayName() const { return SSID.empty() ? BSSIDText : SSID; }

}  // namespace skimlet

// Turning a scene's access point into the BSS entry and element blob the service reports for it.
#include <algorithm>

#include "backends/sim/scene.h"
#include "core/beacon/beacon_reader.h"
#include "core/ie/builder.h"
#include "core/radio/values.h"

namespace skimlet::sim {

namespace {

constexpr uint8_t kEidRMEnabled = 70;

// The rate bytes of the access point's band and PHY: 6, 12 and 24 Mbps basic on 5 GHz; 1, 2, 5.5 and 11 Mbps
// basic on 2.4 GHz, with the OFDM rates unless it speaks only b.
Bytes RateBytes(const SceneAccessPoint& ap) {
  static constexpr uint8_t k5GHz[] = {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C};
  static constexpr uint8_t k24GHz[] = {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24, 0x30, 0x48, 0x60, 0x6C};
  if (!ap.Is24GHz()) return Bytes(k5GHz);  // also the 6 GHz band's
  return Bytes(k24GHz, ap.Standard == Phy::B ? 4 : 12);
}

bool UsesRSN(Security s) {
  return s != Security::Open && s != Security::WEP && s != Security::WPA && s != Security::WPAEnterprise;
}
bool UsesWPA(Security s) { return s == Security::WPA || s == Security::WPAWPA2 || s == Security::WPAEnterprise; }

RSNValues RSNOf(Security s) {
  RSNValues r;
  auto suite = [](uint8_t t) { return SuiteSelector{kOUIIEEE, t}; };
  switch (s) {
    case Security::WPAWPA2:
      r.GroupCipher = suite(kCipherSuiteTKIP);
      r.PairwiseCiphers = {suite(kCipherSuiteCCMP), suite(kCipherSuiteTKIP)};
      break;
    case Security::WPA3:
      r.AKMSuites = {suite(kAKMSAE)};
      r.Capabilities = 0x00C0;  // management frame protection required and capable
      r.GroupManagementCipher = suite(kCipherSuiteBIP);
      break;
    case Security::WPA2WPA3:
      r.AKMSuites = {suite(kAKMPSK), suite(kAKMSAE)};
      r.Capabilities = 0x0080;
      break;
    case Security::OWE:
      r.AKMSuites = {suite(kAKMOWE)};
      r.Capabilities = 0x00C0;
      break;
    case Security::WPA2Enterprise:
      r.AKMSuites = {suite(kAKM8021X), suite(kAKMFT8021X)};
      r.Capabilities = 0x0001;  // preauthentication
      break;
    case Security::WPA3Enterprise:
      r.GroupCipher = suite(kCipherSuiteGCMP256);
      r.PairwiseCiphers = {suite(kCipherSuiteGCMP256)};
      r.AKMSuites = {suite(kAKMSuiteB192)};
      r.Capabilities = 0x00C0;
      r.GroupManagementCipher = suite(12);  // BIP-GMAC-256
      break;
    default: break;  // WPA2-Personal: the defaults
  }
  return r;
}

WPAValues WPAOf(Security s) {
  WPAValues w;
  if (s == Security::WPAEnterprise) w.AKMSuites = {{kOUIMicrosoft, kAKM8021X}};
  return w;
}

// The global operating class of a 20 MHz channel.
uint8_t OperatingClassOf(uint8_t channel, bool band6) {
  if (band6) return 131;
  if (channel <= 14) return 81;
  if (channel <= 48) return 115;
  if (channel <= 64) return 118;
  if (channel <= 144) return 121;
  return 125;
}

uint32_t ChannelOf5GHzSegment(uint8_t primary, int n20) {
  int base = primary < 149 ? 36 : 149;
  int group = (primary - base) / (4 * n20);
  return static_cast<uint32_t>(base + group * n20 * 4 + (n20 * 4 - 4) / 2);
}

// The two bits of the HT operation's secondary channel offset: 1 above, 3 below, 0 none.
uint8_t SecondaryOffset(const SceneAccessPoint& ap) {
  if (ap.Width < 40) return 0;
  if (ap.Is24GHz()) return ap.Channel <= 7 ? 1 : 3;
  return CenterChannel5GHz(ap.Channel, 40) > ap.Channel ? 1 : 3;
}

}  // namespace

uint8_t CenterChannel6GHz(uint8_t primary, int widthMHz) {
  // 6 GHz channels 1, 5, 9, ... group from channel 1 up: n 20 MHz channels make a block of 4n numbers.
  if (primary < 1 || primary > 233 || (primary - 1) % 4 != 0) return primary;
  const int n20 = widthMHz >= 320 ? 16 : widthMHz >= 160 ? 8 : widthMHz >= 80 ? 4 : widthMHz >= 40 ? 2 : 1;
  const int block = (primary - 1) / (4 * n20);
  const int centre = 1 + block * 4 * n20 + (4 * n20 - 4) / 2;
  // The 6 GHz band ends with channel 233: a block that runs past it is no channel.
  if (1 + (block + 1) * 4 * n20 - 4 > 233) return 0;
  return static_cast<uint8_t>(centre);
}

uint32_t SceneAccessPoint::FrequencyKHz() const {
  return ChannelToFrequency(Channel, Band6GHz ? kBand6GHz : Is24GHz() ? kBand24GHz : kBand5GHz);
}

uint8_t CenterChannel5GHz(uint8_t primary, int widthMHz) {
  if (primary <= 14) return primary;
  int n20 = widthMHz >= 160 && widthMHz != 8080 ? 8 : widthMHz >= 80 ? 4 : widthMHz >= 40 ? 2 : 1;
  return static_cast<uint8_t>(ChannelOf5GHzSegment(primary, n20));
}

uint16_t CapabilityOf(const SceneAccessPoint& ap) {
  if (ap.Capability) return *ap.Capability;
  return static_cast<uint16_t>((ap.AdHoc ? 0x0002 : 0x0001) | (ap.Sec != Security::Open ? 0x0010 : 0) |
                               (ap.Is24GHz() ? 0x0020 : 0) | (ap.Standard != Phy::B ? 0x0400 : 0));
}

Beacon BuildBeacon(const SceneAccessPoint& ap, int rssi, uint32_t phyIndex) {
  Beacon out;
  if (ap.FixedEntry) {
    out.Entry = *ap.FixedEntry;
    out.Entry.lRssi = rssi;
    out.Entry.uLinkQuality = LinkQualityFromRssi(rssi);
    out.Blob = ap.FixedBlob;
    return out;
  }
  // The entry is read from the blob as a received beacon's would be.
  out.Blob = ap.Elements ? *ap.Elements : ElementsOf(ap);
  TBeaconReception rx;
  rx.Bssid = ap.BSSID;
  rx.Capability = CapabilityOf(ap);
  rx.BeaconPeriod = ap.BeaconPeriod;
  rx.FrequencyKHz = ap.FrequencyKHz();
  rx.SignalDbm = rssi;
  rx.PhyId = phyIndex;
  rx.InRegDomain = true;
  ReadBeacon(out.Blob, rx, out.Entry);
  return out;
}

namespace {

// The VHT capabilities and operation of a 5 GHz access point.
void AddVHT(ElementBuilder& b, const SceneAccessPoint& ap) {
  VHTOperationValues vop;
  if (ap.Width >= 80) {
    vop.ChannelWidth = 1;
    vop.CenterSegment0 = CenterChannel5GHz(ap.Channel, 80);
    if (ap.Width == 160) vop.CenterSegment1 = CenterChannel5GHz(ap.Channel, 160);
    if (ap.Width == 8080) vop.CenterSegment1 = ap.Center2;
  }
  VHTCapabilitiesValues c;
  c.MaxMPDULength = 2;
  c.SupportedChannelWidthSet = ap.Width == 8080 ? 2 : ap.Width == 160 ? 1 : 0;
  c.ShortGI80 = true;
  c.ShortGI160 = ap.Width >= 160;
  c.RxVHTMCSMap = c.TxVHTMCSMap = MCSMapFor(ap.Streams, 2);
  b.Add(kEidVHTCapabilities, EncodeVHTCapabilitiesBody(c));
  b.Add(kEidVHTOperation, EncodeVHTOperationBody(vop));
}

// The HE capabilities and operation (the 6 GHz band's channel is in the operation).
void AddHE(ElementBuilder& b, const SceneAccessPoint& ap, bool b24, bool b6) {
  HECapabilitiesValues c;
  c.MACCapabilities = 0x0000'0008'0001ull;  // +HTC HE support
  c.Width40In24G = b24 && ap.Width >= 40;
  c.Width40And80In5G = !b24;
  c.Width160In5G = ap.Width == 160 || ap.Width == 8080 || ap.Width == 320;
  c.Width80p80In5G = ap.Width == 8080;
  c.RxHEMCSMap80 = c.TxHEMCSMap80 = MCSMapFor(ap.Streams, 2);
  if (c.Width160In5G) c.RxHEMCSMap160 = c.TxHEMCSMap160 = MCSMapFor(ap.Streams, 2);
  if (c.Width80p80In5G) c.RxHEMCSMap80p80 = c.TxHEMCSMap80p80 = MCSMapFor(ap.Streams, 2);
  b.AddExtension(kExtHECapabilities, EncodeHECapabilitiesBody(c));
  HEOperationValues o;
  o.BSSColorInformation = static_cast<uint8_t>(1 + ap.BSSID[5] % 63);
  if (b6) {
    // HE describes at most 160 MHz; a 320 MHz channel is its 160 MHz half with the primary channel.
    const int width = std::min(ap.Width, 160);
    HE6GHzOperationInfo i;
    i.PrimaryChannel = ap.Channel;
    i.ChannelWidth = static_cast<uint8_t>(width >= 160 ? 3 : width >= 80 ? 2 : width >= 40 ? 1 : 0);
    i.CenterSegment0 = CenterChannel6GHz(ap.Channel, std::min(width, 80));
    i.CenterSegment1 = width >= 160 ? CenterChannel6GHz(ap.Channel, 160) : 0;
    o.SixGHzOperationInfo = i;
  }
  b.AddExtension(kExtHEOperation, EncodeHEOperationBody(o));
}

// The reduced neighbor report: the other link of the multi-link device, and the device's own address.
void AddPartnerReport(ElementBuilder& b, const SceneAccessPoint& ap) {
  RNRNeighborAPInfo n;
  n.Channel = ap.PartnerChannel;
  n.OperatingClass = OperatingClassOf(ap.PartnerChannel, ap.PartnerBand6GHz);
  RNRTBTTInfo t;
  t.BSSID = *ap.Partner;
  t.ShortSSID = ShortSSIDOf(Bytes(ap.SSID));
  t.BSSParameters = 0x02;  // same SSID
  t.PSD20MHz = 20;
  t.LinkID = *ap.Partner < ap.BSSID ? 0 : 1;
  n.TBTTInfoLength = 16;
  n.Sets = {t};
  b.Add(kEidReducedNeighborReport, EncodeReducedNeighborReportBody({n}));
}

// The EHT capabilities and operation, and the multi-link element of a device with a second link.
void AddEHT(ElementBuilder& b, const SceneAccessPoint& ap, bool b6) {
  EHTCapabilitiesValues c;
  const uint8_t nss = EHTNSSByte(ap.Streams);
  c.Map80 = {nss, nss, nss};
  if (ap.Width >= 160) c.Map160 = c.Map80;
  if (ap.Width >= 320) c.Map320 = c.Map80;
  b.AddExtension(kExtEHTCapabilities, EncodeEHTCapabilitiesBody(c));
  EHTOperationValues o;
  if (b6 && ap.Width >= 160) {
    EHTOperationInfo i;
    i.ChannelWidth = ap.Width >= 320 ? 4 : 3;
    // 320 MHz: the centres of the primary's 160 MHz half and of the whole; 160 MHz: of the primary's 80 MHz
    // half and of the whole.
    i.CenterSegment0 = CenterChannel6GHz(ap.Channel, ap.Width >= 320 ? 160 : 80);
    i.CenterSegment1 = CenterChannel6GHz(ap.Channel, ap.Width >= 320 ? 320 : 160);
    o.OperationInfo = i;
  }
  b.AddExtension(kExtEHTOperation, EncodeEHTOperationBody(o));
  if (ap.Partner) {
    BasicMultiLinkValues ml;
    ml.MLDMACAddress = std::min(ap.BSSID, *ap.Partner);
    ml.MLDMACAddress[0] = static_cast<uint8_t>(ml.MLDMACAddress[0] | 0x02);
    ml.LinkID = ap.BSSID < *ap.Partner ? 0 : 1;
    ml.BSSParametersChangeCount = 0;
    ml.MLDCapabilities = 0x0001;  // two links
    b.AddExtension(kExtMultiLink, EncodeBasicMultiLinkBody(ml));
  }
}

// The WPS vendor element.
void AddWPS(ElementBuilder& b, const SceneAccessPoint& ap, bool b24) {
  WPSValues w;
  w.WPSState = ap.WPS->State;
  w.APSetupLocked = ap.WPS->Locked;
  w.UUID =
      std::array<uint8_t, 16>{0x5E, 0x1A, 0x00,        0x00,        0x00,        0x00,        0x40,        0x00,
                              0x80, 0x00, ap.BSSID[0], ap.BSSID[1], ap.BSSID[2], ap.BSSID[3], ap.BSSID[4], ap.BSSID[5]};
  w.Manufacturer = ap.WPS->Manufacturer;
  w.ModelName = ap.WPS->ModelName;
  w.ModelNumber = ap.WPS->ModelNumber;
  w.PrimaryDeviceType = WPSPrimaryDeviceType{};
  w.DeviceName = ap.WPS->DeviceName;
  w.ConfigMethods = 0x2008;
  w.RFBands = b24 ? 1 : 2;
  b.AddVendor(kOUIMicrosoft, 4, EncodeWPSBody(w));
}
}  // namespace

std::vector<uint8_t> ElementsOf(const SceneAccessPoint& ap) {
  bool b24 = ap.Is24GHz();
  const bool b6 = ap.Band6GHz;
  const bool eht = ap.Standard == Phy::BE;
  // The 6 GHz band has neither HT nor VHT elements: its channel is in the HE operation.
  bool ht = !b6 && (ap.Standard == Phy::N || ap.Standard == Phy::AC || ap.Standard == Phy::AX || eht);
  bool vht = !b6 && !b24 && (ap.Standard == Phy::AC || ap.Standard == Phy::AX || eht);
  bool he = ap.Standard == Phy::AX || eht;
  Bytes rates = RateBytes(ap);

  // The elements, in beacon order (SSID, rates and DSSS bodies are the bytes themselves).
  ElementBuilder b;
  if (ap.Hidden == HiddenSSID::Empty) b.Add(kEidSSID, Bytes());
  else if (ap.Hidden == HiddenSSID::Zeros) b.Add(kEidSSID, std::vector<uint8_t>(ap.SSID.size(), 0));
  else b.Add(kEidSSID, Bytes(ap.SSID));
  size_t inFirst = std::min<size_t>(rates.size(), 8);
  b.Add(kEidSupportedRates, rates.first(inFirst));
  if (b24) b.Add(kEidDSSS, {ap.Channel});
  if (!ap.AdHoc) b.Add(kEidTIM, EncodeTIMBody({0, static_cast<uint8_t>(ap.Standard == Phy::B ? 1 : 3), 0, {0}}));
  if (ap.Country) {
    CountryValues c = *ap.Country;
    if (c.Triplets.empty()) {
      bool na = c.Code == "US" || c.Code == "CA";
      if (b24) c.Triplets = {{1, static_cast<uint8_t>(na ? 11 : 13), static_cast<uint8_t>(na ? 30 : 20)}};
      else c.Triplets = {{36, 4, 23}, {52, 4, 23}, {100, 12, 30}, {149, 5, 30}};
    }
    b.Add(kEidCountry, EncodeCountryBody(c));
  }
  if (ap.Load)
    b.Add(kEidBSSLoad,
          EncodeBSSLoadBody({static_cast<uint16_t>(ap.Load->first), ChannelUtilizationByte(ap.Load->second),
                             static_cast<uint16_t>(31250 - 300 * ap.Load->second)}));
  if (b24 && ap.Standard != Phy::B) b.Add(kEidERP, {0x00});
  uint8_t secondary = SecondaryOffset(ap);
  if (ht) {
    HTCapabilitiesValues h;
    h.SupportedChannelWidth40 = ap.Width >= 40 || !b24;
    h.ShortGI20 = true;
    h.ShortGI40 = h.SupportedChannelWidth40;
    h.RxMCSBitmask = HTRxMCSBitmaskFor(ap.Streams);
    b.Add(kEidHTCapabilities, EncodeHTCapabilitiesBody(h));
  }
  if (UsesRSN(ap.Sec)) b.Add(kEidRSN, EncodeRSNBody(RSNOf(ap.Sec)));
  if (ap.Roaming11r)
    b.Add(kEidMobilityDomain,
          EncodeMobilityDomainBody({static_cast<uint16_t>(ap.BSSID[4] << 8 | ap.BSSID[5]), true, false}));
  if (rates.size() > inFirst) b.Add(kEidExtSupportedRates, rates.subspan(inFirst));
  if (ht) {
    HTOperationValues o;
    o.PrimaryChannel = ap.Channel;
    o.SecondaryChannelOffset = secondary;
    o.AnyChannelWidth = secondary != 0;
    b.Add(kEidHTOperation, EncodeHTOperationBody(o));
  }
  if (vht) AddVHT(b, ap);
  if (he) AddHE(b, ap, b24, b6);
  if (ap.Roaming11k) b.Add(kEidRMEnabled, {0x72, 0x00, 0x00, 0x00, 0x00});  // neighbour report and beacon reports
  if (ap.Roaming11v) b.Add(kEidExtendedCapabilities, {0x04, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x40});
  if (ap.Partner) AddPartnerReport(b, ap);
  if (eht) AddEHT(b, ap, b6);
  if (UsesWPA(ap.Sec)) b.AddVendor(kOUIMicrosoft, 1, EncodeWPABody(WPAOf(ap.Sec)));
  if (ht) b.AddVendor(kOUIMicrosoft, 2, EncodeWMMBody({}));
  if (ap.WPS) AddWPS(b, ap, b24);
  for (const auto& v : ap.Vendors) b.AddVendor(v.OUI, v.Subtype, v.Body);
  std::vector<uint8_t> blob = b.Blob();
  for (const auto& raw : ap.Raw) blob.insert(blob.end(), raw.begin(), raw.end());
  return blob;
}

}  // namespace skimlet::sim

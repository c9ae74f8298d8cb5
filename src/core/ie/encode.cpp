#include "core/ie/encode.h"

#include <algorithm>
#include <cmath>

#include "core/ie/builder.h"

namespace skimlet {

namespace {

void PutUInt24LE(std::vector<uint8_t>& out, uint32_t v) {
  for (int k = 0; k < 3; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
void PutOUI(std::vector<uint8_t>& out, uint32_t oui) {
  out.push_back(static_cast<uint8_t>(oui >> 16));
  out.push_back(static_cast<uint8_t>(oui >> 8));
  out.push_back(static_cast<uint8_t>(oui));
}
void PutSuite(std::vector<uint8_t>& out, const SuiteSelector& s) {
  PutOUI(out, s.OUI);
  out.push_back(s.Type);
}
void PutSuites(std::vector<uint8_t>& out, const std::vector<SuiteSelector>& suites) {
  PutUInt16LE(out, static_cast<uint16_t>(suites.size()));
  for (const auto& s : suites) PutSuite(out, s);
}

void PutAttribute(std::vector<uint8_t>& out, uint16_t type, Bytes value) {
  PutUInt16BE(out, type);
  PutUInt16BE(out, static_cast<uint16_t>(value.size()));
  out.insert(out.end(), value.begin(), value.end());
}
void PutAttribute(std::vector<uint8_t>& out, uint16_t type, std::initializer_list<uint8_t> value) {
  PutAttribute(out, type, Bytes(value.begin(), value.size()));
}
void PutTextAttribute(std::vector<uint8_t>& out, uint16_t type, const std::string& text) {
  if (!text.empty()) PutAttribute(out, type, Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

ElementBody EncodeSSIDBody(Bytes ssid) { return ElementBody(ssid.begin(), ssid.end()); }

uint8_t RateByte(double mbps, bool basic) {
  auto units = static_cast<uint8_t>(std::lround(mbps * 2) & 0x7F);
  return basic ? static_cast<uint8_t>(units | 0x80) : units;
}

ElementBody EncodeRatesBody(Bytes rateBytes) { return ElementBody(rateBytes.begin(), rateBytes.end()); }

ElementBody EncodeDSSSBody(uint8_t currentChannel) { return {currentChannel}; }

ElementBody EncodeTIMBody(const TIMValues& v) {
  ElementBody out{v.DTIMCount, v.DTIMPeriod, v.BitmapControl};
  out.insert(out.end(), v.PartialVirtualBitmap.begin(), v.PartialVirtualBitmap.end());
  return out;
}

ElementBody EncodeCountryBody(const CountryValues& v) {
  ElementBody out;
  for (size_t k = 0; k < 2; ++k) out.push_back(k < v.Code.size() ? static_cast<uint8_t>(v.Code[k]) : ' ');
  out.push_back(v.Environment);
  for (const auto& t : v.Triplets) out.insert(out.end(), {t.First, t.Second, t.Third});
  if (out.size() % 2 != 0) out.push_back(0);
  return out;
}

uint8_t ChannelUtilizationByte(int percent) {
  if (percent <= 0) return 0;
  if (percent >= 100) return 255;
  return static_cast<uint8_t>(std::lround(percent * 255.0 / 100.0));
}

ElementBody EncodeBSSLoadBody(const BSSLoadValues& v) {
  ElementBody out;
  PutUInt16LE(out, v.StationCount);
  out.push_back(v.ChannelUtilization);
  PutUInt16LE(out, v.AvailableAdmissionCapacity);
  return out;
}

ElementBody EncodeRSNBody(const RSNValues& v) {
  ElementBody out;
  PutUInt16LE(out, v.Version);
  PutSuite(out, v.GroupCipher);
  PutSuites(out, v.PairwiseCiphers);
  PutSuites(out, v.AKMSuites);
  if (!v.Capabilities) return out;
  PutUInt16LE(out, *v.Capabilities);
  if (v.PMKIDs.empty() && !v.GroupManagementCipher) return out;
  PutUInt16LE(out, static_cast<uint16_t>(v.PMKIDs.size()));
  for (const auto& id : v.PMKIDs) out.insert(out.end(), id.begin(), id.end());
  if (v.GroupManagementCipher) PutSuite(out, *v.GroupManagementCipher);
  return out;
}

ElementBody EncodeWPABody(const WPAValues& v) {
  ElementBody out;
  PutUInt16LE(out, v.Version);
  PutSuite(out, v.GroupCipher);
  PutSuites(out, v.PairwiseCiphers);
  PutSuites(out, v.AKMSuites);
  if (v.Capabilities) PutUInt16LE(out, *v.Capabilities);
  return out;
}

ElementBody EncodeWMMBody(const WMMValues& v) {
  ElementBody out{static_cast<uint8_t>(v.ParameterElement ? 1 : 0), v.Version, v.QoSInfo};
  if (!v.ParameterElement) return out;
  out.push_back(0);  // reserved
  for (uint8_t aci = 0; aci < 4; ++aci) {
    const auto& ac = v.AC[aci];
    out.push_back(static_cast<uint8_t>((ac.AIFSN & 0x0F) | (ac.ACM ? 0x10 : 0) | (aci << 5)));
    out.push_back(static_cast<uint8_t>((ac.ECWmin & 0x0F) | ((ac.ECWmax & 0x0F) << 4)));
    PutUInt16LE(out, ac.TXOPLimit);
  }
  return out;
}

ElementBody EncodeWPSBody(const WPSValues& v) {
  ElementBody out;
  PutAttribute(out, 0x104A, {v.Version});
  PutAttribute(out, 0x1044, {v.WPSState});
  if (v.APSetupLocked) PutAttribute(out, 0x1057, {1});
  if (v.SelectedRegistrar) PutAttribute(out, 0x1041, {static_cast<uint8_t>(*v.SelectedRegistrar ? 1 : 0)});
  if (v.ResponseType) PutAttribute(out, 0x103B, {*v.ResponseType});
  if (v.UUID) PutAttribute(out, 0x1047, Bytes(v.UUID->data(), v.UUID->size()));
  PutTextAttribute(out, 0x1021, v.Manufacturer);
  PutTextAttribute(out, 0x1023, v.ModelName);
  PutTextAttribute(out, 0x1024, v.ModelNumber);
  PutTextAttribute(out, 0x1042, v.SerialNumber);
  if (v.PrimaryDeviceType) {
    std::vector<uint8_t> t;
    PutUInt16BE(t, v.PrimaryDeviceType->Category);
    PutUInt16BE(t, static_cast<uint16_t>(v.PrimaryDeviceType->OUI >> 16));
    PutUInt16BE(t, static_cast<uint16_t>(v.PrimaryDeviceType->OUI));
    PutUInt16BE(t, v.PrimaryDeviceType->SubCategory);
    PutAttribute(out, 0x1054, t);
  }
  PutTextAttribute(out, 0x1011, v.DeviceName);
  if (v.ConfigMethods) {
    std::vector<uint8_t> m;
    PutUInt16BE(m, *v.ConfigMethods);
    PutAttribute(out, 0x1008, m);
  }
  if (v.RFBands) PutAttribute(out, 0x103C, {*v.RFBands});
  if (v.Version2) {
    std::vector<uint8_t> ext;
    PutOUI(ext, kOUIWFA);
    ext.insert(ext.end(), {0x00, 0x01, *v.Version2});  // sub-element 0 (Version2), length 1
    PutAttribute(out, 0x1049, ext);
  }
  return out;
}

uint32_t HTRxMCSBitmaskFor(int streams) {
  if (streams <= 0) return 0;
  if (streams >= 4) return 0xFFFFFFFFu;
  return (1u << (8 * streams)) - 1;
}

ElementBody EncodeHTCapabilitiesBody(const HTCapabilitiesValues& v) {
  ElementBody out;
  uint16_t info = static_cast<uint16_t>(v.OtherCapabilityBits & ~uint16_t{0x0062});
  if (v.SupportedChannelWidth40) info |= 0x0002;
  if (v.ShortGI20) info |= 0x0020;
  if (v.ShortGI40) info |= 0x0040;
  PutUInt16LE(out, info);
  out.push_back(v.AMPDUParameters);
  // Supported MCS set: Rx bitmask (77 bits, of which MCS 0-31 here), highest rate, Tx flags.
  PutUInt32LE(out, v.RxMCSBitmask);
  out.insert(out.end(), 6, 0);
  PutUInt16LE(out, static_cast<uint16_t>(v.RxHighestDataRate & 0x03FF));
  out.push_back(v.TxMCSSetFlags);
  out.insert(out.end(), 3, 0);
  PutUInt16LE(out, v.ExtendedCapabilities);
  PutUInt32LE(out, v.TxBeamformingCapabilities);
  out.push_back(v.ASELCapabilities);
  return out;
}

ElementBody EncodeHTOperationBody(const HTOperationValues& v) {
  ElementBody out{v.PrimaryChannel};
  out.push_back(static_cast<uint8_t>((v.SecondaryChannelOffset & 0x03) | (v.AnyChannelWidth ? 0x04 : 0) |
                                     (v.RIFSMode ? 0x08 : 0)));
  PutUInt16LE(out, v.OperationInfo2);
  PutUInt16LE(out, v.OperationInfo3);
  out.insert(out.end(), v.BasicMCSSet.begin(), v.BasicMCSSet.end());
  return out;
}

uint16_t MCSMapFor(int streams, uint8_t perStreamValue) {
  uint16_t map = 0;
  for (int s = 0; s < 8; ++s) map |= static_cast<uint16_t>((s < streams ? (perStreamValue & 3) : 3) << (2 * s));
  return map;
}

ElementBody EncodeVHTCapabilitiesBody(const VHTCapabilitiesValues& v) {
  ElementBody out;
  uint32_t info = v.OtherCapabilityBits & ~uint32_t{0x6F};
  info |= v.MaxMPDULength & 0x03u;
  info |= (v.SupportedChannelWidthSet & 0x03u) << 2;
  if (v.ShortGI80) info |= 0x20;
  if (v.ShortGI160) info |= 0x40;
  PutUInt32LE(out, info);
  PutUInt16LE(out, v.RxVHTMCSMap);
  PutUInt16LE(out, static_cast<uint16_t>((v.RxHighestLongGIDataRate & 0x1FFF) | ((v.MaxNSTSTotal & 0x07) << 13)));
  PutUInt16LE(out, v.TxVHTMCSMap);
  PutUInt16LE(out, static_cast<uint16_t>((v.TxHighestLongGIDataRate & 0x1FFF) | (v.ExtendedNSSBWCapable ? 0x2000 : 0)));
  return out;
}

ElementBody EncodeVHTOperationBody(const VHTOperationValues& v) {
  ElementBody out{v.ChannelWidth, v.CenterSegment0, v.CenterSegment1};
  PutUInt16LE(out, v.BasicMCSSet);
  return out;
}

ElementBody EncodeHECapabilitiesBody(const HECapabilitiesValues& v) {
  ElementBody out;
  for (int k = 0; k < 6; ++k) out.push_back(static_cast<uint8_t>(v.MACCapabilities >> (8 * k)));
  auto phy = v.PHYCapabilities;
  phy[0] = static_cast<uint8_t>(phy[0] & ~0x1E);
  if (v.Width40In24G) phy[0] |= 0x02;
  if (v.Width40And80In5G) phy[0] |= 0x04;
  if (v.Width160In5G) phy[0] |= 0x08;
  if (v.Width80p80In5G) phy[0] |= 0x10;
  // PPE Thresholds Present is bit 55 of the PHY capabilities (bit 7 of byte 6).
  phy[6] = static_cast<uint8_t>(v.PPEThresholds.empty() ? phy[6] & ~0x80 : phy[6] | 0x80);
  out.insert(out.end(), phy.begin(), phy.end());
  PutUInt16LE(out, v.RxHEMCSMap80);
  PutUInt16LE(out, v.TxHEMCSMap80);
  if (v.Width160In5G) {
    PutUInt16LE(out, v.RxHEMCSMap160);
    PutUInt16LE(out, v.TxHEMCSMap160);
  }
  if (v.Width80p80In5G) {
    PutUInt16LE(out, v.RxHEMCSMap80p80);
    PutUInt16LE(out, v.TxHEMCSMap80p80);
  }
  out.insert(out.end(), v.PPEThresholds.begin(), v.PPEThresholds.end());
  return out;
}

ElementBody EncodeHEOperationBody(const HEOperationValues& v) {
  ElementBody out;
  uint32_t params = v.Parameters & 0xFD3FFFu;  // 14, 15 and 17 follow the optional parts
  if (v.VHTOperationInfo) params |= 1u << 14;
  if (v.MaxCoLocatedBSSIDIndicator) params |= 1u << 15;
  if (v.SixGHzOperationInfo) params |= 1u << 17;
  PutUInt24LE(out, params);
  out.push_back(v.BSSColorInformation);
  PutUInt16LE(out, v.BasicHEMCSSet);
  if (v.VHTOperationInfo)
    out.insert(out.end(), {v.VHTOperationInfo->ChannelWidth, v.VHTOperationInfo->CenterSegment0,
                           v.VHTOperationInfo->CenterSegment1});
  if (v.MaxCoLocatedBSSIDIndicator) out.push_back(*v.MaxCoLocatedBSSIDIndicator);
  if (const auto& i = v.SixGHzOperationInfo) {
    const auto control = static_cast<uint8_t>((i->ChannelWidth & 0x03) | (i->DuplicateBeacon ? 0x04 : 0) |
                                              ((i->RegulatoryInfo & 0x07) << 3));
    out.insert(out.end(), {i->PrimaryChannel, control, i->CenterSegment0, i->CenterSegment1, i->MinimumRate});
  }
  return out;
}

ElementBody EncodeMobilityDomainBody(const MobilityDomainValues& v) {
  ElementBody out;
  PutUInt16LE(out, v.MDID);
  out.push_back(static_cast<uint8_t>((v.FTOverDS ? 0x01 : 0) | (v.ResourceRequestProtocol ? 0x02 : 0)));
  return out;
}

uint32_t ShortSSIDOf(Bytes ssid) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : ssid) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

ElementBody EncodeReducedNeighborReportBody(const std::vector<RNRNeighborAPInfo>& fields) {
  ElementBody out;
  for (const RNRNeighborAPInfo& f : fields) {
    const size_t count = std::clamp<size_t>(f.Sets.size(), 1, 16);
    const uint8_t n = f.TBTTInfoLength;
    out.push_back(static_cast<uint8_t>((f.FilteredNeighborAP ? 0x04 : 0) | ((count - 1) << 4)));
    out.push_back(n);
    out.push_back(f.OperatingClass);
    out.push_back(f.Channel);
    // Field offsets by length, as the decoder reads them: BSSID, short SSID, BSS parameters, PSD, MLD.
    int bssid = -1, shortSSID = -1, params = -1, psd = -1, mld = -1;
    if (n >= 16) bssid = 1, shortSSID = 7, params = 11, psd = 12, mld = 13;
    else if (n == 13) bssid = 1, shortSSID = 7, params = 11, psd = 12;
    else if (n == 12) bssid = 1, shortSSID = 7, params = 11;
    else if (n == 11) bssid = 1, shortSSID = 7;
    else if (n == 9) bssid = 1, params = 7, psd = 8;
    else if (n == 8) bssid = 1, params = 7;
    else if (n == 7) bssid = 1;
    else if (n == 6) shortSSID = 1, params = 5;
    else if (n == 5) shortSSID = 1;
    else if (n == 2) params = 1;
    for (size_t k = 0; k < count; ++k) {
      const RNRTBTTInfo* set = k < f.Sets.size() ? &f.Sets[k] : nullptr;
      ElementBody bytes(n, 0);
      if (set && n > 0) {
        bytes[0] = set->TBTTOffset;
        if (bssid >= 0) std::copy(set->BSSID.begin(), set->BSSID.end(), bytes.begin() + bssid);
        if (shortSSID >= 0)
          for (int b = 0; b < 4; ++b)
            bytes[static_cast<size_t>(shortSSID + b)] = static_cast<uint8_t>(set->ShortSSID >> (8 * b));
        if (params >= 0) bytes[static_cast<size_t>(params)] = set->BSSParameters;
        if (psd >= 0) bytes[static_cast<size_t>(psd)] = static_cast<uint8_t>(set->PSD20MHz);
        if (mld >= 0) {
          const uint32_t m = set->APMLDID | (uint32_t{set->LinkID & 0x0Fu} << 8) |
                             (uint32_t{set->BSSParametersChangeCount} << 12) |
                             (set->AllUpdatesIncluded ? 1u << 20 : 0) | (set->DisabledLink ? 1u << 21 : 0);
          for (int b = 0; b < 3; ++b) bytes[static_cast<size_t>(mld + b)] = static_cast<uint8_t>(m >> (8 * b));
        }
      }
      out.insert(out.end(), bytes.begin(), bytes.end());
    }
  }
  return out;
}

ElementBody EncodeEHTCapabilitiesBody(const EHTCapabilitiesValues& v) {
  ElementBody out;
  PutUInt16LE(out, v.MACCapabilities);
  std::array<uint8_t, 9> phy = v.PHYCapabilities;
  phy[0] = static_cast<uint8_t>((phy[0] & ~0x02) | (v.Map320 && !v.Map20Only ? 0x02 : 0));
  phy[5] = static_cast<uint8_t>((phy[5] & ~0x08) | (v.PPEThresholds.empty() ? 0 : 0x08));  // bit 43
  out.insert(out.end(), phy.begin(), phy.end());
  if (v.Map20Only) {
    out.insert(out.end(), v.Map20Only->begin(), v.Map20Only->end());
  } else {
    out.insert(out.end(), v.Map80.begin(), v.Map80.end());
    if (v.Map160) out.insert(out.end(), v.Map160->begin(), v.Map160->end());
    if (v.Map320) out.insert(out.end(), v.Map320->begin(), v.Map320->end());
  }
  out.insert(out.end(), v.PPEThresholds.begin(), v.PPEThresholds.end());
  return out;
}

ElementBody EncodeEHTOperationBody(const EHTOperationValues& v) {
  ElementBody out;
  uint8_t params = v.Parameters & 0xFC;
  if (v.OperationInfo) params |= 0x01;
  if (v.OperationInfo && v.OperationInfo->DisabledSubchannelBitmap) params |= 0x02;
  out.push_back(params);
  PutUInt32LE(out, v.BasicEHTMCSAndNSSSet);
  if (const auto& i = v.OperationInfo) {
    out.insert(out.end(), {static_cast<uint8_t>(i->ChannelWidth & 0x07), i->CenterSegment0, i->CenterSegment1});
    if (i->DisabledSubchannelBitmap) PutUInt16LE(out, *i->DisabledSubchannelBitmap);
  }
  return out;
}

ElementBody EncodeBasicMultiLinkBody(const BasicMultiLinkValues& v) {
  ElementBody common;
  uint16_t presence = 0;
  common.insert(common.end(), v.MLDMACAddress.begin(), v.MLDMACAddress.end());
  if (v.LinkID) presence |= 0x01, common.push_back(*v.LinkID & 0x0F);
  if (v.BSSParametersChangeCount) presence |= 0x02, common.push_back(*v.BSSParametersChangeCount);
  if (v.MediumSyncDelay) presence |= 0x04, PutUInt16LE(common, *v.MediumSyncDelay);
  if (v.EMLCapabilities) presence |= 0x08, PutUInt16LE(common, *v.EMLCapabilities);
  if (v.MLDCapabilities) presence |= 0x10, PutUInt16LE(common, *v.MLDCapabilities);
  if (v.APMLDID) presence |= 0x20, common.push_back(*v.APMLDID);

  ElementBody out;
  PutUInt16LE(out, static_cast<uint16_t>(presence << 4));  // type 0: basic
  out.push_back(static_cast<uint8_t>(common.size() + 1));
  out.insert(out.end(), common.begin(), common.end());
  for (const MLPerSTAProfileValues& p : v.Profiles) {
    ElementBody info;
    uint16_t control = static_cast<uint16_t>((p.LinkID & 0x0F) | (p.CompleteProfile ? 1u << 4 : 0));
    if (p.STAMACAddress) control |= 1u << 5, info.insert(info.end(), p.STAMACAddress->begin(), p.STAMACAddress->end());
    if (p.BeaconInterval) control |= 1u << 6, PutUInt16LE(info, *p.BeaconInterval);
    if (p.BSSParametersChangeCount) control |= 1u << 11, info.push_back(*p.BSSParametersChangeCount);
    ElementBody sub;
    PutUInt16LE(sub, control);
    sub.push_back(static_cast<uint8_t>(info.size() + 1));
    sub.insert(sub.end(), info.begin(), info.end());
    sub.insert(sub.end(), p.Elements.begin(), p.Elements.end());
    if (sub.size() > 255) sub.resize(255);
    out.push_back(0);  // per-STA profile
    out.push_back(static_cast<uint8_t>(sub.size()));
    out.insert(out.end(), sub.begin(), sub.end());
  }
  return out;
}

}  // namespace skimlet

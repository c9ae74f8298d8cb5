#include "core/ie/encode.h"

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
  uint32_t params = v.Parameters & 0xFD3FFFu;  // 14, 15 and 17 (6 GHz information, never written)
  if (v.VHTOperationInfo) params |= 1u << 14;
  if (v.MaxCoLocatedBSSIDIndicator) params |= 1u << 15;
  PutUInt24LE(out, params);
  out.push_back(v.BSSColorInformation);
  PutUInt16LE(out, v.BasicHEMCSSet);
  if (v.VHTOperationInfo)
    out.insert(out.end(), {v.VHTOperationInfo->ChannelWidth, v.VHTOperationInfo->CenterSegment0,
                           v.VHTOperationInfo->CenterSegment1});
  if (v.MaxCoLocatedBSSIDIndicator) out.push_back(*v.MaxCoLocatedBSSIDIndicator);
  return out;
}

}  // namespace skimlet

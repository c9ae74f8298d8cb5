// Element encoders: element bodies built from plain values, the inverse of the decoders. The simulated radio
// builds its beacons with them, tests and benchmarks their blobs.
//
// Each function returns the bytes that follow the length byte, except for vendor and extension elements:
// there they return what follows the OUI and subtype, or the extension ID, so that they go through
// ElementBuilder::AddVendor and AddExtension:
//
//   ElementBuilder b;
//   b.Add(kEidSSID, EncodeSSIDBody(ssid)).Add(kEidRSN, EncodeRSNBody(rsn));
//   b.AddVendor(kOUIMicrosoft, 4, EncodeWPSBody(wps)).AddExtension(kExtHECapabilities, EncodeHECapabilitiesBody(he));
//
// Multi-byte numbers are little-endian unless the element says otherwise (OUIs and WPS attributes are
// big-endian).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ie/util.h"

namespace skimlet {

enum ElementIdentifier : uint8_t {
  kEidSSID = 0,
  kEidSupportedRates = 1,
  kEidDSSS = 3,
  kEidTIM = 5,
  kEidCountry = 7,
  kEidBSSLoad = 11,
  kEidPowerConstraint = 32,
  kEidERP = 42,
  kEidHTCapabilities = 45,
  kEidRSN = 48,
  kEidExtSupportedRates = 50,
  kEidMobilityDomain = 54,
  kEidHTOperation = 61,
  kEidExtendedCapabilities = 127,
  kEidVHTCapabilities = 191,
  kEidVHTOperation = 192,
  kEidReducedNeighborReport = 201,
  kEidVendor = 221,
  kEidExtension = 255,
};
enum ExtensionIdentifier : uint8_t {
  kExtHECapabilities = 35,
  kExtHEOperation = 36,
  kExtEHTOperation = 106,
  kExtMultiLink = 107,
  kExtEHTCapabilities = 108,
};
constexpr uint32_t kOUIMicrosoft = 0x0050F2;  // WPA (1), WMM (2), WPS (4)
constexpr uint32_t kOUIIEEE = 0x000FAC;       // RSN suites
constexpr uint32_t kOUIWFA = 0x00372A;        // WPS vendor extension

using ElementBody = std::vector<uint8_t>;

// SSID (ID 0): the bytes as they are; no limit is enforced so that scenes can describe malformed ones.
ElementBody EncodeSSIDBody(Bytes ssid);

// A rate byte: Mbps in 500 kbit/s units, bit 7 for a basic rate.
uint8_t RateByte(double mbps, bool basic);
// Supported Rates (ID 1) and Extended Supported Rates (ID 50): the rate bytes.
ElementBody EncodeRatesBody(Bytes rateBytes);

// DSSS Parameter Set (ID 3).
ElementBody EncodeDSSSBody(uint8_t currentChannel);

// Traffic Indication Map (ID 5).
struct TIMValues {
  uint8_t DTIMCount = 0;
  uint8_t DTIMPeriod = 1;
  uint8_t BitmapControl = 0;
  std::vector<uint8_t> PartialVirtualBitmap{0};
};
ElementBody EncodeTIMBody(const TIMValues& v);

// Country (ID 7): two letters, environment (' ', 'I', 'O' or 'X'), then sub-band or operating triplets; a pad
// byte keeps the body length even.
struct CountryTriplet {
  uint8_t First = 0;   // first channel, or an operating extension identifier above 200
  uint8_t Second = 0;  // number of channels, or operating class
  uint8_t Third = 0;   // maximum transmit power in dBm, or coverage class
};
struct CountryValues {
  std::string Code = "XX";
  uint8_t Environment = ' ';
  std::vector<CountryTriplet> Triplets;
};
ElementBody EncodeCountryBody(const CountryValues& v);

// BSS Load (ID 11).
struct BSSLoadValues {
  uint16_t StationCount = 0;
  uint8_t ChannelUtilization = 0;           // 0..255 of the busy time
  uint16_t AvailableAdmissionCapacity = 0;  // units of 32 microseconds per second
};
// The utilization byte of a percentage (0..100).
uint8_t ChannelUtilizationByte(int percent);
ElementBody EncodeBSSLoadBody(const BSSLoadValues& v);

// Cipher and AKM suite selectors.
struct SuiteSelector {
  uint32_t OUI = kOUIIEEE;
  uint8_t Type = 0;
  bool operator==(const SuiteSelector&) const = default;
};
enum CipherSuiteType : uint8_t {
  kCipherSuiteUseGroup = 0,
  kCipherSuiteWEP40 = 1,
  kCipherSuiteTKIP = 2,
  kCipherSuiteCCMP = 4,
  kCipherSuiteWEP104 = 5,
  kCipherSuiteBIP = 6,
  kCipherSuiteGCMP = 8,
  kCipherSuiteGCMP256 = 9,
  kCipherSuiteCCMP256 = 10,
};
enum AKMSuiteType : uint8_t {
  kAKM8021X = 1,
  kAKMPSK = 2,
  kAKMFT8021X = 3,
  kAKMFTPSK = 4,
  kAKM8021XSHA256 = 5,
  kAKMPSKSHA256 = 6,
  kAKMSAE = 8,
  kAKMFTSAE = 9,
  kAKMSuiteB192 = 12,
  kAKMOWE = 18,
};

// RSN (ID 48). Optional tails are written only as far as they are given: capabilities, then PMKIDs (count
// and list), then the group management cipher.
struct RSNValues {
  uint16_t Version = 1;
  SuiteSelector GroupCipher{kOUIIEEE, kCipherSuiteCCMP};
  std::vector<SuiteSelector> PairwiseCiphers{{kOUIIEEE, kCipherSuiteCCMP}};
  std::vector<SuiteSelector> AKMSuites{{kOUIIEEE, kAKMPSK}};
  std::optional<uint16_t> Capabilities = 0;
  std::vector<std::array<uint8_t, 16>> PMKIDs;
  std::optional<SuiteSelector> GroupManagementCipher;
};
ElementBody EncodeRSNBody(const RSNValues& v);

// WPA (vendor 00-50-F2, subtype 1): the RSN layout behind the OUI and subtype, suites of OUI 00-50-F2.
struct WPAValues {
  uint16_t Version = 1;
  SuiteSelector GroupCipher{kOUIMicrosoft, kCipherSuiteTKIP};
  std::vector<SuiteSelector> PairwiseCiphers{{kOUIMicrosoft, kCipherSuiteTKIP}};
  std::vector<SuiteSelector> AKMSuites{{kOUIMicrosoft, kAKMPSK}};
  std::optional<uint16_t> Capabilities;
};
ElementBody EncodeWPABody(const WPAValues& v);

// WMM (vendor 00-50-F2, subtype 2): information element, or parameter element with four AC records.
struct WMMACParameters {
  uint8_t AIFSN = 3;
  bool ACM = false;
  uint8_t ECWmin = 4;
  uint8_t ECWmax = 10;
  uint16_t TXOPLimit = 0;  // units of 32 microseconds
};
struct WMMValues {
  bool ParameterElement = true;
  uint8_t Version = 1;
  uint8_t QoSInfo = 0;
  // By ACI: best effort, background, video, voice.
  std::array<WMMACParameters, 4> AC{
      {{3, false, 4, 10, 0}, {7, false, 4, 10, 0}, {2, false, 3, 4, 94}, {2, false, 2, 3, 47}}};
};
ElementBody EncodeWMMBody(const WMMValues& v);

// WPS (vendor 00-50-F2, subtype 4): attributes of 16-bit type and length (big-endian), in beacon order.
// Texts and optional values are written only when given.
struct WPSPrimaryDeviceType {
  uint16_t Category = 6;      // network infrastructure
  uint32_t OUI = 0x0050F204;  // the WPS OUI with its subtype, as the attribute carries it
  uint16_t SubCategory = 1;   // AP
};
struct WPSValues {
  uint8_t Version = 0x10;
  uint8_t WPSState = 2;  // 1 not configured, 2 configured
  bool APSetupLocked = false;
  std::optional<bool> SelectedRegistrar;
  std::optional<uint8_t> ResponseType = 3;  // AP
  std::optional<std::array<uint8_t, 16>> UUID;
  std::string Manufacturer, ModelName, ModelNumber, SerialNumber;
  std::optional<WPSPrimaryDeviceType> PrimaryDeviceType;
  std::string DeviceName;
  std::optional<uint16_t> ConfigMethods;
  std::optional<uint8_t> RFBands;
  std::optional<uint8_t> Version2 = 0x20;  // in the WFA vendor extension
};
ElementBody EncodeWPSBody(const WPSValues& v);

// HT Capabilities (ID 45), 26 bytes.
struct HTCapabilitiesValues {
  bool SupportedChannelWidth40 = false;   // bit 1
  bool ShortGI20 = false;                 // bit 5
  bool ShortGI40 = false;                 // bit 6
  uint16_t OtherCapabilityBits = 0x000C;  // every other bit of the capability field (default: SM power save off)
  uint8_t AMPDUParameters = 0x17;
  uint32_t RxMCSBitmask = 0xFF;    // MCS 0..31
  uint16_t RxHighestDataRate = 0;  // Mbps, 10 bits
  uint8_t TxMCSSetFlags = 0x01;    // Tx MCS set defined
  uint16_t ExtendedCapabilities = 0;
  uint32_t TxBeamformingCapabilities = 0;
  uint8_t ASELCapabilities = 0;
};
// The receive MCS bitmask of Streams spatial streams (MCS 0..8*Streams-1).
uint32_t HTRxMCSBitmaskFor(int streams);
ElementBody EncodeHTCapabilitiesBody(const HTCapabilitiesValues& v);

// HT Operation (ID 61), 22 bytes.
struct HTOperationValues {
  uint8_t PrimaryChannel = 1;
  uint8_t SecondaryChannelOffset = 0;  // 0 none, 1 above, 3 below
  bool AnyChannelWidth = false;        // STA channel width bit: false = 20 MHz only
  bool RIFSMode = false;
  uint16_t OperationInfo2 = 0;  // body 2..3: HT protection, non-greenfield, OBSS non-HT
  uint16_t OperationInfo3 = 0;  // body 4..5
  std::array<uint8_t, 16> BasicMCSSet{};
};
ElementBody EncodeHTOperationBody(const HTOperationValues& v);

// VHT Capabilities (ID 191), 12 bytes.
struct VHTCapabilitiesValues {
  uint8_t MaxMPDULength = 0;             // bits 0-1
  uint8_t SupportedChannelWidthSet = 0;  // bits 2-3: 0 none of 160/80+80, 1 160, 2 160 and 80+80
  bool ShortGI80 = false;                // bit 5
  bool ShortGI160 = false;               // bit 6
  uint32_t OtherCapabilityBits = 0;      // every other bit of the capability field
  uint16_t RxVHTMCSMap = 0xFFFE;         // two bits per stream: 0 MCS 0-7, 1 0-8, 2 0-9, 3 none
  uint16_t RxHighestLongGIDataRate = 0;
  uint8_t MaxNSTSTotal = 0;
  uint16_t TxVHTMCSMap = 0xFFFE;
  uint16_t TxHighestLongGIDataRate = 0;
  bool ExtendedNSSBWCapable = false;
};
// The MCS map of Streams streams that all support MCS 0..Highest (7, 8 or 9; HE: 0 = 0-7, 1 = 0-9, 2 = 0-11).
uint16_t MCSMapFor(int streams, uint8_t perStreamValue);
ElementBody EncodeVHTCapabilitiesBody(const VHTCapabilitiesValues& v);

// VHT Operation (ID 192), 5 bytes.
struct VHTOperationValues {
  uint8_t ChannelWidth = 0;  // 0 20/40, 1 80/160/80+80
  uint8_t CenterSegment0 = 0;
  uint8_t CenterSegment1 = 0;
  uint16_t BasicMCSSet = 0xFFFC;
};
ElementBody EncodeVHTOperationBody(const VHTOperationValues& v);

// HE Capabilities (extension 35): MAC capabilities (6 bytes), PHY capabilities (11 bytes) whose channel width
// set comes from the four width flags, the MCS maps (the 160 and 80+80 pairs only when their flag is set),
// then the PPE thresholds when given.
struct HECapabilitiesValues {
  uint64_t MACCapabilities = 0;               // 48 bits
  std::array<uint8_t, 11> PHYCapabilities{};  // bits 1-4 of byte 0 are replaced by the flags below
  bool Width40In24G = false;
  bool Width40And80In5G = false;
  bool Width160In5G = false;
  bool Width80p80In5G = false;
  uint16_t RxHEMCSMap80 = 0xFFFE, TxHEMCSMap80 = 0xFFFE;
  uint16_t RxHEMCSMap160 = 0xFFFF, TxHEMCSMap160 = 0xFFFF;
  uint16_t RxHEMCSMap80p80 = 0xFFFF, TxHEMCSMap80p80 = 0xFFFF;
  std::vector<uint8_t> PPEThresholds;
};
ElementBody EncodeHECapabilitiesBody(const HECapabilitiesValues& v);

// HE Operation (extension 36). Parameter bits 14 (VHT information present) and 15 (co-located BSS) follow
// from the optional parts.
struct HEVHTOperationInfo {
  uint8_t ChannelWidth = 0;
  uint8_t CenterSegment0 = 0;
  uint8_t CenterSegment1 = 0;
};
// 6 GHz operation information of HE Operation (5 bytes).
struct HE6GHzOperationInfo {
  uint8_t PrimaryChannel = 37;
  uint8_t ChannelWidth = 0;  // 0 20, 1 40, 2 80, 3 160/80+80 MHz
  bool DuplicateBeacon = false;
  uint8_t RegulatoryInfo = 0;  // 3 bits
  uint8_t CenterSegment0 = 37;
  uint8_t CenterSegment1 = 0;
  uint8_t MinimumRate = 6;
};
struct HEOperationValues {
  uint32_t Parameters = 0x003FF4;  // 24 bits; bits 14 and 15 follow the fields below, 17 is clear
  uint8_t BSSColorInformation = 0x01;
  uint16_t BasicHEMCSSet = 0xFFFC;
  std::optional<HEVHTOperationInfo> VHTOperationInfo;
  std::optional<uint8_t> MaxCoLocatedBSSIDIndicator;
  std::optional<HE6GHzOperationInfo> SixGHzOperationInfo;  // sets parameter bit 17
};
ElementBody EncodeHEOperationBody(const HEOperationValues& v);

// Mobility Domain (ID 54), 3 bytes.
struct MobilityDomainValues {
  uint16_t MDID = 0;
  bool FTOverDS = false;
  bool ResourceRequestProtocol = false;
};
ElementBody EncodeMobilityDomainBody(const MobilityDomainValues& v);

// Reduced Neighbor Report (ID 201): neighbour AP information fields of field type 0. Every set of a field
// is written with the field's TBTT information length; the fields a length holds are those of the decoder
// (1 offset; 2 +BSS parameters; 5 +short SSID; 6 +short SSID, BSS parameters; 7 +BSSID; 8 +BSSID, BSS
// parameters; 9 +BSSID, BSS parameters, PSD; 11 +BSSID, short SSID; 12 and 13 add BSS parameters and PSD;
// 16 adds the MLD parameters). Lengths other than these are written as zero bytes after the offset.
struct RNRTBTTInfo {
  uint8_t TBTTOffset = 255;
  std::array<uint8_t, 6> BSSID{};
  uint32_t ShortSSID = 0;
  uint8_t BSSParameters = 0;
  int8_t PSD20MHz = 127;
  uint8_t APMLDID = 0;
  uint8_t LinkID = 0;
  uint8_t BSSParametersChangeCount = 0;
  bool AllUpdatesIncluded = false;
  bool DisabledLink = false;
};
struct RNRNeighborAPInfo {
  bool FilteredNeighborAP = false;
  uint8_t TBTTInfoLength = 13;
  uint8_t OperatingClass = 131;
  uint8_t Channel = 37;
  std::vector<RNRTBTTInfo> Sets{RNRTBTTInfo{}};  // 1..16 sets
};
ElementBody EncodeReducedNeighborReportBody(const std::vector<RNRNeighborAPInfo>& fields);
// The short SSID of an SSID: its CRC-32.
uint32_t ShortSSIDOf(Bytes ssid);

// EHT Capabilities (extension 108): MAC (2 bytes), PHY (9 bytes; bit 1 follows Map320), the EHT-MCS maps
// (the 20 MHz-only map alone, or <= 80 MHz, then 160 and 320 MHz when given), then the PPE thresholds.
// A map is one byte per MCS group (0-9, 10-11, 12-13; the 20 MHz-only map 0-7, 8-9, 10-11, 12-13), receive
// NSS in the low nibble, transmit NSS in the high one.
struct EHTCapabilitiesValues {
  uint16_t MACCapabilities = 0;
  std::array<uint8_t, 9> PHYCapabilities{};
  std::optional<std::array<uint8_t, 4>> Map20Only;
  std::array<uint8_t, 3> Map80{0x22, 0x22, 0x22};
  std::optional<std::array<uint8_t, 3>> Map160;
  std::optional<std::array<uint8_t, 3>> Map320;
  std::vector<uint8_t> PPEThresholds;  // sets PHY bit 43 when given
};
// The EHT-MCS map byte of NSS streams for receive and transmit.
inline uint8_t EHTNSSByte(int nss) { return static_cast<uint8_t>((nss & 0x0F) | (nss << 4)); }
ElementBody EncodeEHTCapabilitiesBody(const EHTCapabilitiesValues& v);

// EHT Operation (extension 106). Parameter bits 0 (information present) and 1 (bitmap present) follow from
// the optional parts.
struct EHTOperationInfo {
  uint8_t ChannelWidth = 2;  // 0 20, 1 40, 2 80, 3 160, 4 320 MHz
  uint8_t CenterSegment0 = 0;
  uint8_t CenterSegment1 = 0;
  std::optional<uint16_t> DisabledSubchannelBitmap;
};
struct EHTOperationValues {
  uint8_t Parameters = 0;
  uint32_t BasicEHTMCSAndNSSSet = 0x11111111;
  std::optional<EHTOperationInfo> OperationInfo;
};
ElementBody EncodeEHTOperationBody(const EHTOperationValues& v);

// Basic Multi-Link (extension 107, type 0). The presence bitmap follows from the optional common info
// fields; per-STA profiles carry link ID, complete-profile flag, optional STA MAC address and the profile's
// elements as they are.
struct MLPerSTAProfileValues {
  uint8_t LinkID = 0;
  bool CompleteProfile = true;
  std::optional<std::array<uint8_t, 6>> STAMACAddress;
  std::optional<uint16_t> BeaconInterval;
  std::optional<uint8_t> BSSParametersChangeCount;
  std::vector<uint8_t> Elements;
};
struct BasicMultiLinkValues {
  std::array<uint8_t, 6> MLDMACAddress{};
  std::optional<uint8_t> LinkID;
  std::optional<uint8_t> BSSParametersChangeCount;
  std::optional<uint16_t> MediumSyncDelay;
  std::optional<uint16_t> EMLCapabilities;
  std::optional<uint16_t> MLDCapabilities;
  std::optional<uint8_t> APMLDID;
  std::vector<MLPerSTAProfileValues> Profiles;
};
ElementBody EncodeBasicMultiLinkBody(const BasicMultiLinkValues& v);

}  // namespace skimlet

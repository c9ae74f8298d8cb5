// The blocks the wireless service hands out and takes, as little-endian byte layouts with fixed offsets:
// interface list, BSS list, connection attributes and parameters, statistics, radio state, capability and
// profile list. Every block is an owned byte vector (WlanBlock); the record types below read a block field
// by field with every read checked against the block, and write one back. Code above the service reads the
// same layouts whatever produced them (the Linux backend, the simulated radio, a test).
//
// Texts of 256 wide characters (descriptions, profile names) are stored as UTF-16LE, zero-terminated, in 512
// bytes; in memory they are UTF-8 strings of at most 255 characters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/service/bss_entry.h"

namespace skimlet {

// A block returned by the service. It frees itself; there is no release call.
using WlanBlock = std::vector<uint8_t>;

// An interface GUID as its 16 bytes in memory order (Data1 and Data2/Data3 little-endian, then Data4).
using WLAN_GUID = std::array<uint8_t, 16>;
// Registry form: "{01234567-89AB-CDEF-0123-456789ABCDEF}".
std::string GuidToText(const WLAN_GUID& guid);
std::optional<WLAN_GUID> GuidFromText(std::string_view text);

// Wide-character text fields.
constexpr size_t kWlanMaxNameLength = 256;  // wide characters, the terminating zero included
// UTF-8 to UTF-16 code units; nullopt for malformed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// True when Name fits a 256-character field: valid UTF-8, not empty, at most 255 UTF-16 code units.
bool IsValidWlanName(std::string_view name);
// Reads a zero-terminated field of Chars wide characters from Bytes (which must hold 2*Chars bytes).
std::string ReadWideField(std::span<const uint8_t> bytes, size_t chars);
// Appends Text as a field of Chars wide characters, cut so that the terminating zero fits.
void PutWideField(std::vector<uint8_t>& out, std::string_view text, size_t chars);

// Interface states.
enum WlanInterfaceState : uint32_t {
  kInterfaceNotReady = 0,
  kInterfaceConnected = 1,
  kInterfaceAdHocNetworkFormed = 2,
  kInterfaceDisconnecting = 3,
  kInterfaceDisconnected = 4,
  kInterfaceAssociating = 5,
  kInterfaceDiscovering = 6,
  kInterfaceAuthenticating = 7,
};

// Radio states of one PHY.
enum WlanRadioState : uint32_t { kRadioUnknown = 0, kRadioOn = 1, kRadioOff = 2 };

// WLAN_INTERFACE_INFO_LIST: dwNumberOfItems (0), dwIndex (4), then 532-byte items from byte 8:
// InterfaceGuid (0), strInterfaceDescription (16, 256 wide characters), isState (528).
struct WLAN_INTERFACE_INFO {
  static constexpr size_t kSize = 532;
  WLAN_GUID InterfaceGuid{};
  std::string strInterfaceDescription;
  uint32_t isState = 0;
  bool operator==(const WLAN_INTERFACE_INFO&) const = default;
};
struct WLAN_INTERFACE_INFO_LIST {
  static constexpr size_t kHeaderSize = 8;
  uint32_t dwIndex = 0;
  std::vector<WLAN_INTERFACE_INFO> InterfaceInfo;
  // Nullopt when the block is shorter than its header or than the items it counts.
  static std::optional<WLAN_INTERFACE_INFO_LIST> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;
};

// WLAN_BSS_LIST: dwTotalSize (0), dwNumberOfItems (4), then the 360-byte entries from byte 8; each entry's
// element blob lies at the entry's start + ulIeOffset, anywhere inside the block.
class WlanBssListView {
 public:
  static constexpr size_t kHeaderSize = 8;
  explicit WlanBssListView(std::span<const uint8_t> block);
  uint32_t TotalSize() const { return totalSize_; }
  uint32_t NumberOfItems() const { return numberOfItems_; }
  // The entries that lie completely inside the block (never more than NumberOfItems).
  size_t Count() const { return count_; }
  WLAN_BSS_ENTRY Entry(size_t index) const;
  // The entry's element blob, or nullopt when it does not lie completely inside the block.
  std::optional<std::span<const uint8_t>> Blob(size_t index) const;
  // The bytes from the entry's first byte to the end of the block: what a network record takes as "an entry
  // followed by its blob".
  std::span<const uint8_t> EntryBytes(size_t index) const;

 private:
  std::span<const uint8_t> block_;
  uint32_t totalSize_ = 0;
  uint32_t numberOfItems_ = 0;
  size_t count_ = 0;
};
struct WlanBssListItem {
  WLAN_BSS_ENTRY Entry;  // its ulIeOffset and ulIeSize are set by the encoder
  std::vector<uint8_t> Blob;
};
// Header, all entries, then the blobs in entry order.
WlanBlock EncodeBssList(std::span<const WlanBssListItem> items);

// WLAN_CONNECTION_ATTRIBUTES, 604 bytes: isState (0), wlanConnectionMode (4), strProfileName (8, 256 wide
// characters), association attributes from 520: dot11Ssid (520, 36 bytes), dot11BssType (556), dot11Bssid
// (560), padding (566), dot11PhyType (568), uDot11PhyIndex (572), wlanSignalQuality (576), ulRxRate (580,
// kbit/s), ulTxRate (584); security attributes from 588: bSecurityEnabled (588), bOneXEnabled (592),
// dot11AuthAlgorithm (596), dot11CipherAlgorithm (600).
struct WLAN_CONNECTION_ATTRIBUTES {
  static constexpr size_t kSize = 604;
  uint32_t isState = 0;
  uint32_t wlanConnectionMode = 0;
  std::string strProfileName;
  DOT11_SSID dot11Ssid;
  uint32_t dot11BssType = 0;
  std::array<uint8_t, 6> dot11Bssid{};
  uint32_t dot11PhyType = 0;
  uint32_t uDot11PhyIndex = 0;
  uint32_t wlanSignalQuality = 0;
  uint32_t ulRxRate = 0;
  uint32_t ulTxRate = 0;
  uint32_t bSecurityEnabled = 0;
  uint32_t bOneXEnabled = 0;
  uint32_t dot11AuthAlgorithm = 0;
  uint32_t dot11CipherAlgorithm = 0;
  static std::optional<WLAN_CONNECTION_ATTRIBUTES> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;
  bool operator==(const WLAN_CONNECTION_ATTRIBUTES& o) const;
};

// Connection modes, authentication and cipher algorithms.
enum WlanConnectionMode : uint32_t {
  kConnectionModeProfile = 0,
  kConnectionModeTemporaryProfile = 1,
  kConnectionModeDiscoverySecure = 2,
  kConnectionModeDiscoveryUnsecure = 3,
  kConnectionModeAuto = 4,
  kConnectionModeInvalid = 5,
};
enum Dot11AuthAlgorithm : uint32_t {
  kAuthOpen = 1,
  kAuthSharedKey = 2,
  kAuthWPA = 3,
  kAuthWPAPSK = 4,
  kAuthWPANone = 5,
  kAuthRSNA = 6,
  kAuthRSNAPSK = 7,
  kAuthWPA3 = 8,
  kAuthWPA3SAE = 9,
  kAuthOWE = 10,
};
enum Dot11CipherAlgorithm : uint32_t {
  kCipherNone = 0,
  kCipherWEP40 = 1,
  kCipherTKIP = 2,
  kCipherCCMP = 4,
  kCipherWEP104 = 5,
  kCipherBIP = 6,
  kCipherGCMP = 8,
  kCipherWPAUseGroup = 0x100,
  kCipherWEP = 0x101,
};

// DOT11_BSSID_LIST: header (Type 0x80, Revision 1, Size 20), uNumOfEntries, uTotalNumOfEntries, BSSIDs.
struct DOT11_BSSID_LIST {
  uint8_t HeaderType = 0x80;
  uint8_t HeaderRevision = 1;
  uint16_t HeaderSize = 20;
  uint32_t uNumOfEntries = 0;
  uint32_t uTotalNumOfEntries = 0;
  std::vector<std::array<uint8_t, 6>> BSSIDs;
};

// What a connect request carries. Pointers of the platform's record are optional values here.
struct WLAN_CONNECTION_PARAMETERS {
  uint32_t wlanConnectionMode = kConnectionModeProfile;
  std::string strProfile;  // empty: none
  std::optional<DOT11_SSID> pDot11Ssid;
  std::optional<DOT11_BSSID_LIST> pDesiredBssidList;
  uint32_t dot11BssType = 1;
  uint32_t dwFlags = 0;  // 2: join only an ad hoc network
};

// The MAC counters (12) and the PHY counters (18) of the statistics record.
using WlanMacCounters = std::array<uint64_t, 12>;
using WlanPhyCounters = std::array<uint64_t, 18>;

// WLAN_STATISTICS: ullFourWayHandshakeFailures (0), ullTKIPCounterMeasuresInvoked (8), ullReserved (16),
// MacUcastCounters (24, 12 counters), MacMcastCounters (120), dwNumberOfPhys (216), padding (220), then one
// 144-byte PHY counter record per PHY from byte 224.
struct WLAN_STATISTICS {
  static constexpr size_t kPhyOffset = 224;
  static constexpr size_t kPhySize = 144;
  uint64_t ullFourWayHandshakeFailures = 0;
  uint64_t ullTKIPCounterMeasuresInvoked = 0;
  uint64_t ullReserved = 0;
  WlanMacCounters MacUcastCounters{};
  WlanMacCounters MacMcastCounters{};
  std::vector<WlanPhyCounters> PhyCounters;  // dwNumberOfPhys is its size
  // Nullopt when the block is shorter than 224 bytes or than the PHY records it counts.
  static std::optional<WLAN_STATISTICS> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;
  bool operator==(const WLAN_STATISTICS&) const = default;
};

// WLAN_PHY_RADIO_STATE, 12 bytes: dwPhyIndex, dot11SoftwareRadioState, dot11HardwareRadioState. Also the data
// of a radio switch (set opcode 4).
struct WLAN_PHY_RADIO_STATE {
  static constexpr size_t kSize = 12;
  uint32_t dwPhyIndex = 0;
  uint32_t dot11SoftwareRadioState = 0;
  uint32_t dot11HardwareRadioState = 0;
  static std::optional<WLAN_PHY_RADIO_STATE> Decode(std::span<const uint8_t> bytes);
  WlanBlock Encode() const;
  bool operator==(const WLAN_PHY_RADIO_STATE&) const = default;
};

// WLAN_RADIO_STATE, 772 bytes: dwNumberOfPhys (0), then 64 PHY radio states of 12 bytes from byte 4.
struct WLAN_RADIO_STATE {
  static constexpr size_t kMaxPhys = 64;
  static constexpr size_t kSize = 4 + kMaxPhys * WLAN_PHY_RADIO_STATE::kSize;
  std::vector<WLAN_PHY_RADIO_STATE> PhyRadioState;  // at most 64; dwNumberOfPhys is its size
  // Nullopt when the block is shorter than the header or than the states it counts, or counts more than 64.
  static std::optional<WLAN_RADIO_STATE> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;  // always 772 bytes
  bool operator==(const WLAN_RADIO_STATE&) const = default;
};

// WLAN_INTERFACE_CAPABILITY, 276 bytes: interfaceType (0), bDot11DSupported (4), dwMaxDesiredSsidListSize (8),
// dwMaxDesiredBssidListSize (12), dwNumberOfSupportedPhys (16), dot11PhyTypes (20, 64 PHY types).
struct WLAN_INTERFACE_CAPABILITY {
  static constexpr size_t kMaxPhys = 64;
  static constexpr size_t kSize = 20 + kMaxPhys * 4;
  uint32_t interfaceType = 0;  // 0 emulated, 1 native
  uint32_t bDot11DSupported = 0;
  uint32_t dwMaxDesiredSsidListSize = 0;
  uint32_t dwMaxDesiredBssidListSize = 0;
  std::vector<uint32_t> dot11PhyTypes;  // PHY type of each PHY index; at most 64
  static std::optional<WLAN_INTERFACE_CAPABILITY> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;  // always 276 bytes
  bool operator==(const WLAN_INTERFACE_CAPABILITY&) const = default;
};

// WLAN_PROFILE_INFO_LIST: dwNumberOfItems (0), dwIndex (4), then 516-byte items from byte 8:
// strProfileName (0, 256 wide characters), dwFlags (512).
struct WLAN_PROFILE_INFO {
  static constexpr size_t kSize = 516;
  std::string strProfileName;
  uint32_t dwFlags = 0;
  bool operator==(const WLAN_PROFILE_INFO&) const = default;
};
struct WLAN_PROFILE_INFO_LIST {
  static constexpr size_t kHeaderSize = 8;
  uint32_t dwIndex = 0;
  std::vector<WLAN_PROFILE_INFO> ProfileInfo;  // priority order
  static std::optional<WLAN_PROFILE_INFO_LIST> Decode(std::span<const uint8_t> block);
  WlanBlock Encode() const;
};

// Single-value query results (4 bytes): Booleans, states, the channel number and the RSSI.
std::optional<uint32_t> DecodeUInt32Value(std::span<const uint8_t> block);
std::optional<int32_t> DecodeInt32Value(std::span<const uint8_t> block);
WlanBlock EncodeUInt32Value(uint32_t value);
WlanBlock EncodeInt32Value(int32_t value);

}  // namespace skimlet

// The pure half of the Linux backend: netlink replies (as the bytes a socket delivered) turned into the
// service's records. Nothing here touches a socket or a file, so recorded or hand-built messages can be fed
// in by tests. Every read of message bytes is checked against the message; attributes are parsed with
// policy tables, so an attribute too short for its type rejects the object that holds it (not the reply).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/service/wlan_records.h"

namespace skimlet::linuxwifi {

// ---- Netlink replies ---------------------------------------------------------------------------------------

// Collects the messages answering one request (a dump or a single command with acknowledgement) from the
// datagrams the socket delivers, matched by sequence number.
class NetlinkReply {
 public:
  enum class State {
    Pending,    // more datagrams are needed
    Done,       // the dump's end, or the acknowledgement, arrived
    Failed,     // the kernel answered with an error (Error())
    Malformed,  // a message ran past its datagram or had an impossible length
  };

  NetlinkReply(uint32_t sequence, bool dump) : sequence_(sequence), dump_(dump) {}
  // Feeds one datagram; messages of other sequence numbers are skipped. Returns the state afterwards.
  State Feed(std::span<const uint8_t> datagram);
  State GetState() const { return state_; }
  // The positive errno of a Failed reply.
  int Error() const { return error_; }
  // True when some message carried the "dump interrupted" flag: the kernel's list changed while it was
  // dumped, so entries may be missing or doubled and the dump should be taken again.
  bool Interrupted() const { return interrupted_; }
  // The data messages (netlink header included), in arrival order.
  const std::vector<std::vector<uint8_t>>& Messages() const { return messages_; }

 private:
  uint32_t sequence_;
  [[maybe_unused]] bool dump_;  // not read: Feed takes the messages of dumps and single replies alike
  State state_ = State::Pending;
  int error_ = 0;
  bool interrupted_ = false;
  std::vector<std::vector<uint8_t>> messages_;
};

// A generic netlink message's command and its top-level attribute bytes; nullopt when the message is shorter
// than its headers or its length field does not match its bytes.
struct GenlMessage {
  uint16_t Type = 0;
  uint8_t Command = 0;
  std::span<const uint8_t> Attributes;
};
std::optional<GenlMessage> SplitGenlMessage(std::span<const uint8_t> message);

// A message of the nl80211 "scan" multicast group that ends a scan: new results, or the scan was aborted (the
// results so far stand). Nullopt for every other message (a scan that started, a malformed message).
struct ScanEvent {
  uint32_t IfIndex = 0;
  bool Aborted = false;
};
std::optional<ScanEvent> ParseScanEvent(std::span<const uint8_t> message);

// A message of the nl80211 "mlme" multicast group that ends a connection attempt or a connection. The kernel
// sends these whoever drives the interface (NetworkManager, a supplicant, a command-line tool), and anyone
// may listen. Recognised:
// - connect: the outcome of an attempt (status 0: connected; any other status, or the timed-out flag: failed);
// - authenticate or associate with the timed-out flag: an attempt of a supplicant that handles the
//   authentication itself failed (the connect event that follows a received association response carries
//   its outcome, so those responses are not taken);
// - disconnect: the connection ended, with the reason code when the kernel knows it.
// Nullopt for every other message (roaming, frames, a malformed message, a message without interface).
struct MlmeEvent {
  enum class Kind { Connected, ConnectFailed, Disconnected };
  uint32_t IfIndex = 0;
  Kind What = Kind::Connected;
  std::optional<std::array<uint8_t, 6>> Bssid;  // the access point, when the kernel names it
  uint16_t StatusCode = 0;                      // of a connect event: the 802.11 status code of the attempt (0 success)
  uint16_t ReasonCode = 0;     // of a disconnection: the 802.11 reason code; 0 when the kernel gives none
  bool TimedOut = false;       // the access point did not answer
  bool ByAccessPoint = false;  // the access point ended the connection (else this side did)
};
std::optional<MlmeEvent> ParseMlmeEvent(std::span<const uint8_t> message);

// What one datagram of the event socket (the "scan" and "mlme" groups) means for the service's caller: for
// each message that ends a scan or a connection attempt or a connection, in order, the interface and the code
// of the automatic configuration module's notification: scan complete (7), connection complete (10),
// connection attempt failed (11) or disconnected (21). Other messages are skipped; a message that runs past
// the datagram ends it.
struct InterfaceNotification {
  uint32_t IfIndex = 0;
  uint32_t Code = 0;
  bool operator==(const InterfaceNotification&) const = default;
};
std::vector<InterfaceNotification> EventNotifications(std::span<const uint8_t> datagram);

// ---- Interfaces and wiphys ----------------------------------------------------------------------------------

struct InterfaceInfo {
  uint32_t IfIndex = 0;
  std::string Name;
  uint32_t Wiphy = 0;
  uint32_t IfType = 0;
  std::array<uint8_t, 6> Mac{};
  uint32_t FrequencyMHz = 0;  // 0 when the interface is not on a channel
  bool HasSsid = false;       // a station is connected (the kernel reports the SSID it is connected to)
};
// One message of the interface dump; nullopt when a required attribute is missing or malformed.
std::optional<InterfaceInfo> ParseInterface(std::span<const uint8_t> message);
constexpr uint32_t kIfTypeStation = 2;

struct WiphyInfo {
  uint32_t Index = 0;
  std::string Name;
  bool Band24 = false, Band5 = false, Band6 = false;
  bool HT = false, VHT = false, HE = false;
};
// Merges one message of the (split) wiphy dump into the wiphy of its index in Wiphys. False when the message
// is malformed (the wiphys stay as they were).
bool MergeWiphy(std::span<const uint8_t> message, std::vector<WiphyInfo>& wiphys);
// The PHY types of a wiphy, one PHY index per type, ascending: 2.4 GHz gives 5 (HR/DSSS) and 6 (ERP), 5 and
// 6 GHz give 4 (OFDM), HT 7, VHT 8, HE 10.
std::vector<uint32_t> PhyTypesOf(const WiphyInfo& wiphy);

// ---- BSSs -------------------------------------------------------------------------------------------------

struct BssRecord {
  WlanBssListItem Item;
  bool Associated = false;  // the interface is associated (or joined) with this BSS
  uint32_t IfIndex = 0;
};
// One message of the scan dump as an entry with its element blob, the entry filled by ReadBeacon from the
// blob and the BSS attributes. PhyTypes: the interface's PHY types (the entry's uPhyId is the index of the
// BSS's PHY type among them). NowFiletime: the host's time as 100 ns units since 1601, from which the entry's
// host time stamp is counted back by the BSS's age. Nullopt when the message is malformed or holds no BSS.
std::optional<BssRecord> ParseBss(std::span<const uint8_t> message, std::span<const uint32_t> phyTypes,
                                  uint64_t nowFiletime);

// ---- Station info and statistics ----------------------------------------------------------------------------

struct StationInfo {
  std::array<uint8_t, 6> Mac{};
  std::optional<int32_t> SignalDbm;
  uint32_t TxKbps = 0, RxKbps = 0;
  bool TxHT = false, TxVHT = false, TxHE = false;
  uint64_t RxPackets = 0, TxPackets = 0, TxRetries = 0, TxFailed = 0, RxDropMisc = 0, BeaconLoss = 0;
  uint64_t FcsErrors = 0, RxMpdus = 0;
};
// One message of the station dump or a station reply; nullopt when malformed or without station data.
std::optional<StationInfo> ParseStation(std::span<const uint8_t> message);

// The interface's own counters (/sys/class/net/IF/statistics).
struct NetCounters {
  uint64_t RxPackets = 0, TxPackets = 0, Multicast = 0, RxCrcErrors = 0, RxDropped = 0, TxErrors = 0;
};
// The statistics record: the station's counters on the PHY index of the connection and the MAC counters,
// the interface's counters where the station has none. Station: null when not associated.
WLAN_STATISTICS StatisticsFrom(const StationInfo* station, const NetCounters& net, size_t phyCount,
                               size_t connectedPhyIndex);

// ---- Channel survey -------------------------------------------------------------------------------------------

// One channel of the survey dump (NL80211_CMD_GET_SURVEY): its noise floor and how the radio's time on it was
// spent, in milliseconds as the driver counts them (since the driver started, or since the channel was last
// surveyed; drivers differ). Each value only when the driver reports it.
struct ChannelSurvey {
  uint32_t FrequencyKHz = 0;  // the channel's centre frequency
  bool InUse = false;         // the channel the interface is on
  std::optional<int32_t> NoiseDbm;
  std::optional<uint64_t> ActiveMs;   // the radio was on the channel
  std::optional<uint64_t> BusyMs;     // the primary channel was sensed busy
  std::optional<uint64_t> ExtBusyMs;  // the extension channel was sensed busy
  std::optional<uint64_t> RxMs;       // receiving
  std::optional<uint64_t> TxMs;       // transmitting
  std::optional<uint64_t> ScanMs;     // scanning
  std::optional<uint64_t> BssRxMs;    // receiving frames of the interface's own BSS
};
// One message of the survey dump; nullopt when it is malformed or names no channel (an entry of the whole
// radio's statistics).
std::optional<ChannelSurvey> ParseSurvey(std::span<const uint8_t> message);

// ---- rfkill -------------------------------------------------------------------------------------------------

struct RfkillEvent {
  uint32_t Index = 0;
  uint8_t Type = 0;
  uint8_t Op = 0;  // 0 add, 1 delete, 2 change, 3 change all
  bool Soft = false, Hard = false;
};
// The events in bytes read from /dev/rfkill (each at least 8 bytes; longer events of newer kernels are
// accepted with their extra bytes ignored). EventSize: the size the device uses, 8 when unknown.
std::vector<RfkillEvent> ParseRfkillEvents(std::span<const uint8_t> bytes, size_t eventSize = 8);
// The 8 bytes that set the soft state of one rfkill switch.
std::array<uint8_t, 8> RfkillSoftBlockRequest(uint32_t index, bool block);

// ---- Interface identity ------------------------------------------------------------------------------------

// A name-based (version 5, SHA-1) UUID of the wiphy's permanent MAC address, as the service's GUID bytes.
WLAN_GUID GuidFromPermanentAddress(const std::array<uint8_t, 6>& mac);
// "aa:bb:cc:dd:ee:ff"; nullopt for anything else.
std::optional<std::array<uint8_t, 6>> ParseMacText(std::string_view text);

}  // namespace skimlet::linuxwifi

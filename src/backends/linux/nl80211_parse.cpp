#include "backends/linux/nl80211_parse.h"

#include <linux/genetlink.h>
#include <linux/netlink.h>
#include <linux/nl80211.h>
#include <netlink/attr.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/base/sha1.h"
#include "core/beacon/beacon_reader.h"
#include "core/service/wlan_service.h"

namespace skimlet::linuxwifi {

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (static_cast<uint32_t>(Get16(p + 2)) << 16); }

// libnl's parser takes mutable pointers but never writes through them.
nlattr* AttrHead(std::span<const uint8_t> bytes) {
  return reinterpret_cast<nlattr*>(const_cast<uint8_t*>(bytes.data()));
}

// Parses Bytes into Table (size MaxType + 1) with Policy; false when an attribute breaks the policy.
bool ParseAttributes(std::span<const uint8_t> bytes, nlattr** table, int maxType, const nla_policy* policy) {
  if (bytes.size() > 0x7FFFFFFF) return false;
  return nla_parse(table, maxType, AttrHead(bytes), static_cast<int>(bytes.size()), policy) == 0;
}

bool ParseNested(nlattr* attr, nlattr** table, int maxType, const nla_policy* policy) {
  return nla_parse_nested(table, maxType, attr, policy) == 0;
}

std::span<const uint8_t> Payload(const nlattr* a) {
  return {static_cast<const uint8_t*>(nla_data(a)), static_cast<size_t>(nla_len(a))};
}

// Policy tables: the minimum length of each attribute this code reads. Attributes outside a table (newer
// kernels add them) are skipped by the parser.
struct Policies {
  nla_policy Top[NL80211_ATTR_MAX + 1]{};
  nla_policy Bss[NL80211_BSS_MAX + 1]{};
  nla_policy Band[NL80211_BAND_ATTR_MAX + 1]{};
  nla_policy Sta[NL80211_STA_INFO_MAX + 1]{};
  nla_policy Rate[NL80211_RATE_INFO_MAX + 1]{};
  nla_policy IfType[NL80211_BAND_IFTYPE_ATTR_MAX + 1]{};
  nla_policy Survey[NL80211_SURVEY_INFO_MAX + 1]{};
  Policies() {
    Top[NL80211_ATTR_WIPHY] = {NLA_U32, 0, 0};
    Top[NL80211_ATTR_WIPHY_NAME] = {NLA_STRING, 0, 0};
    Top[NL80211_ATTR_IFINDEX] = {NLA_U32, 0, 0};
    Top[NL80211_ATTR_IFNAME] = {NLA_STRING, 0, 0};
    Top[NL80211_ATTR_IFTYPE] = {NLA_U32, 0, 0};
    Top[NL80211_ATTR_MAC] = {NLA_UNSPEC, 6, 6};
    Top[NL80211_ATTR_WIPHY_FREQ] = {NLA_U32, 0, 0};
    Top[NL80211_ATTR_WIPHY_BANDS] = {NLA_NESTED, 0, 0};
    Top[NL80211_ATTR_BSS] = {NLA_NESTED, 0, 0};
    Top[NL80211_ATTR_STA_INFO] = {NLA_NESTED, 0, 0};
    Top[NL80211_ATTR_SSID] = {NLA_UNSPEC, 0, 32};
    Top[NL80211_ATTR_STATUS_CODE] = {NLA_U16, 0, 0};
    Top[NL80211_ATTR_REASON_CODE] = {NLA_U16, 0, 0};
    Top[NL80211_ATTR_TIMED_OUT] = {NLA_FLAG, 0, 0};
    Top[NL80211_ATTR_DISCONNECTED_BY_AP] = {NLA_FLAG, 0, 0};
    Top[NL80211_ATTR_SURVEY_INFO] = {NLA_NESTED, 0, 0};
    Bss[NL80211_BSS_BSSID] = {NLA_UNSPEC, 6, 6};
    Bss[NL80211_BSS_FREQUENCY] = {NLA_U32, 0, 0};
    Bss[NL80211_BSS_FREQUENCY_OFFSET] = {NLA_U32, 0, 0};
    Bss[NL80211_BSS_TSF] = {NLA_U64, 0, 0};
    Bss[NL80211_BSS_BEACON_INTERVAL] = {NLA_U16, 0, 0};
    Bss[NL80211_BSS_CAPABILITY] = {NLA_U16, 0, 0};
    Bss[NL80211_BSS_INFORMATION_ELEMENTS] = {NLA_UNSPEC, 0, 0};
    Bss[NL80211_BSS_BEACON_IES] = {NLA_UNSPEC, 0, 0};
    Bss[NL80211_BSS_SIGNAL_MBM] = {NLA_U32, 0, 0};
    Bss[NL80211_BSS_SIGNAL_UNSPEC] = {NLA_U8, 0, 0};
    Bss[NL80211_BSS_STATUS] = {NLA_U32, 0, 0};
    Bss[NL80211_BSS_SEEN_MS_AGO] = {NLA_U32, 0, 0};
    Band[NL80211_BAND_ATTR_HT_CAPA] = {NLA_U16, 0, 0};
    Band[NL80211_BAND_ATTR_VHT_CAPA] = {NLA_U32, 0, 0};
    Band[NL80211_BAND_ATTR_IFTYPE_DATA] = {NLA_NESTED, 0, 0};
    Sta[NL80211_STA_INFO_SIGNAL] = {NLA_U8, 0, 0};
    Sta[NL80211_STA_INFO_TX_BITRATE] = {NLA_NESTED, 0, 0};
    Sta[NL80211_STA_INFO_RX_BITRATE] = {NLA_NESTED, 0, 0};
    Sta[NL80211_STA_INFO_RX_PACKETS] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_TX_PACKETS] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_TX_RETRIES] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_TX_FAILED] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_RX_DROP_MISC] = {NLA_U64, 0, 0};
    Sta[NL80211_STA_INFO_BEACON_LOSS] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_FCS_ERROR_COUNT] = {NLA_U32, 0, 0};
    Sta[NL80211_STA_INFO_RX_MPDUS] = {NLA_U32, 0, 0};
    Rate[NL80211_RATE_INFO_BITRATE] = {NLA_U16, 0, 0};
    Rate[NL80211_RATE_INFO_BITRATE32] = {NLA_U32, 0, 0};
    Rate[NL80211_RATE_INFO_MCS] = {NLA_U8, 0, 0};
    Rate[NL80211_RATE_INFO_VHT_MCS] = {NLA_U8, 0, 0};
    Rate[NL80211_RATE_INFO_HE_MCS] = {NLA_U8, 0, 0};
    Survey[NL80211_SURVEY_INFO_FREQUENCY] = {NLA_U32, 0, 0};
    Survey[NL80211_SURVEY_INFO_FREQUENCY_OFFSET] = {NLA_U32, 0, 0};
    Survey[NL80211_SURVEY_INFO_NOISE] = {NLA_U8, 0, 0};
    Survey[NL80211_SURVEY_INFO_IN_USE] = {NLA_FLAG, 0, 0};
    for (int t : {NL80211_SURVEY_INFO_TIME, NL80211_SURVEY_INFO_TIME_BUSY, NL80211_SURVEY_INFO_TIME_EXT_BUSY,
                  NL80211_SURVEY_INFO_TIME_RX, NL80211_SURVEY_INFO_TIME_TX, NL80211_SURVEY_INFO_TIME_SCAN,
                  NL80211_SURVEY_INFO_TIME_BSS_RX})
      Survey[t] = {NLA_U64, 0, 0};
  }
};
const Policies& Policy() {
  static const Policies p;
  return p;
}

}  // namespace

// ---- Netlink replies ---------------------------------------------------------------------------------------

NetlinkReply::State NetlinkReply::Feed(std::span<const uint8_t> datagram) {
  if (state_ != State::Pending) return state_;
  size_t pos = 0;
  while (pos < datagram.size()) {
    if (datagram.size() - pos < sizeof(nlmsghdr)) return state_ = State::Malformed;
    const uint8_t* h = datagram.data() + pos;
    uint32_t len = Get32(h);
    uint16_t type = Get16(h + 4);
    uint16_t flags = Get16(h + 6);
    uint32_t seq = Get32(h + 8);
    if (len < sizeof(nlmsghdr) || len > datagram.size() - pos) return state_ = State::Malformed;
    std::span<const uint8_t> msg = datagram.subspan(pos, len);
    pos += std::min<size_t>(NLMSG_ALIGN(len), datagram.size() - pos);
    if (seq != sequence_) continue;
    if (flags & NLM_F_DUMP_INTR) interrupted_ = true;
    if (type == NLMSG_NOOP) continue;
    if (type == NLMSG_DONE) return state_ = State::Done;
    if (type == NLMSG_ERROR) {
      if (msg.size() < sizeof(nlmsghdr) + 4) return state_ = State::Malformed;
      int32_t code = static_cast<int32_t>(Get32(msg.data() + sizeof(nlmsghdr)));
      if (code == 0) return state_ = State::Done;
      // The kernel sends a negative errno; the most negative value has no positive counterpart.
      error_ = code == INT32_MIN ? INT32_MAX : code < 0 ? -code : code;
      return state_ = State::Failed;
    }
    if (type < NLMSG_MIN_TYPE) continue;
    messages_.emplace_back(msg.begin(), msg.end());
  }
  return state_;
}

std::optional<GenlMessage> SplitGenlMessage(std::span<const uint8_t> message) {
  constexpr size_t kHeaders = sizeof(nlmsghdr) + GENL_HDRLEN;
  if (message.size() < kHeaders) return std::nullopt;
  uint32_t len = Get32(message.data());
  if (len < kHeaders || len > message.size()) return std::nullopt;
  GenlMessage g;
  g.Type = Get16(message.data() + 4);
  g.Command = message[sizeof(nlmsghdr)];
  g.Attributes = message.subspan(kHeaders, len - kHeaders);
  return g;
}

std::optional<ScanEvent> ParseScanEvent(std::span<const uint8_t> message) {
  auto g = SplitGenlMessage(message);
  if (!g || (g->Command != NL80211_CMD_NEW_SCAN_RESULTS && g->Command != NL80211_CMD_SCAN_ABORTED)) return std::nullopt;
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, Policy().Top) || !tb[NL80211_ATTR_IFINDEX])
    return std::nullopt;
  return ScanEvent{nla_get_u32(tb[NL80211_ATTR_IFINDEX]), g->Command == NL80211_CMD_SCAN_ABORTED};
}

std::optional<MlmeEvent> ParseMlmeEvent(std::span<const uint8_t> message) {
  auto g = SplitGenlMessage(message);
  if (!g) return std::nullopt;
  switch (g->Command) {
    case NL80211_CMD_CONNECT:
    case NL80211_CMD_DISCONNECT:
    case NL80211_CMD_AUTHENTICATE:
    case NL80211_CMD_ASSOCIATE: break;
    default: return std::nullopt;
  }
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, Policy().Top) || !tb[NL80211_ATTR_IFINDEX])
    return std::nullopt;
  MlmeEvent e;
  e.IfIndex = nla_get_u32(tb[NL80211_ATTR_IFINDEX]);
  e.TimedOut = tb[NL80211_ATTR_TIMED_OUT] != nullptr;
  if (tb[NL80211_ATTR_MAC]) {
    std::array<uint8_t, 6> mac{};
    std::memcpy(mac.data(), nla_data(tb[NL80211_ATTR_MAC]), 6);
    e.Bssid = mac;
  }
  switch (g->Command) {
    case NL80211_CMD_CONNECT:
      // The kernel always gives the status; an event without one says nothing certain.
      if (!tb[NL80211_ATTR_STATUS_CODE]) return std::nullopt;
      e.StatusCode = nla_get_u16(tb[NL80211_ATTR_STATUS_CODE]);
      e.What = e.StatusCode == 0 && !e.TimedOut ? MlmeEvent::Kind::Connected : MlmeEvent::Kind::ConnectFailed;
      return e;
    case NL80211_CMD_DISCONNECT:
      e.What = MlmeEvent::Kind::Disconnected;
      if (tb[NL80211_ATTR_REASON_CODE]) e.ReasonCode = nla_get_u16(tb[NL80211_ATTR_REASON_CODE]);
      e.ByAccessPoint = tb[NL80211_ATTR_DISCONNECTED_BY_AP] != nullptr;
      return e;
    default:  // authenticate, associate: only their time-outs end an attempt
      if (!e.TimedOut) return std::nullopt;
      e.What = MlmeEvent::Kind::ConnectFailed;
      return e;
  }
}

std::vector<InterfaceNotification> EventNotifications(std::span<const uint8_t> datagram) {
  std::vector<InterfaceNotification> out;
  size_t pos = 0;
  while (datagram.size() - pos >= sizeof(nlmsghdr)) {
    uint32_t len = Get32(datagram.data() + pos);
    if (len < sizeof(nlmsghdr) || len > datagram.size() - pos) break;
    std::span<const uint8_t> message = datagram.subspan(pos, len);
    if (auto e = ParseScanEvent(message)) {
      out.push_back({e->IfIndex, kAcmScanComplete});
    } else if (auto m = ParseMlmeEvent(message)) {
      uint32_t code = m->What == MlmeEvent::Kind::Connected       ? kAcmConnectionComplete
                      : m->What == MlmeEvent::Kind::ConnectFailed ? kAcmConnectionAttemptFail
                                                                  : kAcmDisconnected;
      out.push_back({m->IfIndex, code});
    }
    pos += std::min<size_t>(NLMSG_ALIGN(len), datagram.size() - pos);
  }
  return out;
}

// ---- Interfaces and wiphys ----------------------------------------------------------------------------------

std::optional<InterfaceInfo> ParseInterface(std::span<const uint8_t> message) {
  auto g = SplitGenlMessage(message);
  if (!g) return std::nullopt;
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, Policy().Top)) return std::nullopt;
  if (!tb[NL80211_ATTR_IFINDEX] || !tb[NL80211_ATTR_IFNAME] || !tb[NL80211_ATTR_WIPHY] || !tb[NL80211_ATTR_IFTYPE])
    return std::nullopt;
  InterfaceInfo i;
  i.IfIndex = nla_get_u32(tb[NL80211_ATTR_IFINDEX]);
  i.Name = nla_get_string(tb[NL80211_ATTR_IFNAME]);
  i.Wiphy = nla_get_u32(tb[NL80211_ATTR_WIPHY]);
  i.IfType = nla_get_u32(tb[NL80211_ATTR_IFTYPE]);
  if (tb[NL80211_ATTR_MAC]) std::memcpy(i.Mac.data(), nla_data(tb[NL80211_ATTR_MAC]), 6);
  if (tb[NL80211_ATTR_WIPHY_FREQ]) i.FrequencyMHz = nla_get_u32(tb[NL80211_ATTR_WIPHY_FREQ]);
  i.HasSsid = tb[NL80211_ATTR_SSID] != nullptr && nla_len(tb[NL80211_ATTR_SSID]) > 0;
  return i;
}

bool MergeWiphy(std::span<const uint8_t> message, std::vector<WiphyInfo>& wiphys) {
  auto g = SplitGenlMessage(message);
  if (!g) return false;
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, Policy().Top) || !tb[NL80211_ATTR_WIPHY]) return false;
  WiphyInfo w;
  w.Index = nla_get_u32(tb[NL80211_ATTR_WIPHY]);
  if (tb[NL80211_ATTR_WIPHY_NAME]) w.Name = nla_get_string(tb[NL80211_ATTR_WIPHY_NAME]);
  if (nlattr* bands = tb[NL80211_ATTR_WIPHY_BANDS]) {
    nlattr* band;
    int rem;
    nla_for_each_nested(band, bands, rem) {
      nlattr* bt[NL80211_BAND_ATTR_MAX + 1]{};
      if (!ParseNested(band, bt, NL80211_BAND_ATTR_MAX, Policy().Band)) return false;
      switch (nla_type(band)) {
        case NL80211_BAND_2GHZ: w.Band24 = true; break;
        case NL80211_BAND_5GHZ: w.Band5 = true; break;
        case NL80211_BAND_6GHZ: w.Band6 = true; break;
        default: continue;  // 60 GHz and sub-1 GHz bands have no PHY type here
      }
      if (bt[NL80211_BAND_ATTR_HT_CAPA]) w.HT = true;
      if (bt[NL80211_BAND_ATTR_VHT_CAPA]) w.VHT = true;
      if (nlattr* data = bt[NL80211_BAND_ATTR_IFTYPE_DATA]) {
        nlattr* entry;
        int rem2;
        nla_for_each_nested(entry, data, rem2) {
          nlattr* it[NL80211_BAND_IFTYPE_ATTR_MAX + 1]{};
          if (!ParseNested(entry, it, NL80211_BAND_IFTYPE_ATTR_MAX, Policy().IfType)) return false;
          if (it[NL80211_BAND_IFTYPE_ATTR_HE_CAP_PHY] || it[NL80211_BAND_IFTYPE_ATTR_HE_CAP_MAC]) w.HE = true;
        }
      }
    }
  }
  auto it = std::find_if(wiphys.begin(), wiphys.end(), [&](const WiphyInfo& x) { return x.Index == w.Index; });
  if (it == wiphys.end()) {
    wiphys.push_back(w);
    return true;
  }
  if (!w.Name.empty()) it->Name = w.Name;
  it->Band24 |= w.Band24;
  it->Band5 |= w.Band5;
  it->Band6 |= w.Band6;
  it->HT |= w.HT;
  it->VHT |= w.VHT;
  it->HE |= w.HE;
  return true;
}

std::vector<uint32_t> PhyTypesOf(const WiphyInfo& w) {
  std::vector<uint32_t> types;
  if (w.Band5 || w.Band6) types.push_back(4);
  if (w.Band24) {
    types.push_back(5);
    types.push_back(6);
  }
  if (w.HT) types.push_back(7);
  if (w.VHT) types.push_back(8);
  if (w.HE) types.push_back(10);
  return types;
}

// ---- BSSs -------------------------------------------------------------------------------------------------

std::optional<BssRecord> ParseBss(std::span<const uint8_t> message, std::span<const uint32_t> phyTypes,
                                  uint64_t nowFiletime) {
  auto g = SplitGenlMessage(message);
  if (!g) return std::nullopt;
  const Policies& p = Policy();
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, p.Top) || !tb[NL80211_ATTR_BSS]) return std::nullopt;
  nlattr* bss[NL80211_BSS_MAX + 1]{};
  if (!ParseNested(tb[NL80211_ATTR_BSS], bss, NL80211_BSS_MAX, p.Bss)) return std::nullopt;
  if (!bss[NL80211_BSS_BSSID] || !bss[NL80211_BSS_FREQUENCY]) return std::nullopt;

  BssRecord r;
  if (tb[NL80211_ATTR_IFINDEX]) r.IfIndex = nla_get_u32(tb[NL80211_ATTR_IFINDEX]);
  // The elements of the last frame received (probe response or beacon); the beacon's when there are no others.
  std::span<const uint8_t> blob;
  if (bss[NL80211_BSS_INFORMATION_ELEMENTS]) blob = Payload(bss[NL80211_BSS_INFORMATION_ELEMENTS]);
  else if (bss[NL80211_BSS_BEACON_IES]) blob = Payload(bss[NL80211_BSS_BEACON_IES]);
  r.Item.Blob.assign(blob.begin(), blob.end());

  TBeaconReception rx;
  std::memcpy(rx.Bssid.data(), nla_data(bss[NL80211_BSS_BSSID]), 6);
  rx.FrequencyKHz = nla_get_u32(bss[NL80211_BSS_FREQUENCY]) * 1000;
  if (bss[NL80211_BSS_FREQUENCY_OFFSET]) rx.FrequencyKHz += nla_get_u32(bss[NL80211_BSS_FREQUENCY_OFFSET]);
  if (bss[NL80211_BSS_CAPABILITY]) rx.Capability = nla_get_u16(bss[NL80211_BSS_CAPABILITY]);
  if (bss[NL80211_BSS_BEACON_INTERVAL]) rx.BeaconPeriod = nla_get_u16(bss[NL80211_BSS_BEACON_INTERVAL]);
  if (bss[NL80211_BSS_TSF]) rx.Timestamp = nla_get_u64(bss[NL80211_BSS_TSF]);
  if (bss[NL80211_BSS_SIGNAL_MBM]) {
    int32_t mbm = static_cast<int32_t>(nla_get_u32(bss[NL80211_BSS_SIGNAL_MBM]));
    rx.SignalDbm = static_cast<int32_t>(std::lround(mbm / 100.0));
  } else if (bss[NL80211_BSS_SIGNAL_UNSPEC]) {
    // A driver-defined 0..100 scale: read it as the link quality and map it back.
    rx.SignalDbm = -100 + std::min<int32_t>(nla_get_u8(bss[NL80211_BSS_SIGNAL_UNSPEC]), 100) / 2;
  }
  uint64_t ageMs = bss[NL80211_BSS_SEEN_MS_AGO] ? nla_get_u32(bss[NL80211_BSS_SEEN_MS_AGO]) : 0;
  rx.HostTimestamp = nowFiletime > ageMs * 10000 ? nowFiletime - ageMs * 10000 : 0;
  rx.InRegDomain = true;  // the kernel only scans channels the regulatory domain allows

  WLAN_BSS_ENTRY& e = r.Item.Entry;
  ReadBeacon(blob, rx, e);
  auto it = std::find(phyTypes.begin(), phyTypes.end(), e.dot11BssPhyType);
  e.uPhyId = it == phyTypes.end() ? 0 : static_cast<uint32_t>(it - phyTypes.begin());
  if (bss[NL80211_BSS_STATUS]) {
    uint32_t status = nla_get_u32(bss[NL80211_BSS_STATUS]);
    r.Associated = status == NL80211_BSS_STATUS_ASSOCIATED || status == NL80211_BSS_STATUS_IBSS_JOINED;
  }
  return r;
}

// ---- Station info and statistics ----------------------------------------------------------------------------

namespace {

// Kbit/s and the HT/VHT/HE marks of a rate info attribute.
void ReadRate(nlattr* attr, uint32_t& kbps, bool* ht, bool* vht, bool* he) {
  nlattr* rt[NL80211_RATE_INFO_MAX + 1]{};
  if (!ParseNested(attr, rt, NL80211_RATE_INFO_MAX, Policy().Rate)) return;
  if (rt[NL80211_RATE_INFO_BITRATE32]) kbps = nla_get_u32(rt[NL80211_RATE_INFO_BITRATE32]) * 100;
  else if (rt[NL80211_RATE_INFO_BITRATE]) kbps = nla_get_u16(rt[NL80211_RATE_INFO_BITRATE]) * 100u;
  if (ht) *ht = rt[NL80211_RATE_INFO_MCS] != nullptr;
  if (vht) *vht = rt[NL80211_RATE_INFO_VHT_MCS] != nullptr;
  if (he) *he = rt[NL80211_RATE_INFO_HE_MCS] != nullptr;
}

}  // namespace

std::optional<StationInfo> ParseStation(std::span<const uint8_t> message) {
  auto g = SplitGenlMessage(message);
  if (!g) return std::nullopt;
  const Policies& p = Policy();
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, p.Top) || !tb[NL80211_ATTR_STA_INFO]) return std::nullopt;
  nlattr* st[NL80211_STA_INFO_MAX + 1]{};
  if (!ParseNested(tb[NL80211_ATTR_STA_INFO], st, NL80211_STA_INFO_MAX, p.Sta)) return std::nullopt;
  StationInfo s;
  if (tb[NL80211_ATTR_MAC]) std::memcpy(s.Mac.data(), nla_data(tb[NL80211_ATTR_MAC]), 6);
  if (st[NL80211_STA_INFO_SIGNAL]) s.SignalDbm = static_cast<int8_t>(nla_get_u8(st[NL80211_STA_INFO_SIGNAL]));
  if (st[NL80211_STA_INFO_TX_BITRATE]) ReadRate(st[NL80211_STA_INFO_TX_BITRATE], s.TxKbps, &s.TxHT, &s.TxVHT, &s.TxHE);
  if (st[NL80211_STA_INFO_RX_BITRATE]) ReadRate(st[NL80211_STA_INFO_RX_BITRATE], s.RxKbps, nullptr, nullptr, nullptr);
  auto u32 = [&](int a) -> uint64_t { return st[a] ? nla_get_u32(st[a]) : 0; };
  s.RxPackets = u32(NL80211_STA_INFO_RX_PACKETS);
  s.TxPackets = u32(NL80211_STA_INFO_TX_PACKETS);
  s.TxRetries = u32(NL80211_STA_INFO_TX_RETRIES);
  s.TxFailed = u32(NL80211_STA_INFO_TX_FAILED);
  s.BeaconLoss = u32(NL80211_STA_INFO_BEACON_LOSS);
  s.FcsErrors = u32(NL80211_STA_INFO_FCS_ERROR_COUNT);
  s.RxMpdus = u32(NL80211_STA_INFO_RX_MPDUS);
  if (st[NL80211_STA_INFO_RX_DROP_MISC]) s.RxDropMisc = nla_get_u64(st[NL80211_STA_INFO_RX_DROP_MISC]);
  return s;
}

// How the kernel's counters fill the record (everything else stays 0, the kernel does not count it):
//   MAC unicast   0 transmitted frames  <- station TX packets (frames sent to the access point)
//                 1 received frames     <- station RX packets
//   MAC multicast 1 received frames     <- interface multicast counter (received multicast packets)
//   PHY (the connection's PHY index)
//                 0 transmitted frames  <- station TX packets
//                 2 failed              <- station TX failed (no acknowledgement after all retries)
//                 3 retries             <- station TX retries
//                 4 multiple retries    <- 0 (not counted by the kernel)
//                 9 ACK failures        <- station TX failed
//                10 received frames     <- station RX packets
//                11 multicast received  <- interface multicast counter
//                15 received fragments  <- station RX MPDUs
//                17 FCS errors          <- station FCS error count, else the interface's CRC errors
// Without an association only the interface's counters are known: they go to the MAC multicast record and
// to PHY index 0 (received frames, multicast received, FCS errors).
WLAN_STATISTICS StatisticsFrom(const StationInfo* sta, const NetCounters& net, size_t phyCount, size_t phyIndex) {
  WLAN_STATISTICS s;
  s.PhyCounters.assign(phyCount, WlanPhyCounters{});
  s.MacMcastCounters[1] = net.Multicast;
  if (phyCount == 0) return s;
  WlanPhyCounters& phy = s.PhyCounters[sta && phyIndex < phyCount ? phyIndex : 0];
  if (!sta) {
    phy[10] = net.RxPackets;
    phy[11] = net.Multicast;
    phy[17] = net.RxCrcErrors;
    return s;
  }
  s.MacUcastCounters[0] = sta->TxPackets;
  s.MacUcastCounters[1] = sta->RxPackets;
  phy[0] = sta->TxPackets;
  phy[2] = sta->TxFailed;
  phy[3] = sta->TxRetries;
  phy[9] = sta->TxFailed;
  phy[10] = sta->RxPackets;
  phy[11] = net.Multicast;
  phy[15] = sta->RxMpdus;
  phy[17] = sta->FcsErrors ? sta->FcsErrors : net.RxCrcErrors;
  return s;
}

// ---- Channel survey -------------------------------------------------------------------------------------------

std::optional<ChannelSurvey> ParseSurvey(std::span<const uint8_t> message) {
  auto g = SplitGenlMessage(message);
  if (!g) return std::nullopt;
  const Policies& p = Policy();
  nlattr* tb[NL80211_ATTR_MAX + 1]{};
  if (!ParseAttributes(g->Attributes, tb, NL80211_ATTR_MAX, p.Top) || !tb[NL80211_ATTR_SURVEY_INFO])
    return std::nullopt;
  nlattr* sv[NL80211_SURVEY_INFO_MAX + 1]{};
  if (!ParseNested(tb[NL80211_ATTR_SURVEY_INFO], sv, NL80211_SURVEY_INFO_MAX, p.Survey)) return std::nullopt;
  if (!sv[NL80211_SURVEY_INFO_FREQUENCY]) return std::nullopt;
  ChannelSurvey s;
  s.FrequencyKHz = nla_get_u32(sv[NL80211_SURVEY_INFO_FREQUENCY]) * 1000;
  if (sv[NL80211_SURVEY_INFO_FREQUENCY_OFFSET]) s.FrequencyKHz += nla_get_u32(sv[NL80211_SURVEY_INFO_FREQUENCY_OFFSET]);
  s.InUse = sv[NL80211_SURVEY_INFO_IN_USE] != nullptr;
  if (sv[NL80211_SURVEY_INFO_NOISE]) s.NoiseDbm = static_cast<int8_t>(nla_get_u8(sv[NL80211_SURVEY_INFO_NOISE]));
  auto time = [&](int a, std::optional<uint64_t>& out) {
    if (sv[a]) out = nla_get_u64(sv[a]);
  };
  time(NL80211_SURVEY_INFO_TIME, s.ActiveMs);
  time(NL80211_SURVEY_INFO_TIME_BUSY, s.BusyMs);
  time(NL80211_SURVEY_INFO_TIME_EXT_BUSY, s.ExtBusyMs);
  time(NL80211_SURVEY_INFO_TIME_RX, s.RxMs);
  time(NL80211_SURVEY_INFO_TIME_TX, s.TxMs);
  time(NL80211_SURVEY_INFO_TIME_SCAN, s.ScanMs);
  time(NL80211_SURVEY_INFO_TIME_BSS_RX, s.BssRxMs);
  return s;
}

// ---- rfkill -------------------------------------------------------------------------------------------------

std::vector<RfkillEvent> ParseRfkillEvents(std::span<const uint8_t> bytes, size_t eventSize) {
  std::vector<RfkillEvent> events;
  if (eventSize < 8) eventSize = 8;
  for (size_t pos = 0; pos + 8 <= bytes.size(); pos += eventSize) {
    const uint8_t* p = bytes.data() + pos;
    RfkillEvent e;
    e.Index = static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) | (static_cast<uint32_t>(p[3]) << 24);
    e.Type = p[4];
    e.Op = p[5];
    e.Soft = p[6] != 0;
    e.Hard = p[7] != 0;
    events.push_back(e);
  }
  return events;
}

std::array<uint8_t, 8> RfkillSoftBlockRequest(uint32_t index, bool block) {
  return {static_cast<uint8_t>(index),
          static_cast<uint8_t>(index >> 8),
          static_cast<uint8_t>(index >> 16),
          static_cast<uint8_t>(index >> 24),
          0 /* type: any */,
          2 /* change */,
          static_cast<uint8_t>(block),
          0};
}

// ---- Interface identity ------------------------------------------------------------------------------------

WLAN_GUID GuidFromPermanentAddress(const std::array<uint8_t, 6>& mac) {
  // The program's namespace for wiphy addresses: 8f3c5a1e-2b7d-4e69-a0c4-5d1e9b7f3a62.
  static constexpr uint8_t kNamespace[16] = {0x8f, 0x3c, 0x5a, 0x1e, 0x2b, 0x7d, 0x4e, 0x69,
                                             0xa0, 0xc4, 0x5d, 0x1e, 0x9b, 0x7f, 0x3a, 0x62};
  static constexpr char kHex[] = "0123456789abcdef";
  std::vector<uint8_t> name(kNamespace, kNamespace + 16);
  for (size_t i = 0; i < 6; ++i) {
    if (i) name.push_back(':');
    name.push_back(static_cast<uint8_t>(kHex[mac[i] >> 4]));
    name.push_back(static_cast<uint8_t>(kHex[mac[i] & 15]));
  }
  auto hash = Sha1(name);
  std::array<uint8_t, 16> u{};
  std::copy_n(hash.begin(), 16, u.begin());
  u[6] = static_cast<uint8_t>((u[6] & 0x0F) | 0x50);  // version 5
  u[8] = static_cast<uint8_t>((u[8] & 0x3F) | 0x80);  // RFC 4122 variant
  // The UUID's fields are big-endian; the GUID keeps its first three fields little-endian in memory.
  return WLAN_GUID{u[3], u[2], u[1],  u[0],  u[5],  u[4],  u[7],  u[6],
                   u[8], u[9], u[10], u[11], u[12], u[13], u[14], u[15]};
}

std::optional<std::array<uint8_t, 6>> ParseMacText(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  if (text.size() != 17) return std::nullopt;
  std::array<uint8_t, 6> mac{};
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < 6; ++i) {
    int hi = nibble(text[3 * i]), lo = nibble(text[3 * i + 1]);
    if (hi < 0 || lo < 0 || (i < 5 && text[3 * i + 2] != ':')) return std::nullopt;
    mac[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return mac;
}

}  // namespace skimlet::linuxwifi

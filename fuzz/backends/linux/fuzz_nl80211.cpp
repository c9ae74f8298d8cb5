// Arbitrary bytes as nl80211 netlink traffic. The first byte picks the form: even, the rest after the second
// byte is the attribute stream of one generic netlink message whose command is the second byte (the headers
// are made to fit, so the attribute parsers see every input); odd, the rest is a datagram as the socket
// delivers it, split into messages by the reply collector and read by the event socket's reader. Every message
// goes through every parser, and whatever a parser returns must be a record the layers above can take.
#include <linux/genetlink.h>
#include <linux/netlink.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backends/linux/nl80211_parse.h"

namespace {

using namespace skimlet;
using namespace skimlet::linuxwifi;

std::vector<uint8_t> WrapAttributes(uint8_t command, const uint8_t* data, size_t size) {
  std::vector<uint8_t> m(NLMSG_HDRLEN + GENL_HDRLEN + size);
  nlmsghdr h{};
  h.nlmsg_len = static_cast<uint32_t>(m.size());
  h.nlmsg_type = 0x1C;
  h.nlmsg_seq = 1;
  std::memcpy(m.data(), &h, sizeof h);
  genlmsghdr g{};
  g.cmd = command;
  g.version = 1;
  std::memcpy(m.data() + NLMSG_HDRLEN, &g, sizeof g);
  if (size) std::memcpy(m.data() + NLMSG_HDRLEN + GENL_HDRLEN, data, size);
  return m;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

void ParseEverything(std::span<const uint8_t> message) {
  if (auto g = SplitGenlMessage(message))
    Check(g->Attributes.data() >= message.data() &&
          g->Attributes.data() + g->Attributes.size() <= message.data() + message.size());
  ParseScanEvent(message);
  if (auto e = ParseMlmeEvent(message)) {
    Check(e->What != MlmeEvent::Kind::Connected || (e->StatusCode == 0 && !e->TimedOut));
  }
  if (auto i = ParseInterface(message)) Check(i->Name.size() < message.size());
  std::vector<WiphyInfo> wiphys;
  MergeWiphy(message, wiphys);
  MergeWiphy(message, wiphys);  // a second part of the same wiphy
  for (const WiphyInfo& w : wiphys) {
    const std::vector<uint32_t> types = PhyTypesOf(w);
    Check(types.size() <= 8);
  }
  static constexpr uint32_t kPhyTypes[] = {4, 5, 6, 7, 8, 10};
  if (auto b = ParseBss(message, kPhyTypes, 133000000000000000ull)) {
    const WLAN_BSS_ENTRY& e = b->Item.Entry;
    Check(e.dot11Ssid.uSSIDLength <= 32);
    Check(e.uLinkQuality <= 100);
    Check(e.wlanRateSet.uRateSetLength <= 252);
    Check(b->Item.Blob.size() < message.size());
    WlanBlock list = EncodeBssList(std::span(&b->Item, 1));
    WlanBssListView view(list);
    Check(view.Count() == 1 && view.Blob(0).has_value() && view.Blob(0)->size() == b->Item.Blob.size());
  }
  if (auto s = ParseStation(message)) {
    WLAN_STATISTICS stats = StatisticsFrom(&*s, NetCounters{}, 3, 1);
    Check(stats.PhyCounters.size() == 3);
  }
  if (auto s = ParseSurvey(message)) Check(!s->NoiseDbm || (*s->NoiseDbm >= -128 && *s->NoiseDbm <= 127));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t form = data[0];
  if ((form & 1) == 0) {
    ParseEverything(WrapAttributes(data[1], data + 2, size - 2));
    return 0;
  }
  // A datagram: messages of sequence number 1 (the second byte says whether it answers a dump).
  std::vector<uint8_t> datagram(data + 2, data + size);
  NetlinkReply reply(1, data[1] & 1);
  reply.Feed(datagram);
  for (const std::vector<uint8_t>& message : reply.Messages()) ParseEverything(message);
  Check(ParseRfkillEvents(datagram, 8 + (data[1] >> 4)).size() <= datagram.size() / 8);
  for (const InterfaceNotification& n : EventNotifications(datagram))
    Check(n.Code == 7 || n.Code == 10 || n.Code == 11 || n.Code == 21);
  return 0;
}

// Netlink replies as the kernel sends them, built byte by byte: BSS entries, interfaces, wiphys, stations and
// the dumps around them (malformed attributes, truncated and interrupted dumps, attributes of newer kernels).
#include "backends/linux/nl80211_parse.h"

#include <gtest/gtest.h>

#include <linux/genetlink.h>
#include <linux/netlink.h>
#include <linux/nl80211.h>

#include <initializer_list>

#include "support/netlink_message.h"

namespace skimlet::linuxwifi {
namespace {

using namespace test::netlink;

const Bytes kElements = {
    0x00, 0x04, 'L',  'a',  'b',  '1',                           // SSID
    0x01, 0x08, 0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0xFF,  // rates, HT membership selector last
    0x03, 0x01, 0x06,                                            // DSSS channel 6
    0x2D, 0x02, 0x00, 0x00,                                      // HT capabilities (short)
    0x32, 0x02, 0x30, 0x48,                                      // extended rates 24, 36
};

Bytes BssAttrs(const Bytes& extra = {}, const Bytes& bssid = {0x02, 0, 0, 0, 0x01, 0x00}) {
  return Cat(
      {U32(NL80211_ATTR_IFINDEX, 5),
       Nest(NL80211_ATTR_BSS, {Attr(NL80211_BSS_BSSID, bssid), U32(NL80211_BSS_FREQUENCY, 2437),
                               U64(NL80211_BSS_TSF, 123456789), U16(NL80211_BSS_BEACON_INTERVAL, 100),
                               U16(NL80211_BSS_CAPABILITY, 0x0411), Attr(NL80211_BSS_INFORMATION_ELEMENTS, kElements),
                               U32(NL80211_BSS_SIGNAL_MBM, static_cast<uint32_t>(-6700)),
                               U32(NL80211_BSS_SEEN_MS_AGO, 1500), U32(NL80211_BSS_STATUS, 1), extra})});
}

const std::vector<uint32_t> kPhys = {4, 5, 6, 7, 8};
constexpr uint64_t kNow = 133500000000000000ull;

TEST(Nl80211Bss, EntryFieldsComeFromTheAttributesAndElements) {
  auto r = ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs()), kPhys, kNow);
  ASSERT_TRUE(r);
  const WLAN_BSS_ENTRY& e = r->Item.Entry;
  EXPECT_EQ(r->IfIndex, 5u);
  EXPECT_TRUE(r->Associated);
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 4u);
  EXPECT_EQ(std::string(e.dot11Ssid.ucSSID.begin(), e.dot11Ssid.ucSSID.begin() + 4), "Lab1");
  EXPECT_EQ(e.dot11Bssid, (std::array<uint8_t, 6>{0x02, 0, 0, 0, 0x01, 0x00}));
  EXPECT_EQ(e.dot11BssType, 1u);
  EXPECT_EQ(e.lRssi, -67);
  EXPECT_EQ(e.uLinkQuality, 66u);
  EXPECT_EQ(e.ulChCenterFrequency, 2437000u);
  EXPECT_EQ(e.usCapabilityInformation, 0x0411);
  EXPECT_EQ(e.usBeaconPeriod, 100);
  EXPECT_EQ(e.ullTimestamp, 123456789u);
  EXPECT_EQ(e.ullHostTimestamp, kNow - 1500 * 10000);
  EXPECT_EQ(e.dot11BssPhyType, 7u);
  EXPECT_EQ(e.uPhyId, 3u);
  // 1, 2, 5.5, 11 basic; 6, 9, 12 from the first element, 24, 36 from the extension; the selector is left out.
  ASSERT_EQ(e.wlanRateSet.uRateSetLength, 18u);
  std::vector<uint16_t> rates(e.wlanRateSet.usRateSet.begin(), e.wlanRateSet.usRateSet.begin() + 9);
  EXPECT_EQ(rates, (std::vector<uint16_t>{0x8002, 0x8004, 0x800B, 0x8016, 12, 18, 24, 48, 72}));
  EXPECT_EQ(r->Item.Blob, kElements);

  // Through the list encoder, the entry's blob is the element bytes.
  std::vector<WlanBssListItem> items{r->Item};
  WlanBlock block = EncodeBssList(items);
  WlanBssListView view(block);
  ASSERT_EQ(view.Count(), 1u);
  ASSERT_TRUE(view.Blob(0));
  EXPECT_TRUE(std::equal(view.Blob(0)->begin(), view.Blob(0)->end(), kElements.begin(), kElements.end()));
}

TEST(Nl80211Bss, MalformedAttributesRejectOnlyTheirBss) {
  // Frequency of two bytes, a five-byte BSSID, a message length beyond its bytes.
  Bytes shortFreq =
      Cat({U32(NL80211_ATTR_IFINDEX, 5), Nest(NL80211_ATTR_BSS, {Attr(NL80211_BSS_BSSID, {1, 2, 3, 4, 5, 6}),
                                                                 Attr(NL80211_BSS_FREQUENCY, {0x85, 0x09})})});
  EXPECT_FALSE(ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, shortFreq), kPhys, kNow));
  EXPECT_FALSE(ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs({}, {1, 2, 3, 4, 5})), kPhys, kNow));
  Bytes lying = Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs());
  lying[0] = static_cast<uint8_t>(lying[0] + 4);
  EXPECT_FALSE(ParseBss(lying, kPhys, kNow));
  // An attribute whose length runs past the nest: the parser stops there, the BSS lacks its frequency.
  Bytes runaway = Cat({Nest(NL80211_ATTR_BSS, {Attr(NL80211_BSS_BSSID, {1, 2, 3, 4, 5, 6})})});
  runaway.insert(runaway.end(), {0xF0, 0x00, NL80211_BSS_FREQUENCY, 0x00, 0x85, 0x09, 0, 0});
  EXPECT_FALSE(ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, runaway), kPhys, kNow));
  EXPECT_FALSE(ParseBss({}, kPhys, kNow));

  // In a dump, the good entries around a bad one are kept.
  Bytes datagram =
      Cat({Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs()), Message(NL80211_CMD_NEW_SCAN_RESULTS, shortFreq),
           Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs({}, {2, 2, 2, 2, 2, 2})), Done()});
  NetlinkReply reply(kSeq, true);
  ASSERT_EQ(reply.Feed(datagram), NetlinkReply::State::Done);
  int parsed = 0;
  for (const auto& m : reply.Messages()) parsed += ParseBss(m, kPhys, kNow).has_value();
  EXPECT_EQ(reply.Messages().size(), 3u);
  EXPECT_EQ(parsed, 2);
}

TEST(Nl80211Bss, UnknownAttributesOfNewerKernelsAreSkipped) {
  Bytes extra = Cat({U32(NL80211_BSS_MAX + 7, 1), Attr(NL80211_BSS_MAX + 9, {1, 2, 3})});
  Bytes attrs = Cat({BssAttrs(extra), U64(NL80211_ATTR_MAX + 3, 99)});
  auto r = ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, attrs), kPhys, kNow);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Item.Entry.ulChCenterFrequency, 2437000u);
  EXPECT_EQ(r->Item.Blob, kElements);
}

TEST(Nl80211Bss, SignalAndTypeVariants) {
  // No signal in mBm: the driver's 0..100 scale; IBSS capability; a 6 GHz frequency with an offset.
  Bytes attrs = Cat({Nest(NL80211_ATTR_BSS, {Attr(NL80211_BSS_BSSID, {1, 2, 3, 4, 5, 6}),
                                             U32(NL80211_BSS_FREQUENCY, 5975), U32(NL80211_BSS_FREQUENCY_OFFSET, 500),
                                             U16(NL80211_BSS_CAPABILITY, 0x0002), U8(NL80211_BSS_SIGNAL_UNSPEC, 60),
                                             Attr(NL80211_BSS_BEACON_IES, {0x00, 0x00, 0xFF, 0x01, 35})})});
  auto r = ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, attrs), kPhys, kNow);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Item.Entry.dot11BssType, 2u);
  EXPECT_EQ(r->Item.Entry.lRssi, -70);
  EXPECT_EQ(r->Item.Entry.ulChCenterFrequency, 5975500u);
  EXPECT_EQ(r->Item.Entry.dot11Ssid.uSSIDLength, 0u);
  EXPECT_EQ(r->Item.Entry.dot11BssPhyType, 10u);
  EXPECT_EQ(r->Item.Entry.uPhyId, 0u);  // not among the interface's types
  EXPECT_FALSE(r->Associated);
  EXPECT_EQ(r->Item.Entry.ullHostTimestamp, kNow);
}

TEST(NetlinkReplyTest, DumpStatesAcrossDatagrams) {
  Bytes one = Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs());
  // A dump spread over two datagrams, with a message of another request in between.
  NetlinkReply reply(kSeq, true);
  EXPECT_EQ(reply.Feed(Cat({one, Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs(), NLM_F_MULTI, kSeq + 1)})),
            NetlinkReply::State::Pending);
  EXPECT_EQ(reply.Feed(Cat({one, Done()})), NetlinkReply::State::Done);
  EXPECT_EQ(reply.Messages().size(), 2u);
  EXPECT_FALSE(reply.Interrupted());
  // Once done, later datagrams change nothing.
  EXPECT_EQ(reply.Feed(one), NetlinkReply::State::Done);
  EXPECT_EQ(reply.Messages().size(), 2u);
}

TEST(NetlinkReplyTest, TruncatedDumpIsMalformed) {
  Bytes one = Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs());
  Bytes cut = Cat({one, one});
  cut.resize(one.size() + 30);  // the second message's header promises more than the datagram holds
  NetlinkReply reply(kSeq, true);
  EXPECT_EQ(reply.Feed(cut), NetlinkReply::State::Malformed);
  NetlinkReply stub(kSeq, true);
  EXPECT_EQ(stub.Feed(Bytes{0x10, 0, 0}), NetlinkReply::State::Malformed);  // shorter than a header
  NetlinkReply zero(kSeq, true);
  EXPECT_EQ(zero.Feed(Bytes(16, 0)), NetlinkReply::State::Malformed);  // a length of 0 never ends
  // A dump whose end never came is still pending: the socket's timeout decides.
  NetlinkReply open(kSeq, true);
  EXPECT_EQ(open.Feed(one), NetlinkReply::State::Pending);
}

TEST(NetlinkReplyTest, InterruptedDumpIsFlagged) {
  Bytes first = Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs());
  Bytes second = Message(NL80211_CMD_NEW_SCAN_RESULTS, BssAttrs({}, {2, 2, 2, 2, 2, 2}), NLM_F_MULTI | NLM_F_DUMP_INTR);
  NetlinkReply reply(kSeq, true);
  EXPECT_EQ(reply.Feed(Cat({first, second, Done(kSeq, NLM_F_MULTI | NLM_F_DUMP_INTR)})), NetlinkReply::State::Done);
  EXPECT_TRUE(reply.Interrupted());
  EXPECT_EQ(reply.Messages().size(), 2u);
}

TEST(NetlinkReplyTest, ErrorsAndAcknowledgements) {
  NetlinkReply busy(kSeq, false);
  EXPECT_EQ(busy.Feed(ErrorMsg(-16)), NetlinkReply::State::Failed);
  EXPECT_EQ(busy.Error(), 16);
  NetlinkReply lowest(kSeq, false);  // no errno, but still an error with a positive number
  EXPECT_EQ(lowest.Feed(ErrorMsg(INT32_MIN)), NetlinkReply::State::Failed);
  EXPECT_GT(lowest.Error(), 0);
  NetlinkReply ack(kSeq, false);
  EXPECT_EQ(ack.Feed(Cat({ErrorMsg(-1, kSeq + 5), Message(NL80211_CMD_NEW_STATION, {}, 0), ErrorMsg(0)})),
            NetlinkReply::State::Done);
  EXPECT_EQ(ack.Messages().size(), 1u);
  NetlinkReply cut(kSeq, false);
  Bytes shortError = ErrorMsg(-1);
  shortError.resize(18);
  shortError[0] = 18;
  EXPECT_EQ(cut.Feed(shortError), NetlinkReply::State::Malformed);
}

TEST(Nl80211Events, ScanEndingsAreRecognised) {
  auto done = ParseScanEvent(Message(NL80211_CMD_NEW_SCAN_RESULTS, U32(NL80211_ATTR_IFINDEX, 9), 0));
  ASSERT_TRUE(done);
  EXPECT_EQ(done->IfIndex, 9u);
  EXPECT_FALSE(done->Aborted);
  auto aborted = ParseScanEvent(Message(NL80211_CMD_SCAN_ABORTED, U32(NL80211_ATTR_IFINDEX, 3), 0));
  ASSERT_TRUE(aborted);
  EXPECT_TRUE(aborted->Aborted);
  EXPECT_FALSE(ParseScanEvent(Message(NL80211_CMD_TRIGGER_SCAN, U32(NL80211_ATTR_IFINDEX, 3), 0)));
  EXPECT_FALSE(ParseScanEvent(Message(NL80211_CMD_NEW_SCAN_RESULTS, Attr(NL80211_ATTR_IFINDEX, {1, 2}), 0)));
  EXPECT_FALSE(ParseScanEvent(Message(NL80211_CMD_NEW_SCAN_RESULTS, {}, 0)));
}

TEST(Nl80211Events, ConnectionEventsOfTheMlmeGroup) {
  using K = MlmeEvent::Kind;
  const Bytes ap = {0x02, 0, 0, 0, 0x01, 0x00};
  const Bytes flag = {};  // a flag attribute has no payload
  struct Case {
    const char* name;
    uint8_t cmd;
    Bytes attrs;
    K kind;
    uint16_t status, reason;
    bool timedOut, byAp;
  };
  const Case cases[] = {
      {"connected", NL80211_CMD_CONNECT,
       Cat({U32(NL80211_ATTR_WIPHY, 0), U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_MAC, ap),
            U16(NL80211_ATTR_STATUS_CODE, 0), Attr(NL80211_ATTR_REQ_IE, {0, 4, 'L', 'a', 'b', '1'})}),
       K::Connected, 0, 0, false, false},
      {"refused by the access point", NL80211_CMD_CONNECT,
       Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_MAC, ap), U16(NL80211_ATTR_STATUS_CODE, 17)}),
       K::ConnectFailed, 17, 0, false, false},
      {"connect timed out", NL80211_CMD_CONNECT,
       Cat({U32(NL80211_ATTR_IFINDEX, 4), U16(NL80211_ATTR_STATUS_CODE, 0), Attr(NL80211_ATTR_TIMED_OUT, flag)}),
       K::ConnectFailed, 0, 0, true, false},
      {"association timed out", NL80211_CMD_ASSOCIATE,
       Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_MAC, ap), Attr(NL80211_ATTR_TIMED_OUT, flag)}),
       K::ConnectFailed, 0, 0, true, false},
      {"authentication timed out", NL80211_CMD_AUTHENTICATE,
       Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_TIMED_OUT, flag)}), K::ConnectFailed, 0, 0, true, false},
      {"deauthenticated by the access point", NL80211_CMD_DISCONNECT,
       Cat({U32(NL80211_ATTR_IFINDEX, 4), U16(NL80211_ATTR_REASON_CODE, 6),
            Attr(NL80211_ATTR_DISCONNECTED_BY_AP, flag)}),
       K::Disconnected, 0, 6, false, true},
      {"left locally without reason", NL80211_CMD_DISCONNECT, U32(NL80211_ATTR_IFINDEX, 4), K::Disconnected, 0, 0,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto e = ParseMlmeEvent(Message(c.cmd, c.attrs, 0, 0));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->IfIndex, 4u);
    EXPECT_EQ(e->What, c.kind);
    EXPECT_EQ(e->StatusCode, c.status);
    EXPECT_EQ(e->ReasonCode, c.reason);
    EXPECT_EQ(e->TimedOut, c.timedOut);
    EXPECT_EQ(e->ByAccessPoint, c.byAp);
  }
  auto named = ParseMlmeEvent(Message(NL80211_CMD_CONNECT, cases[0].attrs, 0, 0));
  ASSERT_TRUE(named && named->Bssid);
  EXPECT_EQ(*named->Bssid, (std::array<uint8_t, 6>{0x02, 0, 0, 0, 0x01, 0x00}));
  EXPECT_FALSE(ParseMlmeEvent(Message(NL80211_CMD_DISCONNECT, U32(NL80211_ATTR_IFINDEX, 4), 0, 0))->Bssid);

  // Not an outcome: a received association response (the connect event follows), a roam, a scan event.
  EXPECT_FALSE(ParseMlmeEvent(
      Message(NL80211_CMD_ASSOCIATE, Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_FRAME, {0x10, 0})}), 0, 0)));
  EXPECT_FALSE(
      ParseMlmeEvent(Message(NL80211_CMD_ROAM, Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_MAC, ap)}), 0, 0)));
  EXPECT_FALSE(ParseMlmeEvent(Message(NL80211_CMD_NEW_SCAN_RESULTS, U32(NL80211_ATTR_IFINDEX, 4), 0, 0)));
  // Malformed: no interface, no status, a one-byte status or reason, a five-byte address, a message cut short.
  const Bytes malformed[] = {
      U16(NL80211_ATTR_STATUS_CODE, 0),
      U32(NL80211_ATTR_IFINDEX, 4),
      Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_STATUS_CODE, {0})}),
      Cat({U32(NL80211_ATTR_IFINDEX, 4), U16(NL80211_ATTR_STATUS_CODE, 0), Attr(NL80211_ATTR_MAC, {1, 2, 3, 4, 5})}),
  };
  for (const Bytes& attrs : malformed) EXPECT_FALSE(ParseMlmeEvent(Message(NL80211_CMD_CONNECT, attrs, 0, 0)));
  EXPECT_FALSE(ParseMlmeEvent(
      Message(NL80211_CMD_DISCONNECT, Cat({U32(NL80211_ATTR_IFINDEX, 4), Attr(NL80211_ATTR_REASON_CODE, {3})}), 0, 0)));
  Bytes cut = Message(NL80211_CMD_CONNECT, cases[0].attrs, 0, 0);
  cut.resize(cut.size() - 4);  // the length field now runs past the bytes
  EXPECT_FALSE(ParseMlmeEvent(cut));
}

TEST(Nl80211Events, DatagramOfTheEventSocketBecomesNotifications) {
  // As the socket delivers them: several messages in one datagram, ones of no interest between them, and a
  // last message that claims more bytes than arrived.
  Bytes connected =
      Message(NL80211_CMD_CONNECT, Cat({U32(NL80211_ATTR_IFINDEX, 4), U16(NL80211_ATTR_STATUS_CODE, 0)}), 0, 0);
  Bytes truncated = Message(NL80211_CMD_DISCONNECT, U32(NL80211_ATTR_IFINDEX, 8), 0, 0);
  truncated.resize(truncated.size() - 2);
  Bytes datagram = Cat({
      Message(NL80211_CMD_TRIGGER_SCAN, U32(NL80211_ATTR_IFINDEX, 4), 0, 0),
      Message(NL80211_CMD_NEW_SCAN_RESULTS, U32(NL80211_ATTR_IFINDEX, 4), 0, 0),
      connected,
      Message(NL80211_CMD_NOTIFY_CQM, U32(NL80211_ATTR_IFINDEX, 4), 0, 0),
      Message(NL80211_CMD_CONNECT, Cat({U32(NL80211_ATTR_IFINDEX, 5), U16(NL80211_ATTR_STATUS_CODE, 1)}), 0, 0),
      Message(NL80211_CMD_DISCONNECT, U32(NL80211_ATTR_IFINDEX, 4), 0, 0),
      Message(NL80211_CMD_SCAN_ABORTED, U32(NL80211_ATTR_IFINDEX, 5), 0, 0),
      truncated,
  });
  const std::vector<InterfaceNotification> want = {{4, 7}, {4, 10}, {5, 11}, {4, 21}, {5, 7}};
  EXPECT_EQ(EventNotifications(datagram), want);
  EXPECT_TRUE(EventNotifications({}).empty());
  EXPECT_TRUE(EventNotifications(Bytes(15, 0xFF)).empty());
}

TEST(Nl80211Interfaces, InterfaceAndSplitWiphyDump) {
  auto i = ParseInterface(
      Message(NL80211_CMD_NEW_INTERFACE,
              Cat({U32(NL80211_ATTR_IFINDEX, 7), Str(NL80211_ATTR_IFNAME, "wlan13"), U32(NL80211_ATTR_WIPHY, 13),
                   U32(NL80211_ATTR_IFTYPE, 2), Attr(NL80211_ATTR_MAC, {2, 0, 0, 0, 13, 0}),
                   U32(NL80211_ATTR_WIPHY_FREQ, 2437), Attr(NL80211_ATTR_SSID, {'L', 'a', 'b'})})));
  ASSERT_TRUE(i);
  EXPECT_EQ(i->IfIndex, 7u);
  EXPECT_EQ(i->Name, "wlan13");
  EXPECT_EQ(i->Wiphy, 13u);
  EXPECT_EQ(i->IfType, kIfTypeStation);
  EXPECT_EQ(i->FrequencyMHz, 2437u);
  EXPECT_TRUE(i->HasSsid);
  // A name without its terminating zero breaks the string policy.
  EXPECT_FALSE(ParseInterface(
      Message(NL80211_CMD_NEW_INTERFACE, Cat({U32(NL80211_ATTR_IFINDEX, 7), Attr(NL80211_ATTR_IFNAME, {'w', 'l'}),
                                              U32(NL80211_ATTR_WIPHY, 13), U32(NL80211_ATTR_IFTYPE, 2)}))));

  // The split dump gives the bands in pieces: 2.4 GHz with HT, later 5 GHz with VHT and HE station data.
  std::vector<WiphyInfo> wiphys;
  EXPECT_TRUE(MergeWiphy(
      Message(NL80211_CMD_NEW_WIPHY, Cat({U32(NL80211_ATTR_WIPHY, 13), Str(NL80211_ATTR_WIPHY_NAME, "phy13")})),
      wiphys));
  EXPECT_TRUE(MergeWiphy(
      Message(NL80211_CMD_NEW_WIPHY, Cat({U32(NL80211_ATTR_WIPHY, 13),
                                          Nest(NL80211_ATTR_WIPHY_BANDS,
                                               {Nest(NL80211_BAND_2GHZ, {U16(NL80211_BAND_ATTR_HT_CAPA, 0x1FF)})})})),
      wiphys));
  ASSERT_EQ(wiphys.size(), 1u);
  EXPECT_EQ(PhyTypesOf(wiphys[0]), (std::vector<uint32_t>{5, 6, 7}));
  Bytes heData =
      Nest(NL80211_BAND_ATTR_IFTYPE_DATA, {Nest(1, {Attr(NL80211_BAND_IFTYPE_ATTR_HE_CAP_PHY, Bytes(11, 0))})});
  EXPECT_TRUE(MergeWiphy(
      Message(NL80211_CMD_NEW_WIPHY, Cat({U32(NL80211_ATTR_WIPHY, 13),
                                          Nest(NL80211_ATTR_WIPHY_BANDS,
                                               {Nest(NL80211_BAND_5GHZ, {U32(NL80211_BAND_ATTR_VHT_CAPA, 0), heData}),
                                                Nest(NL80211_BAND_60GHZ, {})})})),
      wiphys));
  EXPECT_EQ(wiphys[0].Name, "phy13");
  EXPECT_EQ(PhyTypesOf(wiphys[0]), (std::vector<uint32_t>{4, 5, 6, 7, 8, 10}));
  // A malformed band (an HT capability of one byte) leaves the wiphys as they were.
  EXPECT_FALSE(MergeWiphy(
      Message(NL80211_CMD_NEW_WIPHY,
              Cat({U32(NL80211_ATTR_WIPHY, 14),
                   Nest(NL80211_ATTR_WIPHY_BANDS, {Nest(NL80211_BAND_6GHZ, {Attr(NL80211_BAND_ATTR_HT_CAPA, {1})})})})),
      wiphys));
  EXPECT_EQ(wiphys.size(), 1u);
}

TEST(Nl80211Station, RatesSignalAndStatistics) {
  Bytes attrs =
      Cat({Attr(NL80211_ATTR_MAC, {2, 0, 0, 0, 1, 0}),
           Nest(NL80211_ATTR_STA_INFO, {U8(NL80211_STA_INFO_SIGNAL, static_cast<uint8_t>(-55)),
                                        Nest(NL80211_STA_INFO_TX_BITRATE, {U32(NL80211_RATE_INFO_BITRATE32, 8667),
                                                                           U8(NL80211_RATE_INFO_VHT_MCS, 9)}),
                                        Nest(NL80211_STA_INFO_RX_BITRATE, {U16(NL80211_RATE_INFO_BITRATE, 540)}),
                                        U32(NL80211_STA_INFO_TX_PACKETS, 100), U32(NL80211_STA_INFO_RX_PACKETS, 200),
                                        U32(NL80211_STA_INFO_TX_RETRIES, 7), U32(NL80211_STA_INFO_TX_FAILED, 2),
                                        U32(NL80211_STA_INFO_RX_MPDUS, 210)})});
  auto s = ParseStation(Message(NL80211_CMD_NEW_STATION, attrs, 0));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->SignalDbm, -55);
  EXPECT_EQ(s->TxKbps, 866700u);
  EXPECT_TRUE(s->TxVHT);
  EXPECT_FALSE(s->TxHE);
  EXPECT_EQ(s->RxKbps, 54000u);

  NetCounters net;
  net.Multicast = 30;
  net.RxCrcErrors = 4;
  WLAN_STATISTICS st = StatisticsFrom(&*s, net, 5, 4);
  ASSERT_EQ(st.PhyCounters.size(), 5u);
  EXPECT_EQ(st.MacUcastCounters[0], 100u);
  EXPECT_EQ(st.MacUcastCounters[1], 200u);
  EXPECT_EQ(st.MacMcastCounters[1], 30u);
  const auto& phy = st.PhyCounters[4];
  EXPECT_EQ(phy[0], 100u);
  EXPECT_EQ(phy[2], 2u);
  EXPECT_EQ(phy[3], 7u);
  EXPECT_EQ(phy[10], 200u);
  EXPECT_EQ(phy[15], 210u);
  EXPECT_EQ(phy[17], 4u);  // no FCS count from the station: the interface's CRC errors
  EXPECT_EQ(st.PhyCounters[0], WlanPhyCounters{});
  EXPECT_EQ(WLAN_STATISTICS::Decode(st.Encode()), st);
  // Not associated: the interface's counters only.
  WLAN_STATISTICS idle = StatisticsFrom(nullptr, net, 2, 1);
  EXPECT_EQ(idle.MacUcastCounters, WlanMacCounters{});
  EXPECT_EQ(idle.PhyCounters[0][11], 30u);
  EXPECT_TRUE(StatisticsFrom(nullptr, net, 0, 0).PhyCounters.empty());
  // A station attribute of the wrong size rejects the reply.
  Bytes bad = Cat({Nest(NL80211_ATTR_STA_INFO, {Attr(NL80211_STA_INFO_TX_PACKETS, {1})})});
  EXPECT_FALSE(ParseStation(Message(NL80211_CMD_NEW_STATION, bad, 0)));
}

TEST(Nl80211Survey, ChannelTimesAndNoise) {
  auto survey = [](std::initializer_list<Bytes> info) {
    return Message(NL80211_CMD_NEW_SURVEY_RESULTS,
                   Cat({U32(NL80211_ATTR_IFINDEX, 3), Nest(NL80211_ATTR_SURVEY_INFO, info)}));
  };
  auto s = ParseSurvey(
      survey({U32(NL80211_SURVEY_INFO_FREQUENCY, 5180), U8(NL80211_SURVEY_INFO_NOISE, static_cast<uint8_t>(-92)),
              Attr(NL80211_SURVEY_INFO_IN_USE, {}), U64(NL80211_SURVEY_INFO_TIME, 0x1'0000'0010ull),
              U64(NL80211_SURVEY_INFO_TIME_BUSY, 400), U64(NL80211_SURVEY_INFO_TIME_EXT_BUSY, 50),
              U64(NL80211_SURVEY_INFO_TIME_RX, 300), U64(NL80211_SURVEY_INFO_TIME_TX, 20),
              U64(NL80211_SURVEY_INFO_TIME_SCAN, 7), U64(NL80211_SURVEY_INFO_TIME_BSS_RX, 200)}));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->FrequencyKHz, 5180000u);
  EXPECT_TRUE(s->InUse);
  EXPECT_EQ(s->NoiseDbm, -92);
  EXPECT_EQ(s->ActiveMs, 0x1'0000'0010ull);  // all 64 bits
  EXPECT_EQ(s->BusyMs, 400u);
  EXPECT_EQ(s->ExtBusyMs, 50u);
  EXPECT_EQ(s->RxMs, 300u);
  EXPECT_EQ(s->TxMs, 20u);
  EXPECT_EQ(s->ScanMs, 7u);
  EXPECT_EQ(s->BssRxMs, 200u);

  // A driver that reports little: only the frequency (with its kHz offset) and the busy time.
  s = ParseSurvey(survey({U32(NL80211_SURVEY_INFO_FREQUENCY, 5975), U32(NL80211_SURVEY_INFO_FREQUENCY_OFFSET, 500),
                          U64(NL80211_SURVEY_INFO_TIME_BUSY, 9), U32(NL80211_SURVEY_INFO_MAX + 4, 1)}));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->FrequencyKHz, 5975500u);
  EXPECT_FALSE(s->InUse);
  EXPECT_FALSE(s->NoiseDbm);
  EXPECT_FALSE(s->ActiveMs);
  EXPECT_EQ(s->BusyMs, 9u);

  // Rejected: the whole radio's entry (no channel), a time of four bytes, a message cut short,
  // a message without survey.
  EXPECT_FALSE(ParseSurvey(survey({U64(NL80211_SURVEY_INFO_TIME, 100)})));
  EXPECT_FALSE(ParseSurvey(survey({U32(NL80211_SURVEY_INFO_FREQUENCY, 2412), U32(NL80211_SURVEY_INFO_TIME_BUSY, 4)})));
  Bytes cut = survey({U32(NL80211_SURVEY_INFO_FREQUENCY, 2412), U64(NL80211_SURVEY_INFO_TIME, 1)});
  cut.resize(cut.size() - 4);
  EXPECT_FALSE(ParseSurvey(cut));
  EXPECT_FALSE(ParseSurvey(Message(NL80211_CMD_NEW_SURVEY_RESULTS, U32(NL80211_ATTR_IFINDEX, 3))));
  EXPECT_FALSE(ParseSurvey({}));
}

TEST(Rfkill, EventsAndRequests) {
  Bytes bytes = {3, 0, 0, 0, 1, 2, 1, 0, /* */ 4, 1, 0, 0, 1, 0, 0, 1, /* a stray tail */ 9, 9};
  auto events = ParseRfkillEvents(bytes);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Index, 3u);
  EXPECT_EQ(events[0].Op, 2);
  EXPECT_TRUE(events[0].Soft);
  EXPECT_FALSE(events[0].Hard);
  EXPECT_EQ(events[1].Index, 260u);
  EXPECT_TRUE(events[1].Hard);
  // Longer events of newer kernels: their extra bytes are skipped.
  Bytes extended = {5, 0, 0, 0, 1, 2, 0, 0, 0xAA, /* */ 6, 0, 0, 0, 1, 2, 1, 0, 0xAA};
  events = ParseRfkillEvents(extended, 9);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].Index, 6u);
  EXPECT_EQ(RfkillSoftBlockRequest(258, true), (std::array<uint8_t, 8>{2, 1, 0, 0, 0, 2, 1, 0}));
}

TEST(InterfaceIdentity, NameBasedGuidOfThePermanentAddress) {
  auto mac = ParseMacText("02:00:00:00:0d:00\n");
  ASSERT_TRUE(mac);
  WLAN_GUID g = GuidFromPermanentAddress(*mac);
  // The GUID is what settings and snapshots store for the adapter: it must not change between versions.
  EXPECT_EQ(GuidToText(g), "{23C5D61E-B215-5B49-8043-CDB3D1C533B4}");
  EXPECT_NE(g, GuidFromPermanentAddress({2, 0, 0, 0, 14, 0}));
  std::string text = GuidToText(g);
  ASSERT_EQ(text.size(), 38u);
  EXPECT_EQ(text[15], '5');  // version 5 in the third group
  EXPECT_TRUE(text[20] == '8' || text[20] == '9' || text[20] == 'A' || text[20] == 'B');
  EXPECT_FALSE(ParseMacText("02:00:00:00:0d"));
  EXPECT_FALSE(ParseMacText("02-00-00-00-0d-00"));
  EXPECT_FALSE(ParseMacText("zz:00:00:00:0d:00"));
}

}  // namespace
}  // namespace skimlet::linuxwifi

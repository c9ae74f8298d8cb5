#include "core/service/wlan_records.h"

#include <gtest/gtest.h>

namespace skimlet {
namespace {

uint32_t U32At(const WlanBlock& b, size_t pos) {
  return b[pos] | (b[pos + 1] << 8) | (b[pos + 2] << 16) | (uint32_t{b[pos + 3]} << 24);
}
uint64_t U64At(const WlanBlock& b, size_t pos) { return U32At(b, pos) | (uint64_t{U32At(b, pos + 4)} << 32); }

WLAN_BSS_ENTRY EntryWithSsid(const char* ssid) {
  WLAN_BSS_ENTRY e;
  e.dot11Ssid.uSSIDLength = static_cast<uint32_t>(std::string_view(ssid).size());
  std::copy(ssid, ssid + e.dot11Ssid.uSSIDLength, e.dot11Ssid.ucSSID.begin());
  e.lRssi = -61;
  return e;
}

TEST(WlanRecords, BssListLaysOutHeaderEntriesThenBlobs) {
  std::vector<WlanBssListItem> items = {{EntryWithSsid("one"), {0x00, 0x01, 0x41}},
                                        {EntryWithSsid("two"), {}},
                                        {EntryWithSsid("three"), {0xDD, 0x02, 0x00, 0x50}}};
  WlanBlock block = EncodeBssList(items);
  ASSERT_EQ(block.size(), 8 + 3 * 360 + 3 + 0 + 4);
  EXPECT_EQ(U32At(block, 0), block.size());  // dwTotalSize
  EXPECT_EQ(U32At(block, 4), 3u);            // dwNumberOfItems
  EXPECT_EQ(U32At(block, 8 + 56), static_cast<uint32_t>(-61));
  // Blob offsets count from each entry's first byte.
  EXPECT_EQ(U32At(block, 8 + 352), 3 * 360u);
  EXPECT_EQ(U32At(block, 8 + 360 + 352), 2 * 360u + 3);
  EXPECT_EQ(U32At(block, 8 + 720 + 352), 360u + 3);
  EXPECT_EQ(U32At(block, 8 + 720 + 356), 4u);

  WlanBssListView view(block);
  ASSERT_EQ(view.Count(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    auto e = view.Entry(i);
    EXPECT_EQ(e.dot11Ssid.uSSIDLength, items[i].Entry.dot11Ssid.uSSIDLength);
    EXPECT_EQ(e.dot11Ssid.ucSSID, items[i].Entry.dot11Ssid.ucSSID);
    auto blob = view.Blob(i);
    ASSERT_TRUE(blob);
    EXPECT_EQ(std::vector<uint8_t>(blob->begin(), blob->end()), items[i].Blob);
  }
  EXPECT_EQ(view.EntryBytes(1).size(), block.size() - 8 - 360);
}

TEST(WlanRecords, BssListReadingStaysInsideTheBlock) {
  std::vector<WlanBssListItem> items = {{EntryWithSsid("a"), {0x00, 0x01, 0x41}}, {EntryWithSsid("b"), {0x00, 0x00}}};
  WlanBlock block = EncodeBssList(items);

  // A blob offset or size pointing outside the block: the entry is there, its blob is not.
  WlanBlock bad = block;
  bad[8 + 352] = 0xFF;
  bad[8 + 353] = 0xFF;
  bad[8 + 354] = 0xFF;
  bad[8 + 355] = 0xFF;
  bad[8 + 360 + 356] = 200;
  WlanBssListView view(bad);
  ASSERT_EQ(view.Count(), 2u);
  EXPECT_FALSE(view.Blob(0));
  EXPECT_FALSE(view.Blob(1));

  // A count larger than the block: only the entries that fit are read.
  WlanBlock counted = block;
  counted[4] = 0xFF;
  counted[5] = 0xFF;
  counted[6] = 0xFF;
  counted[7] = 0xFF;
  EXPECT_EQ(WlanBssListView(counted).Count(), 2u);
  WlanBlock cut(block.begin(), block.begin() + 8 + 360 + 359);
  EXPECT_EQ(WlanBssListView(cut).Count(), 1u);
  EXPECT_EQ(WlanBssListView(std::span<const uint8_t>(block.data(), 7)).Count(), 0u);
  EXPECT_FALSE(view.Blob(5));
  EXPECT_TRUE(view.EntryBytes(5).empty());
}

TEST(WlanRecords, StatisticsPhyRecordsStartAtByte224) {
  WLAN_STATISTICS s;
  s.ullFourWayHandshakeFailures = 1;
  s.ullTKIPCounterMeasuresInvoked = 2;
  for (size_t k = 0; k < 12; ++k) {
    s.MacUcastCounters[k] = 100 + k;
    s.MacMcastCounters[k] = 200 + k;
  }
  s.PhyCounters.resize(2);
  for (size_t c = 0; c < 18; ++c) {
    s.PhyCounters[0][c] = 1000 + c;
    s.PhyCounters[1][c] = 0x1'0000'0000ull + c;
  }
  WlanBlock b = s.Encode();
  ASSERT_EQ(b.size(), 224u + 2 * 144);
  EXPECT_EQ(U64At(b, 24), 100u);        // first unicast MAC counter
  EXPECT_EQ(U64At(b, 120 + 88), 211u);  // last multicast MAC counter
  EXPECT_EQ(U32At(b, 216), 2u);         // number of PHYs
  EXPECT_EQ(U64At(b, 224), 1000u);
  EXPECT_EQ(U64At(b, 224 + 144 + 17 * 8), 0x1'0000'0011ull);
  EXPECT_EQ(WLAN_STATISTICS::Decode(b), s);

  b.pop_back();  // the last PHY record is cut
  EXPECT_FALSE(WLAN_STATISTICS::Decode(b));
  EXPECT_FALSE(WLAN_STATISTICS::Decode(std::span<const uint8_t>(b.data(), 223)));
}

TEST(WlanRecords, ConnectionAttributesOffsets) {
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = kInterfaceConnected;
  a.wlanConnectionMode = kConnectionModeProfile;
  a.strProfileName = "Café-Net";
  a.dot11Ssid.uSSIDLength = 4;
  a.dot11Ssid.ucSSID = {'C', 'a', 'f', 'e'};
  a.dot11BssType = 1;
  a.dot11Bssid = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  a.dot11PhyType = 8;
  a.uDot11PhyIndex = 4;
  a.wlanSignalQuality = 77;
  a.ulRxRate = 866700;
  a.ulTxRate = 650000;
  a.bSecurityEnabled = 1;
  a.dot11AuthAlgorithm = kAuthRSNAPSK;
  a.dot11CipherAlgorithm = kCipherCCMP;
  WlanBlock b = a.Encode();
  ASSERT_EQ(b.size(), WLAN_CONNECTION_ATTRIBUTES::kSize);
  EXPECT_EQ(b[8], 'C');
  EXPECT_EQ(b[14], 0xE9);  // é as one UTF-16 unit
  EXPECT_EQ(b[15], 0);
  EXPECT_EQ(U32At(b, 520), 4u);
  EXPECT_EQ(b[524], 'C');
  EXPECT_EQ(b[560], 0x00);
  EXPECT_EQ(b[565], 0x5E);
  EXPECT_EQ(U32At(b, 568), 8u);
  EXPECT_EQ(U32At(b, 576), 77u);
  EXPECT_EQ(U32At(b, 580), 866700u);
  EXPECT_EQ(U32At(b, 600), static_cast<uint32_t>(kCipherCCMP));
  EXPECT_EQ(WLAN_CONNECTION_ATTRIBUTES::Decode(b).value(), a);
  EXPECT_FALSE(WLAN_CONNECTION_ATTRIBUTES::Decode(std::span<const uint8_t>(b.data(), 603)));
}

TEST(WlanRecords, RadioStateCapabilityAndListsRoundTrip) {
  WLAN_RADIO_STATE r;
  r.PhyRadioState = {{0, kRadioOn, kRadioOn}, {1, kRadioOff, kRadioOn}};
  WlanBlock rb = r.Encode();
  ASSERT_EQ(rb.size(), 772u);
  EXPECT_EQ(U32At(rb, 0), 2u);
  EXPECT_EQ(U32At(rb, 4 + 12 + 4), static_cast<uint32_t>(kRadioOff));
  EXPECT_EQ(WLAN_RADIO_STATE::Decode(rb), r);
  rb[0] = 65;  // more PHYs than the record can hold
  EXPECT_FALSE(WLAN_RADIO_STATE::Decode(rb));

  WLAN_INTERFACE_CAPABILITY c;
  c.interfaceType = 1;
  c.dot11PhyTypes = {5, 4, 6, 7, 8, 10};
  WlanBlock cb = c.Encode();
  ASSERT_EQ(cb.size(), 276u);
  EXPECT_EQ(U32At(cb, 16), 6u);
  EXPECT_EQ(U32At(cb, 20 + 5 * 4), 10u);
  EXPECT_EQ(WLAN_INTERFACE_CAPABILITY::Decode(cb), c);

  WLAN_INTERFACE_INFO_LIST il;
  il.InterfaceInfo = {{*GuidFromText("{01234567-89AB-CDEF-0123-456789ABCDEF}"), "Simulated adapter", 1}};
  WlanBlock ib = il.Encode();
  ASSERT_EQ(ib.size(), 8u + 532);
  EXPECT_EQ(ib[8], 0x67);  // Data1 little-endian
  EXPECT_EQ(ib[8 + 16], 'S');
  EXPECT_EQ(U32At(ib, 8 + 528), 1u);
  auto il2 = WLAN_INTERFACE_INFO_LIST::Decode(ib);
  ASSERT_TRUE(il2);
  EXPECT_EQ(il2->InterfaceInfo, il.InterfaceInfo);
  EXPECT_EQ(GuidToText(il2->InterfaceInfo[0].InterfaceGuid), "{01234567-89AB-CDEF-0123-456789ABCDEF}");
  ib.resize(8 + 531);
  EXPECT_FALSE(WLAN_INTERFACE_INFO_LIST::Decode(ib));

  WLAN_PROFILE_INFO_LIST pl;
  pl.ProfileInfo = {{"Home", 0}, {"Büro 🛜", 1}};
  WlanBlock pb = pl.Encode();
  ASSERT_EQ(pb.size(), 8u + 2 * 516);
  EXPECT_EQ(U32At(pb, 8 + 516 + 512), 1u);
  auto pl2 = WLAN_PROFILE_INFO_LIST::Decode(pb);
  ASSERT_TRUE(pl2);
  EXPECT_EQ(pl2->ProfileInfo, pl.ProfileInfo);
}

TEST(WlanRecords, WideFieldsCutLongNamesAndRejectBadUtf8) {
  std::string longName(300, 'x');
  WlanBlock b;
  PutWideField(b, longName, kWlanMaxNameLength);
  ASSERT_EQ(b.size(), 512u);
  EXPECT_EQ(ReadWideField(b, kWlanMaxNameLength), std::string(255, 'x'));
  EXPECT_FALSE(IsValidWlanName(longName));
  EXPECT_TRUE(IsValidWlanName(std::string(255, 'x')));
  EXPECT_FALSE(IsValidWlanName(""));
  EXPECT_FALSE(IsValidWlanName("\xE9t\xE9"));  // Latin-1, not UTF-8
  EXPECT_FALSE(Utf8ToUtf16("\xC0\x80"));       // overlong
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
  EXPECT_FALSE(GuidFromText("{0123}"));
}

}  // namespace
}  // namespace skimlet

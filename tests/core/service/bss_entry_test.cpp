#include "core/service/bss_entry.h"

#include <gtest/gtest.h>

#include <random>

namespace skimlet {
namespace {

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

TEST(BssEntry, RoundTripsEveryByteIncludingPadding) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::vector<uint8_t> bytes = RandomBytes(WLAN_BSS_ENTRY::kSize, seed);
    auto entry = WLAN_BSS_ENTRY::Decode(bytes);
    ASSERT_TRUE(entry);
    std::vector<uint8_t> again;
    entry->Encode(again);
    EXPECT_EQ(again, bytes);
  }
  EXPECT_FALSE(WLAN_BSS_ENTRY::Decode(RandomBytes(359, 1)));
}

TEST(BssEntry, FieldsSitAtTheirOffsets) {
  std::vector<uint8_t> b(WLAN_BSS_ENTRY::kSize, 0);
  b[0] = 5;    // SSID length
  b[4] = 'H';  // first SSID byte
  b[40] = 0x00;
  b[41] = 0x1A;
  b[45] = 0x5E;  // BSSID
  b[48] = 1;     // infrastructure
  b[56] = 0xC4;
  b[57] = b[58] = b[59] = 0xFF;  // -60 dBm
  b[60] = 80;                    // link quality
  b[66] = 100;                   // beacon period
  b[88] = 0x11;                  // capability: ESS + privacy
  b[92] = 0x88;
  b[93] = 0x2F;
  b[94] = 0x25;  // 2437000 kHz
  b[96] = 2;
  b[100] = 0x82;  // one basic 1 Mbps rate
  b[352] = 0x68;
  b[353] = 0x01;  // blob at 360
  b[356] = 3;     // of 3 bytes
  auto e = WLAN_BSS_ENTRY::Decode(b).value();
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 5u);
  EXPECT_EQ(e.dot11Ssid.ucSSID[0], 'H');
  EXPECT_EQ(e.dot11Bssid, (std::array<uint8_t, 6>{0x00, 0x1A, 0, 0, 0, 0x5E}));
  EXPECT_EQ(e.dot11BssType, 1u);
  EXPECT_EQ(e.lRssi, -60);
  EXPECT_EQ(e.uLinkQuality, 80u);
  EXPECT_EQ(e.usBeaconPeriod, 100);
  EXPECT_EQ(e.usCapabilityInformation, 0x11);
  EXPECT_EQ(e.ulChCenterFrequency, 2437000u);
  EXPECT_EQ(e.wlanRateSet.uRateSetLength, 2u);
  EXPECT_EQ(e.wlanRateSet.usRateSet[0], 0x82);
  EXPECT_EQ(e.ulIeOffset, 360u);
  EXPECT_EQ(e.ulIeSize, 3u);

  b.insert(b.end(), {0x00, 0x01, 0x41});
  auto blob = ElementBlobOf(e, b);
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->size(), 3u);
  e.ulIeSize = 4;
  EXPECT_FALSE(ElementBlobOf(e, b));
  e.ulIeOffset = 0xFFFFFFFF;
  EXPECT_FALSE(ElementBlobOf(e, b));
}

}  // namespace
}  // namespace skimlet

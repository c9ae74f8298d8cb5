// HT, VHT and HE rates, rate lists and stream counts.
#include <gtest/gtest.h>

#include "core/radio/rates.h"

namespace skimlet {
namespace {

constexpr int k20 = 0, k40 = 1, k80 = 2, k160 = 3, k80p80 = 4, k320 = 5;

TEST(Rates, PublishedExamples) {
  EXPECT_DOUBLE_EQ(HTRate(7, k20, false), 65);
  EXPECT_DOUBLE_EQ(HTRate(7, k20, true), 72.2);
  EXPECT_DOUBLE_EQ(HTRate(15, k40, true), 300);
  EXPECT_DOUBLE_EQ(HTRate(14, k40, false), 243);  // MCS 6 with two streams
  EXPECT_DOUBLE_EQ(HTRate(14, k40, true), 270);
  EXPECT_DOUBLE_EQ(VHTRate(9, k80, 2, true), 866.7);
  EXPECT_DOUBLE_EQ(VHTRate(9, k160, 1, false), 780);
  EXPECT_DOUBLE_EQ(VHTRate(9, k80p80, 1, false), 780);
  EXPECT_DOUBLE_EQ(HERate(11, k20, 1, false, 0), 143.4);
  EXPECT_DOUBLE_EQ(HERate(11, k20, 1, false, 2), 121.9);
  EXPECT_DOUBLE_EQ(HERate(11, k80, 2, false, 0), 1201);
  EXPECT_DOUBLE_EQ(HERate(11, k160, 2, false, 0), 2401.9);
  EXPECT_DOUBLE_EQ(HERate(11, k20, 1, true, 0), 71.7);  // DCM halves the rate
  EXPECT_DOUBLE_EQ(OFDMRate(7), 54);
  EXPECT_DOUBLE_EQ(DSSSRate(2), 5.5);
}

TEST(Rates, EHT) {
  struct Case {
    int Mcs, Width, Streams, GI;
    double Mbps;
  } cases[] = {
      {13, k320, 16, 0, 46117.6},  // the largest rate there is
      {13, k320, 1, 0, 2882.4},   {13, k320, 2, 2, 4900},   {12, k320, 1, 1, 2450},     {13, k20, 1, 0, 172.1},
      {0, k20, 1, 2, 7.3},        {13, k160, 4, 0, 5764.7}, {13, k80p80, 1, 0, 1441.2},  // 80+80 counts as 160
      {13, 9, 1, 0, 172.1},                                                              // an unknown width as 20
      {14, k20, 1, 0, 0},         {0, k20, 17, 0, 0},       {0, k20, 0, 0, 0},          {0, k20, 1, 3, 0},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(EHTRate(c.Mcs, c.Width, c.Streams, c.GI), c.Mbps) << c.Mcs << " " << c.Width << " " << c.Streams;
  // EHT runs at HE's published rates where both have one.
  EXPECT_DOUBLE_EQ(EHTRate(11, k80, 1, 0), 600.5);
  EXPECT_DOUBLE_EQ(EHTRate(11, k20, 1, 2), HERate(11, k20, 1, false, 2));
  // The older PHYs have no 320 MHz channel and count it as 160.
  EXPECT_EQ(HERate(11, k320, 2, false, 0), HERate(11, k160, 2, false, 0));
  const std::vector<double> list = EHTRateList(13, 2, k320, 0);
  ASSERT_EQ(list.size(), 28u);
  EXPECT_DOUBLE_EQ(list.back(), 5764.7);
  EXPECT_TRUE(EHTRateList(-1, 2, k320, 0).empty());
}

TEST(Rates, OutsideTheTablesIsZero) {
  EXPECT_EQ(HTRate(32, k20, false), 0);
  EXPECT_EQ(HTRate(-1, k20, false), 0);
  EXPECT_EQ(VHTRate(10, k80, 1, false), 0);
  EXPECT_EQ(VHTRate(0, k80, 0, false), 0);
  EXPECT_EQ(VHTRate(0, k80, 9, false), 0);
  EXPECT_EQ(HERate(12, k80, 1, false, 0), 0);
  EXPECT_EQ(HERate(0, k80, 1, false, 3), 0);
  EXPECT_EQ(HERate(0, k80, 9, false, 0), 0);
  EXPECT_EQ(OFDMRate(8), 0);
  EXPECT_EQ(DSSSRate(4), 0);
  // Unknown width codes count as 20 MHz.
  EXPECT_EQ(VHTRate(7, 9, 1, false), VHTRate(7, k20, 1, false));
  EXPECT_EQ(HERate(7, -1, 1, false, 1), HERate(7, k20, 1, false, 1));
}

TEST(Rates, Lists) {
  std::vector<double> ht = HTRateList(0x0000FFFF, k40, true);
  ASSERT_EQ(ht.size(), 16u);
  EXPECT_DOUBLE_EQ(ht.front(), 15);
  EXPECT_DOUBLE_EQ(ht.back(), 300);
  EXPECT_TRUE(HTRateList(0, k20, false).empty());

  // One stream up to VHT-MCS 8, a second up to 9, the rest not supported.
  std::vector<double> vht = VHTRateList(0xFFF9, k20, false);
  ASSERT_EQ(vht.size(), 9u + 10u);
  EXPECT_DOUBLE_EQ(vht[0], 6.5);
  EXPECT_DOUBLE_EQ(vht[8], 78);
  EXPECT_DOUBLE_EQ(vht.back(), 173);
  EXPECT_TRUE(VHTRateList(0xFFFF, k80, true).empty());

  std::vector<double> he = HERateList(0xFFFD, k80, 0, false);  // one stream, HE-MCS 0-9
  ASSERT_EQ(he.size(), 10u);
  EXPECT_DOUBLE_EQ(he.back(), HERate(9, k80, 1, false, 0));
  EXPECT_EQ(HERateList(0xFFFC, k80, 0, false).size(), 8u);   // HE-MCS 0-7
  EXPECT_EQ(HERateList(0xFFFA, k80, 0, false).size(), 24u);  // two streams, HE-MCS 0-11
}

TEST(Rates, Streams) {
  EXPECT_EQ(HTStreams(0), 1);
  EXPECT_EQ(HTStreams(0x000000FF), 1);
  EXPECT_EQ(HTStreams(0x0000FFFF), 2);
  EXPECT_EQ(HTStreams(0x00010000), 3);
  EXPECT_EQ(HTStreams(0x80000000), 4);
  EXPECT_EQ(VHTStreams(0xFFFF), 1);
  EXPECT_EQ(VHTStreams(0xFFFA), 2);
  EXPECT_EQ(VHTStreams(0xFFAA), 4);
  EXPECT_EQ(VHTStreams(0x3FFF), 8);
  EXPECT_EQ(HEStreams(0xFFEA), 3);
  // A gap counts: the highest supported stream count wins.
  EXPECT_EQ(HEStreams(0xFCFF), 5);
}

}  // namespace
}  // namespace skimlet

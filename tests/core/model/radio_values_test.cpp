#include "core/radio/values.h"

#include <gtest/gtest.h>

#include "core/base/numfmt.h"

namespace skimlet {
namespace {

TEST(RadioValues, FrequenciesAndChannels) {
  const std::pair<uint32_t, uint32_t> toChannel[] = {{2412000, 1},
                                                     {2472000, 13},
                                                     {2484000, 14},
                                                     {5180000, 36},
                                                     {5825000, 165},
                                                     {4920000, 184},
                                                     {3657500, 131},
                                                     {2400000, 0},
                                                     {0, 0},
                                                     // 6 GHz: its own plan, with channel 2 below channel 1
                                                     {5935000, 2},
                                                     {5955000, 1},
                                                     {6415000, 93},
                                                     {7115000, 233},
                                                     {5925000, 0},
                                                     {5950000, 0},
                                                     {7125000, 0},
                                                     {5910000, 0}};
  for (auto [kHz, channel] : toChannel) EXPECT_EQ(FrequencyToChannel(kHz), channel) << kHz;
  // The edges around 5.9 GHz, where the 5 GHz plan stops and the 6 GHz plan starts: 5,925 MHz is the 6 GHz
  // band's lower edge, no channel in either plan.
  const std::pair<uint32_t, uint32_t> edges[] = {
      {5885000, 177}, {5900000, 0}, {5905000, 0},   {5920000, 0}, {5925000, 0},  {5930000, 0},  {5935000, 2},
      {5940000, 0},   {5955000, 1}, {7115000, 233}, {7120000, 0}, {2472000, 13}, {2484000, 14}, {2495000, 0}};
  for (auto [kHz, channel] : edges) EXPECT_EQ(FrequencyToChannel(kHz), channel) << kHz;
  const std::pair<uint32_t, uint32_t> toFrequency[] = {{1, 2412000},   {13, 2472000}, {14, 2484000}, {36, 5180000},
                                                       {165, 5825000}, {0, 0},        {20, 0}};
  for (auto [channel, kHz] : toFrequency) EXPECT_EQ(ChannelToFrequency(channel), kHz) << channel;
  const std::pair<uint32_t, uint32_t> toFrequency6[] = {{2, 5935000},   {1, 5955000}, {93, 6415000},
                                                        {233, 7115000}, {0, 0},       {234, 0}};
  for (auto [channel, kHz] : toFrequency6) EXPECT_EQ(ChannelToFrequency(channel, kBand6GHz), kHz) << channel;
  EXPECT_EQ(ChannelToFrequency(36, kBand5GHz), 5180000u);
  // Every 6 GHz channel reads back from its frequency.
  for (uint32_t c = 1; c <= 233; ++c) EXPECT_EQ(FrequencyToChannel(ChannelToFrequency(c, kBand6GHz)), c) << c;

  const std::pair<uint32_t, int> bands[] = {{2412000, 0}, {2484000, 0}, {5180000, 1}, {5920000, 1}, {5925000, 2},
                                            {5935000, 2}, {7125000, 2}, {7130000, 1}, {0, 0}};
  for (auto [kHz, band] : bands) EXPECT_EQ(BandOfFrequency(kHz), band) << kHz;
}

TEST(RadioValues, QualityClasses) {
  const std::pair<int, int> cases[] = {{-1, 0}, {0, 0},  {1, 1},  {19, 1}, {20, 2}, {39, 2},
                                       {40, 3}, {59, 3}, {60, 4}, {89, 4}, {90, 5}, {100, 5}};
  for (auto [q, c] : cases) EXPECT_EQ(QualityClassOf(q), c) << q;
}

TEST(RadioValues, Names) {
  EXPECT_EQ(WidthKHz(4), 160000u);
  EXPECT_EQ(WidthKHz(9), 20000u);
  EXPECT_EQ(PhyTypeLetters(8), "ac");
  EXPECT_EQ(PhyTypeLetters(2), "");
  EXPECT_EQ(SecurityKindName(4), "WPA2");
  EXPECT_EQ(SecurityKindName(9), "Unknown");
  EXPECT_EQ(WPSStateText(3), "Locked");
  EXPECT_EQ(WPSStateText(0), "No");
  CurrentNumberFormat() = {',', '.'};
  EXPECT_EQ(BandName(0).substr(0, 4), "2,4 ");
  CurrentNumberFormat() = {};
  EXPECT_EQ(BandName(1).substr(0, 2), "5 ");
  EXPECT_EQ(BandName(2).substr(0, 2), "6 ");
  EXPECT_EQ(WidthKHz(5), 320000u);
  EXPECT_EQ(WidthName(5).substr(0, 4), "320 ");
  EXPECT_EQ(PhyTypeLetters(11), "be");
  EXPECT_EQ(SecurityKindName(6), "OWE");
  EXPECT_EQ(WidthName(4).substr(0, 6), "80+80 ");
  EXPECT_EQ(WidthName(2).substr(0, 3), "80 ");
}

}  // namespace
}  // namespace skimlet

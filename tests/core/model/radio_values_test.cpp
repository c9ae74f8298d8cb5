#include "core/radio/values.h"

#include <gtest/gtest.h>

#include "core/base/numfmt.h"

namespace skimlet {
namespace {

TEST(RadioValues, FrequenciesAndChannels) {
  const std::pair<uint32_t, uint32_t> toChannel[] = {{2412000, 1},  {2472000, 13},  {2484000, 14}, {5180000, 36},
                                                     {5825000, 165}, {4920000, 184}, {3657500, 131}, {5955000, 0},
                                                     {2400000, 0},  {0, 0}};
  for (auto [kHz, channel] : toChannel) EXPECT_EQ(FrequencyToChannel(kHz), channel) << kHz;
  const std::pair<uint32_t, uint32_t> toFrequency[] = {{1, 2412000}, {13, 2472000}, {14, 2484000}, {36, 5180000},
                                                       {165, 5825000}, {0, 0}, {20, 0}};
  for (auto [channel, kHz] : toFrequency) EXPECT_EQ(ChannelToFrequency(channel), kHz) << channel;
}

TEST(RadioValues, QualityClasses) {
  const std::pair<int, int> cases[] = {{-1, 0}, {0, 0}, {1, 1}, {19, 1}, {20, 2}, {39, 2},
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
  EXPECT_EQ(WidthName(4).substr(0, 6), "80+80 ");
  EXPECT_EQ(WidthName(2).substr(0, 3), "80 ");
}

}  // namespace
}  // namespace skimlet

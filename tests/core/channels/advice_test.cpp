// Channel advice: synthetic scenes with a known best channel, checked against a brute-force evaluation of
// the documented formula over every candidate, and the rules around it (own networks, 2.4 GHz adjacency,
// DFS, preferred scanning channels, several refreshes, survey data, explanations).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/channels/advice.h"

namespace skimlet {
namespace {

double Mw(double dbm) { return std::pow(10.0, dbm / 10); }

TAirNetwork Net(std::string bssid, std::string ssid, int band, uint32_t channel, double dbm, uint32_t width = 20,
                uint32_t centreChannel = 0) {
  TAirNetwork n;
  n.BSSID = std::move(bssid);
  n.SSID = std::move(ssid);
  n.Band = band;
  n.Channel = channel;
  n.SignalDbm = dbm;
  n.WidthMHz = width;
  n.CenterMHz = RasterFrequency(band, centreChannel ? centreChannel : channel);
  return n;
}

const TBandWidthAdvice* Find(const TChannelAdvice& a, int band, int width) {
  for (const auto& i : a.Items)
    if (i.Band == band && i.WidthMHz == width) return &i;
  return nullptr;
}

uint32_t BestChannel(const TChannelAdvice& a, int band, int width) {
  const TBandWidthAdvice* i = Find(a, band, width);
  return i && i->Best >= 0 ? i->Channels[static_cast<size_t>(i->Best)].Candidate.Channel : 0;
}

// The formula of advice.h written out plainly: every piece against every member, no pruning.
double BruteWeight(int band, double d) {
  d = std::fabs(d);
  if (d >= 20) return 0;
  if (band != 0) return 1 - d / 20;
  const double w[] = {1, 0.85, 0.55, 0.25, 0};
  const int i = static_cast<int>(d / 5);
  return w[i] + (w[i + 1] - w[i]) * (d / 5 - i);
}

double BruteTotal(const std::vector<std::vector<TAirNetwork>>& refreshes, const std::vector<std::string>& mine,
                  const TChannelCandidate& c) {
  // Per network (by BSSID): mean mW, presence, load.
  struct Acc {
    TAirNetwork n;
    double mw = 0;
    int heard = 0;
    double util = 0;
    int utilCount = 0;
  };
  std::vector<Acc> acc;
  for (const auto& r : refreshes)
    for (const TAirNetwork& n : r) {
      Acc* a = nullptr;
      for (Acc& x : acc)
        if (x.n.BSSID == n.BSSID) a = &x;
      if (!a) a = &acc.emplace_back(Acc{n});
      a->mw += Mw(n.SignalDbm);
      ++a->heard;
      if (n.UtilizationPercent >= 0) {
        a->util += n.UtilizationPercent;
        ++a->utilCount;
      }
    }
  double total = 0;
  for (const Acc& a : acc) {
    if (a.n.Band != c.Band) continue;
    bool own = false;
    for (const std::string& s : mine) own |= s == a.n.SSID;
    for (const Acc& b : acc) own |= b.n.Connected && (b.n.SSID == a.n.SSID || b.n.BSSID == a.n.BSSID);
    if (own) continue;
    std::vector<double> pieces;
    auto segment = [&](uint32_t centre, uint32_t width) {
      for (uint32_t k = 0; k < width / 20; ++k) pieces.push_back(centre - width / 2.0 + 10 + 20.0 * k);
    };
    if (a.n.Center2MHz) {
      segment(a.n.CenterMHz, 80);
      segment(a.n.Center2MHz, 80);
    } else {
      segment(a.n.CenterMHz, a.n.WidthMHz);
    }
    double o = 0;
    for (double f : pieces) {
      double best = 0;
      for (int m = 0; m < c.Members; ++m) {
        const double g = c.MemberChannel(m) == c.Channel ? 1 : 0.5;
        best = std::max(best, g * BruteWeight(c.Band, f - RasterFrequency(c.Band, c.MemberChannel(m))));
      }
      o += best;
    }
    o /= static_cast<double>(pieces.size());
    const double load = a.utilCount ? 0.5 + a.util / a.utilCount / 100 : 1;
    total += a.mw / a.heard * (static_cast<double>(a.heard) / static_cast<double>(refreshes.size())) * load * o;
  }
  return total;
}

// The candidate brute force ranks first (same bias and tie rules as the documentation).
uint32_t BruteBest(const std::vector<std::vector<TAirNetwork>>& refreshes, const std::vector<std::string>& mine,
                   int band, int width, bool channel13, bool excludeDfs) {
  double bestKey = 0;
  uint32_t best = 0;
  for (const TChannelCandidate& c : CandidateChannels(band, width, channel13)) {
    if (excludeDfs && c.Dfs) continue;
    const double key = (Mw(-100) + BruteTotal(refreshes, mine, c)) * (band == 2 && !c.Preferred ? 2 : 1);
    if (best == 0 || key < bestKey || (key == bestKey && c.Channel < best)) {
      bestKey = key;
      best = c.Channel;
    }
  }
  return best;
}

TChannelAdvice Advise(const std::vector<std::vector<TAirNetwork>>& refreshes, TAdviceRequest request = {}) {
  TChannelAirLog log;
  for (const auto& r : refreshes) log.AddRefresh(r);
  return AdviseChannels(log, request);
}

TEST(ChannelAdvice, ScenesWithAKnownBestChannelAgreeWithBruteForce) {
  struct Case {
    const char* Name;
    std::vector<std::vector<TAirNetwork>> Refreshes;
    int Band, Width;
    uint32_t Best;
    std::vector<std::string> Mine = {};
    bool ExcludeDfs = false;
  };
  const Case cases[] = {
      {"empty 2.4 GHz air: the lowest channel", {{}}, 0, 20, 1},
      {"2.4 GHz: 1 and 11 busy, 6 free", {{Net("a", "A", 0, 1, -50), Net("b", "B", 0, 11, -60)}}, 0, 20, 6},
      {"2.4 GHz: a strong neighbour on 3 spoils 1 more than a weak one on 6",
       {{Net("a", "A", 0, 3, -45), Net("b", "B", 0, 6, -80), Net("c", "C", 0, 11, -40)}},
       0,
       20,
       6},
      {"2.4 GHz 40 MHz: the block away from the traffic",
       {{Net("a", "A", 0, 1, -50), Net("b", "B", 0, 6, -55)}},
       0,
       40,
       11},
      {"5 GHz: every UNII-1 channel taken, a wide neighbour over 52-64",
       {{Net("a", "A", 1, 36, -50), Net("b", "B", 1, 40, -50), Net("c", "C", 1, 44, -50), Net("d", "D", 1, 48, -50),
         Net("e", "E", 1, 52, -60, 80, 58)}},
       1,
       20,
       100},
      {"5 GHz 80 MHz: the primary away from a neighbour's primary inside the block",
       {{Net("a", "A", 1, 36, -50), Net("x", "X", 1, 52, -40, 80, 58), Net("y", "Y", 1, 100, -40, 80, 106),
         Net("z", "Z", 1, 116, -40, 80, 122), Net("w", "W", 1, 132, -40, 80, 138),
         Net("v", "V", 1, 149, -40, 80, 155)}},
       1,
       80,
       40},
      {"5 GHz: DFS excluded leaves the UNII-3 channel",
       {{Net("a", "A", 1, 36, -45), Net("b", "B", 1, 40, -45), Net("c", "C", 1, 44, -45), Net("d", "D", 1, 48, -45),
         Net("e", "E", 1, 149, -70), Net("f", "F", 1, 153, -50), Net("g", "G", 1, 157, -50), Net("h", "H", 1, 161, -50),
         Net("i", "I", 1, 165, -50)}},
       1,
       20,
       149,
       {},
       true},
      {"6 GHz: the first preferred scanning channel in empty air", {{}}, 2, 20, 5},
      {"6 GHz 80 MHz: the free block's preferred scanning channel",
       {{Net("a", "A", 2, 5, -50, 80, 7), Net("b", "B", 2, 37, -60, 80, 39)}},
       2,
       80,
       21},
      {"own networks do not count: the channel of my other AP stays best",
       {{Net("m1", "Home", 0, 1, -40), Net("b", "B", 0, 6, -70), Net("c", "C", 0, 11, -70)}},
       0,
       20,
       1,
       {"Home"}},
      {"a network heard once in four refreshes costs a quarter",
       {{Net("a", "A", 0, 1, -60), Net("b", "B", 0, 6, -62), Net("c", "C", 0, 11, -50)},
        {Net("b", "B", 0, 6, -62), Net("c", "C", 0, 11, -50)},
        {Net("b", "B", 0, 6, -62), Net("c", "C", 0, 11, -50)},
        {Net("b", "B", 0, 6, -62), Net("c", "C", 0, 11, -50)}},
       0,
       20,
       1},
  };
  for (const Case& c : cases) {
    TAdviceRequest request;
    request.Mine = c.Mine;
    request.ExcludeDfs = c.ExcludeDfs;
    request.Country = "US";
    const TChannelAdvice advice = Advise(c.Refreshes, request);
    EXPECT_EQ(BestChannel(advice, c.Band, c.Width), c.Best) << c.Name;
    EXPECT_EQ(BruteBest(c.Refreshes, c.Mine, c.Band, c.Width, false, c.ExcludeDfs), c.Best) << c.Name;
  }
}

// Random dense scenes: every candidate's total equals the brute-force total, so the pruned search misses
// nothing, and the same input gives the same advice.
TEST(ChannelAdvice, EveryCandidateMatchesBruteForceInRandomScenes) {
  std::mt19937 rng(7);
  for (int scene = 0; scene < 20; ++scene) {
    std::vector<std::vector<TAirNetwork>> refreshes(3);
    for (int i = 0; i < 60; ++i) {
      const int band = static_cast<int>(rng() % 3);
      const std::vector<TChannelCandidate> blocks =
          CandidateChannels(band, BandWidths(band)[rng() % BandWidths(band).size()], true);
      const TChannelCandidate& c = blocks[rng() % blocks.size()];
      TAirNetwork n = Net("n" + std::to_string(i), "S" + std::to_string(i % 17), band, c.Channel,
                          -30 - static_cast<int>(rng() % 60), static_cast<uint32_t>(c.WidthMHz), c.CenterChannel());
      if (rng() % 4 == 0) n.UtilizationPercent = static_cast<int32_t>(rng() % 101);
      if (band == 1 && c.WidthMHz == 80 && rng() % 3 == 0) n.Center2MHz = RasterFrequency(1, 155);
      if (i == 5) n.Connected = true;
      for (auto& r : refreshes)
        if (rng() % 3 != 0) r.push_back(n);
    }
    TAdviceRequest request;
    request.Country = "DE";
    request.Mine = {"S3"};
    const TChannelAdvice advice = Advise(refreshes, request);
    for (const auto& item : advice.Items)
      for (const TChannelScore& s : item.Channels) {
        const double brute = BruteTotal(refreshes, request.Mine, s.Candidate);
        ASSERT_NEAR(s.TotalMilliwatts, brute, 1e-12 + 1e-9 * brute)
            << "scene " << scene << " band " << item.Band << " width " << item.WidthMHz << " channel "
            << s.Candidate.Channel << " block " << s.Candidate.FirstChannel;
      }
    const TChannelAdvice again = Advise(refreshes, request);
    for (size_t i = 0; i < advice.Items.size(); ++i) EXPECT_EQ(advice.Items[i].Best, again.Items[i].Best);
  }
}

TEST(ChannelAdvice, ConnectedEssAndMineDoNotCount) {
  TAirNetwork connected = Net("c1", "Home", 1, 36, -40);
  connected.Connected = true;
  const std::vector<std::vector<TAirNetwork>> air = {
      {connected, Net("c2", "Home", 1, 40, -45), Net("o1", "Office", 1, 44, -45), Net("x", "Other", 1, 48, -70)}};
  TAdviceRequest request;
  request.Widths = {20};
  request.Bands = {1};
  TChannelAdvice a = Advise(air, request);
  const TBandWidthAdvice& item = *Find(a, 1, 20);
  EXPECT_EQ(a.OwnSSIDs, std::vector<std::string>{"Home"});
  EXPECT_EQ(a.OwnNetworks, 2);
  EXPECT_EQ(item.Channels[0].Networks, 0);  // 36: the connected AP
  EXPECT_EQ(item.Channels[1].Networks, 0);  // 40: another AP of the same ESS
  EXPECT_EQ(item.Channels[2].Networks, 1);
  request.Mine = {"Office"};
  a = Advise(air, request);
  EXPECT_EQ(Find(a, 1, 20)->Channels[2].Networks, 0);
  EXPECT_EQ(a.OwnNetworks, 3);
}

TEST(ChannelAdvice, OnTwoPointFourAnAdjacentChannelCostsLessThanASharedOne) {
  TAdviceRequest request;
  request.Bands = {0};
  request.Widths = {20};
  request.Country = "US";
  auto costOfSix = [&](uint32_t neighbour) {
    const TChannelAdvice a = Advise({{Net("n", "N", 0, neighbour, -50)}}, request);
    return Find(a, 0, 20)->Channels[1].TotalMilliwatts;  // candidates 1, 6, 11
  };
  const double shared = costOfSix(6);
  EXPECT_DOUBLE_EQ(shared, Mw(-50));
  EXPECT_DOUBLE_EQ(costOfSix(7), 0.85 * shared);
  EXPECT_DOUBLE_EQ(costOfSix(8), 0.55 * shared);
  EXPECT_DOUBLE_EQ(costOfSix(9), 0.25 * shared);
  EXPECT_EQ(costOfSix(10), 0);
  // Channels 12 and 13 only where the country allows them.
  const TChannelAdvice us = Advise({{}}, request);
  request.Country = "DE";
  const TChannelAdvice de = Advise({{}}, request);
  EXPECT_EQ(Find(us, 0, 20)->Channels.size(), 3u);
  EXPECT_EQ(Find(de, 0, 20)->Channels.size(), 6u);
  EXPECT_TRUE(de.Channel13);
}

TEST(ChannelAdvice, DfsChannelsAreMarkedAndCanBeExcluded) {
  // UNII-1 and UNII-3 busy: the quiet channels are DFS ones.
  std::vector<TAirNetwork> air;
  for (uint32_t ch : {36u, 40u, 44u, 48u, 149u, 153u, 157u, 161u, 165u})
    air.push_back(Net("n" + std::to_string(ch), "N", 1, ch, ch == 48 ? -75 : -50));
  TAdviceRequest request;
  request.Bands = {1};
  request.Widths = {20};
  const TBandWidthAdvice open = *Find(Advise({air}, request), 1, 20);
  EXPECT_EQ(open.Channels[static_cast<size_t>(open.Best)].Candidate.Channel, 52u);
  EXPECT_TRUE(open.Channels[static_cast<size_t>(open.Best)].Candidate.Dfs);
  request.ExcludeDfs = true;
  const TBandWidthAdvice closed = *Find(Advise({air}, request), 1, 20);
  EXPECT_EQ(closed.Channels[static_cast<size_t>(closed.Best)].Candidate.Channel, 48u);
  for (const TChannelScore& s : closed.Channels) {
    EXPECT_EQ(s.Excluded, s.Candidate.Dfs);
    EXPECT_EQ(s.Rank == 0, s.Excluded);
  }
}

TEST(ChannelAdvice, PreferredScanningChannelsWinUnlessClearlyWorse) {
  TAdviceRequest request;
  request.Bands = {2};
  request.Widths = {20};
  // A preferred scanning channel wins unless another channel costs less than half as much (3 dB), the
  // floor included: networks on every preferred channel at -102 dBm keep them first, at -98 dBm they do not.
  auto air = [](double dbm) {
    std::vector<TAirNetwork> out;
    for (uint32_t ch = 5; ch <= 229; ch += 16) out.push_back(Net("p" + std::to_string(ch), "P", 2, ch, dbm));
    return std::vector<std::vector<TAirNetwork>>{out};
  };
  EXPECT_EQ(BestChannel(Advise(air(-102), request), 2, 20), 5u);
  EXPECT_EQ(BestChannel(Advise(air(-98), request), 2, 20), 1u);
  const std::pair<int, int> preferredPerWidth[] = {{20, 15}, {40, 15}, {80, 14}, {160, 14}, {320, 24}};
  for (auto [width, count] : preferredPerWidth) {
    int preferred = 0;
    for (const TChannelCandidate& c : CandidateChannels(2, width, false)) preferred += c.Preferred;
    EXPECT_EQ(preferred, count) << width;
  }
}

TEST(ChannelAdvice, SurveyBusyTimeAndNoiseCostAndExplain) {
  TChannelAirLog log;
  TChannelSurvey busy36{5180, -95, 1000, 600, 50, 100, std::nullopt};  // 100 ms our own transmissions
  TChannelSurvey noisy40{5200, -80, 1000, 100, 0, 0, std::nullopt};
  TChannelSurvey quiet44{5220, -95, 1000, 0, 0, 0, std::nullopt};
  log.AddRefresh(std::vector<TAirNetwork>{Net("a", "A", 1, 48, -70)}, std::vector{busy36, noisy40, quiet44});
  TAdviceRequest request;
  request.Bands = {1};
  request.Widths = {20, 80};
  const TChannelAdvice a = AdviseChannels(log, request);
  const TBandWidthAdvice& w20 = *Find(a, 1, 20);
  EXPECT_NEAR(*w20.Channels[0].BusyShare, 500.0 / 900, 1e-12);
  EXPECT_NEAR(w20.Channels[0].TotalMilliwatts, 500.0 / 900 * Mw(-62), 1e-15);
  EXPECT_NEAR(w20.Channels[1].TotalMilliwatts, 0.1 * Mw(-62) + Mw(-80) - Mw(-95), 1e-15);
  EXPECT_EQ(w20.Channels[2].TotalMilliwatts, 0);
  EXPECT_EQ(w20.Channels[static_cast<size_t>(w20.Best)].Candidate.Channel, 44u);
  EXPECT_TRUE(w20.Costs.empty());
  // The 80 MHz block 36-48 with primary 44: busy 36 and noisy 40 at half weight, the network on 48 too.
  const auto terms = ExplainChannel(log, request, CandidateChannels(1, 80, false)[2]);
  ASSERT_EQ(terms.size(), 4u);
  EXPECT_EQ(terms[0].Kind, TCostTerm::TKind::Busy);
  EXPECT_EQ(terms[0].Channel, 36u);
  EXPECT_EQ(terms[1].Kind, TCostTerm::TKind::Network);
  EXPECT_EQ(terms[1].BSSID, "a");
  EXPECT_DOUBLE_EQ(terms[1].Overlap, 0.5);
  EXPECT_EQ(terms[2].Kind, TCostTerm::TKind::Busy);
  EXPECT_EQ(terms[3].Kind, TCostTerm::TKind::Noise);
  EXPECT_EQ(terms[3].Channel, 40u);
  double shares = 0;
  for (const auto& t : terms) shares += t.Share;
  EXPECT_NEAR(shares, 1, 1e-12);
}

TEST(ChannelPlan, BlocksPerBandAndWidth) {
  const std::pair<int, int> widths[] = {{20, 59}, {40, 58}, {80, 56}, {160, 56}, {320, 96}};
  for (auto [width, count] : widths) EXPECT_EQ(CandidateChannels(2, width, false).size(), size_t(count)) << width;
  EXPECT_EQ(CandidateChannels(1, 20, false).size(), 25u);
  EXPECT_EQ(CandidateChannels(1, 160, false).size(), 16u);
  EXPECT_TRUE(CandidateChannels(1, 320, false).empty());
  // 2.4 GHz 40 MHz: each primary of the set with its secondary inside the band.
  std::vector<std::pair<uint32_t, uint32_t>> blocks;
  for (const auto& c : CandidateChannels(0, 40, false)) blocks.emplace_back(c.FirstChannel, c.Channel);
  EXPECT_EQ(blocks, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 1}, {2, 6}, {6, 6}, {7, 11}}));
  const auto c320 = CandidateChannels(2, 320, false);
  EXPECT_EQ(c320.front().CenterChannel(), 31u);
  EXPECT_EQ(c320[16].CenterChannel(), 63u);
  EXPECT_EQ(c320.back().CenterChannel(), 191u);
}

}  // namespace
}  // namespace skimlet

#include "core/graph/spectrum.h"

#include <gtest/gtest.h>

#include "core/radio/values.h"

namespace skimlet {
namespace {

TSpectrumInput Net(int band, int phy, uint32_t channel, int width = 0, int32_t rssi = -50) {
  TSpectrumInput n;
  n.Active = true;
  n.Band = band;
  n.PhyType = phy;
  n.Channel = channel;
  n.ChannelWidth = width;
  n.RSSI = rssi;
  return n;
}

std::vector<int64_t> Frequencies(const TSpectrumOutline& o) {
  std::vector<int64_t> f;
  for (const TFrequencyLevel& p : o.Points) f.push_back(p.KHz);
  return f;
}

std::vector<double> Levels(const TSpectrumOutline& o) {
  std::vector<double> l;
  for (const TFrequencyLevel& p : o.Points) l.push_back(p.Level);
  return l;
}

// The centre of an OFDM outline: half-way along its flat top.
int64_t TopCentre(const TSpectrumOutline& o) { return (o.Points[3].KHz + o.Points[4].KHz) / 2; }

TEST(SpectrumOutline, MasksOfEachPhy) {
  // ERP on channel 6 at -50 dBm: OFDM mask.
  const TSpectrumOutline erp = SpectrumOutline(Net(0, kPhyERP, 6), 0);
  EXPECT_EQ(erp.Shape, TSpectrumShape::OFDM);
  EXPECT_EQ(Frequencies(erp),
            (std::vector<int64_t>{2407000, 2417000, 2426000, 2428000, 2446000, 2448000, 2457000, 2467000}));
  EXPECT_EQ(Levels(erp), (std::vector<double>{-90, -78, -70, -50, -50, -70, -78, -90}));
  EXPECT_EQ(erp.EdgeLevel, -90);
  EXPECT_EQ(erp.LabelCentres, std::vector<int64_t>{2437000});

  // HR-DSSS only, channel 1 at -60 dBm: the stepped outline.
  const TSpectrumOutline dsss = SpectrumOutline(Net(0, kPhyHRDSSS, 1, 0, -60), 0);
  EXPECT_EQ(dsss.Shape, TSpectrumShape::DSSS);
  EXPECT_EQ(Frequencies(dsss),
            (std::vector<int64_t>{2390000, 2390000, 2401000, 2401000, 2423000, 2423000, 2434000, 2434000}));
  EXPECT_EQ(Levels(dsss), (std::vector<double>{-110, -90, -90, -60, -60, -90, -90, -110}));
  EXPECT_EQ(dsss.EdgeLevel, -110);

  struct Centred {
    const char* what;
    TSpectrumInput net;
    int64_t centre, halfTop;
  };
  auto with = [](TSpectrumInput n, uint32_t secondary, uint32_t cc0, uint32_t cc1) {
    n.SecondaryChannel = secondary;
    n.CenterChannel0 = cc0;
    n.CenterChannel1 = cc1;
    return n;
  };
  const Centred cases[] = {
      {"HT 36+40", with(Net(1, kPhyHT, 36, 1), 40, 0, 0), 5190000, 19000},
      {"HT 1+5", with(Net(0, kPhyHT, 1, 1), 5, 0, 0), 2422000, 19000},
      {"HT 20 MHz", Net(1, kPhyHT, 36), 5180000, 9000},
      {"VHT 80 at 42", with(Net(1, kPhyVHT, 36, 2), 40, 42, 0), 5210000, 39000},
      {"HE 160 at 50", with(Net(1, kPhyHE, 36, 3), 40, 42, 50), 5250000, 79000},
      {"6 GHz HE 40 at 3", with(Net(2, kPhyHE, 1, 1), 0, 3, 0), 5965000, 19000},
      {"6 GHz HE 160 at 15", with(Net(2, kPhyHE, 5, 3), 0, 7, 15), 6025000, 79000},
      {"6 GHz EHT 320 at 31", with(Net(2, kPhyEHT, 5, kWidth320), 0, 15, 31), 6105000, 159000},
      {"OFDM", Net(1, kPhyOFDM, 149), 5745000, 9000},
  };
  for (const Centred& c : cases) {
    const TSpectrumOutline o = SpectrumOutline(c.net, c.net.Band);
    ASSERT_EQ(o.Shape, TSpectrumShape::OFDM) << c.what;
    EXPECT_EQ(TopCentre(o), c.centre) << c.what;
    EXPECT_EQ(o.Points[4].KHz - o.Points[3].KHz, 2 * c.halfTop) << c.what;
  }
}

TEST(SpectrumOutline, EightyPlusEightyDrawsTwoEightyMHzSegments) {
  TSpectrumInput n = Net(1, kPhyVHT, 36, 4, -40);
  n.CenterChannel0 = 155;  // given in either order
  n.CenterChannel1 = 42;
  const TSpectrumOutline o = SpectrumOutline(n, 1);
  ASSERT_EQ(o.Shape, TSpectrumShape::Dual);
  const int64_t a = 5210000, b = 5775000;
  EXPECT_EQ(Frequencies(o),
            (std::vector<int64_t>{a - 120000, a - 80000, a - 41000, a - 39000, a + 39000, a + 41000, 5492500, b - 41000,
                                  b - 39000, b + 39000, b + 41000, b + 80000, b + 120000}));
  EXPECT_EQ(Levels(o), (std::vector<double>{-80, -68, -60, -40, -40, -60, -65, -60, -40, -40, -60, -68, -80}));
  EXPECT_EQ(o.LabelCentres, (std::vector<int64_t>{5775000, 5210000}));  // the name on each segment
}

TEST(SpectrumOutline, DrawsNothingWithoutAPlaceInTheBand) {
  TSpectrumInput inactive = Net(0, kPhyERP, 6);
  inactive.Active = false;
  TSpectrumInput dualHalf = Net(1, kPhyVHT, 36, 4);
  dualHalf.CenterChannel0 = 42;  // the second segment unknown
  const std::pair<const char*, TSpectrumInput> cases[] = {
      {"inactive", inactive},
      {"no channel", Net(1, kPhyVHT, 0)},
      {"a 2.4 GHz record on channel 36", Net(0, kPhyHT, 36)},
      {"VHT 80 without centre", Net(1, kPhyVHT, 36, 2)},
      {"80+80 with one centre", dualHalf},
      {"6 GHz channel beyond the plan", Net(2, kPhyHE, 250)},
  };
  for (const auto& [what, net] : cases) EXPECT_EQ(SpectrumOutline(net, net.Band).Shape, TSpectrumShape::None) << what;
  // Another band's graph ignores the network.
  EXPECT_EQ(SpectrumOutline(Net(1, kPhyHT, 36), 2).Shape, TSpectrumShape::None);
  EXPECT_TRUE(SpectrumPoints({}, TSpectrumMapper({0, 0, 100, 100}, SpectrumRange(0)), true).empty());
}

TEST(SpectrumPoints, MapsAndClosesTheOutline) {
  // 1 pixel per 160 kHz and per 0.2 dB on a 700 x 400 rectangle.
  const TGraphRect s{100, 10, 800, 410};
  const TSpectrumMapper m(s, SpectrumRange(0));
  EXPECT_EQ(m.FrequencyToX(2392000), 100);
  EXPECT_EQ(m.FrequencyToX(2412000), 225);
  EXPECT_EQ(m.FrequencyToX(2504000), 800);
  EXPECT_EQ(m.LevelToY(-100), 410);
  EXPECT_EQ(m.LevelToY(-20), 10);
  EXPECT_EQ(m.LevelToY(-50), 160);
  const TSpectrumOutline erp = SpectrumOutline(Net(0, kPhyERP, 6), 0);
  const auto closedDown = SpectrumPoints(erp, m, false);
  ASSERT_EQ(closedDown.size(), 10u);
  EXPECT_EQ(closedDown.front(), (TGraphPoint{m.FrequencyToX(2407000), 410}));
  EXPECT_EQ(closedDown[4], (TGraphPoint{m.FrequencyToX(2428000), 160}));
  EXPECT_EQ(closedDown.back(), (TGraphPoint{m.FrequencyToX(2467000), 410}));
  const auto background = SpectrumPoints(erp, m, true);
  EXPECT_EQ(background.front(), (TGraphPoint{100, m.LevelToY(-90)}));
  EXPECT_EQ(background.back(), (TGraphPoint{800, m.LevelToY(-90)}));
}

// Every character 6 pixels wide, or W wide for texts of the frequency labels.
TTextWidth Widths(int perCharacter, int frequencyLabel = -1) {
  return [=](std::string_view text) {
    if (frequencyLabel >= 0 && text.find('.') != std::string_view::npos) return frequencyLabel;
    return static_cast<int>(text.size()) * perCharacter;
  };
}

std::vector<std::string> Texts(const std::vector<TAxisLabel>& labels) {
  std::vector<std::string> t;
  for (const TAxisLabel& l : labels) t.push_back(l.Text);
  return t;
}

TEST(ChannelAxis, TwoPointFourGHzPositionsAndSpacing) {
  const TGraphRect p{100, 20, 800, 300};
  const TChannelAxis axis = ComputeChannelAxis(0, p, Widths(6), 10, 10);
  ASSERT_EQ(axis.Grid.size(), 14u);
  EXPECT_EQ(axis.Grid[0].X, 225);
  EXPECT_EQ(axis.Grid[5].X, 381);
  EXPECT_EQ(axis.Grid[12].X, 600);
  EXPECT_EQ(axis.Grid[13].X, 675);
  EXPECT_EQ(axis.ChannelLabels.size(), 14u);  // "13" + 6 fits in d = 31
  EXPECT_EQ(axis.ChannelLabels[5], (TAxisLabel{381, "6"}));
  // d = 31: a frequency label 24 wide (+ 6) fits beside every channel, one 25 wide only every other channel.
  EXPECT_EQ(ComputeChannelAxis(0, p, Widths(6, 24), 10, 10).FrequencyLabels.size(), 14u);
  const TChannelAxis sparse = ComputeChannelAxis(0, p, Widths(6, 25), 10, 10);
  EXPECT_EQ(Texts(sparse.FrequencyLabels),
            (std::vector<std::string>{"2.412", "2.422", "2.432", "2.442", "2.452", "2.462", "2.472"}));
  EXPECT_EQ(sparse.TopTicks.size(), 7u);
  // Labels that would run into the titles at the left end are left out.
  const TChannelAxis crowded = ComputeChannelAxis(0, p, Widths(6), 200, 10);
  EXPECT_EQ(crowded.ChannelLabels.front(), (TAxisLabel{319, "4"}));
  EXPECT_EQ(FrequencyLabel(2412000, ","), "2,412");
}

TEST(ChannelAxis, FiveGHzGroupsLabelEveryKthChannel) {
  // 712 pixels over 750 MHz: adjacent 20 MHz channels are d = 19 pixels apart; labels 30 wide give k = 2.
  const TGraphRect p{0, 20, 712, 300};
  const TChannelAxis axis = ComputeChannelAxis(1, p, Widths(6, 30), 0, 0);
  EXPECT_EQ(Texts(axis.FrequencyLabels),
            (std::vector<std::string>{"5.180", "5.220", "5.260", "5.300", "5.500", "5.540", "5.580", "5.620", "5.660",
                                      "5.700", "5.745", "5.785", "5.825"}));
  EXPECT_EQ(axis.Grid.size(), 8u + 12u + 5u);
  EXPECT_EQ(axis.TopTicks.size(), 8u + 4u + 12u + 5u);
  // A plot too narrow to tell channel 36 from 40 gets its grid and first ticks only.
  const TChannelAxis tiny = ComputeChannelAxis(1, {0, 0, 10, 50}, Widths(6), 0, 0);
  EXPECT_TRUE(tiny.FrequencyLabels.empty() && tiny.ChannelLabels.empty());
  EXPECT_EQ(tiny.TopTicks.size(), 8u);
  EXPECT_TRUE(ComputeChannelAxis(1, {10, 0, 5, 50}, Widths(6), 0, 0).Grid.empty());
}

TEST(ChannelAxis, SixGHzMarksPreferredScanningChannels) {
  // 1 200 pixels over 1 200 MHz: channel 1 (5 955 MHz) at x = 30, a 20 MHz step 20 pixels.
  const TGraphRect p{0, 20, 1200, 300};
  const TChannelAxis axis = ComputeChannelAxis(2, p, Widths(6), 0, 0);
  ASSERT_EQ(axis.Grid.size(), 59u);
  EXPECT_EQ(axis.Grid[0].X, 30);
  EXPECT_EQ(axis.Grid[1].X, 50);
  int preferred = 0;
  for (const TChannelGridLine& g : axis.Grid) {
    if (!g.Preferred) continue;
    ++preferred;
    EXPECT_EQ((g.X - 50) % 80, 0) << g.X;  // 5, 21, 37 ...: every 80 MHz from 5 975 MHz
  }
  EXPECT_EQ(preferred, 15);
  // "233" + 6 needs 24 pixels: every other channel from 5; frequency labels (30 + 6) likewise.
  EXPECT_EQ(axis.ChannelLabels[0], (TAxisLabel{50, "5"}));
  EXPECT_EQ(axis.ChannelLabels[1], (TAxisLabel{90, "13"}));
  EXPECT_EQ(axis.FrequencyLabels[0], (TAxisLabel{50, "5.975"}));
  // Narrower: labels only on preferred scanning channels.
  const TChannelAxis narrow = ComputeChannelAxis(2, {0, 20, 400, 300}, Widths(6), 0, 0);
  for (const TAxisLabel& l : narrow.ChannelLabels)
    EXPECT_TRUE(IsPreferredScanningChannel(static_cast<uint32_t>(std::stoi(l.Text)))) << l.Text;
  EXPECT_FALSE(narrow.ChannelLabels.empty());
  EXPECT_TRUE(IsPreferredScanningChannel(229));
  EXPECT_FALSE(IsPreferredScanningChannel(233));
}

}  // namespace
}  // namespace skimlet

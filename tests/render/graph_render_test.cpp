#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/graph/spectrum.h"
#include "core/model/columns.h"
#include "core/model/network.h"
#include "core/radio/values.h"
#include "render/raster_lines.h"
#include "render/wifi_graphs.h"

namespace skimlet {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kAxis(90, 90, 90);
const QColor kTick(60, 60, 60);
const QColor kGrid(220, 220, 220);

// A list of rows the test ticks, hides and selects by hand.
class TestRows : public TGraphRows {
 public:
  struct Row {
    std::unique_ptr<TWLANNetwork> Network;
    bool Checked = true;
    bool Hidden = false;
    bool Selected = false;
  };
  std::vector<Row> Rows;

  TWLANNetwork& Add(const std::string& ssid, int band, int phy, uint32_t channel, int32_t rssi, TColor color,
                    int width = 0, uint32_t cc0 = 0, uint32_t cc1 = 0) {
    auto n = std::make_unique<TWLANNetwork>();
    n->SSID = ssid;
    n->Active = true;
    n->Band = static_cast<uint8_t>(band);
    n->PhyTypes.Add(phy);
    n->Channel = channel;
    n->RSSI = rssi;
    n->ChannelWidth = static_cast<uint8_t>(width);
    n->CenterChannel0 = cc0;
    n->CenterChannel1 = cc1;
    n->SetColor(color);
    Rows.push_back({std::move(n)});
    return *Rows.back().Network;
  }

  int GraphRowCount() const override { return static_cast<int>(Rows.size()); }
  bool GraphRowChecked(int row) const override { return Rows[static_cast<size_t>(row)].Checked; }
  bool GraphRowHidden(int row) const override { return Rows[static_cast<size_t>(row)].Hidden; }
  bool GraphRowSelected(int row) const override { return Rows[static_cast<size_t>(row)].Selected; }
  TWLANNetwork* GraphRowNetwork(int row) const override {
    return row >= 0 && row < GraphRowCount() ? Rows[static_cast<size_t>(row)].Network.get() : nullptr;
  }
};

void Style(TGraph& g) {
  g.BackgroundColor = kWhite;
  g.AxisColor = kAxis;
  g.TickColor = kTick;
  g.GridColor = kGrid;
  g.AxisFontColor = Qt::black;
  g.LegendFontColor = Qt::black;
}

QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

// Whether the colour is at (X, Y) or one row above or below it (where a value rounds is not the test's
// business).
bool NearColor(const QImage& image, int x, int y, const QColor& color) {
  for (int dy : {0, -1, 1})
    if (image.pixelColor(x, y + dy) == color) return true;
  return false;
}

int CountPixels(const QImage& image, const QColor& color, QRect area = {}) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == color ? 1 : 0;
  return n;
}

// The series rectangle of the last paint and the spectrum mapping over it.
TSpectrumMapper MapperOf(TGraph& g, int band) {
  const TGraphRect p = g.LastPlot();
  return TSpectrumMapper({p.Left + 1, p.Top + 1, p.Right, p.Bottom}, SpectrumRange(band));
}

class SpectrumRender : public testing::Test {
 protected:
  TestRows rows;
  static constexpr TColor kRed = MakeColor(200, 0, 0), kGreen = MakeColor(0, 160, 0), kBlue = MakeColor(0, 0, 200),
                          kOrange = MakeColor(230, 120, 0);

  template <class TGraphType>
  std::unique_ptr<TGraphType> Make() {
    auto g = std::make_unique<TGraphType>();
    Style(*g);
    g->Tree = &rows;
    g->ShowLegend = false;
    return g;
  }
};

TEST_F(SpectrumRender, TwoPointFourGHzCurvesStandAtTheirChannels) {
  rows.Add("one", 0, kPhyERP, 1, -40, kRed);
  rows.Add("six", 0, kPhyERP, 6, -60, kGreen);
  rows.Add("eleven", 0, kPhyHRDSSS, 11, -50, kBlue);
  rows.Add("five GHz", 1, kPhyVHT, 36, -30, kOrange);  // another band: not drawn here
  auto g = Make<TGraphRSSIChannel2>();
  const QImage image = g->RenderImage({800, 400});
  const TSpectrumMapper m = MapperOf(*g, 0);
  struct Expect {
    TColor color;
    int64_t kHz;
    int level;
  } points[] = {
      {kRed, 2403000, -40},          {kRed, 2421000, -40},
      {kRed, 2432000, -68},  // top edges, -28 dB at +20 MHz
      {kGreen, 2437000 + 2000, -60}, {kGreen, 2437000 + 20000, -88},
      {kBlue, 2462000 + 5000, -50},  {kBlue, 2462000 + 15000, -80},  // DSSS: top, then the -30 dB step
  };
  for (const Expect& e : points)
    EXPECT_EQ(image.pixelColor(m.FrequencyToX(e.kHz), m.LevelToY(e.level)), ToQColor(e.color))
        << e.kHz << " kHz at " << e.level;
  EXPECT_EQ(CountPixels(image, ToQColor(kOrange)), 0);
  // Without legend and X caption the plot spans the width up to the value labels.
  EXPECT_GT(g->LastPlot().Right, 700);
  EXPECT_EQ(g->GetYCaption().toStdString(), CaptionWithUnit(NetworkColumnTitle(TNetworkColumn::SignalStrength), "dBm"));
}

TEST_F(SpectrumRender, NetworksWithoutAPlaceInTheBandDrawNothing) {
  rows.Add("no channel", 1, kPhyVHT, 0, -40, kRed);  // centre 0 kHz
  TWLANNetwork& inactive = rows.Add("inactive", 1, kPhyHT, 36, -40, kBlue);
  inactive.Active = false;
  rows.Add("unticked", 1, kPhyHT, 149, -40, kOrange);
  rows.Rows.back().Checked = false;
  auto g = Make<TGraphRSSIChannel5>();
  g->DrawBackgroundSpectrum = true;
  const QImage image = g->RenderImage({800, 400});
  for (TColor c : {kRed, kBlue, kOrange}) EXPECT_EQ(CountPixels(image, ToQColor(c)), 0) << c;
}

TEST_F(SpectrumRender, SixGHzGraphShowsWideChannelsAndPreferredChannels) {
  rows.Add("psc", 2, kPhyHE, 37, -45, kRed);
  rows.Add("wide", 2, kPhyEHT, 181, -60, kBlue, kWidth320, 175, 191);
  auto g = Make<TGraphRSSIChannel6>();
  const QImage image = g->RenderImage({1000, 400});
  const TSpectrumMapper m = MapperOf(*g, 2);
  const int64_t psc = ChannelToFrequency(37, 2), wide = ChannelToFrequency(191, 2);
  EXPECT_EQ(image.pixelColor(m.FrequencyToX(psc + 3000), m.LevelToY(-45)), ToQColor(kRed));
  EXPECT_EQ(image.pixelColor(m.FrequencyToX(wide - 155000), m.LevelToY(-60)), ToQColor(kBlue));
  EXPECT_EQ(image.pixelColor(m.FrequencyToX(wide + 155000), m.LevelToY(-60)), ToQColor(kBlue));
  // Grid columns of preferred scanning channels are dotted in the tick colour, the others in the grid colour.
  // The axis maps frequencies on the plot rectangle itself.
  const TGraphRect p = g->LastPlot();
  const TSpectrumMapper axis(p, SpectrumRange(2));
  const QRect column21(axis.FrequencyToX(ChannelToFrequency(21, 2)), p.Top + 1, 1, p.Height() - 2);
  const QRect column25(axis.FrequencyToX(ChannelToFrequency(25, 2)), p.Top + 1, 1, p.Height() - 2);
  EXPECT_GT(CountPixels(image, kTick, column21), p.Height() / 4);
  EXPECT_EQ(CountPixels(image, kTick, column25), 0);
  EXPECT_GT(CountPixels(image, kGrid, column25), p.Height() / 4);
}

TEST_F(SpectrumRender, SelectedNetworkIsFilledAsOneTranslucentLayer) {
  rows.Add("plain", 1, kPhyHT, 36, -50, kRed);
  rows.Add("chosen", 1, kPhyHT, 149, -50, kGreen);
  rows.Rows.back().Selected = true;
  auto g = Make<TGraphRSSIChannel5>();
  const QImage image = g->RenderImage({800, 400});
  const TSpectrumMapper m = MapperOf(*g, 1);
  const int y = m.LevelToY(-50) + 10;
  const QColor inside = image.pixelColor(m.FrequencyToX(ChannelToFrequency(149) + 4000), y);
  // White under green at 30/255.
  EXPECT_NEAR(inside.red(), 225, 2);
  EXPECT_NEAR(inside.green(), 244, 2);
  EXPECT_NEAR(inside.blue(), 225, 2);
  EXPECT_EQ(image.pixelColor(m.FrequencyToX(ChannelToFrequency(36) + 4000), y), kWhite);
  // The selected curve is drawn with the wider pen.
  const int x = m.FrequencyToX(ChannelToFrequency(149) + 4000);
  EXPECT_EQ(image.pixelColor(x, m.LevelToY(-50)), ToQColor(kGreen));
  EXPECT_EQ(image.pixelColor(x, m.LevelToY(-50) + 1) == ToQColor(kGreen) ||
                image.pixelColor(x, m.LevelToY(-50) - 1) == ToQColor(kGreen),
            true);
}

class TimeRender : public testing::Test {
 protected:
  TestRows rows;
  const LocalDateTime now = EncodeLocalDateTime(2026, 5, 1, 14, 5, 37);
  static constexpr TColor kColor = MakeColor(30, 90, 200);

  // A sample every 10 s over the last five minutes at -50 dBm; inactive from 100 to 160 s ago.
  TWLANNetwork& AddSampled() {
    TWLANNetwork& n = rows.Add("sampled", 0, kPhyERP, 6, -50, kColor);
    for (int ago = 300; ago >= 0; ago -= 10) {
      TWiFiSeriesData s;
      s.Time = AddSeconds(now, -ago);
      s.Active = ago < 100 || ago > 160;
      s.RSSI = -50;
      n.TypedSeries().Add(s);
    }
    return n;
  }
  std::unique_ptr<TGraphWiFiTime> Make() {
    auto g = std::make_unique<TGraphWiFiTime>();
    Style(*g);
    g->Tree = &rows;
    g->AutoScale = true;
    g->Clock = [this] { return now; };
    return g;
  }
  int XAgo(const TGraph& g, int seconds) const {
    const TGraphRect p = g.LastPlot();
    return p.Left + RoundPixel(p.Width() / 300.0 * (300 - seconds));
  }
  int YOf(const TGraph& g, double v) const {
    const TGraphRect p = g.LastPlot();
    return p.Bottom - RoundPixel((v - g.MinY) * p.Height() / (g.MaxY - g.MinY));
  }
};

TEST_F(TimeRender, DrawsTheLineWithItsGapAndLegend) {
  AddSampled();
  auto g = Make();
  const QImage image = g->RenderImage({700, 300});
  EXPECT_EQ(g->MinY, -100);
  EXPECT_EQ(g->MaxY, -20);
  const int y = YOf(*g, -50);
  // The newest sample runs on to the right edge; an active sample followed by an inactive one runs on to the
  // inactive one's time (165); the inactive time (160 ... 100) and the way back up to 90 stay empty.
  for (int ago : {1, 5, 35, 85, 165, 290}) EXPECT_TRUE(NearColor(image, XAgo(*g, ago), y, ToQColor(kColor))) << ago;
  for (int ago : {95, 130, 155}) EXPECT_FALSE(NearColor(image, XAgo(*g, ago), y, ToQColor(kColor))) << ago;
  // The legend takes room at the right; its line is in the network's colour.
  const TGraphRect withLegend = g->LastPlot();
  EXPECT_LT(withLegend.Right, 700 - 40);
  EXPECT_GT(CountPixels(image, ToQColor(kColor), QRect(withLegend.Right + 30, 0, 700 - withLegend.Right - 30, 40)), 5);
  rows.Rows[0].Checked = false;
  g->RenderImage({700, 300});
  EXPECT_GT(g->LastPlot().Right, withLegend.Right);
}

// More networks than legend lines: the last line says how many more there are instead of showing one of them.
TEST_F(TimeRender, ALegendThatCannotHoldEveryNetworkSaysHowManyMore) {
  std::vector<QColor> colors;
  for (int i = 0; i < 40; ++i) {
    const TColor c = MakeColor(static_cast<uint8_t>(10 + i * 5), static_cast<uint8_t>(200 - i * 4), 120);
    rows.Add("net" + std::to_string(i), 0, kPhyERP, 6, -50, c);
    colors.push_back(ToQColor(c));
  }
  auto g = Make();
  const QImage image = g->RenderImage({700, 300});
  const int line = g->LegendFontHeight + g->LegendLineSpacing;
  const int capacity = (300 - 2 * g->Margin) / line;
  ASSERT_LT(capacity, 40);
  const int swatchX = 700 - g->Margin - g->LegendWidth + 2;
  auto swatchAt = [&](int i) { return image.pixelColor(swatchX, g->Margin + i * line + g->LegendFontHeight / 2); };
  for (int i = 0; i + 1 < capacity; ++i) EXPECT_EQ(swatchAt(i), colors[static_cast<size_t>(i)]) << i;
  const QColor last = swatchAt(capacity - 1);
  for (const QColor& c : colors) EXPECT_NE(last, c);
  int dark = 0;  // the text of the last line
  for (int y = g->Margin + (capacity - 1) * line; y < g->Margin + (capacity - 1) * line + g->LegendFontHeight; ++y)
    for (int x = swatchX - 2; x < swatchX + 60; ++x) dark += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
  EXPECT_GT(dark, 10);
}

TEST_F(TimeRender, RangesFollowTheQuantity) {
  TWLANNetwork& n = AddSampled();
  (void)n;
  auto g = Make();
  g->ValueType = kQuantityClients;  // no station counts: 0 ... 10
  g->RenderImage({700, 300});
  EXPECT_EQ(g->MinY, 0);
  EXPECT_EQ(g->MaxY, 10);
  g->ValueType = kQuantityQuality;
  g->RenderImage({700, 300});
  EXPECT_EQ(g->MaxY, 100);
  // A window of 0 minutes and a flat range still paint.
  g->WindowMinutes = 0;
  g->ValueType = 77;
  g->RenderImage({700, 300});
  EXPECT_LT(g->MinY, g->MaxY);
}

TEST_F(TimeRender, ConnectionGraphDrawsConnectedSamples) {
  TCurrentConnectionSeries series;
  for (int ago = 120; ago >= 0; ago -= 10) {
    TCurrentConnectioSeriesData s;
    s.Time = AddSeconds(now, -ago);
    s.Connected = ago != 60;
    s.RSSI = -55;
    s.Quality = 90;
    series.Add(s);
  }
  TGraphCurrentConnection g;
  Style(g);
  g.Clock = [this] { return now; };
  g.ConnectionSeries = [&series] { return &series; };
  const QImage image = g.RenderImage({700, 300});
  EXPECT_TRUE(NearColor(image, XAgo(g, 30), YOf(g, -55), QColor(0, 194, 0)));
  EXPECT_FALSE(NearColor(image, XAgo(g, 55), YOf(g, -55), QColor(0, 194, 0)));  // disconnected at 60
  g.ValueType = 1;
  const QImage quality = g.RenderImage({700, 300});
  EXPECT_TRUE(NearColor(quality, XAgo(g, 30), YOf(g, 90), QColor(6, 194, 231)));
}

// A statistics table: its rows are counters, ticked or not; the graph reads the counter series by row.
class CounterRows : public TGraphRows {
 public:
  std::vector<bool> Checked;
  int GraphRowCount() const override { return static_cast<int>(Checked.size()); }
  bool GraphRowChecked(int row) const override { return Checked[static_cast<size_t>(row)]; }
  bool GraphRowHidden(int) const override { return false; }
  bool GraphRowSelected(int) const override { return false; }
  TWLANNetwork* GraphRowNetwork(int) const override { return nullptr; }
};

class CounterRender : public TimeRender {
 protected:
  CounterRender() {
    for (int k = 0; k < 12; ++k) series.push_back(std::make_unique<TMACCountersSeries>());
    for (int k = 0; k < 18; ++k) series.push_back(std::make_unique<TPhyCountersSeries>());
  }
  // A sample every 10 s over the last two minutes, the counters growing by Rate(k) per second.
  template <class TSeries, class TData>
  void Grow(int index, const std::function<void(TData&, uint64_t seconds)>& set) {
    auto& s = static_cast<TSeries&>(*series[static_cast<size_t>(index)]);
    for (int ago = 120; ago >= 0; ago -= 10) {
      TData d;
      d.Time = AddSeconds(now, -ago);
      set(d, static_cast<uint64_t>(1000 - ago));
      s.Add(d);
    }
  }
  template <class TGraphType>
  void Bind(TGraphType& g, int rows) {
    Style(g);
    counterRows.Checked.assign(static_cast<size_t>(rows), true);
    g.Tree = &counterRows;
    g.AutoScale = true;
    g.Clock = [this] { return now; };
    g.CounterSeries = [this] { return &series; };
    g.RowName = [](int row) { return QStringLiteral("counter %1").arg(row); };
  }
  QColor Palette(int row) const { return ToQColor(PaletteColor(row)); }

  std::vector<std::unique_ptr<TCountersSeries>> series;
  CounterRows counterRows;
};

TEST_F(CounterRender, MacGraphDrawsTheRatesOfTheTickedCounters) {
  Grow<TMACCountersSeries, TMacCountersData>(0, [](TMacCountersData& d, uint64_t t) {
    d.Unicast = 100 * t;
    d.Multicast = 10 * t;
  });
  Grow<TMACCountersSeries, TMacCountersData>(1, [](TMacCountersData& d, uint64_t t) { d.Unicast = 500 * t; });
  Grow<TMACCountersSeries, TMacCountersData>(2, [](TMacCountersData& d, uint64_t t) { d.Unicast = 300 * t; });
  // The highest line runs along the top of the plot; the others stand below it.
  Grow<TMACCountersSeries, TMacCountersData>(3, [](TMacCountersData& d, uint64_t t) {
    d.Unicast = 800 * t;
    d.Multicast = 50 * t;
  });
  TGraphMACLayerTime g;
  Bind(g, 12);
  counterRows.Checked[2] = false;
  const QImage unicast = g.RenderImage({700, 300});
  EXPECT_EQ(g.MinY, 0);
  EXPECT_GE(g.MaxY, 500);
  for (int ago : {15, 55, 95}) {
    EXPECT_TRUE(NearColor(unicast, XAgo(g, ago), YOf(g, 100), Palette(0))) << ago;
    EXPECT_TRUE(NearColor(unicast, XAgo(g, ago), YOf(g, 500), Palette(1))) << ago;
    EXPECT_FALSE(NearColor(unicast, XAgo(g, ago), YOf(g, 300), Palette(2))) << ago;  // not ticked
  }
  g.ValueType = 2;  // multicast
  const QImage multicast = g.RenderImage({700, 300});
  EXPECT_TRUE(NearColor(multicast, XAgo(g, 55), YOf(g, 10), Palette(0)));
  EXPECT_FALSE(NearColor(multicast, XAgo(g, 55), YOf(g, 100), Palette(0)));
}

TEST_F(CounterRender, PhyGraphReadsTheTotalOrOnePhyType) {
  Grow<TPhyCountersSeries, TPhyCountersData>(12 + 0, [](TPhyCountersData& d, uint64_t t) {
    d.Total = 400 * t;
    d.PerPhy[kPhyHT] = 150 * t;
  });
  Grow<TPhyCountersSeries, TPhyCountersData>(12 + 1, [](TPhyCountersData& d, uint64_t t) {
    d.Total = 1000 * t;
    d.PerPhy[kPhyHT] = 300 * t;
  });
  TGraphPhyLayerTime g;
  Bind(g, 18);
  EXPECT_EQ(g.ValueType, -1);
  const QImage total = g.RenderImage({700, 300});
  EXPECT_TRUE(NearColor(total, XAgo(g, 55), YOf(g, 400), Palette(0)));
  g.ValueType = kPhyHT;
  const QImage ht = g.RenderImage({700, 300});
  EXPECT_TRUE(NearColor(ht, XAgo(g, 55), YOf(g, 150), Palette(0)));
  EXPECT_FALSE(NearColor(ht, XAgo(g, 55), YOf(g, 400), Palette(0)));
  // A PHY type without traffic, and no statistics at all: 0 ... 1000 and only the axes.
  g.ValueType = kPhyVHT;
  g.RenderImage({700, 300});
  EXPECT_EQ(g.MinY, 0);
  EXPECT_EQ(g.MaxY, 1000);
  g.CounterSeries = [] { return nullptr; };
  EXPECT_EQ(CountPixels(g.RenderImage({700, 300}), Palette(0), QRect(0, 0, g.LastPlot().Right, 300)), 0);
}

TEST(RasterLines, DrawsClippedPolylinesPixelForPixel) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QRgb red = qRgb(255, 0, 0);
  // Enters from the left of the clip, turns down at x = 12 and leaves through the bottom.
  RasterPolyline(image, {0, 0, 15, 15}, {{-10, 5}, {12, 5}, {12, 30}}, red);
  // A diagonal: one pixel per step, both ends included.
  RasterPolyline(image, {0, 0, 19, 19}, {{16, 0}, {19, 3}}, red);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool expected = (y == 5 && x <= 12) || (x == 12 && y >= 5 && y <= 15) || (x >= 16 && y == x - 16);
      EXPECT_EQ(image.pixel(x, y) == (red | 0xFF000000u), expected) << x << "," << y;
    }
  }
  // Only plain unscaled painting takes the direct way.
  QPainter plain(&image);
  EXPECT_EQ(DirectLineTarget(plain), &image);
  plain.scale(2, 2);
  EXPECT_EQ(DirectLineTarget(plain), nullptr);
  plain.end();
  QImage indexed(8, 8, QImage::Format_RGB16);
  QPainter other(&indexed);
  EXPECT_EQ(DirectLineTarget(other), nullptr);
}

TEST(GraphExport, WritesPngOrBmpAndKeepsTheOldFileOnFailure) {
  TestRows rows;
  rows.Add("x", 0, kPhyERP, 6, -50, MakeColor(200, 0, 0));
  TGraphRSSIChannel2 g;
  g.Tree = &rows;
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("graph.png")), bmp = dir.filePath(QStringLiteral("graph.bmp"));
  EXPECT_EQ(g.ExportToFile(png, {640, 320}), "");
  EXPECT_EQ(g.ExportToFile(bmp, {320, 160}), "");
  const QImage fromPng(png), fromBmp(bmp);
  EXPECT_EQ(fromPng.size(), QSize(640, 320));
  EXPECT_EQ(fromBmp.size(), QSize(320, 160));
  EXPECT_EQ(fromPng.convertToFormat(QImage::Format_RGB32), g.RenderImage({640, 320}));
  QFile file(bmp);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.read(2), QByteArray("BM"));
  file.close();
  // A failing export leaves the existing picture whole.
  const qint64 before = QFileInfo(png).size();
  EXPECT_NE(g.ExportToFile(png, {640, 320}, "NOSUCHFORMAT"), "");
  EXPECT_NE(g.ExportToFile(png, {0, 320}), "");
  EXPECT_EQ(QFileInfo(png).size(), before);
  EXPECT_EQ(QImage(png).size(), QSize(640, 320));
}

}  // namespace
}  // namespace skimlet

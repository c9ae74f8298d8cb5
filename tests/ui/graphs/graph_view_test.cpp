// The window's graphs: the list model answers the graphs by source row, the Graphs page's selector drives the
// time graph, the band pages follow the layout options and the 6 GHz band, and the timer repaints only the
// graph that is showing.
#include <QComboBox>
#include <QEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "core/radio/values.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "support/network_fixture.h"
#include "ui/base/dialog_service.h"
#include "ui/connection/connection_page.h"
#include "ui/graphs/graph_view.h"
#include "ui/list/network_view.h"

namespace skimlet {
namespace {

using test::MakeEntry;

const LocalDateTime kT0 = EncodeLocalDateTime(2024, 5, 1, 12, 0, 0);

class GraphRowsTest : public ::testing::Test {
 protected:
  GraphRowsTest() : list(options), model(options) {
    list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
    model.SetList(&list);
    test::Refresh(list, kT0,
                  {{MakeEntry(1, -40, 2437000, "alpha"), {}},
                   {MakeEntry(2, -70, 5180000, "bravo"), {}},
                   {MakeEntry(3, -60, 2412000, "charlie"), {}}});
    model.Sync();
  }
  TProgramOptions options;
  TWLANNetworkList list;
  TNetworkListModel model;
};

TEST_F(GraphRowsTest, ModelAnswersTheGraphsBySourceRow) {
  TNetworkListView view(options, &model);
  model.Sort(5, Qt::AscendingOrder);  // bravo, charlie, alpha
  model.Filter = [](const TWLANNetwork& n) { return n.SSID != "charlie"; };
  model.ApplyFilter(false);
  ASSERT_EQ(model.rowCount(), 2);
  ASSERT_EQ(model.GraphRowCount(), 3);
  EXPECT_EQ(model.GraphRowNetwork(1)->SSID, "charlie");
  EXPECT_TRUE(model.GraphRowHidden(1));
  EXPECT_FALSE(model.GraphRowHidden(2));
  // The second shown row is the third source row.
  view.selectionModel()->select(model.index(1, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(model.GraphRowNetwork(2)->SSID, "alpha");
  EXPECT_TRUE(model.GraphRowSelected(2));
  EXPECT_FALSE(model.GraphRowSelected(1));
  list.Items[0]->Checked = false;  // alpha
  EXPECT_FALSE(model.GraphRowChecked(2));
  EXPECT_EQ(model.GraphRowNetwork(7), nullptr);
  // A spectrum graph over the model draws the shown networks of its band.
  TGraphRSSIChannel2 graph;
  graph.Tree = &model;
  EXPECT_FALSE(graph.IsRowShown(1));  // hidden by the filter
  EXPECT_FALSE(graph.IsRowShown(2));  // unticked
  list.Items[0]->Checked = true;
  EXPECT_TRUE(graph.IsRowShown(2));
  EXPECT_FALSE(graph.IsRowShown(0));  // 5 GHz
}

// Counts the paints each widget receives.
class PaintCounter : public QObject {
 public:
  std::map<QObject*, int> Paints;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints[watched];
    return false;
  }
};

class WindowGraphsTest : public GraphRowsTest {
 protected:
  void Build() {
    tabs = std::make_unique<QTabWidget>();
    tabs->resize(900, 400);
    band1 = new QWidget();
    band2 = new QWidget();
    graphsPage = new QWidget();
    tabs->addTab(band1, "1");
    tabs->addTab(band2, "2");
    tabs->addTab(graphsPage, "Graphs");
    graphs = std::make_unique<TWindowGraphs>(tabs.get(), graphsPage, band1, band2, &model, options);
  }
  bool TabVisible(QWidget* page) const { return tabs->isTabVisible(tabs->indexOf(page)); }

  std::unique_ptr<QTabWidget> tabs;
  QWidget *band1 = nullptr, *band2 = nullptr, *graphsPage = nullptr;
  std::unique_ptr<TWindowGraphs> graphs;
};

TEST_F(WindowGraphsTest, ValueSelectorDrivesTheTimeGraphAndSummary) {
  Build();
  ASSERT_EQ(graphs->ValueSelector()->count(), 5);
  EXPECT_EQ(graphs->TimeGraph()->ValueType, 0);
  graphs->ValueSelector()->setCurrentIndex(kQuantityRate);
  EXPECT_EQ(graphs->TimeGraph()->ValueType, kQuantityRate);
  graphs->ValueSelector()->setCurrentIndex(kQuantityRSSI);
  tabs->setCurrentWidget(graphsPage);
  tabs->show();
  graphs->Tick();
  EXPECT_TRUE(graphs->SummaryText().contains("-70")) << graphs->SummaryText().toStdString();
  EXPECT_TRUE(graphs->SummaryText().contains("-40"));
  EXPECT_TRUE(graphs->SummaryText().contains(QLocale().toString(-56.67, 'f', 2)));
}

TEST_F(WindowGraphsTest, BandPagesFollowTheLayoutAndTheSixGHzBand) {
  options.BandsOnSinglePanel = true;
  Build();
  EXPECT_FALSE(TabVisible(band2));
  EXPECT_FALSE(TabVisible(graphs->Band6Page()));
  EXPECT_TRUE(band1->isAncestorOf(graphs->SpectrumView(1)));
  EXPECT_EQ(graphs->SpectrumView(2), nullptr);
  graphs->SetHears6GHz(true);
  ASSERT_NE(graphs->SpectrumView(2), nullptr);
  EXPECT_TRUE(band1->isAncestorOf(graphs->SpectrumView(2)));

  options.BandsOnSinglePanel = false;
  graphs->BuildBandGraphs();
  EXPECT_TRUE(TabVisible(band2));
  EXPECT_TRUE(TabVisible(graphs->Band6Page()));
  EXPECT_TRUE(graphs->Band6Page()->isAncestorOf(graphs->SpectrumView(2)));
  EXPECT_TRUE(band2->isAncestorOf(graphs->SpectrumView(1)));
  graphs->SetHears6GHz(false);
  EXPECT_FALSE(TabVisible(graphs->Band6Page()));
  // The options reach the graphs.
  options.bDrawBackroundSpectrum = false;
  options.TimeWindowMinutes = 12;
  graphs->ApplyGraphOptions();
  EXPECT_FALSE(static_cast<TGraphRSSIChannels&>(graphs->SpectrumView(0)->Graph()).DrawBackgroundSpectrum);
  EXPECT_EQ(graphs->TimeGraph()->WindowMinutes, 12);
}

TEST_F(WindowGraphsTest, TimerRepaintsOnlyTheGraphThatShows) {
  options.BandsOnSinglePanel = false;
  Build();
  tabs->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(tabs.get()));
  PaintCounter counter;
  for (QWidget* w : {static_cast<QWidget*>(graphs->TimeView()), static_cast<QWidget*>(graphs->SpectrumView(0)),
                     static_cast<QWidget*>(graphs->SpectrumView(1))})
    w->installEventFilter(&counter);
  tabs->setCurrentWidget(band2);
  QTest::qWait(50);
  counter.Paints.clear();
  graphs->Tick();
  QTest::qWait(50);
  EXPECT_GE(counter.Paints[graphs->SpectrumView(1)], 1);
  EXPECT_EQ(counter.Paints[graphs->SpectrumView(0)], 0);
  EXPECT_EQ(counter.Paints[graphs->TimeView()], 0);
  graphs->Free();
  graphs->Tick();  // nothing left to paint, nothing breaks
}

// Outside a window a graph's export asks the dialogs in place; the chosen filter's format is written.
TEST_F(WindowGraphsTest, ExportOutsideAWindowAsksTheDialogsInPlace) {
  Build();
  QTemporaryDir out;
  QString proposed;
  ui::TDialogService dialogs;
  dialogs.SaveFile = [&](QWidget*, const QString&, const QString& name, const QStringList& filters, int& filter) {
    proposed = name;
    filter = 1;
    return ui::WithFilterExtension(out.filePath("spectrum"), filters[1]);
  };
  ui::TScopedDialogs scope(dialogs);
  graphs->SpectrumView(0)->ExportToFile();
  EXPECT_TRUE(proposed.endsWith(".png")) << proposed.toStdString();
  EXPECT_FALSE(QImage(out.filePath("spectrum.bmp")).isNull());
}

// The Current connection page: the window's main tabs hold the lower pages and the connection graph panel.
class ConnectionGraphsTest : public WindowGraphsTest {
 protected:
  void BuildWithConnection() {
    Build();
    main = std::make_unique<QTabWidget>();
    main->resize(900, 600);
    main->addTab(tabs.release(), "Scanner");
    panel = new QWidget();
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    connection = new ui::TConnectionGraphs(
        [this]() -> const TCurrentConnectionSeries* { return connected ? &series : nullptr; }, &model, options, panel);
    layout->addWidget(connection);
    main->addTab(panel, "Current connection");
    for (int type = 0; type < 2; ++type) Graph(type).Clock = [] { return kT0 + 30.0 / 86400; };
  }
  TGraphCurrentConnection& Graph(int type) {
    return static_cast<TGraphCurrentConnection&>(connection->ConnectionView(type)->Graph());
  }
  // Pixels of the graph's line colour in its picture.
  int CurvePixels(int type) {
    const QImage image = Graph(type).RenderImage({600, 300});
    const QRgb colour = Graph(type).GetRowColor(0).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) | 0xff000000u) == colour;
    return count;
  }

  std::unique_ptr<QTabWidget> main;
  QWidget* panel = nullptr;
  ui::TConnectionGraphs* connection = nullptr;
  TCurrentConnectionSeries series;
  bool connected = true;
};

TEST_F(ConnectionGraphsTest, SignalAboveQualityEachHalfThePanel) {
  BuildWithConnection();
  main->setCurrentWidget(panel);
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  TGraphView* rssi = connection->ConnectionView(0);
  TGraphView* quality = connection->ConnectionView(1);
  ASSERT_TRUE(rssi && quality);
  EXPECT_TRUE(panel->isAncestorOf(rssi));
  EXPECT_TRUE(panel->isAncestorOf(quality));
  EXPECT_LT(rssi->geometry().bottom(), quality->geometry().top());
  EXPECT_LE(std::abs(rssi->height() - quality->height()), connection->Splitter()->handleWidth() + 1);
  EXPECT_GE(rssi->height() + quality->height(), panel->height() - 20);
  EXPECT_EQ(Graph(0).ValueType, 0);
  EXPECT_EQ(Graph(1).ValueType, 1);
  EXPECT_FALSE(Graph(0).AutoScale);
  options.TimeWindowMinutes = 9;
  connection->ApplyGraphOptions();
  EXPECT_EQ(Graph(1).WindowMinutes, 9);
}

TEST_F(ConnectionGraphsTest, DrawTheSelectedInterfacesConnectionSeries) {
  BuildWithConnection();
  EXPECT_EQ(CurvePixels(0), 0);
  for (int second = 0; second <= 30; second += 3) {
    TCurrentConnectioSeriesData s;
    s.Time = kT0 + second / 86400.0;
    s.Connected = true;
    s.RSSI = -50 - second / 3;
    s.Quality = 80 - second;
    series.Add(s);
  }
  EXPECT_GT(CurvePixels(0), 20);
  EXPECT_GT(CurvePixels(1), 20);
  connected = false;  // no connection, no line
  EXPECT_EQ(CurvePixels(0), 0);
}

TEST_F(ConnectionGraphsTest, TimerRepaintsThemOnlyWhileTheirPageShows) {
  BuildWithConnection();
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  PaintCounter counter;
  for (int type = 0; type < 2; ++type) connection->ConnectionView(type)->installEventFilter(&counter);
  graphs->TimeView()->installEventFilter(&counter);
  auto ticked = [&](QWidget* page) {
    main->setCurrentWidget(page);
    QTest::qWait(50);
    counter.Paints.clear();
    graphs->Tick();
    connection->Tick();
    QTest::qWait(50);
  };
  ticked(panel);
  EXPECT_GE(counter.Paints[connection->ConnectionView(0)], 1);
  EXPECT_GE(counter.Paints[connection->ConnectionView(1)], 1);
  EXPECT_EQ(counter.Paints[graphs->TimeView()], 0);
  ticked(main->widget(0));
  EXPECT_EQ(counter.Paints[connection->ConnectionView(0)], 0);
  EXPECT_EQ(counter.Paints[connection->ConnectionView(1)], 0);
  connection->Free();
  EXPECT_EQ(connection->ConnectionView(0), nullptr);
  connection->Tick();
}

}  // namespace
}  // namespace skimlet

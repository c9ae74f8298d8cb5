// The single-network graph of the details page: it draws the selected network's series for the chosen
// quantity, its labels summarise that series, and the panel's width follows the page.
#include <QComboBox>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include "core/graph/geometry.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "support/network_fixture.h"
#include "ui/graphs/graph_view.h"
#include "ui/graphs/single_network_graph.h"
#include "ui/list/network_view.h"

namespace skimlet {
namespace {

using test::MakeEntry;

const LocalDateTime kT0 = EncodeLocalDateTime(2024, 5, 1, 12, 0, 0);

class SingleNetworkGraphTest : public ::testing::Test {
 protected:
  SingleNetworkGraphTest() : list(options), model(options) {
    list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
    model.SetList(&list);
    // alpha climbs from -50 to -40, bravo stays at -70.
    for (int i = 0; i < 3; ++i)
      test::Refresh(list, kT0 + i * 10.0 / 86400,
                    {{MakeEntry(1, -50 + 5 * i, 2437000, "alpha"), {}}, {MakeEntry(2, -70, 5180000, "bravo"), {}}});
    model.Sync();
  }
  void Select(int row) {
    view.selectionModel()->clearSelection();
    view.selectionModel()->select(model.index(row, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  int RowOf(const std::string& ssid) const {
    for (int r = 0; r < model.rowCount(); ++r)
      if (model.NetworkOfRow(r)->SSID == ssid) return r;
    return -1;
  }

  TProgramOptions options;
  TWLANNetworkList list;
  TNetworkListModel model;
  TNetworkListView view{options, &model};
};

TEST_F(SingleNetworkGraphTest, ShowsTheSelectedNetworksSeriesForTheChosenValue) {
  QWidget page;
  page.resize(900, 300);
  auto* panel = new TSingleNetworkGraph(&page, &model, options);
  panel->setGeometry(0, 0, 200, 300);
  panel->Graph().Clock = [] { return kT0 + 30.0 / 86400; };
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  ASSERT_EQ(panel->ValueSelector()->count(), 5);
  EXPECT_EQ(panel->Graph().ValueType, kQuantityRSSI);

  // Nothing selected: no line and empty labels.
  panel->Refresh();
  for (int r = 0; r < model.GraphRowCount(); ++r) EXPECT_FALSE(panel->Graph().IsRowShown(r));
  EXPECT_EQ(panel->SummaryText(), "Min:  Max:  Avg: ");

  Select(RowOf("alpha"));
  panel->Refresh();
  EXPECT_EQ(panel->SummaryText(), "Min: -50 Max: -40 Avg: " + QLocale().toString(-45.0, 'f', 2));
  Select(RowOf("bravo"));
  panel->Refresh();
  EXPECT_EQ(panel->SummaryText(), "Min: -70 Max: -70 Avg: " + QLocale().toString(-70.0, 'f', 2));
  int shown = 0;
  for (int r = 0; r < model.GraphRowCount(); ++r)
    if (panel->Graph().IsRowShown(r)) {
      ++shown;
      EXPECT_EQ(model.GraphRowNetwork(r)->SSID, "bravo");
    }
  EXPECT_EQ(shown, 1);

  // Another quantity: the selector sets the graph's value and the labels follow.
  panel->ValueSelector()->setCurrentIndex(kQuantityQuality);
  EXPECT_EQ(panel->Graph().ValueType, kQuantityQuality);
  EXPECT_FALSE(panel->SummaryText().contains("-70"));
}

TEST_F(SingleNetworkGraphTest, PanelWidthFollowsThePage) {
  for (auto [page, panel] : {std::pair{600, 200}, {1000, 200}, {1001, 201}, {1400, 600}})
    EXPECT_EQ(TSingleNetworkGraph::PanelWidth(page), panel) << page;
  QWidget page;
  page.resize(1300, 300);
  TSingleNetworkGraph graph(&page, &model, options);
  EXPECT_EQ(graph.width(), 500);
  page.resize(800, 300);
  page.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return graph.width() == 200; }));
}

}  // namespace
}  // namespace skimlet

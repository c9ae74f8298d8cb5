// The statistics tables: rows and columns from a statistics object, the graphed column following the sort
// column, the ticked rows the graphs draw, and the heights and sort columns kept in the options.
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/settings/options.h"
#include "core/wlan/wlan_statistics.h"
#include "render/wifi_graphs.h"
#include "ui/graphs/graph_view.h"
#include "ui/report/view_export.h"
#include "ui/statistics/statistics_pages.h"

namespace skimlet::ui {
namespace {

using TKind = TStatisticsTable::TKind;

class StatisticsTableTest : public ::testing::Test {
 protected:
  StatisticsTableTest() : stats(nullptr, {}) {
    for (int k = 0; k < MacCounterCount; ++k) {
      stats.MacUnicast[static_cast<size_t>(k)] = 100 + static_cast<uint64_t>(k);
      stats.MacMulticast[static_cast<size_t>(k)] = 200 + static_cast<uint64_t>(k);
    }
    for (int c = 0; c < PhyCounterCount; ++c) {
      stats.PhyCounters[7][static_cast<size_t>(c)] = 1000 + static_cast<uint64_t>(c);
      stats.PhyCounters[8][static_cast<size_t>(c)] = 2000 + static_cast<uint64_t>(c);
      stats.PhyCounters[11][static_cast<size_t>(c)] = 4000 + static_cast<uint64_t>(c);
      stats.PhyTotal[static_cast<size_t>(c)] = 3000 + 2 * static_cast<uint64_t>(c);
    }
    stats.PhyPresent.Add(7);   // HT
    stats.PhyPresent.Add(8);   // VHT
    stats.PhyPresent.Add(11);  // EHT
  }
  std::unique_ptr<TStatisticsTable> Make(TKind kind) {
    return std::make_unique<TStatisticsTable>(kind, [this]() -> const TWLANStatistics* { return &stats; });
  }
  static QString Cell(const TStatisticsTable& t, int row, int column) {
    return t.Table()->topLevelItem(row)->text(column);
  }
  static void ClickHeader(TStatisticsTable& t, int column) { emit t.Table()->header()->sectionClicked(column); }

  TWLANStatistics stats;
};

TEST_F(StatisticsTableTest, RowsShowTheCountersAndOnlyTheReportedPhyColumns) {
  auto mac = Make(TKind::Mac);
  auto phy = Make(TKind::Phy);
  mac->Refresh();
  phy->Refresh();
  ASSERT_EQ(mac->Table()->topLevelItemCount(), 12);
  ASSERT_EQ(mac->Table()->columnCount(), 4);
  ASSERT_EQ(phy->Table()->topLevelItemCount(), 18);
  ASSERT_EQ(phy->Table()->columnCount(), 10);
  // Names and descriptions are the counters' language keys (no language loaded).
  EXPECT_EQ(Cell(*mac, 0, 0), "sTransmittedFrameCount");
  EXPECT_EQ(Cell(*mac, 0, 3), "sTransmittedFrameCountDesc");
  EXPECT_EQ(Cell(*phy, 17, 0), "sFCSErrorCount");
  EXPECT_EQ(Cell(*mac, 11, 1), "111");
  EXPECT_EQ(Cell(*mac, 11, 2), "211");
  // Columns 4, 5 and 7 are HT, VHT and EHT, 8 the total.
  EXPECT_EQ(Cell(*phy, 3, 4), "1003");
  EXPECT_EQ(Cell(*phy, 3, 5), "2003");
  EXPECT_EQ(Cell(*phy, 3, 7), "4003");
  EXPECT_EQ(Cell(*phy, 3, 8), "3006");
  for (int c = 0; c < 10; ++c) EXPECT_EQ(phy->Table()->isColumnHidden(c), (c >= 1 && c <= 3) || c == 6) << c;
  const QStringList titles = {"Counter",  "802.11a",  "802.11b",  "802.11g", "802.11n",
                              "802.11ac", "802.11ax", "802.11be", "Total",   "Description"};
  for (int c = 0; c < 10; ++c) EXPECT_EQ(phy->Table()->headerItem()->text(c), titles[c]) << c;
  // Copy and export take the shown columns: the 802.11be one while the interface has EHT, not after.
  auto copied = [&] {
    const report::TExportTable table = ViewTable(*phy->Table());
    QStringList columns;
    for (const report::TExportColumn& c : table.Columns) columns << QString::fromStdString(c.Title);
    EXPECT_EQ(table.Rows.at(3).Cells.size(), static_cast<size_t>(columns.size()));
    return columns;
  };
  EXPECT_EQ(copied(), (QStringList{"Counter", "802.11n", "802.11ac", "802.11be", "Total", "Description"}));
  stats.PhyPresent.Remove(11);
  phy->Refresh();
  EXPECT_TRUE(phy->Table()->isColumnHidden(7));
  EXPECT_FALSE(copied().contains("802.11be"));

  // A 64-bit counter is shown whole.
  stats.MacMulticast[0] = 0xFFFFFFFFFFFFFFFFull;
  mac->Refresh();
  EXPECT_EQ(Cell(*mac, 0, 2), "18446744073709551615");
}

TEST_F(StatisticsTableTest, TickedRowsAtStartAndTheCheckBoxesDriveTheGraph) {
  auto mac = Make(TKind::Mac);
  auto phy = Make(TKind::Phy);
  auto ticked = [](const TStatisticsTable& t) {
    std::vector<int> rows;
    for (int r = 0; r < t.GraphRowCount(); ++r)
      if (t.GraphRowChecked(r)) rows.push_back(r);
    return rows;
  };
  EXPECT_EQ(ticked(*mac), (std::vector<int>{0, 1}));
  EXPECT_EQ(ticked(*phy), (std::vector<int>{0, 10}));
  phy->Table()->topLevelItem(3)->setCheckState(0, Qt::Checked);
  phy->Table()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  EXPECT_EQ(ticked(*phy), (std::vector<int>{3, 10}));
  EXPECT_TRUE(phy->Graph().IsRowShown(3));
  EXPECT_FALSE(phy->Graph().IsRowShown(0));
  phy->Table()->topLevelItem(10)->setSelected(true);
  EXPECT_TRUE(phy->GraphRowSelected(10));
  EXPECT_FALSE(phy->GraphRowSelected(3));
}

TEST_F(StatisticsTableTest, GraphedColumnFollowsTheSortColumn) {
  auto mac = Make(TKind::Mac);
  auto phy = Make(TKind::Phy);
  EXPECT_EQ(mac->SortColumn(), 1);
  EXPECT_EQ(mac->Graph().ValueType, 1);
  EXPECT_FALSE(mac->Table()->headerItem()->icon(1).isNull());

  // Header clicks: only the value columns move the sort; the icon moves with it.
  struct Click {
    TKind Kind;
    int Column;
    int SortAfter;
    int ValueTypeAfter;
  };
  const Click clicks[] = {
      {TKind::Mac, 2, 2, 2}, {TKind::Mac, 3, 2, 2}, {TKind::Mac, 0, 2, 2},  {TKind::Mac, 1, 1, 1},
      {TKind::Phy, 4, 4, 7}, {TKind::Phy, 9, 4, 7}, {TKind::Phy, 8, 8, -1}, {TKind::Phy, 7, 7, 11},
      {TKind::Phy, 5, 5, 8}, {TKind::Phy, 0, 5, 8},
  };
  phy->Refresh();
  for (const Click& c : clicks) {
    TStatisticsTable& t = c.Kind == TKind::Mac ? *mac : *phy;
    const int before = t.SortColumn();
    ClickHeader(t, c.Column);
    EXPECT_EQ(t.SortColumn(), c.SortAfter) << c.Column;
    EXPECT_EQ(t.Graph().ValueType, c.ValueTypeAfter) << c.Column;
    if (before != c.SortAfter) { EXPECT_TRUE(t.Table()->headerItem()->icon(before).isNull()) << c.Column; }
    EXPECT_FALSE(t.Table()->headerItem()->icon(c.SortAfter).isNull()) << c.Column;
  }
  // A hidden PHY column cannot be chosen; when the sorted one goes, the total takes over.
  ClickHeader(*phy, 1);
  EXPECT_EQ(phy->SortColumn(), 5);
  stats.PhyPresent.Remove(8);
  phy->Refresh();
  EXPECT_EQ(phy->SortColumn(), 8);
  EXPECT_EQ(phy->Graph().ValueType, -1);
}

TEST(StatisticsPages, SortColumnsAndHeightsComeFromTheOptionsAndGoBack) {
  TProgramOptions options;
  options.WLANStatisticsMACViewColumnIndex = 2;
  options.WLANStatisticsPHYViewColumnIndex = 12;  // beyond the total column
  options.aWLANStatisticsMACHeight = 150;
  options.aWLANStatisticsPHYHeight = 170;
  QTabWidget tabs;
  tabs.resize(800, 700);
  TStatisticsPages pages(&tabs, options, [] { return nullptr; });
  ASSERT_EQ(tabs.count(), 2);
  EXPECT_TRUE(tabs.widget(0)->isAncestorOf(pages.Phy()));
  EXPECT_EQ(pages.Mac()->SortColumn(), 2);
  EXPECT_EQ(pages.Mac()->Graph().ValueType, 2);
  EXPECT_EQ(pages.Phy()->SortColumn(), 8);
  // No statistics object: empty values, no series, and the PHY sort column is stored after the refresh.
  pages.RefreshStatisticsViews();
  EXPECT_EQ(options.WLANStatisticsPHYViewColumnIndex, 8);
  EXPECT_TRUE(pages.Mac()->Table()->topLevelItem(0)->text(1).isEmpty());

  tabs.show();
  tabs.setCurrentIndex(1);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
  EXPECT_EQ(pages.Mac()->Splitter()->sizes().value(1), 150);
  EXPECT_EQ(pages.Phy()->TableHeight(), 170);
  pages.Mac()->Splitter()->setSizes({400, 200});
  emit pages.Mac()->Table()->header()->sectionClicked(1);
  pages.Store();
  EXPECT_EQ(options.aWLANStatisticsMACHeight, pages.Mac()->Splitter()->sizes().value(1));
  EXPECT_EQ(options.aWLANStatisticsPHYHeight, 170);
  EXPECT_EQ(options.WLANStatisticsMACViewColumnIndex, 1);
  EXPECT_EQ(options.WLANStatisticsPHYViewColumnIndex, 8);
}

TEST(StatisticsPages, PhyColumnLayoutEntriesKeepTheirNumbersAcrossTheBeColumn) {
  // Entry 7 is the total and entry 9 the 802.11be column, which the table shows between 802.11ax and the total.
  TProgramOptions options;
  TColumnLayout& layout = options.Layouts.WLANStatisticsPhyColumns;
  layout[6].Width = 66;
  layout[7].Width = 91;
  layout[9].Width = 77;
  QTabWidget tabs;
  TStatisticsPages pages(&tabs, options, [] { return nullptr; });
  const QHeaderView* header = pages.Phy()->Table()->header();
  EXPECT_EQ(header->sectionSize(6), 66);
  EXPECT_EQ(header->sectionSize(7), 77);
  EXPECT_EQ(header->sectionSize(8), 91);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(header->visualIndex(c), c) << c;

  pages.Phy()->Table()->header()->resizeSection(7, 88);
  pages.Phy()->Table()->header()->moveSection(8, 7);  // the total before 802.11be
  pages.Store();
  EXPECT_EQ(layout[9].Width, 88);
  EXPECT_EQ(layout[7].Width, 91);
  EXPECT_EQ(layout[9].Caption, "802.11be");
  EXPECT_EQ(layout[7].Caption, "Total");
  EXPECT_EQ(layout[7].Position, 7);
  EXPECT_EQ(layout[9].Position, 8);
  EXPECT_EQ(layout[8].Position, 9);
}

}  // namespace
}  // namespace skimlet::ui

// The "Wireless statistics" pages: on each, a counter graph above a table of frame counters, split by a
// splitter. The MAC table has one row per MAC counter (unicast and multicast columns), the PHY table one row
// per PHY counter (a column per PHY type and the total). Ticked rows are drawn; the table's sort column is the
// column whose values the graph draws.
#pragma once

#include <QWidget>

#include <functional>

#include "render/graph_rows.h"

class QSplitter;
class QTabWidget;
class QTreeWidget;

namespace skimlet {

class TGraphLayerTime;
class TGraphView;
class TWLANStatistics;
struct TProgramOptions;

namespace ui {

class TStatisticsTable : public QWidget, public TGraphRows {
  Q_OBJECT

 public:
  enum class TKind { Mac, Phy };
  // The PHY types of the PHY table's columns 1 to 7 (802.11a to 802.11be); the total column follows them.
  static constexpr int kPhyColumnTypes[] = {4, 5, 6, 7, 8, 10, 11};
  static constexpr int kPhyTotalColumn = 8;
  static constexpr int kPhyTotalTag = -1;

  // Statistics gives the selected interface's statistics, or nullptr.
  TStatisticsTable(TKind kind, std::function<const TWLANStatistics*()> statistics, QWidget* parent = nullptr);
  ~TStatisticsTable() override;

  TKind Kind() const { return kind_; }
  QTreeWidget* Table() const { return table_; }
  TGraphView* GraphView() const { return graphView_; }
  TGraphLayerTime& Graph() const;
  QSplitter* Splitter() const { return splitter_; }

  // The column whose values the graph draws; Set moves the graph icon and colour there and repaints.
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int column);
  // The PHY type of a PHY column (-1 the total column, -2 a column without one); for the MAC table the
  // column number.
  int ColumnValueType(int column) const;
  // A column the sort may go to: MAC 1 and 2, PHY 1 up to the total column.
  bool IsSortableColumn(int column) const;

  // The counters of the current statistics into the rows; for the PHY table only the columns of the PHY types
  // the interface reports show, and a hidden sort column falls back to the total. Repaints a showing graph.
  void Refresh();
  // Row names, descriptions and column titles in the current language.
  void ApplyLanguage();
  // Repaints the graph when it is showing.
  void Tick();

  int TableHeight() const;
  void SetTableHeight(int height);

  int GraphRowCount() const override;
  bool GraphRowChecked(int row) const override;
  bool GraphRowHidden(int) const override { return false; }
  bool GraphRowSelected(int row) const override;
  TWLANNetwork* GraphRowNetwork(int) const override { return nullptr; }

 signals:
  void SortColumnChanged(int column);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTableHeight();
  void HeaderClicked(int column);
  void Repaint();

  TKind kind_;
  std::function<const TWLANStatistics*()> statistics_;
  QSplitter* splitter_ = nullptr;
  QTreeWidget* table_ = nullptr;
  TGraphView* graphView_ = nullptr;
  int sortColumn_ = 0;
  int tableHeight_ = 256;
  bool laidOut_ = false;
};

// Both pages on the statistics page control ("PHY layer" first, then "MAC layer"), sized and sorted from the
// options, which they write back on Store.
class TStatisticsPages : public QObject {
  Q_OBJECT

 public:
  TStatisticsPages(QTabWidget* pages, TProgramOptions& options, std::function<const TWLANStatistics*()> statistics,
                   QObject* parent = nullptr);

  TStatisticsTable* Mac() const { return mac_; }
  TStatisticsTable* Phy() const { return phy_; }

  // After every statistics refresh: both tables, the PHY sort column into the options.
  void RefreshStatisticsViews();
  void ApplyLanguage();
  void ApplyGraphOptions();
  void Tick();
  // Table heights, sort columns and column layouts into the options.
  void Store();

 private:
  TProgramOptions& options_;
  TStatisticsTable* mac_ = nullptr;
  TStatisticsTable* phy_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

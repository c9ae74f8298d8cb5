// The network list: a model over the records of one TWLANNetworkList (no cell text is stored; every paint,
// hint and sort asks the record), its sorting with the pinned connected network, the filtered flags, and
// the painting of swatches, signal icons, quality bars, stripes and grid lines.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QItemSelectionModel>
#include <QIcon>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <functional>
#include <memory>
#include <vector>

#include "core/model/columns.h"
#include "core/model/network_list.h"
#include "render/graph_rows.h"
#include "ui/base/paint.h"

namespace skimlet {

struct TProgramOptions;

// The text of one cell: the network's column text; empty for no network.
QString CellText(const TWLANNetwork* network, int column);

// The comparison the list sorts with: the connected network first in both directions when Pin is set,
// else the column's order; negative, 0 or positive, already turned for a descending order.
int CompareRows(const TWLANNetwork& a, const TWLANNetwork& b, int column, Qt::SortOrder order, bool pin);

// The graphs read the rows through TGraphRows: every row in sort order, hidden ones included, by their index in
// that order (never a position among the shown rows).
class TNetworkListModel : public QAbstractTableModel, public TGraphRows {
  Q_OBJECT

 public:
  explicit TNetworkListModel(const TProgramOptions& options, QObject* parent = nullptr);
  ~TNetworkListModel() override;

  // Shows the rows of List (nullptr: none). Rows are made by Sync.
  void SetList(TWLANNetworkList* list);
  TWLANNetworkList* List() const { return list_; }

  // After a refresh of the list: new networks get a row (checked), every row its filtered flag, then the rows
  // are sorted once. Shown rows are updated in place; rows of networks the list has dropped are not touched
  // (call Forget first).
  void Sync();
  // Removes the rows of these networks (before the list frees them).
  void Forget(const std::vector<const TWLANNetwork*>& networks);
  // Removes every row.
  void ForgetAll();
  // Re-decides every filtered flag; ShowAll: every row shown.
  void ApplyFilter(bool showAll);
  // Sorts the rows by Column in Order.
  void Sort(int column, Qt::SortOrder order);
  // Sorts again by the current column and order.
  void Resort() { Sort(sortColumn_, sortOrder_); }
  int SortColumn() const { return sortColumn_; }
  Qt::SortOrder SortOrder() const { return sortOrder_; }
  // Sets the sort column and order without sorting.
  void SetSortState(int column, Qt::SortOrder order);

  // The filter rule; every row passes without one.
  std::function<bool(const TWLANNetwork&)> Filter;

  TWLANNetwork* NetworkOfRow(int row) const;
  // The row's index among all rows in their current order, hidden ones included.
  int AbsoluteIndex(int row) const;
  // The shown row of a network, -1 when it has none or it is hidden.
  int RowOfNetwork(const TWLANNetwork* network) const;
  int TotalRows() const { return static_cast<int>(all_.size()); }

  // Where the graphs learn which rows are selected (the view's selection).
  void SetSelectionModel(const QItemSelectionModel* selection) { selection_ = selection; }

  // TGraphRows
  int GraphRowCount() const override { return TotalRows(); }
  bool GraphRowChecked(int row) const override;
  bool GraphRowHidden(int row) const override;
  bool GraphRowSelected(int row) const override;
  TWLANNetwork* GraphRowNetwork(int row) const override;

  void SetColumnTitles(const QStringList& titles);
  void SetColumnAlignment(int column, Qt::Alignment alignment);
  Qt::Alignment ColumnAlignment(int column) const;
  // Repaints every shown cell (option changes, colours).
  void RepaintAll();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Titles (display role) and stored alignments (kColumnAlignmentRole) of the columns.
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

 signals:
  void CheckChanged(skimlet::TWLANNetwork* network);

 private:
  struct TRow;
  void Relayout();

  const TProgramOptions& options_;
  const QItemSelectionModel* selection_ = nullptr;
  TWLANNetworkList* list_ = nullptr;
  std::vector<std::unique_ptr<TRow>> all_;  // every row in sort order
  std::vector<TRow*> shown_;                // the rows not filtered, in sort order
  int sortColumn_ = 0;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  QStringList titles_;
  std::vector<Qt::Alignment> alignments_;
};

// Paints the cells: the swatch of column 0, the quality bar of column 6, stripes and grid lines.
class TNetworkListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  TNetworkListDelegate(const TProgramOptions& options, TNetworkListModel* model, QObject* parent = nullptr);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
  // The swatch square of a column-0 cell.
  QRect SwatchRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

 signals:
  void SwatchClicked(skimlet::TWLANNetwork* network);

 private:
  // A cell text shaped in the plain (0) or bold (1) form of Font. A screen of rows repeats few distinct
  // texts between paints, and shaping is the dearest part of painting them.
  const QStaticText& Shaped(const QString& text, const QFont& font, int bold) const;
  // The same text cut to Width with an ellipsis, shaped likewise.
  const QStaticText& Elided(const QString& text, const QFont& font, int bold, int width) const;

  const TProgramOptions& options_;
  TNetworkListModel* model_;
  mutable QFont shapedFont_[2];
  mutable QHash<QString, QStaticText> shaped_[2];
  mutable QHash<QString, QStaticText> elided_[2];
};

// The list widget (vstNetworkList): a flat, uniform-row tree view over the model, with the grid options,
// header sorting that leaves column 0 alone, and Escape clearing the selection.
class TNetworkListView : public QTreeView {
  Q_OBJECT

 public:
  TNetworkListView(const TProgramOptions& options, TNetworkListModel* model, QWidget* parent = nullptr);
  TNetworkListModel* Model() const { return model_; }
  TNetworkListDelegate* Delegate() const { return delegate_; }
  // The left-button header click rule: another column sorts ascending, the sort column toggles; column 0 does
  // nothing.
  void HeaderClicked(int column);
  // Shows the model's sort column and order in the header.
  void ShowSortIndicator();

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  TNetworkListModel* model_;
  TNetworkListDelegate* delegate_;
};

}  // namespace skimlet

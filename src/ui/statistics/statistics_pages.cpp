#include "ui/statistics/statistics_pages.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "core/base/translate.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_statistics.h"
#include "render/wifi_graphs.h"
#include "ui/base/tr.h"
#include "ui/graphs/graph_view.h"
#include "ui/report/view_export.h"

namespace skimlet::ui {

namespace {

constexpr int kMacColumns = 4;
constexpr int kPhyColumns = static_cast<int>(kPhyStatisticsColumnCount);
static_assert(std::size(TStatisticsTable::kPhyColumnTypes) + 1 == TStatisticsTable::kPhyTotalColumn);
static_assert(TStatisticsTable::kPhyTotalColumn + 2 == kPhyColumns);

// The stored-layout entry (and the title's key number) of a table column: the MAC table's are its column
// numbers, the PHY table's come from its fixed numbering.
size_t LayoutEntry(const QTreeWidget& table, int column) {
  if (table.columnCount() != kPhyColumns || column < 0 || column >= kPhyColumns) return static_cast<size_t>(column);
  return static_cast<size_t>(kPhyStatisticsColumnIds[column]);
}

// The small graph drawn into the header of the sort column.
QIcon GraphIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.drawLine(2, 1, 2, 14);
  p.drawLine(2, 14, 15, 14);
  p.setPen(QPen(QColor(0, 102, 204), 2));
  const QPoint line[] = {{3, 11}, {6, 7}, {9, 9}, {14, 3}};
  p.drawPolyline(line, 4);
  return QIcon(pixmap);
}

uint64_t CounterValue(const TWLANStatistics& s, TStatisticsTable::TKind kind, int row, int valueType) {
  if (kind == TStatisticsTable::TKind::Mac)
    return TWLANStatistics::MacCounter(valueType == 2 ? s.MacMulticast : s.MacUnicast, row);
  if (valueType < 0) return TWLANStatistics::PhyCounter(s.PhyTotal, row);
  if (valueType >= static_cast<int>(s.PhyCounters.size())) return 0;
  return TWLANStatistics::PhyCounter(s.PhyCounters[static_cast<size_t>(valueType)], row);
}

// Widths and display order from a stored layout; titles and visibility belong to the table itself.
void ApplyWidths(QTreeWidget& table, const TColumnLayout& layout) {
  QHeaderView* header = table.header();
  auto entry = [&](int i) -> const TListColumnStore* {
    const size_t e = LayoutEntry(table, i);
    return e < layout.size() ? &layout[e] : nullptr;
  };
  const int count = header->count();
  for (int i = 0; i < count; ++i)
    if (const TListColumnStore* c = entry(i)) header->resizeSection(i, std::max(50, c->Width));
  for (int p = 0; p < count; ++p)
    for (int i = 0; i < count; ++i)
      if (const TListColumnStore* c = entry(i); c && c->Position == p) header->moveSection(header->visualIndex(i), p);
}

void ReadWidths(const QTreeWidget& table, TColumnLayout& layout) {
  const QHeaderView* header = table.header();
  for (int i = 0; i < header->count(); ++i) {
    const size_t e = LayoutEntry(table, i);
    if (e >= layout.size()) continue;
    TListColumnStore& c = layout[e];
    c.Caption = table.headerItem()->text(i).toStdString();
    c.Visible = !header->isSectionHidden(i);
    if (c.Visible) c.Width = header->sectionSize(i);
    c.Position = header->visualIndex(i);
  }
}

}  // namespace

// ---- TStatisticsTable

TStatisticsTable::TStatisticsTable(TKind kind, std::function<const TWLANStatistics*()> statistics, QWidget* parent)
    : QWidget(parent), kind_(kind), statistics_(std::move(statistics)) {
  const bool mac = kind_ == TKind::Mac;
  setObjectName(mac ? QStringLiteral("pnlWLANStatisticsMAC") : QStringLiteral("pnlWLANStatisticsPHY"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(mac ? QStringLiteral("splWLANStatisticsMAC") : QStringLiteral("splWLANStatisticsPHY"));
  splitter_->setChildrenCollapsible(false);
  layout->addWidget(splitter_);

  std::unique_ptr<TGraphLayerTime> graph;
  if (mac) graph = std::make_unique<TGraphMACLayerTime>();
  else graph = std::make_unique<TGraphPhyLayerTime>();
  graph->Tree = this;
  graph->AutoScale = true;
  graph->ShowLegend = true;
  graph->CounterSeries = [this]() -> const std::vector<std::unique_ptr<TCountersSeries>>* {
    const TWLANStatistics* s = statistics_ ? statistics_() : nullptr;
    return s ? &s->CounterSeries : nullptr;
  };
  graph->RowName = [this](int row) {
    const QTreeWidgetItem* item = table_->topLevelItem(row);
    return item ? item->text(0) : QString();
  };
  graph->SortColumnCaption = [this] { return sortColumn_ > 0 ? table_->headerItem()->text(sortColumn_) : QString(); };
  graphView_ = new TGraphView(std::move(graph), splitter_);
  graphView_->setObjectName(mac ? QStringLiteral("grWLANStatisticsMAC") : QStringLiteral("grWLANStatisticsPHY"));
  splitter_->addWidget(graphView_);

  table_ = new QTreeWidget(splitter_);
  table_->setObjectName(mac ? QStringLiteral("vstWLANStatisticsMAC") : QStringLiteral("vstWLANStatisticsPHY"));
  table_->setRootIsDecorated(false);
  table_->setUniformRowHeights(true);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setColumnCount(mac ? kMacColumns : kPhyColumns);
  table_->header()->setSectionsClickable(true);
  table_->header()->setStretchLastSection(true);
  InstallTableMenu(table_, [mac] {
    return ProposedName(mac ? report::TExportSource::MacStatistics : report::TExportSource::PhyStatistics);
  });
  const int rows = mac ? MacCounterCount : PhyCounterCount;
  for (int r = 0; r < rows; ++r) {
    auto* item = new QTreeWidgetItem(table_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool ticked = mac ? (r == 0 || r == 1) : (r == 0 || r == 10);
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    for (int c = 1; c < table_->columnCount() - 1; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  }
  splitter_->addWidget(table_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);

  connect(table_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
    if (column == 0) Repaint();
  });
  connect(table_, &QTreeWidget::itemSelectionChanged, this, [this] { Repaint(); });
  connect(table_->header(), &QHeaderView::sectionClicked, this, [this](int column) { HeaderClicked(column); });

  ApplyLanguage();
  SetSortColumn(mac ? 1 : kPhyTotalColumn);
}

TStatisticsTable::~TStatisticsTable() {
  // The graph reads the table through this object; it goes first.
  delete graphView_;
  graphView_ = nullptr;
}

TGraphLayerTime& TStatisticsTable::Graph() const { return static_cast<TGraphLayerTime&>(graphView_->Graph()); }

int TStatisticsTable::ColumnValueType(int column) const {
  if (kind_ == TKind::Mac) return column;
  if (column >= 1 && column < kPhyTotalColumn) return kPhyColumnTypes[column - 1];
  return column == kPhyTotalColumn ? kPhyTotalTag : -2;
}

bool TStatisticsTable::IsSortableColumn(int column) const {
  return kind_ == TKind::Mac ? column == 1 || column == 2 : column >= 1 && column <= kPhyTotalColumn;
}

void TStatisticsTable::SetSortColumn(int column) {
  if (!IsSortableColumn(column)) column = kind_ == TKind::Mac ? 1 : kPhyTotalColumn;
  QTreeWidgetItem* header = table_->headerItem();
  const QSignalBlocker block(table_);
  if (sortColumn_ > 0) {
    header->setIcon(sortColumn_, QIcon());
    for (int r = 0; r < table_->topLevelItemCount(); ++r) table_->topLevelItem(r)->setBackground(sortColumn_, QBrush());
  }
  sortColumn_ = column;
  static const QIcon icon = GraphIcon();
  header->setIcon(column, icon);
  const QBrush face = palette().button();
  for (int r = 0; r < table_->topLevelItemCount(); ++r) table_->topLevelItem(r)->setBackground(column, face);
  Graph().ValueType = ColumnValueType(column);
  Repaint();
  emit SortColumnChanged(column);
}

void TStatisticsTable::HeaderClicked(int column) {
  if (column == sortColumn_ || !IsSortableColumn(column) || table_->header()->isSectionHidden(column)) return;
  SetSortColumn(column);
}

void TStatisticsTable::Refresh() {
  const TWLANStatistics* s = statistics_ ? statistics_() : nullptr;
  const QSignalBlocker block(table_);
  if (kind_ == TKind::Phy && s) {
    for (int c = 1; c < kPhyTotalColumn; ++c) table_->setColumnHidden(c, !s->PhyPresent.Contains(ColumnValueType(c)));
  }
  const int valueColumns = kind_ == TKind::Mac ? 2 : kPhyTotalColumn;
  for (int r = 0; r < table_->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = table_->topLevelItem(r);
    for (int c = 1; c <= valueColumns; ++c)
      item->setText(c, s ? QString::number(CounterValue(*s, kind_, r, ColumnValueType(c))) : QString());
  }
  if (kind_ == TKind::Phy && (table_->isColumnHidden(sortColumn_) || !IsSortableColumn(sortColumn_)))
    SetSortColumn(kPhyTotalColumn);
  else Graph().ValueType = ColumnValueType(sortColumn_);
  Repaint();
}

void TStatisticsTable::ApplyLanguage() {
  const QSignalBlocker block(table_);
  const bool mac = kind_ == TKind::Mac;
  static const char* const kMacTitles[] = {"Counter", "Unicast", "Multicast", "Description"};
  static const char* const kPhyTitles[] = {"Counter",  "802.11a",  "802.11b",  "802.11g", "802.11n",
                                           "802.11ac", "802.11ax", "802.11be", "Total",   "Description"};
  QStringList titles;
  for (int c = 0; c < table_->columnCount(); ++c) {
    const std::string key =
        (mac ? "WLANStatisticsMACColumns" : "WLANStatisticsPhyColumns") + std::to_string(LayoutEntry(*table_, c));
    titles << QString::fromStdString(Translate(key, mac ? kMacTitles[c] : kPhyTitles[c]));
  }
  table_->setHeaderLabels(titles);
  for (int r = 0; r < table_->topLevelItemCount(); ++r) {
    const std::string key = mac ? MacCounterNameKey(r) : PhyCounterNameKey(r);
    QTreeWidgetItem* item = table_->topLevelItem(r);
    item->setText(0, Tr(key));
    item->setText(table_->columnCount() - 1, Tr(key + "Desc"));
  }
  if (sortColumn_ > 0) {
    static const QIcon icon = GraphIcon();
    table_->headerItem()->setIcon(sortColumn_, icon);
  }
}

void TStatisticsTable::Repaint() {
  if (graphView_ && graphView_->isVisible()) graphView_->update();
}

void TStatisticsTable::Tick() { Repaint(); }

int TStatisticsTable::TableHeight() const {
  if (!laidOut_) return tableHeight_;
  const QList<int> sizes = splitter_->sizes();
  return sizes.size() == 2 && sizes[1] > 0 ? sizes[1] : tableHeight_;
}

void TStatisticsTable::SetTableHeight(int height) {
  tableHeight_ = std::max(40, height);
  if (laidOut_) ApplyTableHeight();
}

void TStatisticsTable::ApplyTableHeight() {
  const int total = splitter_->height();
  splitter_->setSizes({std::max(80, total - tableHeight_ - splitter_->handleWidth()), tableHeight_});
}

// A splitter shares out its height only once it has one: the stored table height goes in at the first show.
void TStatisticsTable::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (laidOut_) return;
  laidOut_ = true;
  if (QLayout* l = layout()) l->activate();
  ApplyTableHeight();
}

int TStatisticsTable::GraphRowCount() const { return table_ ? table_->topLevelItemCount() : 0; }

bool TStatisticsTable::GraphRowChecked(int row) const {
  const QTreeWidgetItem* item = table_ ? table_->topLevelItem(row) : nullptr;
  return item && item->checkState(0) == Qt::Checked;
}

bool TStatisticsTable::GraphRowSelected(int row) const {
  const QTreeWidgetItem* item = table_ ? table_->topLevelItem(row) : nullptr;
  return item && item->isSelected();
}

// ---- TStatisticsPages

TStatisticsPages::TStatisticsPages(QTabWidget* pages, TProgramOptions& options,
                                   std::function<const TWLANStatistics*()> statistics, QObject* parent)
    : QObject(parent), options_(options) {
  auto place = [pages](const char* name, QWidget* content) {
    QWidget* page = pages->findChild<QWidget*>(QString::fromUtf8(name));
    if (!page) {
      page = new QWidget();
      page->setObjectName(QString::fromUtf8(name));
      pages->addTab(page, QString());
    }
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    content->setParent(page);
    layout->addWidget(content);
  };
  phy_ = new TStatisticsTable(TStatisticsTable::TKind::Phy, statistics);
  mac_ = new TStatisticsTable(TStatisticsTable::TKind::Mac, statistics);
  place("tsPHYLayer", phy_);
  place("tsMACLayer", mac_);
  ApplyWidths(*mac_->Table(), options_.Layouts.WLANStatisticsMACColumns);
  ApplyWidths(*phy_->Table(), options_.Layouts.WLANStatisticsPhyColumns);
  mac_->SetTableHeight(options_.aWLANStatisticsMACHeight);
  phy_->SetTableHeight(options_.aWLANStatisticsPHYHeight);
  mac_->SetSortColumn(options_.WLANStatisticsMACViewColumnIndex);
  phy_->SetSortColumn(options_.WLANStatisticsPHYViewColumnIndex);
  ApplyGraphOptions();
}

void TStatisticsPages::RefreshStatisticsViews() {
  mac_->Refresh();
  phy_->Refresh();
  options_.WLANStatisticsPHYViewColumnIndex = phy_->SortColumn();
}

void TStatisticsPages::ApplyLanguage() {
  mac_->ApplyLanguage();
  phy_->ApplyLanguage();
}

void TStatisticsPages::ApplyGraphOptions() {
  for (TStatisticsTable* t : {mac_, phy_}) {
    t->Graph().WindowMinutes = options_.TimeWindowMinutes;
    t->Graph().FillSelected = options_.bFillSelectedSeries;
  }
}

void TStatisticsPages::Tick() {
  mac_->Tick();
  phy_->Tick();
}

void TStatisticsPages::Store() {
  options_.aWLANStatisticsMACHeight = mac_->TableHeight();
  options_.aWLANStatisticsPHYHeight = phy_->TableHeight();
  options_.WLANStatisticsMACViewColumnIndex = mac_->SortColumn();
  options_.WLANStatisticsPHYViewColumnIndex = phy_->SortColumn();
  ReadWidths(*mac_->Table(), options_.Layouts.WLANStatisticsMACColumns);
  ReadWidths(*phy_->Table(), options_.Layouts.WLANStatisticsPhyColumns);
}

}  // namespace skimlet::ui

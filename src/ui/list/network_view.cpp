#include "ui/list/network_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QIconEngine>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <array>
#include <cmath>
#include <unordered_set>

#include "core/base/safe_text.h"
#include "core/settings/options.h"
#include "ui/list/column_layout.h"

namespace skimlet {

namespace {

// The columns the list draws more than text in.
constexpr int kMarker = ColumnIndex(TNetworkColumn::Marker);                // swatch and check box
constexpr int kSSID = ColumnIndex(TNetworkColumn::SSID);                    // signal icon
constexpr int kSignalQuality = ColumnIndex(TNetworkColumn::SignalQuality);  // quality bar

}  // namespace

QString CellText(const TWLANNetwork* network, int column) {
  const TNetworkColumnInfo* info = NetworkColumnInfoAt(column);
  if (!network || !info) return {};
  const std::string text = info->Text(*network);
  if (text.empty()) return {};
  // Texts from the air, the vendor database and the user are shown with their control and direction
  // characters made visible, isolated from the text around them.
  if (info->OutsideText) return QString::fromStdString(SafeText(text, SafeTextStyle::Window));
  return QString::fromStdString(text);
}

int CompareRows(const TWLANNetwork& a, const TWLANNetwork& b, int column, Qt::SortOrder order, bool pin) {
  // One connected network goes first whatever the direction. Two of them (never from the service) fall back to
  // the column so that the order stays a strict weak one.
  if (pin && a.Connected != b.Connected) return a.Connected ? -1 : 1;
  const int c = CompareNetworksBy(a, b, column);
  return order == Qt::DescendingOrder ? -c : c;
}

// ---- model -----------------------------------------------------------------------------------------------

struct TNetworkListModel::TRow {
  TWLANNetwork* Network = nullptr;
  bool Filtered = false;
  bool InView = false;  // one of the shown rows
  int Abs = 0;          // index among all rows
  int Pos = -1;         // shown row, -1 when hidden
};

TNetworkListModel::TNetworkListModel(const TProgramOptions& options, QObject* parent)
    : QAbstractTableModel(parent), options_(options), alignments_(NetworkColumnCount, Qt::AlignLeft) {
  for (int i = 0; i < NetworkColumnCount; ++i) titles_ << QString::number(i);
}

TNetworkListModel::~TNetworkListModel() = default;

void TNetworkListModel::SetList(TWLANNetworkList* list) {
  beginResetModel();
  for (auto& row : all_) row->Network->Row = nullptr;
  all_.clear();
  shown_.clear();
  list_ = list;
  endResetModel();
}

void TNetworkListModel::ForgetAll() {
  if (all_.empty()) return;
  beginResetModel();
  for (auto& row : all_) row->Network->Row = nullptr;
  all_.clear();
  shown_.clear();
  endResetModel();
}

void TNetworkListModel::Forget(const std::vector<const TWLANNetwork*>& networks) {
  std::unordered_set<const TRow*> gone;
  for (const TWLANNetwork* n : networks)
    if (n && n->Row) gone.insert(static_cast<const TRow*>(n->Row));
  if (gone.empty()) return;
  // Shown rows go out in runs from the end, so that the indexes before each run stay valid.
  for (int end = static_cast<int>(shown_.size()) - 1; end >= 0;) {
    if (!gone.count(shown_[static_cast<size_t>(end)])) {
      --end;
      continue;
    }
    int begin = end;
    while (begin > 0 && gone.count(shown_[static_cast<size_t>(begin - 1)])) --begin;
    beginRemoveRows(QModelIndex(), begin, end);
    shown_.erase(shown_.begin() + begin, shown_.begin() + end + 1);
    endRemoveRows();
    end = begin - 1;
  }
  std::erase_if(all_, [&](const std::unique_ptr<TRow>& r) {
    if (!gone.count(r.get())) return false;
    r->Network->Row = nullptr;
    return true;
  });
  for (size_t i = 0; i < all_.size(); ++i) all_[i]->Abs = static_cast<int>(i);
  for (size_t i = 0; i < shown_.size(); ++i) shown_[i]->Pos = static_cast<int>(i);
  if (!shown_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, NetworkColumnCount - 1));
}

void TNetworkListModel::Sync() {
  if (!list_) return;
  for (const auto& item : list_->Items) {
    TWLANNetwork* n = item.get();
    auto* row = static_cast<TRow*>(n->Row);
    if (!row) {
      auto fresh = std::make_unique<TRow>();
      fresh->Network = n;
      n->Checked = true;
      n->Row = fresh.get();
      row = fresh.get();
      all_.push_back(std::move(fresh));
    }
    row->Filtered = Filter ? !Filter(*n) : false;
  }
  Relayout();
}

void TNetworkListModel::ApplyFilter(bool showAll) {
  for (auto& row : all_) row->Filtered = !showAll && Filter ? !Filter(*row->Network) : false;
  Relayout();
}

void TNetworkListModel::SetSortState(int column, Qt::SortOrder order) {
  sortColumn_ = std::clamp(column, 0, NetworkColumnCount - 1);
  sortOrder_ = order;
}

void TNetworkListModel::Sort(int column, Qt::SortOrder order) {
  SetSortState(column, order);
  Relayout();
}

void TNetworkListModel::Relayout() {
  const bool pin = options_.bPinConnectedToTop;
  const int column = sortColumn_;
  const Qt::SortOrder order = sortOrder_;
  std::stable_sort(all_.begin(), all_.end(), [&](const std::unique_ptr<TRow>& a, const std::unique_ptr<TRow>& b) {
    return CompareRows(*a->Network, *b->Network, column, order, pin) < 0;
  });
  std::vector<TRow*> wanted;
  wanted.reserve(all_.size());
  for (size_t i = 0; i < all_.size(); ++i) {
    all_[i]->Abs = static_cast<int>(i);
    if (!all_[i]->Filtered) wanted.push_back(all_[i].get());
  }

  // 1. Rows that are now filtered leave, in runs from the end.
  for (int end = static_cast<int>(shown_.size()) - 1; end >= 0;) {
    if (!shown_[static_cast<size_t>(end)]->Filtered) {
      --end;
      continue;
    }
    int begin = end;
    while (begin > 0 && shown_[static_cast<size_t>(begin - 1)]->Filtered) --begin;
    beginRemoveRows(QModelIndex(), begin, end);
    for (int i = begin; i <= end; ++i) shown_[static_cast<size_t>(i)]->InView = false;
    shown_.erase(shown_.begin() + begin, shown_.begin() + end + 1);
    endRemoveRows();
    end = begin - 1;
  }
  for (size_t i = 0; i < shown_.size(); ++i) shown_[i]->Pos = static_cast<int>(i);

  // 2. The rows that stay take their new order.
  std::vector<TRow*> kept;
  kept.reserve(shown_.size());
  for (TRow* r : wanted)
    if (r->InView) kept.push_back(r);
  if (kept != shown_) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPos(shown_.size());
    for (size_t i = 0; i < kept.size(); ++i) newPos[static_cast<size_t>(kept[i]->Pos)] = static_cast<int>(i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& f : from)
      to.append(f.row() < static_cast<int>(newPos.size()) ? index(newPos[static_cast<size_t>(f.row())], f.column())
                                                          : QModelIndex());
    shown_ = std::move(kept);
    for (size_t i = 0; i < shown_.size(); ++i) shown_[i]->Pos = static_cast<int>(i);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  }

  // 3. Rows that are shown now come in at their places.
  for (size_t i = 0; i < wanted.size();) {
    if (wanted[i]->InView) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < wanted.size() && !wanted[j]->InView) ++j;
    beginInsertRows(QModelIndex(), static_cast<int>(i), static_cast<int>(j - 1));
    shown_.insert(shown_.begin() + static_cast<std::ptrdiff_t>(i), wanted.begin() + static_cast<std::ptrdiff_t>(i),
                  wanted.begin() + static_cast<std::ptrdiff_t>(j));
    for (size_t k = i; k < j; ++k) wanted[k]->InView = true;
    endInsertRows();
    i = j;
  }
  for (auto& r : all_) r->Pos = -1;
  for (size_t i = 0; i < shown_.size(); ++i) shown_[i]->Pos = static_cast<int>(i);

  // 4. Every shown cell follows its record.
  if (!shown_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, NetworkColumnCount - 1));
}

TWLANNetwork* TNetworkListModel::NetworkOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return nullptr;
  return shown_[static_cast<size_t>(row)]->Network;
}

bool TNetworkListModel::GraphRowChecked(int row) const {
  const TWLANNetwork* n = GraphRowNetwork(row);
  return n && n->Checked;
}

bool TNetworkListModel::GraphRowHidden(int row) const {
  return row < 0 || row >= TotalRows() || all_[static_cast<size_t>(row)]->Pos < 0;
}

bool TNetworkListModel::GraphRowSelected(int row) const {
  if (!selection_ || row < 0 || row >= TotalRows()) return false;
  const int pos = all_[static_cast<size_t>(row)]->Pos;
  return pos >= 0 && selection_->isRowSelected(pos, QModelIndex());
}

TWLANNetwork* TNetworkListModel::GraphRowNetwork(int row) const {
  if (row < 0 || row >= TotalRows()) return nullptr;
  return all_[static_cast<size_t>(row)]->Network;
}

int TNetworkListModel::AbsoluteIndex(int row) const {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return -1;
  return shown_[static_cast<size_t>(row)]->Abs;
}

int TNetworkListModel::RowOfNetwork(const TWLANNetwork* network) const {
  if (!network || !network->Row) return -1;
  return static_cast<const TRow*>(network->Row)->Pos;
}

void TNetworkListModel::SetColumnTitles(const QStringList& titles) {
  for (int i = 0; i < NetworkColumnCount && i < titles.size(); ++i) titles_[i] = titles[i];
  emit headerDataChanged(Qt::Horizontal, 0, NetworkColumnCount - 1);
}

void TNetworkListModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
  if (column < 0 || column >= NetworkColumnCount) return;
  alignments_[static_cast<size_t>(column)] = alignment;
}

Qt::Alignment TNetworkListModel::ColumnAlignment(int column) const {
  if (column < 0 || column >= NetworkColumnCount) return Qt::AlignLeft;
  return alignments_[static_cast<size_t>(column)];
}

void TNetworkListModel::RepaintAll() {
  if (!shown_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, NetworkColumnCount - 1));
}

int TNetworkListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int TNetworkListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NetworkColumnCount;
}

QVariant TNetworkListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const TRow* row = shown_[static_cast<size_t>(index.row())];
  const TWLANNetwork* n = row->Network;
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole: return CellText(n, column);
    case Qt::ToolTipRole: {
      const QString text = CellText(n, column);
      if (text.isEmpty()) return {};
      return ui::PlainToolTip(text);
    }
    case Qt::DecorationRole:
      if (column == kSSID) return ui::SignalIcon(n->Active ? n->QualityClass : 0, !n->Privacy);
      return {};
    case Qt::CheckStateRole:
      if (column == kMarker) return n->Checked ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::FontRole:
      if (n->Connected) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ForegroundRole:
      // The grey text of an inactive row; its check box keeps the normal look (it is not disabled).
      if (!n->Active && column != kMarker) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      return {};
    case Qt::BackgroundRole:
      if (options_.bStripped && (row->Abs % 2) == 1) return QBrush(QColor(0xF1, 0xF1, 0xF1));
      return {};
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignments_[static_cast<size_t>(column)] | Qt::AlignVCenter);
    default: return {};
  }
}

bool TNetworkListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != 0 ||
      !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return false;
  TWLANNetwork* n = shown_[static_cast<size_t>(index.row())]->Network;
  n->Checked = value.value<Qt::CheckState>() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit CheckChanged(n);
  return true;
}

Qt::ItemFlags TNetworkListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kMarker) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant TNetworkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= NetworkColumnCount) return {};
  if (role == Qt::DisplayRole) return titles_[section];
  if (role == Qt::ToolTipRole) return ui::PlainToolTip(titles_[section]);
  if (role == kColumnAlignmentRole) return AlignmentToStored(alignments_[static_cast<size_t>(section)]);
  return {};
}

bool TNetworkListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
  if (orientation != Qt::Horizontal || section < 0 || section >= NetworkColumnCount) return false;
  if (role == Qt::DisplayRole) {
    titles_[section] = value.toString();
  } else if (role == kColumnAlignmentRole) {
    alignments_[static_cast<size_t>(section)] = AlignmentFromStored(value.toInt());
  } else {
    return false;
  }
  emit headerDataChanged(Qt::Horizontal, section, section);
  return true;
}

// ---- delegate --------------------------------------------------------------------------------------------

TNetworkListDelegate::TNetworkListDelegate(const TProgramOptions& options, TNetworkListModel* model, QObject* parent)
    : QStyledItemDelegate(parent), options_(options), model_(model) {}

QRect TNetworkListDelegate::SwatchRect(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  const QWidget* w = opt.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, w);
  const int left = (check.isValid() ? check.right() + 1 : opt.rect.left()) + 5;
  const int top = opt.rect.top() + 2;
  const int bottom = opt.rect.bottom() - 3;
  const int side = std::max(0, bottom - top + 1);
  return QRect(left, top, side, side);
}

void TNetworkListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const TWLANNetwork* n = model_->NetworkOfRow(index.row());
  if (!n) return;
  if (index.column() <= kSSID) {
    QStyledItemDelegate::paint(painter, option, index);  // check box, icon
  } else {
    // Plain text cells take the short way: one text from the record, no round of role queries.
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    if (selected) {
      painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (options_.bStripped && model_->AbsoluteIndex(index.row()) % 2 == 1) {
      painter->fillRect(option.rect, QColor(0xF1, 0xF1, 0xF1));
    }
    const QString text = CellText(n, index.column());
    if (!text.isEmpty()) {
      QFont font = option.font;
      const int bold = n->Connected ? 1 : 0;
      if (bold) font.setBold(true);
      const QPen oldPen = painter->pen();
      painter->setPen(selected    ? option.palette.color(group, QPalette::HighlightedText)
                      : n->Active ? option.palette.color(group, QPalette::Text)
                                  : option.palette.color(QPalette::Disabled, QPalette::Text));
      const QRect r = option.rect.adjusted(4, 0, -4, 0);
      const QStaticText& shaped = Shaped(text, font, bold);
      const QSizeF size = shaped.size();
      const int top = r.top() + (r.height() - static_cast<int>(std::ceil(size.height()))) / 2;
      const Qt::Alignment align = model_->ColumnAlignment(index.column());
      const QFont old = painter->font();
      painter->setFont(font);
      auto left = [&r, align](int width) {
        if (align & Qt::AlignRight) return r.right() + 1 - width;
        if (align & Qt::AlignHCenter) return r.left() + (r.width() - width) / 2;
        return r.left();
      };
      const QStaticText* shown = &shaped;
      int advance = static_cast<int>(std::ceil(size.width()));
      if (advance > r.width()) {
        // A text wider than its cell ends in an ellipsis, whatever its alignment.
        shown = &Elided(text, font, bold, r.width());
        advance = static_cast<int>(std::ceil(shown->size().width()));
      }
      painter->drawStaticText(QPoint(left(advance), top), *shown);
      painter->setFont(old);
      painter->setPen(oldPen);
    }
  }
  if (index.column() == kMarker) {
    const QRect swatch = SwatchRect(option, index);
    ui::DrawSwatch(*painter, swatch, ui::ToQColor(n->GetColor()));
  } else if (index.column() == kSignalQuality && n->Active) {
    painter->save();
    painter->setFont(option.font);
    ui::DrawQualityBar(*painter, option.rect, model_->ColumnAlignment(kSignalQuality), false, true, n->LinkQuality);
    painter->restore();
  }
  // Grid lines as one-pixel fills: the painter's fast path, no pen state to save.
  const QColor grid(0xD8, 0xD8, 0xD8);
  const QRect& c = option.rect;
  if (options_.bVertGrid) painter->fillRect(QRect(c.right(), c.top(), 1, c.height()), grid);
  if (options_.bHorzGrid) painter->fillRect(QRect(c.left(), c.bottom(), c.width(), 1), grid);
}

QSize TNetworkListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // Every cell is as high as the row's tallest: the check box and the signal icon. The view takes the height of
  // uniform rows from the columns in sight, which change when the list is scrolled sideways.
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  for (int column : {kMarker, kSSID})
    if (column != index.column())
      size.setHeight(
          std::max(size.height(), QStyledItemDelegate::sizeHint(option, index.siblingAtColumn(column)).height()));
  return size;
}

const QStaticText& TNetworkListDelegate::Shaped(const QString& text, const QFont& font, int bold) const {
  QHash<QString, QStaticText>& cache = shaped_[bold];
  // Another font, or a cache grown past a few screens of distinct texts, starts over.
  if (cache.size() > 8192 || font != shapedFont_[bold]) {
    cache.clear();
    elided_[bold].clear();
    shapedFont_[bold] = font;
  }
  auto it = cache.find(text);
  if (it == cache.end()) {
    QStaticText shaped(text);
    shaped.setTextFormat(Qt::PlainText);
    shaped.prepare(QTransform(), font);
    it = cache.insert(text, shaped);
  }
  return *it;
}

const QStaticText& TNetworkListDelegate::Elided(const QString& text, const QFont& font, int bold, int width) const {
  // Called after Shaped for the same text and font, which has started the caches over when the font changed.
  QHash<QString, QStaticText>& cache = elided_[bold];
  if (cache.size() > 8192) cache.clear();
  const QString key = QString::number(width) + QChar(0) + text;
  auto it = cache.find(key);
  if (it == cache.end()) {
    QStaticText shaped(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
    shaped.setTextFormat(Qt::PlainText);
    shaped.prepare(QTransform(), font);
    it = cache.insert(key, shaped);
  }
  return *it;
}

bool TNetworkListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) {
  if (index.column() == kMarker && event->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() == Qt::LeftButton && SwatchRect(option, index).contains(me->position().toPoint())) {
      if (TWLANNetwork* n = model_->NetworkOfRow(index.row())) emit SwatchClicked(n);
      return true;
    }
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}

// ---- view ------------------------------------------------------------------------------------------------

TNetworkListView::TNetworkListView(const TProgramOptions& options, TNetworkListModel* model, QWidget* parent)
    : QTreeView(parent), model_(model) {
  setObjectName(QStringLiteral("vstNetworkList"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSortingEnabled(false);
  setModel(model);
  model->SetSelectionModel(selectionModel());
  delegate_ = new TNetworkListDelegate(options, model, this);
  setItemDelegate(delegate_);
  QHeaderView* h = header();
  h->setSectionsClickable(true);
  h->setSectionsMovable(true);
  h->setSortIndicatorShown(true);
  h->setMinimumSectionSize(50);
  h->setStretchLastSection(false);
  h->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(h, &QHeaderView::sectionClicked, this, &TNetworkListView::HeaderClicked);
  // The header flips its own indicator on a click; the model's state is what counts.
  connect(h, &QHeaderView::sortIndicatorChanged, this, [this] { ShowSortIndicator(); });
}

void TNetworkListView::HeaderClicked(int column) {
  if (column <= kMarker || column >= NetworkColumnCount) {
    ShowSortIndicator();
    return;
  }
  Qt::SortOrder order = Qt::AscendingOrder;
  if (column == model_->SortColumn())
    order = model_->SortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  model_->Sort(column, order);
  ShowSortIndicator();
}

void TNetworkListView::ShowSortIndicator() {
  QSignalBlocker block(header());
  header()->setSortIndicator(model_->SortColumn(), model_->SortOrder());
}

void TNetworkListView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) clearSelection();
  QTreeView::keyReleaseEvent(event);
}

}  // namespace skimlet

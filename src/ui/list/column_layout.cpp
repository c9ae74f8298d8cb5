#include "ui/list/column_layout.h"

#include <QHeaderView>

#include <algorithm>

namespace skimlet {

Qt::Alignment AlignmentFromStored(int32_t stored) {
  switch (stored) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
  }
}

int32_t AlignmentToStored(Qt::Alignment alignment) {
  if (alignment & Qt::AlignRight) return 1;
  if (alignment & Qt::AlignHCenter) return 2;
  return 0;
}

void ApplyLayout(QTreeView& view, const TColumnLayout& layout) {
  QHeaderView* header = view.header();
  QAbstractItemModel* model = view.model();
  const int count = std::min<int>(static_cast<int>(layout.size()), header->count());
  header->setMinimumSectionSize(50);
  size_t sorted = 0;
  for (int i = 0; i < count; ++i) {
    const TListColumnStore& c = layout[static_cast<size_t>(i)];
    if (model) {
      model->setHeaderData(i, Qt::Horizontal, QString::fromStdString(c.Caption), Qt::DisplayRole);
      model->setHeaderData(i, Qt::Horizontal, c.Alignment, kColumnAlignmentRole);
    }
    header->setSectionHidden(i, false);
    header->resizeSection(i, std::max(50, c.Width));
    if (c.Sorted) sorted = static_cast<size_t>(i);
  }
  for (int p = 0; p < count; ++p)
    for (int i = 0; i < count; ++i)
      if (layout[static_cast<size_t>(i)].Position == p) header->moveSection(header->visualIndex(i), p);
  {
    QSignalBlocker block(header);
    header->setSortIndicator(static_cast<int>(sorted), layout.empty() || layout[sorted].SortDirection != 1
                                                           ? Qt::AscendingOrder
                                                           : Qt::DescendingOrder);
  }
  for (int i = 0; i < count; ++i) {
    const TListColumnStore& c = layout[static_cast<size_t>(i)];
    header->setSectionHidden(i, !c.Visible && !c.Locked);
  }
}

void ReadLayout(const QTreeView& view, TColumnLayout& layout) {
  const QHeaderView* header = view.header();
  const QAbstractItemModel* model = view.model();
  const int count = std::min<int>(static_cast<int>(layout.size()), header->count());
  for (int i = 0; i < count; ++i) {
    TListColumnStore& c = layout[static_cast<size_t>(i)];
    if (model) {
      QVariant a = model->headerData(i, Qt::Horizontal, kColumnAlignmentRole);
      if (a.isValid()) c.Alignment = a.toInt();
      c.Caption = model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    }
    c.Visible = !header->isSectionHidden(i);
    if (c.Visible) c.Width = header->sectionSize(i);
    c.Position = header->visualIndex(i);
    c.Sorted = i == header->sortIndicatorSection();
    if (c.Sorted) c.SortDirection = header->sortIndicatorOrder() == Qt::DescendingOrder ? 1 : 0;
  }
}

}  // namespace skimlet

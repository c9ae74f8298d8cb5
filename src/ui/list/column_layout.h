// Column layouts between the stored records and Qt headers: titles, alignments, widths, order, visibility and
// the sort indicator.
#pragma once

#include <QTreeView>

#include "core/settings/options.h"

namespace skimlet {

// Header data role that carries a column's alignment (0 left, 1 right, 2 centre) between a layout and a model.
inline constexpr int kColumnAlignmentRole = Qt::UserRole + 1;

Qt::Alignment AlignmentFromStored(int32_t stored);
int32_t AlignmentToStored(Qt::Alignment alignment);

// Copies Layout into the view's columns: titles and alignments (through the model's header data), widths (at
// least 50), display positions, visibility, and the sort indicator (the last sorted column, else column 0,
// with that column's direction).
void ApplyLayout(QTreeView& view, const TColumnLayout& layout);
// Copies the view's columns back: alignment, width (a hidden column keeps its stored width), title,
// visibility, position; Sorted for the sort indicator's column, whose direction is stored too.
void ReadLayout(const QTreeView& view, TColumnLayout& layout);

}  // namespace skimlet

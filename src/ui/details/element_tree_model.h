// The element tree of one network as a Qt item model. The model owns the decoded tree and answers the view
// from it directly: an index carries its line number, so no item objects are made for the hundreds of lines a
// beacon has.
#pragma once

#include <QAbstractItemModel>

#include <set>
#include <string>
#include <vector>

#include "core/ie/tree.h"

namespace skimlet::ui {

// The element line (the second level, under the root) a line belongs to; the line itself when it is on the
// first or second level.
TIETreeLine ElementLineOf(const TIETree& tree, TIETreeLine line);

class TElementTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  using QAbstractItemModel::QAbstractItemModel;

  // Decodes Blob into a new tree.
  void Load(const std::vector<uint8_t>& blob);
  void Clear();
  const TIETree& Tree() const { return tree_; }

  QModelIndex IndexOfLine(TIETreeLine line) const;
  TIETreeLine LineOfIndex(const QModelIndex& index) const;

  // The paths (rows from the top) of lines, to restore an expand state on a tree of the same shape.
  static std::vector<int> PathOf(const TIETree& tree, TIETreeLine line);
  TIETreeLine LineOfPath(const std::vector<int>& path) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;

 private:
  void IndexChildren();

  TIETree tree_;
  // The children of every line in row order; entry 0 holds the top-level lines, entry L + 1 those of line L.
  std::vector<std::vector<TIETreeLine>> children_{1};
};

}  // namespace skimlet::ui

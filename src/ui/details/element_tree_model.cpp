#include "ui/details/element_tree_model.h"

#include "core/ie/elements.h"

namespace skimlet::ui {

TIETreeLine ElementLineOf(const TIETree& tree, TIETreeLine line) {
  if (!tree.Valid(line)) return kNoLine;
  while (tree.Level(line) > 1) line = tree.Parent(line);
  return line;
}

void TElementTreeModel::Load(const std::vector<uint8_t>& blob) {
  beginResetModel();
  tree_.Clear();
  TInformationElements elements;
  elements.Parse(blob);
  elements.FillTree(tree_);
  IndexChildren();
  endResetModel();
}

void TElementTreeModel::Clear() {
  beginResetModel();
  tree_.Clear();
  IndexChildren();
  endResetModel();
}

void TElementTreeModel::IndexChildren() {
  children_.assign(tree_.Count() + 1, {});
  tree_.ForEach([this](TIETreeLine line) { children_[static_cast<size_t>(tree_.Parent(line) + 1)].push_back(line); });
}

QModelIndex TElementTreeModel::IndexOfLine(TIETreeLine line) const {
  if (!tree_.Valid(line)) return {};
  return createIndex(tree_.Row(line), 0, static_cast<quintptr>(line));
}

TIETreeLine TElementTreeModel::LineOfIndex(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return kNoLine;
  const auto line = static_cast<TIETreeLine>(index.internalId());
  return tree_.Valid(line) ? line : kNoLine;
}

std::vector<int> TElementTreeModel::PathOf(const TIETree& tree, TIETreeLine line) {
  std::vector<int> path;
  for (; tree.Valid(line); line = tree.Parent(line)) path.insert(path.begin(), tree.Row(line));
  return path;
}

TIETreeLine TElementTreeModel::LineOfPath(const std::vector<int>& path) const {
  TIETreeLine line = kNoLine;
  for (int row : path) {
    line = tree_.Child(line, row);
    if (line == kNoLine) return kNoLine;
  }
  return line;
}

QModelIndex TElementTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const TIETreeLine p = parent.isValid() ? LineOfIndex(parent) : kNoLine;
  if (parent.isValid() && p == kNoLine) return {};
  const auto& kids = children_[static_cast<size_t>(p + 1)];
  if (static_cast<size_t>(row) >= kids.size()) return {};
  return createIndex(row, 0, static_cast<quintptr>(kids[static_cast<size_t>(row)]));
}

QModelIndex TElementTreeModel::parent(const QModelIndex& index) const {
  const TIETreeLine line = LineOfIndex(index);
  if (line == kNoLine) return {};
  return IndexOfLine(tree_.Parent(line));
}

int TElementTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  if (!parent.isValid()) return tree_.ChildCount(kNoLine);
  const TIETreeLine line = LineOfIndex(parent);
  return line == kNoLine ? 0 : tree_.ChildCount(line);
}

int TElementTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TElementTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TElementTreeModel::data(const QModelIndex& index, int role) const {
  const TIETreeLine line = LineOfIndex(index);
  if (line == kNoLine) return {};
  const TIETreeData& d = tree_.Data(line);
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(d.Text);
    default: return {};
  }
}

}  // namespace skimlet::ui

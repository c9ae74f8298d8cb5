#include "ui/details/advanced_details.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeView>

#include <algorithm>

#include "core/base/datetime.h"
#include "core/model/network.h"
#include "core/model/network_list.h"
#include "ui/details/element_tree_model.h"
#include "ui/hexview/hex_dump_viewer.h"
#include "ui/report/file_dialogs.h"
#include "ui/report/view_export.h"

namespace skimlet::ui {

TAdvancedDetails::TAdvancedDetails(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("splAdvancedDetails"));
  layout->addWidget(splitter_);

  treeStack_ = new QStackedWidget(splitter_);
  emptyLabel_ = new QLabel(QStringLiteral("Select a wireless network to view advanced details."), treeStack_);
  emptyLabel_->setObjectName(QStringLiteral("lblSelectNetworkForDetails"));  // its text comes from the language
  emptyLabel_->setTextFormat(Qt::PlainText);
  emptyLabel_->setAlignment(Qt::AlignCenter);
  emptyLabel_->setWordWrap(true);
  tree_ = new QTreeView(treeStack_);
  tree_->setObjectName(QStringLiteral("vstElements"));
  tree_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->header()->setStretchLastSection(false);
  model_ = new TElementTreeModel(this);
  tree_->setModel(model_);
  treeStack_->addWidget(emptyLabel_);
  treeStack_->addWidget(tree_);

  viewer_ = new THexDumpViewer(splitter_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);

  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { LineSelected(); });
  connect(splitter_, &QSplitter::splitterMoved, this, [this] { moved_ = true; });
  connect(viewer_, &THexDumpViewer::ByteClicked, this, [this](qint64 byte) { ByteClicked(byte); });
  viewer_->ExportHandler = [this] { ExportDump(); };
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QMenu menu(tree_);
    FillTreeMenu(menu);
    menu.exec(tree_->viewport()->mapToGlobal(pos));
  });
}

namespace {

// Element lines are single lines as a rule; one that holds a TAB or a line break is quoted so that the lines
// keep their structure.
QString ClipboardLine(const std::string& text) {
  QString line = QString::fromStdString(text);
  if (line.contains(QLatin1Char('\t')) || line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
    line = QLatin1Char('"') + line.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
  return line;
}

}  // namespace

QString TAdvancedDetails::SelectedLinesText() const {
  QStringList lines;
  QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
  std::sort(selected.begin(), selected.end(), [this](const QModelIndex& a, const QModelIndex& b) {
    return model_->LineOfIndex(a) < model_->LineOfIndex(b);
  });
  for (const QModelIndex& i : selected) {
    const TIETreeLine line = model_->LineOfIndex(i);
    if (line != kNoLine) lines << ClipboardLine(model_->Tree().Data(line).Text);
  }
  return lines.join(QStringLiteral("\r\n"));
}

QString TAdvancedDetails::AllLinesText() const {
  QStringList lines;
  for (const report::TExportRow& row : report::ElementTreeTable(model_->Tree()).Rows)
    lines << QString(std::max(row.Level, 0), QLatin1Char('\t')) +
                 ClipboardLine(row.Cells.empty() ? std::string() : row.Cells[0]);
  return lines.join(QStringLiteral("\r\n"));
}

void TAdvancedDetails::ExportTree() {
  if (bssid_.empty() || model_->Tree().Count() == 0) return;
  const QString proposed = QString::fromStdString(report::ProposedElementTreeName(ssid_, bssid_, LocalNow()));
  // The tree is read after the dialog: the page may show another network by then.
  ExportView(
      window(), [this] { return report::ElementTreeTable(model_->Tree()); }, proposed);
}

void TAdvancedDetails::ExportDump() {
  if (bssid_.empty()) return;
  ExportElementDump(window(), *viewer_, ssid_, bssid_);
}

void TAdvancedDetails::FillTreeMenu(QMenu& menu) {
  const bool lines = model_->rowCount() > 0;
  const bool selection = tree_->selectionModel()->hasSelection();
  const auto add = [&](const char* name, std::string_view caption, bool enabled, auto slot) {
    QAction* a = menu.addAction(Tr(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  add("actIETreeCopy", "Copy", selection, [this] { QApplication::clipboard()->setText(SelectedLinesText()); });
  add("actIETreeCopyAll", "Copy all", lines, [this] { QApplication::clipboard()->setText(AllLinesText()); });
  add("actIETreeExport", "Export to file", lines, [this] { ExportTree(); });
  menu.addSeparator();
  add("actIETreeExpandAll", "Expand all", lines, [this] { tree_->expandAll(); });
  add("actIETreeCollapseAll", "Collapse all", lines, [this] { tree_->collapseAll(); });
  menu.addSeparator();
  add("actIETreeRefresh", "Refresh", !bssid_.empty(), [this] { emit RefreshRequested(); });
}

void TAdvancedDetails::SetViewerWidth(int width) {
  viewerWidth_ = std::max(50, width);
  ApplyViewerWidth();
}

int TAdvancedDetails::ViewerWidth() const {
  const QList<int> sizes = splitter_->sizes();
  return moved_ && sizes.size() == 2 && sizes[1] > 0 ? sizes[1] : viewerWidth_;
}

// The dump keeps its width as the page grows or shrinks, until the user moves the splitter.
void TAdvancedDetails::ApplyViewerWidth() {
  if (moved_ || width() <= 0) return;
  QSignalBlocker block(splitter_);
  splitter_->setSizes({std::max(100, width() - viewerWidth_), viewerWidth_});
}

void TAdvancedDetails::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  ApplyViewerWidth();
}

void TAdvancedDetails::SetEmptyText(const QString& text) { emptyLabel_->setText(text); }

void TAdvancedDetails::Clear() {
  bssid_.clear();
  ssid_.clear();
  model_->Clear();
  viewer_->ClearBytes();
  treeStack_->setCurrentWidget(emptyLabel_);
}

void TAdvancedDetails::ShowNetwork(const TWLANNetwork* network) {
  if (!network) {
    Clear();
    return;
  }
  ssid_ = network->SSID;
  const std::vector<uint8_t>& blob = network->Elements.Data;
  const bool same = network->BSSIDText == bssid_;
  if (same && viewer_->DataLength() == static_cast<int64_t>(blob.size()) &&
      std::equal(blob.begin(), blob.end(), viewer_->Bytes().begin()))
    return;  // nothing new: tree, expand state, selection and scroll position stay

  // The expanded lines of the same network, by their path, survive new bytes of the same shape.
  std::vector<std::vector<int>> expanded;
  if (same)
    model_->Tree().ForEach([&](TIETreeLine line) {
      if (tree_->isExpanded(model_->IndexOfLine(line)))
        expanded.push_back(TElementTreeModel::PathOf(model_->Tree(), line));
    });

  bssid_ = network->BSSIDText;
  viewer_->LoadBytes(blob);
  model_->Load(blob);
  treeStack_->setCurrentWidget(tree_);
  if (same) {
    for (const auto& path : expanded) tree_->expand(model_->IndexOfLine(model_->LineOfPath(path)));
  } else {
    tree_->expand(model_->index(0, 0));  // the root line shows the elements
  }
}

void TAdvancedDetails::Revalidate(const TWLANNetworkList* list) {
  if (bssid_.empty()) return;
  const bool present = list && std::any_of(list->Items.begin(), list->Items.end(),
                                           [this](const auto& n) { return n->BSSIDText == bssid_; });
  if (!present) Clear();
}

void TAdvancedDetails::LineSelected() {
  const TIETreeLine line = model_->LineOfIndex(tree_->currentIndex());
  viewer_->SetOuterRange({});
  viewer_->SetInnerRange({});
  if (line == kNoLine) return;
  const TIETree& t = model_->Tree();
  if (t.Level(line) > 1) {
    const TIETreeData& e = t.Data(ElementLineOf(t, line));
    viewer_->SetOuterRange({e.Offset, e.Length});
  }
  const TIETreeData& d = t.Data(line);
  viewer_->SetInnerRange({d.Offset, d.Length});
  viewer_->ScrollToInnerRange();
}

void TAdvancedDetails::SelectLine(TIETreeLine line) {
  const QModelIndex index = model_->IndexOfLine(line);
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index);
}

void TAdvancedDetails::ByteClicked(int64_t byte) {
  if (byte < 0 || byte >= viewer_->DataLength()) return;
  const TIETreeLine line = model_->Tree().DeepestLineAt(static_cast<int32_t>(byte));
  if (line == kNoLine) return;
  SelectLine(line);
  tree_->setFocus();
}

}  // namespace skimlet::ui

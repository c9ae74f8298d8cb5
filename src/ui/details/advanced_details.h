// The "Advanced details" page: the element tree of one network beside the hex dump of its element bytes,
// linked both ways. The page remembers its network by BSSID only and copies what it shows, so a record that
// goes away can leave nothing dangling here; Revalidate empties the page when the record is gone.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "core/ie/tree.h"

class QSplitter;
class QStackedWidget;
class QLabel;
class QMenu;
class QTreeView;

namespace skimlet {
struct TWLANNetwork;
class TWLANNetworkList;
}  // namespace skimlet

namespace skimlet::ui {

class TElementTreeModel;
class THexDumpViewer;

class TAdvancedDetails : public QWidget {
  Q_OBJECT
 public:
  explicit TAdvancedDetails(QWidget* parent = nullptr);

  // Shows Network's elements (nullptr empties the page). The same network again with the same bytes keeps
  // the expanded lines and the selection; new bytes of the same network keep the expanded lines.
  void ShowNetwork(const TWLANNetwork* network);
  // Empties the page when its network is no longer in List (or there is no list).
  void Revalidate(const TWLANNetworkList* list);
  void Clear();

  // BSSID text and SSID of the network shown; empty when none.
  const std::string& ElementBSSID() const { return bssid_; }
  const std::string& ElementSSID() const { return ssid_; }

  // The element tree's context menu: Copy, Copy all, Export to file, Expand all, Collapse all, Refresh,
  // enabled by the tree's selection and lines.
  void FillTreeMenu(QMenu& menu);
  // The selected lines, one per line; every line indented by one TAB per level below the top.
  QString SelectedLinesText() const;
  QString AllLinesText() const;
  // The element tree to a file ("Information Elements for AP ..."); nothing without a network.
  void ExportTree();
  // The hex dump's bytes to a file ("Dump for AP ..."); nothing without a network.
  void ExportDump();

 signals:
  // The tree's Refresh: the window shows its selected network again.
  void RefreshRequested();

 public:
  TElementTreeModel* Model() const { return model_; }
  QTreeView* TreeView() const { return tree_; }
  THexDumpViewer* Viewer() const { return viewer_; }
  QSplitter* Splitter() const { return splitter_; }

  // A line was chosen: its element's bytes and its own bytes are marked and scrolled into view.
  void SelectLine(TIETreeLine line);
  // A byte was clicked: the deepest line covering it is selected and shown, and the tree gets the focus.
  void ByteClicked(int64_t byte);

  void SetEmptyText(const QString& text);
  // Width of the hex dump beside the tree; applied when the page first gets its size.
  void SetViewerWidth(int width);
  int ViewerWidth() const;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void LineSelected();
  void ApplyViewerWidth();

  QSplitter* splitter_ = nullptr;
  QStackedWidget* treeStack_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QTreeView* tree_ = nullptr;
  TElementTreeModel* model_ = nullptr;
  THexDumpViewer* viewer_ = nullptr;
  std::string bssid_;
  std::string ssid_;
  int viewerWidth_ = 650;
  bool moved_ = false;
};

}  // namespace skimlet::ui

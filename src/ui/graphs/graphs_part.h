// The graph pages under the network list: the band pages with their spectrum graphs and the Graphs page with
// the network time graph; a part of the window.
#pragma once

#include <QObject>

#include "ui/base/window_part.h"

class QTabWidget;
class QWidget;

namespace skimlet {

class TNetworkListModel;
class TWindowGraphs;
struct TProgramOptions;

namespace ui {

class TGraphsPart : public QObject, public TWindowPart {
  Q_OBJECT

 public:
  // Adds the band pages and the Graphs page to Pages; Rows is the list the graphs draw.
  TGraphsPart(QTabWidget* pages, TNetworkListModel* rows, const TProgramOptions& options);
  ~TGraphsPart() override;

  // nullptr once the part is gone.
  TWindowGraphs* Graphs() const { return graphs_; }

  void ApplyLanguage() override;
  void ApplyOptions(bool layoutChanged) override;
  void Tick() override;
  // The selected network is drawn apart: the showing graph repaints at once.
  void SelectionChanged() override;
  // The 6 GHz page shows once the list has a 6 GHz network.
  void NetworksChanged(const TWLANNetworkList* list) override;

 private:
  TWindowGraphs* graphs_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

// The detail pages under the network list: "Network details" (the label grid with the single-network graph
// beside it) and "Advanced details" (the element tree with the hex dump); a part of the window. Each page shows
// the first selected row's network while it is the page showing.
#pragma once

#include <QObject>

#include "ui/base/window_part.h"

class QTabWidget;
class QWidget;

namespace skimlet {

class TNetworkListView;
class TSingleNetworkGraph;
struct TProgramOptions;

namespace ui {

class TAdvancedDetails;
class TNetworkDetails;

class TDetailsPart : public QObject, public TWindowPart {
  Q_OBJECT

 public:
  // Adds both pages to Pages; List is the network list whose selection they show.
  TDetailsPart(QTabWidget* pages, TNetworkListView* list, TProgramOptions& options);
  ~TDetailsPart() override;

  TNetworkDetails* NetworkDetails() const { return details_; }
  TAdvancedDetails* AdvancedDetails() const { return advanced_; }
  // nullptr once the part is gone.
  TSingleNetworkGraph* SingleGraph() const { return singleGraph_; }
  QWidget* NetworkDetailsPage() const { return detailsPage_; }
  QWidget* AdvancedDetailsPage() const { return advancedPage_; }

  // Shows the first selected row's network on the page that is showing.
  void Refresh();

  void ApplyLanguage() override;
  void ApplyOptions(bool layoutChanged) override;
  void Tick() override;
  void RestoreLayout() override;
  void StoreLayout() override;
  void SelectionChanged() override;
  void NetworksChanged(const TWLANNetworkList* list) override;

 private:
  QTabWidget* pages_;
  TNetworkListView* list_;
  TProgramOptions& options_;
  QWidget* detailsPage_ = nullptr;
  QWidget* advancedPage_ = nullptr;
  TNetworkDetails* details_ = nullptr;
  TAdvancedDetails* advanced_ = nullptr;
  TSingleNetworkGraph* singleGraph_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

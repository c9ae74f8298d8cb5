#include "ui/connection/connection_page.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/settings/options.h"
#include "core/wlan/wlan_connection.h"
#include "core/wlan/wlan_interface.h"
#include "render/wifi_graphs.h"
#include "ui/connection/current_connection.h"
#include "ui/graphs/graph_view.h"
#include "ui/list/network_view.h"

namespace skimlet::ui {

// ---- TConnectionGraphs

TConnectionGraphs::TConnectionGraphs(std::function<const TCurrentConnectionSeries*()> series, TNetworkListModel* rows,
                                     const TProgramOptions& options, QWidget* parent)
    : QWidget(parent), options_(options) {
  setObjectName(QStringLiteral("pnlCurrConGraphs"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(QStringLiteral("splCurrConGraphs"));
  splitter_->setChildrenCollapsible(false);
  for (int type = 0; type < 2; ++type) {
    auto graph = std::make_unique<TGraphCurrentConnection>();
    graph->ConnectionSeries = series;
    graph->ValueType = type;
    graph->AutoScale = false;
    graph->ShowLegend = true;
    graph->LegendWidth = 100;  // the first paint measures its own
    graph->ColumnTitle = [rows](int column) {
      return rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    views_[type] = new TGraphView(std::move(graph), splitter_);
    views_[type]->setObjectName(type == 0 ? QStringLiteral("grCurrConRSSI") : QStringLiteral("grCurrConQuality"));
    splitter_->addWidget(views_[type]);
  }
  // The signal strength takes half the panel's height.
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 1);
  const int half = std::max(1, height() / 2);
  splitter_->setSizes({half, half});
  layout->addWidget(splitter_);
  ApplyGraphOptions();
}

void TConnectionGraphs::ApplyGraphOptions() {
  for (TGraphView* view : views_)
    if (view) static_cast<TGraphCurrentConnection&>(view->Graph()).WindowMinutes = options_.TimeWindowMinutes;
}

void TConnectionGraphs::Tick() {
  // A widget is visible only while every page around it is the current one.
  if (window()->isMinimized() || !isVisible()) return;
  for (TGraphView* view : views_)
    if (view) view->update();
}

void TConnectionGraphs::Free() {
  delete splitter_;
  splitter_ = nullptr;
  for (auto*& v : views_) v = nullptr;
}

// ---- TConnectionPage

TConnectionPage::TConnectionPage(QTabWidget* pages, TProgramOptions& options, TNetworkListModel* rows,
                                 std::function<TWLANInterface*()> selected, QAction* disconnect, QAction* profiles,
                                 QAction* radioSwitch)
    : options_(options) {
  page_ = new QWidget();
  page_->setObjectName(QStringLiteral("tsCurrentConnection"));
  auto* layout = new QHBoxLayout(page_);
  layout->setContentsMargins(2, 2, 2, 2);
  splitter_ = new QSplitter(Qt::Horizontal, page_);
  splitter_->setObjectName(QStringLiteral("splCurrentConnection"));
  auto* left = new QWidget(splitter_);
  left->setObjectName(QStringLiteral("pnlCurrentConnection"));
  panel_ = new TCurrentConnectionPanel(disconnect, profiles, radioSwitch, left);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addWidget(panel_);
  graphs_ = new TConnectionGraphs(
      [selected]() -> const TCurrentConnectionSeries* {
        const TWLANInterface* itf = selected();
        return itf && itf->Connection ? &itf->Connection->Series : nullptr;
      },
      rows, options_, splitter_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({options_.aCurrConPanelWidth, 600});
  layout->addWidget(splitter_);
  pages->addTab(page_, QStringLiteral("Current connection"));
}

// The graphs go first: they read the interfaces' records on every paint.
TConnectionPage::~TConnectionPage() { graphs_->Free(); }

void TConnectionPage::ApplyLanguage() { panel_->ApplyLanguage(); }

void TConnectionPage::ApplyOptions(bool) { graphs_->ApplyGraphOptions(); }

void TConnectionPage::Tick() { graphs_->Tick(); }

void TConnectionPage::RestoreLayout() {
  panel_->SetRadioPanelHeight(options_.aRadioPanelHeight);
  panel_->ApplyLayouts(options_.Layouts);
}

void TConnectionPage::StoreLayout() {
  panel_->ReadLayouts(options_.Layouts);
  // A page never shown has had no layout: its sizes say nothing, the stored ones stay.
  if (!panel_->WasShown()) return;
  if (const QList<int> sizes = splitter_->sizes(); !sizes.isEmpty() && sizes[0] > 0)
    options_.aCurrConPanelWidth = sizes[0];
  if (const int radio = panel_->RadioPanelHeight(); radio > 0) options_.aRadioPanelHeight = radio;
}

void TConnectionPage::SetInterface(TWLANInterface* itf) {
  panel_->RefreshConnectionView(itf);
  panel_->RefreshRadioView(itf);
}

}  // namespace skimlet::ui

#include "ui/details/details_part.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/settings/options.h"
#include "ui/details/advanced_details.h"
#include "ui/details/network_details.h"
#include "ui/graphs/single_network_graph.h"
#include "ui/list/network_view.h"

namespace skimlet::ui {

TDetailsPart::TDetailsPart(QTabWidget* pages, TNetworkListView* list, TProgramOptions& options)
    : pages_(pages), list_(list), options_(options) {
  // Network details: labels on the left, the single-network graph panel on the right.
  detailsPage_ = new QWidget();
  detailsPage_->setObjectName(QStringLiteral("tsNetworkDetails"));
  pages_->addTab(detailsPage_, QStringLiteral("Network details"));
  details_ = new TNetworkDetails(detailsPage_);
  auto* detailsLayout = new QHBoxLayout(detailsPage_);
  detailsLayout->addWidget(details_);
  singleGraph_ = new TSingleNetworkGraph(detailsPage_, list_->Model(), options_);
  detailsLayout->addWidget(singleGraph_);

  advancedPage_ = new QWidget();
  advancedPage_->setObjectName(QStringLiteral("tsAdvancedDetails"));
  pages_->addTab(advancedPage_, QStringLiteral("Advanced details"));
  advanced_ = new TAdvancedDetails(advancedPage_);
  (new QVBoxLayout(advancedPage_))->addWidget(advanced_);

  // The element page follows the selection while it shows, and forgets its network whenever the list's records
  // go: a new list (interface switch, snapshot) or a cleared one empties it, removed rows make it look again.
  TNetworkListModel* model = list_->Model();
  connect(pages_, &QTabWidget::currentChanged, this, [this] { Refresh(); });
  connect(model, &QAbstractItemModel::modelReset, this, [this] { advanced_->Clear(); });
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this, model] { advanced_->Revalidate(model->List()); });
  connect(advanced_, &TAdvancedDetails::RefreshRequested, this, [this] { Refresh(); });
}

// The graph goes before the lists: it reads the records on every paint.
TDetailsPart::~TDetailsPart() {
  delete singleGraph_;
  singleGraph_ = nullptr;
}

void TDetailsPart::Refresh() {
  QWidget* page = pages_->currentWidget();
  if (page != advancedPage_ && page != detailsPage_) return;
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  const TWLANNetwork* n = nullptr;
  if (!rows.isEmpty()) {
    int first = rows.front().row();
    for (const QModelIndex& i : rows) first = std::min(first, i.row());
    n = list_->Model()->NetworkOfRow(first);
  }
  if (page == detailsPage_) {
    details_->ShowNetwork(n);
    if (singleGraph_) singleGraph_->Refresh();
  } else {
    advanced_->ShowNetwork(n);
  }
}

void TDetailsPart::ApplyLanguage() {
  if (singleGraph_) singleGraph_->ApplyLanguage();
  QStringList titles;
  for (int i = 0; i < NetworkColumnCount; ++i)
    titles << list_->Model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
  details_->SetTitles(titles);
}

void TDetailsPart::ApplyOptions(bool) {
  if (singleGraph_) singleGraph_->ApplyGraphOptions();
}

void TDetailsPart::Tick() {
  if (pages_->isVisible() && pages_->currentWidget() == detailsPage_) Refresh();
}

void TDetailsPart::RestoreLayout() { advanced_->SetViewerWidth(options_.HexDumpViewerWidth); }

void TDetailsPart::StoreLayout() { options_.HexDumpViewerWidth = advanced_->ViewerWidth(); }

void TDetailsPart::SelectionChanged() { Refresh(); }

void TDetailsPart::NetworksChanged(const TWLANNetworkList* list) {
  advanced_->Revalidate(list);
  Refresh();
}

}  // namespace skimlet::ui

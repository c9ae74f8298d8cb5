#include "ui/graphs/graphs_part.h"

#include <QTabWidget>

#include "core/model/network_list.h"
#include "core/radio/values.h"
#include "ui/base/tr.h"
#include "ui/graphs/graph_view.h"
#include "ui/list/network_view.h"

namespace skimlet::ui {

TGraphsPart::TGraphsPart(QTabWidget* pages, TNetworkListModel* rows, const TProgramOptions& options) {
  auto page = [pages](const char* name, const QString& caption) {
    auto* p = new QWidget();
    p->setObjectName(QString::fromUtf8(name));
    pages->addTab(p, caption);
    return p;
  };
  QWidget* band1 = page("tsBand1", Tr("2.4 and 5Ghz"));
  QWidget* band2 = page("tsBand2", Tr("5Ghz"));
  QWidget* graphsPage = page("tsGraphs", QStringLiteral("Graphs"));
  graphs_ = new TWindowGraphs(pages, graphsPage, band1, band2, rows, options, this);
  // A ticked or unticked row shows or leaves the graphs at once, not at the next tick of the graph timer.
  connect(rows, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (roles.contains(Qt::CheckStateRole)) graphs_->Tick();
          });
}

// The graphs go before the lists: they read the records on every paint.
TGraphsPart::~TGraphsPart() {
  graphs_->Free();
  delete graphs_;
  graphs_ = nullptr;
}

void TGraphsPart::ApplyLanguage() { graphs_->ApplyLanguage(); }

void TGraphsPart::ApplyOptions(bool layoutChanged) {
  if (layoutChanged) graphs_->BuildBandGraphs();
  graphs_->ApplyGraphOptions();
}

void TGraphsPart::Tick() { graphs_->Tick(); }

void TGraphsPart::SelectionChanged() { graphs_->Tick(); }

void TGraphsPart::NetworksChanged(const TWLANNetworkList* list) {
  bool six = false;
  if (list)
    for (const auto& n : list->Items) six = six || n->Band == kBand6GHz;
  graphs_->SetHears6GHz(six);
}

}  // namespace skimlet::ui

#include "ui/graphs/single_network_graph.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/graph/geometry.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "ui/graphs/graph_view.h"
#include "ui/list/network_view.h"
#include "ui/base/widgets.h"

namespace skimlet {

TSingleNetworkGraph::TSingleNetworkGraph(QWidget* page, TNetworkListModel* rows, const TProgramOptions& options)
    : QWidget(page), page_(page), rows_(rows), options_(options) {
  setObjectName(QStringLiteral("pnlSingleNetworkGraph"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  cbValue_ = new QComboBox(this);
  cbValue_->setObjectName(QStringLiteral("cbSingleGraphValue"));
  layout->addWidget(cbValue_);
  // The panel is narrow: the three labels share a row under the selector.
  auto* labels = new QHBoxLayout();
  stats_ = std::make_unique<ui::TStatsStrip>(this, QStringLiteral("lblSingleGraph"));
  for (QLabel* l : stats_->Labels()) labels->addWidget(l, 1);
  layout->addLayout(labels);

  auto graph = std::make_unique<TGraphWiFiTimeSingle>();
  graph->Tree = rows_;
  graph->AutoScale = true;
  graph->ShowLegend = false;
  graph->ColumnTitle = [rows](int column) {
    return rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  };
  view_ = new TGraphView(std::move(graph), this);
  view_->setObjectName(QStringLiteral("grSingleNetwork"));
  layout->addWidget(view_, 1);

  connect(cbValue_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    Graph().ValueType = index;
    Refresh();
  });
  setFixedWidth(PanelWidth(page_->width()));
  page_->installEventFilter(this);
  ApplyLanguage();
  ApplyGraphOptions();
}

TGraphWiFiTimeSingle& TSingleNetworkGraph::Graph() const { return static_cast<TGraphWiFiTimeSingle&>(view_->Graph()); }

bool TSingleNetworkGraph::eventFilter(QObject* watched, QEvent* event) {
  if (watched == page_ && event->type() == QEvent::Resize) setFixedWidth(PanelWidth(page_->width()));
  return QWidget::eventFilter(watched, event);
}

void TSingleNetworkGraph::ApplyLanguage() {
  const int index = std::max(0, cbValue_->currentIndex());
  {
    QSignalBlocker block(cbValue_);
    cbValue_->clear();
    for (int type = 0; type < 5; ++type) cbValue_->addItem(Graph().GetColumnCaption(QuantityColumn(type)));
    cbValue_->setCurrentIndex(index);
  }
  Graph().ValueType = index;
  UpdateSummary();
}

void TSingleNetworkGraph::ApplyGraphOptions() {
  Graph().FillSelected = options_.bFillSelectedSeries;
  Graph().WindowMinutes = options_.TimeWindowMinutes;
}

void TSingleNetworkGraph::Refresh() {
  // The labels read the window of the last paint, so the graph paints first when it shows.
  if (view_->isVisible()) view_->repaint();
  UpdateSummary();
}

TSingleNetworkGraph::~TSingleNetworkGraph() = default;

QString TSingleNetworkGraph::SummaryText() const { return stats_->Text(); }

void TSingleNetworkGraph::UpdateSummary() { stats_->Show(Graph().GetSelectedSeriesStats()); }

}  // namespace skimlet

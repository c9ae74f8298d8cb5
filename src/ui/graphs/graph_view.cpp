#include "ui/graphs/graph_view.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "ui/base/dialog_service.h"
#include "ui/base/tr.h"
#include "ui/base/widgets.h"
#include "ui/list/network_view.h"

namespace skimlet {

namespace {

using ui::Tr;

// The layout of a page, made once; its widgets are deleted when the page is rebuilt.
QVBoxLayout* ClearedLayout(QWidget* page) {
  auto* layout = qobject_cast<QVBoxLayout*>(page->layout());
  if (!layout) {
    layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
  }
  while (QLayoutItem* item = layout->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  return layout;
}

}  // namespace

// ---- TGraphView

TGraphView::TGraphView(std::unique_ptr<TGraph> graph, QWidget* parent) : QWidget(parent), graph_(std::move(graph)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 80);
}

// The whole graph is drawn into an off-screen image of the widget's size, then copied in one go: no flicker,
// and the image takes the direct line drawing.
void TGraphView::paintEvent(QPaintEvent*) {
  const qreal dpr = devicePixelRatioF();
  const QSize pixels = size() * dpr;
  if (buffer_.size() != pixels || buffer_.devicePixelRatio() != dpr) {
    buffer_ = QImage(pixels, QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(dpr);
  }
  {
    QPainter p(&buffer_);
    graph_->Render(p, size());
  }
  QPainter(this).drawImage(0, 0, buffer_);
}

void TGraphView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(Tr("Copy to clipboard"), this, &TGraphView::CopyToClipboard);
  menu.addAction(Tr("Export to file"), this, &TGraphView::ExportToFile);
  menu.addAction(Tr("Refresh"), this, qOverload<>(&QWidget::update));
  menu.exec(event->globalPos());
}

void TGraphView::CopyToClipboard() {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(grab().toImage());
}

void TGraphView::ExportToFile() {
  const QStringList filters = {QStringLiteral("PNG image (*.png)"), Tr("Bitmap file") + QStringLiteral(" (*.bmp)")};
  ui::TDialogService& dialogs = ui::DialogsFor(this);
  int filter = 0;
  const QString name = dialogs.SaveFile(this, Tr("Export to file"), graph_->ExportFileName() + ".png", filters, filter);
  if (name.isEmpty()) return;
  const std::string error = graph_->ExportToFile(name, size());
  if (!error.empty())
    dialogs.Message(this, name + "\n" + QString::fromStdString(error), Tr("sError"), QMessageBox::Critical,
                    QMessageBox::Ok);
}

// ---- TWindowGraphs

TWindowGraphs::TWindowGraphs(QTabWidget* tabs, QWidget* graphsPage, QWidget* band1, QWidget* band2,
                             TNetworkListModel* rows, const TProgramOptions& options, QObject* parent)
    : QObject(parent),
      tabs_(tabs),
      graphsPage_(graphsPage),
      band1_(band1),
      band2_(band2),
      rows_(rows),
      options_(options) {
  band3_ = new QWidget();
  band3_->setObjectName(QStringLiteral("tsBand3"));
  tabs_->insertTab(tabs_->indexOf(band2_) + 1, band3_, QStringLiteral("6 GHz"));
  tabs_->setTabVisible(tabs_->indexOf(band3_), false);

  // The Graphs page: value selector and summary above the network time graph.
  auto* layout = ClearedLayout(graphsPage_);
  auto* top = new QHBoxLayout();
  cbValue_ = new QComboBox(graphsPage_);
  cbValue_->setObjectName(QStringLiteral("cbGraphValue"));
  stats_ = std::make_unique<ui::TStatsStrip>(graphsPage_, QStringLiteral("lblGraph"));
  top->addWidget(cbValue_);
  for (QLabel* l : stats_->Labels()) {
    l->setMinimumWidth(90);
    top->addWidget(l);
  }
  top->addStretch(1);
  layout->addLayout(top);
  auto graph = std::make_unique<TGraphWiFiTime>();
  graph->Tree = rows_;
  graph->AutoScale = true;
  graph->ShowLegend = true;
  graph->ColumnTitle = [rows](int column) {
    return rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  };
  timeView_ = new TGraphView(std::move(graph), graphsPage_);
  timeView_->setObjectName(QStringLiteral("grNetworkTime"));
  layout->addWidget(timeView_, 1);
  connect(cbValue_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    TimeGraph()->ValueType = index;
    timeView_->update();
    UpdateSummary();
  });
  ApplyLanguage();
  BuildBandGraphs();
  ApplyGraphOptions();
}

TWindowGraphs::~TWindowGraphs() = default;

TGraphWiFiTime* TWindowGraphs::TimeGraph() const {
  return timeView_ ? static_cast<TGraphWiFiTime*>(&timeView_->Graph()) : nullptr;
}

TGraphView* TWindowGraphs::MakeSpectrum(int band, QWidget* parent) {
  std::unique_ptr<TGraphRSSIChannels> graph;
  switch (band) {
    case 0: graph = std::make_unique<TGraphRSSIChannel2>(); break;
    case 1: graph = std::make_unique<TGraphRSSIChannel5>(); break;
    default: graph = std::make_unique<TGraphRSSIChannel6>(); break;
  }
  graph->Tree = rows_;
  graph->AutoScale = false;
  graph->ShowLegend = false;
  graph->ColumnTitle = [rows = rows_](int column) {
    return rows->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  };
  auto* view = new TGraphView(std::move(graph), parent);
  view->setObjectName(QStringLiteral("grSpectrum%1").arg(band == 0 ? 2 : band == 1 ? 5 : 6));
  bandViews_[band] = view;
  return view;
}

void TWindowGraphs::BuildBandGraphs() {
  for (auto*& v : bandViews_) v = nullptr;
  bandSplitter_ = nullptr;
  QVBoxLayout* l1 = ClearedLayout(band1_);
  QVBoxLayout* l2 = ClearedLayout(band2_);
  QVBoxLayout* l3 = ClearedLayout(band3_);
  if (options_.BandsOnSinglePanel) {
    bandSplitter_ = new QSplitter(options_.BandsOnSinglePanelVertically ? Qt::Vertical : Qt::Horizontal, band1_);
    bandSplitter_->setObjectName(QStringLiteral("splBands"));
    bandSplitter_->setHandleWidth(9);
    bandSplitter_->setChildrenCollapsible(false);
    for (int band = 0; band < (hears6GHz_ ? 3 : 2); ++band) bandSplitter_->addWidget(MakeSpectrum(band, bandSplitter_));
    l1->addWidget(bandSplitter_);
  } else {
    l1->addWidget(MakeSpectrum(0, band1_));
    l2->addWidget(MakeSpectrum(1, band2_));
    l3->addWidget(MakeSpectrum(2, band3_));
  }
  CaptionBandPages();
  ApplyGraphOptions();
}

void TWindowGraphs::CaptionBandPages() {
  const int i1 = tabs_->indexOf(band1_), i2 = tabs_->indexOf(band2_), i3 = tabs_->indexOf(band3_);
  if (options_.BandsOnSinglePanel) {
    tabs_->setTabText(i1, hears6GHz_ ? Tr("2.4, 5 and 6Ghz", "2.4, 5 and 6 GHz") : Tr("2.4 and 5Ghz"));
    tabs_->setTabVisible(i2, false);
    tabs_->setTabVisible(i3, false);
  } else {
    tabs_->setTabText(i1, Tr("2.4Ghz"));
    tabs_->setTabText(i2, Tr("5Ghz"));
    tabs_->setTabText(i3, Tr("6Ghz", "6 GHz"));
    tabs_->setTabVisible(i2, true);
    tabs_->setTabVisible(i3, hears6GHz_);
  }
}

void TWindowGraphs::ApplyGraphOptions() {
  for (TGraphView* view : bandViews_) {
    if (!view) continue;
    auto& g = static_cast<TGraphRSSIChannels&>(view->Graph());
    g.DrawBackgroundSpectrum = options_.bDrawBackroundSpectrum;
    g.FillSelected = options_.bFillSelectedSeries;
    g.WindowMinutes = options_.TimeWindowMinutes;
  }
  if (TGraphWiFiTime* g = TimeGraph()) {
    g->FillSelected = options_.bFillSelectedSeries;
    g->WindowMinutes = options_.TimeWindowMinutes;
  }
}

void TWindowGraphs::ApplyLanguage() {
  if (!timeView_) return;
  const int index = std::max(0, cbValue_->currentIndex());
  {
    QSignalBlocker block(cbValue_);
    cbValue_->clear();
    for (int type = 0; type < 5; ++type) cbValue_->addItem(TimeGraph()->GetColumnCaption(QuantityColumn(type)));
    cbValue_->setCurrentIndex(index);
  }
  TimeGraph()->ValueType = index;
  CaptionBandPages();
  UpdateSummary();
}

void TWindowGraphs::SetHears6GHz(bool on) {
  if (on == hears6GHz_) return;
  hears6GHz_ = on;
  BuildBandGraphs();
}

QString TWindowGraphs::SummaryText() const { return stats_->Text(); }

void TWindowGraphs::UpdateSummary() { stats_->Show(TimeGraph() ? TimeGraph()->GetNetworkValueStats() : TRangeStats{}); }

void TWindowGraphs::Tick() {
  if (!timeView_ || tabs_->window()->isMinimized()) return;
  // A widget is visible only while every page around it is the current one.
  if (!tabs_->isVisible()) return;
  QWidget* current = tabs_->currentWidget();
  if (current == graphsPage_) {
    timeView_->update();
    UpdateSummary();
    return;
  }
  for (TGraphView* view : bandViews_)
    if (view && current->isAncestorOf(view)) view->update();
}

void TWindowGraphs::Free() {
  for (QWidget* page : {band1_, band2_, band3_}) ClearedLayout(page);
  for (auto*& v : bandViews_) v = nullptr;
  delete timeView_;
  timeView_ = nullptr;
}

}  // namespace skimlet

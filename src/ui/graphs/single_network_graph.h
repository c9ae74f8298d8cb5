// The graph panel of the "Network details" page: the selected network's history for one quantity (value
// selector on top) with the window's minimum, maximum and average of that series beside the selector.
#pragma once

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;

namespace skimlet {

namespace ui {
class TStatsStrip;
}

class TGraphView;
class TGraphWiFiTimeSingle;
class TNetworkListModel;
struct TProgramOptions;

class TSingleNetworkGraph : public QWidget {
  Q_OBJECT

 public:
  // Page: the details page whose width sets the panel's (200 up to a 1000 pixel page, the page width less
  // 800 beyond). Rows: the list the graph reads, with its selection.
  TSingleNetworkGraph(QWidget* page, TNetworkListModel* rows, const TProgramOptions& options);
  ~TSingleNetworkGraph() override;

  TGraphWiFiTimeSingle& Graph() const;
  TGraphView* View() const { return view_; }
  QComboBox* ValueSelector() const { return cbValue_; }
  QString SummaryText() const;

  // Repaints the graph and refreshes the labels.
  void Refresh();
  void ApplyLanguage();
  void ApplyGraphOptions();
  static int PanelWidth(int pageWidth) { return pageWidth <= 1000 ? 200 : pageWidth - 800; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateSummary();

  QWidget* page_;
  TNetworkListModel* rows_;
  const TProgramOptions& options_;
  TGraphView* view_ = nullptr;
  QComboBox* cbValue_ = nullptr;
  std::unique_ptr<ui::TStatsStrip> stats_;
};

}  // namespace skimlet

// The window's graphs: a widget that shows one render graph with the graph pop-up menu (copy, export,
// refresh), and the set of graphs the main window owns - the network time graph of the Graphs page with its
// value selector and summary labels, and the spectrum graphs of the band pages.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

#include "render/graph.h"

class QComboBox;
class QLabel;
class QSplitter;
class QTabWidget;

namespace skimlet {

namespace ui {
class TStatsStrip;
}

class TGraphRSSIChannels;
class TGraphWiFiTime;
class TNetworkListModel;
struct TProgramOptions;

class TGraphView : public QWidget {
  Q_OBJECT

 public:
  TGraphView(std::unique_ptr<TGraph> graph, QWidget* parent = nullptr);
  TGraph& Graph() const { return *graph_; }

  // The picture on screen to the clipboard.
  void CopyToClipboard();
  // Asks for a file name and writes the picture at the widget's size; failures are shown.
  void ExportToFile();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::unique_ptr<TGraph> graph_;
  QImage buffer_;
};

// The graphs of the lower pages: built by the window after its frame, repainted by its graph timer, freed
// before the interface set.
class TWindowGraphs : public QObject {
  Q_OBJECT

 public:
  // Pages: the Graphs page and the two band pages of the frame; a third band page (6 GHz) is added to Tabs.
  TWindowGraphs(QTabWidget* tabs, QWidget* graphsPage, QWidget* band1, QWidget* band2, TNetworkListModel* rows,
                const TProgramOptions& options, QObject* parent = nullptr);
  ~TWindowGraphs() override;

  // (Re)builds the spectrum graphs on the band pages after the band layout options; captions the pages.
  void BuildBandGraphs();
  // Background spectrum, fill and time window from the options.
  void ApplyGraphOptions();
  // Texts of the value selector, the summary labels and the band pages in the current language.
  void ApplyLanguage();
  // The graph timer: repaints the graphs of the page that is showing, nothing else.
  void Tick();
  // The 6 GHz page shows once the selected interface has heard a 6 GHz network.
  void SetHears6GHz(bool on);
  // Frees every graph (the window does it before the lists go).
  void Free();

  TGraphWiFiTime* TimeGraph() const;
  TGraphView* TimeView() const { return timeView_; }
  TGraphView* SpectrumView(int band) const { return band >= 0 && band < 3 ? bandViews_[band] : nullptr; }
  QWidget* Band6Page() const { return band3_; }
  QComboBox* ValueSelector() const { return cbValue_; }
  QString SummaryText() const;

 private:
  void UpdateSummary();
  void CaptionBandPages();
  TGraphView* MakeSpectrum(int band, QWidget* parent);

  QTabWidget* tabs_;
  QWidget* graphsPage_;
  QWidget* band1_;
  QWidget* band2_;
  QWidget* band3_ = nullptr;
  TNetworkListModel* rows_;
  const TProgramOptions& options_;
  TGraphView* timeView_ = nullptr;
  QComboBox* cbValue_ = nullptr;
  std::unique_ptr<ui::TStatsStrip> stats_;
  TGraphView* bandViews_[3] = {nullptr, nullptr, nullptr};
  QSplitter* bandSplitter_ = nullptr;
  bool hears6GHz_ = false;
};

}  // namespace skimlet

// The "Current connection" page: the connection and radio tables on the left (TCurrentConnectionPanel), the
// connection's signal strength and quality graphs on the right, behind a splitter; a part of the window.
#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

#include "ui/base/window_part.h"

class QAction;
class QSplitter;
class QTabWidget;

namespace skimlet {

class TCurrentConnectionSeries;
class TGraphView;
class TNetworkListModel;
struct TProgramOptions;

namespace ui {

class TCurrentConnectionPanel;

// The graph panel: signal strength (upper half) and quality (lower half) of the connection Series gives (the
// selected interface's connection series, or nullptr).
class TConnectionGraphs : public QWidget {
  Q_OBJECT

 public:
  TConnectionGraphs(std::function<const TCurrentConnectionSeries*()> series, TNetworkListModel* rows,
                    const TProgramOptions& options, QWidget* parent = nullptr);

  // ValueType 0 signal strength, 1 quality; nullptr once freed.
  TGraphView* ConnectionView(int valueType) const {
    return valueType == 0 || valueType == 1 ? views_[valueType] : nullptr;
  }
  QSplitter* Splitter() const { return splitter_; }
  // The time window from the options.
  void ApplyGraphOptions();
  // Repaints both graphs while they show.
  void Tick();
  // Frees both graphs (before the records they read go).
  void Free();

 private:
  const TProgramOptions& options_;
  QSplitter* splitter_ = nullptr;
  TGraphView* views_[2] = {nullptr, nullptr};
};

class TConnectionPage : public QObject, public TWindowPart {
  Q_OBJECT

 public:
  // Adds the page to Pages. Selected gives the selected interface; Disconnect, Profiles and RadioSwitch are the
  // window's commands shown as buttons (see TCurrentConnectionPanel).
  TConnectionPage(QTabWidget* pages, TProgramOptions& options, TNetworkListModel* rows,
                  std::function<TWLANInterface*()> selected, QAction* disconnect, QAction* profiles,
                  QAction* radioSwitch);
  ~TConnectionPage() override;

  TCurrentConnectionPanel* Panel() const { return panel_; }
  TConnectionGraphs* Graphs() const { return graphs_; }
  QSplitter* Splitter() const { return splitter_; }
  QWidget* Page() const { return page_; }

  void ApplyLanguage() override;
  void ApplyOptions(bool layoutChanged) override;
  void Tick() override;
  void RestoreLayout() override;
  void StoreLayout() override;
  void SetInterface(TWLANInterface* itf) override;

 private:
  TProgramOptions& options_;
  QWidget* page_ = nullptr;
  QSplitter* splitter_ = nullptr;
  TCurrentConnectionPanel* panel_ = nullptr;
  TConnectionGraphs* graphs_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

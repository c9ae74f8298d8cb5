// The "Wireless statistics" page: the PHY and MAC layer pages with their counter tables and graphs; a part of
// the window.
#pragma once

#include <QObject>

#include <functional>

#include "ui/base/window_part.h"

class QTabWidget;

namespace skimlet {

class TWLANStatistics;
struct TProgramOptions;

namespace ui {

class TStatisticsPages;

class TStatisticsPart : public QObject, public TWindowPart {
  Q_OBJECT

 public:
  // Adds the page to Pages; Statistics gives the selected interface's statistics, or nullptr.
  TStatisticsPart(QTabWidget* pages, TProgramOptions& options, std::function<const TWLANStatistics*()> statistics);

  TStatisticsPages* Pages() const { return statistics_; }
  QTabWidget* Tabs() const { return tabs_; }

  void ApplyLanguage() override;
  void ApplyOptions(bool layoutChanged) override;
  void Tick() override;
  void StoreLayout() override;

 private:
  QTabWidget* tabs_ = nullptr;
  TStatisticsPages* statistics_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

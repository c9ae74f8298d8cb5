// Small pieces every page and dialog shares: the wait cursor, the button rows of dialogs and the Min/Max/Avg
// strip of a graph's series.
#pragma once

#include <QString>

#include <array>

#include "core/graph/series.h"

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

namespace skimlet::ui {

// The hourglass while the service works, shown before the call starts: the events pending then are handled
// (timers included), so records and interfaces are looked up once it shows, never before.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// OK and Cancel in the current language, accepting and rejecting Dialog.
QDialogButtonBox* OkCancelButtons(QDialog& dialog);
// OK alone in the current language, accepting Dialog.
QDialogButtonBox* OkButton(QDialog& dialog);

// The "Min:", "Max:" and "Avg:" labels of one series, made on Parent and named Prefix + "Min", "Max", "Avg"
// ("lblGraph" gives "lblGraphMin"); the caller lays them out.
class TStatsStrip {
 public:
  TStatsStrip(QWidget* parent, const QString& prefix);
  const std::array<QLabel*, 3>& Labels() const { return labels_; }
  // The values of Stats in the current language; empty values while it has none.
  void Show(const TRangeStats& stats);
  // The three labels' texts, separated by spaces.
  QString Text() const;

 private:
  std::array<QLabel*, 3> labels_;
};

}  // namespace skimlet::ui

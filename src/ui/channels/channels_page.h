// The "Channels" page: an empty tab for now; a part of the window.
#pragma once

#include <QObject>

#include "ui/base/window_part.h"

class QTabWidget;
class QWidget;

namespace skimlet::ui {

class TChannelsPage : public QObject, public TWindowPart {
  Q_OBJECT

public:
  // Adds the page to Pages.
  explicit TChannelsPage(QTabWidget* pages);

  QWidget* Page() const { return page_; }

private:
  QWidget* page_ = nullptr;
};

}  // namespace skimlet::ui

// The controls of the main window below its menus: the interface selector, the main page control with the
// Scanner page (the filter panel, the find box and the network list over the lower page control). The window's
// parts add their own pages to both page controls. English texts stand until the language is applied; the
// window connects and fills the controls.
#pragma once

class QComboBox;
class QLineEdit;
class QMainWindow;
class QSplitter;
class QTabWidget;
class QToolButton;
class QWidget;

namespace skimlet {

namespace ui {
class TFilterTree;
}
class TNetworkListView;
struct TProgramOptions;

struct TFrame {
  QComboBox* cbInterfaces = nullptr;
  QTabWidget* pcMain = nullptr;
  QSplitter* splFilters = nullptr;
  QWidget* pnlFilters = nullptr;
  QToolButton* btnCloseFilters = nullptr;  // on the panel's title row
  ui::TFilterTree* vstFilter = nullptr;
  QLineEdit* edFilterText = nullptr;
  QSplitter* splLower = nullptr;
  TNetworkListView* vstNetworkList = nullptr;  // with its model, owned by the window
  QTabWidget* pcInfo = nullptr;                // the lower pages, empty until the parts add theirs
};

// Builds the controls as the central widget of Window; Options shape the list (kept by reference).
// The filter tree changes the filter sets of Options.
TFrame BuildFrame(QMainWindow& window, TProgramOptions& options);

}  // namespace skimlet

// The controls of the main window below its menus: the interface selector, the page controls, the filter
// panel, the find box and the network list with the lower pages. Their English texts stand until the language
// is applied; the window connects and fills them.
#pragma once

class QComboBox;
class QLineEdit;
class QMainWindow;
class QSplitter;
class QTabWidget;
class QWidget;

namespace skimlet {

namespace ui {
class TAdvancedDetails;
class TFilterTree;
class TNetworkDetails;
}
class TNetworkListView;
struct TProgramOptions;

struct TFrame {
  QComboBox* cbInterfaces = nullptr;
  QTabWidget* pcMain = nullptr;
  QSplitter* splFilters = nullptr;
  QWidget* pnlFilters = nullptr;
  ui::TFilterTree* vstFilter = nullptr;
  QLineEdit* edFilterText = nullptr;
  QSplitter* splLower = nullptr;
  TNetworkListView* vstNetworkList = nullptr;  // with its model, owned by the window
  QTabWidget* pcInfo = nullptr;
  QWidget* tsBand1 = nullptr;
  QWidget* tsBand2 = nullptr;
  QWidget* tsNetworkDetails = nullptr;
  ui::TNetworkDetails* pnlNetworkDetails = nullptr;  // the label grid
  QWidget* tsAdvancedDetails = nullptr;
  ui::TAdvancedDetails* pnlAdvancedDetails = nullptr;  // element tree and hex dump
  QTabWidget* pcStatistics = nullptr;
  // The Current connection page: its table panel on the left, the connection graphs' panel on the right.
  QSplitter* splCurrentConnection = nullptr;
  QWidget* pnlCurrentConnection = nullptr;
  QWidget* pnlCurrConGraphs = nullptr;
};

// Builds the controls as the central widget of Window; Options shape the list (kept by reference).
// The filter tree changes the filter sets of Options.
TFrame BuildFrame(QMainWindow& window, TProgramOptions& options);

}  // namespace skimlet

// The main window: composes the network list, the command table, the status bar, the update cycle (four
// timers and the queued scan-results call) and its parts, the rooms that build the pages; switches interfaces
// and languages; stores the layouts and the settings at shutdown.
#pragma once

#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

#include "core/model/network_filter.h"
#include "core/wlan/update_cycle.h"
#include "core/wlan/wlan_interface.h"
#include "ui/commands/command_host.h"
#include "ui/base/window_part.h"
#include "ui/commands/commands.h"
#include "ui/graphs/graph_view.h"
#include "ui/graphs/single_network_graph.h"
#include "ui/list/network_view.h"
#include "ui/statistics/statistics_pages.h"
#include "ui/window/form_stored.h"
#include "ui/window/frame.h"
#include "ui/window/status_bar.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;

namespace skimlet::ui {
class TConnectionPage;
class TCurrentConnectionPanel;
class TDetailsPart;
class TGraphsPart;
class TStatisticsPart;
}  // namespace skimlet::ui

namespace skimlet {

class TfrmSkimlet : public TFormStored, public TCommandHost {
  Q_OBJECT

 public:
  explicit TfrmSkimlet(TStartEnvironment env, QWidget* parent = nullptr);
  ~TfrmSkimlet() override;

  // The user chose Abort while the service could not be opened: the program ends without a message loop.
  bool TerminateRequested() const { return terminateRequested_; }

  void ClearNetworks() override;
  void RefreshNetworks() override;
  void RefreshInterfaceState() override;
  void FollowConnectionAttempt() override;
  void RefreshStatistics();
  void StartTimers();
  void ApplyLanguage();
  void RebuildInterfaceList();
  void SyncNetworkRows(TWLANNetworkList& list) override;
  void UpdateStatusBar();
  // Brings the window to the front, restoring it when minimised (a second start asked for it).
  void BringToFront();
  // Loads the language file of that name from the languages folder: texts and layouts change, the records,
  // check marks and selection of the list stay.
  void SwitchLanguage(const QString& fileName);

  TWLANInterfaces* Interfaces() const { return interfaces_.get(); }
  // The selected interface and its network list; nullptr when none is selected.
  TWLANInterface* SelectedInterface() const override;
  TWLANNetworkList* SelectedNetworks() const override;
  // The service is the simulated radio (the interface box says so).
  bool Simulated() const { return simulated_; }
  TNetworkListView* NetworkList() const { return vstNetworkList_; }
  TNetworkListModel* NetworkModel() const { return model_; }
  const TFrame& Frame() const { return frame_; }
  // The parts, in the order of their pages; each is nullptr once FormDestroy has freed it.
  ui::TGraphsPart* GraphsPart() const { return graphs_; }
  ui::TDetailsPart* Details() const { return details_; }
  ui::TConnectionPage* ConnectionPage() const { return connection_; }
  ui::TStatisticsPart* StatisticsPart() const { return statistics_; }
  // The graphs of the lower pages.
  TWindowGraphs* Graphs() const;
  ui::TStatisticsPages* StatisticsPages() const;
  TSingleNetworkGraph* SingleNetworkGraph() const;
  // The table panel of the Current connection page.
  ui::TCurrentConnectionPanel* ConnectionPanel() const;
  QAction* Action(TCommand id) const { return commands_->Action(id); }
  TCommands& Commands() const { return *commands_; }
  QComboBox* InterfaceSelector() const { return frame_.cbInterfaces; }
  bool Paused() const;
  void PauseUpdating(bool on) override;
  // The handler of the scan-results notification (queued from the service's thread).
  void ScanResultsReady();
  QString StatusText(TStatusPanel panel) const { return statusPanels_->Text(panel); }

  // TCommandHost
  TProgramOptions& HostOptions() override { return Options; }
  TNetworkListView* HostList() const override { return vstNetworkList_; }
  QMessageBox::StandardButton Ask(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                  QMessageBox::StandardButtons buttons) override {
    return TFormStored::Ask(text, caption, icon, buttons);
  }
  QColor PickColor(const QColor& initial) override;
  std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& text) override;
  QString AskFileName(bool save, const QString& title, const QString& filter, const QString& suffix,
                      const QString& proposed) override;
  bool OpenUrl(const QUrl& url) override;
  std::filesystem::path DocumentsFolder() const override { return Folders().DocumentsFolder; }
  QAction* CommandAction(TCommand id) const override { return Action(id); }
  QMenu* CopyMenu() const { return mnuCopy_; }
  void ReenumerateInterfaces() override;
  void ShowFilters(bool on) override;
  void RestoreColumnsOrder() override;
  void ApplyOptions(bool bandLayoutChanged) override;
  void CloseWindow() override { close(); }
  ui::TReportSources ReportSources() override;

 protected:
  void FirstActivation() override;
  bool event(QEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  void CreateMenus();
  void CreateFrame();
  void CreateTimers();
  void ApplyStoredLayout();
  void BuildLanguageMenu();
  void ApplyNetworkLayout();
  void ShowHeaderMenu(const QPoint& pos);
  void ConnectList();
  void AddParts();
  // Registers a part: its pages follow those of the parts before it.
  template <class TPart, class... TArgs>
  TPart* AddPart(TArgs&&... args) {
    auto part = std::make_unique<TPart>(std::forward<TArgs>(args)...);
    TPart* added = part.get();
    parts_.push_back(std::move(part));
    return added;
  }
  void ConnectFilters();
  void ApplyNetworkFilter();
  void InterfaceChosen(int index);
  void FillInterfaceSelector();
  void InstallVendorNames();
  void OpenService();
  void EnumerateInterfaces();
  // The parts hear that the rows of the list shown changed (the 6 GHz page shows while the list holds a 6 GHz
  // network).
  void NetworksChanged();

  void InterfacesChanged();
  void ConnectionChanged(TWlanObject& connection);
  void InstallInterfaceCallbacks();

  // The service outlives the interface set, which keeps a reference to it.
  std::unique_ptr<WlanService> service_;
  bool simulated_ = false;
  std::unique_ptr<TWLANInterfaces> interfaces_;
  // The network update cycle of the interface set; the network timer and the scan-results post drive it.
  std::unique_ptr<TUpdateCycle> cycle_;
  // True while the window is being built: the enumeration leaves the interface list to the end of the build.
  bool building_ = true;
  TCommands* commands_ = nullptr;
  std::unique_ptr<TStatusPanels> statusPanels_;
  // The controls below the menus; the list and its model also by their own names.
  TFrame frame_;
  TNetworkListModel* model_ = nullptr;
  TNetworkListView* vstNetworkList_ = nullptr;
  // The parts that build the pages, in the order of their pages; the typed pointers name those the window
  // also calls by their own functions.
  std::vector<std::unique_ptr<ui::TWindowPart>> parts_;
  ui::TGraphsPart* graphs_ = nullptr;
  ui::TDetailsPart* details_ = nullptr;
  ui::TConnectionPage* connection_ = nullptr;
  ui::TStatisticsPart* statistics_ = nullptr;
  QMenu* mnuLanguage_ = nullptr;
  QMenu* mnuCopy_ = nullptr;
  QTimer* tmUpdateWirelessNetwork_ = nullptr;
  QTimer* tmUpdateGraph_ = nullptr;
  QTimer* tmUpdateCurrentConnection_ = nullptr;
  QTimer* tmUpdateWirelessStatistics_ = nullptr;
  // After a connection request: refreshes the interface state every second, a few times.
  QTimer* tmFollowConnection_ = nullptr;
  int followTicksLeft_ = 0;
  // The find text and the filter sets as one rule for the list.
  TNetworkFilter filter_{Options};
  bool terminateRequested_ = false;
  // The last enumeration of interfaces failed (the selector says so).
  bool enumerationFailed_ = false;
};

}  // namespace skimlet

// The main window: its construction order, the update cycle (four timers and the queued scan-results call),
// interface switching, the network list with its header menu and status bar, and the shutdown that stores
// the layouts and writes the settings.
#pragma once

#include <QHash>
#include <QPointer>

#include "core/wlan/wlan_interface.h"
#include "ui/form_stored.h"
#include "ui/network_view.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;

namespace skimlet {

class TStatusPanel0;

class TfrmSkimlet : public TFormStored {
  Q_OBJECT

public:
  explicit TfrmSkimlet(TStartEnvironment env, QWidget* parent = nullptr);
  ~TfrmSkimlet() override;

  // The user chose Abort while the service could not be opened: the program ends without a message loop.
  bool TerminateRequested() const { return terminateRequested_; }

  void ClearNetworks();
  void RefreshNetworks();
  // Removes every network last seen Minutes or more whole minutes before Now, with its row.
  void DeleteStaleNetworks(int minutes, LocalDateTime now);
  void RefreshInterfaceState();
  void RefreshStatistics();
  void StartTimers();
  void ApplyLanguage();
  void RebuildInterfaceList();
  void SyncNetworkRows(TWLANNetworkList& list);
  void UpdateStatusBar();
  // Brings the window to the front, restoring it when minimised (a second start asked for it).
  void BringToFront();

  TWLANInterfaces* Interfaces() const { return interfaces_.get(); }
  // The selected interface and its network list; nullptr when none is selected.
  TWLANInterface* SelectedInterface() const;
  TWLANNetworkList* SelectedNetworks() const;
  // The service is the simulated radio (the interface box says so).
  bool Simulated() const { return simulated_; }
  TNetworkListView* NetworkList() const { return vstNetworkList_; }
  TNetworkListModel* NetworkModel() const { return model_; }
  QAction* Action(const QString& name) const { return actions_.value(name); }
  QComboBox* InterfaceSelector() const { return cbInterfaces_; }
  QLabel* StatusPanel(int index) const;
  bool Paused() const;
  // The handler of the scan-results notification (queued from the service's thread).
  void ScanResultsReady();
  // The text of a status panel 1 to 9.
  QString StatusText(int index) const;

protected:
  void FirstActivation() override;

private:
  void FormCreate();
  void FormDestroy();
  void CreateActions();
  void CreateMenus();
  void CreateFrame();
  void CreateStatusBar();
  void BuildLanguageMenu();
  void ApplyNetworkLayout();
  void ShowHeaderMenu(const QPoint& pos);
  void RestoreColumnsOrder();
  void InterfaceChosen(int index);
  void RefreshInterfacesCommand();
  void SwitchLanguage(const QString& fileName);
  void ChangeColor(TWLANNetwork* network);
  void ClearNetworkListCommand();
  void ShowFiltersToggled(bool on);
  void UpdateActions();
  QAction* MakeAction(const char* name, const char* caption, const char* hint, bool built);

  void InterfacesChanged();
  void ConnectionChanged(TWlanObject& connection);
  void InstallInterfaceCallbacks();

  // The service outlives the interface set, which keeps a reference to it.
  std::unique_ptr<WlanService> service_;
  bool simulated_ = false;
  std::unique_ptr<TWLANInterfaces> interfaces_;
  // True while the window is being built: the enumeration leaves the interface list to the end of the build.
  bool building_ = true;
  TNetworkListModel* model_ = nullptr;
  TNetworkListView* vstNetworkList_ = nullptr;
  QHash<QString, QAction*> actions_;
  QComboBox* cbInterfaces_ = nullptr;
  QSplitter* splFilters_ = nullptr;
  QSplitter* splLower_ = nullptr;
  QWidget* pnlFilters_ = nullptr;
  QLineEdit* edFilterText_ = nullptr;
  QTabWidget* pcMain_ = nullptr;
  QTabWidget* pcInfo_ = nullptr;
  QTabWidget* pcStatistics_ = nullptr;
  QWidget* tsBand1_ = nullptr;
  QWidget* tsBand2_ = nullptr;
  QMenu* mnuLanguage_ = nullptr;
  QMenu* mnuCopy_ = nullptr;
  TStatusPanel0* panel0_ = nullptr;
  QList<QLabel*> panels_;
  QTimer* tmUpdateWirelessNetwork_ = nullptr;
  QTimer* tmUpdateGraph_ = nullptr;
  QTimer* tmUpdateCurrentConnection_ = nullptr;
  QTimer* tmUpdateWirelessStatistics_ = nullptr;
  QString findText_;
  bool terminateRequested_ = false;
};

}  // namespace skimlet

#include "ui/window/main_window.h"

#include "ui/window/frame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/ie/vendor.h"
#include "core/radio/values.h"
#include "core/vendor/vendor.h"
#include "core/wlan/wlan_connection.h"
#include "ui/base/tr.h"
#include "ui/connection/connection_page.h"
#include "ui/connection/current_connection.h"
#include "ui/details/advanced_details.h"
#include "ui/details/details_part.h"
#include "ui/filters/filter_tree.h"
#include "ui/graphs/graphs_part.h"
#include "ui/statistics/statistics_part.h"

namespace skimlet {

// After a connection request the interface state is refreshed this often, this many times: a service that does
// not say when a connection is up (NetworkManager activates it on its own) still shows it within a second.
constexpr int kFollowConnectionIntervalMs = 1000;
constexpr int kFollowConnectionTicks = 10;

namespace {

using ui::Fmt;
using ui::Tr;

// An interface's description as the window shows it: the driver or the scene file names it.
std::string ShownDescription(const TWLANInterface& itf) { return SafeText(itf.Description, SafeTextStyle::Window); }

}  // namespace

TfrmSkimlet::TfrmSkimlet(TStartEnvironment env, QWidget* parent) : TFormStored(std::move(env), parent) {
  setObjectName(QStringLiteral("frmSkimlet"));
  FormCreate();
}

TfrmSkimlet::~TfrmSkimlet() { FormDestroy(); }

void TfrmSkimlet::CreateFrame() {
  frame_ = BuildFrame(*this, Options);
  model_ = frame_.vstNetworkList->Model();
  vstNetworkList_ = frame_.vstNetworkList;

  model_->Filter = [this](const TWLANNetwork& n) { return filter_.Passes(n); };
  ConnectFilters();
  ConnectList();
  AddParts();
}

// The pages of the window, one part each, in the order of their tabs.
void TfrmSkimlet::AddParts() {
  graphs_ = AddPart<ui::TGraphsPart>(frame_.pcInfo, model_, Options);
  details_ = AddPart<ui::TDetailsPart>(frame_.pcInfo, vstNetworkList_, Options);
  connection_ = AddPart<ui::TConnectionPage>(
      frame_.pcMain, Options, model_, [this] { return SelectedInterface(); },
      Action(TCommand::CurrentConnectionDisconnect), commands_->ProfilesAction(), Action(TCommand::RadioSwitchAll));
  statistics_ = AddPart<ui::TStatisticsPart>(frame_.pcMain, Options, [this]() -> const TWLANStatistics* {
    const TWLANInterface* selected = SelectedInterface();
    return selected ? selected->Statistics.get() : nullptr;
  });
}

void TfrmSkimlet::ConnectList() {
  // The list holds its commands (their shortcuts work while it has the focus); its context menu shows them with
  // Connect as the default item.
  commands_->Place(vstNetworkList_, kNetworkListMenu);
  vstNetworkList_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(vstNetworkList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    commands_->Update();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pmNetworkList"));
    commands_->Place(&menu, kNetworkListMenu);
    menu.setDefaultAction(Action(TCommand::NetworkConnectDisconnect));
    menu.exec(vstNetworkList_->viewport()->mapToGlobal(pos));
  });
  connect(vstNetworkList_->header(), &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowHeaderMenu(pos); });
  // The swatch hands over the record; the dialog works on its BSSID, since the record may go while it is open.
  connect(vstNetworkList_->Delegate(), &TNetworkListDelegate::SwatchClicked, this,
          [this](TWLANNetwork* n) { ChangeNetworkColor(*this, n->BSSIDText); });
  connect(vstNetworkList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    commands_->Update();
    for (auto& part : parts_) part->SelectionChanged();
  });
  connect(vstNetworkList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { commands_->Update(); });
  // A double click on a row connects to its network, or disconnects from it when it is the connected one.
  connect(vstNetworkList_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid() || index.column() == 0) return;  // the swatch and the check box have their own clicks
    vstNetworkList_->setCurrentIndex(index);
    commands_->Update();
    if (Action(TCommand::NetworkConnectDisconnect)->isEnabled()) ConnectOrDisconnect(*this);
    commands_->Update();
  });
}

TWindowGraphs* TfrmSkimlet::Graphs() const { return graphs_ ? graphs_->Graphs() : nullptr; }

ui::TStatisticsPages* TfrmSkimlet::StatisticsPages() const { return statistics_ ? statistics_->Pages() : nullptr; }

TSingleNetworkGraph* TfrmSkimlet::SingleNetworkGraph() const { return details_ ? details_->SingleGraph() : nullptr; }

ui::TCurrentConnectionPanel* TfrmSkimlet::ConnectionPanel() const {
  return connection_ ? connection_->Panel() : nullptr;
}

ui::TReportSources TfrmSkimlet::ReportSources() {
  ui::TReportSources s;
  s.Parent = this;
  s.Options = &Options;
  s.List = vstNetworkList_;
  s.Networks = model_->List();
  s.TemplateFolder = Folders().DefaultFolder / "Report";
  if (TWindowGraphs* graphs = Graphs()) {
    s.TimeGraph = graphs->TimeGraph();
    for (int band = 0; band < 3; ++band)
      if (TGraphView* v = graphs->SpectrumView(band)) s.Spectrum[static_cast<size_t>(band)] = &v->Graph();
  }
  if (s.Networks)
    for (const auto& n : s.Networks->Items) s.Hears6GHz = s.Hears6GHz || n->Band == kBand6GHz;
  s.Ask = [this](const QString& text, const QString& caption, QMessageBox::Icon icon,
                 QMessageBox::StandardButtons buttons) { return Ask(text, caption, icon, buttons); };
  return s;
}

// The find text and the check boxes re-filter the rows at once; the counts follow the status bar. While the
// filter panel is hidden its sets do not apply, at a refresh as much as at once; the find text always does.
void TfrmSkimlet::ConnectFilters() {
  connect(frame_.edFilterText, &QLineEdit::textChanged, this, [this](const QString& text) {
    filter_.SetFindText(text.toStdString());
    ApplyNetworkFilter();
  });
  connect(frame_.vstFilter, &ui::TFilterTree::FilterChanged, this, [this] { ApplyNetworkFilter(); });
  // The panel's close button is the View menu's command unticked.
  connect(frame_.btnCloseFilters, &QToolButton::clicked, this, [this] {
    if (Action(TCommand::ShowFilters)->isChecked()) Action(TCommand::ShowFilters)->trigger();
  });
}

void TfrmSkimlet::ApplyNetworkFilter() {
  filter_.SetUseSets(Options.bShowFilters);
  model_->ApplyFilter(false);
  UpdateStatusBar();
}

void TfrmSkimlet::FormCreate() {
  commands_ = new TCommands(*this, this);
  CreateMenus();
  CreateFrame();
  statusPanels_ = std::make_unique<TStatusPanels>(statusBar());
  CreateTimers();
  ApplyStoredLayout();

  BuildLanguageMenu();
  ApplyLanguage();

  InstallVendorNames();
  OpenService();
  EnumerateInterfaces();
  building_ = false;
  RebuildInterfaceList();
  StartTimers();
}

void TfrmSkimlet::CreateTimers() {
  auto timer = [this](const char* name) {
    auto* t = new QTimer(this);
    t->setObjectName(QString::fromUtf8(name));
    return t;
  };
  tmUpdateWirelessNetwork_ = timer("tmUpdateWirelessNetwork");
  tmUpdateGraph_ = timer("tmUpdateGraph");
  tmUpdateCurrentConnection_ = timer("tmUpdateCurrentConnection");
  tmUpdateWirelessStatistics_ = timer("tmUpdateWirelessStatistics");
  connect(tmUpdateWirelessNetwork_, &QTimer::timeout, this, [this] {
    if (cycle_) cycle_->Tick();
  });
  // The graph of the page that is showing repaints; the status bar follows the connection and the list counts.
  connect(tmUpdateGraph_, &QTimer::timeout, this, [this] {
    for (auto& part : parts_) part->Tick();
    UpdateStatusBar();
  });
  connect(tmUpdateCurrentConnection_, &QTimer::timeout, this, [this] { RefreshInterfaceState(); });
  connect(tmUpdateWirelessStatistics_, &QTimer::timeout, this, [this] { RefreshStatistics(); });
  tmFollowConnection_ = timer("tmFollowConnection");
  tmFollowConnection_->setInterval(kFollowConnectionIntervalMs);
  connect(tmFollowConnection_, &QTimer::timeout, this, [this] {
    if (--followTicksLeft_ <= 0) tmFollowConnection_->stop();
    RefreshInterfaceState();
  });
  connect(frame_.cbInterfaces, &QComboBox::activated, this, [this](int i) { InterfaceChosen(i); });
}

// Panel sizes, shown panels, check marks, first pages and the list's columns from the options.
void TfrmSkimlet::ApplyStoredLayout() {
  frame_.splFilters->setSizes({Options.aLeftPanelWidth, std::max(100, width() - Options.aLeftPanelWidth)});
  frame_.splLower->setSizes({std::max(100, height() - Options.aTopPanelHeight), Options.aTopPanelHeight});
  frame_.pnlFilters->setVisible(Options.bShowFilters);
  filter_.SetUseSets(Options.bShowFilters);
  for (auto& part : parts_) part->RestoreLayout();
  for (auto [id, on] : {std::pair{TCommand::ShowFilters, Options.bShowFilters},
                        {TCommand::ShowHorizontalGrid, Options.bHorzGrid},
                        {TCommand::ShowVerticalGrid, Options.bVertGrid},
                        {TCommand::ShowStripedGrid, Options.bStripped}}) {
    QSignalBlocker block(Action(id));
    Action(id)->setChecked(on);
  }
  frame_.pcMain->setCurrentIndex(0);
  frame_.pcInfo->setCurrentIndex(0);
  firstActivation_ = true;
  ApplyNetworkLayout();
  vstNetworkList_->setMouseTracking(true);
}

// The interface set on its service with no interface selected and the callbacks installed, then the session,
// with Abort, Retry and Ignore.
void TfrmSkimlet::OpenService() {
  if (env_.CreateService) {
    TWindowService made = env_.CreateService(Options, Folders());
    service_ = std::move(made.Service);
    simulated_ = made.Simulated;
  }
  if (service_) {
    interfaces_ = std::make_unique<TWLANInterfaces>(*service_, Options, Folders().SettingsFolder);
    interfaces_->SetSelectedIndex(-1);
    InstallInterfaceCallbacks();
  }
  bool opened = interfaces_ && interfaces_->Open();
  while (!opened) {
    const auto answer = Ask(Tr("sWLANInterfaceNotInitialized"), Tr("sError"), QMessageBox::Critical,
                            QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    if (answer == QMessageBox::Retry) {
      opened = interfaces_ && interfaces_->Open();
      continue;
    }
    if (answer != QMessageBox::Ignore) terminateRequested_ = true;
    break;
  }
}

// The enumeration selects the first connected interface, else the first one. After Ignore it tries the session
// once more; its failure is only reported when there is a session.
void TfrmSkimlet::EnumerateInterfaces() {
  if (!interfaces_) return;
  enumerationFailed_ = !interfaces_->Enumerate();
  if (enumerationFailed_) {
    if (interfaces_->HandleOpen)
      Ask(Tr("sWLANInterfaceCouldNotEnumerate"), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
  } else if (interfaces_->Count() == 0) {
    Ask(Tr("sWLANInterfaceInterfaceMissing"), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
  }
  if (TWLANInterface* itf = interfaces_->Selected(); itf && !itf->AutoConfEnabled) {
    const QString text = Fmt("Auto configuration is disabled on interface \"%s\".", {ShownDescription(*itf)}) + "\n" +
                         Tr("Scanning functionality is not available with disabled auto configuration.");
    Ask(text, Tr("sWarning"), QMessageBox::Warning, QMessageBox::Ok);
  }
}

// The element decoders name the organisations of OUIs through the vendor database. A database that cannot be
// read leaves the names empty and is reported once.
void TfrmSkimlet::InstallVendorNames() {
  SetOUIVendorLookup([reported = std::make_shared<bool>(false)](uint32_t oui) {
    try {
      return VendorOfOUI(oui);
    } catch (const std::exception& e) {
      if (!std::exchange(*reported, true)) qWarning("skimlet: vendor lookup: %s", e.what());
      return std::string();
    }
  });
}

void TfrmSkimlet::InstallInterfaceCallbacks() {
  interfaces_->OnInterfacesChange = [this](TWLANInterfaces&) { InterfacesChanged(); };
  interfaces_->OnNetworkListChange = [this](TWLANNetworkList& l) { SyncNetworkRows(l); };
  interfaces_->OnConnectionChange = [this](TWlanObject& c) { ConnectionChanged(c); };
  interfaces_->OnStatisticsChange = [this](TWlanObject& s) {
    if (statistics_ && s.Interface == SelectedInterface()) statistics_->Pages()->RefreshStatisticsViews();
  };
  interfaces_->OnPropertiesChange = [this](TWLANInterface& itf) {
    if (&itf == SelectedInterface() && ConnectionPanel()) ConnectionPanel()->RefreshConnectionView(&itf);
  };
  interfaces_->OnRadioStateChange = [this](TWLANInterface& itf) {
    if (&itf != SelectedInterface()) return;
    if (ConnectionPanel()) ConnectionPanel()->RefreshRadioView(&itf);
    commands_->Update();
  };
  interfaces_->OnVendorError = [](const std::string& error) { qWarning("skimlet: vendor lookup: %s", error.c_str()); };
  // What the debug option asks to be told (the result of a connection request) is shown as it comes.
  interfaces_->OnDebugMessage = [this](const std::string& text, const std::string& caption) {
    Ask(QString::fromStdString(text), Tr(caption),
        caption == "Error" ? QMessageBox::Critical : QMessageBox::Information, QMessageBox::Ok);
  };
  // The service's thread: hand the news to the window thread and do nothing else. The cycle detaches the post
  // (under the relay's lock) before the window goes, and a queued call dies with its receiver.
  cycle_ = std::make_unique<TUpdateCycle>(*interfaces_, Options, [this] {
    QMetaObject::invokeMethod(
        this, [this] { ScanResultsReady(); }, Qt::QueuedConnection);
  });
  // A connection attempt the service completes later (or that fails, or a connection that ends) shows at once
  // rather than at the next tick of the connection timer. Detached by the set when it goes.
  interfaces_->SetPostConnectionChange([this] {
    QMetaObject::invokeMethod(
        this, [this] { RefreshInterfaceState(); }, Qt::QueuedConnection);
  });
  // Rows go before their records.
  cycle_->OnNetworksRemoving = [this](TWLANNetworkList& list, const std::vector<const TWLANNetwork*>& stale) {
    if (&list == model_->List()) model_->Forget(stale);
  };
}

TWLANInterface* TfrmSkimlet::SelectedInterface() const { return interfaces_ ? interfaces_->Selected() : nullptr; }

TWLANNetworkList* TfrmSkimlet::SelectedNetworks() const {
  TWLANInterface* itf = SelectedInterface();
  return itf ? itf->Networks.get() : nullptr;
}

void TfrmSkimlet::InterfacesChanged() {
  // After every enumeration: the first connected interface, else the first one.
  int32_t index = interfaces_->FirstConnectedIndex();
  if (index < 0 && interfaces_->Count() > 0) index = 0;
  interfaces_->SetSelectedIndex(index);
  if (!building_) RebuildInterfaceList();
}

void TfrmSkimlet::ConnectionChanged(TWlanObject& connection) {
  if (connection.Interface != SelectedInterface()) return;
  UpdateStatusBar();  // and the commands: Connect / Disconnect follows the connection
  if (ConnectionPanel()) ConnectionPanel()->RefreshConnectionView(SelectedInterface());
}

void TfrmSkimlet::FormDestroy() {
  for (QTimer* t : {tmUpdateWirelessNetwork_, tmUpdateGraph_, tmUpdateCurrentConnection_, tmUpdateWirelessStatistics_,
                    tmFollowConnection_})
    t->stop();
  const QList<int> sizes = frame_.splFilters->sizes();
  if (frame_.pnlFilters->isVisible() && !sizes.isEmpty() && sizes[0] > 0) Options.aLeftPanelWidth = sizes[0];
  Options.bShowFilters = Action(TCommand::ShowFilters)->isChecked();
  const QList<int> lower = frame_.splLower->sizes();
  if (lower.size() == 2 && lower[1] > 0) Options.aTopPanelHeight = lower[1];
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  for (auto& part : parts_) part->StoreLayout();
  // The parts go before the lists: their graphs read the records on every paint.
  graphs_ = nullptr;
  details_ = nullptr;
  connection_ = nullptr;
  statistics_ = nullptr;
  parts_.clear();
  Options.bVertGrid = Action(TCommand::ShowVerticalGrid)->isChecked();
  Options.bHorzGrid = Action(TCommand::ShowHorizontalGrid)->isChecked();
  // The interface set goes (its network lists write comments.txt and colors.txt, the session closes), then
  // the service it talked to.
  model_->SetList(nullptr);
  cycle_.reset();
  interfaces_.reset();
  service_.reset();
  SetOUIVendorLookup({});
}

void TfrmSkimlet::ApplyNetworkLayout() {
  ApplyLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  model_->Sort(vstNetworkList_->header()->sortIndicatorSection(), vstNetworkList_->header()->sortIndicatorOrder());
  vstNetworkList_->ShowSortIndicator();
}

void TfrmSkimlet::ApplyLanguage() {
  // The widths the user set survive the new column titles.
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  for (auto& part : parts_) part->StoreLayout();
  LoadColumnTitles(Lang, Options.Layouts);
  commands_->ApplyTexts();
  TQtTranslatable window(this, "TfrmSkimlet");
  TTranslatable* windows[] = {&window};
  TranslateForms(Lang, windows, &window);
  ApplyNetworkLayout();
  // The value selectors list the column titles just loaded; the band pages are captioned.
  for (auto& part : parts_) {
    part->RestoreLayout();
    part->ApplyLanguage();
  }
  frame_.vstFilter->Build();
  QStringList titles;
  for (int i = 0; i < NetworkColumnCount; ++i)
    titles << model_->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
  commands_->BuildCopyMenu(mnuCopy_, titles);
  // The language file captions the actions as it finds them; those that follow the state are set again.
  commands_->Update();
  SetCaption();
}

void TfrmSkimlet::SwitchLanguage(const QString& fileName) {
  const std::string name = fileName.toStdString();
  if (!IsPlainFileName(name)) return;
  Options.DefaultLang = name;
  Lang.SetLangFile((Folders().LanguagesFolder / Options.DefaultLang).string());
  Lang.LoadLanguageTexts();
  Lang.SetSeparator(",");
  ApplyLanguage();
  // Only texts change: the interface names are captioned again, the cells and the status bar repainted.
  FillInterfaceSelector();
  model_->RepaintAll();
  UpdateStatusBar();
  for (QAction* a : mnuLanguage_->actions()) a->setChecked(a->text().remove('&') == fileName);
}

bool TfrmSkimlet::Paused() const { return Action(TCommand::NetworkPauseNetworkUpdating)->isChecked(); }

void TfrmSkimlet::PauseUpdating(bool on) {
  if (cycle_) cycle_->SetPaused(on);
}

void TfrmSkimlet::StartTimers() {
  // Values from options.xml are clamped: a huge one would overflow the milliseconds.
  tmUpdateWirelessNetwork_->setInterval(IntervalMilliseconds(Options.UpdateWirelessNetworkInterval));
  tmUpdateGraph_->setInterval(IntervalMilliseconds(Options.UpdateGraphInterval));
  tmUpdateCurrentConnection_->setInterval(IntervalMilliseconds(Options.UpdateCurrentConnectionInterval));
  tmUpdateWirelessStatistics_->setInterval(IntervalMilliseconds(Options.UpdateWirelessStatisticsInterval));
  tmUpdateGraph_->start();
  tmUpdateCurrentConnection_->start();
  tmUpdateWirelessNetwork_->start();
  tmUpdateWirelessStatistics_->start();
}

void TfrmSkimlet::ApplyOptions(bool bandLayoutChanged) {
  for (auto& part : parts_) part->ApplyOptions(bandLayoutChanged);
  StartTimers();
  SetCaption();
  // The achievable rate follows the noise level, the stream counts and the access-point switch.
  if (TWLANNetworkList* list = SelectedNetworks())
    for (const auto& n : list->Items) n->AchievableRate = n->ComputeAchievableRate();
  // The pin decides the order and lets the connected network pass every filter.
  ApplyNetworkFilter();
  model_->Resort();
  model_->RepaintAll();
}

void TfrmSkimlet::ScanResultsReady() {
  if (cycle_) cycle_->ScanResultsReady();
}

void TfrmSkimlet::ClearNetworks() {
  if (details_) details_->AdvancedDetails()->Clear();
  model_->ForgetAll();
  if (TWLANNetworkList* list = SelectedNetworks()) list->Clear();
  UpdateStatusBar();
}

void TfrmSkimlet::RefreshNetworks() {
  if (!SelectedInterface() || !cycle_) {
    ClearNetworks();
    return;
  }
  cycle_->UpdateNow();
}

void TfrmSkimlet::RefreshInterfaceState() {
  if (TWLANInterface* itf = SelectedInterface()) {
    itf->UpdateProperties();
    itf->UpdateRadioState();
    itf->UpdateConnection();  // its change handler updates the status bar and the connection table
  }
  for (auto& part : parts_) part->SetInterface(SelectedInterface());
  commands_->Update();
}

void TfrmSkimlet::FollowConnectionAttempt() {
  followTicksLeft_ = kFollowConnectionTicks;
  tmFollowConnection_->start();
}

void TfrmSkimlet::RefreshStatistics() {
  if (TWLANInterface* itf = SelectedInterface()) {
    itf->UpdateStatistics();
    itf->UpdateIPStatistics();
  }
}

void TfrmSkimlet::SyncNetworkRows(TWLANNetworkList& list) {
  if (&list != model_->List()) return;
  model_->Sync();
  NetworksChanged();
  UpdateStatusBar();  // and the commands
}

void TfrmSkimlet::NetworksChanged() {
  for (auto& part : parts_) part->NetworksChanged(model_->List());
}

void TfrmSkimlet::FillInterfaceSelector() {
  QSignalBlocker block(frame_.cbInterfaces);
  frame_.cbInterfaces->clear();
  if (interfaces_) {
    for (const auto& itf : interfaces_->Items) {
      const std::string description = ShownDescription(*itf);
      frame_.cbInterfaces->addItem(simulated_ ? Fmt("sSimulatedRadio", {description})
                                              : QString::fromStdString(description));
    }
    if (interfaces_->Count() > 0) frame_.cbInterfaces->setCurrentIndex(interfaces_->SelectedIndex);
  }
  // An empty selector says why it is empty.
  frame_.cbInterfaces->setPlaceholderText(
      Tr(!interfaces_ || enumerationFailed_ ? "sWLANInterfaceCouldNotEnumerate" : "sWLANInterfaceInterfaceMissing"));
}

void TfrmSkimlet::RebuildInterfaceList() {
  FillInterfaceSelector();
  if (interfaces_) interfaces_->SetSelectedIndex(frame_.cbInterfaces->currentIndex());
  model_->SetList(SelectedNetworks());
  ClearNetworks();
  NetworksChanged();
  RefreshNetworks();
  RefreshInterfaceState();
  RefreshStatistics();
  UpdateStatusBar();
}

void TfrmSkimlet::InterfaceChosen(int index) {
  if (!interfaces_ || index == interfaces_->SelectedIndex) return;
  interfaces_->SetSelectedIndex(index);
  model_->SetList(SelectedNetworks());
  ClearNetworks();
  NetworksChanged();
  RefreshNetworks();
  RefreshInterfaceState();
}

void TfrmSkimlet::ReenumerateInterfaces() {
  model_->SetList(nullptr);
  frame_.cbInterfaces->clear();
  if (!interfaces_) return;
  interfaces_->Clear();
  interfaces_->SetSelectedIndex(-1);
  // A successful enumeration ends in RebuildInterfaceList; a failed one leaves the views empty.
  enumerationFailed_ = !interfaces_->Enumerate();
  if (enumerationFailed_) RebuildInterfaceList();
}

QColor TfrmSkimlet::PickColor(const QColor& initial) {
  return env_.Dialogs.PickColor ? env_.Dialogs.PickColor(this, initial) : QColor();
}

std::optional<QString> TfrmSkimlet::AskText(const QString& caption, const QString& prompt, const QString& text) {
  return env_.Dialogs.Input ? env_.Dialogs.Input(this, caption, prompt, text) : std::nullopt;
}

QString TfrmSkimlet::AskFileName(bool save, const QString& title, const QString& filter, const QString& suffix,
                                 const QString& proposed) {
  return env_.Dialogs.FileName ? env_.Dialogs.FileName(this, save, title, filter, suffix, proposed) : QString();
}

bool TfrmSkimlet::OpenUrl(const QUrl& url) { return env_.Dialogs.OpenUrl && env_.Dialogs.OpenUrl(url); }

void TfrmSkimlet::ShowFilters(bool on) {
  Options.bShowFilters = on;
  frame_.pnlFilters->setVisible(on);
  ApplyNetworkFilter();
}

void TfrmSkimlet::UpdateStatusBar() {
  statusPanels_->Show(SelectedInterface(), SelectedNetworks(), model_->rowCount());
  const TWLANNetworkList* list = SelectedNetworks();
  frame_.vstFilter->UpdateCounts(list ? &list->Counters : nullptr);
  commands_->Update();
}

bool TfrmSkimlet::event(QEvent* event) {
  // The hints of menu and tool-bar commands would replace the status panels while the pointer rests on them;
  // the hints show as tool tips instead.
  if (event->type() == QEvent::StatusTip) return true;
  return TFormStored::event(event);
}

void TfrmSkimlet::BringToFront() {
  // A minimised window comes back in the state it had before, maximised ones included.
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TfrmSkimlet::FirstActivation() {
  TWLANInterface* itf = SelectedInterface();
  if (!itf) return;
  itf->UpdateRadioState();
  if (!itf->IsHardwareRadioOn()) {
    if (Ask(Tr("sWNICHardOff"), Tr("sWarning"), QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel) !=
        QMessageBox::Ok)
      return;
    itf->UpdateRadioState();
    if (!itf->IsHardwareRadioOn()) return;
  }
  if (itf->IsSoftwareRadioOn()) return;
  if (Ask(Tr("sWNICSoftOff"), Tr("sWarning"), QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes)
    return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  itf->SetRadio(true);
  itf->UpdateRadioState();
  QApplication::restoreOverrideCursor();
}

}  // namespace skimlet

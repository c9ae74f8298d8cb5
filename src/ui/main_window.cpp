#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }

QString Fmt(std::string_view key, std::initializer_list<FmtArg> args) {
  return QString::fromStdString(Format(Translate(key), args));
}

}  // namespace

// Status panel 0: the signal icon of the connection and the SSID text, drawn by the window.
class TStatusPanel0 : public QWidget {
public:
  explicit TStatusPanel0(QWidget* parent) : QWidget(parent) {}
  // 150 pixels, or what the icon and the text need when the status bar has room for it.
  QSize sizeHint() const override {
    const int needed = shown_ ? 16 + 6 + fontMetrics().horizontalAdvance(text_) + 4 : 0;
    return {std::max(150, needed), fontMetrics().height() + 4};
  }
  QSize minimumSizeHint() const override { return {40, fontMetrics().height() + 4}; }
  void Set(bool shown, int qualityClass, bool open, const QString& text) {
    shown_ = shown;
    class_ = qualityClass;
    open_ = open;
    text_ = text;
    updateGeometry();
    update();
  }
  const QString& Text() const { return text_; }

protected:
  void paintEvent(QPaintEvent*) override {
    if (!shown_) return;
    QPainter p(this);
    const int side = std::min(16, height());
    SignalIcon(class_, open_).paint(&p, QRect(3, (height() - side) / 2, side, side));
    const QRect textRect(side + 6, 0, width() - side - 6, height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text_, Qt::ElideRight, textRect.width()));
  }

private:
  bool shown_ = false;
  int class_ = 0;
  bool open_ = false;
  QString text_;
};

// A status panel of fixed width: a text longer than the panel ends in an ellipsis instead of running into the
// next panel.
class TStatusPanel : public QLabel {
public:
  // Width: the panel's width, wider when its text needs it and the status bar has room; a narrow window
  // shrinks the panels instead of letting them overlap.
  TStatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {}
  QSize sizeHint() const override {
    const QMargins m = contentsMargins();
    const int needed = fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 6;
    return {std::max(width_, needed), QLabel::sizeHint().height()};
  }
  QSize minimumSizeHint() const override { return {24, QLabel::minimumSizeHint().height()}; }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = contentsRect();
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
  }

private:
  int width_;
};

TfrmSkimlet::TfrmSkimlet(TStartEnvironment env, QWidget* parent) : TFormStored(std::move(env), parent) {
  setObjectName(QStringLiteral("frmSkimlet"));
  FormCreate();
}

TfrmSkimlet::~TfrmSkimlet() { FormDestroy(); }

QAction* TfrmSkimlet::MakeAction(const char* name, const char* caption, const char* hint, bool built) {
  auto* a = new QAction(QString::fromUtf8(caption), this);
  a->setObjectName(QString::fromUtf8(name));
  a->setToolTip(QString::fromUtf8(hint));
  a->setStatusTip(QString::fromUtf8(hint));
  // Commands whose features are not there yet stay visible and disabled.
  a->setEnabled(built);
  a->setProperty("built", built);
  actions_.insert(a->objectName(), a);
  return a;
}

void TfrmSkimlet::CreateActions() {
  MakeAction("actRefreshInterfaces", "Refresh interfaces", "Enumerate the wireless interfaces again", true)
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
  MakeAction("actSaveSnapShot", "Save snapshot", "Save the network list to a snapshot file", false);
  MakeAction("actOpenSnapShot", "Open snapshot", "Open a snapshot file", false);
  MakeAction("actPreferences", "Preferences...", "Change the program options", false);
  MakeAction("actExit", "Exit", "Close the program", true);
  MakeAction("actNetworkConnectDisconnect", "Connect", "Connect to the selected network", false);
  QAction* pause = MakeAction("actNetworkPauseNetworkUpdating", "Pause network updating",
                              "Stop updating the network list", true);
  pause->setCheckable(true);
  MakeAction("actNetworkUpdateNetworkList", "Update network list", "Update the network list now", true)
      ->setShortcut(QKeySequence(Qt::Key_F5));
  MakeAction("actNetworkDelete", "Delete network", "Remove the selected networks from the list", false);
  MakeAction("actNetworkDeleteAllInactive", "Delete all inactive network",
             "Remove every network that is no longer heard", false);
  MakeAction("actNetworkClearNetworkList", "Clear network list", "Remove every network from the list", true);
  MakeAction("actCopy", "Copy", "Copy to the clipboard", false);
  MakeAction("actCopyLine", "Copy line", "Copy the selected lines", false);
  MakeAction("actCopyAll", "Copy all", "Copy every line", false);
  MakeAction("actNetworkExportToFile", "Export to file", "Export the network list to a file", false);
  MakeAction("actNetworkReport", "Report...", "Write an HTML report", false);
  MakeAction("actNetworkChangeColor", "Change color", "Change the colour of the selected network", true);
  MakeAction("actNetworkProperties", "Properties", "Show the properties of the selected network", false);
  MakeAction("actEditComment", "Edit comment", "Edit the comment of the focused network", false)
      ->setShortcut(QKeySequence(Qt::Key_F2));
  MakeAction("actCurrentConnectionDisconnect", "Disconnect", "Disconnect from the current network", false);
  MakeAction("actRadioSwitchAll", "Wireless On", "Switch the wireless radio on or off", false);
  QAction* filters = MakeAction("actShowFilters", "Show filters", "Show or hide the filter panel", true);
  filters->setCheckable(true);
  MakeAction("actShowHorizontalGrid", "Show horizontal grid", "Horizontal grid lines in the network list", true)
      ->setCheckable(true);
  MakeAction("actShowVerticalGrid", "Show vertical grid", "Vertical grid lines in the network list", true)
      ->setCheckable(true);
  MakeAction("actShowStripedGrid", "Show striped grid", "Striped rows in the network list", true)->setCheckable(true);
  MakeAction("actSelectColumns", "Select columns...", "Choose the columns of the network list", false);
  MakeAction("actShowRestoreOrder", "Restore columns order", "Put the columns back in their first order", true);
  MakeAction("actHelpOnline", "Online help", "Open the online help", false);
  MakeAction("actHome", "Homepage", "Open the home page", false);
  MakeAction("actSupport", "Technical support", "Open the support page", false);
  MakeAction("actFeedback", "Feedback", "Send feedback", false);
  MakeAction("actCheckForUpdates", "Check for updates...", "Look for a newer version", false);
  MakeAction("actAbout", "About...", "About this program", false);

  connect(Action("actRefreshInterfaces"), &QAction::triggered, this, [this] { RefreshInterfacesCommand(); });
  connect(Action("actExit"), &QAction::triggered, this, &QWidget::close);
  connect(Action("actNetworkUpdateNetworkList"), &QAction::triggered, this, [this] {
    RefreshNetworks();
    RefreshInterfaceState();
  });
  connect(Action("actNetworkClearNetworkList"), &QAction::triggered, this, [this] { ClearNetworkListCommand(); });
  connect(Action("actNetworkChangeColor"), &QAction::triggered, this, [this] {
    const QModelIndexList rows = vstNetworkList_->selectionModel()->selectedRows();
    if (!rows.isEmpty()) ChangeColor(model_->NetworkOfRow(rows.first().row()));
  });
  connect(filters, &QAction::toggled, this, [this](bool on) { ShowFiltersToggled(on); });
  connect(Action("actShowHorizontalGrid"), &QAction::toggled, this, [this](bool on) {
    Options.bHorzGrid = on;
    vstNetworkList_->viewport()->update();
  });
  connect(Action("actShowVerticalGrid"), &QAction::toggled, this, [this](bool on) {
    Options.bVertGrid = on;
    vstNetworkList_->viewport()->update();
  });
  connect(Action("actShowStripedGrid"), &QAction::toggled, this, [this](bool on) {
    Options.bStripped = on;
    model_->RepaintAll();
  });
  connect(Action("actShowRestoreOrder"), &QAction::triggered, this, [this] { RestoreColumnsOrder(); });
}

void TfrmSkimlet::CreateMenus() {
  auto add = [this](QMenu* m, std::initializer_list<const char*> names) {
    for (const char* n : names) {
      if (n[0] == '-') m->addSeparator();
      else m->addAction(Action(QString::fromUtf8(n)));
    }
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  add(file, {"actRefreshInterfaces", "-", "actSaveSnapShot", "actOpenSnapShot", "-", "actPreferences"});
  mnuLanguage_ = file->addMenu(QStringLiteral("Language"));
  mnuLanguage_->setObjectName(QStringLiteral("mnuLanguage"));
  add(file, {"-", "actExit"});

  mnuCopy_ = new QMenu(this);
  mnuCopy_->setObjectName(QStringLiteral("mnuCopy"));
  Action("actCopy")->setMenu(mnuCopy_);

  QMenu* network = menuBar()->addMenu(QStringLiteral("&Network"));
  network->setObjectName(QStringLiteral("mnuNetwork"));
  add(network, {"actNetworkConnectDisconnect", "-", "actNetworkPauseNetworkUpdating", "actNetworkUpdateNetworkList",
                "-", "actNetworkDelete", "actNetworkDeleteAllInactive", "actNetworkClearNetworkList", "-", "actCopy",
                "actNetworkExportToFile", "actNetworkReport", "-", "actNetworkChangeColor", "actNetworkProperties"});
  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("mnuTools"));
  add(tools, {"actRadioSwitchAll"});
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("mnuView"));
  add(view, {"actShowFilters", "-", "actShowHorizontalGrid", "actShowVerticalGrid", "actShowStripedGrid"});
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  add(help, {"actHelpOnline", "-", "actHome", "actSupport", "actFeedback", "actCheckForUpdates", "-", "actAbout"});

  QToolBar* bar = addToolBar(QStringLiteral("Tools"));
  bar->setObjectName(QStringLiteral("tbMain"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const char* n : {"actNetworkConnectDisconnect", "-", "actNetworkPauseNetworkUpdating",
                        "actNetworkUpdateNetworkList", "-", "actNetworkDelete", "actNetworkDeleteAllInactive",
                        "actNetworkClearNetworkList", "actNetworkProperties", "-", "actRadioSwitchAll", "-",
                        "actShowFilters", "actNetworkReport", "-", "actPreferences", "actHelpOnline", "actHome",
                        "actAbout"}) {
    if (n[0] == '-') bar->addSeparator();
    else bar->addAction(Action(QString::fromUtf8(n)));
  }
}

void TfrmSkimlet::CreateFrame() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 0);

  auto* top = new QHBoxLayout();
  auto* lblInterface = new QLabel(QStringLiteral("Interface:"), central);
  lblInterface->setObjectName(QStringLiteral("lblInterface"));
  cbInterfaces_ = new QComboBox(central);
  cbInterfaces_->setObjectName(QStringLiteral("cbInterfaces"));
  cbInterfaces_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  cbInterfaces_->setMinimumWidth(320);
  top->addWidget(lblInterface);
  top->addWidget(cbInterfaces_);
  top->addStretch(1);
  outer->addLayout(top);

  pcMain_ = new QTabWidget(central);
  pcMain_->setObjectName(QStringLiteral("pcMain"));
  outer->addWidget(pcMain_, 1);

  // Scanner: filter panel | (find box, list, lower pages)
  auto* tsScanner = new QWidget();
  tsScanner->setObjectName(QStringLiteral("tsScanner"));
  auto* scannerLayout = new QHBoxLayout(tsScanner);
  scannerLayout->setContentsMargins(2, 2, 2, 2);
  splFilters_ = new QSplitter(Qt::Horizontal, tsScanner);
  splFilters_->setObjectName(QStringLiteral("splFilters"));
  scannerLayout->addWidget(splFilters_);

  pnlFilters_ = new QWidget(splFilters_);
  pnlFilters_->setObjectName(QStringLiteral("pnlFilters"));
  auto* filterLayout = new QVBoxLayout(pnlFilters_);
  filterLayout->setContentsMargins(0, 0, 0, 0);
  auto* lblFilters = new QLabel(QStringLiteral("Filters"), pnlFilters_);
  lblFilters->setObjectName(QStringLiteral("lblFilters"));
  filterLayout->addWidget(lblFilters);
  auto* vstFilter = new QTreeView(pnlFilters_);
  vstFilter->setObjectName(QStringLiteral("vstFilter"));
  vstFilter->setHeaderHidden(true);
  filterLayout->addWidget(vstFilter, 1);

  auto* right = new QWidget(splFilters_);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* findRow = new QHBoxLayout();
  auto* lblFind = new QLabel(QStringLiteral("Find:"), right);
  lblFind->setObjectName(QStringLiteral("lblFind"));
  edFilterText_ = new QLineEdit(right);
  edFilterText_->setObjectName(QStringLiteral("edFilterText"));
  edFilterText_->setEnabled(false);
  findRow->addWidget(lblFind);
  findRow->addWidget(edFilterText_, 1);
  rightLayout->addLayout(findRow);

  splLower_ = new QSplitter(Qt::Vertical, right);
  splLower_->setObjectName(QStringLiteral("splLower"));
  rightLayout->addWidget(splLower_, 1);
  model_ = new TNetworkListModel(Options, this);
  model_->Filter = [this](const TWLANNetwork& n) { return NetworkPassesFilter(n, Options, findText_); };
  vstNetworkList_ = new TNetworkListView(Options, model_, splLower_);
  vstNetworkList_->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* n : {"actNetworkConnectDisconnect", "-", "actEditComment", "actNetworkPauseNetworkUpdating",
                        "actNetworkUpdateNetworkList", "-", "actNetworkDelete", "actNetworkDeleteAllInactive",
                        "actNetworkClearNetworkList", "-", "actCopy", "actNetworkExportToFile", "actNetworkReport",
                        "-", "actNetworkChangeColor", "actNetworkProperties"}) {
    if (n[0] == '-') {
      auto* sep = new QAction(vstNetworkList_);
      sep->setSeparator(true);
      vstNetworkList_->addAction(sep);
    } else {
      vstNetworkList_->addAction(Action(QString::fromUtf8(n)));
    }
  }
  connect(vstNetworkList_->header(), &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowHeaderMenu(pos); });
  connect(vstNetworkList_->Delegate(), &TNetworkListDelegate::SwatchClicked, this,
          [this](TWLANNetwork* n) { ChangeColor(n); });
  connect(vstNetworkList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateActions(); });

  pcInfo_ = new QTabWidget(splLower_);
  pcInfo_->setObjectName(QStringLiteral("pcInfo"));
  tsBand1_ = new QWidget();
  tsBand1_->setObjectName(QStringLiteral("tsBand1"));
  tsBand2_ = new QWidget();
  tsBand2_->setObjectName(QStringLiteral("tsBand2"));
  pcInfo_->addTab(tsBand1_, Tr("2.4 and 5Ghz"));
  pcInfo_->addTab(tsBand2_, Tr("5Ghz"));
  for (auto [name, caption] : {std::pair{"tsGraphs", "Graphs"}, {"tsNetworkDetails", "Network details"},
                               {"tsAdvancedDetails", "Advanced details"}}) {
    auto* page = new QWidget();
    page->setObjectName(QString::fromUtf8(name));
    pcInfo_->addTab(page, QString::fromUtf8(caption));
  }
  splLower_->setStretchFactor(0, 1);
  splLower_->setStretchFactor(1, 0);
  splFilters_->setStretchFactor(0, 0);
  splFilters_->setStretchFactor(1, 1);
  pcMain_->addTab(tsScanner, QStringLiteral("Scanner"));

  auto* tsCurrentConnection = new QWidget();
  tsCurrentConnection->setObjectName(QStringLiteral("tsCurrentConnection"));
  pcMain_->addTab(tsCurrentConnection, QStringLiteral("Current connection"));
  auto* tsStatistics = new QWidget();
  tsStatistics->setObjectName(QStringLiteral("tsWirelessStatistics"));
  auto* statLayout = new QVBoxLayout(tsStatistics);
  pcStatistics_ = new QTabWidget(tsStatistics);
  pcStatistics_->setObjectName(QStringLiteral("pcStatistics"));
  for (auto [name, caption] : {std::pair{"tsPHYLayer", "PHY layer"}, {"tsMACLayer", "MAC layer"}}) {
    auto* page = new QWidget();
    page->setObjectName(QString::fromUtf8(name));
    pcStatistics_->addTab(page, QString::fromUtf8(caption));
  }
  statLayout->addWidget(pcStatistics_);
  pcMain_->addTab(tsStatistics, QStringLiteral("Wireless statistics"));
  setCentralWidget(central);
}

void TfrmSkimlet::CreateStatusBar() {
  static constexpr int kWidths[10] = {150, 150, 150, 150, 100, 100, 150, 150, 150, 150};
  panel0_ = new TStatusPanel0(statusBar());
  statusBar()->addWidget(panel0_);
  panels_.append(nullptr);
  for (int i = 1; i < 10; ++i) {
    auto* label = new TStatusPanel(kWidths[i], statusBar());
    label->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    statusBar()->addWidget(label);
    panels_.append(label);
  }
}

QLabel* TfrmSkimlet::StatusPanel(int index) const {
  return index > 0 && index < panels_.size() ? panels_[index] : nullptr;
}

QString TfrmSkimlet::StatusText(int index) const {
  if (index == 0) return panel0_->Text();
  QLabel* l = StatusPanel(index);
  return l ? l->text() : QString();
}

void TfrmSkimlet::BuildLanguageMenu() {
  mnuLanguage_->clear();
  auto* group = new QActionGroup(mnuLanguage_);
  for (const std::string& name : ListLanguages(Folders().LanguagesFolder)) {
    QAction* a = mnuLanguage_->addAction(QString::fromStdString(name));
    a->setCheckable(true);
    a->setActionGroup(group);
    a->setChecked(name == Options.DefaultLang);
    connect(a, &QAction::triggered, this, [this, a] { SwitchLanguage(a->text().remove('&')); });
  }
}

void TfrmSkimlet::FormCreate() {
  CreateActions();
  CreateMenus();
  CreateFrame();
  CreateStatusBar();
  tmUpdateWirelessNetwork_ = new QTimer(this);
  tmUpdateGraph_ = new QTimer(this);
  tmUpdateCurrentConnection_ = new QTimer(this);
  tmUpdateWirelessStatistics_ = new QTimer(this);
  tmUpdateWirelessNetwork_->setObjectName(QStringLiteral("tmUpdateWirelessNetwork"));
  tmUpdateGraph_->setObjectName(QStringLiteral("tmUpdateGraph"));
  tmUpdateCurrentConnection_->setObjectName(QStringLiteral("tmUpdateCurrentConnection"));
  tmUpdateWirelessStatistics_->setObjectName(QStringLiteral("tmUpdateWirelessStatistics"));
  connect(tmUpdateWirelessNetwork_, &QTimer::timeout, this, [this] {
    if (!Paused() && interfaces_) interfaces_->RequestScan();
  });
  // The graphs repaint here once they exist; the status bar follows the connection and the list counts.
  connect(tmUpdateGraph_, &QTimer::timeout, this, [this] { UpdateStatusBar(); });
  connect(tmUpdateCurrentConnection_, &QTimer::timeout, this, [this] { RefreshInterfaceState(); });
  connect(tmUpdateWirelessStatistics_, &QTimer::timeout, this, [this] { RefreshStatistics(); });
  connect(cbInterfaces_, &QComboBox::activated, this, [this](int i) { InterfaceChosen(i); });

  // 1. Layout from the options.
  splFilters_->setSizes({Options.aLeftPanelWidth, std::max(100, width() - Options.aLeftPanelWidth)});
  splLower_->setSizes({std::max(100, height() - Options.aTopPanelHeight), Options.aTopPanelHeight});
  pnlFilters_->setVisible(Options.bShowFilters);
  {
    QSignalBlocker block(Action("actShowFilters"));
    Action("actShowFilters")->setChecked(Options.bShowFilters);
  }
  {
    QSignalBlocker b1(Action("actShowHorizontalGrid")), b2(Action("actShowVerticalGrid")),
        b3(Action("actShowStripedGrid"));
    Action("actShowHorizontalGrid")->setChecked(Options.bHorzGrid);
    Action("actShowVerticalGrid")->setChecked(Options.bVertGrid);
    Action("actShowStripedGrid")->setChecked(Options.bStripped);
  }
  pcMain_->setCurrentIndex(0);
  pcInfo_->setCurrentIndex(0);
  pcStatistics_->setCurrentIndex(0);
  firstActivation_ = true;
  ApplyNetworkLayout();
  vstNetworkList_->setMouseTracking(true);

  // 2. and 3.
  BuildLanguageMenu();
  ApplyLanguage();

  // 9. The interface set on its service, no interface selected, the callbacks installed.
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

  // 10. The session, with Abort, Retry and Ignore.
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

  // 11. and 12. (the enumeration selects the first connected interface, else the first one). After Ignore
  // the enumeration tries the session once more; its failure is only reported when there is a session.
  if (interfaces_) {
    if (!interfaces_->Enumerate()) {
      if (interfaces_->HandleOpen)
        Ask(Tr("sWLANInterfaceCouldNotEnumerate"), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
    } else if (interfaces_->Count() == 0) {
      Ask(Tr("sWLANInterfaceInterfaceMissing"), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
    }
    // 13.
    if (TWLANInterface* itf = interfaces_->Selected(); itf && !itf->AutoConfEnabled) {
      const QString text = Fmt("Auto configuration is disabled on interface \"%s\".", {itf->Description}) + "\n" +
                           Tr("Scanning functionality is not available with disabled auto configuration.");
      Ask(text, Tr("sWarning"), QMessageBox::Warning, QMessageBox::Ok);
    }
  }
  // 15. and 16.
  building_ = false;
  RebuildInterfaceList();
  StartTimers();
}

void TfrmSkimlet::InstallInterfaceCallbacks() {
  interfaces_->OnInterfacesChange = [this](TWLANInterfaces&) { InterfacesChanged(); };
  interfaces_->OnNetworkListChange = [this](TWLANNetworkList& l) { SyncNetworkRows(l); };
  interfaces_->OnConnectionChange = [this](TWlanObject& c) { ConnectionChanged(c); };
  interfaces_->OnVendorError = [](const std::string& error) {
    qWarning("skimlet: vendor lookup: %s", error.c_str());
  };
  // The service's thread: hand the news to the window thread and do nothing else. The set detaches the post
  // (under the relay's lock) before the window goes, and a queued call dies with its receiver.
  interfaces_->SetPostScanResults(
      [this] { QMetaObject::invokeMethod(this, [this] { ScanResultsReady(); }, Qt::QueuedConnection); });
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
  if (connection.Interface == SelectedInterface()) UpdateStatusBar();
}

void TfrmSkimlet::FormDestroy() {
  for (QTimer* t : {tmUpdateWirelessNetwork_, tmUpdateGraph_, tmUpdateCurrentConnection_, tmUpdateWirelessStatistics_})
    t->stop();
  const QList<int> sizes = splFilters_->sizes();
  if (pnlFilters_->isVisible() && !sizes.isEmpty() && sizes[0] > 0) Options.aLeftPanelWidth = sizes[0];
  Options.bShowFilters = Action("actShowFilters")->isChecked();
  const QList<int> lower = splLower_->sizes();
  if (lower.size() == 2 && lower[1] > 0) Options.aTopPanelHeight = lower[1];
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  Options.bVertGrid = Action("actShowVerticalGrid")->isChecked();
  Options.bHorzGrid = Action("actShowHorizontalGrid")->isChecked();
  // The interface set goes (its network lists write comments.txt and colors.txt, the session closes), then
  // the service it talked to.
  model_->SetList(nullptr);
  interfaces_.reset();
  service_.reset();
}

void TfrmSkimlet::ApplyNetworkLayout() {
  ApplyLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  model_->Sort(vstNetworkList_->header()->sortIndicatorSection(), vstNetworkList_->header()->sortIndicatorOrder());
  vstNetworkList_->ShowSortIndicator();
}

void TfrmSkimlet::ApplyLanguage() {
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  LoadColumnTitles(Lang, Options.Layouts);
  TQtTranslatable window(this, "TfrmSkimlet");
  TTranslatable* windows[] = {&window};
  TranslateForms(Lang, windows, &window);
  if (Options.BandsOnSinglePanel) {
    pcInfo_->setTabText(pcInfo_->indexOf(tsBand1_), Tr("2.4 and 5Ghz"));
    pcInfo_->setTabVisible(pcInfo_->indexOf(tsBand2_), false);
  } else {
    pcInfo_->setTabText(pcInfo_->indexOf(tsBand1_), Tr("2.4Ghz"));
    pcInfo_->setTabText(pcInfo_->indexOf(tsBand2_), Tr("5Ghz"));
    pcInfo_->setTabVisible(pcInfo_->indexOf(tsBand2_), true);
  }
  ApplyNetworkLayout();
  mnuCopy_->clear();
  mnuCopy_->addAction(Action("actCopyLine"));
  mnuCopy_->addSeparator();
  for (const auto& c : Options.Layouts.ListColumns) mnuCopy_->addAction(QString::fromStdString(c.Caption))->setEnabled(false);
  SetCaption();
}

void TfrmSkimlet::SwitchLanguage(const QString& fileName) {
  Options.DefaultLang = fileName.toStdString();
  if (!IsPlainFileName(Options.DefaultLang)) return;
  Lang.SetLangFile((Folders().LanguagesFolder / Options.DefaultLang).string());
  Lang.LoadLanguageTexts();
  Lang.SetSeparator(",");
  ApplyLanguage();
  RebuildInterfaceList();
}

bool TfrmSkimlet::Paused() const { return Action("actNetworkPauseNetworkUpdating")->isChecked(); }

void TfrmSkimlet::StartTimers() {
  auto ms = [](int32_t seconds) { return std::max(1, seconds) * 1000; };
  tmUpdateWirelessNetwork_->setInterval(ms(Options.UpdateWirelessNetworkInterval));
  tmUpdateGraph_->setInterval(ms(Options.UpdateGraphInterval));
  tmUpdateCurrentConnection_->setInterval(ms(Options.UpdateCurrentConnectionInterval));
  tmUpdateWirelessStatistics_->setInterval(ms(Options.UpdateWirelessStatisticsInterval));
  tmUpdateGraph_->start();
  tmUpdateCurrentConnection_->start();
  tmUpdateWirelessNetwork_->start();
  tmUpdateWirelessStatistics_->start();
}

void TfrmSkimlet::ScanResultsReady() {
  if (!interfaces_) return;
  if (Paused()) {
    // The list stays as it is, but the request was answered: it must not hold back the scans after the pause.
    interfaces_->ScanPending = false;
    return;
  }
  if (Options.bDeleteNetworkIfNotSeen) DeleteStaleNetworks(Options.intDeleteNetworkIfNotSeenMin, interfaces_->Now());
  interfaces_->TakeScanResults();
}

void TfrmSkimlet::ClearNetworks() {
  model_->ForgetAll();
  if (TWLANNetworkList* list = SelectedNetworks()) list->Clear();
}

void TfrmSkimlet::RefreshNetworks() {
  TWLANInterface* itf = SelectedInterface();
  if (!itf) {
    ClearNetworks();
    return;
  }
  if (Options.bDeleteNetworkIfNotSeen) DeleteStaleNetworks(Options.intDeleteNetworkIfNotSeenMin, interfaces_->Now());
  itf->RefreshNetworks();
}

void TfrmSkimlet::DeleteStaleNetworks(int minutes, LocalDateTime now) {
  TWLANNetworkList* list = SelectedNetworks();
  if (!list) return;
  std::vector<const TWLANNetwork*> stale;
  std::vector<int> indexes;
  for (int i = 0; i < list->Count(); ++i) {
    const TWLANNetwork& n = *list->Items[static_cast<size_t>(i)];
    if (MinutesBetween(n.LastSeen, now) >= minutes) {
      stale.push_back(&n);
      indexes.push_back(i);
    }
  }
  if (stale.empty()) return;
  model_->Forget(stale);
  for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) list->Delete(*it);
}

void TfrmSkimlet::RefreshInterfaceState() {
  if (TWLANInterface* itf = SelectedInterface()) {
    itf->UpdateProperties();
    itf->UpdateRadioState();
    itf->UpdateConnection();  // its change handler updates the status bar
  }
  UpdateActions();
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
  UpdateActions();
}

void TfrmSkimlet::RebuildInterfaceList() {
  {
    QSignalBlocker block(cbInterfaces_);
    cbInterfaces_->clear();
    if (interfaces_) {
      for (const auto& itf : interfaces_->Items) {
        QString text = QString::fromStdString(itf->Description);
        if (simulated_) text = Fmt("%s (simulated radio)", {itf->Description});
        cbInterfaces_->addItem(text);
      }
      if (interfaces_->Count() > 0) cbInterfaces_->setCurrentIndex(interfaces_->SelectedIndex);
      interfaces_->SetSelectedIndex(cbInterfaces_->currentIndex());
    }
    if (cbInterfaces_->count() == 0) cbInterfaces_->setPlaceholderText(Tr("sWLANInterfaceInterfaceMissing"));
  }
  model_->SetList(SelectedNetworks());
  ClearNetworks();
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
  RefreshNetworks();
  RefreshInterfaceState();
}

void TfrmSkimlet::RefreshInterfacesCommand() {
  if (Ask(Tr("sRefreshWLANInterfaceListWarning"), Tr("sWarning"), QMessageBox::Warning,
          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  model_->SetList(nullptr);
  cbInterfaces_->clear();
  if (!interfaces_) return;
  interfaces_->Clear();
  interfaces_->SetSelectedIndex(-1);
  // A successful enumeration ends in RebuildInterfaceList; a failed one leaves the views empty.
  if (!interfaces_->Enumerate()) RebuildInterfaceList();
}

void TfrmSkimlet::ClearNetworkListCommand() {
  if (Ask(Tr("sClearNetworkListInfo"), Tr("sWarning"), QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No) ==
      QMessageBox::Yes)
    ClearNetworks();
}

void TfrmSkimlet::ChangeColor(TWLANNetwork* n) {
  if (!n) return;
  const TColor c = n->GetColor();
  const QColor initial(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
  const QColor chosen = QColorDialog::getColor(initial, this);
  if (!chosen.isValid()) return;
  n->SetColor(static_cast<TColor>(chosen.red()) | static_cast<TColor>(chosen.green()) << 8 |
              static_cast<TColor>(chosen.blue()) << 16);
  model_->RepaintAll();
}

void TfrmSkimlet::ShowFiltersToggled(bool on) {
  Options.bShowFilters = on;
  pnlFilters_->setVisible(on);
  model_->ApplyFilter(!on);
}

void TfrmSkimlet::ShowHeaderMenu(const QPoint& pos) {
  QMenu menu(this);
  QHeaderView* header = vstNetworkList_->header();
  for (int i = 0; i < NetworkColumnCount; ++i) {
    QAction* a = menu.addAction(model_->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString());
    a->setCheckable(true);
    a->setChecked(!header->isSectionHidden(i));
    a->setEnabled(i != 1);
    connect(a, &QAction::toggled, this, [this, header, i](bool shown) {
      if (!shown) ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);  // keeps its width
      header->setSectionHidden(i, !shown);
      if (shown) header->resizeSection(i, std::max(50, Options.Layouts.ListColumns[static_cast<size_t>(i)].Width));
    });
  }
  menu.addSeparator();
  menu.addAction(Action("actShowHorizontalGrid"));
  menu.addAction(Action("actShowVerticalGrid"));
  menu.addAction(Action("actShowStripedGrid"));
  menu.addSeparator();
  menu.addAction(Action("actShowRestoreOrder"));
  menu.addAction(Action("actSelectColumns"));
  menu.exec(header->mapToGlobal(pos));
}

void TfrmSkimlet::RestoreColumnsOrder() {
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  for (size_t i = 0; i < Options.Layouts.ListColumns.size(); ++i)
    Options.Layouts.ListColumns[i].Position = static_cast<int32_t>(i);
  ApplyNetworkLayout();
}

void TfrmSkimlet::UpdateStatusBar() {
  TWLANInterface* itf = SelectedInterface();
  TWLANNetworkList* list = itf ? itf->Networks.get() : nullptr;
  if (list) {
    panels_[6]->setText(Fmt("sbNetworksFound", {list->Counters[kCountAll]}));
    panels_[7]->setText(Fmt("sbNetworksActive", {list->Counters[kCountActive]}));
    panels_[8]->setText(Fmt("sbNetworksDisplayed", {model_->rowCount()}));
  } else {
    for (int i = 6; i <= 8; ++i) panels_[i]->clear();
  }
  if (itf && itf->IsConnected()) {
    const TWLANConnection& c = *itf->Connection;
    panel0_->Set(true, QualityClassOf(c.SignalQuality), !c.SecurityEnabled, Fmt("sbSSID", {c.SSID}));
    panels_[1]->setText(Fmt("sbNetworkMode", {c.PhyTypeText()}));
    panels_[2]->setText(Fmt("sbRSSI", {c.RSSI}));
    panels_[3]->setText(Fmt("sbSignalQuality", {c.SignalQuality}));
    panels_[4]->setText(Fmt("Rx: %sMbps", {c.RxRateText()}));
    panels_[5]->setText(Fmt("Tx: %sMbps", {c.TxRateText()}));
  } else {
    panel0_->Set(false, 0, false, QString());
    for (int i = 1; i <= 5; ++i) panels_[i]->clear();
  }
  UpdateActions();
}

void TfrmSkimlet::UpdateActions() {
  const bool selection = vstNetworkList_->selectionModel() && vstNetworkList_->selectionModel()->hasSelection();
  Action("actNetworkChangeColor")->setEnabled(selection);
  Action("actNetworkClearNetworkList")->setEnabled(model_->TotalRows() > 0);
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

// The main window over the simulated radio: start-up fills the list, the pause holds it, shutdown writes the
// settings and a second window finds its layout again; the window's texts in the English language file.
#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "backends/sim/sim_service.h"
#include "core/base/atomic_file.h"
#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/settings/lang.h"
#include "support/fake_wlan_service.h"
#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/tree_text.h"
#include "core/ie/vendor.h"
#include "core/vendor/vendor.h"
#include "support/network_fixture.h"
#include "support/vendor_db_fixture.h"
#include "ui/window_environment.h"
#include "ui/connection/connection_page.h"
#include "ui/connection/current_connection.h"
#include "ui/details/advanced_details.h"
#include "ui/details/details_part.h"
#include "ui/filters/filter_tree.h"
#include "ui/details/element_tree_model.h"
#include "ui/hexview/hex_dump_viewer.h"
#include "ui/report/file_dialogs.h"
#include "ui/window/main_window.h"
#include "ui/statistics/statistics_pages.h"
#include "render/wifi_graphs.h"

namespace skimlet {
namespace {

TStatusPanel P(int index) { return static_cast<TStatusPanel>(index); }

QString Fmt(std::string_view key, std::initializer_list<FmtArg> args) {
  return QString::fromStdString(Format(Translate(key), args));
}

class WindowTest : public ::testing::Test {
 protected:
  TStartEnvironment Environment() {
    TStartEnvironment env = test::SimWindowEnvironment(dir.path());
    env.Dialogs.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                 QMessageBox::StandardButtons buttons) {
      messages << text;
      if (answerYes && (buttons & QMessageBox::Yes)) return QMessageBox::Yes;
      if (buttons & QMessageBox::Ignore) return QMessageBox::Ignore;
      if (buttons & QMessageBox::Cancel) return QMessageBox::Cancel;
      if (buttons & QMessageBox::No) return QMessageBox::No;
      return QMessageBox::Ok;
    };
    return env;
  }
  // An environment whose service is a fake with one interface; Setup fills its answers. The window owns the
  // fake; fake points to it while the window lives.
  TStartEnvironment FakeEnvironment(std::function<void(test::FakeWlanService&)> setup) {
    return test::WithFakeService(Environment(), std::move(setup), fake);
  }
  static void Tick(TfrmSkimlet& w, const char* timer) {
    QTimer* t = w.findChild<QTimer*>(QString::fromUtf8(timer));
    ASSERT_TRUE(t);
    ASSERT_TRUE(QMetaObject::invokeMethod(t, "timeout"));
  }
  std::filesystem::path Settings() const {
    return std::filesystem::path(dir.path().toStdString()) / "Brankwell" / "Skimlet";
  }

  QTemporaryDir dir;
  QStringList messages;
  bool answerYes = false;  // questions with a Yes button are answered Yes
  test::FakeWlanService* fake = nullptr;
};

WLAN_CONNECTION_ATTRIBUTES Connection(const std::string& ssid, uint32_t quality) {
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = kInterfaceConnected;
  a.dot11Ssid.uSSIDLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), a.dot11Ssid.ucSSID.begin());
  a.dot11BssType = 1;
  a.dot11Bssid = {0x02, 0, 0, 0, 0, 1};
  a.dot11PhyType = 7;
  a.wlanSignalQuality = quality;
  a.ulRxRate = 144400;
  a.ulTxRate = 72200;
  a.bSecurityEnabled = 1;
  return a;
}

TEST_F(WindowTest, StartFillsTheListAndShutdownKeepsTheLayout) {
  {
    TfrmSkimlet w(Environment());
    ASSERT_FALSE(w.TerminateRequested());
    ASSERT_GE(w.InterfaceSelector()->count(), 1);
    EXPECT_TRUE(w.InterfaceSelector()->currentText().contains("simulated radio"));
    ASSERT_TRUE(w.Interfaces()->RequestScan());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.NetworkModel()->rowCount() > 0; }, 5000));
    const int rows = w.NetworkModel()->rowCount();

    // Paused: scan results change nothing (but answer the request), the explicit update still refreshes.
    w.Action(TCommand::NetworkPauseNetworkUpdating)->setChecked(true);
    w.NetworkModel()->ForgetAll();
    w.SelectedNetworks()->Clear();
    w.Interfaces()->RequestScan();
    w.ScanResultsReady();
    EXPECT_EQ(w.NetworkModel()->rowCount(), 0);
    EXPECT_FALSE(w.Interfaces()->ScanPending);
    w.Action(TCommand::NetworkUpdateNetworkList)->trigger();
    EXPECT_EQ(w.NetworkModel()->rowCount(), rows);
    w.UpdateStatusBar();
    EXPECT_FALSE(w.StatusText(TStatusPanel::NetworksFound).isEmpty());

    w.NetworkList()->HeaderClicked(5);
    w.NetworkList()->HeaderClicked(5);
    w.NetworkList()->header()->resizeSection(2, 222);
    w.NetworkList()->header()->setSectionHidden(3, true);
    w.NetworkList()->header()->moveSection(w.NetworkList()->header()->visualIndex(4), 1);
    // The connection page's panel sizes are kept once the page has been on screen.
    w.show();
    w.Frame().pcMain->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QSplitter* split = w.ConnectionPage()->Splitter();
    const QList<int> sizes = split->sizes();
    split->setSizes({310, sizes.value(0) + sizes.value(1) - 310});
    w.ConnectionPanel()->SetRadioPanelHeight(177);
    w.ConnectionPanel()->ConnectionTable()->header()->resizeSection(0, 140);
  }
  ASSERT_TRUE(std::filesystem::exists(Settings() / "options.xml"));
  EXPECT_TRUE(std::filesystem::exists(Settings() / "comments.txt"));
  EXPECT_TRUE(std::filesystem::exists(Settings() / "colors.txt"));

  TfrmSkimlet again(Environment());
  QHeaderView* h = again.NetworkList()->header();
  EXPECT_EQ(h->sortIndicatorSection(), 5);
  EXPECT_EQ(h->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(again.NetworkModel()->SortColumn(), 5);
  EXPECT_EQ(h->sectionSize(2), 222);
  EXPECT_TRUE(h->isSectionHidden(3));
  EXPECT_EQ(h->visualIndex(4), 1);
  EXPECT_EQ(again.HostOptions().aCurrConPanelWidth, 310);
  EXPECT_EQ(again.HostOptions().aRadioPanelHeight, 177);
  EXPECT_EQ(again.ConnectionPanel()->ConnectionTable()->header()->sectionSize(0), 140);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

// Refresh interfaces frees every interface with its list and enumerates again: the view follows the new list.
TEST_F(WindowTest, RefreshInterfacesRebuildsTheSelectorAndTheList) {
  TStartEnvironment env = Environment();
  env.Dialogs.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                               QMessageBox::StandardButtons) {
    messages << text;
    return QMessageBox::Ok;
  };
  TfrmSkimlet w(std::move(env));
  ASSERT_TRUE(w.Interfaces()->RequestScan());
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.NetworkModel()->rowCount() > 0; }, 5000));
  const int interfaces = w.InterfaceSelector()->count();

  w.Action(TCommand::RefreshInterfaces)->trigger();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toStdString(), Translate("sRefreshWLANInterfaceListWarning"));
  EXPECT_EQ(w.InterfaceSelector()->count(), interfaces);
  EXPECT_EQ(w.Interfaces()->Count(), interfaces);
  ASSERT_TRUE(w.SelectedNetworks());
  EXPECT_EQ(w.NetworkModel()->List(), w.SelectedNetworks());
  EXPECT_EQ(w.NetworkModel()->rowCount(), w.SelectedNetworks()->Count());
  w.Interfaces()->ScanPending = false;
  ASSERT_TRUE(w.Interfaces()->RequestScan());
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.NetworkModel()->rowCount() > 0; }, 5000));
}

// The connection panels come from the selected interface's connection, the RSSI from its own query (the list
// holds no network here); the connection timer refreshes them, the statistics timer the counters.
TEST_F(WindowTest, ConnectionAndStatisticsTimersUpdateTheSelectedInterface) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.SetQuery(kOpcodeCurrentConnection, Connection("Office", 80).Encode());
    f.SetQuery(kOpcodeRssi, EncodeInt32Value(-61));
    f.SetCapability({7});
  }));
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
  ASSERT_TRUE(w.SelectedInterface());
  EXPECT_EQ(w.SelectedNetworks()->Count(), 0);
  EXPECT_EQ(w.StatusText(TStatusPanel::Connection), Fmt("sbSSID", {SafeText("Office", SafeTextStyle::Window)}));
  EXPECT_EQ(w.StatusText(TStatusPanel::RSSI), Fmt("sbRSSI", {-61}));
  EXPECT_EQ(w.StatusText(TStatusPanel::SignalQuality), Fmt("sbSignalQuality", {80}));
  EXPECT_EQ(w.StatusText(TStatusPanel::RxRate), Fmt("Rx: %sMbps", {RateKbpsText(144400)}));
  EXPECT_EQ(w.StatusText(TStatusPanel::NetworksFound), Fmt("sbNetworksFound", {0}));

  fake->SetQuery(kOpcodeRssi, EncodeInt32Value(-70));
  fake->SetQuery(kOpcodeCurrentConnection, Connection("Office", 60).Encode());
  Tick(w, "tmUpdateCurrentConnection");
  EXPECT_EQ(w.StatusText(TStatusPanel::RSSI), Fmt("sbRSSI", {-70}));
  EXPECT_EQ(w.StatusText(TStatusPanel::SignalQuality), Fmt("sbSignalQuality", {60}));

  WLAN_STATISTICS st;
  st.MacUcastCounters[0] = 123;
  st.PhyCounters = {WlanPhyCounters{}};
  st.PhyCounters[0][0] = 456;
  fake->SetQuery(kOpcodeStatistics, st.Encode());
  Tick(w, "tmUpdateWirelessStatistics");
  const TWLANStatistics& stats = *w.SelectedInterface()->Statistics;
  EXPECT_EQ(stats.MacUnicast[0], 123u);
  EXPECT_EQ(stats.PhyCounters[7][0], 456u);
  Tick(w, "tmUpdateGraph");  // no graphs yet: nothing to fail

  // The connection goes: panels 0 to 5 empty, the counts stay.
  fake->FailQuery(kOpcodeCurrentConnection);
  Tick(w, "tmUpdateCurrentConnection");
  for (int i = 0; i <= 5; ++i) EXPECT_TRUE(w.StatusText(P(i)).isEmpty()) << i;
  EXPECT_FALSE(w.StatusText(TStatusPanel::NetworksFound).isEmpty());
}

// The simulated radio completes a connection a moment after the request: the window shows it when the service
// says so, without waiting for the connection timer.
TEST_F(WindowTest, ConnectionShowsWhenTheServiceCompletesIt) {
  TStartEnvironment env = Environment();
  env.CreateService = [](const TProgramOptions&, const TProgramFolders& folders) {
    sim::SimOptions so;
    so.MinScanSeconds = 0.02;
    so.MaxScanSeconds = 0.05;
    so.MinConnectSeconds = 0.1;
    so.MaxConnectSeconds = 0.2;
    std::string error;
    return TWindowService{sim::CreateSimulatedService("sim", folders.ProgramFolder.string(), so, error), true};
  };
  answerYes = true;
  TfrmSkimlet w(std::move(env));
  w.findChild<QTimer*>(QStringLiteral("tmUpdateCurrentConnection"))->stop();
  ASSERT_TRUE(w.Interfaces()->RequestScan());
  ASSERT_TRUE(QTest::qWaitFor([&w] { return w.NetworkModel()->rowCount() > 0; }, 5000));
  // The strongest network that is not the connected one.
  int row = -1;
  for (int r = 0; r < w.NetworkModel()->rowCount(); ++r) {
    const TWLANNetwork* n = w.NetworkModel()->NetworkOfRow(r);
    if (n->Connected || n->SSID.empty()) continue;
    if (row < 0 || n->RSSI > w.NetworkModel()->NetworkOfRow(row)->RSSI) row = r;
  }
  ASSERT_GE(row, 0);
  const std::string ssid = w.NetworkModel()->NetworkOfRow(row)->SSID;
  w.NetworkList()->selectionModel()->setCurrentIndex(w.NetworkModel()->index(row, 1),
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  w.Action(TCommand::NetworkConnectDisconnect)->trigger();
  ASSERT_EQ(messages.size(), 1) << messages.join("|").toStdString();  // the question only
  const QString shown = Fmt("sbSSID", {SafeText(ssid, SafeTextStyle::Window)});
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.StatusText(TStatusPanel::Connection) == shown; }, 3000))
      << w.StatusText(TStatusPanel::Connection).toStdString();
  EXPECT_TRUE(w.SelectedInterface()->IsConnected());
  EXPECT_TRUE(w.Action(TCommand::CurrentConnectionDisconnect)->isEnabled());
}

// No interface is connected: the first one is selected, and its auto-configuration being off is said once.
TEST_F(WindowTest, WithoutConnectionTheFirstInterfaceIsSelectedAndAutoConfigurationOffIsReported) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceDisconnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(0));
  }));
  EXPECT_EQ(w.Interfaces()->SelectedIndex, 0);
  const std::string wlan0 = SafeText("wlan0", SafeTextStyle::Window);
  EXPECT_EQ(w.InterfaceSelector()->currentText().toStdString(), wlan0);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(
      messages[0].contains(QString::fromStdString("Auto configuration is disabled on interface \"" + wlan0 + "\".")));
  EXPECT_TRUE(w.StatusText(TStatusPanel::RSSI).isEmpty());
}

// The colour dialog runs the event loop: the cycle may free the record meanwhile. The dialog works on the
// network's BSSID and finds the record again afterwards; a network that has gone is left alone.
TEST_F(WindowTest, ColourDialogSurvivesItsNetworkAgeingOut) {
  const WLAN_BSS_ENTRY entry = test::MakeEntry(7, -50, 2437000, "cafe");
  TStartEnvironment env = FakeEnvironment([&entry](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{entry, {}}, {test::MakeEntry(8, -60, 2437000, "other"), {}}})};
  });
  TfrmSkimlet* window = nullptr;
  bool ageOut = false;
  int opened = 0;
  env.Dialogs.PickColor = [&](QWidget*, const QColor&) {
    ++opened;
    if (ageOut) {
      // Unheard while the dialog is open, the network goes at the next scan results; the other one stays.
      window->Options.bDeleteNetworkIfNotSeen = true;
      window->Options.intDeleteNetworkIfNotSeenMin = 0;
      fake->BssList = {0, test::MakeBssList({{test::MakeEntry(8, -60, 2437000, "other"), {}}})};
      fake->Notify(kNotificationSourceACM, kAcmScanComplete);
      EXPECT_TRUE(QTest::qWaitFor([&] { return window->SelectedNetworks()->Count() == 1; }, 5000));
    }
    return QColor(0x10, 0x20, 0x30);
  };
  TfrmSkimlet w(std::move(env));
  window = &w;
  ASSERT_EQ(w.NetworkModel()->rowCount(), 2);
  const int cafe = w.NetworkModel()->NetworkOfRow(0)->SSID == "cafe" ? 0 : 1;
  w.NetworkList()->selectionModel()->select(w.NetworkModel()->index(cafe, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ASSERT_TRUE(w.Action(TCommand::NetworkChangeColor)->isEnabled());
  w.Action(TCommand::NetworkChangeColor)->trigger();
  ASSERT_EQ(opened, 1);
  EXPECT_EQ(w.NetworkModel()->NetworkOfRow(cafe)->GetColor(), TColor{0x302010});

  // The network that stays is compared with the BSSID the dialog was opened for (a copy, not the gone
  // record's text) and keeps its colour.
  const TColor other = w.NetworkModel()->NetworkOfRow(1 - cafe)->GetColor();
  ageOut = true;
  w.Action(TCommand::NetworkChangeColor)->trigger();
  EXPECT_EQ(opened, 2);
  ASSERT_EQ(w.SelectedNetworks()->Count(), 1);
  EXPECT_EQ(w.NetworkModel()->TotalRows(), 1);
  EXPECT_EQ(w.SelectedNetworks()->Items[0]->GetColor(), other);
  EXPECT_FALSE(w.Action(TCommand::NetworkChangeColor)->isEnabled());
}

// A language switch re-reads texts and layouts only: the records, their check marks, inactive networks and the
// selection stay, and the texts the program owns follow the language.
TEST_F(WindowTest, LanguageSwitchKeepsTheListAndChangesTheTexts) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "alpha"), {}},
                                       {test::MakeEntry(2, -60, 2437000, "bravo"), {}}})};
  }));
  TWLANNetworkList& list = *w.SelectedNetworks();
  ASSERT_EQ(list.Count(), 2);
  std::vector<const TWLANNetwork*> records;
  for (const auto& n : list.Items) records.push_back(n.get());
  list.UpdateStatuses(EncodeLocalDateTime(2100, 1, 1, 0, 0, 0));  // no longer heard: both inactive
  w.SyncNetworkRows(list);
  TNetworkListModel& model = *w.NetworkModel();
  ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
  const TWLANNetwork* unchecked = model.NetworkOfRow(0);
  const TWLANNetwork* selected = model.NetworkOfRow(1);
  w.NetworkList()->selectionModel()->select(model.index(1, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const LocalDateTime firstSeen = selected->FirstSeen;
  const std::string englishTitle = model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
  // The pages' column widths survive their new titles.
  QHeaderView* connectionHeader = w.ConnectionPanel()->ConnectionTable()->header();
  connectionHeader->resizeSection(0, 141);
  const QString connectionTitle = connectionHeader->model()->headerData(0, Qt::Horizontal).toString();

  w.SwitchLanguage("deutsch.lng");
  EXPECT_EQ(connectionHeader->sectionSize(0), 141);
  EXPECT_NE(connectionHeader->model()->headerData(0, Qt::Horizontal).toString(), connectionTitle);
  EXPECT_EQ(Translate("ListColumns3"), "Kommentar");
  EXPECT_NE(englishTitle, "Kommentar");
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Kommentar");
  ASSERT_EQ(list.Count(), 2);
  for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(list.Items[i].get(), records[i]);
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_FALSE(unchecked->Checked);
  EXPECT_FALSE(selected->Active);
  EXPECT_EQ(selected->FirstSeen, firstSeen);
  const QModelIndexList rows = w.NetworkList()->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(model.NetworkOfRow(rows[0].row()), selected);
}

// While the window lives, the element decoders name the organisation of an OUI from the vendor database.
TEST_F(WindowTest, ElementTreesNameOrganisationsFromTheVendorDatabase) {
  test::TempDir folder;
  const std::string db = folder.File("vendors.db");
  test::ExecSql(db, std::string(test::VendorTableSql) +
                        "INSERT INTO mac_addresses VALUES (1, 'Example Org', 0x123456000000, 0x123456FFFFFF, 24);");
  SetVendorDatabasePath(db);
  {
    TfrmSkimlet w(Environment());
    EXPECT_EQ(OUIVendorName(0x123456), "Example Org");
    TInformationElements elements;
    elements.Parse(ElementBuilder().AddVendor(0x123456, 1, {0xAB}).Blob());
    TIETree tree;
    elements.FillTree(tree);
    const std::string text = TreeToText(tree);
    EXPECT_NE(text.find("Example Org"), std::string::npos) << text;
  }
  EXPECT_EQ(OUIVendorName(0x123456), "");
  SetVendorDatabasePath("");
}

// The element page loads the selected network only while it shows, and forgets it when the record goes.
TEST_F(WindowTest, AdvancedDetailsFollowTheSelectionAndForgetARecordThatGoes) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList(
                        {{test::MakeEntry(1, -50, 2437000, "alpha"), ElementBuilder().AddText(0, "alpha").Blob()},
                         {test::MakeEntry(2, -60, 2437000, "bravo"), ElementBuilder().AddText(0, "bravo").Blob()}})};
  }));
  ui::TAdvancedDetails& page = *w.Details()->AdvancedDetails();
  TNetworkListModel& model = *w.NetworkModel();
  ASSERT_EQ(model.rowCount(), 2);
  w.NetworkList()->selectionModel()->select(model.index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_TRUE(page.ElementBSSID().empty());  // the page is not showing
  w.Frame().pcInfo->setCurrentWidget(w.Details()->AdvancedDetailsPage());
  const std::string shown = model.NetworkOfRow(0)->BSSIDText;
  EXPECT_EQ(page.ElementBSSID(), shown);
  EXPECT_GT(page.Model()->Tree().Count(), 0u);

  // Unheard, the network goes at the next scan results; the page is emptied with it.
  w.Options.bDeleteNetworkIfNotSeen = true;
  w.Options.intDeleteNetworkIfNotSeenMin = 0;
  fake->BssList = {0, test::MakeBssList({{test::MakeEntry(shown.back() == '1' ? 2 : 1, -60, 2437000, "x"), {}}})};
  fake->Notify(kNotificationSourceACM, kAcmScanComplete);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.SelectedNetworks()->Count() == 1; }, 5000));
  EXPECT_TRUE(page.ElementBSSID().empty());
  EXPECT_EQ(page.Viewer()->DataLength(), 0);
  EXPECT_EQ(page.Model()->rowCount(), 0);

  w.NetworkList()->selectionModel()->select(model.index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_FALSE(page.ElementBSSID().empty());
  w.ClearNetworks();
  EXPECT_TRUE(page.ElementBSSID().empty());
  EXPECT_EQ(page.Viewer()->DataLength(), 0);
}

// The find box and the filter tree narrow the list at once; with the panel hidden its sets do not apply, at
// once and after a refresh alike, while the find text still does. Counts follow a clear.
TEST_F(WindowTest, FindTextAndFilterTreeNarrowTheListAndCountsFollow) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "MyHOME"), {}},
                                       {test::MakeEntry(2, -60, 5180000, "cafe"), {}}})};
  }));
  TNetworkListModel& model = *w.NetworkModel();
  ASSERT_EQ(model.rowCount(), 2);
  QLineEdit& find = *w.Frame().edFilterText;
  ui::TFilterTree& tree = *w.Frame().vstFilter;
  EXPECT_TRUE(find.isEnabled());
  EXPECT_TRUE(find.isClearButtonEnabled());
  EXPECT_TRUE(tree.MemberItem(ui::TFilterTree::kBand, 1)->text(0).endsWith(" (1)"));

  find.setText("home");
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.NetworkOfRow(0)->SSID, "MyHOME");
  find.clear();
  EXPECT_EQ(model.rowCount(), 2);

  tree.MemberItem(ui::TFilterTree::kBand, 0)->setCheckState(0, Qt::Unchecked);
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.NetworkOfRow(0)->SSID, "cafe");
  EXPECT_FALSE(w.Options.FilterFrequencyBandSet.Has(0));

  w.Action(TCommand::ShowFilters)->trigger();  // hide the panel: its sets stop applying
  ASSERT_FALSE(w.Options.bShowFilters);
  EXPECT_EQ(model.rowCount(), 2);
  w.SyncNetworkRows(*w.SelectedNetworks());
  EXPECT_EQ(model.rowCount(), 2);
  find.setText("CAFE");
  EXPECT_EQ(model.rowCount(), 1);
  find.clear();
  w.Action(TCommand::ShowFilters)->trigger();
  EXPECT_EQ(model.rowCount(), 1);

  w.ClearNetworks();
  EXPECT_FALSE(tree.MemberItem(ui::TFilterTree::kBand, 1)->text(0).contains('('));
}

// Without an interface the commands that need one are disabled, and the selector says why it is empty.
TEST_F(WindowTest, WithoutInterfaceTheSelectorSaysWhyAndItsCommandsAreDisabled) {
  struct Case {
    uint32_t EnumResult;
    const char* Key;
  };
  for (const Case& c :
       {Case{0, "sWLANInterfaceInterfaceMissing"}, Case{WlanError::kInvalidState, "sWLANInterfaceCouldNotEnumerate"}}) {
    messages.clear();
    TfrmSkimlet w(FakeEnvironment([&c](test::FakeWlanService& f) {
      f.Interfaces = {c.EnumResult, c.EnumResult ? WlanBlock{} : WLAN_INTERFACE_INFO_LIST{}.Encode()};
    }));
    ASSERT_EQ(messages.size(), 1) << c.Key;
    EXPECT_EQ(messages[0].toStdString(), Translate(c.Key));
    EXPECT_EQ(w.InterfaceSelector()->count(), 0);
    EXPECT_EQ(w.InterfaceSelector()->placeholderText().toStdString(), Translate(c.Key));
    for (TCommand id :
         {TCommand::NetworkUpdateNetworkList, TCommand::NetworkClearNetworkList, TCommand::NetworkChangeColor})
      EXPECT_FALSE(w.Action(id)->isEnabled()) << CommandInfo(id).Name << " " << c.Key;
    EXPECT_TRUE(w.Action(TCommand::RefreshInterfaces)->isEnabled());
    EXPECT_TRUE(w.Action(TCommand::NetworkPauseNetworkUpdating)->isEnabled());
  }
}

// The hints of commands under the pointer do not replace the status panels.
TEST_F(WindowTest, CommandHintsLeaveTheStatusPanelsInPlace) {
  TfrmSkimlet w(Environment());
  QToolBar* bar = w.findChild<QToolBar*>("tbMain");
  ASSERT_TRUE(bar);
  QStatusTipEvent tip(QStringLiteral("Close the program"));
  QCoreApplication::sendEvent(bar, &tip);
  EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
  EXPECT_FALSE(w.findChild<QLabel*>("sbPanel6")->isHidden());
  EXPECT_FALSE(w.StatusText(TStatusPanel::NetworksFound).isEmpty());
}

// In German the texts the program owns are German: the simulated radio's name and the message box buttons.
TEST_F(WindowTest, GermanLeavesNoEnglishInTheProgramsOwnTexts) {
  TfrmSkimlet w(Environment());
  ASSERT_TRUE(w.InterfaceSelector()->itemText(0).contains("(simulated radio)"));
  w.SwitchLanguage("deutsch.lng");
  EXPECT_TRUE(w.InterfaceSelector()->itemText(0).endsWith(QString::fromUtf8("(simuliertes Funkgerät)")))
      << w.InterfaceSelector()->itemText(0).toStdString();
  QMessageBox box(QMessageBox::Warning, "", "",
                  QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Retry |
                      QMessageBox::Ignore);
  ui::TranslateButtons(box);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Abbrechen");
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "Ja");
  EXPECT_EQ(box.button(QMessageBox::No)->text(), "Nein");
  EXPECT_EQ(box.button(QMessageBox::Retry)->text(), "Wiederholen");
  EXPECT_EQ(w.Action(TCommand::ShowFilters)->text(), "Filter zeigen");
  // The captions that follow the state are set again after the language file captioned every action (the
  // simulated interface is connected with its radio on, and no row has the focus).
  EXPECT_EQ(w.Action(TCommand::NetworkConnectDisconnect)->text().toStdString(), Translate("sDisconnect"));
  EXPECT_EQ(w.Action(TCommand::RadioSwitchAll)->text().toStdString(), Translate("sWirelessOff"));
}

// A second start restores the window from the task bar to its earlier state.
TEST_F(WindowTest, BringToFrontRestoresAMinimisedWindowToItsEarlierState) {
  TfrmSkimlet w(Environment());
  w.showMaximized();
  w.setWindowState(w.windowState() | Qt::WindowMinimized);
  w.BringToFront();
  EXPECT_FALSE(w.isMinimized());
  EXPECT_TRUE(w.isMaximized());
  EXPECT_TRUE(w.isVisible());
}

TEST_F(WindowTest, WithoutServiceTheWindowRunsEmptyAfterIgnore) {
  TStartEnvironment env = Environment();
  env.CreateService = nullptr;
  TfrmSkimlet w(std::move(env));
  EXPECT_FALSE(w.TerminateRequested());
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toStdString(), Translate("sWLANInterfaceNotInitialized"));
  EXPECT_EQ(w.NetworkModel()->rowCount(), 0);
}

TEST_F(WindowTest, EnglishFileCarriesTheWindowTexts) {
  TfrmSkimlet w(Environment());
  const std::filesystem::path file = w.Folders().LanguagesFolder / "english.lng";
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  const TLangFile lang = TLangFile::Parse(text.str());
  int checked = 0;
  for (QAction* a : w.findChildren<QAction*>()) {
    if (!a->objectName().startsWith("act")) continue;
    const std::string key = "frmSkimlet." + a->objectName().toStdString() + ".Caption";
    const std::string* value = lang.Find(key);
    ASSERT_TRUE(value) << key;
    // Connect / Disconnect and the radio switch are captioned by the state (the simulated radio is connected).
    const std::optional<TCommand> id = CommandByName(a->objectName().toStdString());
    if (id && CommandInfo(*id).Look != TCommandLook::Fixed) continue;
    EXPECT_EQ(*value, a->text().toStdString()) << key;
    ++checked;
  }
  EXPECT_GT(checked, 30);
}

// Every page comes from its part, in the order the parts are registered; the language file names the pages.
TEST_F(WindowTest, PartsBuildTheirWholePagesInOrder) {
  TfrmSkimlet w(Environment());
  auto names = [](const QTabWidget* tabs) {
    QStringList n;
    for (int i = 0; i < tabs->count(); ++i) n << tabs->widget(i)->objectName();
    return n;
  };
  EXPECT_EQ(names(w.Frame().pcMain), (QStringList{"tsScanner", "tsCurrentConnection", "tsWirelessStatistics"}));
  EXPECT_EQ(names(w.Frame().pcInfo),
            (QStringList{"tsBand1", "tsBand2", "tsBand3", "tsGraphs", "tsNetworkDetails", "tsAdvancedDetails"}));
  EXPECT_TRUE(w.Details()->NetworkDetailsPage()->isAncestorOf(w.SingleNetworkGraph()));
  EXPECT_TRUE(w.ConnectionPage()->Page()->isAncestorOf(w.ConnectionPage()->Graphs()->ConnectionView(1)));
  EXPECT_TRUE(w.Frame().pcMain->widget(2)->isAncestorOf(w.StatisticsPages()->Phy()));
}

// A graph's export asks through the dialogs the window was given, and tells a failure there too.
TEST_F(WindowTest, GraphExportAsksThroughTheWindowsDialogs) {
  QStringList filters;
  TStartEnvironment env = Environment();
  env.Dialogs.SaveFile = [&](QWidget*, const QString&, const QString& proposed, const QStringList& f, int&) {
    filters = f;
    return dir.filePath("missing/" + proposed);
  };
  TfrmSkimlet w(std::move(env));
  messages.clear();
  w.Graphs()->SpectrumView(0)->ExportToFile();
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].endsWith("(*.png)"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("missing/")) << messages[0].toStdString();
}

// The Graphs page repaints as soon as a row is ticked off or another one is selected, not at the next tick.
TEST_F(WindowTest, TickingAndSelectingRepaintTheShowingGraphAtOnce) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "alpha"), {}},
                                       {test::MakeEntry(2, -60, 2437000, "bravo"), {}}})};
  }));
  w.findChild<QTimer*>(QStringLiteral("tmUpdateGraph"))->stop();
  w.Frame().pcInfo->setCurrentWidget(w.Frame().pcInfo->findChild<QWidget*>(QStringLiteral("tsGraphs")));
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  struct : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      Paints += event->type() == QEvent::Paint;
      return false;
    }
  } counter;
  w.Graphs()->TimeView()->installEventFilter(&counter);
  TNetworkListModel& model = *w.NetworkModel();
  ASSERT_EQ(model.rowCount(), 2);
  for (const auto& change : std::vector<std::function<void()>>{
           [&] {
             w.NetworkList()->selectionModel()->select(model.index(1, 1),
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
           },
           [&] { ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole)); }}) {
    QTest::qWait(50);
    counter.Paints = 0;
    change();
    QTest::qWait(50);
    EXPECT_GE(counter.Paints, 1);
  }
}

// The filter panel's close button hides it as the View menu's command does.
TEST_F(WindowTest, FilterPanelClosesFromItsTitleRow) {
  TfrmSkimlet w(Environment());
  w.ShowFilters(true);
  w.Action(TCommand::ShowFilters)->setChecked(true);
  ASSERT_FALSE(w.Frame().pnlFilters->isHidden());
  w.Frame().btnCloseFilters->click();
  EXPECT_TRUE(w.Frame().pnlFilters->isHidden());
  EXPECT_FALSE(w.Action(TCommand::ShowFilters)->isChecked());
  EXPECT_FALSE(w.Options.bShowFilters);
}

// With the debug option on, the result of a connection request is told.
TEST_F(WindowTest, DebugOptionTellsTheConnectResult) {
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "alpha"), {}}})};
  }));
  ASSERT_EQ(w.NetworkModel()->rowCount(), 1);
  const TWLANNetwork& network = *w.NetworkModel()->NetworkOfRow(0);
  messages.clear();
  w.SelectedInterface()->Connect(network);
  EXPECT_TRUE(messages.isEmpty()) << "told only when asked for";
  w.Options.bShowScanDebugInLOG = true;
  w.SelectedInterface()->Connect(network);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("WlanConnect is")) << messages[0].toStdString();
}

TEST(Caption, VersionWithAndWithoutReleaseNumber) {
  EXPECT_EQ(CaptionText("Skimlet", 5, 1, 0, ""), "Skimlet 05.01");
  EXPECT_EQ(CaptionText("Skimlet", 5, 1, 3, ""), "Skimlet 05.01.3");
  EXPECT_EQ(CaptionText("", 22, 11, 0, "Beta"), "Skimlet 22.11 Beta");
}

TEST(WindowTranslation, PropertyKeysSetCaptionsHintsAndTabs) {
  QWidget window;
  auto* action = new QAction("old", &window);
  action->setObjectName("actExit");
  auto* tabs = new QTabWidget(&window);
  auto* page = new QWidget();
  page->setObjectName("tsScanner");
  tabs->addTab(page, "old");
  TQtTranslatable t(&window, "TfrmSkimlet");
  EXPECT_TRUE(AssignPropertyPath(t, "actExit.Caption", "Beenden", ","));
  EXPECT_TRUE(AssignPropertyPath(t, "actExit.Hint", "Programm schliessen", ","));
  EXPECT_TRUE(AssignPropertyPath(t, "tsScanner.Caption", "Suche", ","));
  EXPECT_FALSE(AssignPropertyPath(t, "nothing.Caption", "x", ","));
  EXPECT_EQ(action->text(), "Beenden");
  EXPECT_EQ(action->toolTip(), "Programm schliessen");
  EXPECT_EQ(tabs->tabText(0), "Suche");
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// The statistics timer fills the tables from the selected interface's counters; the PHY table shows the
// columns of the PHY types the interface reports.
TEST_F(WindowTest, StatisticsTimerFillsTheTablesFromTheSimulatedInterface) {
  TfrmSkimlet w(Environment());
  ASSERT_FALSE(w.TerminateRequested());
  ui::TStatisticsPages* pages = w.StatisticsPages();
  ASSERT_TRUE(pages);
  Tick(w, "tmUpdateWirelessStatistics");
  QTest::qWait(20);
  Tick(w, "tmUpdateWirelessStatistics");
  const TWLANStatistics& s = *w.Interfaces()->Selected()->Statistics;
  ASSERT_FALSE(s.PhyPresent.Empty());
  QTreeWidget* mac = pages->Mac()->Table();
  QTreeWidget* phy = pages->Phy()->Table();
  for (int r = 0; r < MacCounterCount; ++r) {
    EXPECT_EQ(mac->topLevelItem(r)->text(1).toStdString(),
              std::to_string(TWLANStatistics::MacCounter(s.MacUnicast, r)));
    EXPECT_EQ(mac->topLevelItem(r)->text(2).toStdString(),
              std::to_string(TWLANStatistics::MacCounter(s.MacMulticast, r)));
  }
  EXPECT_NE(phy->topLevelItem(0)->text(ui::TStatisticsTable::kPhyTotalColumn), "0");
  for (int r = 0; r < PhyCounterCount; ++r)
    EXPECT_EQ(phy->topLevelItem(r)->text(ui::TStatisticsTable::kPhyTotalColumn).toStdString(),
              std::to_string(TWLANStatistics::PhyCounter(s.PhyTotal, r)));
  for (int c = 1; c < ui::TStatisticsTable::kPhyTotalColumn; ++c)
    EXPECT_EQ(phy->isColumnHidden(c), !s.PhyPresent.Contains(pages->Phy()->ColumnValueType(c))) << c;
  // The graph reads the same interface's series.
  EXPECT_NE(pages->Mac()->Graph().GetRowSeries(0), nullptr);
}

// The report through the window: hostile names escaped and never read as placeholders, only the rows the list
// shows, in its order; the images drawn at 800 x 400 beside a page whose name needs percent-encoding; the
// sections kept in the options; the open prompt. The list export has every row, filtered ones too.
TEST_F(WindowTest, ReportAndListExportFromTheWindow) {
  const std::string script = "<script src=//x.yz></script>";
  TfrmSkimlet w(FakeEnvironment([&](test::FakeWlanService& f) {
    f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
    f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
    f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, script), {}},
                                       {test::MakeEntry(2, -60, 2412000, "{{network_details_list}}"), {}},
                                       {test::MakeEntry(3, -70, 5180000, "hidden;by find"), {}}})};
  }));
  TNetworkListModel& model = *w.NetworkModel();
  ASSERT_EQ(model.rowCount(), 3);
  w.NetworkList()->HeaderClicked(static_cast<int>(TNetworkColumn::SignalStrength));             // ascending: -60 first
  w.Frame().vstFilter->MemberItem(ui::TFilterTree::kBand, 1)->setCheckState(0, Qt::Unchecked);  // no 5 GHz
  ASSERT_EQ(model.rowCount(), 2);
  ASSERT_EQ(model.NetworkOfRow(0)->SSID, "{{network_details_list}}");

  QTemporaryDir out;
  const QString page = out.filePath("Site #2.htm");
  QString proposed;
  QStringList filters;
  int asked = 0;
  QUrl opened;
  // The window's own dialogs answer; its message box stays the fixture's.
  ui::TDialogService& d = ui::DialogsFor(&w);
  d.ReportSections = [&](QWidget*, report::TReportSections& s) {
    ++asked;
    EXPECT_TRUE(s.Summary && s.Networks && s.Graphs && s.Details);
    s.Summary = false;
    return true;
  };
  QString file = page;
  int filter = 0;
  d.SaveFile = [&](QWidget*, const QString&, const QString& name, const QStringList& f, int& chosen) {
    proposed = name;
    filters = f;
    chosen = filter;
    return file;
  };
  d.OpenUrl = [&](const QUrl& url) {
    opened = url;
    return true;
  };
  // The window's question: Yes opens the page.
  messages.clear();
  answerYes = true;
  w.Action(TCommand::NetworkReport)->trigger();
  answerYes = false;
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(w.Options.bAddSummaryToReport);
  EXPECT_TRUE(proposed.startsWith("Report 2"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0], QString::fromStdString(Translate("sReportGenerated")));
  EXPECT_EQ(opened, QUrl::fromLocalFile(page));

  std::string html;
  ASSERT_TRUE(ReadWholeFile(page.toStdString(), html));
  EXPECT_EQ(html.find(script), std::string::npos);
  EXPECT_NE(html.find("&lt;script src=//x.yz&gt;&lt;/script&gt;"), std::string::npos);
  // In the table and in the details block, once each; no section pulled in twice.
  size_t literal = 0;
  for (size_t at = html.find("{{network_details_list}}"); at != std::string::npos;
       at = html.find("{{network_details_list}}", at + 1))
    ++literal;
  EXPECT_EQ(literal, 2u);
  EXPECT_EQ(html.find("hidden;by find"), std::string::npos);
  // Rows in the list's order.
  const TWLANNetwork* first = model.NetworkOfRow(0);
  const TWLANNetwork* second = model.NetworkOfRow(1);
  const size_t a = html.find("href=\"#" + first->BSSIDText), b = html.find("href=\"#" + second->BSSIDText);
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_NE(html.find("images%20Site%20%232/RSSI.png"), std::string::npos);
  for (const char* image : {"RSSI", "Quality", "AchievableRate", "Utilization", "Clients", "Spectrum2", "Spectrum5"})
    EXPECT_EQ(QImage(out.filePath(QString("images Site #2/%1.png").arg(image))).size(), QSize(800, 400)) << image;
  EXPECT_FALSE(QFileInfo::exists(out.filePath("images Site #2/Spectrum6.png")));

  // The list export: every row, the filtered one too, as CSV with the ";" cell quoted.
  file = out.filePath("list.csv");
  filter = 1;
  w.Action(TCommand::NetworkExportToFile)->trigger();
  EXPECT_TRUE(proposed.startsWith("Wi-Fi networks 2"));
  EXPECT_EQ(filters.size(), 4);
  std::string csv;
  ASSERT_TRUE(ReadWholeFile(file.toStdString(), csv));
  EXPECT_NE(csv.find("\"hidden;by find\""), std::string::npos) << csv;
  EXPECT_NE(csv.find(script), std::string::npos);
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// A window over a fake interface hearing alpha (the connected network), bravo and charlie, with one PHY whose
// radios are on. Yes answers every question with Yes or OK, else No or Cancel.
class CommandWindowTest : public WindowTest {
 protected:
  std::unique_ptr<TfrmSkimlet> Open(std::function<void(TStartEnvironment&)> adjust = {}) {
    TStartEnvironment env = FakeEnvironment([](test::FakeWlanService& f) {
      f.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
      f.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
      WLAN_CONNECTION_ATTRIBUTES a = Connection("alpha", 80);
      a.dot11Bssid = {0x00, 0x11, 0x22, 0x33, 0x00, 0x01};
      f.SetQuery(kOpcodeCurrentConnection, a.Encode());
      f.SetCapability({7});
      WLAN_RADIO_STATE r;
      r.PhyRadioState = {{0, kRadioOn, kRadioOn}};
      f.SetQuery(kOpcodeRadioState, r.Encode());
      f.BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "alpha"), {}},
                                         {test::MakeEntry(2, -60, 2437000, "bravo"), {}},
                                         {test::MakeEntry(3, -70, 5180000, "charlie"), {}}})};
    });
    env.Dialogs.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                 QMessageBox::StandardButtons buttons) {
      messages << text;
      if (buttons & QMessageBox::Yes) return Yes ? QMessageBox::Yes : QMessageBox::No;
      if (buttons & QMessageBox::Cancel) return Yes ? QMessageBox::Ok : QMessageBox::Cancel;
      return QMessageBox::Ok;
    };
    env.Dialogs.OpenUrl = [this](const QUrl& url) {
      opened << url;
      return true;
    };
    if (adjust) adjust(env);
    auto w = std::make_unique<TfrmSkimlet>(std::move(env));
    w->RefreshInterfaceState();  // the list marks the connected network
    w->SyncNetworkRows(*w->SelectedNetworks());
    messages.clear();
    return w;
  }
  static int RowOf(TfrmSkimlet& w, const std::string& ssid) {
    for (int r = 0; r < w.NetworkModel()->rowCount(); ++r)
      if (w.NetworkModel()->NetworkOfRow(r)->SSID == ssid) return r;
    return -1;
  }
  static void Focus(TfrmSkimlet& w, const std::string& ssid) {
    const QModelIndex i = w.NetworkModel()->index(RowOf(w, ssid), 1);
    w.NetworkList()->selectionModel()->setCurrentIndex(i,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }

  bool Yes = false;
  QList<QUrl> opened;
};

// Every destructive command asks first: No changes nothing, Yes does its work.
TEST_F(CommandWindowTest, DestructiveCommandsChangeNothingOnNoAndWorkOnYes) {
  struct Case {
    const char* Name;
    std::function<void(TfrmSkimlet&)> Run;
    std::function<void(TfrmSkimlet&, bool done)> Check;
  };
  auto names = [](TfrmSkimlet& w) {
    std::set<std::string> s;
    for (const auto& n : w.SelectedNetworks()->Items) s.insert(n->SSID);
    return s;
  };
  using Names = std::set<std::string>;
  const Case cases[] = {
      {"delete network",
       [](TfrmSkimlet& w) {
         Focus(w, "bravo");
         w.Action(TCommand::NetworkDelete)->trigger();
       },
       [&](TfrmSkimlet& w, bool done) {
         EXPECT_EQ(names(w), (done ? Names{"alpha", "charlie"} : Names{"alpha", "bravo", "charlie"}));
         EXPECT_EQ(w.NetworkModel()->rowCount(), done ? 2 : 3);
         EXPECT_EQ(messages.value(0).toStdString(), Translate("sDeleteNetworkInfo"));
       }},
      {"delete all inactive",
       [](TfrmSkimlet& w) {
         w.SelectedNetworks()->Items[2]->Active = false;  // charlie is no longer heard
         w.Action(TCommand::NetworkDeleteAllInactive)->trigger();
       },
       [&](TfrmSkimlet& w, bool done) {
         EXPECT_EQ(names(w), (done ? Names{"alpha", "bravo"} : Names{"alpha", "bravo", "charlie"}));
         EXPECT_EQ(w.NetworkModel()->TotalRows(), done ? 2 : 3);
       }},
      {"clear", [](TfrmSkimlet& w) { w.Action(TCommand::NetworkClearNetworkList)->trigger(); },
       [&](TfrmSkimlet& w, bool done) { EXPECT_EQ(w.SelectedNetworks()->Count(), done ? 0 : 3); }},
      {"connect to the focused network",
       [](TfrmSkimlet& w) {
         Focus(w, "charlie");
         ASSERT_EQ(w.Action(TCommand::NetworkConnectDisconnect)->text(), "Connect");
         w.Action(TCommand::NetworkConnectDisconnect)->trigger();
       },
       [&](TfrmSkimlet& w, bool done) {
         EXPECT_EQ(messages.value(0),
                   Fmt("sConnectInfo", {SafeText("charlie", SafeTextStyle::Window), "00-11-22-33-00-03"}));
         ASSERT_EQ(fake->Connects.size(), done ? 1u : 0u);
         EXPECT_EQ(fake->DisconnectCalls, 0);
         EXPECT_EQ(w.SelectedNetworks()->Count(), 3);
       }},
      {"connect refused",
       [this](TfrmSkimlet& w) {
         fake->ConnectResult = WlanError::kInvalidState;
         Focus(w, "bravo");
         w.Action(TCommand::NetworkConnectDisconnect)->trigger();
       },
       [&](TfrmSkimlet&, bool done) {
         ASSERT_EQ(messages.size(), done ? 2 : 1);
         if (done) {
           EXPECT_EQ(messages[1],
                     Fmt("sCouldntConnectTo", {SafeText("bravo", SafeTextStyle::Window), "00-11-22-33-00-02"}));
         }
       }},
      {"double click on the connected network disconnects",
       [](TfrmSkimlet& w) {
         const QModelIndex i = w.NetworkModel()->index(RowOf(w, "alpha"), 2);
         ASSERT_TRUE(w.NetworkModel()->NetworkOfRow(i.row())->Connected);
         emit w.NetworkList()->doubleClicked(i);
       },
       [&](TfrmSkimlet& w, bool done) {
         EXPECT_EQ(messages.value(0), Fmt("sDisconnectInfo", {SafeText("alpha", SafeTextStyle::Window)}));
         EXPECT_EQ(fake->DisconnectCalls, done ? 1 : 0);
         EXPECT_TRUE(fake->Connects.empty());
         EXPECT_EQ(w.Action(TCommand::NetworkConnectDisconnect)->text(), "Disconnect");
       }},
      {"nothing focused on a connected interface disconnects",
       [](TfrmSkimlet& w) {
         w.NetworkList()->selectionModel()->clear();
         w.Commands().Update();
         ASSERT_EQ(w.Action(TCommand::NetworkConnectDisconnect)->text(), "Disconnect");
         w.Action(TCommand::NetworkConnectDisconnect)->trigger();
       },
       [&](TfrmSkimlet&, bool done) { EXPECT_EQ(fake->DisconnectCalls, done ? 1 : 0); }},
      {"radio switch",
       [](TfrmSkimlet& w) {
         QAction* a = w.Action(TCommand::RadioSwitchAll);
         ASSERT_EQ(a->text(), "Wireless Off");
         ASSERT_TRUE(a->isChecked());
         a->trigger();
       },
       [&](TfrmSkimlet& w, bool done) {
         EXPECT_EQ(messages.value(0).toStdString(), "Wireless radio will be turned off");
         ASSERT_EQ(fake->RadioSwitches.size(), done ? 1u : 0u);
         if (done) { EXPECT_EQ(fake->RadioSwitches[0].dot11SoftwareRadioState, uint32_t{kRadioOff}); }
         // The fake keeps reporting the radio on: the button stays held down either way.
         EXPECT_TRUE(w.Action(TCommand::RadioSwitchAll)->isChecked());
       }},
  };
  for (const Case& c : cases) {
    for (bool yes : {false, true}) {
      SCOPED_TRACE(std::string(c.Name) + (yes ? ", Yes" : ", No"));
      Yes = yes;
      auto w = Open();
      ASSERT_EQ(w->SelectedNetworks()->Count(), 3);
      c.Run(*w);
      c.Check(*w, yes);
    }
  }
}

// A service that does not say when a connection is up (NetworkManager's): after the request the window looks
// again every second for a while, so the new connection shows without the connection timer.
TEST_F(CommandWindowTest, ConnectionShowsSoonWhenTheServiceSaysNothing) {
  Yes = true;
  auto w = Open();
  w->findChild<QTimer*>(QStringLiteral("tmUpdateCurrentConnection"))->stop();
  Focus(*w, "charlie");
  w->Action(TCommand::NetworkConnectDisconnect)->trigger();
  ASSERT_EQ(fake->Connects.size(), 1u);
  EXPECT_EQ(w->StatusText(TStatusPanel::Connection), Fmt("sbSSID", {SafeText("alpha", SafeTextStyle::Window)}));
  WLAN_CONNECTION_ATTRIBUTES a = Connection("charlie", 70);
  a.dot11Bssid = {0x00, 0x11, 0x22, 0x33, 0x00, 0x03};
  fake->SetQuery(kOpcodeCurrentConnection, a.Encode());
  const QString shown = Fmt("sbSSID", {SafeText("charlie", SafeTextStyle::Window)});
  EXPECT_TRUE(QTest::qWaitFor([&] { return w->StatusText(TStatusPanel::Connection) == shown; }, 2500))
      << w->StatusText(TStatusPanel::Connection).toStdString();
}

// The hardware switch off disables the radio switch whatever the software state; without the hardware radio
// the button still shows the software state.
TEST_F(CommandWindowTest, RadioSwitchIsDisabledWhileTheHardwareRadioIsOff) {
  auto w = Open();
  WLAN_RADIO_STATE r;
  r.PhyRadioState = {{0, kRadioOn, kRadioOff}};
  fake->SetQuery(kOpcodeRadioState, r.Encode());
  w->RefreshInterfaceState();
  EXPECT_FALSE(w->Action(TCommand::RadioSwitchAll)->isEnabled());
  EXPECT_EQ(w->Action(TCommand::RadioSwitchAll)->text(), "Wireless Off");
  r.PhyRadioState = {{0, kRadioOff, kRadioOn}};
  fake->SetQuery(kOpcodeRadioState, r.Encode());
  w->RefreshInterfaceState();
  EXPECT_TRUE(w->Action(TCommand::RadioSwitchAll)->isEnabled());
  EXPECT_EQ(w->Action(TCommand::RadioSwitchAll)->text(), "Wireless On");
  EXPECT_FALSE(w->Action(TCommand::RadioSwitchAll)->isChecked());
}

// A snapshot saved from the list opens again after a confirmation: updating paused, the same networks, and
// scan results arriving afterwards leave them alone. A file of another format is reported.
TEST_F(CommandWindowTest, SnapshotSavesAndOpensWithThePauseOn) {
  const std::string file = dir.filePath("saved.snapshot").toStdString();
  QString proposed, answer = QString::fromStdString(file);
  auto w = Open([&](TStartEnvironment& env) {
    env.Dialogs.FileName = [&](QWidget*, bool save, const QString&, const QString& filter, const QString&,
                               const QString& name) {
      EXPECT_TRUE(filter.contains("*.snapshot"));
      if (save) proposed = name;
      return answer;
    };
  });
  Yes = true;
  w->Action(TCommand::SaveSnapShot)->trigger();
  EXPECT_TRUE(proposed.startsWith("Snapshot ")) << proposed.toStdString();
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();

  w->ClearNetworks();
  ASSERT_FALSE(w->Paused());
  w->Action(TCommand::OpenSnapShot)->trigger();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Current scanning result will be deleted"));
  EXPECT_TRUE(w->Paused());
  EXPECT_EQ(w->SelectedNetworks()->Count(), 3);
  EXPECT_EQ(w->NetworkModel()->rowCount(), 3);
  EXPECT_EQ(w->SelectedNetworks()->Counters[kCountAll], 3);

  fake->BssList = {0, test::MakeBssList({})};
  w->Options.bDeleteNetworkIfNotSeen = true;
  w->Options.intDeleteNetworkIfNotSeenMin = 0;
  fake->Notify(kNotificationSourceACM, kAcmScanComplete);
  QTest::qWait(50);
  EXPECT_EQ(w->SelectedNetworks()->Count(), 3);

  std::ofstream(dir.filePath("other.snapshot").toStdString()) << "not a snapshot at all";
  answer = dir.filePath("other.snapshot");
  messages.clear();
  w->Action(TCommand::OpenSnapShot)->trigger();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[1].toStdString(), Translate("Unable to load snapshot. Reason: Unknown format."));

  // Cancelled at the question: nothing changes.
  Yes = false;
  w->Action(TCommand::NetworkPauseNetworkUpdating)->setChecked(false);
  w->Action(TCommand::OpenSnapShot)->trigger();
  EXPECT_FALSE(w->Paused());
}

// The copies put TAB-separated lines on the clipboard: the selected rows' non-empty cells, one column of
// them, or every row with every cell from the first to the last shown column.
TEST_F(CommandWindowTest, CopyCommandsFillTheClipboard) {
  auto w = Open();
  TNetworkListModel& model = *w->NetworkModel();
  w->NetworkList()->selectionModel()->select(model.index(RowOf(*w, "bravo"), 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const TWLANNetwork& bravo = *model.NetworkOfRow(RowOf(*w, "bravo"));
  QClipboard* clipboard = QGuiApplication::clipboard();

  w->Action(TCommand::CopyLine)->trigger();
  const QStringList fields = clipboard->text().split('\t');
  EXPECT_EQ(fields.value(0), "bravo");
  EXPECT_EQ(fields.value(1).toStdString(), bravo.BSSIDText);
  EXPECT_FALSE(clipboard->text().contains("\t\t"));

  // The submenu: Copy line, a separator, one item per column title from the SSID on; the SSID item copies the
  // SSID alone.
  const QList<QAction*> items = w->CopyMenu()->actions();
  ASSERT_EQ(items.size(), 2 + NetworkColumnCount - 1);
  EXPECT_EQ(items[0], w->Action(TCommand::CopyLine));
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text(), model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString());
  items[2]->trigger();
  EXPECT_EQ(clipboard->text(), "bravo");

  w->NetworkList()->header()->setSectionHidden(NetworkColumnCount - 1, true);
  w->Frame().edFilterText->setText("charlie");  // filtered rows are copied too
  w->Action(TCommand::CopyAll)->trigger();
  const QStringList lines = clipboard->text().split("\r\n");
  ASSERT_EQ(lines.size(), 3);
  int last = 0;
  for (int c = 0; c < NetworkColumnCount; ++c)
    if (!w->NetworkList()->header()->isSectionHidden(c)) last = c;
  for (const QString& line : lines) EXPECT_EQ(line.count('\t'), last - 1) << line.toStdString();

  // After a language switch the column items carry the new titles.
  w->SwitchLanguage("deutsch.lng");
  EXPECT_EQ(w->CopyMenu()->actions().value(2 + 2)->text(), "Kommentar");
}

// The comment box works on the network's BSSID: Cancel keeps the comment, OK sets it, and a network that aged
// out while the box was open is left alone.
TEST_F(CommandWindowTest, EditCommentSurvivesItsNetworkAgeingOut) {
  std::optional<QString> reply;
  bool ageOut = false;
  TfrmSkimlet* window = nullptr;
  auto w = Open([&](TStartEnvironment& env) {
    env.Dialogs.Input = [&](QWidget*, const QString& caption, const QString& prompt, const QString&) {
      EXPECT_EQ(caption, "Edit comment");
      EXPECT_EQ(prompt, "Comment:");
      if (ageOut) {
        window->Options.bDeleteNetworkIfNotSeen = true;
        window->Options.intDeleteNetworkIfNotSeenMin = 0;
        fake->BssList = {0, test::MakeBssList({{test::MakeEntry(1, -50, 2437000, "alpha"), {}}})};
        fake->Notify(kNotificationSourceACM, kAcmScanComplete);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->SelectedNetworks()->Count() == 1; }, 5000));
      }
      return reply;
    };
  });
  window = w.get();
  Focus(*w, "bravo");
  const std::string bssid = w->NetworkModel()->NetworkOfRow(RowOf(*w, "bravo"))->BSSIDText;
  ASSERT_TRUE(w->Action(TCommand::EditComment)->isEnabled());
  reply = "by the window";
  w->Action(TCommand::EditComment)->trigger();
  EXPECT_EQ(FindNetwork(*w, bssid)->Comment, "by the window");
  reply = std::nullopt;
  w->Action(TCommand::EditComment)->trigger();
  EXPECT_EQ(FindNetwork(*w, bssid)->Comment, "by the window");

  reply = "too late";
  ageOut = true;
  w->Action(TCommand::EditComment)->trigger();
  EXPECT_EQ(FindNetwork(*w, bssid), nullptr);
  EXPECT_EQ(w->SelectedNetworks()->Count(), 1);
  EXPECT_EQ(w->NetworkModel()->TotalRows(), 1);
}

// The help page ships with the program and opens from the build tree as from an installation.
TEST_F(CommandWindowTest, OnlineHelpOpensTheShippedPage) {
  auto w = Open();
  w->Action(TCommand::HelpOnline)->trigger();
  ASSERT_EQ(opened.size(), 1) << messages.join("|").toStdString();
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_TRUE(opened[0].toLocalFile().endsWith("/help.html"));
  EXPECT_TRUE(QFileInfo::exists(opened[0].toLocalFile()));
  EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
}  // namespace skimlet

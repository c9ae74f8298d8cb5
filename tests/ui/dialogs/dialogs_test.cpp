// The dialogs on their own (fixtures of a few controls) and inside the window over the simulated radio or a
// fake service: what they show on opening, what OK and Cancel leave behind, and that none of them keeps a
// network record or a profile across the service's changes.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "backends/sim/sim_service.h"
#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/settings/lang.h"
#include "support/fake_wlan_service.h"
#include "support/network_fixture.h"
#include "ui/dialogs/about.h"
#include "ui/dialogs/column_settings.h"
#include "ui/dialogs/network_properties.h"
#include "ui/dialogs/preferences.h"
#include "ui/dialogs/profiles.h"
#include "ui/list/column_layout.h"
#include "ui/connection/current_connection.h"
#include "ui/window/main_window.h"
#include "ui/window_environment.h"

namespace skimlet {
namespace {

using namespace dialogs;

// Runs Act on the next modal dialog of type D once its loop runs; Act closes it.
template <class D>
void WhenShown(std::function<void(D&)> act) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act, tries = 0]() mutable {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      act(*d);
    } else if (++tries > 1000) {
      poll->stop();
      poll->deleteLater();
      ADD_FAILURE() << "no dialog showed";
    }
  });
  poll->start();
}

// ---- Preferences ------------------------------------------------------------------------------------------

TEST(Preferences, OpensFromTheOptionsWithinRangesAndStoresTheTimeWindowRoundedDown) {
  TProgramOptions o;
  o.TimeWindowMinutes = 15;
  o.UpdateWirelessNetworkInterval = 1'000'000;  // from a hand-edited options.xml
  o.DefaultNoiseLevel = -20;
  o.CalculateAchivableRateForAP = true;
  o.BandsOnSinglePanel = false;
  TfrmPreferences d(o);
  EXPECT_EQ(d.Pages->currentIndex(), 0);
  EXPECT_EQ(d.cbTimeWindow->currentText(), "10");
  EXPECT_EQ(d.seWirelessNetworkInterval->maximum(), 3600);
  EXPECT_EQ(d.seWirelessNetworkInterval->value(), 3600);
  EXPECT_EQ(d.seNoiseLevel->value(), -70);
  // The stream boxes follow "for client", the direction pair follows "one panel".
  EXPECT_FALSE(d.seRxStreams->isEnabled());
  EXPECT_FALSE(d.seTxStreams->isEnabled());
  EXPECT_FALSE(d.rbVertically->isEnabled());
  d.rbRateForClient->setChecked(true);
  d.chkBandsOnSinglePanel->setChecked(true);
  EXPECT_TRUE(d.seRxStreams->isEnabled());
  EXPECT_TRUE(d.seTxStreams->isEnabled());
  EXPECT_TRUE(d.rbVertically->isEnabled());
  d.rbRateForAP->setChecked(true);
  EXPECT_FALSE(d.seTxStreams->isEnabled());

  TProgramOptions stored = o;
  d.Store(stored);
  EXPECT_EQ(stored.TimeWindowMinutes, 10);
  EXPECT_EQ(stored.UpdateWirelessNetworkInterval, 3600);
  EXPECT_TRUE(stored.BandsOnSinglePanel);
  EXPECT_TRUE(stored.CalculateAchivableRateForAP);

  // The list's items: 5, then tens.
  QStringList items;
  for (int i = 0; i < d.cbTimeWindow->count(); ++i) items << d.cbTimeWindow->itemText(i);
  EXPECT_EQ(items, (QStringList{"5", "10", "20", "30", "40", "50", "60"}));
}

TEST(Preferences, CancelChangesNothing) {
  TProgramOptions o;
  o.TimeWindowMinutes = 15;
  WhenShown<TfrmPreferences>([](TfrmPreferences& d) {
    d.seGraphInterval->setValue(9);
    d.reject();
  });
  EXPECT_FALSE(ExecutePreferences(nullptr, o));
  EXPECT_EQ(o.TimeWindowMinutes, 15);
  EXPECT_EQ(o.UpdateGraphInterval, 1);
}

// ---- Column Settings ----------------------------------------------------------------------------------------

class ColumnSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.setColumnCount(4);
    view.setModel(&model);
    layout = DefaultColumnLayout(4);
    for (size_t i = 0; i < layout.size(); ++i) {
      layout[i].Caption = "C" + std::to_string(i);
      layout[i].Width = 80;
    }
    // Displayed as C0, C2, C1, C3.
    layout[1].Position = 2;
    layout[2].Position = 1;
    ApplyLayout(view, layout);
  }
  QHeaderView* Header() { return view.header(); }
  QListWidgetItem* Line(TfrmColumnSettings& d, const QString& caption) {
    return d.Columns()->findItems(caption, Qt::MatchExactly).value(0);
  }

  QStandardItemModel model;
  QTreeView view;
  TColumnLayout layout;
};

TEST_F(ColumnSettingsTest, ChangesPreviewAtOnceAndCancelRestores) {
  TfrmColumnSettings d(view, layout, 1);
  QStringList lines;
  for (int i = 0; i < d.Columns()->count(); ++i) lines << d.Columns()->item(i)->text();
  EXPECT_EQ(lines, (QStringList{"C0", "C2", "C1", "C3"}));
  EXPECT_EQ(d.Columns()->currentRow(), 0);
  EXPECT_EQ(d.WidthBox()->value(), 80);

  Line(d, "C2")->setCheckState(Qt::Unchecked);
  EXPECT_TRUE(Header()->isSectionHidden(2));
  d.Columns()->setCurrentItem(Line(d, "C3"));
  d.WidthBox()->setValue(200);
  EXPECT_EQ(Header()->sectionSize(3), 200);
  d.AlignmentBox()->setCurrentIndex(1);
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, kColumnAlignmentRole).toInt(), 1);
  // The main column stays checked and shown whatever is clicked.
  Line(d, "C1")->setCheckState(Qt::Unchecked);
  EXPECT_EQ(Line(d, "C1")->checkState(), Qt::Checked);
  EXPECT_FALSE(Header()->isSectionHidden(1));

  TColumnLayout stored = layout;
  d.Finish(false, stored);
  EXPECT_FALSE(Header()->isSectionHidden(2));
  EXPECT_EQ(Header()->sectionSize(3), 80);
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, kColumnAlignmentRole).toInt(), 0);
  EXPECT_EQ(stored[2].Visible, true);
  EXPECT_EQ(Header()->visualIndex(2), 1);  // the order stays as it was
}

TEST_F(ColumnSettingsTest, OkKeepsTheWorkingCopyWithTheWidthBeingTyped) {
  TfrmColumnSettings d(view, layout, 0);
  d.Columns()->setCurrentRow(1);  // C2
  Line(d, "C3")->setCheckState(Qt::Unchecked);
  d.WidthBox()->setValue(20);  // the smallest width the box takes
  EXPECT_EQ(d.WidthBox()->minimum(), 20);
  EXPECT_EQ(d.WidthBox()->maximum(), 1000);
  TColumnLayout stored = layout;
  d.Finish(true, stored);
  EXPECT_FALSE(stored[3].Visible);
  EXPECT_EQ(stored[2].Width, 20);
  EXPECT_EQ(stored[2].Position, 1);
  EXPECT_TRUE(Header()->isSectionHidden(3));
}

// ---- About and the report's sections ----------------------------------------------------------------------

TEST(About, ShowsVersionBuildDateComponentsAndTheHomeLinkOnlyWithAnAddress) {
  TAboutInfo info = ProgramAboutInfo();
  QStringList names;
  for (const TComponent& c : info.Components) names << c.Name.section(' ', 0, 0) + "=" + c.Licence;
  EXPECT_TRUE(names.contains("Qt=LGPLv3"));
  EXPECT_TRUE(names.contains("libnl=LGPL-2.1"));
  EXPECT_TRUE(names.contains("pugixml=MIT"));

  info.Version = "01.02";
  info.BuildKind = "Beta";
  info.BuildTime = 1'700'000'000;
  const QString date = QLocale().toString(QDateTime::fromSecsSinceEpoch(info.BuildTime).date(), QLocale::ShortFormat);
  EXPECT_EQ(VersionLine(info), "Version 01.02 Beta Built on: " + date);
  info.BuildKind.clear();
  EXPECT_EQ(VersionLine(info), "Version 01.02 Built on: " + date);

  info.HomePage.clear();
  TfrmAbout without(info);
  EXPECT_EQ(without.HomeLink(), nullptr);
  EXPECT_EQ(without.IconLabel()->pixmap().size(), QSize(48, 48));
  EXPECT_EQ(without.windowTitle(), "About " + info.Product);
  info.HomePage = "https://skimlet.example.org/";
  TfrmAbout with(info);
  ASSERT_NE(with.HomeLink(), nullptr);
  EXPECT_TRUE(with.HomeLink()->text().contains("Visit skimlet.example.org for updates"));
}

// Every dialog takes its texts from the current language.
TEST(DialogTexts, GermanReachesEveryDialog) {
  TLangChanger german;
  german.OpenLangFileReadOnly(SKIMLET_SOURCE_DIR "/data/languages/deutsch.lng");
  german.LoadLanguageTexts();
  SetTextSource(&german);
  TProgramOptions o;
  TfrmPreferences preferences(o);
  QStandardItemModel model(0, 2);
  QTreeView view;
  view.setModel(&model);
  TfrmColumnSettings columns(view, DefaultColumnLayout(2), 0);
  TColumnLayout profilesLayout = DefaultColumnLayout(1), propertiesLayout = DefaultColumnLayout(2);
  TfrmProfiles profiles({}, profilesLayout);
  TfrmNetworkProperties properties("x", {}, {}, {}, propertiesLayout);
  TfrmAbout about(ProgramAboutInfo());
  const std::map<QString, QString> titles = {{preferences.windowTitle(), "Einstellungen"},
                                             {columns.windowTitle(), "Spalteneinstellungen"},
                                             {profiles.windowTitle(), "Profile"},
                                             {properties.windowTitle(), "Netzwerkeigenschaften"},
                                             {about.windowTitle(), "Über Skimlet"}};
  SetTextSource(nullptr);
  for (const auto& [shown, expected] : titles) EXPECT_EQ(shown, expected);
  EXPECT_EQ(preferences.Pages->tabText(2), "Datenraten");
  EXPECT_EQ(columns.AlignmentBox()->itemText(1), "Rechts");
  EXPECT_EQ(profiles.Button("btnMoveUp")->text(), "Nach oben");
}

// ---- In the window ----------------------------------------------------------------------------------------

class DialogsWindowTest : public ::testing::Test {
 protected:
  TStartEnvironment Environment() {
    TStartEnvironment env = test::SimWindowEnvironment(dir.path());
    env.Dialogs.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                 QMessageBox::StandardButtons buttons) {
      messages << text;
      return buttons & QMessageBox::Cancel ? answer : QMessageBox::Ok;
    };
    return env;
  }
  // A fake service with one connected interface; Setup fills its answers.
  TStartEnvironment FakeEnvironment(std::function<void(test::FakeWlanService&)> setup) {
    return test::WithFakeService(
        Environment(),
        [setup](test::FakeWlanService& service) {
          service.SetQuery(kOpcodeInterfaceState, EncodeUInt32Value(kInterfaceConnected));
          service.SetQuery(kOpcodeAutoConfEnabled, EncodeUInt32Value(1));
          setup(service);
        },
        fake);
  }
  static void SelectFirst(TfrmSkimlet& w) {
    w.NetworkList()->selectionModel()->select(w.NetworkModel()->index(0, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }

  QTemporaryDir dir;
  QStringList messages;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  test::FakeWlanService* fake = nullptr;
};

// After OK the window re-arms its timers, applies the graph options and re-derives the rates; the band graphs
// are rebuilt only when their layout changed.
TEST_F(DialogsWindowTest, PreferencesAreAppliedAndBandGraphsRebuiltOnlyForTheirLayout) {
  TfrmSkimlet w(Environment());
  ASSERT_TRUE(w.Interfaces()->RequestScan());
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.NetworkModel()->rowCount() > 0; }, 5000));
  // A network of several streams heard at a rate: the client's single stream gives it less.
  auto findWide = [&w]() -> const TWLANNetwork* {
    for (const auto& n : w.SelectedNetworks()->Items)
      if (n->TxStreams > 1 && n->AchievableRate > 0) return n.get();
    w.Interfaces()->RequestScan();
    return nullptr;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return findWide() != nullptr; }, 5000));
  const TWLANNetwork* wide = findWide();
  const double rateBefore = wide->AchievableRate;

  QPointer<QWidget> spectrum = w.Graphs()->SpectrumView(0);
  ASSERT_TRUE(spectrum);
  WhenShown<TfrmPreferences>([](TfrmPreferences& d) {
    d.seGraphInterval->setValue(7);
    d.seWirelessNetworkInterval->setValue(3600);
    d.cbTimeWindow->setCurrentIndex(2);
    d.rbRateForClient->setChecked(true);
    d.seRxStreams->setValue(1);
    d.seTxStreams->setValue(1);
    d.accept();
  });
  w.Action(TCommand::Preferences)->trigger();
  EXPECT_EQ(w.findChild<QTimer*>("tmUpdateGraph")->interval(), 7000);
  EXPECT_EQ(w.findChild<QTimer*>("tmUpdateWirelessNetwork")->interval(), 3'600'000);
  EXPECT_EQ(w.Options.TimeWindowMinutes, 20);
  EXPECT_LT(wide->AchievableRate, rateBefore);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(spectrum.data(), w.Graphs()->SpectrumView(0)) << "an interval alone rebuilds no graph";

  WhenShown<TfrmPreferences>([](TfrmPreferences& d) {
    d.chkBandsOnSinglePanel->setChecked(!d.chkBandsOnSinglePanel->isChecked());
    d.accept();
  });
  w.Action(TCommand::Preferences)->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(spectrum.isNull());
  EXPECT_NE(w.Graphs()->SpectrumView(0), nullptr);
}

// The dialog keeps the BSSID only: the network ageing out while it is open leaves it saying so, and the colour
// dialog it opens finds the record again.
TEST_F(DialogsWindowTest, NetworkPropertiesFollowTheNetworkAndSayWhenItHasGone) {
  const WLAN_BSS_ENTRY entry = test::MakeEntry(7, -50, 2437000, "cafe");
  TStartEnvironment env = FakeEnvironment([&entry](test::FakeWlanService& f) {
    f.BssList = {0, test::MakeBssList({{entry, {}}})};
  });
  env.Dialogs.PickColor = [](QWidget*, const QColor&) { return QColor(0x10, 0x20, 0x30); };
  TfrmSkimlet w(std::move(env));
  ASSERT_EQ(w.NetworkModel()->rowCount(), 1);
  SelectFirst(w);
  ASSERT_TRUE(w.Action(TCommand::NetworkProperties)->isEnabled());
  bool checked = false;
  WhenShown<TfrmNetworkProperties>([&](TfrmNetworkProperties& d) {
    QTreeWidget* t = d.Table();
    ASSERT_EQ(t->topLevelItemCount(), NetworkColumnCount);
    EXPECT_EQ(t->topLevelItem(ColumnIndex(TNetworkColumn::SSID))->text(1).toStdString(),
              SafeText("cafe", SafeTextStyle::Window));
    EXPECT_EQ(t->headerItem()->text(1), "Value");
    d.ChangeColorButton()->click();
    EXPECT_EQ(t->topLevelItem(0)->data(1, Qt::UserRole + 10).value<QColor>(), QColor(0x10, 0x20, 0x30));

    // Unheard while the dialog is open, the network goes at the next scan results.
    w.Options.bDeleteNetworkIfNotSeen = true;
    w.Options.intDeleteNetworkIfNotSeenMin = 0;
    fake->BssList = {0, test::MakeBssList({})};
    fake->Notify(kNotificationSourceACM, kAcmScanComplete);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.SelectedNetworks()->Count() == 0; }, 5000));
    ASSERT_TRUE(QMetaObject::invokeMethod(d.Timer(), "timeout"));
    EXPECT_TRUE(d.NetworkGone());
    EXPECT_FALSE(d.GoneLabel()->isHidden());
    EXPECT_FALSE(d.ChangeColorButton()->isEnabled());
    EXPECT_EQ(t->topLevelItem(ColumnIndex(TNetworkColumn::SSID))->text(1), "");
    checked = true;
    d.accept();
  });
  w.Action(TCommand::NetworkProperties)->trigger();
  EXPECT_TRUE(checked);
  EXPECT_EQ(w.SelectedNetworks()->Count(), 0);
}

// The "Profiles..." button of the Current connection page opens the dialog on the selected interface; without
// an interface it is off.
TEST_F(DialogsWindowTest, ProfilesButtonShowsTheSelectedInterfacesProfiles) {
  {
    TfrmSkimlet none(FakeEnvironment([](test::FakeWlanService& f) {
      f.Interfaces = {0, WLAN_INTERFACE_INFO_LIST{}.Encode()};
    }));
    ASSERT_EQ(none.Interfaces()->Selected(), nullptr);
    EXPECT_FALSE(none.ConnectionPanel()->ProfilesButton()->isEnabled());
  }
  TfrmSkimlet w(FakeEnvironment([](test::FakeWlanService& f) {
    WLAN_PROFILE_INFO_LIST list;
    list.ProfileInfo = {{"Home", 0}, {"Cafe", 0}};
    f.Profiles = {0, list.Encode()};
  }));
  QPushButton* button = w.ConnectionPanel()->ProfilesButton();
  ASSERT_TRUE(button->isEnabled());
  QStringList shown;
  WhenShown<TfrmProfiles>([&shown](TfrmProfiles& d) {
    for (int i = 0; i < d.List()->topLevelItemCount(); ++i)
      shown << d.List()->topLevelItem(i)->data(0, Qt::UserRole).toString();
    EXPECT_EQ(d.List()->headerItem()->text(0), "Profile");
    d.accept();
  });
  button->click();
  EXPECT_EQ(shown, (QStringList{"Home", "Cafe"}));
}

// The profiles of a service that keeps them in a list, as the backends do.
class ProfileService : public test::FakeWlanService {
 public:
  std::vector<std::string> Names;
  WlanResult EditResult = 0;
  std::vector<std::string> Edited;

  WlanResult GetProfileList(const WLAN_GUID&, WlanBlock& out) override {
    WLAN_PROFILE_INFO_LIST list;
    for (const std::string& n : Names) list.ProfileInfo.push_back({n, 0});
    out = list.Encode();
    return 0;
  }
  WlanResult DeleteProfile(const WLAN_GUID&, std::string_view name) override {
    auto it = std::find(Names.begin(), Names.end(), name);
    if (it == Names.end()) return WlanError::kNotFound;
    Names.erase(it);
    return 0;
  }
  WlanResult RenameProfile(const WLAN_GUID&, std::string_view from, std::string_view to) override {
    auto it = std::find(Names.begin(), Names.end(), from);
    if (it == Names.end()) return WlanError::kNotFound;
    *it = std::string(to);
    return 0;
  }
  WlanResult SetProfilePosition(const WLAN_GUID&, std::string_view name, uint32_t position) override {
    auto it = std::find(Names.begin(), Names.end(), name);
    if (it == Names.end() || position >= Names.size()) return WlanError::kInvalidParameter;
    std::string n = *it;
    Names.erase(it);
    Names.insert(Names.begin() + position, n);
    return 0;
  }
  WlanResult EditProfile(uint32_t, std::string_view name, const WLAN_GUID&, void*, uint32_t, uint32_t&) override {
    Edited.emplace_back(name);
    return EditResult;
  }
};

class ProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service.Names = {"Home", "Cafe", "Office"};
    WLAN_INTERFACE_INFO_LIST list;
    list.InterfaceInfo.push_back({WLAN_GUID{1}, "wlan0", kInterfaceConnected});
    service.Interfaces = {0, list.Encode()};
    interfaces = std::make_unique<TWLANInterfaces>(service, options, "");
    ASSERT_TRUE(interfaces->Open());
    ASSERT_TRUE(interfaces->Enumerate());
    interfaces->SetSelectedIndex(0);
    hooks.Interface = [this] { return interfaces->Selected(); };
    hooks.Ask = [this](const QString& text, const QString&, QMessageBox::Icon, QMessageBox::StandardButtons) {
      asked << text;
      return answer;
    };
    hooks.Input = [this](const QString&, const QString&, const QString& initial) -> std::optional<QString> {
      prefilled = initial;
      return input;
    };
  }
  // The names as the service knows them (the lines show them made safe).
  static QStringList Lines(const TfrmProfiles& d) {
    QStringList l;
    for (int i = 0; i < d.List()->topLevelItemCount(); ++i)
      l << d.List()->topLevelItem(i)->data(0, Qt::UserRole).toString();
    return l;
  }
  static void Select(TfrmProfiles& d, int row) { d.List()->setCurrentItem(d.List()->topLevelItem(row)); }

  ProfileService service;
  TProgramOptions options;
  std::unique_ptr<TWLANInterfaces> interfaces;
  TProfilesHooks hooks;
  TColumnLayout layout = DefaultColumnLayout(1);
  QStringList asked;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  std::optional<QString> input;
  QString prefilled;
};

TEST_F(ProfilesTest, CommandsActOnTheSelectedLineAndReload) {
  TfrmProfiles d(hooks, layout);
  EXPECT_EQ(Lines(d), (QStringList{"Home", "Cafe", "Office"}));
  EXPECT_EQ(d.List()->topLevelItem(0)->text(0).toStdString(), SafeText("Home", SafeTextStyle::Window));
  EXPECT_FALSE(d.Button("btnProperties")->isEnabled());

  Select(d, 0);
  EXPECT_FALSE(d.Button("btnMoveUp")->isEnabled());
  EXPECT_TRUE(d.Button("btnMoveDown")->isEnabled());
  d.Button("btnMoveDown")->click();
  EXPECT_EQ(service.Names, (std::vector<std::string>{"Cafe", "Home", "Office"}));
  EXPECT_EQ(Lines(d), (QStringList{"Cafe", "Home", "Office"}));
  EXPECT_EQ(d.List()->currentItem()->data(0, Qt::UserRole).toString(), "Home");  // the selection moves with its line
  Select(d, 2);
  EXPECT_FALSE(d.Button("btnMoveDown")->isEnabled());
  d.Button("btnMoveUp")->click();
  EXPECT_EQ(service.Names, (std::vector<std::string>{"Cafe", "Office", "Home"}));

  // Delete asks first; Cancel keeps the profile.
  Select(d, 0);
  answer = QMessageBox::Cancel;
  d.Button("btnDelete")->click();
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0].toStdString(),
            Format(Translate("sWLANProfilesDelete"), {SafeText("Cafe", SafeTextStyle::Window)}));
  EXPECT_EQ(service.Names.size(), 3u);
  answer = QMessageBox::Ok;
  d.Button("btnDelete")->click();
  EXPECT_EQ(Lines(d), (QStringList{"Office", "Home"}));

  // Rename: prefilled; an empty or unchanged name renames nothing.
  Select(d, 1);
  for (const std::optional<QString>& typed :
       {std::optional<QString>{}, std::optional<QString>{""}, std::optional<QString>{"Home"}}) {
    input = typed;
    d.Button("btnRename")->click();
  }
  EXPECT_EQ(prefilled, "Home");
  EXPECT_EQ(service.Names, (std::vector<std::string>{"Office", "Home"}));
  input = "Home 2";
  d.Button("btnRename")->click();
  EXPECT_EQ(Lines(d), (QStringList{"Office", "Home 2"}));

  // Another program changed the profiles: activating the dialog again shows them.
  service.Names.push_back("Garden");
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&d, &activate);
  EXPECT_EQ(Lines(d), (QStringList{"Office", "Home 2", "Garden"}));
}

TEST_F(ProfilesTest, PropertiesSaysWhenThereIsNoEditor) {
  TfrmProfiles d(hooks, layout);
  Select(d, 1);
  struct Case {
    WlanResult result;
    const char* message;  // nullptr: none
  } cases[] = {{0, nullptr},
               {WlanError::kFileNotFound, "The profile editor nm-connection-editor is not installed."},
               {WlanError::kNotSupported, "This wireless service has no profile editor."}};
  for (const Case& c : cases) {
    asked.clear();
    service.EditResult = c.result;
    d.Button("btnProperties")->click();
    EXPECT_EQ(service.Edited.back(), "Cafe");
    EXPECT_EQ(asked, c.message ? QStringList{c.message} : QStringList{}) << c.result;
  }
}

}  // namespace
}  // namespace skimlet

// The main window over the simulated radio: start-up fills the list, the pause holds it, shutdown writes the
// settings and a second window finds its layout again; the single-instance handshake; the window's texts in
// the English language file.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "backends/sim/sim_service.h"
#include "core/settings/lang.h"
#include "ui/app_guard.h"
#include "ui/main_window.h"

namespace skimlet {
namespace {

class WindowTest : public ::testing::Test {
protected:
  TStartEnvironment Environment() {
    TStartEnvironment env;
    const std::string config = dir.path().toStdString();
    env.Folders = ResolveProgramFolders(ExecutableFolder(), {}, [config](const char* name) -> std::optional<std::string> {
      if (std::string_view(name) == "XDG_CONFIG_HOME") return config;
      return std::nullopt;
    });
    env.CreateService = [](const TProgramOptions&, const TProgramFolders& folders) {
      sim::SimOptions so;
      so.MinScanSeconds = 0.02;
      so.MaxScanSeconds = 0.05;
      std::string error;
      TWindowService made{sim::CreateSimulatedService("sim", folders.ProgramFolder.string(), so, error), true};
      EXPECT_TRUE(made.Service) << error;
      return made;
    };
    env.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                         QMessageBox::StandardButtons buttons) {
      messages << text;
      if (buttons & QMessageBox::Ignore) return QMessageBox::Ignore;
      if (buttons & QMessageBox::Cancel) return QMessageBox::Cancel;
      if (buttons & QMessageBox::No) return QMessageBox::No;
      return QMessageBox::Ok;
    };
    return env;
  }
  std::filesystem::path Settings() const { return std::filesystem::path(dir.path().toStdString()) / "Brankwell" / "Skimlet"; }

  QTemporaryDir dir;
  QStringList messages;
};

TEST_F(WindowTest, StartFillsTheListAndShutdownKeepsTheLayout) {
  {
    TfrmSkimlet w(Environment());
    ASSERT_FALSE(w.TerminateRequested());
    ASSERT_GE(w.InterfaceSelector()->count(), 1);
    EXPECT_TRUE(w.InterfaceSelector()->currentText().contains("simulated radio"));
    ASSERT_TRUE(w.Interfaces()->RequestScan());
    QTRY_VERIFY_WITH_TIMEOUT(w.NetworkModel()->rowCount() > 0, 5000);
    const int rows = w.NetworkModel()->rowCount();

    // Paused: scan results change nothing, the explicit update still refreshes.
    w.Action("actNetworkPauseNetworkUpdating")->setChecked(true);
    w.NetworkModel()->ForgetAll();
    w.SelectedNetworks()->Clear();
    w.ScanResultsReady();
    EXPECT_EQ(w.NetworkModel()->rowCount(), 0);
    w.Action("actNetworkUpdateNetworkList")->trigger();
    EXPECT_EQ(w.NetworkModel()->rowCount(), rows);
    w.UpdateStatusBar();
    EXPECT_FALSE(w.StatusText(6).isEmpty());

    w.NetworkList()->HeaderClicked(5);
    w.NetworkList()->HeaderClicked(5);
    w.NetworkList()->header()->resizeSection(2, 222);
    w.NetworkList()->header()->setSectionHidden(3, true);
    w.NetworkList()->header()->moveSection(w.NetworkList()->header()->visualIndex(4), 1);
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
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
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
    EXPECT_EQ(*value, a->text().toStdString()) << key;
    ++checked;
  }
  EXPECT_GT(checked, 30);
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

TEST(SingleInstance, SecondStartActivatesTheFirst) {
  const QString name = QStringLiteral("skimlet-test-%1").arg(QCoreApplication::applicationPid());
  {
    TSingleInstance first(name);
    ASSERT_TRUE(first.Acquire());
    int activations = 0;
    first.OnActivate = [&] { ++activations; };
    std::atomic<bool> answered{false};
    std::thread second([&] { answered = TSingleInstance::AskRunningInstance(name, 3000); });
    QTRY_COMPARE_WITH_TIMEOUT(activations, 1, 5000);
    second.join();
    EXPECT_TRUE(answered);
  }
  // The first one has gone: the next start is the instance.
  EXPECT_FALSE(TSingleInstance::AskRunningInstance(name, 200));
  TSingleInstance next(name);
  EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, StaleSocketOfACrashedInstanceIsReplaced) {
  const QString name = QStringLiteral("skimlet-stale-%1").arg(QCoreApplication::applicationPid());
  const std::string path = QDir(QDir::tempPath()).filePath(name).toStdString();
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  ::unlink(path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);  // bound, never listening, never removed: what a crash leaves
  TSingleInstance instance(name);
  EXPECT_TRUE(instance.Acquire(500));
  std::atomic<bool> answered{false};
  std::thread other([&] { answered = TSingleInstance::AskRunningInstance(name, 3000); });
  QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
  other.join();
}

}  // namespace
}  // namespace skimlet

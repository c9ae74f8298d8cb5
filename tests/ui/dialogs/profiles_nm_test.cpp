// The Profiles dialog over NetworkManager's D-Bus API as python-dbusmock's template offers it: the dialog's
// commands go through the service's profile calls to the NetworkManager client, and what the dialog shows is
// what NetworkManager then reports. Skipped without python3-dbusmock or dbus-daemon.
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>

#include "backends/linux/nm_client.h"
#include "core/settings/options.h"
#include "support/fake_wlan_service.h"
#include "core/wlan/wlan_interface.h"
#include "support/nm_mock_process.h"
#include "ui/dialogs/profiles.h"
#include "ui/list/column_layout.h"

namespace skimlet {
namespace {

using namespace dialogs;

constexpr const char* kIfname = "wlan0";

// One interface whose profile calls go to NetworkManager, as the Linux service's do; the rest of the service
// (nl80211) is not needed by the dialog.
class NmProfileService : public test::FakeWlanService {
 public:
  linuxwifi::NmClient Nm;

  WlanResult GetProfileList(const WLAN_GUID&, WlanBlock& out) override {
    out.clear();
    std::vector<linuxwifi::NmProfile> profiles;
    if (WlanResult r = Nm.Profiles(kIfname, profiles); r != 0) return r;
    WLAN_PROFILE_INFO_LIST list;
    for (const auto& p : profiles) list.ProfileInfo.push_back({p.Id, 0});
    out = list.Encode();
    return 0;
  }
  WlanResult DeleteProfile(const WLAN_GUID&, std::string_view name) override { return Nm.DeleteProfile(kIfname, name); }
  WlanResult RenameProfile(const WLAN_GUID&, std::string_view from, std::string_view to) override {
    return Nm.RenameProfile(kIfname, from, to);
  }
  WlanResult SetProfilePosition(const WLAN_GUID&, std::string_view name, uint32_t position) override {
    return Nm.SetProfilePosition(kIfname, name, position);
  }
  WlanResult EditProfile(uint32_t, std::string_view name, const WLAN_GUID&, void*, uint32_t,
                         uint32_t& reason) override {
    reason = 0;
    return Nm.EditProfile(kIfname, name);
  }
};

class ProfilesOverNetworkManager : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef SKIMLET_HAVE_SDBUS
    GTEST_SKIP() << "this build has no D-Bus support";
#endif
    std::string why;
    auto started = mock.Start(SKIMLET_NM_MOCK, why);
    if (started == test::NmMockProcess::Started::kSkip) GTEST_SKIP() << why;
    ASSERT_EQ(started, test::NmMockProcess::Started::kReady) << why;
    Exec("dev = nm.AddWiFiDevice('wlan0', 'wlan0', 30)");

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
    hooks.Input = [this](const QString&, const QString&, const QString&) { return input; };
  }

  void Exec(const std::string& code) { ASSERT_EQ(mock.Send(code), "ok") << code; }
  std::string Eval(const std::string& expr) { return mock.Send("?" + expr); }

  // The order NetworkManager reports now, asked anew.
  std::string Reported() {
    std::vector<linuxwifi::NmProfile> profiles;
    EXPECT_EQ(service.Nm.Profiles(kIfname, profiles), 0u);
    std::string s;
    for (const auto& p : profiles) s += (s.empty() ? "" : ",") + p.Id;
    return s;
  }
  static std::string Shown(const TfrmProfiles& d) {
    std::string s;
    for (int i = 0; i < d.List()->topLevelItemCount(); ++i)
      s += (s.empty() ? "" : ",") + d.List()->topLevelItem(i)->data(0, Qt::UserRole).toString().toStdString();
    return s;
  }
  static void Select(TfrmProfiles& d, int row) { d.List()->setCurrentItem(d.List()->topLevelItem(row)); }

  test::NmMockProcess mock;
  NmProfileService service;
  TProgramOptions options;
  std::unique_ptr<TWLANInterfaces> interfaces;
  TProfilesHooks hooks;
  TColumnLayout layout = DefaultColumnLayout(1);
  QStringList asked;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  std::optional<QString> input;
};

TEST_F(ProfilesOverNetworkManager, CommandsChangeWhatNetworkManagerReports) {
  Exec("add_conn('Office', 'o', ts=100)");
  Exec("add_conn('Home', 'h', prio=2)");
  Exec("add_conn('Cafe', 'c', ts=300)");
  Exec("add_conn('Wired', 'w', prio=9, ctype='802-3-ethernet')");
  Exec("add_conn('Other adapter', 'x', prio=9, iface='wlan1')");

  TfrmProfiles d(hooks, layout);
  EXPECT_EQ(Shown(d), "Home,Cafe,Office");  // the interface's wireless profiles in autoconnect order

  // Delete: Cancel keeps the profile, OK removes it from NetworkManager.
  Select(d, 1);
  answer = QMessageBox::Cancel;
  d.Button("btnDelete")->click();
  EXPECT_EQ(Reported(), "Home,Cafe,Office");
  answer = QMessageBox::Ok;
  d.Button("btnDelete")->click();
  EXPECT_EQ(asked.size(), 2);
  EXPECT_EQ(Reported(), "Home,Office");
  EXPECT_EQ(Shown(d), "Home,Office");
  EXPECT_EQ(Eval("by_id('Cafe')"), "= None");

  // Rename keeps the profile's place.
  Select(d, 1);
  input = "Work";
  d.Button("btnRename")->click();
  EXPECT_EQ(Reported(), "Home,Work");
  EXPECT_EQ(Shown(d), "Home,Work");
  EXPECT_EQ(d.List()->currentItem()->data(0, Qt::UserRole).toString(), "Work");

  // Moving rewrites autoconnect priorities, so NetworkManager's own order changes.
  d.Button("btnMoveUp")->click();
  EXPECT_EQ(Reported(), "Work,Home");
  EXPECT_EQ(Shown(d), "Work,Home");
  EXPECT_GT(std::stoi(Eval("prio('Work')").substr(2)), std::stoi(Eval("prio('Home')").substr(2)));
  Select(d, 0);
  d.Button("btnMoveDown")->click();
  EXPECT_EQ(Reported(), "Home,Work");
  EXPECT_EQ(Shown(d), "Home,Work");
}

TEST_F(ProfilesOverNetworkManager, PropertiesWithoutTheEditorOnThePathSaysSo) {
  Exec("add_conn('Home', 'h')");
  QTemporaryDir empty;
  ASSERT_TRUE(empty.isValid());
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", empty.path().toLocal8Bit().constData(), 1);
  TfrmProfiles d(hooks, layout);
  Select(d, 0);
  d.Button("btnProperties")->click();
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(asked, QStringList{"The profile editor nm-connection-editor is not installed."});
  EXPECT_EQ(Shown(d), "Home");
}

}  // namespace
}  // namespace skimlet

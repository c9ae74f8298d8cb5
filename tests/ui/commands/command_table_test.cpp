// The command table: one entry per command in id order with unique names and keys; the enabling rules; the
// commands without a handler stay disabled whatever the state.
#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

#include "ui/commands/command_host.h"
#include "ui/commands/commands.h"

namespace skimlet {
namespace {

// A host with nothing behind it: the enabling rules are fed their state directly.
class TNoHost : public TCommandHost {
 public:
  TProgramOptions& HostOptions() override { std::abort(); }
  TNetworkListView* HostList() const override { return nullptr; }
  TWLANInterface* SelectedInterface() const override { return nullptr; }
  TWLANNetworkList* SelectedNetworks() const override { return nullptr; }
  QMessageBox::StandardButton Ask(const QString&, const QString&, QMessageBox::Icon,
                                  QMessageBox::StandardButtons) override {
    return QMessageBox::NoButton;
  }
  QColor PickColor(const QColor&) override { return {}; }
  void ClearNetworks() override {}
  void RefreshNetworks() override {}
  void RefreshInterfaceState() override {}
  void PauseUpdating(bool) override {}
  void ReenumerateInterfaces() override {}
  void ShowFilters(bool) override {}
  void RestoreColumnsOrder() override {}
  void CloseWindow() override {}
};

TEST(CommandTable, EntriesAreInIdOrderWithUniqueNamesAndKeys) {
  std::set<std::string_view> names, keys;
  for (const TCommandInfo& c : CommandTable()) {
    EXPECT_EQ(&CommandInfo(c.Id), &c);
    EXPECT_TRUE(c.Name.starts_with("act")) << c.Name;
    EXPECT_TRUE(names.insert(c.Name).second) << c.Name;
    EXPECT_TRUE(keys.insert(c.CaptionKey).second) << c.CaptionKey;
    EXPECT_TRUE(keys.insert(c.HintKey).second) << c.HintKey;
    EXPECT_EQ(CommandByName(c.Name), c.Id);
  }
  EXPECT_EQ(CommandByName("actNothing"), std::nullopt);
  EXPECT_EQ(CommandInfo(TCommand::NetworkUpdateNetworkList).Shortcut, "F5");
}

// Every action in each state of the window: enabled by its rule, Connect / Disconnect and the radio switch
// captioned and held down by their looks, the web commands shown (and usable) only with a web site; the
// commands that are not built yet stay disabled whatever the state.
TEST(CommandTable, EveryActionFollowsItsRuleAndLookInEachState) {
  TNoHost host;
  QWidget window;
  TCommands commands(host, &window);
  ASSERT_EQ(window.findChild<QAction*>("actRefreshInterfaces"), commands.Action(TCommand::RefreshInterfaces));
  EXPECT_EQ(commands.Action(TCommand::RefreshInterfaces)->shortcut(), QKeySequence("Ctrl+R"));
  EXPECT_EQ(commands.Action(TCommand::EditComment)->shortcut(), QKeySequence("F2"));

  using C = TCommand;
  const std::set<C> always = {C::RefreshInterfaces,
                              C::Exit,
                              C::NetworkPauseNetworkUpdating,
                              C::NetworkDeleteAllInactive,
                              C::ShowFilters,
                              C::ShowHorizontalGrid,
                              C::ShowVerticalGrid,
                              C::ShowStripedGrid,
                              C::ShowRestoreOrder,
                              C::HelpOnline,
                              C::NetworkReport,
                              C::Preferences,
                              C::SelectColumns,
                              C::About};
  const std::set<C> interface = {C::OpenSnapShot, C::NetworkUpdateNetworkList};
  const std::set<C> rows = {C::SaveSnapShot, C::NetworkClearNetworkList, C::Copy, C::CopyAll, C::NetworkExportToFile};
  const std::set<C> selection = {C::NetworkDelete, C::NetworkChangeColor, C::CopyLine, C::NetworkProperties};
  struct Case {
    const char* Name;
    TCommandState State;
    std::vector<std::set<C>> Enabled;  // beyond the ones always enabled
    const char* Connect;
    const char* Radio;
  };
  const TCommandState radio{.Interface = true, .SoftwareRadioOn = true, .HardwareRadioOn = true};
  auto with = [&radio](TCommandState s) {
    s.Interface = true;
    s.SoftwareRadioOn = radio.SoftwareRadioOn;
    s.HardwareRadioOn = radio.HardwareRadioOn;
    return s;
  };
  const Case cases[] = {
      {"no interface", {}, {}, "Connect", "Wireless On"},
      {"no interface, stale radio flags",
       {.SoftwareRadioOn = true, .HardwareRadioOn = true},
       {},
       "Connect",
       "Wireless On"},
      {"hardware radio off, software on",
       {.Interface = true, .SoftwareRadioOn = true},
       {interface},
       "Connect",
       "Wireless Off"},
      {"hardware and software radio off", {.Interface = true}, {interface}, "Connect", "Wireless On"},
      {"software radio off",
       {.Interface = true, .HardwareRadioOn = true},
       {interface, {C::RadioSwitchAll}},
       "Connect",
       "Wireless On"},
      {"no rows", radio, {interface, {C::RadioSwitchAll}}, "Connect", "Wireless Off"},
      {"rows, no selection",
       with({.NetworksInList = true, .Rows = true}),
       {interface, rows, {C::RadioSwitchAll}},
       "Connect",
       "Wireless Off"},
      {"selection without focus",
       with({.NetworksInList = true, .Rows = true, .Selection = true}),
       {interface, rows, selection, {C::RadioSwitchAll}},
       "Connect",
       "Wireless Off"},
      {"focused network, not connected",
       with({.NetworksInList = true, .Rows = true, .Selection = true, .FocusedRow = true}),
       {interface, rows, selection, {C::RadioSwitchAll, C::NetworkConnectDisconnect, C::EditComment}},
       "Connect",
       "Wireless Off"},
      {"connected, nothing focused",
       with({.Connected = true}),
       {interface, {C::RadioSwitchAll, C::NetworkConnectDisconnect, C::CurrentConnectionDisconnect}},
       "Disconnect",
       "Wireless Off"},
      {"connected, another network focused",
       with({.NetworksInList = true, .Rows = true, .FocusedRow = true, .Connected = true}),
       {interface,
        rows,
        {C::RadioSwitchAll, C::NetworkConnectDisconnect, C::EditComment, C::CurrentConnectionDisconnect}},
       "Connect",
       "Wireless Off"},
      {"connected network focused",
       with({.NetworksInList = true, .Rows = true, .FocusedRow = true, .Connected = true, .FocusedConnected = true}),
       {interface,
        rows,
        {C::RadioSwitchAll, C::NetworkConnectDisconnect, C::EditComment, C::CurrentConnectionDisconnect}},
       "Disconnect",
       "Wireless Off"},
  };
  for (const Case& c : cases) {
    commands.Update(c.State);
    std::set<C> enabled = always;
    for (const auto& more : c.Enabled) enabled.insert(more.begin(), more.end());
    for (const TCommandInfo& info : CommandTable()) {
      const bool on = commands.Action(info.Id)->isEnabled();
      if (!info.Handler) EXPECT_FALSE(on) << c.Name << ": " << info.Name;
      else EXPECT_EQ(on, enabled.contains(info.Id)) << c.Name << ": " << info.Name;
    }
    EXPECT_EQ(commands.ProfilesAction()->isEnabled(), c.State.Interface) << c.Name << ": cmdProfiles";
    QAction* connect = commands.Action(C::NetworkConnectDisconnect);
    QAction* radioSwitch = commands.Action(C::RadioSwitchAll);
    EXPECT_EQ(connect->text(), c.Connect) << c.Name;
    EXPECT_EQ(connect->toolTip(), c.Connect) << c.Name;
    EXPECT_EQ(radioSwitch->text(), c.Radio) << c.Name;
    EXPECT_EQ(radioSwitch->isChecked(), std::string_view(c.Radio) == "Wireless Off") << c.Name;
    EXPECT_EQ(ViewOf(CommandInfo(C::NetworkConnectDisconnect), c.State).Icon,
              std::string_view(c.Connect) == "Connect" ? TCommandIcon::Connect : TCommandIcon::Disconnect);
  }

  // The web pages show only when the build names a web site; updates come from the package manager.
  for (bool site : {false, true}) {
    commands.Update(TCommandState{.WebSite = site});
    for (C id : {C::Home, C::Support, C::Feedback}) {
      EXPECT_EQ(commands.Action(id)->isVisible(), site);
      EXPECT_EQ(commands.Action(id)->isEnabled(), site);
    }
    EXPECT_FALSE(commands.Action(C::CheckForUpdates)->isVisible());
    EXPECT_TRUE(commands.Action(C::HelpOnline)->isVisible());
  }
}

TEST(CommandTable, WebAddressesCarryProductAndVersion) {
  EXPECT_EQ(WebAddress(TCommand::Home, "https://example.org/", 22, 11, 0),
            "https://example.org/action/home/?product=skimlet&version=22.11");
  EXPECT_EQ(WebAddress(TCommand::Feedback, "https://example.org", 5, 1, 3),
            "https://example.org/action/feedback/?product=skimlet&version=05.01.3");
  EXPECT_EQ(WebAddress(TCommand::Support, "", 5, 1, 3), "");
  EXPECT_EQ(WebAddress(TCommand::Exit, "https://example.org", 5, 1, 3), "");
}

TEST(CommandTable, SnapshotFileNameNamesInterfaceAndTime) {
  EXPECT_EQ(SnapshotFileName("Intel/AX201", "{01234567-89AB-CDEF-0123-456789ABCDEF}", 2026, 3, 4, 5, 6, 7),
            "Snapshot Intel-AX201 {01234567-89AB-CDEF-0123-456789ABCDEF} 2026-03-04-05-06-07");
}

}  // namespace
}  // namespace skimlet

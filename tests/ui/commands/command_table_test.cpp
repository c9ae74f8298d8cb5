// The command table: one entry per command in id order with unique names and keys; the enabling rules; the
// commands without a handler stay disabled whatever the state.
#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>

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

TEST(CommandTable, ActionsFollowTheRulesAndPlaceholdersStayDisabled) {
  TNoHost host;
  QWidget window;
  TCommands commands(host, &window);
  ASSERT_EQ(window.findChild<QAction*>("actRefreshInterfaces"), commands.Action(TCommand::RefreshInterfaces));
  EXPECT_EQ(commands.Action(TCommand::RefreshInterfaces)->shortcut(), QKeySequence("Ctrl+R"));

  struct Case {
    TCommandState State;
    std::set<TCommand> Enabled;  // of the commands with a handler
  };
  const std::set<TCommand> always = {TCommand::RefreshInterfaces,  TCommand::Exit,
                                     TCommand::NetworkPauseNetworkUpdating, TCommand::ShowFilters,
                                     TCommand::ShowHorizontalGrid, TCommand::ShowVerticalGrid,
                                     TCommand::ShowStripedGrid,    TCommand::ShowRestoreOrder,
                                     TCommand::Preferences,        TCommand::SelectColumns,
                                     TCommand::About};
  auto with = [&always](std::initializer_list<TCommand> more) {
    std::set<TCommand> s = always;
    s.insert(more);
    return s;
  };
  const Case cases[] = {
      {{}, always},
      {{.Interface = true}, with({TCommand::NetworkUpdateNetworkList})},
      {{.Interface = true, .NetworksInList = true, .Rows = true},
       with({TCommand::NetworkUpdateNetworkList, TCommand::NetworkClearNetworkList})},
      {{.Interface = true, .NetworksInList = true, .Rows = true, .Selection = true, .FocusedRow = true,
        .Connected = true},
       with({TCommand::NetworkUpdateNetworkList, TCommand::NetworkClearNetworkList, TCommand::NetworkChangeColor,
             TCommand::NetworkProperties, TCommand::CurrentConnectionDisconnect})},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    commands.Update(cases[i].State);
    int placeholders = 0;
    for (const TCommandInfo& c : CommandTable()) {
      const bool enabled = commands.Action(c.Id)->isEnabled();
      if (!c.Handler) {
        ++placeholders;
        EXPECT_FALSE(enabled) << c.Name;
      } else {
        EXPECT_EQ(enabled, cases[i].Enabled.contains(c.Id)) << "case " << i << " " << c.Name;
      }
    }
    EXPECT_EQ(placeholders, 17);
  }
}

}  // namespace
}  // namespace skimlet

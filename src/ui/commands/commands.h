// The actions of the command table, made once for a window: their texts from the current language, their
// shortcuts, their handlers, and their enabled states from the table's rules.
#pragma once

#include <QObject>

#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

#include "ui/commands/command_table.h"

class QAction;
class QMenu;
class QWidget;

namespace skimlet {

class TCommandHost;

// An entry of a menu, tool bar or context menu: a command, or a separator (no command).
using TMenuEntry = std::optional<TCommand>;
inline constexpr TMenuEntry kSeparator = std::nullopt;

// The places of the commands.
extern const std::initializer_list<TMenuEntry> kFileMenuBeforeLanguage;
extern const std::initializer_list<TMenuEntry> kFileMenuAfterLanguage;
extern const std::initializer_list<TMenuEntry> kNetworkMenu;
extern const std::initializer_list<TMenuEntry> kToolsMenu;
extern const std::initializer_list<TMenuEntry> kViewMenu;
extern const std::initializer_list<TMenuEntry> kHelpMenu;
extern const std::initializer_list<TMenuEntry> kToolBar;
extern const std::initializer_list<TMenuEntry> kNetworkListMenu;

class TCommands : public QObject {
  Q_OBJECT

 public:
  // The actions are children of Parent (the window), named after the table.
  TCommands(TCommandHost& host, QObject* parent);

  QAction* Action(TCommand id) const { return actions_[static_cast<size_t>(id)]; }
  // The Profiles dialog of the Current connection page ("cmdProfiles"): enabled while an interface is selected.
  QAction* ProfilesAction() const { return profiles_; }
  // Adds the entries' actions (and separators) to a menu, tool bar or widget.
  void Place(QWidget* target, std::initializer_list<TMenuEntry> entries) const;
  // Captions and hints from the current language (also of the captions that follow the state).
  void ApplyTexts();
  // Enables, shows, re-captions and holds down every command as its rule and look say in the window's
  // present state.
  void Update();
  void Update(const TCommandState& state);
  // The Copy submenu: "Copy line", a separator, then one item per list column with its title (but the marker
  // column, which never holds text).
  void BuildCopyMenu(QMenu* menu, const QStringList& columnTitles);
  const std::vector<QAction*>& CopyColumnActions() const { return copyColumns_; }
  // The state the rules look at, taken from the host.
  TCommandState CurrentState() const;

 private:
  TCommandHost& host_;
  std::array<QAction*, kCommandCount> actions_{};
  std::vector<QAction*> copyColumns_;
  QAction* profiles_ = nullptr;
  TCommandState last_;
};

}  // namespace skimlet

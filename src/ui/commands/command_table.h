// The window's commands as one table: for each an id, the object name of its action, the language keys of its
// caption and hint (with the English texts when no language has them), its shortcut, its enabling rule and
// its handler. Commands whose features are not there yet are in the table without a handler and stay
// disabled.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace skimlet {

class TCommandHost;

enum class TCommand : int {
  RefreshInterfaces,
  SaveSnapShot,
  OpenSnapShot,
  Preferences,
  Exit,
  NetworkConnectDisconnect,
  NetworkPauseNetworkUpdating,
  NetworkUpdateNetworkList,
  NetworkDelete,
  NetworkDeleteAllInactive,
  NetworkClearNetworkList,
  Copy,
  CopyLine,
  CopyAll,
  NetworkExportToFile,
  NetworkReport,
  NetworkChangeColor,
  NetworkProperties,
  EditComment,
  CurrentConnectionDisconnect,
  RadioSwitchAll,
  ShowFilters,
  ShowHorizontalGrid,
  ShowVerticalGrid,
  ShowStripedGrid,
  SelectColumns,
  ShowRestoreOrder,
  HelpOnline,
  Home,
  Support,
  Feedback,
  CheckForUpdates,
  About,
};
inline constexpr size_t kCommandCount = static_cast<size_t>(TCommand::About) + 1;

// When a command is enabled.
enum class TEnableRule {
  Always,
  Interface,       // an interface is selected
  NetworksInList,  // the selected interface's network list holds a network
  Rows,            // the network list view has a row
  Selection,       // a row of the view is selected
  FocusedRow,      // a row of the view has the focus
  Connected,       // the selected interface is connected
};

// What the enabling rules look at, taken from the window before the commands are updated.
struct TCommandState {
  bool Interface = false;
  bool NetworksInList = false;
  bool Rows = false;
  bool Selection = false;
  bool FocusedRow = false;
  bool Connected = false;
};

bool RuleHolds(TEnableRule rule, const TCommandState& state);

// Runs a command; Checked is the new check state of a check-style command.
using TCommandHandler = void (*)(TCommandHost& host, bool checked);

struct TCommandInfo {
  TCommand Id;
  std::string_view Name;        // object name of the action ("actExit")
  std::string_view CaptionKey;  // language key of the caption ("frmSkimlet.actExit.Caption")
  std::string_view HintKey;     // language key of the hint
  std::string_view Caption;     // English caption, used when the language has no text for the key
  std::string_view Hint;        // English hint, idem
  std::string_view Shortcut;    // key sequence in portable text ("Ctrl+R"), empty for none
  TEnableRule Rule;
  bool Checkable;
  TCommandHandler Handler;  // nullptr: not built yet, the command stays disabled
};

const std::array<TCommandInfo, kCommandCount>& CommandTable();
const TCommandInfo& CommandInfo(TCommand id);
// The command whose action has this object name.
std::optional<TCommand> CommandByName(std::string_view name);

// The colour dialog for the network of this BSSID text (the swatch of a row, Change color). The record is
// looked up again after the dialog, which may outlive it; nothing happens when it has gone.
void ChangeNetworkColor(TCommandHost& host, const std::string& bssidText);

// The profiles dialog for the selected interface (the "Profiles..." button of the Current connection page).
void OpenProfiles(TCommandHost& host);

}  // namespace skimlet

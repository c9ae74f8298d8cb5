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
class TWLANNetwork;

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
  ConnectTarget,   // a focused row, else a connected interface (Connect / Disconnect)
  HardwareRadio,   // an interface with at least one PHY whose hardware radio is on
};

// Commands whose caption, hint and image follow the state.
enum class TCommandLook {
  Fixed,
  ConnectDisconnect,  // Disconnect for the connected network (or none focused on a connected interface)
  RadioSwitch,        // Wireless Off, held down, while a software radio is on; else Wireless On
};

// When a command is shown at all.
enum class TShowRule {
  Always,
  WebSite,  // the build names a web site
  Never,    // not on this platform
};

// The images of the commands (mapped to the desktop theme's icons, with Qt's own as fallback).
enum class TCommandIcon {
  None,
  Refresh,
  Save,
  Open,
  Exit,
  Connect,
  Disconnect,
  Pause,
  Update,
  Delete,
  DeleteInactive,
  Clear,
  Copy,
  Comment,
  Color,
  RadioOn,
  RadioOff,
  Filters,
  Help,
  Home,
  Support,
  Feedback,
};

// What the enabling rules look at, taken from the window before the commands are updated.
struct TCommandState {
  bool Interface = false;
  bool NetworksInList = false;
  bool Rows = false;
  bool Selection = false;
  bool FocusedRow = false;
  bool Connected = false;
  bool FocusedConnected = false;  // the focused row's network is the connected one
  bool SoftwareRadioOn = false;   // at least one PHY of the selected interface
  bool HardwareRadioOn = false;   // idem
  bool WebSite = false;           // the build names a web site
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
  TCommandLook Look = TCommandLook::Fixed;
  TShowRule Show = TShowRule::Always;
};

// How a command shows in a state: enabled, visible, held down (a check-style look), its caption (language key
// and English text, the same for the hint) when it follows the state, and its image.
struct TCommandView {
  bool Enabled = false;
  bool Visible = true;
  bool Held = false;
  std::string_view CaptionKey;  // empty: the table's caption and hint
  std::string_view Caption;
  TCommandIcon Icon = TCommandIcon::None;
};

TCommandView ViewOf(const TCommandInfo& command, const TCommandState& state);
TCommandIcon IconOf(TCommand id);

// The web site root of this build ("https://host"), empty when it names none.
std::string_view WebSiteRoot();
// The address of a web command: root, path and "?product=skimlet&version=VV.VV[.R]"; empty for other commands
// or without a web site.
std::string WebAddress(TCommand id, std::string_view root, int major, int minor, int release);

const std::array<TCommandInfo, kCommandCount>& CommandTable();
const TCommandInfo& CommandInfo(TCommand id);
// The command whose action has this object name.
std::optional<TCommand> CommandByName(std::string_view name);

// The colour dialog for the network of this BSSID text (the swatch of a row, Change color). The record is
// looked up again after the dialog, which may outlive it; nothing happens when it has gone. The text is taken
// by value: a caller's reference into the record would go with it.
void ChangeNetworkColor(TCommandHost& host, std::string bssidText);

// The network of this BSSID text in the selected interface's list, or nullptr (it went, or no interface).
TWLANNetwork* FindNetwork(const TCommandHost& host, const std::string& bssidText);

// The comment box for the network of this BSSID text; the record is looked up again when it closes.
void EditNetworkComment(TCommandHost& host, std::string bssidText);

// Connect / Disconnect on the network of the focused row (also a double click on a row).
void ConnectOrDisconnect(TCommandHost& host);

// Copies the selected rows' cell of one column (the Copy submenu's column items).
void CopyColumn(TCommandHost& host, int column);

// The file name the save dialog proposes: "Snapshot <description> <GUID> <yyyy-mm-dd-hh-mm-ss>".
std::string SnapshotFileName(const std::string& description, const std::string& guidText, int year, int month, int day,
                             int hour, int minute, int second);

// The profiles dialog for the selected interface (the "Profiles..." button of the Current connection page).
void OpenProfiles(TCommandHost& host);

}  // namespace skimlet

#include "ui/commands/command_table.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/model/columns.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_interface.h"
#include "ui/commands/command_host.h"
#include "ui/dialogs/about.h"
#include "ui/dialogs/column_settings.h"
#include "ui/dialogs/network_properties.h"
#include "ui/dialogs/preferences.h"
#include "ui/dialogs/profiles.h"
#include "ui/list/network_view.h"

namespace skimlet {

namespace {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }

// ---- handlers ----------------------------------------------------------------------------------------------

void RefreshInterfaces(TCommandHost& host, bool) {
  if (host.Ask(Tr("sRefreshWLANInterfaceListWarning"), Tr("sWarning"), QMessageBox::Warning,
               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
    host.ReenumerateInterfaces();
}

void Exit(TCommandHost& host, bool) { host.CloseWindow(); }

// Follows its own check mark.
void Pause(TCommandHost& host, bool on) { host.PauseUpdating(on); }

void UpdateNetworkList(TCommandHost& host, bool) {
  host.RefreshNetworks();
  host.RefreshInterfaceState();
}

void ClearNetworkList(TCommandHost& host, bool) {
  if (host.Ask(Tr("sClearNetworkListInfo"), Tr("sWarning"), QMessageBox::Warning,
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
    host.ClearNetworks();
}

void ChangeColor(TCommandHost& host, bool) {
  TNetworkListView* list = host.HostList();
  const QModelIndexList rows = list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  if (const TWLANNetwork* n = list->Model()->NetworkOfRow(rows.first().row()))
    ChangeNetworkColor(host, n->BSSIDText);
}

void ShowFilters(TCommandHost& host, bool on) { host.ShowFilters(on); }

void HorizontalGrid(TCommandHost& host, bool on) {
  host.HostOptions().bHorzGrid = on;
  host.HostList()->viewport()->update();
}

void VerticalGrid(TCommandHost& host, bool on) {
  host.HostOptions().bVertGrid = on;
  host.HostList()->viewport()->update();
}

void StripedGrid(TCommandHost& host, bool on) {
  host.HostOptions().bStripped = on;
  host.HostList()->Model()->RepaintAll();
}

void RestoreOrder(TCommandHost& host, bool) { host.RestoreColumnsOrder(); }

// The question and the failure message run nested event loops: the interface is looked up again after each.
void DisconnectCurrent(TCommandHost& host, bool) {
  const TWLANInterface* itf = host.SelectedInterface();
  if (!itf || !itf->Connection) return;
  const std::string ssid = SafeText(itf->Connection->SSID, SafeTextStyle::Window);
  const QString question = QString::fromStdString(Format(Translate("sDisconnectInfo"), {ssid}));
  if (host.Ask(question, Tr("sWarning"), QMessageBox::Information, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes)
    return;
  TWLANInterface* target = host.SelectedInterface();
  if (!target) return;
  if (!target->Disconnect())
    host.Ask(Tr("Could not disconnect from the network."), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
  // Updates the connection of the interface selected now, and the commands.
  host.RefreshInterfaceState();
}

// The dialogs run nested event loops: they keep the options' band layout to compare, or a BSSID to look the
// network up again, never a record.
void Preferences(TCommandHost& host, bool) {
  TProgramOptions& o = host.HostOptions();
  const bool single = o.BandsOnSinglePanel, vertical = o.BandsOnSinglePanelVertically;
  if (!dialogs::ExecutePreferences(host.HostList()->window(), o)) return;
  host.ApplyOptions(single != o.BandsOnSinglePanel || vertical != o.BandsOnSinglePanelVertically);
}

void NetworkProperties(TCommandHost& host, bool) {
  TNetworkListView* list = host.HostList();
  const QModelIndexList rows = list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  const TWLANNetwork* n = list->Model()->NetworkOfRow(rows.first().row());
  if (!n) return;
  const std::string bssid = n->BSSIDText;
  QStringList titles;
  for (int i = 0; i < NetworkColumnCount; ++i)
    titles << list->Model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
  auto lookup = [&host](const std::string& bssidText) -> const TWLANNetwork* {
    if (const TWLANNetworkList* networks = host.SelectedNetworks())
      for (const auto& item : networks->Items)
        if (item->BSSIDText == bssidText) return item.get();
    return nullptr;
  };
  dialogs::ExecuteNetworkProperties(list->window(), bssid, lookup,
                                    [&host](const std::string& bssidText) { ChangeNetworkColor(host, bssidText); },
                                    titles, host.HostOptions().Layouts.NetworkPropertiesColumns);
}

void SelectColumns(TCommandHost& host, bool) {
  TNetworkListView* list = host.HostList();
  // The same column as the header menu's stays shown: the list always names its networks.
  dialogs::ExecuteColumnSettings(list->window(), *list, host.HostOptions().Layouts.ListColumns,
                                 ColumnIndex(TNetworkColumn::SSID));
}

void About(TCommandHost& host, bool) { dialogs::ExecuteAbout(host.HostList()->window()); }

using R = TEnableRule;
using C = TCommand;

#define SKIMLET_KEYS(name) name, "frmSkimlet." name ".Caption", "frmSkimlet." name ".Hint"

constexpr std::array<TCommandInfo, kCommandCount> kCommands = {{
    {C::RefreshInterfaces, SKIMLET_KEYS("actRefreshInterfaces"), "Refresh interfaces",
     "Enumerate the wireless interfaces again", "Ctrl+R", R::Always, false, RefreshInterfaces},
    {C::SaveSnapShot, SKIMLET_KEYS("actSaveSnapShot"), "Save snapshot", "Save the network list to a snapshot file", "",
     R::NetworksInList, false, nullptr},
    {C::OpenSnapShot, SKIMLET_KEYS("actOpenSnapShot"), "Open snapshot", "Open a snapshot file", "", R::Interface, false,
     nullptr},
    {C::Preferences, SKIMLET_KEYS("actPreferences"), "Preferences...", "Change the program options", "", R::Always,
     false, Preferences},
    {C::Exit, SKIMLET_KEYS("actExit"), "Exit", "Close the program", "", R::Always, false, Exit},
    {C::NetworkConnectDisconnect, SKIMLET_KEYS("actNetworkConnectDisconnect"), "Connect",
     "Connect to the selected network", "", R::Interface, false, nullptr},
    {C::NetworkPauseNetworkUpdating, SKIMLET_KEYS("actNetworkPauseNetworkUpdating"), "Pause network updating",
     "Stop updating the network list", "", R::Always, true, Pause},
    {C::NetworkUpdateNetworkList, SKIMLET_KEYS("actNetworkUpdateNetworkList"), "Update network list",
     "Update the network list now", "F5", R::Interface, false, UpdateNetworkList},
    {C::NetworkDelete, SKIMLET_KEYS("actNetworkDelete"), "Delete network", "Remove the selected networks from the list",
     "", R::Selection, false, nullptr},
    {C::NetworkDeleteAllInactive, SKIMLET_KEYS("actNetworkDeleteAllInactive"), "Delete all inactive network",
     "Remove every network that is no longer heard", "", R::Always, false, nullptr},
    {C::NetworkClearNetworkList, SKIMLET_KEYS("actNetworkClearNetworkList"), "Clear network list",
     "Remove every network from the list", "", R::Rows, false, ClearNetworkList},
    {C::Copy, SKIMLET_KEYS("actCopy"), "Copy", "Copy to the clipboard", "", R::Rows, false, nullptr},
    {C::CopyLine, SKIMLET_KEYS("actCopyLine"), "Copy line", "Copy the selected lines", "", R::Selection, false,
     nullptr},
    {C::CopyAll, SKIMLET_KEYS("actCopyAll"), "Copy all", "Copy every line", "", R::Rows, false, nullptr},
    {C::NetworkExportToFile, SKIMLET_KEYS("actNetworkExportToFile"), "Export to file",
     "Export the network list to a file", "", R::Rows, false, nullptr},
    {C::NetworkReport, SKIMLET_KEYS("actNetworkReport"), "Report...", "Write an HTML report", "", R::Always, false,
     nullptr},
    {C::NetworkChangeColor, SKIMLET_KEYS("actNetworkChangeColor"), "Change color",
     "Change the colour of the selected network", "", R::Selection, false, ChangeColor},
    {C::NetworkProperties, SKIMLET_KEYS("actNetworkProperties"), "Properties",
     "Show the properties of the selected network", "", R::Selection, false, NetworkProperties},
    {C::EditComment, SKIMLET_KEYS("actEditComment"), "Edit comment", "Edit the comment of the focused network", "F2",
     R::FocusedRow, false, nullptr},
    {C::CurrentConnectionDisconnect, SKIMLET_KEYS("actCurrentConnectionDisconnect"), "Disconnect",
     "Disconnect from the current network", "", R::Connected, false, DisconnectCurrent},
    {C::RadioSwitchAll, SKIMLET_KEYS("actRadioSwitchAll"), "Wireless On", "Switch the wireless radio on or off", "",
     R::Interface, false, nullptr},
    {C::ShowFilters, SKIMLET_KEYS("actShowFilters"), "Show filters", "Show or hide the filter panel", "", R::Always,
     true, ShowFilters},
    {C::ShowHorizontalGrid, SKIMLET_KEYS("actShowHorizontalGrid"), "Show horizontal grid",
     "Horizontal grid lines in the network list", "", R::Always, true, HorizontalGrid},
    {C::ShowVerticalGrid, SKIMLET_KEYS("actShowVerticalGrid"), "Show vertical grid",
     "Vertical grid lines in the network list", "", R::Always, true, VerticalGrid},
    {C::ShowStripedGrid, SKIMLET_KEYS("actShowStripedGrid"), "Show striped grid", "Striped rows in the network list",
     "", R::Always, true, StripedGrid},
    {C::SelectColumns, SKIMLET_KEYS("actSelectColumns"), "Select columns...",
     "Choose the columns of the network list", "", R::Always, false, SelectColumns},
    {C::ShowRestoreOrder, SKIMLET_KEYS("actShowRestoreOrder"), "Restore columns order",
     "Put the columns back in their first order", "", R::Always, false, RestoreOrder},
    {C::HelpOnline, SKIMLET_KEYS("actHelpOnline"), "Online help", "Open the online help", "", R::Always, false,
     nullptr},
    {C::Home, SKIMLET_KEYS("actHome"), "Homepage", "Open the home page", "", R::Always, false, nullptr},
    {C::Support, SKIMLET_KEYS("actSupport"), "Technical support", "Open the support page", "", R::Always, false,
     nullptr},
    {C::Feedback, SKIMLET_KEYS("actFeedback"), "Feedback", "Send feedback", "", R::Always, false, nullptr},
    {C::CheckForUpdates, SKIMLET_KEYS("actCheckForUpdates"), "Check for updates...", "Look for a newer version", "",
     R::Always, false, nullptr},
    {C::About, SKIMLET_KEYS("actAbout"), "About...", "About this program", "", R::Always, false, About},
}};

#undef SKIMLET_KEYS

// The table is in enum order, so an id is its index.
constexpr bool InEnumOrder() {
  for (size_t i = 0; i < kCommands.size(); ++i)
    if (static_cast<size_t>(kCommands[i].Id) != i) return false;
  return true;
}
static_assert(InEnumOrder());

}  // namespace

bool RuleHolds(TEnableRule rule, const TCommandState& s) {
  switch (rule) {
    case TEnableRule::Always: return true;
    case TEnableRule::Interface: return s.Interface;
    case TEnableRule::NetworksInList: return s.NetworksInList;
    case TEnableRule::Rows: return s.Rows;
    case TEnableRule::Selection: return s.Selection;
    case TEnableRule::FocusedRow: return s.FocusedRow;
    case TEnableRule::Connected: return s.Connected;
  }
  return false;
}

const std::array<TCommandInfo, kCommandCount>& CommandTable() { return kCommands; }

const TCommandInfo& CommandInfo(TCommand id) { return kCommands[static_cast<size_t>(id)]; }

std::optional<TCommand> CommandByName(std::string_view name) {
  for (const TCommandInfo& c : kCommands)
    if (c.Name == name) return c.Id;
  return std::nullopt;
}

void ChangeNetworkColor(TCommandHost& host, const std::string& bssidText) {
  auto find = [&host, &bssidText]() -> TWLANNetwork* {
    TWLANNetworkList* list = host.SelectedNetworks();
    if (!list) return nullptr;
    for (const auto& n : list->Items)
      if (n->BSSIDText == bssidText) return n.get();
    return nullptr;
  };
  const TWLANNetwork* before = find();
  if (!before) return;
  const TColor c = before->GetColor();
  const QColor initial(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
  before = nullptr;  // the dialog runs the event loop: the timers may free the record meanwhile
  const QColor chosen = host.PickColor(initial);
  if (!chosen.isValid()) return;
  TWLANNetwork* n = find();
  if (!n) return;
  n->SetColor(static_cast<TColor>(chosen.red()) | static_cast<TColor>(chosen.green()) << 8 |
              static_cast<TColor>(chosen.blue()) << 16);
  host.HostList()->Model()->RepaintAll();
}

void OpenProfiles(TCommandHost& host) {
  QWidget* parent = host.HostList()->window();
  dialogs::TProfilesHooks hooks;
  hooks.Interface = [&host] { return host.SelectedInterface(); };
  hooks.Ask = [&host](const QString& text, const QString& caption, QMessageBox::Icon icon,
                      QMessageBox::StandardButtons buttons) { return host.Ask(text, caption, icon, buttons); };
  hooks.Input = [](const QString& title, const QString& prompt, const QString& initial) -> std::optional<QString> {
    QInputDialog input(QApplication::activeModalWidget());
    input.setWindowTitle(title);
    input.setLabelText(prompt);
    input.setTextValue(initial);
    input.setOkButtonText(Tr("sOK"));
    input.setCancelButtonText(Tr("sCancel"));
    if (input.exec() != QDialog::Accepted) return std::nullopt;
    return input.textValue();
  };
  dialogs::ExecuteProfiles(parent, std::move(hooks), host.HostOptions().Layouts.WLANProfilesColumns);
}

}  // namespace skimlet

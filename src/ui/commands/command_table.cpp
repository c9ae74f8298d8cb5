#include "ui/commands/command_table.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/model/columns.h"
#include "core/model/copy_text.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_interface.h"
#include "ui/base/tr.h"
#include "ui/base/widgets.h"
#include "ui/commands/command_host.h"
#include "ui/dialogs/about.h"
#include "ui/dialogs/column_settings.h"
#include "ui/dialogs/network_properties.h"
#include "ui/dialogs/preferences.h"
#include "ui/dialogs/profiles.h"
#include "ui/list/network_view.h"
#include "ui/report/report_command.h"
#include "ui/report/view_export.h"

namespace skimlet {

namespace {

using ui::Fmt;
using ui::Tr;
using ui::TWaitCursor;

bool AskYes(TCommandHost& host, std::string_view key, QMessageBox::Icon icon) {
  return host.Ask(Tr(key), Tr("sWarning"), icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The network of the focused row, or nullptr.
TWLANNetwork* FocusedNetwork(const TCommandHost& host) {
  const TNetworkListView* list = host.HostList();
  if (!list || !list->currentIndex().isValid()) return nullptr;
  return list->Model()->NetworkOfRow(list->currentIndex().row());
}

// The networks of the selected rows in selection order.
std::vector<const TWLANNetwork*> SelectedNetworksInOrder(const TCommandHost& host) {
  std::vector<const TWLANNetwork*> networks;
  const TNetworkListView* list = host.HostList();
  if (!list || !list->selectionModel()) return networks;
  for (const QModelIndex& i : list->selectionModel()->selectedRows())
    if (const TWLANNetwork* n = list->Model()->NetworkOfRow(i.row())) networks.push_back(n);
  return networks;
}

void ToClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); }

// Removes these networks: their rows first, then the records; the views follow once.
void RemoveNetworks(TCommandHost& host, const std::vector<const TWLANNetwork*>& networks) {
  TWLANNetworkList* list = host.SelectedNetworks();
  if (!list || networks.empty()) return;
  host.HostList()->Model()->Forget(networks);
  for (const TWLANNetwork* n : networks) {
    const auto it = std::find_if(list->Items.begin(), list->Items.end(), [n](const auto& p) { return p.get() == n; });
    if (it != list->Items.end()) list->Delete(static_cast<int>(it - list->Items.begin()));
  }
  host.SyncNetworkRows(*list);
}

// ---- handlers ----------------------------------------------------------------------------------------------

void DeleteNetwork(TCommandHost& host, bool) {
  if (!AskYes(host, "sDeleteNetworkInfo", QMessageBox::Information)) return;
  // The selection as it is after the question.
  RemoveNetworks(host, SelectedNetworksInOrder(host));
}

void DeleteAllInactive(TCommandHost& host, bool) {
  if (!AskYes(host, "sDeleteAllInactiveNetworkInfo", QMessageBox::Warning)) return;
  const TNetworkListModel* model = host.HostList()->Model();
  std::vector<const TWLANNetwork*> inactive;
  for (int row = 0; row < model->TotalRows(); ++row)
    if (const TWLANNetwork* n = model->GraphRowNetwork(row); n && !n->Active) inactive.push_back(n);
  RemoveNetworks(host, inactive);
}

void NoAction(TCommandHost&, bool) {}

void CopyLine(TCommandHost& host, bool) {
  std::vector<int> columns(static_cast<size_t>(NetworkColumnCount));
  for (int i = 0; i < NetworkColumnCount; ++i) columns[static_cast<size_t>(i)] = i;
  const std::vector<const TWLANNetwork*> rows = SelectedNetworksInOrder(host);
  if (!rows.empty()) ToClipboard(CopyLinesText(rows, columns));
}

// Every row in list order, filtered ones included; the cells from the first to the last shown column.
void CopyAll(TCommandHost& host, bool) {
  const TNetworkListView* list = host.HostList();
  const TNetworkListModel* model = list->Model();
  int first = -1, last = -1;
  for (int c = 0; c < NetworkColumnCount; ++c) {
    if (list->header()->isSectionHidden(c)) continue;
    if (first < 0) first = c;
    last = c;
  }
  // The marker column never holds text.
  first = std::max(first, 1);
  if (last < first || model->TotalRows() == 0) return;
  std::vector<const TWLANNetwork*> rows;
  for (int row = 0; row < model->TotalRows(); ++row) rows.push_back(model->GraphRowNetwork(row));
  ToClipboard(CopyAllText(rows, first, last));
}

void EditComment(TCommandHost& host, bool) {
  if (const TWLANNetwork* n = FocusedNetwork(host)) EditNetworkComment(host, n->BSSIDText);
}

void ConnectDisconnect(TCommandHost& host, bool) { ConnectOrDisconnect(host); }

void RadioSwitch(TCommandHost& host, bool) {
  const TWLANInterface* itf = host.SelectedInterface();
  if (!itf) return;
  const bool on = itf->IsSoftwareRadioOn();
  if (host.Ask(Tr(on ? "Wireless radio will be turned off" : "Wireless radio will be turned on"), Tr("sWarning"),
               QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  {
    // The interface may have been freed while the question was open: looked up again once the cursor shows.
    TWaitCursor wait;
    TWLANInterface* target = host.SelectedInterface();
    if (!target) return;
    target->SetRadio(!on);
    target->UpdateRadioState();
  }
  host.RefreshInterfaceState();
}

QString SnapshotFilter() { return Tr("Snapshot file") + QStringLiteral(" (*.snapshot)"); }

void SaveSnapshot(TCommandHost& host, bool) {
  const TWLANInterface* itf = host.SelectedInterface();
  if (!itf) return;
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  const QString proposed = QString::fromStdString(SnapshotFileName(
      itf->Description, GuidToText(itf->GUID), d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()));
  QString path = host.AskFileName(true, Tr("Save snapshot"), SnapshotFilter(), QStringLiteral("snapshot"), proposed);
  if (path.isEmpty()) return;
  std::string error;
  {
    TWaitCursor wait;
    TWLANInterface* target = host.SelectedInterface();
    if (!target) return;
    error = target->SaveSnapshot(path.toStdString());
  }
  if (!error.empty()) host.Ask(QString::fromStdString(error), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
}

void OpenSnapshot(TCommandHost& host, bool) {
  if (!host.SelectedInterface()) return;
  if (host.Ask(Tr("Current scanning result will be deleted and scanning will be paused before opening snapshot."),
               Tr("Information"), QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  const QString path =
      host.AskFileName(false, Tr("Open snapshot"), SnapshotFilter(), QStringLiteral("snapshot"), QString());
  if (path.isEmpty()) return;
  if (!host.SelectedInterface()) return;
  if (QAction* pause = host.CommandAction(TCommand::NetworkPauseNetworkUpdating)) pause->setChecked(true);
  host.ClearNetworks();
  TSnapshotLoadResult result;
  TWLANInterface* itf = nullptr;
  {
    TWaitCursor wait;
    itf = host.SelectedInterface();
    if (!itf) return;
    result = itf->LoadSnapshot(path.toStdString());
  }
  itf->Networks->Recount();
  host.SyncNetworkRows(*itf->Networks);
  host.HostList()->Model()->RepaintAll();
  if (!result.Message.empty()) host.Ask(Tr(result.Message), Tr("Error"), QMessageBox::Critical, QMessageBox::Ok);
  else if (!result.Warning.empty())
    host.Ask(QString::fromStdString(SafeText(path.toStdString(), SafeTextStyle::Window)) + QStringLiteral(": ") +
                 QString::fromStdString(result.Warning),
             Tr("sWarning"), QMessageBox::Warning, QMessageBox::Ok);
}

// The help page shipped with the program, in the documents folder.
void HelpOnline(TCommandHost& host, bool) {
  const std::filesystem::path page = host.DocumentsFolder() / "help.html";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(page, ec) ||
      !host.OpenUrl(QUrl::fromLocalFile(QString::fromStdString(page.string()))))
    host.Ask(Fmt("The help page %s could not be opened.", {SafeText(page.string(), SafeTextStyle::Window)}),
             Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
}

void OpenWebPage(TCommandHost& host, TCommand id) {
  const std::string address =
      WebAddress(id, WebSiteRoot(), SKIMLET_VERSION_MAJOR, SKIMLET_VERSION_MINOR, SKIMLET_VERSION_PATCH);
  if (!address.empty()) host.OpenUrl(QUrl(QString::fromStdString(address)));
}
void Home(TCommandHost& host, bool) { OpenWebPage(host, TCommand::Home); }
void Support(TCommandHost& host, bool) { OpenWebPage(host, TCommand::Support); }
void Feedback(TCommandHost& host, bool) { OpenWebPage(host, TCommand::Feedback); }
void CheckForUpdates(TCommandHost& host, bool) { OpenWebPage(host, TCommand::CheckForUpdates); }

void RefreshInterfaces(TCommandHost& host, bool) {
  if (host.Ask(Tr("sRefreshWLANInterfaceListWarning"), Tr("sWarning"), QMessageBox::Warning,
               QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  TWaitCursor wait;
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
  if (host.Ask(Tr("sClearNetworkListInfo"), Tr("sWarning"), QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No) ==
      QMessageBox::Yes)
    host.ClearNetworks();
}

void ChangeColor(TCommandHost& host, bool) {
  TNetworkListView* list = host.HostList();
  const QModelIndexList rows = list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  if (const TWLANNetwork* n = list->Model()->NetworkOfRow(rows.first().row())) ChangeNetworkColor(host, n->BSSIDText);
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
  bool disconnected = false;
  {
    TWaitCursor wait;
    TWLANInterface* target = host.SelectedInterface();
    if (!target) return;
    disconnected = target->Disconnect();
  }
  if (!disconnected)
    host.Ask(Tr("Could not disconnect from the network."), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
  // Updates the connection of the interface selected now, and the commands.
  host.RefreshInterfaceState();
}

// The list is read after the dialog, every row with the filtered ones.
void ExportNetworkList(TCommandHost& host, bool) {
  TNetworkListView* list = host.HostList();
  if (!list) return;
  ui::ExportView(
      list->window(),
      [&host] {
        const TNetworkListView* now = host.HostList();
        return now ? ui::NetworkListTable(*now) : report::TExportTable{};
      },
      ui::ProposedName(report::TExportSource::NetworkList));
}

void Report(TCommandHost& host, bool) {
  ui::RunReport([&host] { return host.ReportSources(); });
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
  dialogs::ExecuteNetworkProperties(
      list->window(), bssid, lookup, [&host](const std::string& bssidText) { ChangeNetworkColor(host, bssidText); },
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
     R::NetworksInList, false, SaveSnapshot},
    {C::OpenSnapShot, SKIMLET_KEYS("actOpenSnapShot"), "Open snapshot", "Open a snapshot file", "", R::Interface, false,
     OpenSnapshot},
    {C::Preferences, SKIMLET_KEYS("actPreferences"), "Preferences...", "Change the program options", "", R::Always,
     false, Preferences},
    {C::Exit, SKIMLET_KEYS("actExit"), "Exit", "Close the program", "", R::Always, false, Exit},
    {C::NetworkConnectDisconnect, SKIMLET_KEYS("actNetworkConnectDisconnect"), "Connect",
     "Connect to the selected network", "", R::ConnectTarget, false, ConnectDisconnect,
     TCommandLook::ConnectDisconnect},
    {C::NetworkPauseNetworkUpdating, SKIMLET_KEYS("actNetworkPauseNetworkUpdating"), "Pause network updating",
     "Stop updating the network list", "", R::Always, true, Pause},
    {C::NetworkUpdateNetworkList, SKIMLET_KEYS("actNetworkUpdateNetworkList"), "Update network list",
     "Update the network list now", "F5", R::Interface, false, UpdateNetworkList},
    {C::NetworkDelete, SKIMLET_KEYS("actNetworkDelete"), "Delete network", "Remove the selected networks from the list",
     "", R::Selection, false, DeleteNetwork},
    {C::NetworkDeleteAllInactive, SKIMLET_KEYS("actNetworkDeleteAllInactive"), "Delete all inactive network",
     "Remove every network that is no longer heard", "", R::Always, false, DeleteAllInactive},
    {C::NetworkClearNetworkList, SKIMLET_KEYS("actNetworkClearNetworkList"), "Clear network list",
     "Remove every network from the list", "", R::Rows, false, ClearNetworkList},
    {C::Copy, SKIMLET_KEYS("actCopy"), "Copy", "Copy to the clipboard", "", R::Rows, false, NoAction},
    {C::CopyLine, SKIMLET_KEYS("actCopyLine"), "Copy line", "Copy the selected lines", "", R::Selection, false,
     CopyLine},
    {C::CopyAll, SKIMLET_KEYS("actCopyAll"), "Copy all", "Copy every line", "", R::Rows, false, CopyAll},
    {C::NetworkExportToFile, SKIMLET_KEYS("actNetworkExportToFile"), "Export to file",
     "Export the network list to a file", "", R::Rows, false, ExportNetworkList},
    {C::NetworkReport, SKIMLET_KEYS("actNetworkReport"), "Report...", "Write an HTML report", "", R::Always, false,
     Report},
    {C::NetworkChangeColor, SKIMLET_KEYS("actNetworkChangeColor"), "Change color",
     "Change the colour of the selected network", "", R::Selection, false, ChangeColor},
    {C::NetworkProperties, SKIMLET_KEYS("actNetworkProperties"), "Properties",
     "Show the properties of the selected network", "", R::Selection, false, NetworkProperties},
    {C::EditComment, SKIMLET_KEYS("actEditComment"), "Edit comment", "Edit the comment of the focused network", "F2",
     R::FocusedRow, false, EditComment},
    {C::CurrentConnectionDisconnect, SKIMLET_KEYS("actCurrentConnectionDisconnect"), "Disconnect",
     "Disconnect from the current network", "", R::Connected, false, DisconnectCurrent},
    {C::RadioSwitchAll, SKIMLET_KEYS("actRadioSwitchAll"), "Wireless On", "Switch the wireless radio on or off", "",
     R::HardwareRadio, false, RadioSwitch, TCommandLook::RadioSwitch},
    {C::ShowFilters, SKIMLET_KEYS("actShowFilters"), "Show filters", "Show or hide the filter panel", "", R::Always,
     true, ShowFilters},
    {C::ShowHorizontalGrid, SKIMLET_KEYS("actShowHorizontalGrid"), "Show horizontal grid",
     "Horizontal grid lines in the network list", "", R::Always, true, HorizontalGrid},
    {C::ShowVerticalGrid, SKIMLET_KEYS("actShowVerticalGrid"), "Show vertical grid",
     "Vertical grid lines in the network list", "", R::Always, true, VerticalGrid},
    {C::ShowStripedGrid, SKIMLET_KEYS("actShowStripedGrid"), "Show striped grid", "Striped rows in the network list",
     "", R::Always, true, StripedGrid},
    {C::SelectColumns, SKIMLET_KEYS("actSelectColumns"), "Select columns...", "Choose the columns of the network list",
     "", R::Always, false, SelectColumns},
    {C::ShowRestoreOrder, SKIMLET_KEYS("actShowRestoreOrder"), "Restore columns order",
     "Put the columns back in their first order", "", R::Always, false, RestoreOrder},
    {C::HelpOnline, SKIMLET_KEYS("actHelpOnline"), "Online help", "Open the help page", "", R::Always, false,
     HelpOnline},
    {C::Home, SKIMLET_KEYS("actHome"), "Homepage", "Open the home page", "", R::Always, false, Home,
     TCommandLook::Fixed, TShowRule::WebSite},
    {C::Support, SKIMLET_KEYS("actSupport"), "Technical support", "Open the support page", "", R::Always, false,
     Support, TCommandLook::Fixed, TShowRule::WebSite},
    {C::Feedback, SKIMLET_KEYS("actFeedback"), "Feedback", "Send feedback", "", R::Always, false, Feedback,
     TCommandLook::Fixed, TShowRule::WebSite},
    {C::CheckForUpdates, SKIMLET_KEYS("actCheckForUpdates"), "Check for updates...", "Look for a newer version", "",
     R::Always, false, CheckForUpdates, TCommandLook::Fixed, TShowRule::Never},
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
    case TEnableRule::ConnectTarget: return s.Interface && (s.FocusedRow || s.Connected);
    case TEnableRule::HardwareRadio: return s.Interface && s.HardwareRadioOn;
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

void ChangeNetworkColor(TCommandHost& host, std::string bssidText) {
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
  const QColor initial(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                       static_cast<int>((c >> 16) & 0xFF));
  before = nullptr;  // the dialog runs the event loop: the timers may free the record meanwhile
  const QColor chosen = host.PickColor(initial);
  if (!chosen.isValid()) return;
  TWLANNetwork* n = find();
  if (!n) return;
  n->SetColor(static_cast<TColor>(chosen.red()) | static_cast<TColor>(chosen.green()) << 8 |
              static_cast<TColor>(chosen.blue()) << 16);
  host.HostList()->Model()->RepaintAll();
}

TCommandIcon IconOf(TCommand id) {
  using I = TCommandIcon;
  switch (id) {
    case C::RefreshInterfaces: return I::Refresh;
    case C::SaveSnapShot: return I::Save;
    case C::OpenSnapShot: return I::Open;
    case C::Exit: return I::Exit;
    case C::NetworkConnectDisconnect: return I::Connect;
    case C::NetworkPauseNetworkUpdating: return I::Pause;
    case C::NetworkUpdateNetworkList: return I::Update;
    case C::NetworkDelete: return I::Delete;
    case C::NetworkDeleteAllInactive: return I::DeleteInactive;
    case C::NetworkClearNetworkList: return I::Clear;
    case C::Copy:
    case C::CopyLine:
    case C::CopyAll: return I::Copy;
    case C::NetworkChangeColor: return I::Color;
    case C::EditComment: return I::Comment;
    case C::CurrentConnectionDisconnect: return I::Disconnect;
    case C::RadioSwitchAll: return I::RadioOff;
    case C::ShowFilters: return I::Filters;
    case C::HelpOnline: return I::Help;
    case C::Home: return I::Home;
    case C::Support: return I::Support;
    case C::Feedback: return I::Feedback;
    case C::CheckForUpdates: return I::Update;
    default: return I::None;
  }
}

TCommandView ViewOf(const TCommandInfo& c, const TCommandState& s) {
  TCommandView v;
  v.Enabled = c.Handler != nullptr && RuleHolds(c.Rule, s);
  v.Visible = c.Show == TShowRule::Always || (c.Show == TShowRule::WebSite && s.WebSite);
  v.Icon = IconOf(c.Id);
  switch (c.Look) {
    case TCommandLook::Fixed: break;
    case TCommandLook::ConnectDisconnect: {
      const bool disconnect = s.FocusedRow ? s.FocusedConnected : s.Connected;
      v.CaptionKey = disconnect ? "sDisconnect" : "sConnect";
      v.Caption = disconnect ? "Disconnect" : "Connect";
      v.Icon = disconnect ? TCommandIcon::Disconnect : TCommandIcon::Connect;
      break;
    }
    case TCommandLook::RadioSwitch: {
      const bool on = s.Interface && s.SoftwareRadioOn;
      v.CaptionKey = on ? "sWirelessOff" : "sWirelessOn";
      v.Caption = on ? "Wireless Off" : "Wireless On";
      v.Icon = on ? TCommandIcon::RadioOn : TCommandIcon::RadioOff;
      v.Held = on;
      break;
    }
  }
  return v;
}

std::string_view WebSiteRoot() { return SKIMLET_WEB_ROOT; }

std::string WebAddress(TCommand id, std::string_view root, int major, int minor, int release) {
  std::string_view path;
  switch (id) {
    case C::Home: path = "/action/home/"; break;
    case C::HelpOnline: path = "/action/help/"; break;
    case C::Feedback: path = "/action/feedback/"; break;
    case C::Support: path = "/action/support/"; break;
    case C::CheckForUpdates: path = "/action/update/"; break;
    default: return {};
  }
  if (root.empty()) return {};
  while (root.ends_with('/')) root.remove_suffix(1);
  char version[48];
  if (release != 0) std::snprintf(version, sizeof version, "%.2d.%.2d.%d", major, minor, release);
  else std::snprintf(version, sizeof version, "%.2d.%.2d", major, minor);
  return std::string(root) + std::string(path) + "?product=skimlet&version=" + version;
}

TWLANNetwork* FindNetwork(const TCommandHost& host, const std::string& bssidText) {
  TWLANNetworkList* list = host.SelectedNetworks();
  if (!list) return nullptr;
  for (const auto& n : list->Items)
    if (n->BSSIDText == bssidText) return n.get();
  return nullptr;
}

void EditNetworkComment(TCommandHost& host, std::string bssidText) {
  const TWLANNetwork* before = FindNetwork(host, bssidText);
  if (!before) return;
  const QString comment = QString::fromStdString(before->Comment);
  before = nullptr;  // the box runs the event loop: the record may go meanwhile
  const std::optional<QString> text = host.AskText(Tr("Edit comment"), Tr("Comment:"), comment);
  if (!text) return;
  TWLANNetwork* n = FindNetwork(host, bssidText);
  if (!n) return;
  n->SetComment(text->toStdString());
  host.HostList()->Model()->RepaintAll();
}

void ConnectOrDisconnect(TCommandHost& host) {
  if (!host.SelectedInterface()) return;
  const TWLANNetwork* target = FocusedNetwork(host);
  if (!target || target->Connected) {
    DisconnectCurrent(host, false);
    return;
  }
  const std::string bssid = target->BSSIDText;
  const std::string ssid = SafeText(target->SSID, SafeTextStyle::Window);
  target = nullptr;  // the question runs the event loop
  if (host.Ask(Fmt("sConnectInfo", {ssid, bssid}), Tr("sWarning"), QMessageBox::Warning,
               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  bool connected = false;
  {
    // The record is looked up once the cursor shows (the cursor lets timers run).
    TWaitCursor wait;
    TWLANInterface* itf = host.SelectedInterface();
    const TWLANNetwork* network = FindNetwork(host, bssid);
    if (!itf || !network) return;
    connected = itf->Connect(*network);
  }
  if (!connected)
    host.Ask(Fmt("sCouldntConnectTo", {ssid, bssid}), Tr("sError"), QMessageBox::Critical, QMessageBox::Ok);
  host.RefreshInterfaceState();
  if (connected) host.FollowConnectionAttempt();
}

void CopyColumn(TCommandHost& host, int column) {
  const int columns[] = {column};
  const std::vector<const TWLANNetwork*> rows = SelectedNetworksInOrder(host);
  if (!rows.empty()) ToClipboard(CopyLinesText(rows, columns));
}

std::string SnapshotFileName(const std::string& description, const std::string& guidText, int year, int month, int day,
                             int hour, int minute, int second) {
  // The description comes from the driver: no folder separators or control characters in a file name.
  std::string name = SafeText(description, SafeTextStyle::Terminal);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '-');
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%.4d-%.2d-%.2d-%.2d-%.2d-%.2d", year, month, day, hour, minute, second);
  return Format("Snapshot %s %s %s", {name, guidText, std::string(stamp)});
}

void OpenProfiles(TCommandHost& host) {
  if (!host.SelectedInterface()) return;  // no list to show
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

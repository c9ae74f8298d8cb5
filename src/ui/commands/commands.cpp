#include "ui/commands/commands.h"

#include <QAction>
#include <QItemSelectionModel>

#include "core/base/translate.h"
#include "core/wlan/wlan_interface.h"
#include "ui/commands/command_host.h"
#include "ui/list/network_view.h"

namespace skimlet {

namespace {

QString Text(std::string_view key, std::string_view english) {
  return QString::fromStdString(Translate(key, english));
}

}  // namespace

using C = TCommand;

const std::initializer_list<TMenuEntry> kFileMenuBeforeLanguage = {
    C::RefreshInterfaces, kSeparator, C::SaveSnapShot, C::OpenSnapShot, kSeparator, C::Preferences};
const std::initializer_list<TMenuEntry> kFileMenuAfterLanguage = {kSeparator, C::Exit};
const std::initializer_list<TMenuEntry> kNetworkMenu = {
    C::NetworkConnectDisconnect, kSeparator, C::NetworkPauseNetworkUpdating, C::NetworkUpdateNetworkList, kSeparator,
    C::NetworkDelete, C::NetworkDeleteAllInactive, C::NetworkClearNetworkList, kSeparator, C::Copy,
    C::NetworkExportToFile, C::NetworkReport, kSeparator, C::NetworkChangeColor, C::NetworkProperties};
const std::initializer_list<TMenuEntry> kToolsMenu = {C::RadioSwitchAll};
const std::initializer_list<TMenuEntry> kViewMenu = {C::ShowFilters, kSeparator, C::ShowHorizontalGrid,
                                                     C::ShowVerticalGrid, C::ShowStripedGrid};
const std::initializer_list<TMenuEntry> kHelpMenu = {C::HelpOnline, kSeparator, C::Home, C::Support, C::Feedback,
                                                     C::CheckForUpdates, kSeparator, C::About};
const std::initializer_list<TMenuEntry> kToolBar = {
    C::NetworkConnectDisconnect, kSeparator, C::NetworkPauseNetworkUpdating, C::NetworkUpdateNetworkList, kSeparator,
    C::NetworkDelete, C::NetworkDeleteAllInactive, C::NetworkClearNetworkList, C::NetworkProperties, kSeparator,
    C::RadioSwitchAll, kSeparator, C::ShowFilters, C::NetworkReport, kSeparator, C::Preferences, C::HelpOnline,
    C::Home, C::About};
const std::initializer_list<TMenuEntry> kNetworkListMenu = {
    C::NetworkConnectDisconnect, kSeparator, C::EditComment, C::NetworkPauseNetworkUpdating,
    C::NetworkUpdateNetworkList, kSeparator, C::NetworkDelete, C::NetworkDeleteAllInactive,
    C::NetworkClearNetworkList, kSeparator, C::Copy, C::NetworkExportToFile, C::NetworkReport, kSeparator,
    C::NetworkChangeColor, C::NetworkProperties};

TCommands::TCommands(TCommandHost& host, QObject* parent) : QObject(parent), host_(host) {
  for (const TCommandInfo& c : CommandTable()) {
    auto* a = new QAction(parent);
    a->setObjectName(QString::fromUtf8(c.Name.data(), static_cast<qsizetype>(c.Name.size())));
    if (!c.Shortcut.empty())
      a->setShortcut(QKeySequence(QString::fromUtf8(c.Shortcut.data(), static_cast<qsizetype>(c.Shortcut.size()))));
    a->setCheckable(c.Checkable);
    a->setEnabled(c.Handler != nullptr);
    if (c.Handler) {
      const TCommandHandler handler = c.Handler;
      // A check-style command follows its check mark however it changes; the others run when triggered.
      if (c.Checkable)
        connect(a, &QAction::toggled, this, [this, handler](bool on) { handler(host_, on); });
      else
        connect(a, &QAction::triggered, this, [this, handler](bool on) { handler(host_, on); });
    }
    actions_[static_cast<size_t>(c.Id)] = a;
  }
  ApplyTexts();
}

void TCommands::Place(QWidget* target, std::initializer_list<TMenuEntry> entries) const {
  for (const TMenuEntry& e : entries) {
    if (e) {
      target->addAction(Action(*e));
    } else {
      auto* separator = new QAction(target);
      separator->setSeparator(true);
      target->addAction(separator);
    }
  }
}

void TCommands::ApplyTexts() {
  for (const TCommandInfo& c : CommandTable()) {
    QAction* a = Action(c.Id);
    a->setText(Text(c.CaptionKey, c.Caption));
    a->setToolTip(Text(c.HintKey, c.Hint));
  }
}

TCommandState TCommands::CurrentState() const {
  TCommandState s;
  const TWLANInterface* itf = host_.SelectedInterface();
  const TWLANNetworkList* networks = host_.SelectedNetworks();
  const TNetworkListView* list = host_.HostList();
  s.Interface = itf != nullptr;
  s.Connected = itf && itf->IsConnected();
  s.NetworksInList = networks && networks->Count() > 0;
  s.Rows = list && list->Model()->TotalRows() > 0;
  s.Selection = list && list->selectionModel() && list->selectionModel()->hasSelection();
  s.FocusedRow = list && list->currentIndex().isValid();
  return s;
}

void TCommands::Update() { Update(CurrentState()); }

void TCommands::Update(const TCommandState& state) {
  for (const TCommandInfo& c : CommandTable())
    Action(c.Id)->setEnabled(c.Handler != nullptr && RuleHolds(c.Rule, state));
}

}  // namespace skimlet

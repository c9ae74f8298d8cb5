#include "ui/commands/commands.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMenu>
#include <QStyle>

#include "core/base/translate.h"
#include "core/wlan/wlan_interface.h"
#include "ui/base/tr.h"
#include "ui/commands/command_host.h"
#include "ui/list/network_view.h"

namespace skimlet {

namespace {

// The text of Key in the current language, else the English one.
QString Text(std::string_view key, std::string_view english) { return ui::Tr(key, english); }

// The desktop theme's image, else Qt's own.
QIcon IconFor(TCommandIcon icon) {
  struct Entry {
    const char* Theme;
    QStyle::StandardPixmap Fallback;
  };
  Entry e{nullptr, QStyle::SP_CustomBase};
  switch (icon) {
    case TCommandIcon::None: return {};
    case TCommandIcon::Refresh: e = {"view-refresh", QStyle::SP_BrowserReload}; break;
    case TCommandIcon::Save: e = {"document-save", QStyle::SP_DialogSaveButton}; break;
    case TCommandIcon::Open: e = {"document-open", QStyle::SP_DialogOpenButton}; break;
    case TCommandIcon::Exit: e = {"application-exit", QStyle::SP_DialogCloseButton}; break;
    case TCommandIcon::Connect: e = {"network-connect", QStyle::SP_DialogYesButton}; break;
    case TCommandIcon::Disconnect: e = {"network-disconnect", QStyle::SP_DialogNoButton}; break;
    case TCommandIcon::Pause: e = {"media-playback-pause", QStyle::SP_MediaPause}; break;
    case TCommandIcon::Update: e = {"view-refresh", QStyle::SP_BrowserReload}; break;
    case TCommandIcon::Delete: e = {"edit-delete", QStyle::SP_TrashIcon}; break;
    case TCommandIcon::DeleteInactive: e = {"edit-clear", QStyle::SP_TrashIcon}; break;
    case TCommandIcon::Clear: e = {"edit-clear-all", QStyle::SP_DialogResetButton}; break;
    case TCommandIcon::Copy: e = {"edit-copy", QStyle::SP_FileDialogContentsView}; break;
    case TCommandIcon::Comment: e = {"document-edit", QStyle::SP_FileDialogDetailedView}; break;
    case TCommandIcon::Color: e = {"color-picker", QStyle::SP_DesktopIcon}; break;
    case TCommandIcon::RadioOn: e = {"network-wireless", QStyle::SP_DriveNetIcon}; break;
    case TCommandIcon::RadioOff: e = {"network-wireless-disconnected", QStyle::SP_DriveNetIcon}; break;
    case TCommandIcon::Filters: e = {"view-filter", QStyle::SP_FileDialogListView}; break;
    case TCommandIcon::Help: e = {"help-contents", QStyle::SP_DialogHelpButton}; break;
    case TCommandIcon::Home: e = {"go-home", QStyle::SP_DirHomeIcon}; break;
    case TCommandIcon::Support: e = {"help-browser", QStyle::SP_MessageBoxQuestion}; break;
    case TCommandIcon::Feedback: e = {"mail-send", QStyle::SP_MessageBoxInformation}; break;
  }
  const QIcon fallback = QApplication::style()->standardIcon(e.Fallback);
  return QIcon::fromTheme(QString::fromLatin1(e.Theme), fallback);
}

}  // namespace

using C = TCommand;

const std::initializer_list<TMenuEntry> kFileMenuBeforeLanguage = {C::RefreshInterfaces, kSeparator, C::SaveSnapShot,
                                                                   C::OpenSnapShot,      kSeparator, C::Preferences};
const std::initializer_list<TMenuEntry> kFileMenuAfterLanguage = {kSeparator, C::Exit};
const std::initializer_list<TMenuEntry> kNetworkMenu = {C::NetworkConnectDisconnect,
                                                        kSeparator,
                                                        C::NetworkPauseNetworkUpdating,
                                                        C::NetworkUpdateNetworkList,
                                                        kSeparator,
                                                        C::NetworkDelete,
                                                        C::NetworkDeleteAllInactive,
                                                        C::NetworkClearNetworkList,
                                                        kSeparator,
                                                        C::Copy,
                                                        C::NetworkExportToFile,
                                                        C::NetworkReport,
                                                        kSeparator,
                                                        C::NetworkChangeColor,
                                                        C::NetworkProperties};
const std::initializer_list<TMenuEntry> kToolsMenu = {C::RadioSwitchAll};
const std::initializer_list<TMenuEntry> kViewMenu = {C::ShowFilters, kSeparator, C::ShowHorizontalGrid,
                                                     C::ShowVerticalGrid, C::ShowStripedGrid};
const std::initializer_list<TMenuEntry> kHelpMenu = {C::HelpOnline, kSeparator,         C::Home,    C::Support,
                                                     C::Feedback,   C::CheckForUpdates, kSeparator, C::About};
const std::initializer_list<TMenuEntry> kToolBar = {C::NetworkConnectDisconnect,
                                                    kSeparator,
                                                    C::NetworkPauseNetworkUpdating,
                                                    C::NetworkUpdateNetworkList,
                                                    kSeparator,
                                                    C::NetworkDelete,
                                                    C::NetworkDeleteAllInactive,
                                                    C::NetworkClearNetworkList,
                                                    C::NetworkProperties,
                                                    kSeparator,
                                                    C::RadioSwitchAll,
                                                    kSeparator,
                                                    C::ShowFilters,
                                                    C::NetworkReport,
                                                    kSeparator,
                                                    C::Preferences,
                                                    C::HelpOnline,
                                                    C::Home,
                                                    C::About};
const std::initializer_list<TMenuEntry> kNetworkListMenu = {C::NetworkConnectDisconnect,
                                                            kSeparator,
                                                            C::EditComment,
                                                            C::NetworkPauseNetworkUpdating,
                                                            C::NetworkUpdateNetworkList,
                                                            kSeparator,
                                                            C::NetworkDelete,
                                                            C::NetworkDeleteAllInactive,
                                                            C::NetworkClearNetworkList,
                                                            kSeparator,
                                                            C::Copy,
                                                            C::NetworkExportToFile,
                                                            C::NetworkReport,
                                                            kSeparator,
                                                            C::NetworkChangeColor,
                                                            C::NetworkProperties};

TCommands::TCommands(TCommandHost& host, QObject* parent) : QObject(parent), host_(host) {
  for (const TCommandInfo& c : CommandTable()) {
    auto* a = new QAction(parent);
    a->setObjectName(QString::fromUtf8(c.Name.data(), static_cast<qsizetype>(c.Name.size())));
    if (!c.Shortcut.empty())
      a->setShortcut(QKeySequence(QString::fromUtf8(c.Shortcut.data(), static_cast<qsizetype>(c.Shortcut.size()))));
    // The radio switch shows its state held down; a click asks first, so the state is set again afterwards.
    a->setCheckable(c.Checkable || c.Look == TCommandLook::RadioSwitch);
    a->setEnabled(c.Handler != nullptr);
    a->setIcon(IconFor(IconOf(c.Id)));
    if (c.Handler) {
      const TCommandHandler handler = c.Handler;
      // A check-style command follows its check mark however it changes; the others run when triggered, and
      // the commands are updated after them.
      if (c.Checkable) connect(a, &QAction::toggled, this, [this, handler](bool on) { handler(host_, on); });
      else
        connect(a, &QAction::triggered, this, [this, handler](bool on) {
          handler(host_, on);
          Update();
        });
    }
    actions_[static_cast<size_t>(c.Id)] = a;
  }
  profiles_ = new QAction(parent);
  profiles_->setObjectName(QStringLiteral("cmdProfiles"));
  profiles_->setEnabled(false);
  connect(profiles_, &QAction::triggered, this, [this] {
    OpenProfiles(host_);
    Update();
  });
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
  Update(last_);
}

void TCommands::BuildCopyMenu(QMenu* menu, const QStringList& columnTitles) {
  menu->clear();
  copyColumns_.clear();
  menu->addAction(Action(TCommand::CopyLine));
  menu->addSeparator();
  // The marker column (the swatch and the check box) holds no text: it has no item.
  for (int column = 1; column < columnTitles.size(); ++column) {
    QAction* a = menu->addAction(columnTitles[column]);
    a->setObjectName(QStringLiteral("itmCopyColumn%1").arg(column));
    connect(a, &QAction::triggered, this, [this, column] { CopyColumn(host_, column); });
    copyColumns_.push_back(a);
  }
  Update(last_);
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
  if (s.FocusedRow) {
    const TWLANNetwork* focused = list->Model()->NetworkOfRow(list->currentIndex().row());
    s.FocusedConnected = focused && focused->Connected;
  }
  s.SoftwareRadioOn = itf && itf->IsSoftwareRadioOn();
  s.HardwareRadioOn = itf && itf->IsHardwareRadioOn();
  s.WebSite = !WebSiteRoot().empty();
  return s;
}

void TCommands::Update() { Update(CurrentState()); }

void TCommands::Update(const TCommandState& state) {
  last_ = state;
  for (const TCommandInfo& c : CommandTable()) {
    QAction* a = Action(c.Id);
    const TCommandView v = ViewOf(c, state);
    a->setEnabled(v.Enabled);
    a->setVisible(v.Visible);
    if (c.Look == TCommandLook::Fixed) continue;
    const QString caption = Text(v.CaptionKey, v.Caption);
    if (a->text() != caption || a->toolTip() != caption) {
      a->setText(caption);
      a->setToolTip(caption);
      a->setIcon(IconFor(v.Icon));
    }
    if (a->isCheckable() && !c.Checkable) a->setChecked(v.Held);
  }
  const bool copy = RuleHolds(TEnableRule::Selection, state);
  for (QAction* a : copyColumns_) a->setEnabled(copy);
  profiles_->setEnabled(RuleHolds(TEnableRule::Interface, state));
}

}  // namespace skimlet

// What the command handlers work on: the window's list, networks, options and dialogs, and the window's own
// operations of the update cycle. The main window implements it.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <string>

#include "ui/report/report_command.h"

class QAction;

namespace skimlet {

enum class TCommand : int;
class TNetworkListView;
class TWLANInterface;
class TWLANNetworkList;
struct TProgramOptions;

class TCommandHost {
 public:
  virtual ~TCommandHost() = default;

  virtual TProgramOptions& HostOptions() = 0;
  virtual TNetworkListView* HostList() const = 0;
  // The selected interface and its network list; nullptr when none is selected.
  virtual TWLANInterface* SelectedInterface() const = 0;
  virtual TWLANNetworkList* SelectedNetworks() const = 0;

  // A message box; runs a nested event loop, so no record may be held across it.
  virtual QMessageBox::StandardButton Ask(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons) = 0;
  // The colour dialog, preset to Initial; an invalid colour when cancelled. Runs a nested event loop.
  virtual QColor PickColor(const QColor& initial) = 0;
  // A one-line input box prefilled with Text; nullopt when cancelled. Runs a nested event loop.
  virtual std::optional<QString> AskText(const QString& /*caption*/, const QString& /*prompt*/,
                                         const QString& /*text*/) {
    return std::nullopt;
  }
  // A file dialog (save or open) with a title, a filter ("Snapshot file (*.snapshot)"), the suffix added to a
  // name typed without one, and a proposed name; empty when cancelled. Runs a nested event loop.
  virtual QString AskFileName(bool /*save*/, const QString& /*title*/, const QString& /*filter*/,
                              const QString& /*suffix*/, const QString& /*proposed*/) {
    return {};
  }
  // Opens an address with the desktop's handler; false when none took it.
  virtual bool OpenUrl(const QUrl& /*url*/) { return false; }
  // Where the help page lies (the documents folder).
  virtual std::filesystem::path DocumentsFolder() const { return {}; }
  // The action of a command (to check or uncheck it); nullptr when the host has no actions.
  virtual QAction* CommandAction(TCommand /*id*/) const { return nullptr; }

  // The window's operations.
  virtual void ClearNetworks() = 0;
  virtual void RefreshNetworks() = 0;
  virtual void RefreshInterfaceState() = 0;
  // The service accepted a connection request and completes it on its own: the host follows the connection
  // closely for a while, for services that do not say when it is done.
  virtual void FollowConnectionAttempt() {}
  // The rows follow the list after networks were added or removed; the status bar and the commands too.
  virtual void SyncNetworkRows(TWLANNetworkList& /*list*/) {}
  // Holds or resumes the network updating.
  virtual void PauseUpdating(bool on) = 0;
  // Frees every interface with its list and enumerates again (the views follow).
  virtual void ReenumerateInterfaces() = 0;
  virtual void ShowFilters(bool on) = 0;
  virtual void RestoreColumnsOrder() = 0;
  // The options changed: timers re-armed, graph options applied, rates re-derived, the list re-sorted; the band
  // graphs are rebuilt only when their layout options changed. Hosts without those views need nothing.
  virtual void ApplyOptions(bool /*bandLayoutChanged*/) {}
  virtual void CloseWindow() = 0;
  // What the report is made of, as the window stands now; nothing by default.
  virtual ui::TReportSources ReportSources() { return {}; }
};

}  // namespace skimlet

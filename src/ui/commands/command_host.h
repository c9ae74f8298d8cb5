// What the command handlers work on: the window's list, networks, options and dialogs, and the window's own
// operations of the update cycle. The main window implements it.
#pragma once

#include <QColor>
#include <QMessageBox>

#include <string>

namespace skimlet {

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

  // The window's operations.
  virtual void ClearNetworks() = 0;
  virtual void RefreshNetworks() = 0;
  virtual void RefreshInterfaceState() = 0;
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
};

}  // namespace skimlet

// The contract of a part of the main window: a room that builds its whole page (tab, panels and graphs) and
// follows the window's life through these calls. The window keeps one list of parts, registered in the order
// their tabs appear, and calls every part at each step; a part overrides only the steps it cares about.
#pragma once

namespace skimlet {

class TWLANInterface;
class TWLANNetworkList;

namespace ui {

class TWindowPart {
 public:
  virtual ~TWindowPart() = default;

  // Texts in the language just loaded.
  virtual void ApplyLanguage() {}
  // The options changed (Preferences); LayoutChanged: the band layout options changed with them.
  virtual void ApplyOptions(bool /*layoutChanged*/) {}
  // The graph timer: repaints what is showing.
  virtual void Tick() {}
  // Sizes and column layouts from the options, and back into them: at start and shutdown, and around a
  // language switch, whose new column titles would otherwise replace the widths the user set.
  virtual void RestoreLayout() {}
  virtual void StoreLayout() {}
  // The selected interface (nullptr: none) after a switch or a refresh of its state.
  virtual void SetInterface(TWLANInterface* /*itf*/) {}
  // The network list's selection changed.
  virtual void SelectionChanged() {}
  // The rows of the list shown (nullptr: none) were brought up to date with it, or the list was switched.
  virtual void NetworksChanged(const TWLANNetworkList* /*list*/) {}
};

}  // namespace ui
}  // namespace skimlet

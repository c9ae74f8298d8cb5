// The ten panels of the window's status bar: the connection (icon and SSID, drawn by the panel itself), its
// mode, RSSI, quality and rates, and the counts of the shown network list.
#pragma once

#include <QString>

#include <array>

class QLabel;
class QStatusBar;

namespace skimlet {

class TWLANInterface;
class TWLANNetworkList;
class TStatusPanel0;

enum class TStatusPanel : int {
  Connection,
  NetworkMode,
  RSSI,
  SignalQuality,
  RxRate,
  TxRate,
  NetworksFound,
  NetworksActive,
  NetworksDisplayed,
  Spare,
};
inline constexpr int kStatusPanelCount = static_cast<int>(TStatusPanel::Spare) + 1;

class TStatusPanels {
 public:
  // Adds the panels to Bar, left to right.
  explicit TStatusPanels(QStatusBar* bar);

  // Panels 1 to 5 from the interface's connection (empty when it is not connected), 6 to 8 from the list and
  // the number of rows shown (empty without a list), panel 0 from the connection.
  void Show(const TWLANInterface* itf, const TWLANNetworkList* list, int displayed);
  QString Text(TStatusPanel panel) const;
  // The label of panels 1 to 9; nullptr for panel 0, which is no label.
  QLabel* Label(TStatusPanel panel) const;

 private:
  TStatusPanel0* panel0_ = nullptr;
  std::array<QLabel*, kStatusPanelCount> labels_{};
};

}  // namespace skimlet

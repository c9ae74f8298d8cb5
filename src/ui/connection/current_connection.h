// The left panel of the Current connection page: the 21-row table of the selected interface's connection with
// the Disconnect and "Profiles..." buttons under it, and the radio table (one row per PHY type with its
// hardware and software radio state) with the radio switch button below, behind a splitter.
#pragma once

#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>

class QAction;
class QPushButton;
class QSplitter;
class QToolButton;
class QTreeWidget;

namespace skimlet {

class TWLANInterface;
struct TColumnLayouts;

inline constexpr int kConnectionRowCount = 21;
inline constexpr int kConnectionQualityRow = 12;
// The PHY types of the radio table, one row each.
inline constexpr std::array<uint32_t, 7> kRadioRowPhyTypes = {4, 5, 6, 7, 8, 10, 11};

// The language keys of the connection table's row names.
const std::array<const char*, kConnectionRowCount>& ConnectionRowKeys();

// The value column for Itf (nullptr: all empty). Rows 0 to 4 need a connection object; rows 5 to 20 are only
// filled while the interface is connected. Text from the air (SSID, vendor) is made safe to show.
QStringList ConnectionRowValues(const TWLANInterface* itf);

// The hint of a radio row: mode, hardware and software state, or "Not Supported".
QString RadioRowHint(uint32_t phyType, bool supported, uint32_t hardware, uint32_t software);

namespace ui {

class TCurrentConnectionPanel : public QWidget {
  Q_OBJECT

 public:
  // Disconnect and RadioSwitch are the window's commands, shown as buttons; Profiles is the command that opens
  // the profiles dialog, or nullptr while there is none (the button then stays disabled).
  TCurrentConnectionPanel(QAction* disconnect, QAction* profiles, QAction* radioSwitch, QWidget* parent = nullptr);

  // Row names and button captions from the current language.
  void ApplyLanguage();
  // Sets the row count and repaints every row from Itf (nullptr: empty values).
  void RefreshConnectionView(const TWLANInterface* itf);
  // Copies the supported flag and the two radio states per row from Itf and repaints.
  void RefreshRadioView(const TWLANInterface* itf);

  void ApplyLayouts(const TColumnLayouts& layouts);
  void ReadLayouts(TColumnLayouts& layouts) const;
  int RadioPanelHeight() const;
  void SetRadioPanelHeight(int height);
  // The panel has been on screen: only then do its splitters hold sizes worth keeping.
  bool WasShown() const { return wasShown_; }

  QTreeWidget* ConnectionTable() const { return vstCurrentConnection_; }
  QTreeWidget* RadioTable() const { return vstRadioState_; }
  QToolButton* DisconnectButton() const { return btnDisconnect_; }
  QPushButton* ProfilesButton() const { return btnProfiles_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool wasShown_ = false;
  QSplitter* splRadio_ = nullptr;
  QTreeWidget* vstCurrentConnection_ = nullptr;
  QTreeWidget* vstRadioState_ = nullptr;
  QWidget* pnlRadio_ = nullptr;
  QToolButton* btnDisconnect_ = nullptr;
  QPushButton* btnProfiles_ = nullptr;
  QToolButton* btnRadioSwitch_ = nullptr;
  QAction* profiles_ = nullptr;
};

}  // namespace ui
}  // namespace skimlet

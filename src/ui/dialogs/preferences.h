// The options dialog: three pages (update speed, wireless networks, rates), OK and Cancel. Opening fills the
// controls from the options; OK copies them back; Cancel changes nothing.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace skimlet {

struct TProgramOptions;

namespace dialogs {

class TfrmPreferences : public QDialog {
  Q_OBJECT

 public:
  TfrmPreferences(const TProgramOptions& options, QWidget* parent = nullptr);

  // The controls' values into Options.
  void Store(TProgramOptions& options) const;

  QTabWidget* Pages = nullptr;
  QSpinBox* seWirelessNetworkInterval = nullptr;
  QSpinBox* seCurrentConnectionInterval = nullptr;
  QSpinBox* seStatisticsInterval = nullptr;
  QSpinBox* seGraphInterval = nullptr;
  QComboBox* cbTimeWindow = nullptr;
  QCheckBox* chkBandsOnSinglePanel = nullptr;
  QRadioButton* rbHorizontally = nullptr;
  QRadioButton* rbVertically = nullptr;
  QCheckBox* chkDrawBackgroundSpectrum = nullptr;
  QCheckBox* chkFillSelectedSeries = nullptr;
  QCheckBox* chkPinConnectedToTop = nullptr;
  QCheckBox* chkDeleteNetworkIfNotSeen = nullptr;
  QSpinBox* seDeleteNetworkIfNotSeenMin = nullptr;
  QRadioButton* rbRateForAP = nullptr;
  QRadioButton* rbRateForClient = nullptr;
  QSpinBox* seNoiseLevel = nullptr;
  QSpinBox* seRxStreams = nullptr;
  QSpinBox* seTxStreams = nullptr;

 private:
  // The three pages, made on Pages and filled from O.
  QWidget* BuildSpeedPage(const TProgramOptions& o);
  QWidget* BuildNetworksPage(const TProgramOptions& o);
  QWidget* BuildRatesPage(const TProgramOptions& o);
  void UpdateEnabled();
};

// Runs the dialog over Parent; true when the user chose OK (Options then holds the new values).
bool ExecutePreferences(QWidget* parent, TProgramOptions& options);

}  // namespace dialogs
}  // namespace skimlet

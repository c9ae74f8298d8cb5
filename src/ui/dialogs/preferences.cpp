#include "ui/dialogs/preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings/options.h"
#include "ui/dialogs/dialog_common.h"

namespace skimlet::dialogs {

namespace {

QSpinBox* SpinBox(const char* name, TOptionRange range, int32_t value, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QString::fromUtf8(name));
  s->setRange(range.Min, range.Max);
  s->setValue(range.Clamp(value));
  return s;
}

// "caption [spin box] unit" as one row of Grid.
void AddRow(QGridLayout* grid, const char* caption, QWidget* field, const char* unit) {
  const int row = grid->rowCount();
  grid->addWidget(new QLabel(Tr(caption)), row, 0);
  grid->addWidget(field, row, 1);
  grid->addWidget(new QLabel(Tr(unit)), row, 2);
}

}  // namespace

TfrmPreferences::TfrmPreferences(const TProgramOptions& o, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmPreferences"));
  setWindowTitle(Tr("Preferences"));
  Pages = new QTabWidget(this);
  Pages->setObjectName(QStringLiteral("pcPreferences"));
  Pages->addTab(BuildSpeedPage(o), Tr("Update speed"));
  Pages->addTab(BuildNetworksPage(o), Tr("Wireless networks"));
  Pages->addTab(BuildRatesPage(o), Tr("Rates"));
  Pages->setCurrentIndex(0);

  QDialogButtonBox* buttons = OkCancelButtons(*this);
  auto* box = new QVBoxLayout(this);
  box->addWidget(Pages);
  box->addWidget(buttons);

  connect(chkBandsOnSinglePanel, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(rbRateForAP, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

QWidget* TfrmPreferences::BuildSpeedPage(const TProgramOptions& o) {
  auto* speed = new QWidget(Pages);
  auto* speedGrid = new QGridLayout(speed);
  seWirelessNetworkInterval =
      SpinBox("seWirelessNetworkInterval", kIntervalSecondsRange, o.UpdateWirelessNetworkInterval, speed);
  seCurrentConnectionInterval =
      SpinBox("seCurrentConnectionInterval", kIntervalSecondsRange, o.UpdateCurrentConnectionInterval, speed);
  seStatisticsInterval =
      SpinBox("seStatisticsInterval", kIntervalSecondsRange, o.UpdateWirelessStatisticsInterval, speed);
  seGraphInterval = SpinBox("seGraphInterval", kIntervalSecondsRange, o.UpdateGraphInterval, speed);
  AddRow(speedGrid, "Update wireless network list every", seWirelessNetworkInterval, "seconds");
  AddRow(speedGrid, "Update connection information  every", seCurrentConnectionInterval, "seconds");
  AddRow(speedGrid, "Update wireless statistics every", seStatisticsInterval, "seconds");
  AddRow(speedGrid, "Update graphs every", seGraphInterval, "seconds");
  speedGrid->setRowStretch(speedGrid->rowCount(), 1);
  speedGrid->setColumnStretch(3, 1);
  return speed;
}

QWidget* TfrmPreferences::BuildNetworksPage(const TProgramOptions& o) {
  auto* networks = new QWidget(Pages);
  auto* networksBox = new QVBoxLayout(networks);
  auto* graphs = new QGroupBox(Tr("Graphs"), networks);
  auto* graphsGrid = new QGridLayout(graphs);
  cbTimeWindow = new QComboBox(graphs);
  cbTimeWindow->setObjectName(QStringLiteral("cbTimeWindow"));
  for (int i = 0; i < kTimeWindowItemCount; ++i) cbTimeWindow->addItem(QString::number(TimeWindowItemMinutes(i)));
  cbTimeWindow->setCurrentIndex(TimeWindowItem(o.TimeWindowMinutes));
  AddRow(graphsGrid, "Time window", cbTimeWindow, "min.");
  chkBandsOnSinglePanel = new QCheckBox(Tr("Display 2.4 and 5 GHz on one panel"), graphs);
  chkBandsOnSinglePanel->setChecked(o.BandsOnSinglePanel);
  rbHorizontally = new QRadioButton(Tr("Horizontally"), graphs);
  rbVertically = new QRadioButton(Tr("Vertically"), graphs);
  (o.BandsOnSinglePanelVertically ? rbVertically : rbHorizontally)->setChecked(true);
  chkDrawBackgroundSpectrum = new QCheckBox(Tr("Draw background for spectral mask"), graphs);
  chkDrawBackgroundSpectrum->setChecked(o.bDrawBackroundSpectrum);
  chkFillSelectedSeries = new QCheckBox(Tr("Fill graph for selected network"), graphs);
  chkFillSelectedSeries->setChecked(o.bFillSelectedSeries);
  int row = graphsGrid->rowCount();
  graphsGrid->addWidget(chkBandsOnSinglePanel, row++, 0, 1, 3);
  auto* direction = new QHBoxLayout;
  direction->setContentsMargins(20, 0, 0, 0);
  direction->addWidget(rbHorizontally);
  direction->addWidget(rbVertically);
  direction->addStretch();
  graphsGrid->addLayout(direction, row++, 0, 1, 3);
  graphsGrid->addWidget(chkDrawBackgroundSpectrum, row++, 0, 1, 3);
  graphsGrid->addWidget(chkFillSelectedSeries, row++, 0, 1, 3);
  graphsGrid->setColumnStretch(3, 1);
  networksBox->addWidget(graphs);

  auto* list = new QGroupBox(Tr("Wireless network list"), networks);
  auto* listGrid = new QGridLayout(list);
  chkPinConnectedToTop = new QCheckBox(Tr("Pin a connected network to the top"), list);
  chkPinConnectedToTop->setChecked(o.bPinConnectedToTop);
  chkDeleteNetworkIfNotSeen = new QCheckBox(Tr("Delete network if not seen after"), list);
  chkDeleteNetworkIfNotSeen->setChecked(o.bDeleteNetworkIfNotSeen);
  seDeleteNetworkIfNotSeenMin =
      SpinBox("seDeleteNetworkIfNotSeenMin", kDeleteNotSeenMinutesRange, o.intDeleteNetworkIfNotSeenMin, list);
  listGrid->addWidget(chkPinConnectedToTop, 0, 0, 1, 3);
  listGrid->addWidget(chkDeleteNetworkIfNotSeen, 1, 0);
  listGrid->addWidget(seDeleteNetworkIfNotSeenMin, 1, 1);
  listGrid->addWidget(new QLabel(Tr("min.")), 1, 2);
  listGrid->setColumnStretch(3, 1);
  networksBox->addWidget(list);
  networksBox->addStretch();
  return networks;
}

QWidget* TfrmPreferences::BuildRatesPage(const TProgramOptions& o) {
  auto* rates = new QWidget(Pages);
  auto* ratesBox = new QVBoxLayout(rates);
  auto* rate = new QGroupBox(Tr("Achievable rate calculation"), rates);
  auto* rateGrid = new QGridLayout(rate);
  rbRateForAP = new QRadioButton(Tr("Calculate achievable rate for access point"), rate);
  rbRateForClient = new QRadioButton(Tr("Calculate achievable rate for client"), rate);
  (o.CalculateAchivableRateForAP ? rbRateForAP : rbRateForClient)->setChecked(true);
  rateGrid->addWidget(rbRateForAP, 0, 0, 1, 3);
  rateGrid->addWidget(rbRateForClient, 1, 0, 1, 3);
  seNoiseLevel = SpinBox("seNoiseLevel", kNoiseLevelRange, o.DefaultNoiseLevel, rate);
  AddRow(rateGrid, "Noise Level", seNoiseLevel, "dBm");
  rateGrid->addWidget(new QLabel(Tr("Typical noise level is in range between -100dBm and -80dBm.")),
                      rateGrid->rowCount(), 0, 1, 4);
  seRxStreams = SpinBox("seRxStreams", kStreamsRange, o.DefaultRxStreams, rate);
  seTxStreams = SpinBox("seTxStreams", kStreamsRange, o.DefaultTxStreams, rate);
  AddRow(rateGrid, "Rx Streams", seRxStreams, "");
  AddRow(rateGrid, "Tx Streams", seTxStreams, "");
  rateGrid->addWidget(new QLabel(Tr("Typical client has 2 Rx and 2 Tx Streams")), rateGrid->rowCount(), 0, 1, 4);
  rateGrid->setColumnStretch(3, 1);
  ratesBox->addWidget(rate);
  ratesBox->addStretch();
  return rates;
}

void TfrmPreferences::UpdateEnabled() {
  rbHorizontally->setEnabled(chkBandsOnSinglePanel->isChecked());
  rbVertically->setEnabled(chkBandsOnSinglePanel->isChecked());
  seRxStreams->setEnabled(rbRateForClient->isChecked());
  seTxStreams->setEnabled(rbRateForClient->isChecked());
}

void TfrmPreferences::Store(TProgramOptions& o) const {
  // The spin boxes keep their values within their ranges; those fit the 16 bits the values are stored in.
  o.UpdateWirelessNetworkInterval = seWirelessNetworkInterval->value();
  o.UpdateCurrentConnectionInterval = seCurrentConnectionInterval->value();
  o.UpdateWirelessStatisticsInterval = seStatisticsInterval->value();
  o.UpdateGraphInterval = seGraphInterval->value();
  o.TimeWindowMinutes = TimeWindowItemMinutes(cbTimeWindow->currentIndex());
  o.BandsOnSinglePanel = chkBandsOnSinglePanel->isChecked();
  o.BandsOnSinglePanelVertically = rbVertically->isChecked();
  o.bDrawBackroundSpectrum = chkDrawBackgroundSpectrum->isChecked();
  o.bFillSelectedSeries = chkFillSelectedSeries->isChecked();
  o.bPinConnectedToTop = chkPinConnectedToTop->isChecked();
  o.bDeleteNetworkIfNotSeen = chkDeleteNetworkIfNotSeen->isChecked();
  o.intDeleteNetworkIfNotSeenMin = seDeleteNetworkIfNotSeenMin->value();
  o.CalculateAchivableRateForAP = rbRateForAP->isChecked();
  o.DefaultNoiseLevel = seNoiseLevel->value();
  o.DefaultRxStreams = seRxStreams->value();
  o.DefaultTxStreams = seTxStreams->value();
}

bool ExecutePreferences(QWidget* parent, TProgramOptions& options) {
  TfrmPreferences dialog(options, parent);
  CentreOn(dialog, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Store(options);
  return true;
}

}  // namespace skimlet::dialogs

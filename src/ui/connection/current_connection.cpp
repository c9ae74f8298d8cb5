#include "ui/connection/current_connection.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/radio/values.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_interface.h"
#include "ui/base/paint.h"
#include "ui/base/tr.h"
#include "ui/list/column_layout.h"
#include "ui/list/network_view.h"
#include "ui/report/view_export.h"

namespace skimlet {

namespace {

using ui::Tr;
QString Q(const std::string& s) { return QString::fromStdString(s); }
// Text from the air or the driver, one line, no control characters.
QString Shown(const std::string& s) { return Q(SafeText(s, SafeTextStyle::Window)); }

// Roles of the value cells.
constexpr int kQualityRole = Qt::UserRole + 1;  // the quality of row 12 while connected, else invalid

// The radio-state icons: 0 unknown (grey ring), 1 on (green), 2 off (red).
QIcon RadioStateIcon(uint32_t state) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(2.5, 2.5, 11, 11);
  if (state == 1) {
    p.setPen(QPen(QColor(0x1E7B34), 1));
    p.setBrush(QColor(0x3CB65A));
  } else if (state == 2) {
    p.setPen(QPen(QColor(0x9A1F1F), 1));
    p.setBrush(QColor(0xD64545));
  } else {
    p.setPen(QPen(QColor(0x8C8C8C), 1.5));
    p.setBrush(Qt::NoBrush);
  }
  p.drawEllipse(r);
  return QIcon(pm);
}

// The PHY icon: the type's letters on a small badge.
QIcon PhyIcon(uint32_t phyType) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2D6FA8));
  p.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 3, 3);
  QFont f = p.font();
  f.setPixelSize(8);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 1, 16, 14), Qt::AlignCenter, Q(PhyTypeLetters(static_cast<int>(phyType))));
  return QIcon(pm);
}

// Paints the quality bar after the text of the quality row's value cell while there is a quality.
class TQualityDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant quality = index.data(kQualityRole);
    if (!quality.isValid()) return;
    painter->save();
    ui::DrawQualityBar(*painter, option.rect, Qt::AlignLeft, false, true, quality.toDouble());
    painter->restore();
  }
};

QTreeWidget* MakeTable(const char* name, int columns, QWidget* parent) {
  auto* t = new QTreeWidget(parent);
  t->setObjectName(QString::fromUtf8(name));
  t->setColumnCount(columns);
  t->setRootIsDecorated(false);
  t->setUniformRowHeights(true);
  t->setSelectionMode(QAbstractItemView::SingleSelection);
  t->setMouseTracking(true);
  t->header()->setStretchLastSection(true);
  t->header()->setSectionsClickable(false);
  return t;
}

}  // namespace

const std::array<const char*, kConnectionRowCount>& ConnectionRowKeys() {
  static const std::array<const char*, kConnectionRowCount> keys = {
      "srowCurrentConnectionInterface",
      "srowCurrentConnectionInterfaceState",
      "srowCurrentConnectionInterfaceMediaStreamingMode",
      "srowCurrentConnectionInterfaceBackgroundScanEnabled",
      "srowCurrentConnectionInterfaceAutoConfEnabled",
      "srowCurrentConnectionSSID",
      "srowCurrentConnectionMAC",
      "srowCurrentConnectionMACVendor",
      "srowCurrentConnectionBssType",
      "srowCurrentConnectionPhyType",
      "srowCurrentConnectionChannel",
      "srowCurrentConnectionRSSI",
      "srowCurrentConnectionSignalQuality",
      "srowCurrentConnectionRxRate",
      "srowCurrentConnectionTxRate",
      "srowCurrentConnectionConnectionMode",
      "srowCurrentConnectionProfileName",
      "srowCurrentConnectionSecurityEnabled",
      "srowCurrentConnectionAuthAlgorithm",
      "srowCurrentConnectionCipherAlgorithm",
      "srowCurrentConnectionOneXEnabled",
  };
  return keys;
}

QStringList ConnectionRowValues(const TWLANInterface* itf) {
  QStringList v;
  for (int i = 0; i < kConnectionRowCount; ++i) v << QString();
  if (!itf || !itf->Connection) return v;
  const TWLANConnection& c = *itf->Connection;
  const bool connected = itf->IsConnected();
  v[0] = Shown(itf->Description);
  v[1] = Q(connected ? InterfaceStateText(c.State) : itf->StateText());
  v[2] = Q(YesNoText(itf->MediaStreamingMode));
  v[3] = Q(YesNoText(itf->BackgroundScanEnabled));
  v[4] = Q(YesNoText(itf->AutoConfEnabled));
  if (!connected) return v;
  v[5] = Shown(c.SSID);
  v[6] = Q(c.BSSIDText);
  v[7] = Shown(c.Vendor);
  v[8] = Q(c.BssTypeText());
  v[9] = Q(c.PhyTypeText());
  v[10] = QString::number(c.Channel);
  v[11] = QString::number(c.RSSI);
  v[12] = QString::number(c.SignalQuality) + "%";
  v[13] = Q(c.RxRateText());
  v[14] = Q(c.TxRateText());
  v[15] = Q(c.ConnectionModeText());
  v[16] = Shown(c.ProfileName);
  v[17] = Q(YesNoText(c.SecurityEnabled));
  if (c.SecurityEnabled) {
    v[18] = Q(c.AuthAlgorithmText());
    v[19] = Q(c.CipherAlgorithmText());
  }
  v[20] = Q(YesNoText(c.OneXEnabled));
  return v;
}

QString RadioRowHint(uint32_t phyType, bool supported, uint32_t hardware, uint32_t software) {
  const std::string mode = PhyTypeName(static_cast<int>(phyType));
  const QString first = Q(Format(Translate("Mode: %s"), {mode})) + "\n";
  if (!supported) return first + Tr("Not Supported");
  return first + Q(Format(Translate("Hadware: %s"), {RadioStateText(hardware)})) + "\n" +
         Q(Format(Translate("Software: %s"), {RadioStateText(software)}));
}

namespace ui {

TCurrentConnectionPanel::TCurrentConnectionPanel(QAction* disconnect, QAction* profiles, QAction* radioSwitch,
                                                 QWidget* parent)
    : QWidget(parent), profiles_(profiles) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  splRadio_ = new QSplitter(Qt::Vertical, this);
  splRadio_->setObjectName(QStringLiteral("splRadio"));
  outer->addWidget(splRadio_);

  auto* upper = new QWidget(splRadio_);
  auto* upperLayout = new QVBoxLayout(upper);
  upperLayout->setContentsMargins(0, 0, 0, 0);
  vstCurrentConnection_ = MakeTable("vstCurrentConnection", 2, upper);
  vstCurrentConnection_->setItemDelegateForColumn(1, new TQualityDelegate(vstCurrentConnection_));
  for (int i = 0; i < kConnectionRowCount; ++i) new QTreeWidgetItem(vstCurrentConnection_);
  upperLayout->addWidget(vstCurrentConnection_, 1);
  InstallTableMenu(vstCurrentConnection_, [] { return ProposedName(report::TExportSource::CurrentConnection); });
  auto* buttons = new QHBoxLayout();
  btnDisconnect_ = new QToolButton(upper);
  btnDisconnect_->setObjectName(QStringLiteral("btnDisconnect"));
  btnDisconnect_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (disconnect) btnDisconnect_->setDefaultAction(disconnect);
  btnProfiles_ = new QPushButton(QStringLiteral("Profiles..."), upper);
  btnProfiles_->setObjectName(QStringLiteral("btnProfiles"));
  if (profiles_) {
    connect(btnProfiles_, &QPushButton::clicked, profiles_, &QAction::trigger);
    btnProfiles_->setEnabled(profiles_->isEnabled());
    connect(profiles_, &QAction::changed, btnProfiles_, [this] { btnProfiles_->setEnabled(profiles_->isEnabled()); });
  } else {
    btnProfiles_->setEnabled(false);
  }
  buttons->addWidget(btnDisconnect_);
  buttons->addWidget(btnProfiles_);
  buttons->addStretch(1);
  upperLayout->addLayout(buttons);

  pnlRadio_ = new QWidget(splRadio_);
  pnlRadio_->setObjectName(QStringLiteral("pnlRadio"));
  auto* radioLayout = new QVBoxLayout(pnlRadio_);
  radioLayout->setContentsMargins(0, 0, 0, 0);
  vstRadioState_ = MakeTable("vstRadioState", 3, pnlRadio_);
  InstallTableMenu(vstRadioState_, [] { return ProposedName(report::TExportSource::Other); });
  for (uint32_t phy : kRadioRowPhyTypes) {
    auto* item = new QTreeWidgetItem(vstRadioState_);
    item->setData(0, Qt::UserRole, phy);
    for (int col : {1, 2}) item->setTextAlignment(col, Qt::AlignCenter);
  }
  radioLayout->addWidget(vstRadioState_, 1);
  btnRadioSwitch_ = new QToolButton(pnlRadio_);
  btnRadioSwitch_->setObjectName(QStringLiteral("btnRadioSwitch"));
  btnRadioSwitch_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (radioSwitch) btnRadioSwitch_->setDefaultAction(radioSwitch);
  auto* switchRow = new QHBoxLayout();
  switchRow->addWidget(btnRadioSwitch_);
  switchRow->addStretch(1);
  radioLayout->addLayout(switchRow);
  splRadio_->setStretchFactor(0, 1);
  splRadio_->setStretchFactor(1, 0);

  ApplyLanguage();
  RefreshConnectionView(nullptr);
  RefreshRadioView(nullptr);
}

void TCurrentConnectionPanel::ApplyLanguage() {
  const auto& keys = ConnectionRowKeys();
  for (int i = 0; i < kConnectionRowCount; ++i)
    vstCurrentConnection_->topLevelItem(i)->setText(0, Tr(keys[static_cast<size_t>(i)]));
  for (int i = 0; i < vstRadioState_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = vstRadioState_->topLevelItem(i);
    const uint32_t phy = item->data(0, Qt::UserRole).toUInt();
    item->setText(0, Q(PhyTypeName(static_cast<int>(phy))));
    item->setIcon(0, PhyIcon(phy));
  }
  btnProfiles_->setText(Tr("Profiles..."));
}

void TCurrentConnectionPanel::RefreshConnectionView(const TWLANInterface* itf) {
  const QStringList values = ConnectionRowValues(itf);
  const bool connected = itf && itf->Connection && itf->IsConnected();
  for (int i = 0; i < kConnectionRowCount; ++i) {
    QTreeWidgetItem* item = vstCurrentConnection_->topLevelItem(i);
    item->setText(1, values[i]);
    item->setToolTip(1, values[i].isEmpty() ? QString() : PlainToolTip(values[i]));
    item->setIcon(1, QIcon());
  }
  QTreeWidgetItem* quality = vstCurrentConnection_->topLevelItem(kConnectionQualityRow);
  quality->setData(1, kQualityRole, QVariant());
  if (connected) {
    const TWLANConnection& c = *itf->Connection;
    vstCurrentConnection_->topLevelItem(5)->setIcon(1, SignalIcon(QualityClassOf(c.SignalQuality), !c.SecurityEnabled));
    vstCurrentConnection_->topLevelItem(9)->setIcon(1, PhyIcon(c.PhyType));
    quality->setData(1, kQualityRole, static_cast<double>(c.SignalQuality));
  }
}

void TCurrentConnectionPanel::RefreshRadioView(const TWLANInterface* itf) {
  for (int i = 0; i < vstRadioState_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = vstRadioState_->topLevelItem(i);
    const uint32_t phy = item->data(0, Qt::UserRole).toUInt();
    TRadioState s;
    if (itf && phy < itf->RadioStates.size()) s = itf->RadioStates[phy];
    const uint32_t hardware = s.Present ? s.HardwareState : 0;
    const uint32_t software = s.Present ? s.SoftwareState : 0;
    item->setIcon(1, RadioStateIcon(hardware));
    item->setIcon(2, RadioStateIcon(software));
    item->setData(1, Qt::UserRole, hardware);
    item->setData(2, Qt::UserRole, software);
    const QString hint = PlainToolTip(RadioRowHint(phy, s.Present, hardware, software));
    for (int col = 0; col < 3; ++col) item->setToolTip(col, hint);
  }
}

void TCurrentConnectionPanel::ApplyLayouts(const TColumnLayouts& layouts) {
  ApplyLayout(*vstCurrentConnection_, layouts.CurrentConnectionColumns);
  ApplyLayout(*vstRadioState_, layouts.RadioStateColumns);
}

void TCurrentConnectionPanel::ReadLayouts(TColumnLayouts& layouts) const {
  ReadLayout(*vstCurrentConnection_, layouts.CurrentConnectionColumns);
  ReadLayout(*vstRadioState_, layouts.RadioStateColumns);
}

int TCurrentConnectionPanel::RadioPanelHeight() const {
  const QList<int> sizes = splRadio_->sizes();
  return sizes.size() == 2 ? sizes[1] : pnlRadio_->height();
}

void TCurrentConnectionPanel::SetRadioPanelHeight(int height) {
  const QList<int> sizes = splRadio_->sizes();
  int total = 0;
  for (int s : sizes) total += s;
  if (total < height + 100) total = height + 200;
  splRadio_->setSizes({total - height, height});
}

void TCurrentConnectionPanel::showEvent(QShowEvent* event) {
  wasShown_ = true;
  QWidget::showEvent(event);
}

}  // namespace ui
}  // namespace skimlet

#include "ui/dialogs/network_properties.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/model/network.h"
#include "ui/dialogs/dialog_common.h"
#include "ui/list/column_layout.h"
#include "ui/list/network_view.h"

namespace skimlet::dialogs {

namespace {

constexpr int kSwatchRole = Qt::UserRole + 10;

// The value cell of the first row: the network's colour as a square at its left edge.
class TSwatchDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant colour = index.data(kSwatchRole);
    if (!colour.isValid()) return;
    const QRect cell = option.rect;
    const int top = cell.top() + 2, bottom = cell.bottom() - 3;
    if (bottom < top) return;
    const QRect swatch(cell.left() + 5, top, bottom - top + 1, bottom - top + 1);
    ui::DrawSwatch(*painter, swatch, colour.value<QColor>(), option.palette.color(QPalette::Text));
  }
};

using ui::ToQColor;

}  // namespace

TfrmNetworkProperties::TfrmNetworkProperties(std::string bssidText, TLookup lookup, TChangeColor changeColor,
                                             QStringList titles, TColumnLayout& layout, QWidget* parent)
    : QDialog(parent),
      bssid_(std::move(bssidText)),
      lookup_(std::move(lookup)),
      changeColor_(std::move(changeColor)),
      layout_(layout) {
  setObjectName(QStringLiteral("frmNetworkProperties"));
  setWindowTitle(Tr("Network properties"));
  table_ = new QTreeWidget(this);
  table_->setObjectName(QStringLiteral("vstNetworkProperties"));
  table_->setColumnCount(2);
  table_->setRootIsDecorated(false);
  table_->setUniformRowHeights(true);
  table_->setItemDelegateForColumn(1, new TSwatchDelegate(table_));
  for (const QString& title : titles) table_->addTopLevelItem(new QTreeWidgetItem(QStringList{title, QString()}));
  ApplyLayout(*table_, layout_);
  // A layout never stored has the default width: the titles get the room they need instead.
  if (!layout_.empty() && layout_[0].Width <= DefaultColumnLayout(1)[0].Width) table_->resizeColumnToContents(0);
  table_->header()->setStretchLastSection(true);

  lblGone_ = new QLabel(Tr("The network is no longer in the list."), this);
  lblGone_->setObjectName(QStringLiteral("lblGone"));
  lblGone_->setVisible(false);
  btnChangeColor_ = new QPushButton(Tr("Change color..."), this);
  btnChangeColor_->setObjectName(QStringLiteral("btnChangeColor"));
  auto* close = new QPushButton(Tr("Close"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnChangeColor_, &QPushButton::clicked, this, [this] {
    // The colour dialog runs its own loop and looks the record up again itself.
    if (changeColor_) changeColor_(bssid_);
    Refresh();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblGone_);
  buttons->addStretch();
  buttons->addWidget(btnChangeColor_);
  buttons->addWidget(close);
  auto* box = new QVBoxLayout(this);
  box->addWidget(table_);
  box->addLayout(buttons);
  resize(560, 640);

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("tmRefresh"));
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });
  timer_->start();
  Refresh();
}

TfrmNetworkProperties::~TfrmNetworkProperties() { ReadLayout(*table_, layout_); }

void TfrmNetworkProperties::Refresh() {
  const TWLANNetwork* n = lookup_ ? lookup_(bssid_) : nullptr;
  gone_ = n == nullptr;
  lblGone_->setVisible(gone_);
  btnChangeColor_->setEnabled(!gone_);
  for (int row = 0; row < table_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = table_->topLevelItem(row);
    item->setText(1, CellText(n, row));  // empty without a network
    item->setData(1, kSwatchRole, row == 0 && n ? QVariant(ToQColor(n->GetColor())) : QVariant());
  }
}

void ExecuteNetworkProperties(QWidget* parent, const std::string& bssidText, TfrmNetworkProperties::TLookup lookup,
                              TfrmNetworkProperties::TChangeColor changeColor, const QStringList& titles,
                              TColumnLayout& layout) {
  if (!lookup || !lookup(bssidText)) return;
  TfrmNetworkProperties dialog(bssidText, std::move(lookup), std::move(changeColor), titles, layout, parent);
  CentreOn(dialog, parent);
  dialog.exec();
}

}  // namespace skimlet::dialogs

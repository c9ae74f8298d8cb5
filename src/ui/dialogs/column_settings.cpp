#include "ui/dialogs/column_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

#include "ui/dialogs/dialog_common.h"
#include "ui/list/column_layout.h"

namespace skimlet::dialogs {

namespace {
constexpr int kColumnRole = Qt::UserRole;
}

TfrmColumnSettings::TfrmColumnSettings(QTreeView& list, const TColumnLayout& stored, int mainColumn, QWidget* parent)
    : QDialog(parent), list_(list), mainColumn_(mainColumn), saved_(stored) {
  setObjectName(QStringLiteral("frmColumnSettings"));
  setWindowTitle(Tr("Column Settings"));
  ReadLayout(list_, saved_);
  working_ = saved_;

  auto* heading = new QLabel(Tr("Check the columns that you would like to make visible."), this);
  heading->setWordWrap(true);
  lstColumns_ = new QListWidget(this);
  lstColumns_->setObjectName(QStringLiteral("lstColumns"));
  seWidth_ = new QSpinBox(this);
  seWidth_->setObjectName(QStringLiteral("seWidth"));
  seWidth_->setRange(kMinWidth, kMaxWidth);
  cbAlignment_ = new QComboBox(this);
  cbAlignment_->setObjectName(QStringLiteral("cbAlignment"));
  cbAlignment_->addItems({Tr("sAllignLeft"), Tr("sAllignRight"), Tr("sAllignCenter")});

  // The lines in display order.
  std::vector<int> order(working_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return working_[static_cast<size_t>(a)].Position < working_[static_cast<size_t>(b)].Position;
  });
  filling_ = true;
  for (int column : order) {
    const TListColumnStore& c = working_[static_cast<size_t>(column)];
    auto* line = new QListWidgetItem(QString::fromStdString(c.Caption), lstColumns_);
    line->setData(kColumnRole, column);
    line->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    line->setCheckState(c.Visible || c.Locked || column == mainColumn_ ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;

  connect(lstColumns_, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
  connect(lstColumns_, &QListWidget::itemChanged, this, [this](QListWidgetItem* line) {
    if (filling_) return;
    const int column = line->data(kColumnRole).toInt();
    const bool locked = column == mainColumn_ || working_[static_cast<size_t>(column)].Locked;
    if (locked && line->checkState() != Qt::Checked) {
      // The list always shows its main column and those its layout locks.
      QSignalBlocker block(lstColumns_);
      line->setCheckState(Qt::Checked);
    }
    working_[static_cast<size_t>(column)].Visible = line->checkState() == Qt::Checked;
    Preview();
  });
  connect(seWidth_, &QSpinBox::valueChanged, this, [this] {
    if (filling_) return;
    TakeWidth();
    Preview();
  });
  connect(cbAlignment_, &QComboBox::currentIndexChanged, this, [this](int index) {
    const int column = SelectedColumn();
    if (filling_ || column < 0 || index < 0) return;
    working_[static_cast<size_t>(column)].Alignment = index;
    Preview();
  });

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(Tr("Selected column should be"), this), 0, 0);
  fields->addWidget(seWidth_, 0, 1);
  fields->addWidget(new QLabel(Tr("pixels wide"), this), 0, 2);
  fields->addWidget(new QLabel(Tr("Text alignment"), this), 1, 0);
  fields->addWidget(cbAlignment_, 1, 1, 1, 2);
  fields->setColumnStretch(3, 1);
  QDialogButtonBox* buttons = OkCancelButtons(*this);
  auto* box = new QVBoxLayout(this);
  box->addWidget(heading);
  box->addWidget(lstColumns_, 1);
  box->addLayout(fields);
  box->addWidget(buttons);
  resize(360, 480);

  if (lstColumns_->count() > 0) lstColumns_->setCurrentRow(0);
}

int TfrmColumnSettings::SelectedColumn() const {
  const QListWidgetItem* line = lstColumns_->currentItem();
  return line ? line->data(kColumnRole).toInt() : -1;
}

void TfrmColumnSettings::ShowSelected() {
  const int column = SelectedColumn();
  if (column < 0) return;
  const TListColumnStore& c = working_[static_cast<size_t>(column)];
  filling_ = true;
  seWidth_->setValue(std::clamp(c.Width, kMinWidth, kMaxWidth));
  cbAlignment_->setCurrentIndex(std::clamp(c.Alignment, 0, 2));
  filling_ = false;
}

void TfrmColumnSettings::TakeWidth() {
  const int column = SelectedColumn();
  if (column < 0) return;
  seWidth_->interpretText();
  working_[static_cast<size_t>(column)].Width = seWidth_->value();
}

void TfrmColumnSettings::Preview() { ApplyLayout(list_, working_); }

void TfrmColumnSettings::Finish(bool ok, TColumnLayout& stored) {
  if (!ok) {
    ApplyLayout(list_, saved_);
    return;
  }
  TakeWidth();
  Preview();
  stored = working_;
}

void ExecuteColumnSettings(QWidget* parent, QTreeView& list, TColumnLayout& stored, int mainColumn) {
  TfrmColumnSettings dialog(list, stored, mainColumn, parent);
  CentreOn(dialog, parent);
  dialog.Finish(dialog.exec() == QDialog::Accepted, stored);
}

}  // namespace skimlet::dialogs

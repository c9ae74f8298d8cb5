#include "ui/dialogs/profiles.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/base/safe_text.h"
#include "core/service/wlan_service.h"
#include "core/wlan/wlan_connection.h"
#include "core/wlan/wlan_interface.h"
#include "ui/dialogs/dialog_common.h"
#include "ui/list/column_layout.h"

namespace skimlet::dialogs {

namespace {
constexpr int kNameRole = Qt::UserRole;  // the profile's name as the service knows it
}

TfrmProfiles::TfrmProfiles(TProfilesHooks hooks, TColumnLayout& layout, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)), layout_(layout) {
  setObjectName(QStringLiteral("frmProfiles"));
  setWindowTitle(Tr("Profiles"));
  lstProfiles_ = new QTreeWidget(this);
  lstProfiles_->setObjectName(QStringLiteral("vstProfiles"));
  lstProfiles_->setColumnCount(1);
  lstProfiles_->setRootIsDecorated(false);
  lstProfiles_->setSelectionMode(QAbstractItemView::SingleSelection);
  ApplyLayout(*lstProfiles_, layout_);
  lstProfiles_->header()->setStretchLastSection(true);

  auto button = [this](const char* name, const char* caption, void (TfrmProfiles::*command)()) {
    auto* b = new QPushButton(Tr(caption), this);
    b->setObjectName(QString::fromUtf8(name));
    connect(b, &QPushButton::clicked, this, command);
    return b;
  };
  btnProperties_ = button("btnProperties", "Properties", &TfrmProfiles::Properties);
  btnDelete_ = button("btnDelete", "Delete", &TfrmProfiles::Delete);
  btnRename_ = button("btnRename", "Rename", &TfrmProfiles::Rename);
  btnMoveUp_ = button("btnMoveUp", "Move up", &TfrmProfiles::MoveUp);
  btnMoveDown_ = button("btnMoveDown", "Move down", &TfrmProfiles::MoveDown);
  auto* close = new QPushButton(Tr("Close"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  // The context menu: the same commands, Properties as the default item.
  menu_ = new QMenu(this);
  for (QPushButton* b : {btnProperties_, btnDelete_, btnRename_, btnMoveUp_, btnMoveDown_}) {
    QAction* a = menu_->addAction(b->text());
    connect(a, &QAction::triggered, b, &QPushButton::click);
    a->setObjectName(b->objectName().replace(QStringLiteral("btn"), QStringLiteral("mi")));
  }
  menu_->setDefaultAction(menu_->actions().front());
  lstProfiles_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lstProfiles_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    UpdateButtons();
    const QList<QAction*> actions = menu_->actions();
    const QList<QPushButton*> buttons = {btnProperties_, btnDelete_, btnRename_, btnMoveUp_, btnMoveDown_};
    for (int i = 0; i < actions.size(); ++i) actions[i]->setEnabled(buttons[i]->isEnabled());
    menu_->popup(lstProfiles_->viewport()->mapToGlobal(pos));
  });
  connect(lstProfiles_, &QTreeWidget::itemDoubleClicked, this, [this] { Properties(); });
  connect(lstProfiles_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

  auto* side = new QVBoxLayout;
  for (QPushButton* b : {btnProperties_, btnDelete_, btnRename_, btnMoveUp_, btnMoveDown_}) side->addWidget(b);
  side->addStretch();
  side->addWidget(close);
  auto* box = new QHBoxLayout(this);
  box->addWidget(lstProfiles_, 1);
  box->addLayout(side);
  resize(460, 320);
  Reload();
}

TfrmProfiles::~TfrmProfiles() { ReadLayout(*lstProfiles_, layout_); }

QPushButton* TfrmProfiles::Button(const char* name) const { return findChild<QPushButton*>(QString::fromUtf8(name)); }

int TfrmProfiles::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = lstProfiles_->selectedItems();
  return selected.isEmpty() ? -1 : lstProfiles_->indexOfTopLevelItem(selected.front());
}

QString TfrmProfiles::SelectedName() const {
  const QList<QTreeWidgetItem*> selected = lstProfiles_->selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->data(0, kNameRole).toString();
}

void TfrmProfiles::Select(const QString& name) {
  for (int i = 0; i < lstProfiles_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = lstProfiles_->topLevelItem(i);
    if (item->data(0, kNameRole).toString() == name) {
      lstProfiles_->setCurrentItem(item);
      item->setSelected(true);
      return;
    }
  }
}

void TfrmProfiles::Reload() {
  const QString selected = SelectedName();
  lstProfiles_->clear();
  if (TWLANInterface* itf = hooks_.Interface ? hooks_.Interface() : nullptr; itf && itf->Profiles) {
    itf->UpdateProfiles();
    const QIcon icon =
        QIcon::fromTheme(QStringLiteral("network-wireless"), style()->standardIcon(QStyle::SP_DriveNetIcon));
    for (const auto& p : itf->Profiles->Items) {
      auto* item = new QTreeWidgetItem(lstProfiles_);
      // Profile names often are network names: shown with their control characters made visible.
      item->setText(0, QString::fromStdString(SafeText(p->Name, SafeTextStyle::Window)));
      item->setData(0, kNameRole, QString::fromStdString(p->Name));
      item->setIcon(0, icon);
    }
  }
  if (!selected.isEmpty()) Select(selected);
  UpdateButtons();
}

void TfrmProfiles::UpdateButtons() {
  const int row = SelectedRow(), count = lstProfiles_->topLevelItemCount();
  for (QPushButton* b : {btnProperties_, btnDelete_, btnRename_}) b->setEnabled(row >= 0);
  btnMoveUp_->setEnabled(row > 0);
  btnMoveDown_->setEnabled(row >= 0 && row < count - 1);
}

bool TfrmProfiles::event(QEvent* event) {
  // Back from the editor (or any other window): the profiles may have changed meanwhile.
  if (event->type() == QEvent::WindowActivate && lstProfiles_) Reload();
  return QDialog::event(event);
}

void TfrmProfiles::Properties() {
  const QString name = SelectedName();
  TWLANInterface* itf = hooks_.Interface ? hooks_.Interface() : nullptr;
  if (name.isEmpty() || !itf || !itf->Profiles) return;
  const uint32_t result = itf->Profiles->Edit(name.toStdString(), this);
  QString why;
  if (result == WlanError::kFileNotFound) why = Tr("The profile editor nm-connection-editor is not installed.");
  else if (result == WlanError::kNotSupported) why = Tr("This wireless service has no profile editor.");
  if (!why.isEmpty() && hooks_.Ask) hooks_.Ask(why, Tr("sInformation"), QMessageBox::Information, QMessageBox::Ok);
  Reload();
}

void TfrmProfiles::Delete() {
  const QString name = SelectedName();
  if (name.isEmpty()) return;
  const QString shown = QString::fromStdString(SafeText(name.toStdString(), SafeTextStyle::Window));
  if (!hooks_.Ask || hooks_.Ask(TrFormat("sWLANProfilesDelete", shown), Tr("sWarning"), QMessageBox::Warning,
                                QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  // The question ran a loop of its own: the interface is looked up again.
  if (TWLANInterface* itf = hooks_.Interface ? hooks_.Interface() : nullptr; itf && itf->Profiles)
    itf->Profiles->Delete(name.toStdString());
  Reload();
}

void TfrmProfiles::Rename() {
  const QString name = SelectedName();
  if (name.isEmpty() || !hooks_.Input) return;
  const std::optional<QString> renamed =
      hooks_.Input(Tr("sWLANProfilesRenameTitle"), Tr("sWLANProfilesRenameCaption"), name);
  if (!renamed || renamed->isEmpty() || *renamed == name) return;
  if (TWLANInterface* itf = hooks_.Interface ? hooks_.Interface() : nullptr; itf && itf->Profiles)
    itf->Profiles->Rename(name.toStdString(), renamed->toStdString());
  Reload();
  Select(*renamed);
  UpdateButtons();
}

void TfrmProfiles::Move(int delta) {
  const int row = SelectedRow();
  const QString name = SelectedName();
  if (row < 0 || row + delta < 0 || row + delta >= lstProfiles_->topLevelItemCount()) return;
  if (TWLANInterface* itf = hooks_.Interface ? hooks_.Interface() : nullptr; itf && itf->Profiles)
    itf->Profiles->SetPosition(name.toStdString(), static_cast<uint32_t>(row + delta));
  Reload();
}

void TfrmProfiles::MoveUp() { Move(-1); }
void TfrmProfiles::MoveDown() { Move(+1); }

void ExecuteProfiles(QWidget* parent, TProfilesHooks hooks, TColumnLayout& layout) {
  TfrmProfiles dialog(std::move(hooks), layout, parent);
  CentreOn(dialog, parent);
  dialog.exec();
}

}  // namespace skimlet::dialogs

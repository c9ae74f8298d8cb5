#include "ui/dialogs/dialog_common.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet::dialogs {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }

QString TrFormat(std::string_view key, const QString& value) {
  return QString::fromStdString(Format(Translate(key), {value.toStdString()}));
}

void CentreOn(QDialog& dialog, QWidget* parent) {
  dialog.resize(dialog.size().expandedTo(dialog.sizeHint()));
  QRect area;
  if (QWidget* w = parent ? parent->window() : nullptr) area = w->frameGeometry();
  else if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
  if (area.isValid()) dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
}

QDialogButtonBox* OkCancelButtons(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("sOK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("sCancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace skimlet::dialogs

#include "ui/dialogs/dialog_common.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>

namespace skimlet::dialogs {

void CentreOn(QDialog& dialog, QWidget* parent) {
  dialog.resize(dialog.size().expandedTo(dialog.sizeHint()));
  QRect area;
  if (QWidget* w = parent ? parent->window() : nullptr) area = w->frameGeometry();
  else if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
  if (area.isValid()) dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
}

}  // namespace skimlet::dialogs

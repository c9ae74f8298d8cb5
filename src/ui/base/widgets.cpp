#include "ui/base/widgets.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include <cmath>

#include "ui/base/tr.h"

namespace skimlet::ui {

TWaitCursor::TWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

QDialogButtonBox* OkCancelButtons(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("sOK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("sCancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

QDialogButtonBox* OkButton(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("sOK"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  return buttons;
}

TStatsStrip::TStatsStrip(QWidget* parent, const QString& prefix) {
  const char* names[] = {"Min", "Max", "Avg"};
  for (size_t i = 0; i < labels_.size(); ++i) {
    labels_[i] = new QLabel(parent);
    labels_[i]->setObjectName(prefix + QString::fromLatin1(names[i]));
  }
}

void TStatsStrip::Show(const TRangeStats& stats) {
  const bool none = !std::isfinite(stats.Minimum) || !std::isfinite(stats.Maximum) || !std::isfinite(stats.Mean);
  const QLocale locale;
  labels_[0]->setText(Tr("Min:", "Min:") + " " + (none ? QString() : QString::asprintf("%g", stats.Minimum)));
  labels_[1]->setText(Tr("Max:", "Max:") + " " + (none ? QString() : QString::asprintf("%g", stats.Maximum)));
  labels_[2]->setText(Tr("Avg:", "Avg:") + " " + (none ? QString() : locale.toString(stats.Mean, 'f', 2)));
}

QString TStatsStrip::Text() const { return labels_[0]->text() + " " + labels_[1]->text() + " " + labels_[2]->text(); }

}  // namespace skimlet::ui

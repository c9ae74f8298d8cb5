#include "ui/base/dialog_service.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRegularExpression>
#include <QWidget>

#include <unordered_map>
#include <utility>

#include "ui/base/tr.h"

namespace skimlet::ui {

namespace {

TDialogService& Outside() {
  static TDialogService dialogs = StandardDialogs();
  return dialogs;
}

std::unordered_map<const QWidget*, TDialogService*>& Attached() {
  static std::unordered_map<const QWidget*, TDialogService*> windows;
  return windows;
}

}  // namespace

TDialogService StandardDialogs() {
  return {ShowMessageBox, ShowColorDialog, ShowInputBox, ShowFileDialog, ShowSaveFileDialog, {}, OpenWithDesktop};
}

TDialogService& DialogsFor(const QWidget* widget) {
  const auto& windows = Attached();
  if (!windows.empty())
    for (const QWidget* w = widget; w; w = w->parentWidget())
      if (auto found = windows.find(w); found != windows.end()) return *found->second;
  return Outside();
}

void AttachDialogs(const QWidget* window, TDialogService* service) { Attached()[window] = service; }

void DetachDialogs(const QWidget* window) { Attached().erase(window); }

TScopedDialogs::TScopedDialogs(TDialogService dialogs) : previous_(std::exchange(Outside(), std::move(dialogs))) {}

TScopedDialogs::~TScopedDialogs() { Outside() = std::move(previous_); }

void TranslateButtons(QMessageBox& box) {
  static constexpr std::pair<QMessageBox::StandardButton, const char*> kButtonKeys[] = {
      {QMessageBox::Ok, "sOK"},        {QMessageBox::Cancel, "sCancel"}, {QMessageBox::Yes, "sYes"},
      {QMessageBox::No, "sNo"},        {QMessageBox::Abort, "sAbort"},   {QMessageBox::Retry, "sRetry"},
      {QMessageBox::Ignore, "sIgnore"}};
  for (const auto& [button, key] : kButtonKeys)
    if (QAbstractButton* b = box.button(button)) b->setText(Tr(key));
}

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
  // The texts come from outside (network names among them): shown as they are, never as markup.
  QMessageBox box(icon, caption, text, buttons, parent);
  box.setTextFormat(Qt::PlainText);
  TranslateButtons(box);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QColor ShowColorDialog(QWidget* parent, const QColor& initial) { return QColorDialog::getColor(initial, parent); }

std::optional<QString> ShowInputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& text) {
  QInputDialog box(parent);
  box.setWindowTitle(caption);
  box.setLabelText(prompt);
  box.setTextValue(text);
  box.setOkButtonText(Tr("sOK"));
  box.setCancelButtonText(Tr("sCancel"));
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue();
}

QString ShowFileDialog(QWidget* parent, bool save, const QString& title, const QString& filter, const QString& suffix,
                       const QString& proposed) {
  QFileDialog dialog(parent, title, QString(), filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(suffix);
  if (!proposed.isEmpty()) dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

QString ShowSaveFileDialog(QWidget* parent, const QString& title, const QString& proposed, const QStringList& filters,
                           int& filter) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  if (filter >= 0 && filter < filters.size()) dialog.selectNameFilter(filters[filter]);
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  filter = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
  return WithFilterExtension(dialog.selectedFiles().first(), dialog.selectedNameFilter());
}

bool OpenWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

QString WithFilterExtension(const QString& name, const QString& filter) {
  if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
  static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
  const QRegularExpressionMatch m = pattern.match(filter);
  return m.hasMatch() ? name + QLatin1Char('.') + m.captured(1) : name;
}

}  // namespace skimlet::ui

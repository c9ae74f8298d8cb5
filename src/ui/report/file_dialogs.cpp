#include "ui/report/file_dialogs.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "core/base/translate.h"

namespace skimlet::ui {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }

QString WithFilterExtension(const QString& name, const QString& filter) {
  if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
  static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
  const QRegularExpressionMatch m = pattern.match(filter);
  return m.hasMatch() ? name + QLatin1Char('.') + m.captured(1) : name;
}

namespace {

QString SaveFileDialog(QWidget* parent, const QString& title, const QString& proposed, const QStringList& filters,
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

bool SectionsDialog(QWidget* parent, report::TReportSections& sections) {
  TReportSectionsDialog dialog(sections, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  sections = dialog.Sections();
  return true;
}

QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, const QString& caption,
                                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, text, buttons, parent);
  for (const auto& [button, key] : {std::pair{QMessageBox::Yes, "sYes"}, std::pair{QMessageBox::No, "sNo"},
                                    std::pair{QMessageBox::Ok, "sOK"}, std::pair{QMessageBox::Cancel, "sCancel"}})
    if (QAbstractButton* b = box.button(button)) b->setText(Tr(key));
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

TFileDialogs& Current() {
  static TFileDialogs dialogs = StandardFileDialogs();
  return dialogs;
}

}  // namespace

TFileDialogs StandardFileDialogs() {
  return {SaveFileDialog, SectionsDialog, MessageBox, [](const QUrl& url) { return QDesktopServices::openUrl(url); }};
}

TFileDialogs& FileDialogs() { return Current(); }

TScopedFileDialogs::TScopedFileDialogs(TFileDialogs dialogs) : previous_(std::move(Current())) {
  Current() = std::move(dialogs);
}

TScopedFileDialogs::~TScopedFileDialogs() { Current() = std::move(previous_); }

// ---- TReportSectionsDialog

TReportSectionsDialog::TReportSectionsDialog(const report::TReportSections& sections, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmReportSections"));
  setWindowTitle(Tr("Generate Report"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 8);

  auto* heading = new QLabel(Tr("Sections to include in Report") + QLatin1Char(' '), this);
  heading->setObjectName(QStringLiteral("lblSections"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setAutoFillBackground(true);
  QPalette band = heading->palette();
  band.setColor(QPalette::Window, Qt::white);
  band.setColor(QPalette::WindowText, Qt::black);
  heading->setPalette(band);
  heading->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(heading);

  auto* boxes = new QVBoxLayout();
  boxes->setContentsMargins(16, 8, 16, 8);
  const auto box = [&](const char* name, std::string_view caption, bool checked) {
    auto* b = new QCheckBox(Tr(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setChecked(checked);
    boxes->addWidget(b);
    return b;
  };
  summary_ = box("cbSummary", "Summary", sections.Summary);
  networks_ = box("cbNetworks", "Networks Table", sections.Networks);
  graphs_ = box("cbGraphs", "Graphs", sections.Graphs);
  details_ = box("cbNetworkDetails", "Network Details", sections.Details);
  layout->addLayout(boxes);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("sOK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("sCancel"));
  buttons->setContentsMargins(16, 0, 16, 0);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

report::TReportSections TReportSectionsDialog::Sections() const {
  return {summary_->isChecked(), networks_->isChecked(), graphs_->isChecked(), details_->isChecked()};
}

}  // namespace skimlet::ui

#include "ui/report/file_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/base/widgets.h"

namespace skimlet::ui {

bool AskReportSections(QWidget* parent, report::TReportSections& sections) {
  TReportSectionsDialog dialog(sections, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  sections = dialog.Sections();
  return true;
}

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

  QDialogButtonBox* buttons = OkCancelButtons(*this);
  buttons->setContentsMargins(16, 0, 16, 0);
  layout->addWidget(buttons);
}

report::TReportSections TReportSectionsDialog::Sections() const {
  return {summary_->isChecked(), networks_->isChecked(), graphs_->isChecked(), details_->isChecked()};
}

}  // namespace skimlet::ui

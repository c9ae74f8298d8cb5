#include "ui/dialogs/report_sections.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/options.h"
#include "ui/dialogs/dialog_common.h"

namespace skimlet::dialogs {

TfrmReportSections::TfrmReportSections(const TProgramOptions& o, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmReportSections"));
  setWindowTitle(Tr("Generate Report"));
  // The heading in bold on a white band across the dialog.
  auto* heading = new QLabel(Tr("Sections to include in Report"), this);
  heading->setObjectName(QStringLiteral("lblHeading"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setAutoFillBackground(true);
  QPalette band = heading->palette();
  band.setColor(QPalette::Window, Qt::white);
  band.setColor(QPalette::WindowText, Qt::black);
  heading->setPalette(band);
  heading->setContentsMargins(12, 12, 12, 12);

  auto check = [this](const char* name, const char* caption, bool on) {
    auto* c = new QCheckBox(Tr(caption), this);
    c->setObjectName(QString::fromUtf8(name));
    c->setChecked(on);
    return c;
  };
  chkSummary = check("chkSummary", "Summary", o.bAddSummaryToReport);
  chkNetworks = check("chkNetworks", "Networks Table", o.bAddNetworksToReport);
  chkGraphs = check("chkGraphs", "Graphs", o.bAddGraphsToReport);
  chkNetworkDetails = check("chkNetworkDetails", "Network Details", o.bAddNetworkDetailsToReport);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("sOK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("sCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* checks = new QVBoxLayout;
  checks->setContentsMargins(24, 12, 24, 12);
  for (QCheckBox* c : {chkSummary, chkNetworks, chkGraphs, chkNetworkDetails}) checks->addWidget(c);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 9);
  box->addWidget(heading);
  box->addLayout(checks);
  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(9, 0, 9, 0);
  bottom->addWidget(buttons);
  box->addLayout(bottom);
}

void TfrmReportSections::Store(TProgramOptions& o) const {
  o.bAddSummaryToReport = chkSummary->isChecked();
  o.bAddNetworksToReport = chkNetworks->isChecked();
  o.bAddGraphsToReport = chkGraphs->isChecked();
  o.bAddNetworkDetailsToReport = chkNetworkDetails->isChecked();
}

bool ExecuteReportSections(QWidget* parent, TProgramOptions& options) {
  TfrmReportSections dialog(options, parent);
  CentreOn(dialog, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Store(options);
  return true;
}

}  // namespace skimlet::dialogs

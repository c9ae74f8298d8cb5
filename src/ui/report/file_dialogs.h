// The report's section dialog: the heading on a white band and one check box per section.
#pragma once

#include <QDialog>

#include "core/report/report.h"
#include "ui/base/tr.h"

class QCheckBox;
class QWidget;

namespace skimlet::ui {

// The section dialog preset to Sections; false when cancelled, else Sections holds the choice.
bool AskReportSections(QWidget* parent, report::TReportSections& sections);

class TReportSectionsDialog : public QDialog {
  Q_OBJECT

 public:
  TReportSectionsDialog(const report::TReportSections& sections, QWidget* parent = nullptr);
  report::TReportSections Sections() const;

  QCheckBox* SummaryBox() const { return summary_; }
  QCheckBox* NetworksBox() const { return networks_; }
  QCheckBox* GraphsBox() const { return graphs_; }
  QCheckBox* DetailsBox() const { return details_; }

 private:
  QCheckBox* summary_;
  QCheckBox* networks_;
  QCheckBox* graphs_;
  QCheckBox* details_;
};

}  // namespace skimlet::ui

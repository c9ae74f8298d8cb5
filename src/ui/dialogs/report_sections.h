// The report's section dialog: which of the four report sections to write. OK stores the choice in the
// options, Cancel ends the report command.
#pragma once

#include <QDialog>

class QCheckBox;

namespace skimlet {

struct TProgramOptions;

namespace dialogs {

class TfrmReportSections : public QDialog {
  Q_OBJECT

public:
  TfrmReportSections(const TProgramOptions& options, QWidget* parent = nullptr);
  void Store(TProgramOptions& options) const;

  QCheckBox* chkSummary = nullptr;
  QCheckBox* chkNetworks = nullptr;
  QCheckBox* chkGraphs = nullptr;
  QCheckBox* chkNetworkDetails = nullptr;
};

// Runs the dialog over Parent. True after OK (the four switches of Options then hold the choice); false after
// Cancel, when the report is not written.
bool ExecuteReportSections(QWidget* parent, TProgramOptions& options);

}  // namespace dialogs
}  // namespace skimlet

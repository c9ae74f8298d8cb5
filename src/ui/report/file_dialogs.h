// The dialogs of the report and the exports, replaceable as a whole so that tests can answer them: the save
// dialog, the report's section dialog, the message box of a failure and the opening of a written file.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

#include "core/report/report.h"

class QCheckBox;
class QWidget;

namespace skimlet::ui {

struct TFileDialogs {
  // A save dialog with an overwrite prompt: Filters as "Text file (*.txt)"; Filter is the index of the filter
  // chosen first and, on return, of the one chosen. Returns the file name (with the chosen filter's extension
  // when the user gave none), or an empty text when cancelled.
  std::function<QString(QWidget* parent, const QString& title, const QString& proposed, const QStringList& filters,
                        int& filter)>
      SaveFile;
  // The "Generate Report" dialog preset to Sections; false when cancelled, else Sections holds the choice.
  std::function<bool(QWidget* parent, report::TReportSections& sections)> ReportSections;
  // A message box; returns the button pressed.
  std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text, const QString& caption,
                                            QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)>
      Message;
  // Opens a file with the system's handler for it.
  std::function<bool(const QUrl& url)> Open;
};

// The dialogs in use (the real ones unless a test has replaced them).
TFileDialogs& FileDialogs();
// The real dialogs.
TFileDialogs StandardFileDialogs();

// Puts other dialogs in place for its lifetime (tests), then the previous ones back.
class TScopedFileDialogs {
public:
  explicit TScopedFileDialogs(TFileDialogs dialogs);
  ~TScopedFileDialogs();
  TScopedFileDialogs(const TScopedFileDialogs&) = delete;
  TScopedFileDialogs& operator=(const TScopedFileDialogs&) = delete;

private:
  TFileDialogs previous_;
};

// The section dialog itself: the heading on a white band and one check box per section.
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

// A text through the language lookup, the key being the English text.
QString Tr(std::string_view key);
// The file name Name with the extension of Filter ("HTML file (*.htm)") when it has none.
QString WithFilterExtension(const QString& name, const QString& filter);

}  // namespace skimlet::ui

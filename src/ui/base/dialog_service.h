// The dialogs the window asks through, as one service: message boxes, the colour, input and file dialogs, the
// report's section dialog and the opening of addresses. The window is handed one in its start environment and
// attaches it to itself; code below the window finds it from any widget of the window. Tests answer every
// dialog by giving the window their own service, or by putting one in place for widgets outside a window.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

#include "core/report/report.h"

class QWidget;

namespace skimlet::ui {

// A message box: text, caption, icon and buttons; returns the button pressed.
using TMessageFunction =
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text, const QString& caption,
                                              QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)>;
// A colour dialog preset to Initial; an invalid colour when cancelled.
using TColorFunction = std::function<QColor(QWidget* parent, const QColor& initial)>;
// A one-line input box (caption, prompt, prefilled text); nullopt when cancelled.
using TInputFunction = std::function<std::optional<QString>(QWidget* parent, const QString& caption,
                                                            const QString& prompt, const QString& text)>;
// A save (Save true) or open file dialog: title, filter, suffix for a name typed without one, proposed name;
// empty when cancelled.
using TFileNameFunction = std::function<QString(QWidget* parent, bool save, const QString& title, const QString& filter,
                                                const QString& suffix, const QString& proposed)>;
// A save dialog with an overwrite prompt: Filters as "Text file (*.txt)"; Filter is the index of the filter
// chosen first and, on return, of the one chosen. Returns the file name (with the chosen filter's extension
// when the user gave none), or an empty text when cancelled.
using TSaveFileFunction = std::function<QString(QWidget* parent, const QString& title, const QString& proposed,
                                                const QStringList& filters, int& filter)>;
// The "Generate Report" dialog preset to Sections; false when cancelled, else Sections holds the choice.
using TReportSectionsFunction = std::function<bool(QWidget* parent, report::TReportSections& sections)>;
// Opens an address (a web page, a written file) with the desktop's handler.
using TOpenUrlFunction = std::function<bool(const QUrl& url)>;

struct TDialogService {
  TMessageFunction Message;
  TColorFunction PickColor;
  TInputFunction Input;
  TFileNameFunction FileName;
  TSaveFileFunction SaveFile;
  TReportSectionsFunction ReportSections;  // none: the report's own section dialog
  TOpenUrlFunction OpenUrl;
};

// The real dialogs.
TDialogService StandardDialogs();

// The service of the window Widget belongs to (a parent chain up to an attached window); else the one in place
// for widgets outside a window (the real dialogs unless a test has replaced them).
TDialogService& DialogsFor(const QWidget* widget);

// Window answers its dialogs through Service (kept by the caller) until it is detached.
void AttachDialogs(const QWidget* window, TDialogService* service);
void DetachDialogs(const QWidget* window);

// Puts other dialogs in place for widgets outside a window for its lifetime (tests), then the previous ones back.
class TScopedDialogs {
 public:
  explicit TScopedDialogs(TDialogService dialogs);
  ~TScopedDialogs();
  TScopedDialogs(const TScopedDialogs&) = delete;
  TScopedDialogs& operator=(const TScopedDialogs&) = delete;

 private:
  TDialogService previous_;
};

// The real dialogs one by one.
// The message box's buttons in the current language.
void TranslateButtons(QMessageBox& box);
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons);
QColor ShowColorDialog(QWidget* parent, const QColor& initial);
std::optional<QString> ShowInputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& text);
QString ShowFileDialog(QWidget* parent, bool save, const QString& title, const QString& filter, const QString& suffix,
                       const QString& proposed);
QString ShowSaveFileDialog(QWidget* parent, const QString& title, const QString& proposed, const QStringList& filters,
                           int& filter);
bool OpenWithDesktop(const QUrl& url);

// The file name Name with the extension of Filter ("HTML file (*.htm)") when it has none.
QString WithFilterExtension(const QString& name, const QString& filter);

}  // namespace skimlet::ui

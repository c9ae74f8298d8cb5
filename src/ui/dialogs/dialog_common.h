// What every dialog shares: its texts from the current language (the English text is the key), and its place
// centred on the window that opens it.
#pragma once

#include <QString>

#include <string_view>

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace skimlet::dialogs {

// The text of Key in the current language, or Key itself.
QString Tr(std::string_view key);
// The text of Key with its "%s" filled with Value.
QString TrFormat(std::string_view key, const QString& value);

// Grows Dialog to its contents when smaller and centres it on Parent's window (on the screen without one).
void CentreOn(QDialog& dialog, QWidget* parent);

// OK and Cancel in the current language, accepting and rejecting Dialog.
QDialogButtonBox* OkCancelButtons(QDialog& dialog);

}  // namespace skimlet::dialogs

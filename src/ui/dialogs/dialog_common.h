// What every dialog shares: its texts from the current language (the English text is the key), its button
// rows, and its place centred on the window that opens it.
#pragma once

#include <QString>

#include <string_view>

#include "ui/base/tr.h"
#include "ui/base/widgets.h"

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace skimlet::dialogs {

// Texts and button rows come from the window's base room.
using ui::OkButton;
using ui::OkCancelButtons;
using ui::Tr;
using ui::TrFormat;

// Grows Dialog to its contents when smaller and centres it on Parent's window (on the screen without one).
void CentreOn(QDialog& dialog, QWidget* parent);

}  // namespace skimlet::dialogs

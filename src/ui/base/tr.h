// Texts of the window in the current language: the English text (or a key) looks itself up.
#pragma once

#include <QString>

#include <initializer_list>
#include <string_view>

#include "core/base/format.h"

namespace skimlet::ui {

// The text of Key in the current language, or Key itself.
QString Tr(std::string_view key);
// The text of Key in the current language, or Fallback when the language has none.
QString Tr(std::string_view key, std::string_view fallback);
// The text of Key with its "%s" (and other) placeholders filled from Args.
QString Fmt(std::string_view key, std::initializer_list<FmtArg> args);
// The text of Key with its "%s" filled with Value.
QString TrFormat(std::string_view key, const QString& value);

}  // namespace skimlet::ui

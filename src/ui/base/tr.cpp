#include "ui/base/tr.h"

#include "core/base/translate.h"

namespace skimlet::ui {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }

QString Tr(std::string_view key, std::string_view fallback) { return QString::fromStdString(Translate(key, fallback)); }

QString Fmt(std::string_view key, std::initializer_list<FmtArg> args) {
  return QString::fromStdString(Format(Translate(key), args));
}

QString TrFormat(std::string_view key, const QString& value) { return Fmt(key, {value.toStdString()}); }

}  // namespace skimlet::ui

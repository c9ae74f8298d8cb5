// Pictures written to files: encoded in memory first, then put in place by an atomic replacement, so an
// existing file stays as it was until the new picture is complete.
#pragma once

#include <QImage>
#include <QString>

#include <string>

namespace skimlet {

// Writes Image as PNG, or BMP when the file's suffix is ".bmp" (Format, when given, decides instead).
// Returns an empty text on success, else the reason.
std::string SaveImageFile(const QImage& image, const QString& path, const char* format = nullptr);

}  // namespace skimlet

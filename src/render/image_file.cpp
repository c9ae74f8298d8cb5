#include "render/image_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>

#include <filesystem>
#include <string_view>

#include "core/base/atomic_file.h"

namespace skimlet {

std::string SaveImageFile(const QImage& image, const QString& path, const char* format) {
  QByteArray kind = format ? QByteArray(format).toUpper() : QByteArray();
  if (kind.isEmpty())
    kind = QFileInfo(path).suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) == 0 ? "BMP" : "PNG";
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, kind.constData())) return "cannot encode the picture as " + kind.toStdString();
  return WriteFileAtomic(std::filesystem::path(path.toStdString()),
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace skimlet

#include "render/raster_lines.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace skimlet {

namespace {

// Liang-Barsky clipping of (x0, y0)-(x1, y1) to the rectangle; false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const TGraphRect& c) {
  const double dx = x1 - x0, dy = y1 - y0;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - c.Left, c.Right - x0, y0 - c.Top, c.Bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  x1 = bx;
  y1 = by;
  return true;
}

}  // namespace

QImage* DirectLineTarget(QPainter& painter) {
  QPaintDevice* device = painter.device();
  if (!device || device->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format f = image->format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
    return nullptr;
  if (image->devicePixelRatio() != 1.0 || !painter.worldTransform().isIdentity() || painter.opacity() != 1.0 ||
      painter.testRenderHint(QPainter::Antialiasing))
    return nullptr;
  return image;
}

void RasterPolyline(QImage& image, const TGraphRect& clipIn, const std::vector<TGraphPoint>& points, QRgb color) {
  if (points.empty()) return;
  const TGraphRect clip{std::max(clipIn.Left, 0), std::max(clipIn.Top, 0), std::min(clipIn.Right, image.width() - 1),
                        std::min(clipIn.Bottom, image.height() - 1)};
  if (clip.Right < clip.Left || clip.Bottom < clip.Top) return;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const QRgb pixel = color | 0xFF000000u;
  auto plot = [&](int x, int y) { reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel; };
  auto inside = [&](const TGraphPoint& p) {
    return p.X >= clip.Left && p.X <= clip.Right && p.Y >= clip.Top && p.Y <= clip.Bottom;
  };
  if (points.size() == 1) {
    if (inside(points[0])) plot(points[0].X, points[0].Y);
    return;
  }
  for (size_t i = 1; i < points.size(); ++i) {
    TGraphPoint a = points[i - 1], b = points[i];
    if (!inside(a) || !inside(b)) {
      double x0 = a.X, y0 = a.Y, x1 = b.X, y1 = b.Y;
      if (!ClipSegment(x0, y0, x1, y1, clip)) continue;
      a = {static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0))};
      b = {static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1))};
      a.X = std::clamp(a.X, clip.Left, clip.Right);
      b.X = std::clamp(b.X, clip.Left, clip.Right);
      a.Y = std::clamp(a.Y, clip.Top, clip.Bottom);
      b.Y = std::clamp(b.Y, clip.Top, clip.Bottom);
    }
    // Bresenham over the longer axis.
    int x = a.X, y = a.Y;
    const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      plot(x, y);
      if (x == b.X && y == b.Y) break;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
}

}  // namespace skimlet

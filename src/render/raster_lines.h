// Thin solid polylines written straight into a 32-bit image. A time graph draws a hundred lines of a thousand
// short segments on every paint; QPainter spends most of its time per segment, this spends it per pixel.
// Used only where the result is the same: an unscaled, opaque, aliased 1-pixel pen on a 32-bit image.
#pragma once

#include <QRgb>

#include <vector>

#include "core/graph/geometry.h"

class QImage;
class QPainter;

namespace skimlet {

// The image the painter draws on, when it can take lines directly: a 32-bit image without scaling or
// transformation, full opacity, no antialiasing. nullptr otherwise.
QImage* DirectLineTarget(QPainter& painter);

// Draws the polyline (every pixel of every segment, both ends included) in Color, clipped to Clip (edges
// inclusive, within the image).
void RasterPolyline(QImage& image, const TGraphRect& clip, const std::vector<TGraphPoint>& points, QRgb color);

}  // namespace skimlet

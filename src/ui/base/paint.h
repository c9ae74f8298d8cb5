// What the window paints by code in more than one place: the signal icon, the quality bar and the colour
// swatch; and the plain tool tip.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include "core/graph/colors.h"

class QPainter;
class QRect;

namespace skimlet::ui {

// A tool tip that shows Text as it is: a text that looks like markup (an SSID "<b>x</b>") is escaped, line
// breaks are kept.
QString PlainToolTip(const QString& text);

// A stored colour (0x00BBGGRR) as Qt's.
QColor ToQColor(TColor colour);

// The signal icon of a quality class 0 (no signal) to 5 (excellent), with the open-network mark; drawn by
// code at every size and pixel ratio.
QIcon SignalIcon(int qualityClass, bool open);

// The quality bar of a cell (see the list and the connection table). Alignment: left, or else right.
void DrawQualityBar(QPainter& painter, const QRect& cell, Qt::Alignment alignment, bool drawText, bool integer,
                    double percent);

// A network's colour as a filled square; framed in Frame when it is a valid colour.
void DrawSwatch(QPainter& painter, const QRect& square, const QColor& colour, const QColor& frame = QColor());

}  // namespace skimlet::ui

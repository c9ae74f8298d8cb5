#include "ui/base/paint.h"

#include <QIconEngine>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cmath>

namespace skimlet::ui {

QString PlainToolTip(const QString& text) { return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal); }

QColor ToQColor(TColor c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// ---- signal icons ----------------------------------------------------------------------------------------

namespace {

class TSignalIconEngine : public QIconEngine {
 public:
  TSignalIconEngine(int qualityClass, bool open) : class_(std::clamp(qualityClass, 0, 5)), open_(open) {}

  void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    static const std::array<QColor, 6> kColors = {QColor(0xB0, 0xB0, 0xB0), QColor(0xD0, 0x3A, 0x2A),
                                                  QColor(0xE0, 0x8A, 0x00), QColor(0xC8, 0xB4, 0x00),
                                                  QColor(0x7C, 0xB3, 0x2E), QColor(0x2E, 0x9E, 0x3E)};
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    const QRectF r(rect);
    const double gap = r.width() / 16.0;
    const double barW = (r.width() - 4 * gap) / 5.0;
    const QColor on = mode == QIcon::Disabled ? QColor(0x90, 0x90, 0x90) : kColors[static_cast<size_t>(class_)];
    const QColor off(0xD6, 0xD6, 0xD6);
    for (int i = 0; i < 5; ++i) {
      const double h = r.height() * (0.28 + 0.18 * i);
      QRectF bar(r.left() + i * (barW + gap), r.bottom() - h + 1, barW, h);
      p->setPen(Qt::NoPen);
      p->setBrush(i < class_ ? on : off);
      p->drawRoundedRect(bar, barW * 0.2, barW * 0.2);
    }
    if (class_ == 0) {  // no signal: a cross over the empty bars
      QPen pen(QColor(0xC0, 0x30, 0x20), std::max(1.0, r.width() / 10.0), Qt::SolidLine, Qt::RoundCap);
      p->setPen(pen);
      const QRectF x(r.right() - r.width() * 0.42, r.top() + r.height() * 0.06, r.width() * 0.36, r.height() * 0.36);
      p->drawLine(x.topLeft(), x.bottomRight());
      p->drawLine(x.topRight(), x.bottomLeft());
    }
    if (open_) {  // an open padlock in the lower left corner
      const double w = r.width() * 0.46, h = r.height() * 0.34;
      QRectF body(r.left(), r.bottom() - h + 1, w, h);
      QPen pen(QColor(0x70, 0x45, 0x00), std::max(1.0, r.width() / 16.0));
      p->setPen(pen);
      p->setBrush(QColor(0xF2, 0xA5, 0x1A));
      p->drawRoundedRect(body, w * 0.12, w * 0.12);
      QPainterPath shackle;
      const double sw = w * 0.56;
      QRectF arc(body.left() - sw * 0.35, body.top() - sw * 0.9, sw, sw);
      shackle.moveTo(arc.left(), body.top());
      shackle.lineTo(arc.left(), arc.center().y());
      shackle.arcTo(arc, 180, -180);
      p->setBrush(Qt::NoBrush);
      pen.setWidthF(std::max(1.0, r.width() / 11.0));
      p->setPen(pen);
      p->drawPath(shackle);
    }
    p->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // Size is in device pixels; the drawing is made at that resolution.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    const qreal s = scale > 0 ? scale : 1.0;
    QPixmap pm(size);
    pm.setDevicePixelRatio(s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(&p, QRect(QPoint(0, 0), (QSizeF(size) / s).toSize()), mode, state);
    return pm;
  }

  QIconEngine* clone() const override { return new TSignalIconEngine(class_, open_); }
  QString key() const override { return QStringLiteral("skimlet-signal"); }

 private:
  int class_;
  bool open_;
};

}  // namespace

QIcon SignalIcon(int qualityClass, bool open) {
  static std::array<QIcon, 12> icons;
  const size_t i = static_cast<size_t>(std::clamp(qualityClass, 0, 5)) * 2 + (open ? 1 : 0);
  if (icons[i].isNull()) icons[i] = QIcon(new TSignalIconEngine(qualityClass, open));
  return icons[i];
}

// ---- quality bar -----------------------------------------------------------------------------------------

void DrawQualityBar(QPainter& p, const QRect& cell, Qt::Alignment alignment, bool drawText, bool integer,
                    double percent) {
  static const std::array<QColor, 10> kTrack = {QColor(0xD5D4CE), QColor(0xD6D5D0), QColor(0xD8D7D2), QColor(0xDAD9D5),
                                                QColor(0xDDDDD8), QColor(0xE0DFDB), QColor(0xE2E1DE), QColor(0xE5E5E1),
                                                QColor(0xE8E7E4), QColor(0xEAE9E7)};
  static const std::array<QColor, 10> kFill = {QColor(0x59ABD1), QColor(0x59ABD1), QColor(0x59ABD1), QColor(0x59ABD1),
                                               QColor(0x59ABD1), QColor(0x47A2CC), QColor(0x2D95C5), QColor(0x1286BD),
                                               QColor(0x007DB8), QColor(0x007DB8)};
  const QLocale locale;
  QString text;
  if (integer) {
    text = percent < 1 ? "<" + locale.toString(1.0, 'f', 0) + "%" : locale.toString(percent, 'f', 0) + "%";
  } else if (percent != 0) {
    text = percent < 0.01 ? "<" + locale.toString(0.01, 'f', 2) + "%" : locale.toString(percent, 'f', 2) + "%";
  }
  QFont plain = p.font();
  plain.setBold(false);
  plain.setItalic(false);
  const int textWidth =
      QFontMetrics(plain).horizontalAdvance(integer ? QStringLiteral(" 000%") : QStringLiteral(" 000.00%"));

  const QRect r = cell.adjusted(3, 0, -3, 0);
  QRect textArea, bar;
  if (alignment & Qt::AlignLeft || (alignment & Qt::AlignHorizontal_Mask) == 0) {
    textArea = QRect(r.left(), r.top(), textWidth, r.height());
    bar = QRect(QPoint(textArea.right() + 1 + 3, r.top()), QPoint(r.right(), r.bottom()));
  } else {
    textArea = QRect(r.right() - textWidth + 1, r.top(), textWidth, r.height());
    bar = QRect(QPoint(r.left(), r.top()), QPoint(textArea.left() - 1 - 3, r.bottom()));
  }
  if (drawText) p.drawText(textArea, Qt::AlignRight | Qt::AlignVCenter, text);
  if (bar.width() <= 2) return;
  const int top = bar.center().y() - 5;
  for (int y = 0; y < 10; ++y) p.fillRect(bar.left(), top + y, bar.width(), 1, kTrack[static_cast<size_t>(y)]);
  const double v = std::clamp(percent, 0.0, 100.0);
  if (v == 0) return;
  const int fill = static_cast<int>(std::nearbyint(v * (bar.width() - 1) / 100.0)) + 1;
  for (int y = 0; y < 10; ++y) p.fillRect(bar.left(), top + y, fill, 1, kFill[static_cast<size_t>(y)]);
}

// ---- swatch ----------------------------------------------------------------------------------------------

void DrawSwatch(QPainter& p, const QRect& square, const QColor& colour, const QColor& frame) {
  p.fillRect(square, colour);
  if (!frame.isValid()) return;
  p.setPen(frame);
  p.drawRect(square.adjusted(0, 0, -1, -1));
}

}  // namespace skimlet::ui

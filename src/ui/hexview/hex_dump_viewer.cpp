#include "ui/hexview/hex_dump_viewer.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <filesystem>

#include "core/base/translate.h"
#include "render/image_file.h"

namespace skimlet::ui {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsDark(const QPalette& pal) { return pal.color(QPalette::Base).lightness() < 128; }

// Hex bytes alternate between two blues in pairs; on a dark base the blues are lightened so they stay
// readable.
QColor HexColour(const QPalette& pal, bool second, bool onWhite) {
  if (!onWhite && IsDark(pal)) return second ? QColor(0x80, 0xB0, 0xFF) : QColor(0xB0, 0xC8, 0xFF);
  return second ? QColor(0x00, 0x00, 0xFF) : QColor(0x00, 0x00, 0x80);
}

}  // namespace

THexDumpViewer::THexDumpViewer(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("HexDumpViewer"));
  viewport()->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  UpdateMetrics();
}

QSize THexDumpViewer::sizeHint() const {
  return {layout_.BitmapWidth() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
          hexdump::kMargin * 2 + 12 * layout_.LineHeight()};
}

void THexDumpViewer::LoadBytes(std::span<const uint8_t> bytes) {
  bytes_.assign(bytes.begin(), bytes.end());
  layout_.SetByteCount(static_cast<int64_t>(bytes_.size()));
  outer_ = inner_ = {};
  UpdateScrollBars();
  viewport()->update();
}

void THexDumpViewer::ClearBytes() { LoadBytes({}); }

void THexDumpViewer::SetOuterRange(hexdump::TByteRange range) {
  if (range == outer_) return;
  outer_ = range;
  viewport()->update();
}

void THexDumpViewer::SetInnerRange(hexdump::TByteRange range) {
  if (range == inner_) return;
  inner_ = range;
  viewport()->update();
}

void THexDumpViewer::ScrollToInnerRange() {
  layout_.ScrollToRange(inner_);
  UpdateScrollBars();
  viewport()->update();
}

int64_t THexDumpViewer::ByteAtPoint(QPoint p) const { return layout_.ByteAtPoint(p.x(), p.y()); }

std::string THexDumpViewer::DumpText() const { return hexdump::DumpText(bytes_); }

void THexDumpViewer::UpdateMetrics() {
  const QFontMetrics fm(viewport()->font());
  layout_.SetCell(fm.horizontalAdvance(QLatin1Char('W')), fm.height());
  layout_.SetViewport(viewport()->width(), viewport()->height());
  UpdateScrollBars();
}

void THexDumpViewer::UpdateScrollBars() {
  layout_.SetViewport(viewport()->width(), viewport()->height());
  updatingBars_ = true;
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, layout_.MaxFirstLine());
  v->setPageStep(std::max(1, layout_.VisibleLines()));
  v->setSingleStep(1);
  v->setValue(layout_.FirstLine());
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, layout_.MaxFirstColumn());
  h->setPageStep(std::max(1, layout_.VisibleColumns()));
  h->setSingleStep(1);
  h->setValue(layout_.FirstColumn());
  updatingBars_ = false;
}

void THexDumpViewer::scrollContentsBy(int, int) {
  if (updatingBars_) return;
  layout_.SetFirstLine(verticalScrollBar()->value());
  layout_.SetFirstColumn(horizontalScrollBar()->value());
  viewport()->update();
}

void THexDumpViewer::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBars();
}

void THexDumpViewer::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    viewport()->setFont(font().fixedPitch() ? font() : QFontDatabase::systemFont(QFontDatabase::FixedFont));
    UpdateMetrics();
  }
}

void THexDumpViewer::PaintDump(QPainter& p, const hexdump::THexLayout& l, bool onWhite) const {
  const QPalette& pal = palette();
  const QColor text = onWhite ? QColor(Qt::black) : pal.color(QPalette::Text);
  const int ascent = QFontMetrics(p.font()).ascent();
  const int rows = onWhite ? l.TotalLines() : l.PaintRows();
  char buf[10];
  for (int r = 0; r < rows; ++r) {
    const int64_t first = (static_cast<int64_t>(l.FirstLine()) + r) * hexdump::kBytesPerLine;
    const int baseline = l.RowY(r) + ascent;
    for (int i = 0; i < 8; ++i) buf[i] = kHex[(first >> (4 * (7 - i))) & 0xF];
    buf[8] = ':';
    p.setPen(text);
    p.drawText(l.OffsetX(), baseline, QString::fromLatin1(buf, 9));
    const int64_t n = std::min<int64_t>(hexdump::kBytesPerLine, DataLength() - first);
    const uint8_t* line = bytes_.data() + first;
    // Pairs of bytes share a colour: "00 01" in one call (the font is fixed-pitch, so the blank between them
    // is exactly the gap of the layout).
    for (int k = 0; k < n; k += 2) {
      char hx[5];
      int len = 0;
      for (int j = k; j < k + 2 && j < n; ++j) {
        if (j > k) hx[len++] = ' ';
        hx[len++] = kHex[line[j] >> 4];
        hx[len++] = kHex[line[j] & 0xF];
      }
      p.setPen(HexColour(pal, (k % 4) >= 2, onWhite));
      p.drawText(l.HexX(k), baseline, QString::fromLatin1(hx, len));
    }
    p.setPen(text);
    char chars[hexdump::kBytesPerLine];
    for (int k = 0; k < n; ++k) chars[k] = hexdump::PrintableChar(line[k]);
    p.drawText(l.CharX(0), baseline, QString::fromLatin1(chars, static_cast<qsizetype>(n)));
  }
  p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
  const int bottom = onWhite ? hexdump::kMargin + l.TotalLines() * l.LineHeight() - 3 : l.SeparatorBottom();
  for (int a = 0; a <= hexdump::kGroupsPerLine; ++a) {
    const int x = l.SeparatorX(a);
    p.drawLine(x, l.SeparatorTop(), x, bottom);
  }
}

void THexDumpViewer::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QPalette& pal = palette();
  const QRect client = viewport()->rect();
  p.fillRect(client, pal.color(QPalette::Base));
  p.setPen(pal.color(QPalette::Mid));
  p.drawRect(client.adjusted(0, 0, -1, -1));
  if (bytes_.empty()) return;

  // The ranges, blended over the background.
  p.save();
  p.setOpacity(90.0 / 255.0);
  const auto fill = [&](hexdump::TByteRange range, const QColor& colour) {
    for (const auto& r : layout_.RangeRects(range)) {
      p.fillRect(QRect(r.Hex.X, r.Hex.Y, r.Hex.Width, r.Hex.Height), colour);
      p.fillRect(QRect(r.Chars.X, r.Chars.Y, r.Chars.Width, r.Chars.Height), colour);
    }
  };
  fill(outer_, QColor(0xC0, 0xC0, 0xC0));
  fill(inner_, pal.color(QPalette::Highlight));
  p.restore();

  PaintDump(p, layout_, false);
}

QImage THexDumpViewer::DumpBitmap() const {
  hexdump::THexLayout whole = layout_;
  whole.SetFirstLine(0);
  whole.SetFirstColumn(0);
  QImage img(std::max(1, whole.BitmapWidth()), std::max(1, whole.BitmapHeight()), QImage::Format_RGB32);
  img.fill(Qt::white);
  if (bytes_.empty()) return img;
  // A layout whose first line is 0 and whose rows cover every line.
  whole.SetViewport(whole.BitmapWidth(), whole.BitmapHeight());
  QPainter p(&img);
  p.setFont(viewport()->font());
  PaintDump(p, whole, true);
  return img;
}

void THexDumpViewer::CopyText() const {
  if (!bytes_.empty()) QApplication::clipboard()->setText(QString::fromLatin1(DumpText()));
}

void THexDumpViewer::CopyBitmap() const {
  if (!bytes_.empty()) QApplication::clipboard()->setImage(DumpBitmap());
}

std::string THexDumpViewer::SaveBitmap(const QString& path, const char* format) const {
  return SaveImageFile(DumpBitmap(), path, format);
}

void THexDumpViewer::SaveBitmapAs() {
  if (bytes_.empty()) return;
  const QString png = tr("PNG image (*.png)"), bmp = tr("Bitmap file (*.bmp)");
  QString filter = png;
  QString name = QFileDialog::getSaveFileName(this, tr("Save picture"), PictureFileName + QStringLiteral(".png"),
                                              png + QStringLiteral(";;") + bmp, &filter);
  if (name.isEmpty()) return;
  if (QFileInfo(name).suffix().isEmpty()) name += filter == bmp ? QStringLiteral(".bmp") : QStringLiteral(".png");
  const std::string error = SaveBitmap(name);
  if (!error.empty())
    QMessageBox::critical(this, tr("Save picture"), name + QLatin1Char('\n') + QString::fromStdString(error));
}

void THexDumpViewer::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    const int64_t byte = ByteAtPoint(e->position().toPoint());
    if (byte >= 0) emit ByteClicked(byte);
  }
  QAbstractScrollArea::mousePressEvent(e);
}

void THexDumpViewer::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) {
    CopyText();
    return;
  }
  QAbstractScrollArea::keyPressEvent(e);
}

void THexDumpViewer::FillContextMenu(QMenu& menu) {
  const bool data = !bytes_.empty();
  const auto add = [&](const char* name, const char* caption, auto slot) {
    QAction* a = menu.addAction(QString::fromStdString(Translate(caption)));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(data);
    connect(a, &QAction::triggered, this, slot);
  };
  add("actHexDumpViewerCopyAsBitmap", "Copy as bitmap", [this] { CopyBitmap(); });
  add("actHexDumpViewerCopyAsText", "Copy as text", [this] { CopyText(); });
  add("actHexDumpViewerExport", "Export to file", [this] {
    if (ExportHandler) ExportHandler();
  });
  menu.addSeparator();
  add("actHexDumpViewerRefresh", "Refresh", [this] { viewport()->update(); });
}

void THexDumpViewer::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu(this);
  FillContextMenu(menu);
  menu.exec(e->globalPos());
}

}  // namespace skimlet::ui

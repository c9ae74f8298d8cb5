// A scrollable hex dump of a byte array that marks two byte ranges: an outer one (an element) and an inner
// one (a field inside it). The layout arithmetic lives in core/hexdump; this class paints it.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/hexdump/hex_layout.h"

class QMenu;

namespace skimlet::ui {

class THexDumpViewer : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit THexDumpViewer(QWidget* parent = nullptr);

  // Copies the bytes; resets both scroll positions and both ranges.
  void LoadBytes(std::span<const uint8_t> bytes);
  void ClearBytes();
  int64_t DataLength() const { return static_cast<int64_t>(bytes_.size()); }
  std::span<const uint8_t> Bytes() const { return bytes_; }

  void SetOuterRange(hexdump::TByteRange range);
  void SetInnerRange(hexdump::TByteRange range);
  hexdump::TByteRange OuterRange() const { return outer_; }
  hexdump::TByteRange InnerRange() const { return inner_; }
  // Scrolls so that the inner range shows with a line of context on either side.
  void ScrollToInnerRange();

  // The byte under a point of the viewport, or -1.
  int64_t ByteAtPoint(QPoint p) const;

  std::string DumpText() const;
  // A picture of the whole dump on white, without ranges.
  QImage DumpBitmap() const;
  // Puts the text rendering, or the picture, on the clipboard.
  void CopyText() const;
  void CopyBitmap() const;
  // Writes the picture to Path as Format ("PNG" or "BMP"; by default BMP for a ".bmp" name, else PNG),
  // replacing the file only with a complete picture. Returns an empty text, or why it failed.
  std::string SaveBitmap(const QString& path, const char* format = nullptr) const;
  // Asks for a file name (PNG, or BMP) and saves the picture there; failures are shown.
  void SaveBitmapAs();
  // The name the save dialog offers, without extension.
  QString PictureFileName = QStringLiteral("HexDump");

  // Export to file of the context menu (the page that knows the network sets it); unset: the entry does
  // nothing.
  std::function<void()> ExportHandler;
  // The context menu: Copy as bitmap, Copy as text, Export to file, Refresh, enabled while there are bytes.
  void FillContextMenu(QMenu& menu);

  const hexdump::THexLayout& Layout() const { return layout_; }
  QSize sizeHint() const override;

 signals:
  // A click on a byte (not sent for clicks beside the data).
  void ByteClicked(qint64 byte);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void UpdateMetrics();
  void UpdateScrollBars();
  void PaintDump(QPainter& p, const hexdump::THexLayout& layout, bool onWhite) const;

  std::vector<uint8_t> bytes_;
  hexdump::THexLayout layout_{8, 16};
  hexdump::TByteRange outer_, inner_;
  bool updatingBars_ = false;
};

}  // namespace skimlet::ui

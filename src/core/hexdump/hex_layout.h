// The arithmetic of a hex dump: where offsets, hex digits and characters go for a given character cell,
// which byte lies under a point, the rectangles that mark a byte range, scrolling, and the text rendering.
//
// Plain integers only, so the window's viewer and the command line share one layout and tests need no font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skimlet::hexdump {

inline constexpr int kBytesPerLine = 16;
inline constexpr int kBytesPerGroup = 8;
inline constexpr int kGroupsPerLine = 2;
inline constexpr int kMargin = 7;  // pixels around the dump
inline constexpr int kOffsetDigits = 8;
inline constexpr int kHexColumns = 47;  // "00 01 ... 0F" with single blanks
// Character columns of a full line: offset digits, the offset suffix and the groups with their gaps, the
// sixteen characters, one spare column.
inline constexpr int kTotalColumns = kOffsetDigits + (3 * kBytesPerGroup + 2) * kGroupsPerLine + kBytesPerLine + 1;

// The character shown for a byte in the character column: the byte itself when it is a visible ASCII
// character (0x21 to 0x7E), otherwise '.'.
char PrintableChar(uint8_t b);

// Lines of the text rendering: "00000000:  00 01 ... 0F  ................" each ending with CR LF.
std::string DumpText(std::span<const uint8_t> bytes);

struct TByteRange {
  int64_t Start = 0;
  int64_t Length = 0;
  bool operator==(const TByteRange&) const = default;
};

struct TRect {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const TRect&) const = default;
};

// One rectangle over the hex digits and one over the characters of a range on one line.
struct TRangeLineRects {
  TRect Hex;
  TRect Chars;
  bool operator==(const TRangeLineRects&) const = default;
};

class THexLayout {
 public:
  // CharWidth and LineHeight are the cell of the fixed-pitch font in pixels (at least 1 each).
  THexLayout(int charWidth, int lineHeight, int64_t byteCount = 0);

  void SetCell(int charWidth, int lineHeight);
  void SetByteCount(int64_t count);  // resets both scroll positions
  int64_t ByteCount() const { return count_; }
  int CharWidth() const { return cw_; }
  int LineHeight() const { return lh_; }

  int TotalLines() const { return totalLines_; }
  static constexpr int TotalColumns() { return kTotalColumns; }

  // Client size in pixels; sets the visible line and column counts and clamps the scroll positions.
  void SetViewport(int clientWidth, int clientHeight);
  int VisibleLines() const { return visibleLines_; }
  int VisibleColumns() const { return visibleColumns_; }

  // Scroll positions: the first visible line and character column, each held in 0 .. MaxFirst*.
  int FirstLine() const { return firstLine_; }
  int FirstColumn() const { return firstColumn_; }
  int MaxFirstLine() const;
  int MaxFirstColumn() const;
  void SetFirstLine(int line);
  void SetFirstColumn(int column);

  // Moves the first visible line so that the inner range, with one line of context either side, shows.
  void ScrollToRange(TByteRange inner);

  // Pixel positions in client coordinates (after horizontal scrolling). Row counts from the first visible
  // line.
  int OffsetWidth() const { return (kOffsetDigits + 1) * cw_; }
  int GapWidth() const { return 2 * cw_; }
  int GroupWidth() const { return (3 * kBytesPerGroup - 1) * cw_; }
  int RowY(int row) const { return kMargin + row * lh_; }
  int OffsetX() const;
  int HexX(int k) const;        // k = 0 .. 15; HexX(16) is where a third group would start
  int CharX(int k) const;       // k = 0 .. 16
  int SeparatorX(int a) const;  // a = 0, 1, 2
  // The rows from the first visible line that are (at least partly) on screen and hold data.
  int PaintRows() const;
  // Vertical extent of the separator lines.
  int SeparatorTop() const { return kMargin + 3; }
  int SeparatorBottom() const;

  // The byte under a client point, or -1 above or left of the dump, between the hex groups, right of the
  // characters, or past the last byte.
  int64_t ByteAtPoint(int x, int y) const;

  // Rectangles (client coordinates) that mark Range on the visible lines; the range is cut at the data's end.
  std::vector<TRangeLineRects> RangeRects(TByteRange range) const;

  // Size of a picture of the whole dump.
  int BitmapWidth() const;
  int BitmapHeight() const;

 private:
  void Clamp();

  int cw_ = 1, lh_ = 1;
  int64_t count_ = 0;
  int totalLines_ = 0;
  int visibleLines_ = 0, visibleColumns_ = 0;
  int firstLine_ = 0, firstColumn_ = 0;
};

}  // namespace skimlet::hexdump

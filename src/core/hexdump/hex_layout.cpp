#include "core/hexdump/hex_layout.h"

#include <algorithm>
#include <limits>

namespace skimlet::hexdump {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, uint64_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) out += kHexDigits[(value >> (4 * i)) & 0xF];
}

int LinesFor(int64_t count) {
  const int64_t lines = (count + kBytesPerLine - 1) / kBytesPerLine;
  return static_cast<int>(std::min<int64_t>(lines, std::numeric_limits<int>::max()));
}

// Floor division for a possibly negative numerator and a positive divisor.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

char PrintableChar(uint8_t b) { return b > 32 && b < 127 ? static_cast<char>(b) : '.'; }

std::string DumpText(std::span<const uint8_t> bytes) {
  std::string out;
  const size_t lines = (bytes.size() + kBytesPerLine - 1) / kBytesPerLine;
  out.reserve(lines * (kOffsetDigits + 1 + 2 + kHexColumns + 2 + kBytesPerLine + 2));
  for (size_t line = 0; line < lines; ++line) {
    const size_t first = line * kBytesPerLine;
    const size_t n = std::min<size_t>(kBytesPerLine, bytes.size() - first);
    AppendHex(out, first, kOffsetDigits);
    out += ":  ";
    const size_t hexStart = out.size();
    for (size_t k = 0; k < n; ++k) {
      if (k) out += ' ';
      AppendHex(out, bytes[first + k], 2);
    }
    out.append(kHexColumns - (out.size() - hexStart), ' ');
    out += "  ";
    for (size_t k = 0; k < n; ++k) out += PrintableChar(bytes[first + k]);
    out += "\r\n";
  }
  return out;
}

THexLayout::THexLayout(int charWidth, int lineHeight, int64_t byteCount) {
  SetCell(charWidth, lineHeight);
  SetByteCount(byteCount);
}

void THexLayout::SetCell(int charWidth, int lineHeight) {
  cw_ = std::max(1, charWidth);
  lh_ = std::max(1, lineHeight);
}

void THexLayout::SetByteCount(int64_t count) {
  count_ = std::max<int64_t>(0, count);
  totalLines_ = LinesFor(count_);
  firstLine_ = firstColumn_ = 0;
}

void THexLayout::SetViewport(int clientWidth, int clientHeight) {
  visibleLines_ = std::max(0, clientHeight) / lh_;
  visibleColumns_ = std::max(0, clientWidth) / cw_;
  Clamp();
}

// One spare position past the end lets the last line scroll clear of the bottom edge; a dump shorter than
// the window does not scroll at all.
int THexLayout::MaxFirstLine() const { return std::max(0, totalLines_ - visibleLines_ + 1); }
int THexLayout::MaxFirstColumn() const { return std::max(0, kTotalColumns - visibleColumns_ + 1); }

void THexLayout::SetFirstLine(int line) { firstLine_ = std::clamp(line, 0, MaxFirstLine()); }
void THexLayout::SetFirstColumn(int column) { firstColumn_ = std::clamp(column, 0, MaxFirstColumn()); }

void THexLayout::Clamp() {
  SetFirstLine(firstLine_);
  SetFirstColumn(firstColumn_);
}

void THexLayout::ScrollToRange(TByteRange inner) {
  const int64_t start = std::max<int64_t>(0, inner.Start);
  const int64_t length = std::max<int64_t>(0, inner.Length);
  const int64_t first = start / kBytesPerLine;
  const int64_t last = (start + length) / kBytesPerLine;
  const int a = static_cast<int>(std::min<int64_t>(std::max<int64_t>(first - 1, 0), totalLines_));
  const int e = static_cast<int>(std::min<int64_t>(std::max<int64_t>(last + 1, 0), totalLines_));
  if (a < firstLine_) SetFirstLine(a);
  else if (firstLine_ + visibleLines_ < e) SetFirstLine(std::max(e - visibleLines_, 0));
}

int THexLayout::OffsetX() const { return kMargin - firstColumn_ * cw_; }

int THexLayout::HexX(int k) const {
  return OffsetWidth() + kMargin + GapWidth() + (k / kBytesPerGroup) * (GroupWidth() + GapWidth()) +
         (k % kBytesPerGroup) * 3 * cw_ - firstColumn_ * cw_;
}

int THexLayout::CharX(int k) const {
  return OffsetWidth() + kMargin + GapWidth() + kGroupsPerLine * (GroupWidth() + GapWidth()) + k * cw_ -
         firstColumn_ * cw_;
}

int THexLayout::SeparatorX(int a) const {
  return OffsetWidth() + kMargin + a * (GroupWidth() + GapWidth()) + GapWidth() / 2 - firstColumn_ * cw_;
}

int THexLayout::PaintRows() const {
  // The line cut by the lower edge is painted too.
  return std::clamp(totalLines_ - firstLine_, 0, visibleLines_ + 1);
}

int THexLayout::SeparatorBottom() const {
  const int n = std::min(visibleLines_, totalLines_ - firstLine_);
  return kMargin + n * lh_ - 3;
}

int64_t THexLayout::ByteAtPoint(int x, int y) const {
  if (y < kMargin) return -1;
  const int row = FloorDiv(y - kMargin, lh_);
  int byte = -1;
  if (x >= CharX(0) && x < CharX(kBytesPerLine)) {
    byte = (x - CharX(0)) / cw_;
  } else if (x >= HexX(0) && x < HexX(kBytesPerLine)) {
    const int cell = GroupWidth() + GapWidth();
    const int group = (x - HexX(0)) / cell;
    const int inGroup = (x - HexX(0)) % cell;
    if (inGroup >= GroupWidth()) return -1;  // the gap between the groups
    // The blank after a byte's two digits belongs to that byte.
    byte = group * kBytesPerGroup + std::min(inGroup / (3 * cw_), kBytesPerGroup - 1);
  } else {
    return -1;
  }
  const int64_t pos = byte + (static_cast<int64_t>(row) + firstLine_) * kBytesPerLine;
  return pos < count_ ? pos : -1;
}

std::vector<TRangeLineRects> THexLayout::RangeRects(TByteRange range) const {
  std::vector<TRangeLineRects> out;
  if (range.Length <= 0 || range.Start < 0 || range.Start >= count_) return out;
  const int64_t end = std::min(range.Start + range.Length, count_) - 1;  // last byte, inclusive
  const int64_t firstLine = std::max<int64_t>(range.Start / kBytesPerLine, firstLine_);
  const int64_t lastLine = std::min<int64_t>(end / kBytesPerLine, int64_t{firstLine_} + PaintRows() - 1);
  for (int64_t line = firstLine; line <= lastLine; ++line) {
    const int64_t lineStart = line * kBytesPerLine;
    const int k0 = static_cast<int>(std::max(range.Start, lineStart) - lineStart);
    const int k1 = static_cast<int>(std::min(end, lineStart + kBytesPerLine - 1) - lineStart);
    const int y = RowY(static_cast<int>(line - firstLine_));
    TRangeLineRects r;
    r.Hex = {HexX(k0), y, HexX(k1) + 2 * cw_ - HexX(k0), lh_};
    r.Chars = {CharX(k0), y, CharX(k1) + cw_ - CharX(k0), lh_};
    out.push_back(r);
  }
  return out;
}

int THexLayout::BitmapWidth() const {
  return OffsetWidth() + kMargin * 2 + GapWidth() + (GroupWidth() + GapWidth()) * kGroupsPerLine + kBytesPerLine * cw_;
}

int THexLayout::BitmapHeight() const { return kMargin * 2 + totalLines_ * lh_; }

}  // namespace skimlet::hexdump

#include "core/hexdump/hex_layout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace skimlet::hexdump {
namespace {

// A cell of 8 x 16 pixels: offsets at x 7, hex bytes of the first group from 95 (24 pixels apart), the gap
// 279..294, the second group from 295, the gap 479..494, the characters 495..622.
constexpr int kCw = 8, kLh = 16;

std::vector<uint8_t> Bytes(size_t n) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), uint8_t{0});
  return v;
}

TEST(HexDumpText, FullLineOfSixteenBytes) {
  const auto b = Bytes(16);
  EXPECT_EQ(DumpText(b), "00000000:  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ................\r\n");
}

TEST(HexDumpText, ShortLastLineIsPaddedAndOnlyVisibleAsciiShowsAsItself) {
  std::vector<uint8_t> b(17, 'A');
  b[0] = 0x20;
  b[1] = 0x21;
  b[2] = 0x7E;
  b[3] = 0x7F;
  b[16] = 0xFF;
  EXPECT_EQ(DumpText(b),
            "00000000:  20 21 7E 7F 41 41 41 41 41 41 41 41 41 41 41 41  .!~.AAAAAAAAAAAA\r\n"
            "00000010:  FF                                               .\r\n");
  EXPECT_EQ(DumpText({}), "");
}

TEST(HexDumpLayout, LineAndColumnCounts) {
  THexLayout l(kCw, kLh, 17);
  EXPECT_EQ(l.TotalLines(), 2);
  EXPECT_EQ(THexLayout::TotalColumns(), 77);
  l.SetViewport(100, 50);
  EXPECT_EQ(l.VisibleLines(), 3);
  EXPECT_EQ(l.VisibleColumns(), 12);
  EXPECT_EQ(l.BitmapWidth(), 72 + 14 + 16 + 400 + 128);
  EXPECT_EQ(l.BitmapHeight(), 14 + 2 * 16);
}

TEST(HexDumpLayout, ByteAtPoint) {
  THexLayout l(kCw, kLh, 20);  // the second line holds bytes 16 to 19
  l.SetViewport(800, 400);
  struct Case {
    int x, y;
    int64_t byte;
  } cases[] = {
      {95, 7, 0},   {94, 7, -1},                                // first hex digit; left of it
      {6, 7, -1},   {95, 6, -1},                                // the offset column; above the first line
      {118, 7, 0},  {119, 7, 1},                                // the blank after a byte belongs to it
      {278, 7, 7},  {279, 7, -1},  {294, 7, -1},  {295, 7, 8},  // the gap between the groups
      {478, 7, 15}, {479, 7, -1},  {494, 7, -1},                // between the last byte and the characters
      {495, 7, 0},  {622, 7, 15},  {623, 7, -1},                // the characters and right of them
      {95, 23, 16}, {167, 38, 19}, {191, 23, -1},               // second line: past the last byte
      {95, 39, -1}, {527, 23, -1},                              // a line past the data; a character past the last byte
  };
  for (const auto& c : cases) EXPECT_EQ(l.ByteAtPoint(c.x, c.y), c.byte) << c.x << "," << c.y;
}

TEST(HexDumpLayout, ByteAtPointFollowsBothScrollPositions) {
  THexLayout l(kCw, kLh, 1600);
  l.SetViewport(300, 160);
  l.SetFirstLine(5);
  l.SetFirstColumn(2);
  EXPECT_EQ(l.ByteAtPoint(95 - 16, 7), 5 * 16);
  EXPECT_EQ(l.ByteAtPoint(95 - 16, 7 + kLh), 6 * 16);
  EXPECT_EQ(l.ByteAtPoint(94 - 16, 7), -1);
}

TEST(HexDumpLayout, RangeRectsSplitAtLineEndsAndStopAtTheData) {
  THexLayout l(kCw, kLh, 17);
  l.SetViewport(800, 400);
  // Byte 15 of the first line and byte 0 of the second.
  auto r = l.RangeRects({15, 2});
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].Hex, (TRect{463, 7, 16, kLh}));
  EXPECT_EQ(r[0].Chars, (TRect{615, 7, 8, kLh}));
  EXPECT_EQ(r[1].Hex, (TRect{95, 23, 16, kLh}));
  EXPECT_EQ(r[1].Chars, (TRect{495, 23, 8, kLh}));
  // Bytes 2 to 9 cross the gap: one rectangle from the first digit of 2 to the last of 9.
  r = l.RangeRects({2, 8});
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].Hex, (TRect{143, 7, 192, kLh}));
  EXPECT_EQ(r[0].Chars, (TRect{511, 7, 64, kLh}));
  // Cut at the last byte; nothing for empty, negative or out-of-data ranges.
  r = l.RangeRects({10, 40});
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].Hex, (TRect{95, 23, 16, kLh}));
  EXPECT_TRUE(l.RangeRects({3, 0}).empty());
  EXPECT_TRUE(l.RangeRects({3, -2}).empty());
  EXPECT_TRUE(l.RangeRects({17, 4}).empty());
}

TEST(HexDumpLayout, RangeRectsOnlyForLinesOnScreen) {
  THexLayout l(kCw, kLh, 1600);
  l.SetViewport(800, 3 * kLh);  // three whole lines and the cut one
  l.SetFirstLine(10);
  const auto r = l.RangeRects({0, 1600});
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r.front().Hex.Y, 7);
  EXPECT_EQ(r.back().Hex.Y, 7 + 3 * kLh);
}

TEST(HexDumpLayout, ScrollToRangeKeepsOneLineOfContext) {
  THexLayout l(kCw, kLh, 1600);  // 100 lines
  l.SetViewport(800, 10 * kLh);
  struct Case {
    TByteRange range;
    int firstLine;
  } steps[] = {
      {{50 * 16, 4}, 41},   // below: the line after the range becomes the last visible one
      {{45 * 16, 4}, 41},   // already visible: stays
      {{20 * 16, 4}, 19},   // above: the line before the range becomes the first
      {{0, 2}, 0},          // no line before the first
      {{99 * 16, 16}, 90},  // the end: capped at the total
  };
  for (const auto& s : steps) {
    l.ScrollToRange(s.range);
    EXPECT_EQ(l.FirstLine(), s.firstLine) << s.range.Start;
  }
}

TEST(HexDumpLayout, ScrollClampHoldsForDumpsShorterThanTheWindow) {
  THexLayout l(kCw, kLh, 40);  // 3 lines in a window of 20
  l.SetViewport(2000, 20 * kLh);
  EXPECT_EQ(l.MaxFirstLine(), 0);
  EXPECT_EQ(l.MaxFirstColumn(), 0);
  l.SetFirstLine(5);
  l.SetFirstColumn(3);
  EXPECT_EQ(l.FirstLine(), 0);
  EXPECT_EQ(l.FirstColumn(), 0);
  l.ScrollToRange({32, 8});
  EXPECT_EQ(l.FirstLine(), 0);

  // A long dump scrolls to one line past the end; a smaller window clamps the position again.
  l.SetByteCount(1600);
  l.SetFirstLine(1000);
  EXPECT_EQ(l.FirstLine(), 100 - 20 + 1);
  l.SetViewport(2000, 90 * kLh);
  EXPECT_EQ(l.FirstLine(), 11);
  l.SetByteCount(16);
  EXPECT_EQ(l.FirstLine(), 0);
}

}  // namespace
}  // namespace skimlet::hexdump

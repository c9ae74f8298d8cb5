#include "ui/hexview/hex_dump_viewer.h"

#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace skimlet::ui {
namespace {

std::vector<uint8_t> Bytes(size_t n) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), uint8_t{0});
  return v;
}

TEST(HexDumpViewer, ClickOnAByteReportsItAndClicksBesideTheDataDoNot) {
  THexDumpViewer v;
  v.resize(800, 300);
  v.show();
  const auto bytes = Bytes(40);
  v.LoadBytes(bytes);
  const auto& l = v.Layout();
  QSignalSpy spy(&v, &THexDumpViewer::ByteClicked);
  QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, QPoint(l.HexX(9) + 1, l.RowY(1) + 1));
  QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, QPoint(l.HexX(8) - 1, l.RowY(0) + 1));  // the gap
  QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, QPoint(l.CharX(10), l.RowY(2) + 1));    // past the end
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toLongLong(), 25);
}

TEST(HexDumpViewer, LoadResetsRangesAndScrollAndTheBarsFollowTheLayout) {
  THexDumpViewer v;
  v.resize(400, 200);
  v.show();
  const auto bytes = Bytes(2000);
  v.LoadBytes(bytes);
  v.SetOuterRange({1000, 300});
  v.SetInnerRange({1200, 4});
  v.ScrollToInnerRange();
  const int first = v.Layout().FirstLine();
  EXPECT_GT(first, 0);
  EXPECT_EQ(v.verticalScrollBar()->value(), first);
  EXPECT_EQ(v.verticalScrollBar()->maximum(), v.Layout().MaxFirstLine());
  EXPECT_EQ(v.horizontalScrollBar()->maximum(), v.Layout().MaxFirstColumn());

  v.horizontalScrollBar()->setValue(3);
  EXPECT_EQ(v.Layout().FirstColumn(), 3);
  EXPECT_EQ(v.Layout().FirstLine(), first);

  v.LoadBytes(bytes);
  EXPECT_EQ(v.Layout().FirstLine(), 0);
  EXPECT_EQ(v.Layout().FirstColumn(), 0);
  EXPECT_EQ(v.InnerRange(), hexdump::TByteRange{});
  EXPECT_EQ(v.OuterRange(), hexdump::TByteRange{});
  EXPECT_EQ(v.verticalScrollBar()->value(), 0);
  EXPECT_EQ(v.horizontalScrollBar()->value(), 0);

  v.ClearBytes();
  EXPECT_EQ(v.DataLength(), 0);
  EXPECT_EQ(v.DumpText(), "");
}

TEST(HexDumpViewer, BitmapCoversTheWholeDumpAndKeepsTheScrollPosition) {
  THexDumpViewer v;
  v.resize(300, 120);
  v.show();
  const auto bytes = Bytes(1000);
  v.LoadBytes(bytes);
  v.verticalScrollBar()->setValue(10);
  const QImage img = v.DumpBitmap();
  EXPECT_EQ(img.width(), v.Layout().BitmapWidth());
  EXPECT_EQ(img.height(), v.Layout().BitmapHeight());
  EXPECT_EQ(v.Layout().FirstLine(), 10);
  // Something is drawn on the white surface next to the last line's offset.
  const int y = v.Layout().BitmapHeight() - hexdump::kMargin - v.Layout().LineHeight() / 2;
  bool ink = false;
  for (int x = 0; x < img.width() && !ink; ++x) ink = img.pixelColor(x, y) != QColor(Qt::white);
  EXPECT_TRUE(ink);
}

TEST(HexDumpViewer, SavedPictureIsAPngOrABmpOfTheWholeDump) {
  THexDumpViewer v;
  v.resize(300, 120);
  v.LoadBytes(Bytes(300));
  const QImage expected = v.DumpBitmap();
  QTemporaryDir dir;
  struct Case {
    const char* Name;
    const char* Format;
    QByteArray Magic;
  };
  for (const Case& c : {Case{"dump.png", nullptr, "\x89PNG\r\n\x1a\n"}, Case{"dump.bmp", nullptr, "BM"},
                        Case{"dump.picture", "bmp", "BM"}, Case{"dump", nullptr, "\x89PNG"}}) {
    const QString path = dir.filePath(QString::fromUtf8(c.Name));
    ASSERT_EQ(v.SaveBitmap(path, c.Format), "") << c.Name;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.Name;
    EXPECT_TRUE(f.readAll().startsWith(c.Magic)) << c.Name;
    const QImage saved(path, c.Format);
    EXPECT_EQ(saved.size(), expected.size()) << c.Name;
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), expected) << c.Name;
  }
  // A folder that does not exist: the failure is told, nothing is written.
  EXPECT_NE(v.SaveBitmap(dir.filePath("missing/dump.png")), "");
  EXPECT_FALSE(QFile::exists(dir.filePath("missing/dump.png")));
}

}  // namespace
}  // namespace skimlet::ui

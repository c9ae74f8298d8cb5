#include "ui/details/network_details.h"

#include <QLabel>
#include <QTextDocument>

#include <set>

#include <gtest/gtest.h>

#include "core/model/columns.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"

namespace skimlet::ui {
namespace {

// The text a tool tip shows once Qt has rendered it.
QString Rendered(const QString& tip) {
  QTextDocument doc;
  if (Qt::mightBeRichText(tip)) doc.setHtml(tip);
  else doc.setPlainText(tip);
  return doc.toPlainText();
}

// Over-the-air texts come isolated from their neighbours (U+2068 ... U+2069); the tests look inside.
QString Inner(QString text) { return text.remove(QChar(0x2068)).remove(QChar(0x2069)); }

TEST(NetworkDetails, ValuesArePlainTextCutToTheLabelWithTheWholeTextInTheHint) {
  TProgramOptions options;
  TWLANNetworkList list{options};
  list.VendorLookup = [](const std::array<uint8_t, 6>&) {
    return std::string("Some Very Long Vendor Name Of Devices");
  };
  const std::string markup = "<img src=/some/file.png>";
  test::Refresh(list, 1000, {{test::MakeEntry(1, -50, 2437000, markup), {}}});
  TNetworkDetails page;
  page.resize(900, 500);
  page.show();
  page.ShowNetwork(list.Items[0].get());

  QLabel* ssid = page.ValueLabel(ColumnIndex(TNetworkColumn::SSID));
  EXPECT_EQ(ssid->textFormat(), Qt::PlainText);
  EXPECT_TRUE(Inner(ssid->text()).startsWith("<img src=")) << ssid->text().toStdString();
  EXPECT_TRUE(Rendered(ssid->toolTip()).contains(QString::fromStdString(markup))) << ssid->toolTip().toStdString();

  QLabel* vendor = page.ValueLabel(ColumnIndex(TNetworkColumn::Vendor));
  EXPECT_TRUE(Inner(vendor->text()).endsWith(QChar(0x2026))) << vendor->text().toStdString();
  EXPECT_LE(vendor->fontMetrics().horizontalAdvance(vendor->text()), vendor->width());
  EXPECT_EQ(Inner(Rendered(vendor->toolTip())).simplified(), "Some Very Long Vendor Name Of Devices");

  // An empty value leaves label and hint empty; no network leaves everything as it was.
  QLabel* comment = page.ValueLabel(ColumnIndex(TNetworkColumn::Comment));
  EXPECT_TRUE(comment->text().isEmpty());
  EXPECT_TRUE(comment->toolTip().isEmpty());
  const QString before = vendor->text();
  page.ShowNetwork(nullptr);
  EXPECT_EQ(vendor->text(), before);

  // Every column has its pair, PMF and roaming included, and no two share a cell.
  std::set<std::pair<int, int>> cells;
  for (int c = 0; c < NetworkColumnCount; ++c) {
    ASSERT_TRUE(page.ValueLabel(c));
    const QPoint cell = TNetworkDetails::GridCell(c);
    EXPECT_TRUE(cells.insert({cell.x(), cell.y()}).second) << c;
  }
}

TEST(NetworkDetails, HintsWrapAtFortyFiveCharacters) {
  EXPECT_EQ(TNetworkDetails::WrapText("short", 45), "short");
  const QString words = QString("word ").repeated(20).trimmed();
  for (const QString& line : TNetworkDetails::WrapText(words, 45).split('\n')) EXPECT_LE(line.size(), 45);
  EXPECT_EQ(TNetworkDetails::WrapText(QString(50, 'x'), 45), QString(45, 'x') + "\n" + QString(5, 'x'));
}

}  // namespace
}  // namespace skimlet::ui

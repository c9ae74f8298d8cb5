// The network list model and view: sorting with the pinned connected row, inactive rows, stripes over hidden
// rows, in-place updates under Qt's model checker, header clicks, layouts and the quality bar.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "core/base/safe_text.h"
#include "core/ie/builder.h"
#include "core/model/columns.h"
#include "core/radio/values.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"
#include "ui/list/column_layout.h"
#include "core/model/network_filter.h"
#include "ui/list/network_view.h"

namespace skimlet {
namespace {

using test::MakeEntry;
using Items = std::vector<std::pair<WLAN_BSS_ENTRY, std::vector<uint8_t>>>;

const LocalDateTime kT0 = EncodeLocalDateTime(2024, 5, 1, 12, 0, 0);

// A network text as the window shows it.
QString Shown(const std::string& text) { return QString::fromStdString(SafeText(text, SafeTextStyle::Window)); }

class NetworkModelTest : public ::testing::Test {
 protected:
  NetworkModelTest() : list(options), model(options) {
    list.VendorLookup = [](const std::array<uint8_t, 6>&) { return std::string(); };
    model.SetList(&list);
  }
  void Refresh(LocalDateTime t, const Items& items) {
    test::Refresh(list, t, items);
    model.Sync();
  }
  std::vector<std::string> Ssids() const {
    std::vector<std::string> out;
    for (int r = 0; r < model.rowCount(); ++r) out.push_back(model.NetworkOfRow(r)->SSID);
    return out;
  }

  TProgramOptions options;
  TWLANNetworkList list;
  TNetworkListModel model;
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(NetworkModelTest, ConnectedRowIsPinnedFirstInBothDirections) {
  list.ConnectedBSSIDText = BSSIDToText(MakeEntry(2).dot11Bssid);
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "alpha"), {}},
                {MakeEntry(2, -70, 2437000, "bravo"), {}},
                {MakeEntry(3, -60, 2437000, "charlie"), {}}});
  for (int column : {1, 5}) {
    model.Sort(column, Qt::AscendingOrder);
    EXPECT_EQ(Ssids().front(), "bravo") << column;
    model.Sort(column, Qt::DescendingOrder);
    EXPECT_EQ(Ssids().front(), "bravo") << column;
  }
  model.Sort(5, Qt::AscendingOrder);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"bravo", "charlie", "alpha"}));
  options.bPinConnectedToTop = false;
  model.Sort(5, Qt::DescendingOrder);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"alpha", "charlie", "bravo"}));
}

TEST_F(NetworkModelTest, InactiveRowsComeBeforeActiveOnesByAscendingSignal) {
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "gone"), {}},
                {MakeEntry(2, -70, 2437000, "weak"), {}},
                {MakeEntry(3, -55, 2437000, "strong"), {}}});
  Refresh(AddSeconds(kT0, 30), {{MakeEntry(2, -70, 2437000, "weak"), {}}, {MakeEntry(3, -55, 2437000, "strong"), {}}});
  model.Sort(5, Qt::AscendingOrder);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"gone", "weak", "strong"}));
  EXPECT_TRUE(model.data(model.index(0, 5), Qt::DisplayRole).toString().isEmpty());
  model.Sort(5, Qt::DescendingOrder);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"strong", "weak", "gone"}));
  // An inactive row's texts are grey; its check box keeps the normal look.
  EXPECT_TRUE(model.data(model.index(2, 1), Qt::ForegroundRole).isValid());
  EXPECT_FALSE(model.data(model.index(2, 0), Qt::ForegroundRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 1), Qt::ForegroundRole).isValid());
}

TEST_F(NetworkModelTest, StripesCountHiddenRows) {
  options.bStripped = true;
  model.Filter = [](const TWLANNetwork& n) { return n.SSID != "b"; };
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "a"), {}},
                {MakeEntry(2, -50, 2437000, "b"), {}},
                {MakeEntry(3, -60, 2437000, "c"), {}}});
  model.Sort(1, Qt::AscendingOrder);
  ASSERT_EQ(Ssids(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(model.AbsoluteIndex(0), 0);
  EXPECT_EQ(model.AbsoluteIndex(1), 2);
  EXPECT_FALSE(model.data(model.index(0, 3), Qt::BackgroundRole).isValid());
  EXPECT_FALSE(model.data(model.index(1, 3), Qt::BackgroundRole).isValid());
  model.ApplyFilter(true);  // the filter panel hidden: every row shows, the second one striped
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(model.data(model.index(1, 3), Qt::BackgroundRole).isValid());
}

TEST_F(NetworkModelTest, RowsFollowTheirRecordsWithoutReset) {
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  model.Sort(5, Qt::DescendingOrder);
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "a"), {}}, {MakeEntry(2, -50, 2437000, "b"), {}}});
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  QPersistentModelIndex a(model.index(0, 1));
  EXPECT_EQ(a.data().toString(), Shown("a"));
  // b grows stronger and a new network joins: a moves down, its persistent index goes with it.
  Refresh(AddSeconds(kT0, 3), {{MakeEntry(1, -40, 2437000, "a"), {}},
                               {MakeEntry(2, -30, 2437000, "b"), {}},
                               {MakeEntry(3, -20, 2437000, "c"), {}}});
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(a.row(), 2);
  EXPECT_EQ(a.data().toString(), Shown("a"));
  EXPECT_EQ(model.data(model.index(1, 5), Qt::DisplayRole).toString(), "-30 dBm");
  // A hidden row and a dropped network leave through row removals.
  model.Filter = [](const TWLANNetwork& n) { return n.SSID != "c"; };
  model.ApplyFilter(false);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"b", "a"}));
  model.Forget({list.Items[0].get()});
  list.Delete(0);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"b"}));
  EXPECT_EQ(model.TotalRows(), 2);
  EXPECT_EQ(resets.count(), 0);
  // Unchecking a row keeps it and stores the switch in the record.
  ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_FALSE(model.NetworkOfRow(0)->Checked);
  EXPECT_EQ(model.rowCount(), 1);
}

// The view takes the height of uniform rows from the columns in sight; the check box and the icon columns
// scrolled out of sight must not make the rows lower.
TEST_F(NetworkModelTest, RowsKeepTheirHeightWhenScrolledSideways) {
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "a"), {}}, {MakeEntry(2, -50, 2437000, "b"), {}}});
  TNetworkListView view(options, &model);
  view.resize(300, 200);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const int height = view.visualRect(model.index(0, 1)).height();
  view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
  model.RepaintAll();  // as after a refresh: the view measures its rows again
  QCoreApplication::processEvents();
  ASSERT_TRUE(view.visualRect(model.index(0, 1)).right() < 0);
  EXPECT_EQ(view.visualRect(model.index(0, 31)).height(), height);
  EXPECT_EQ(view.visualRect(model.index(1, 31)).top(), view.visualRect(model.index(0, 31)).top() + height);
}

// A text wider than its cell is drawn as its elided form would be, whatever the column's alignment.
TEST_F(NetworkModelTest, TextsWiderThanTheirCellEndInAnEllipsis) {
  Refresh(kT0, {{MakeEntry(1), {}}, {MakeEntry(2), {}}});
  TNetworkListView view(options, &model);
  QStyleOptionViewItem option;
  option.initFrom(&view);
  option.widget = &view;
  option.state |= QStyle::State_Active;
  option.rect = QRect(0, 0, 90, 20);
  const QString longText = QStringLiteral("A comment far too long for its cell");
  const QString elided = QFontMetrics(option.font).elidedText(longText, Qt::ElideRight, option.rect.width() - 8);
  ASSERT_TRUE(elided.endsWith(QChar(0x2026)));
  model.NetworkOfRow(0)->Comment = longText.toStdString();
  model.NetworkOfRow(1)->Comment = elided.toStdString();
  auto paint = [&](int row) {
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    view.Delegate()->paint(&p, option, model.index(row, 3));
    return image;
  };
  for (Qt::Alignment alignment : {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter}) {
    model.SetColumnAlignment(3, alignment);
    EXPECT_EQ(paint(0), paint(1)) << alignment;
  }
}

// A hint shows the network's text as the cell does: Qt's labels take a text that looks like markup for rich
// text; control and direction characters show as escapes.
TEST_F(NetworkModelTest, HintsShowNetworkTextsAsPlainText) {
  const std::vector<std::string> ssids = {"<b>x</b>", "<img src=x>",        "a & b <i>",
                                          "plain",    "\x1b]52;c;aGk=\x07", "abc\u202Edef"};
  Items items;
  for (size_t i = 0; i < ssids.size(); ++i)
    items.push_back({MakeEntry(static_cast<uint8_t>(i + 1), -50, 2437000, ssids[i]), {}});
  Refresh(kT0, items);
  ASSERT_EQ(model.rowCount(), static_cast<int>(ssids.size()));
  for (int r = 0; r < model.rowCount(); ++r) {
    const QString hint = model.data(model.index(r, 1), Qt::ToolTipRole).toString();
    // What a tool tip label shows of it.
    QTextDocument shown;
    if (Qt::mightBeRichText(hint)) shown.setHtml(hint);
    else shown.setPlainText(hint);
    EXPECT_EQ(shown.toPlainText(), Shown(model.NetworkOfRow(r)->SSID));
    EXPECT_EQ(model.data(model.index(r, 1), Qt::DisplayRole).toString(), Shown(model.NetworkOfRow(r)->SSID));
    EXPECT_TRUE(shown.toHtml().contains("<img") == false) << hint.toStdString();
  }
}

TEST_F(NetworkModelTest, HeaderClicksSortAndColumnZeroDoesNothing) {
  TNetworkListView view(options, &model);
  Refresh(kT0, {{MakeEntry(1, -40, 2437000, "b"), {}}, {MakeEntry(2, -50, 2437000, "a"), {}}});
  view.HeaderClicked(1);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"a", "b"}));
  view.HeaderClicked(1);
  EXPECT_EQ(model.SortOrder(), Qt::DescendingOrder);
  EXPECT_EQ(Ssids(), (std::vector<std::string>{"b", "a"}));
  view.HeaderClicked(0);
  EXPECT_EQ(model.SortColumn(), 1);
  EXPECT_EQ(model.SortOrder(), Qt::DescendingOrder);
  view.HeaderClicked(5);
  EXPECT_EQ(model.SortColumn(), 5);
  EXPECT_EQ(model.SortOrder(), Qt::AscendingOrder);
  EXPECT_EQ(view.header()->sortIndicatorSection(), 5);
}

TEST(ColumnLayout, PositionsSortColumnAndRoundTrip) {
  TProgramOptions options;
  TNetworkListModel model(options);
  TNetworkListView view(options, &model);
  TColumnLayout layout = DefaultColumnLayout(NetworkColumnCount);
  layout[0].Position = 2;
  layout[1].Position = 0;
  layout[2].Position = 1;
  layout[4].Sorted = true;
  layout[7].Sorted = true;
  layout[7].SortDirection = 1;
  layout[3].Visible = false;
  layout[5].Width = 123;
  layout[5].Alignment = 1;
  layout[6].Width = 10;  // narrower than allowed
  layout[9].Caption = "Channel";
  ApplyLayout(view, layout);
  EXPECT_EQ(view.header()->logicalIndex(0), 1);
  EXPECT_EQ(view.header()->logicalIndex(1), 2);
  EXPECT_EQ(view.header()->logicalIndex(2), 0);
  EXPECT_EQ(view.header()->sortIndicatorSection(), 7);
  EXPECT_EQ(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_TRUE(view.header()->isSectionHidden(3));
  EXPECT_EQ(view.header()->sectionSize(6), 50);
  EXPECT_EQ(model.ColumnAlignment(5), Qt::AlignRight);
  EXPECT_EQ(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(), "Channel");

  TColumnLayout back = DefaultColumnLayout(NetworkColumnCount);
  back[3].Width = 77;
  ReadLayout(view, back);
  EXPECT_EQ(back[0].Position, 2);
  EXPECT_EQ(back[1].Position, 0);
  EXPECT_EQ(back[5].Width, 123);
  EXPECT_EQ(back[5].Alignment, 1);
  EXPECT_FALSE(back[3].Visible);
  EXPECT_EQ(back[3].Width, 77);  // a hidden column keeps its stored width
  EXPECT_TRUE(back[7].Sorted);
  EXPECT_EQ(back[7].SortDirection, 1);
  EXPECT_FALSE(back[4].Sorted);
  EXPECT_EQ(back[9].Caption, "Channel");

  TColumnLayout none = DefaultColumnLayout(NetworkColumnCount);
  none[0].SortDirection = 1;
  ApplyLayout(view, none);
  EXPECT_EQ(view.header()->sortIndicatorSection(), 0);
  EXPECT_EQ(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

// The columns added after the first 32 start hidden in the default layout and show their texts once shown.
TEST_F(NetworkModelTest, PMFAndRoamingColumnsStartHiddenAndShowTheirTexts) {
  TNetworkListView view(options, &model);
  ApplyLayout(view, DefaultNetworkListLayout());
  const int pmf = ColumnIndex(TNetworkColumn::PMF), roaming = ColumnIndex(TNetworkColumn::Roaming);
  EXPECT_EQ(model.columnCount(), 34);
  EXPECT_TRUE(view.header()->isSectionHidden(pmf));
  EXPECT_TRUE(view.header()->isSectionHidden(roaming));
  EXPECT_FALSE(view.header()->isSectionHidden(pmf - 1));

  // RSN with SAE and protection required; a mobility domain.
  std::vector<uint8_t> blob =
      ElementBuilder()
          .AddText(0, "Six")
          .Add(48, {1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 8, 0xC0, 0x00})
          .Add(54, {0x34, 0x12, 0x01})
          .Blob();
  Refresh(kT0, {{MakeEntry(1, -50, 6415000, "Six"), blob}});
  view.header()->setSectionHidden(pmf, false);
  view.header()->setSectionHidden(roaming, false);
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.data(model.index(0, pmf), Qt::DisplayRole).toString(), "Required");
  EXPECT_EQ(model.data(model.index(0, roaming), Qt::DisplayRole).toString(), "r");
  EXPECT_EQ(model.data(model.index(0, ColumnIndex(TNetworkColumn::Band)), Qt::DisplayRole).toString().left(2), "6 ");
  TColumnLayout back = DefaultNetworkListLayout();
  ReadLayout(view, back);
  EXPECT_TRUE(back[static_cast<size_t>(pmf)].Visible);

  // The band, width and security filters have choices for the 6 GHz band, 320 MHz and WPA3.
  TWLANNetwork& n = *list.Items[0];
  n.ChannelWidth = kWidth320;
  TProgramOptions filtered = options;
  EXPECT_TRUE(NetworkPassesFilter(n, filtered, {}));
  filtered.FilterFrequencyBandSet = TFilterSet::Of({0, 1});
  EXPECT_FALSE(NetworkPassesFilter(n, filtered, {}));
  filtered = options;
  filtered.FilterChannelWidthSet = kEarlierChannelWidths;
  EXPECT_FALSE(NetworkPassesFilter(n, filtered, {}));
  filtered = options;
  filtered.FilterWLANSecuritySet = TFilterSet::Of({5});  // the SAE-only network is a WPA3 one
  EXPECT_TRUE(NetworkPassesFilter(n, filtered, {}));
  filtered.FilterWLANSecuritySet = TFilterSet::Of({1, 2, 3, 4});
  EXPECT_FALSE(NetworkPassesFilter(n, filtered, {}));
}

TEST(QualityBar, EmptyAtZeroAndFullAtHundred) {
  const QRect cell(0, 0, 120, 20);
  auto fillAt = [&](double percent, int x) {
    QImage image(cell.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    ui::DrawQualityBar(p, cell, Qt::AlignLeft, false, true, percent);
    p.end();
    return image.pixelColor(x, cell.center().y() - 5 + 8);  // the ninth pixel row of the bar
  };
  const QColor fill(0x007DB8), track(0xE8E7E4);
  EXPECT_EQ(fillAt(100, 116), fill);  // the last pixel of the bar (3 pixels inside the cell)
  EXPECT_NE(fillAt(0, 116), fill);
  EXPECT_NE(fillAt(0, 80), fill);
  EXPECT_EQ(fillAt(0, 116).red(), track.red());
  EXPECT_NE(fillAt(50, 116), fill);
}

TEST(SignalIcon, SharpAtEveryPixelRatio) {
  const QIcon icon = ui::SignalIcon(5, true);
  const QPixmap pm = icon.pixmap(QSize(16, 16), 2.0);
  EXPECT_EQ(pm.deviceIndependentSize().toSize(), QSize(16, 16));
  EXPECT_EQ(pm.size(), QSize(32, 32));
  EXPECT_NE(ui::SignalIcon(0, false).cacheKey(), ui::SignalIcon(0, true).cacheKey());
}

}  // namespace
}  // namespace skimlet

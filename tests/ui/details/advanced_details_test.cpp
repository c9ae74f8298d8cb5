#include "ui/details/advanced_details.h"

#include <QAbstractItemModelTester>
#include <QTreeView>

#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "support/network_fixture.h"
#include "core/settings/options.h"
#include "ui/details/element_tree_model.h"
#include "ui/hexview/hex_dump_viewer.h"

namespace skimlet::ui {
namespace {

// SSID "ABC" at bytes 0..4 (ID, length, text 2..4), DSSS channel 6 at bytes 5..7.
std::vector<uint8_t> Blob(std::string_view ssid = "ABC", uint8_t channel = 6) {
  return ElementBuilder().AddText(0, ssid).Add(3, {channel}).Blob();
}

std::string TextOf(const TIETree& tree, TIETreeLine line) { return tree.Valid(line) ? tree.Data(line).Text : "-"; }

TEST(ElementLines, ElementLineOfIsTheAncestorUnderTheRoot) {
  TIETree t;
  const TIETreeLine root = t.Add(kNoLine, {"root", 0, 0});
  const TIETreeLine element = t.Add(root, {"element", 0, 4});
  const TIETreeLine flags = t.Add(element, {"flags", 2, 1});
  const TIETreeLine bit = t.Add(flags, {"bit 0", 2, 1});
  EXPECT_EQ(ElementLineOf(t, bit), element);
  EXPECT_EQ(ElementLineOf(t, element), element);
  EXPECT_EQ(ElementLineOf(t, root), root);
  EXPECT_EQ(ElementLineOf(t, kNoLine), kNoLine);
}

TEST(ElementTreeModel, PassesTheModelTesterAndMapsLinesToIndexes) {
  TElementTreeModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.Load(Blob());
  ASSERT_EQ(model.rowCount(), 1);
  const QModelIndex root = model.index(0, 0);
  EXPECT_EQ(model.rowCount(root), 2);
  const QModelIndex ssid = model.index(0, 0, root);
  EXPECT_EQ(model.data(ssid, Qt::DisplayRole).toString(), "SSID: ABC");
  const TIETreeLine line = model.LineOfIndex(model.index(2, 0, ssid));
  EXPECT_EQ(model.IndexOfLine(line), model.index(2, 0, ssid));
  EXPECT_EQ(model.LineOfPath(TElementTreeModel::PathOf(model.Tree(), line)), line);
  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

class AdvancedDetailsTest : public ::testing::Test {
 protected:
  void Fill(std::vector<uint8_t> blobA, std::vector<uint8_t> blobB = Blob("B", 1)) {
    test::Refresh(list, 1000,
                  {{test::MakeEntry(1, -50, 2437000, "ABC"), std::move(blobA)},
                   {test::MakeEntry(2, -50, 2437000, "B"), std::move(blobB)}});
  }
  TWLANNetwork* Find(uint8_t id) const {
    for (const auto& n : list.Items)
      if (n->BSSID[5] == id) return n.get();
    return nullptr;
  }
  TProgramOptions options;
  TWLANNetworkList list{options};
  TAdvancedDetails page;
};

TEST_F(AdvancedDetailsTest, ByteAndLineSelectEachOther) {
  Fill(Blob());
  page.ShowNetwork(Find(1));
  EXPECT_EQ(page.ElementBSSID(), Find(1)->BSSIDText);
  EXPECT_EQ(page.Viewer()->DataLength(), 8);

  const TIETree& t = page.Model()->Tree();
  auto current = [&] { return TextOf(t, page.Model()->LineOfIndex(page.TreeView()->currentIndex())); };
  // A click finds the deepest line below the root line (which describes no bytes itself).
  struct Case {
    int64_t byte;
    const char* text;
  } cases[] = {{0, "Element ID: 0 (SSID)"}, {1, "Length: 3 octets"}, {7, "Current channel: 6"}, {3, "SSID: ABC"}};
  for (const auto& c : cases) {
    page.ByteClicked(c.byte);
    EXPECT_EQ(current(), c.text) << c.byte;
  }
  EXPECT_EQ(page.Viewer()->InnerRange(), (hexdump::TByteRange{2, 3}));
  EXPECT_EQ(page.Viewer()->OuterRange(), (hexdump::TByteRange{0, 5}));

  // An element line marks itself only; the root marks nothing.
  page.SelectLine(ElementLineOf(t, t.DeepestLineAt(6)));
  EXPECT_EQ(page.Viewer()->InnerRange(), (hexdump::TByteRange{5, 3}));
  EXPECT_EQ(page.Viewer()->OuterRange(), hexdump::TByteRange{});
  page.SelectLine(t.FirstChild(kNoLine));
  EXPECT_EQ(page.Viewer()->InnerRange(), (hexdump::TByteRange{0, 0}));

  // Clicks beside the data change nothing.
  page.ByteClicked(-1);
  page.ByteClicked(8);
  EXPECT_EQ(page.Model()->LineOfIndex(page.TreeView()->currentIndex()), t.FirstChild(kNoLine));
}

TEST_F(AdvancedDetailsTest, ExpandStateSurvivesARefreshOfTheSameNetworkOnly) {
  Fill(Blob());
  page.ShowNetwork(Find(1));
  QTreeView& view = *page.TreeView();
  const QModelIndex root = page.Model()->index(0, 0);
  EXPECT_TRUE(view.isExpanded(root));
  view.expand(page.Model()->index(1, 0, root));  // the DSSS element

  Fill(Blob("ABC", 11));  // new bytes, same shape
  page.ShowNetwork(Find(1));
  EXPECT_EQ(page.Viewer()->Bytes()[7], 11);
  EXPECT_TRUE(view.isExpanded(page.Model()->index(1, 0, page.Model()->index(0, 0))));

  page.ShowNetwork(Find(2));
  EXPECT_FALSE(view.isExpanded(page.Model()->index(1, 0, page.Model()->index(0, 0))));
}

TEST_F(AdvancedDetailsTest, ARecordThatGoesLeavesTheViewsEmpty) {
  Fill(Blob());
  page.ShowNetwork(Find(1));
  page.ByteClicked(3);
  page.Revalidate(&list);
  EXPECT_FALSE(page.ElementBSSID().empty());

  // Deleted: the page looks the BSSID up and finds nothing; it never held the record.
  for (int i = 0; i < list.Count(); ++i)
    if (list.Items[static_cast<size_t>(i)]->BSSID[5] == 1) list.Delete(i);
  page.Revalidate(&list);
  EXPECT_TRUE(page.ElementBSSID().empty());
  EXPECT_EQ(page.Model()->rowCount(), 0);
  EXPECT_EQ(page.Viewer()->DataLength(), 0);
  page.ByteClicked(3);
  page.Viewer()->viewport()->repaint();

  page.ShowNetwork(Find(2));
  list.Clear();
  page.Revalidate(&list);
  EXPECT_TRUE(page.ElementBSSID().empty());
  page.ShowNetwork(nullptr);
  page.Revalidate(nullptr);
  EXPECT_EQ(page.Model()->rowCount(), 0);
}

}  // namespace
}  // namespace skimlet::ui

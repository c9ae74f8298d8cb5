#include "ui/filters/filter_tree.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace skimlet::ui {
namespace {

TEST(FilterTree, MembersFollowTheSetsAndCountsShowOnlyWhenPositive) {
  TProgramOptions o;
  o.FilterPhySet.Remove(11);
  TFilterTree tree(o);
  ASSERT_EQ(tree.topLevelItemCount(), 5);
  EXPECT_EQ(tree.MemberItem(TFilterTree::kNetworkMode, 11)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(tree.MemberItem(TFilterTree::kBand, 2)->checkState(0), Qt::Checked);
  EXPECT_EQ(tree.topLevelItem(0)->flags() & Qt::ItemIsUserCheckable, 0);

  std::array<int32_t, kNetworkCounterCount> counters{};
  counters[kCountQualityFirst + 0] = 3;
  counters[kCountBandFirst + 2] = 7;
  counters[kCountWidthFirst + 5] = 1;
  tree.UpdateCounts(&counters);
  QTreeWidgetItem* offline = tree.MemberItem(TFilterTree::kQuality, 0);
  QTreeWidgetItem* band6 = tree.MemberItem(TFilterTree::kBand, 2);
  QTreeWidgetItem* band5 = tree.MemberItem(TFilterTree::kBand, 1);
  EXPECT_TRUE(offline->text(0).endsWith(" (3)"));
  EXPECT_TRUE(band6->text(0).endsWith(" (7)"));
  EXPECT_TRUE(tree.MemberItem(TFilterTree::kChannelWidth, 5)->text(0).endsWith(" (1)"));
  const QString caption = band5->text(0);
  EXPECT_FALSE(caption.contains('('));
  counters[kCountBandFirst + 2] = 0;
  tree.UpdateCounts(&counters);
  EXPECT_FALSE(band6->text(0).contains('('));
  tree.UpdateCounts(nullptr);
  EXPECT_FALSE(offline->text(0).contains('('));
}

TEST(FilterTree, ChecksChangeTheSetsOneMemberAtATime) {
  TProgramOptions o;
  TFilterTree tree(o);
  QSignalSpy spy(&tree, &TFilterTree::FilterChanged);
  tree.MemberItem(TFilterTree::kSecurity, 6)->setCheckState(0, Qt::Unchecked);
  EXPECT_FALSE(o.FilterWLANSecuritySet.Has(6));
  EXPECT_EQ(spy.count(), 1);

  tree.UncheckAll();
  EXPECT_EQ(o.FilterPhySet.Bits, 0u);
  EXPECT_EQ(o.FilterLinkQualityIndicatorSet.Bits, 0u);
  EXPECT_EQ(o.FilterWLANSecuritySet.Bits, 0u);
  const int members = 6 + 7 + 6 + 3 + 6;
  EXPECT_EQ(spy.count(), members);  // the one already unchecked changes nothing

  // A count appearing is no check change.
  std::array<int32_t, kNetworkCounterCount> counters{};
  counters[kCountPhyFirst + 10] = 2;
  tree.UpdateCounts(&counters);
  EXPECT_EQ(spy.count(), members);

  tree.CheckAll();
  EXPECT_EQ(o.FilterPhySet, kAllPhyTypes);
  EXPECT_EQ(o.FilterWLANSecuritySet, kAllSecurityKinds);
  EXPECT_EQ(o.FilterFrequencyBandSet, kAllBands);
  EXPECT_EQ(o.FilterChannelWidthSet, kAllChannelWidths);
  EXPECT_EQ(o.FilterLinkQualityIndicatorSet, kAllQualityClasses);
  EXPECT_EQ(spy.count(), 2 * members);
}

}  // namespace
}  // namespace skimlet::ui

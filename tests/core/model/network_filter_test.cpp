#include "core/model/network_filter.h"

#include <gtest/gtest.h>

#include <memory>

namespace skimlet {
namespace {

std::unique_ptr<TWLANNetwork> Net(std::string ssid, std::string comment = {}) {
  auto p = std::make_unique<TWLANNetwork>();
  TWLANNetwork& n = *p;
  n.SSID = std::move(ssid);
  n.Comment = std::move(comment);
  n.Active = true;
  n.QualityClass = 4;
  n.PhyTypes.Add(7);
  n.SecurityKinds.Add(4);
  return p;
}

TEST(NetworkFilter, FindTextMatchesSSIDOrCommentWithoutRegardToCase) {
  TProgramOptions o;
  const auto home = Net("MyHOME"), office = Net("net", "home office"), other = Net("cafe"), hidden = Net("", "Home"),
             greek = Net("ΚΑΦΕ Straße"), hiddenNoComment = Net("");
  struct Case {
    const char* find;
    const TWLANNetwork* n;
    bool passes;
  } cases[] = {
      {"home", home.get(), true},   {"home", office.get(), true},           {"home", other.get(), false},
      {"home", hidden.get(), true}, {"home", hiddenNoComment.get(), false}, {"", other.get(), true},
      {"καφε", greek.get(), true},  {"STRASSE", greek.get(), false},        {"strA", greek.get(), true},
      {"\xFF", other.get(), false},  // not UTF-8: matches only itself
  };
  for (const auto& c : cases) EXPECT_EQ(NetworkPassesFilter(*c.n, o, c.find), c.passes) << c.find << " " << c.n->SSID;
  EXPECT_EQ(FoldCase("\xC4\x80\xC3\x89Z"), U"\u0101\u00E9z");
}

TEST(NetworkFilter, SetsDecideInOrderAndFullSetsLetEmptyOnesThrough) {
  TProgramOptions o;
  const auto ownedN = Net("x"), ownedBare = Net("bare");
  TWLANNetwork& n = *ownedN;
  TWLANNetwork& bare = *ownedBare;
  bare.PhyTypes = {};
  bare.SecurityKinds = {};
  EXPECT_TRUE(NetworkPassesFilter(n, o, {}));
  EXPECT_TRUE(NetworkPassesFilter(bare, o, {}));

  o.FilterPhySet = TFilterSet::Of({10});  // HE only
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
  EXPECT_FALSE(NetworkPassesFilter(bare, o, {}));
  n.PhyTypes.Add(10);
  EXPECT_TRUE(NetworkPassesFilter(n, o, {}));
  o.FilterPhySet = kAllPhyTypes;
  EXPECT_TRUE(NetworkPassesFilter(bare, o, {}));

  o.FilterWLANSecuritySet = TFilterSet::Of({5, 6});
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
  EXPECT_FALSE(NetworkPassesFilter(bare, o, {}));
  o.FilterWLANSecuritySet = kAllSecurityKinds;

  o.FilterFrequencyBandSet = TFilterSet::Of({0, 1});
  n.Band = 2;
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
  n.Band = 1;
  o.FilterChannelWidthSet = TFilterSet::Of({0, 1, 2, 3, 4});
  n.ChannelWidth = 5;
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
}

TEST(NetworkFilter, InactiveNetworksAreOfflineButAPinnedConnectionAlwaysPasses) {
  TProgramOptions o;
  o.FilterLinkQualityIndicatorSet.Remove(0);
  const auto owned = Net("x");
  TWLANNetwork& n = *owned;
  EXPECT_TRUE(NetworkPassesFilter(n, o, {}));
  n.Active = false;
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
  n.Connected = true;
  o.bPinConnectedToTop = false;
  EXPECT_FALSE(NetworkPassesFilter(n, o, {}));
  o.bPinConnectedToTop = true;
  EXPECT_TRUE(NetworkPassesFilter(n, o, "no such text"));

  // Without the sets only the pin and the find text count.
  TNetworkFilter f(o, "x");
  n.Connected = false;
  EXPECT_FALSE(f.Passes(n));
  f.SetUseSets(false);
  EXPECT_TRUE(f.Passes(n));
  f.SetFindText("y");
  EXPECT_FALSE(f.Passes(n));
}

}  // namespace
}  // namespace skimlet

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/base/datetime.h"
#include "core/model/columns.h"
#include "core/settings/options.h"
#include "core/settings/xml_storage.h"
#include "network_test_support.h"

namespace skimlet {
namespace {

using namespace skimlet::testing;

class Columns : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSeenTimeClock([] { return EncodeLocalDateTime(2024, 5, 17, 15, 0, 0); });
  }
  void TearDown() override { SetSeenTimeClock(nullptr); }

  // A WPA2 access point on 5 GHz channel 36 at 80 MHz with WPS, load, country and two streams.
  static std::unique_ptr<TWLANNetwork> Sample(bool active) {
    ElementBuilder b;
    b.Add(1, {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C});
    b.Add(45, HTCapabilities(true, true, true, 0xFFFF)).Add(61, HTOperation(36, 1));
    b.Add(191, VHTCapabilities(true, false, 0xFFFA, 0xFFFA)).Add(192, {1, 42, 0});
    b.Add(48, RSN(4, {4}, {2}));
    b.AddVendor(0x0050F2, 4, WPSAttributes(2, false, 0x10, 0x20, "Office AP", "Maker"));
    auto n = MakeNetwork(b, {.CenterFrequency = 5180000, .Active = active, .RSSI = -55});
    n->SSID = "Office";
    n->BssType = 1;
    n->BSSIDText = "00-1A-2B-3C-4D-5E";
    n->Comment = "meeting room";
    n->Vendor = "Maker Inc.";
    n->LinkQuality = active ? 90 : 0;
    n->ChannelUtilization = 12;
    n->StationCount = 3;
    n->CountryCode = "DE";
    n->FirstSeen = EncodeLocalDateTime(2024, 5, 16, 9, 5, 7);
    n->LastSeen = EncodeLocalDateTime(2024, 5, 17, 14, 59, 58);
    return n;
  }

  EnglishUnits units_;
};

TEST_F(Columns, TextsOfAnActiveNetwork) {
  auto n = Sample(true);
  const char* expected[NetworkColumnCount] = {"",
                                              "Office",
                                              "00-1A-2B-3C-4D-5E",
                                              "meeting room",
                                              "Maker Inc.",
                                              "-55 dBm",
                                              "90%",
                                              "sdot11_BSS_type_infrastructure",
                                              "a, n, ac",
                                              "42[36]",
                                              "5 GHz",
                                              "5.210 GHz",
                                              "80 MHz",
                                              "2x2",
                                              "12%",
                                              "3",
                                              "WPA2",
                                              "CCMP",
                                              "WPA2-PSK",
                                              "Configured",
                                              "2.0",
                                              "Office AP",
                                              "",
                                              "",
                                              "Maker",
                                              "DE",
                                              "520 Mbps",
                                              "6 Mbps",
                                              "866.7 Mbps",
                                              nullptr,
                                              "2024-05-16 09:05:07",
                                              "14:59:58",
                                              "No",
                                              ""};
  for (int c = 0; c < NetworkColumnCount; ++c) {
    if (!expected[c]) continue;
    EXPECT_EQ(n->GetColumnText(c), expected[c]) << "column " << c;
  }
  EXPECT_EQ(n->GetColumnText(29).substr(0, 24), "6; 9; 12; 15; 18; 24; 30");
  EXPECT_EQ(n->GetColumnText(-1), "");
  EXPECT_EQ(n->GetColumnText(NetworkColumnCount), "");
}

TEST_F(Columns, InactiveNetworkHidesWhatIsNoLongerMeasured) {
  auto active = Sample(true);
  auto n = Sample(false);
  for (int c : {5, 6, 14, 15, 26}) EXPECT_EQ(n->GetColumnText(c), "") << "column " << c;
  for (int c : {1, 9, 12, 13, 16, 27, 28, 29, 30, 31})
    EXPECT_EQ(n->GetColumnText(c), active->GetColumnText(c)) << "column " << c;
}

TEST_F(Columns, UnknownAndEmptyValues) {
  auto n = Sample(true);
  n->ChannelUtilization = -1;
  n->StationCount = -1;
  n->TxStreams = 0;
  n->SSID = "   ";
  EXPECT_EQ(n->GetColumnText(14), "");
  EXPECT_EQ(n->GetColumnText(15), "");
  EXPECT_EQ(n->GetColumnText(13), "");
  EXPECT_EQ(n->GetColumnText(1), "<Hidden network>");
  n->SSID.clear();
  EXPECT_EQ(n->GetColumnText(1), "<Hidden network>");
  n->AchievableRate = 0;
  EXPECT_EQ(n->GetColumnText(26), "");
}

TEST(SeenTime, DateShownUnlessToday) {
  const LocalDateTime now = EncodeLocalDateTime(2024, 3, 1, 0, 30, 0);
  EXPECT_EQ(SeenTimeText(EncodeLocalDateTime(2024, 3, 1, 0, 0, 1), now), "00:00:01");
  EXPECT_EQ(SeenTimeText(EncodeLocalDateTime(2024, 2, 29, 23, 59, 59), now), "2024-02-29 23:59:59");
  // A day fraction a hair below midnight is midnight of the next day.
  EXPECT_EQ(SeenTimeText(EncodeLocalDateTime(2024, 3, 1) - 1e-10, now), "00:00:00");
  EXPECT_EQ(SeenTimeText(EncodeLocalDateTime(1899, 12, 29, 6, 0, 0), now), "1899-12-29 06:00:00");
  EXPECT_EQ(SeenTimeText(0, now), "1899-12-30 00:00:00");
  EXPECT_EQ(SeenTimeText(std::nan(""), now), "");
  EXPECT_EQ(SeenTimeText(1e300, now), "");
}

TEST_F(Columns, SortKeys) {
  auto a = Sample(true);
  auto b = Sample(true);
  b->SSID = "office";
  EXPECT_EQ(CompareNetworks(*a, *b, 1), 0);  // letter case does not count
  b->SSID = "Printer";
  EXPECT_LT(CompareNetworks(*a, *b, 1), 0);
  b->SSID = "";
  EXPECT_LT(CompareNetworks(*b, *a, 1), 0);  // "<Hidden network>" before letters

  // Active before inactive, whatever the value.
  b = Sample(false);
  b->RSSI = -30;
  b->LinkQuality = 100;
  for (int c : {5, 6, 14, 15}) {
    EXPECT_GT(CompareNetworks(*a, *b, c), 0) << c;
    EXPECT_LT(CompareNetworks(*b, *a, c), 0) << c;
  }
  b->Active = true;
  EXPECT_LT(CompareNetworks(*a, *b, 5), 0);

  b = Sample(true);
  b->PhyTypes = {};
  b->PhyTypes.Add(10);
  EXPECT_LT(CompareNetworks(*a, *b, 8), 0);
  b->Channel = 149;
  EXPECT_LT(CompareNetworks(*a, *b, 9), 0);
  b->TxStreams = 4;
  b->RxStreams = 1;
  EXPECT_LT(CompareNetworks(*a, *b, 13), 0);  // 2 + 2 streams against 4 + 1
  b->AchievableRate = a->AchievableRate + 0.1;
  EXPECT_LT(CompareNetworks(*a, *b, 26), 0);
  b->FirstSeen = a->FirstSeen - 1;
  EXPECT_GT(CompareNetworks(*a, *b, 30), 0);
  b->DeviceName = "office ap";
  EXPECT_EQ(CompareNetworks(*a, *b, 21), 0);
  EXPECT_EQ(CompareNetworks(*a, *b, 0), 0);
  EXPECT_EQ(CompareNetworks(*a, *b, 99), 0);
}

TEST_F(Columns, SortingBySignalPutsInactiveNetworksFirstInAscendingOrder) {
  std::vector<std::unique_ptr<TWLANNetwork>> list;
  const std::pair<int, bool> signals[] = {{-70, true}, {-40, false}, {-50, true}, {-90, false}};
  for (auto [rssi, active] : signals) {
    list.push_back(Sample(active));
    list.back()->RSSI = rssi;
  }
  std::stable_sort(list.begin(), list.end(), [](auto& x, auto& y) { return CompareNetworks(*x, *y, 5) < 0; });
  std::vector<int> order;
  for (auto& n : list) order.push_back(n->RSSI);
  EXPECT_EQ(order, (std::vector<int>{-90, -40, -70, -50}));
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// The named columns carry the defaults the stored layout starts from, and their titles the language keys.
TEST(ColumnTable, AgreesWithTheDefaultLayoutAndTheTitleKeys) {
  const TColumnLayout defaults = DefaultNetworkListLayout();
  ASSERT_EQ(defaults.size(), kNetworkColumnCount);
  for (size_t i = 0; i < kNetworkColumnCount; ++i) {
    const TNetworkColumnInfo& c = NetworkColumns()[i];
    EXPECT_EQ(ColumnIndex(c.Id), static_cast<int>(i));
    EXPECT_EQ(c.TitleKey, "ListColumns" + std::to_string(i));
    EXPECT_EQ(c.DefaultWidth, defaults[i].Width) << i;
    EXPECT_EQ(static_cast<int32_t>(c.DefaultAlignment), defaults[i].Alignment) << i;
    EXPECT_EQ(c.SortKey == TColumnSortKey::None, c.Id == TNetworkColumn::Marker) << i;
    // Only the columns added after the first 32 start hidden.
    EXPECT_EQ(c.HiddenByDefault, !defaults[i].Visible) << i;
    EXPECT_EQ(c.HiddenByDefault, i >= kClassicNetworkColumnCount) << i;
  }
  EXPECT_EQ(NetworkColumnInfo(TNetworkColumn::SignalQuality).TitleKey, "ListColumns6");
  EXPECT_EQ(NetworkColumnInfo(TNetworkColumn::SpatialStreams).DefaultAlignment, TColumnAlignment::Center);
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

namespace fs = std::filesystem;

// A layout stored when the list had 32 columns keeps its columns and shows the two added ones hidden; a
// layout written now names the first 32 columns as before and keeps the added ones' visibility.
TEST(ColumnTable, StoredLayoutsOfBothWidths) {
  const fs::path dir = fs::temp_directory_path() / ("skimlet-columns-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string old = "<Options><ListColumns>";
  for (int i = 0; i < 32; ++i)
    old += "<Visible" + std::to_string(i) + ">" + (i == 4 ? "0" : "1") + "</Visible" + std::to_string(i) + ">";
  old += "<Width7>140</Width7></ListColumns></Options>";
  { std::ofstream(dir / "old.xml") << old; }
  TXMLStorage oldFile(dir / "old.xml");
  ASSERT_EQ(oldFile.Load(), "");
  TProgramOptions options;
  options.Layouts.ListColumns[33].Visible = true;  // what the struct held does not count
  ReadOptions(oldFile, options, std::nullopt);
  const TColumnLayout& read = options.Layouts.ListColumns;
  ASSERT_EQ(read.size(), kNetworkColumnCount);
  EXPECT_FALSE(read[4].Visible);
  EXPECT_TRUE(read[31].Visible);
  EXPECT_EQ(read[7].Width, 140);
  for (TNetworkColumn c : {TNetworkColumn::PMF, TNetworkColumn::Roaming}) {
    const size_t i = static_cast<size_t>(c);
    EXPECT_FALSE(read[i].Visible) << i;
    EXPECT_EQ(read[i].Position, static_cast<int32_t>(i));
    EXPECT_EQ(read[i].Width, NetworkColumnInfo(c).DefaultWidth);
  }

  options.Layouts.ListColumns[ColumnIndex(TNetworkColumn::Roaming)].Visible = true;
  {
    TXMLStorage s(dir / "new.xml");
    ASSERT_EQ(s.Load(), "");
    WriteOptions(s, options);
    ASSERT_EQ(s.Save(), "");
  }
  TXMLStorage newFile(dir / "new.xml");
  ASSERT_EQ(newFile.Load(), "");
  TProgramOptions again;
  ReadOptions(newFile, again, std::nullopt);
  EXPECT_FALSE(again.Layouts.ListColumns[4].Visible);
  EXPECT_FALSE(again.Layouts.ListColumns[ColumnIndex(TNetworkColumn::PMF)].Visible);
  EXPECT_TRUE(again.Layouts.ListColumns[ColumnIndex(TNetworkColumn::Roaming)].Visible);
  // The first 32 columns are stored under the keys they always had.
  EXPECT_EQ(newFile.ReadBool("ListColumns", "Visible4", true), false);
  EXPECT_EQ(newFile.ReadInteger("ListColumns", "Width7", 0), 140);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// Scripts choose columns by these names: each is unique, lower-case words joined by "_", and finds its column.
TEST(ColumnNames, AreUniqueAndFindTheirColumn) {
  std::vector<std::string_view> seen;
  for (const TNetworkColumnInfo& c : NetworkColumns()) {
    const std::string_view name = NetworkColumnName(c.Id);
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string_view::npos) << name;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), name), 0) << name;
    seen.push_back(name);
    EXPECT_EQ(NetworkColumnByName(name), c.Id) << name;
  }
  EXPECT_EQ(NetworkColumnName(TNetworkColumn::SignalStrength), "signal");
  EXPECT_EQ(NetworkColumnName(TNetworkColumn::Roaming), "roaming");
  EXPECT_FALSE(NetworkColumnByName("Signal"));
  EXPECT_FALSE(NetworkColumnByName(""));
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// The marker and SSID columns are locked: a stored layout that hides them still shows them, the others keep
// what the file says.
TEST(ColumnTable, LockedColumnsStayVisible) {
  const fs::path dir = fs::temp_directory_path() / ("skimlet-locked-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "o.xml") << "<Options><ListColumns><Visible0>0</Visible0><Visible1>0</Visible1>"
                                  "<Visible2>0</Visible2></ListColumns></Options>";
  TXMLStorage file(dir / "o.xml");
  ASSERT_EQ(file.Load(), "");
  TProgramOptions options;
  ReadOptions(file, options, std::nullopt);
  const TColumnLayout& read = options.Layouts.ListColumns;
  EXPECT_TRUE(read[0].Visible && read[0].Locked);
  EXPECT_TRUE(read[1].Visible && read[1].Locked);
  EXPECT_FALSE(read[2].Visible || read[2].Locked);
  for (int c = -1; c <= static_cast<int>(kNetworkColumnCount); ++c)
    EXPECT_EQ(NetworkColumnLocked(c), c == 0 || c == 1) << c;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace skimlet

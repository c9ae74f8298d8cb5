// Merging BSS lists into network records, ageing, samples, counters, colours, comments and vendors.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "core/base/atomic_file.h"
#include "core/model/network_list.h"
#include "core/model/snapshot.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"

namespace skimlet {
namespace {

namespace fs = std::filesystem;
using test::MakeEntry;
using test::Refresh;

const LocalDateTime kT0 = EncodeLocalDateTime(2026, 12, 10, 12, 0, 0);

class NetworkList : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-list-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::unique_ptr<TWLANNetworkList> NewList(bool withFiles = false) {
    auto list = std::make_unique<TWLANNetworkList>(options_, withFiles ? dir_ : fs::path());
    list->VendorLookup = [](const std::array<uint8_t, 6>& b) { return b[5] == 0xEE ? "" : std::string("Vendor Inc."); };
    return list;
  }
  std::string ReadFile(const char* name) {
    std::string s;
    ReadWholeFile(dir_ / name, s);
    return s;
  }
  TProgramOptions options_;
  fs::path dir_;
};

TEST_F(NetworkList, TheSameBSSIDInTwoRefreshesIsOneRecord) {
  auto list = NewList();
  Refresh(*list, kT0, {{MakeEntry(1, -60, 2412000, "Cafe"), {}}});
  Refresh(*list, AddSeconds(kT0, 3), {{MakeEntry(1, -55, 2412000, "Cafe"), {}}, {MakeEntry(2), {}}});
  ASSERT_EQ(list->Count(), 2);
  const TWLANNetwork& n = *list->Items[0];
  EXPECT_EQ(n.FirstSeen, kT0);
  EXPECT_EQ(n.LastSeen, AddSeconds(kT0, 3));
  EXPECT_EQ(n.RSSI, -55);
  EXPECT_EQ(n.SSID, "Cafe");
  EXPECT_EQ(n.BSSIDText, "00-11-22-33-00-01");
  EXPECT_EQ(n.Vendor, "Vendor Inc.");
  EXPECT_EQ(n.Channel, 1u);
  EXPECT_EQ(n.Band, 0);
  EXPECT_TRUE(n.Privacy);
  EXPECT_EQ(n.TypedSeries().Count(), 2u);
  EXPECT_EQ(list->Items[1]->FirstSeen, AddSeconds(kT0, 3));
}

TEST_F(NetworkList, NetworksAgeToInactiveAndKeepTheirSignal) {
  auto list = NewList();
  Refresh(*list, kT0, {{MakeEntry(1, -60), {}}});
  list->UpdateStatuses(AddSeconds(kT0, 10.5));
  EXPECT_TRUE(list->Items[0]->Active);
  EXPECT_EQ(list->Items[0]->LinkQuality, 80u);
  // A refresh whose list could not be fetched still ages the networks.
  list->UpdateStatuses(AddSeconds(kT0, 11));
  const TWLANNetwork& n = *list->Items[0];
  EXPECT_FALSE(n.Active);
  EXPECT_EQ(n.LinkQuality, 0u);
  EXPECT_EQ(n.QualityClass, 0);
  EXPECT_EQ(n.RSSI, -60);
  EXPECT_EQ(list->Counters[kCountActive], 0);
  EXPECT_EQ(list->Counters[kCountQualityFirst + 0], 1);
  EXPECT_FALSE(n.TypedSeries().Newest().Active);
}

TEST_F(NetworkList, SSIDElementNamesTheNetworkAndHiddenNetworksAreCounted) {
  auto list = NewList();
  Refresh(*list, kT0,
          {{MakeEntry(1, -60, 2412000, ""), ElementBuilder().AddText(0, "FromElement").Blob()},
           {MakeEntry(2, -60, 5180000, ""), ElementBuilder().Add(0, {0, 0, 0}).Blob()}});
  EXPECT_EQ(list->Items[0]->SSID, "FromElement");
  EXPECT_EQ(list->Items[0]->TypedSeries().Caption, "FromElement");
  EXPECT_EQ(list->Items[1]->SSID, "");
  EXPECT_EQ(list->Items[1]->Band, 1);
  EXPECT_EQ(list->Counters[kCountAll], 2);
  EXPECT_EQ(list->Counters[kCountHidden], 1);
  EXPECT_EQ(list->Counters[kCountBandFirst + 0], 1);
  EXPECT_EQ(list->Counters[kCountBandFirst + 1], 1);
  EXPECT_EQ(list->Counters[kCountWPSStateFirst + 0], 2);
}

TEST_F(NetworkList, ConnectedMarkFollowsTheConnection) {
  auto list = NewList();
  list->ConnectedBSSIDText = "00-11-22-33-00-02";
  Refresh(*list, kT0, {{MakeEntry(1), {}}, {MakeEntry(2), {}}});
  EXPECT_FALSE(list->Items[0]->Connected);
  EXPECT_TRUE(list->Items[1]->Connected);
  list->ConnectedBSSIDText.clear();
  list->UpdateStatuses(kT0);
  EXPECT_FALSE(list->Items[1]->Connected);
}

// The counters describe the list as it is, also when it changes between refreshes (the status bar and the
// report read them while the updating is paused).
TEST_F(NetworkList, CountersFollowDeletionsClearAndSnapshotLoads) {
  auto list = NewList();
  Refresh(*list, kT0,
          {{MakeEntry(1, -60, 2412000, "a"), {}},
           {MakeEntry(2, -60, 2412000, ""), {}},
           {MakeEntry(3, -60, 5180000, "c"), {}}});
  Refresh(*list, AddSeconds(kT0, 3600), {{MakeEntry(3, -60, 5180000, "c"), {}}});  // 1 and 2 inactive
  auto counts = [&list] {
    return std::vector<int32_t>{list->Counters[kCountAll], list->Counters[kCountActive], list->Counters[kCountHidden],
                                list->Counters[kCountBandFirst], list->Counters[kCountBandFirst + 1]};
  };
  EXPECT_EQ(counts(), (std::vector<int32_t>{3, 1, 1, 2, 1}));
  list->Delete(1);  // the hidden one
  EXPECT_EQ(counts(), (std::vector<int32_t>{2, 1, 0, 1, 1}));
  const std::string path = (dir_ / "counters.snapshot").string();
  ASSERT_EQ(SaveSnapshot(*list, path, AddSeconds(kT0, 3600)), "");
  list->Clear();
  EXPECT_EQ(counts(), (std::vector<int32_t>{0, 0, 0, 0, 0}));
  EXPECT_EQ(LoadSnapshot(*list, path).Loaded, 2u);
  EXPECT_EQ(counts(), (std::vector<int32_t>{2, 1, 0, 1, 1}));
}

TEST_F(NetworkList, ColoursAndCommentsSurviveInTheirFiles) {
  ASSERT_EQ(WriteFileAtomic(dir_ / "colors.txt", std::string_view("00-11-22-33-00-02=255\r\n00-11-22-33-00-03=-5\r\n"
                                                                  "00-11-22-33-00-04=red\r\n")),
            "");
  ASSERT_EQ(WriteFileAtomic(dir_ / "comments.txt", std::string_view("00-11-22-33-00-01=Lobby AP\r\n")), "");
  {
    auto list = NewList(true);
    Refresh(*list, kT0, {{MakeEntry(1), {}}, {MakeEntry(2), {}}, {MakeEntry(3), {}}, {MakeEntry(4), {}}});
    EXPECT_EQ(list->Items[0]->Comment, "Lobby AP");
    EXPECT_EQ(list->Items[0]->GetColor(), PaletteColor(0));
    EXPECT_EQ(list->Items[1]->GetColor(), 255u);             // stored
    EXPECT_EQ(list->Items[2]->GetColor(), PaletteColor(2));  // negative: generated, stored over
    EXPECT_EQ(list->Items[3]->GetColor(), PaletteColor(3));  // not a number
    list->Items[0]->SetComment("");
    list->Items[1]->SetComment("Roof\nnorth");
    // Clearing restarts the sequence; stored colours come back.
    list->Clear();
    Refresh(*list, kT0, {{MakeEntry(9), {}}, {MakeEntry(2), {}}});
    EXPECT_EQ(list->Items[0]->GetColor(), PaletteColor(0));
    EXPECT_EQ(list->Items[1]->GetColor(), 255u);
  }
  EXPECT_EQ(ReadFile("comments.txt"), "00-11-22-33-00-02=Roof north\r\n");
  std::string colors = ReadFile("colors.txt");
  EXPECT_NE(colors.find("00-11-22-33-00-03=" + std::to_string(PaletteColor(2)) + "\r\n"), std::string::npos) << colors;
  EXPECT_NE(colors.find("00-11-22-33-00-09="), std::string::npos);
}

TEST_F(NetworkList, ColourListIsTrimmedFromTheTop) {
  auto list = NewList();
  for (int i = 0; i < 1005; ++i) list->Colors.Set("name" + std::to_string(i), "1");
  Refresh(*list, kT0, {{MakeEntry(1), {}}});
  EXPECT_EQ(list->Colors.Count(), 1005u);  // one removed, one added
  EXPECT_EQ(list->Colors.Name(0), "name1");
  EXPECT_TRUE(list->Colors.Contains("00-11-22-33-00-01"));
}

TEST_F(NetworkList, AFailingVendorLookupLosesNothingAndIsReportedOnce) {
  auto list = NewList();
  list->VendorLookup = [](const std::array<uint8_t, 6>&) -> std::string { throw std::runtime_error("no database"); };
  std::vector<std::string> reports;
  list->OnVendorError = [&](const std::string& m) { reports.push_back(m); };
  Refresh(*list, kT0, {{MakeEntry(1), {}}, {MakeEntry(2), {}}, {MakeEntry(3), {}}});
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Items[2]->Vendor, "");
  EXPECT_EQ(reports, std::vector<std::string>{"no database"});
}

TEST_F(NetworkList, EntriesOutsideTheBlockAreSkipped) {
  auto list = NewList();
  std::vector<uint8_t> block =
      test::MakeBssList({{MakeEntry(1), {0x00, 0x01, 'A'}}, {MakeEntry(2), {0x00, 0x01, 'B'}}});
  block[4] = 5;                // claims five entries, holds two
  block[8 + 360 + 356] = 200;  // the second blob runs past the block
  list->RefreshTime = kT0;
  list->SetBssList(block);
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Items[0]->SSID, "A");
  // Merging again re-derives from the held list without new records.
  list->Merge();
  EXPECT_EQ(list->Count(), 1);
}

}  // namespace
}  // namespace skimlet

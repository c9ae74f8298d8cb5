#include "core/settings/options.h"

#include <gtest/gtest.h>

#include <map>

#include "core/model/columns.h"
#include "core/settings/lang.h"
#include "core/settings/xml_storage.h"
#include "temp_folder.h"

namespace skimlet {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

// The options are read by programs that have the network model: its column registry gives the network list's
// defaults, as in the programs.
[[maybe_unused]] const bool kListDefaults = (SetNetworkListDefaults(&DefaultNetworkColumnLayout), true);

TEST(FilterSets, ReadKeepsMembersOfTheRangeAndFallsBackToAll) {
  struct Case {
    std::optional<std::string> text;
    TFilterSet expected;
  } cases[] = {
      {"[4,7,9,10]", TFilterSet::Of({4, 7, 10})},
      {"[]", TFilterSet{}},
      {"4,7", kAllPhyTypes},
      {std::nullopt, kAllPhyTypes},
      {"[", kAllPhyTypes},
      {"[ 5 , x, -1, 10,,99999999999 ]", TFilterSet::Of({5, 10})},
      {"[4]", TFilterSet::Of({4})},
  };
  for (const Case& c : cases) EXPECT_EQ(FilterSetFromText(c.text, kAllPhyTypes), c.expected) << c.text.value_or("-");
  EXPECT_EQ(FilterSetToText(kAllQualityClasses), "[0,1,2,3,4,5]");
  EXPECT_EQ(FilterSetToText(TFilterSet{}), "[]");
}

TEST(Options, TheShippedFileHoldsEveryKeyAtItsDefault) {
  TempFolder dir;
  TXMLStorage s(dir / "options.xml");
  ASSERT_EQ(s.Load(), "");
  WriteOptions(s, TProgramOptions{});
  ASSERT_EQ(s.Save(), "");
  EXPECT_EQ(ReadText(dir / "options.xml"), ReadText(std::string(SKIMLET_SOURCE_DIR) + "/data/Default/options.xml"));
}

TEST(Options, RoundTripAndBadValuesReadAsDefaults) {
  TempFolder dir;
  TProgramOptions o;
  o.DefaultLang = "a&b.lng";
  o.bHorzGrid = true;
  o.DeltaTimeInactive = 20;
  o.DefaultNoiseLevel = -95;
  o.FilterPhySet = TFilterSet::Of({7, 10});
  o.MainWindowLeft = 33;
  o.Layouts.ListColumns[3].Width = 120;
  o.Layouts.ListColumns[3].Sorted = true;
  o.Layouts.WLANStatisticsPhyColumns[8].Visible = false;
  {
    TXMLStorage s(dir / "o.xml");
    ASSERT_EQ(s.Load(), "");
    WriteOptions(s, o);
    ASSERT_EQ(s.Save(), "");
  }
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  TProgramOptions r;
  ReadOptions(s, r, std::nullopt);
  EXPECT_EQ(r.DefaultLang, "a&b.lng");
  EXPECT_TRUE(r.bHorzGrid);
  EXPECT_EQ(r.DeltaTimeInactive, 20);
  EXPECT_EQ(r.DefaultNoiseLevel, -95);
  EXPECT_EQ(r.FilterPhySet, TFilterSet::Of({7, 10}));
  EXPECT_EQ(r.MainWindowLeft, 33);
  EXPECT_EQ(r.Layouts.ListColumns[3].Width, 120);
  EXPECT_TRUE(r.Layouts.ListColumns[3].Sorted);
  EXPECT_FALSE(r.Layouts.WLANStatisticsPhyColumns[8].Visible);
  EXPECT_EQ(r.Layouts.ListColumns[31].Position, 31);

  // Values that do not read take the key's default, not what the struct held before.
  WriteText(dir / "bad.xml",
            "<Options><Defaults><DeltaTimeInactive>ten</DeltaTimeInactive><bShowFilters>no</bShowFilters>"
            "<DefaultLang>../../etc/passwd</DefaultLang><FilterBandSet>[0]</FilterBandSet></Defaults>"
            "<ListColumns><Position5>x</Position5></ListColumns></Options>");
  TXMLStorage bad(dir / "bad.xml");
  ASSERT_EQ(bad.Load(), "");
  ReadOptions(bad, r, std::nullopt);
  EXPECT_EQ(r.DeltaTimeInactive, 10);
  EXPECT_TRUE(r.bShowFilters);
  EXPECT_EQ(r.DefaultLang, "english.lng");
  EXPECT_FALSE(r.bHorzGrid);
  EXPECT_EQ(r.Layouts.ListColumns[5].Position, 5);
}

TEST(Options, TheMACGraphColumnIsUnicastOrMulticast) {
  TempFolder dir;
  for (auto [stored, read] : {std::pair{"2", 2}, {"1", 1}, {"0", 1}, {"3", 1}, {"-7", 1}}) {
    WriteText(dir / "mac.xml", std::string("<Options><Defaults><WLANStatisticsMACViewColumnIndex>") + stored +
                                   "</WLANStatisticsMACViewColumnIndex></Defaults></Options>");
    TXMLStorage s(dir / "mac.xml");
    ASSERT_EQ(s.Load(), "");
    TProgramOptions r;
    ReadOptions(s, r, std::nullopt);
    EXPECT_EQ(r.WLANStatisticsMACViewColumnIndex, read) << stored;
  }
}

TEST(Options, FullFilterSetsOfOlderFilesTakeInTheNewMembers) {
  TempFolder dir;
  // A file from before the 6 GHz band, 320 MHz, EHT and WPA3: its full sets still mean "everything", while a
  // narrowed set stays as narrow as it was.
  WriteText(dir / "old.xml",
            "<Options><Defaults><FilterChannelWidthSet>[0,1,2,3,4]</FilterChannelWidthSet>"
            "<FilterFrequencyBandSet>[0,1]</FilterFrequencyBandSet><FilterPhySet>[4,5,6,7,8,10]</FilterPhySet>"
            "<FilterWLANSecuritySet>[3,4]</FilterWLANSecuritySet></Defaults></Options>");
  TXMLStorage s(dir / "old.xml");
  ASSERT_EQ(s.Load(), "");
  TProgramOptions r;
  ReadOptions(s, r, std::nullopt);
  EXPECT_EQ(r.FilterChannelWidthSet, kAllChannelWidths);
  EXPECT_EQ(r.FilterFrequencyBandSet, kAllBands);
  EXPECT_EQ(r.FilterPhySet, kAllPhyTypes);
  EXPECT_EQ(r.FilterWLANSecuritySet, TFilterSet::Of({3, 4}));
  EXPECT_EQ(FilterSetToText(kAllBands), "[0,1,2]");
}

TEST(Options, ANinePhyColumnFileKeepsItsWidthsOnTheirColumnsAndTheBeColumnGoesAfterAx) {
  // Entries 7 and 8 stay the total and the description; entry 9, the 802.11be column, comes in at its default
  // width just after 802.11ax, wherever that one stands, and the graph stays on the total (now column 8).
  TempFolder dir;
  const std::string nine =
      ReadText(std::string(SKIMLET_SOURCE_DIR) + "/tests/core/settings/fixtures/options_nine_phy_columns.xml");
  std::string moved = nine;  // the description dragged to the front, the rest one place right
  for (int i = 8; i >= 0; --i) {
    const std::string from = "<Position" + std::to_string(i) + ">" + std::to_string(i) + "<";
    const std::string to = "<Position" + std::to_string(i) + ">" + std::to_string(i == 8 ? 0 : i + 1) + "<";
    moved.replace(moved.find(from), from.size(), to);
  }
  struct Case {
    const char* name;
    std::string text;
    std::vector<int32_t> positions;  // by entry
  } cases[] = {
      {"as shipped", nine, {0, 1, 2, 3, 4, 5, 6, 8, 9, 7}},
      {"reordered", moved, {1, 2, 3, 4, 5, 6, 7, 9, 0, 8}},
  };
  for (const Case& c : cases) {
    WriteText(dir / "nine.xml", c.text);
    TXMLStorage s(dir / "nine.xml");
    ASSERT_EQ(s.Load(), "");
    TProgramOptions r;
    ReadOptions(s, r, std::nullopt);
    const TColumnLayout& phy = r.Layouts.WLANStatisticsPhyColumns;
    ASSERT_EQ(phy.size(), 10u) << c.name;
    EXPECT_EQ(phy[0].Width, 120) << c.name;
    EXPECT_EQ(phy[6].Width, 66) << c.name;
    EXPECT_EQ(phy[7].Width, 91) << c.name;
    EXPECT_EQ(phy[8].Width, 333) << c.name;
    EXPECT_EQ(phy[9].Width, DefaultPhyStatisticsLayout()[9].Width) << c.name;
    EXPECT_TRUE(phy[9].Visible) << c.name;
    std::vector<int32_t> positions;
    for (const TListColumnStore& col : phy) positions.push_back(col.Position);
    EXPECT_EQ(positions, c.positions) << c.name;
    EXPECT_EQ(r.WLANStatisticsPHYViewColumnIndex, 8) << c.name;
  }

  // Columns added at the end of a layout keep their places past the file's ones (the network list's last two).
  {
    std::string list = "<Options><ListColumns>";
    for (int i = 0; i < 32; ++i) {
      const std::string key = "Position" + std::to_string(i);
      list += "<" + key + ">" + std::to_string((i + 1) % 32) + "</" + key + ">";  // the last column first
    }
    WriteText(dir / "list.xml", list + "</ListColumns></Options>");
    TXMLStorage s(dir / "list.xml");
    ASSERT_EQ(s.Load(), "");
    TProgramOptions r;
    ReadOptions(s, r, std::nullopt);
    EXPECT_EQ(r.Layouts.ListColumns[31].Position, 0);
    EXPECT_EQ(r.Layouts.ListColumns[32].Position, 32);
    EXPECT_EQ(r.Layouts.ListColumns[33].Position, 33);
    EXPECT_FALSE(r.Layouts.ListColumns[32].Visible);
  }

  // Written back, the file holds all ten, and a file that has them is taken as it is: column 7 is 802.11be.
  TProgramOptions r;
  {
    TXMLStorage s(dir / "nine.xml");
    ASSERT_EQ(s.Load(), "");
    ReadOptions(s, r, std::nullopt);
    r.WLANStatisticsPHYViewColumnIndex = 7;
    WriteOptions(s, r);
    ASSERT_EQ(s.Save(), "");
  }
  TXMLStorage s(dir / "nine.xml");
  ASSERT_EQ(s.Load(), "");
  TProgramOptions again;
  ReadOptions(s, again, std::nullopt);
  EXPECT_EQ(again.WLANStatisticsPHYViewColumnIndex, 7);
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(again.Layouts.WLANStatisticsPhyColumns[i].Position, r.Layouts.WLANStatisticsPhyColumns[i].Position) << i;
    EXPECT_EQ(again.Layouts.WLANStatisticsPhyColumns[i].Width, r.Layouts.WLANStatisticsPhyColumns[i].Width) << i;
  }
}

TEST(Options, WindowPlacement) {
  TempFolder dir;
  TProgramOptions o;
  o.MainWindowTop = 100, o.MainWindowLeft = 200, o.MainWindowWidth = 1000, o.MainWindowHeight = 700;
  {
    TXMLStorage s(dir / "o.xml");
    ASSERT_EQ(s.Load(), "");
    WriteOptions(s, o);
    ASSERT_EQ(s.Save(), "");
  }
  // Maximised at exit: the file keeps the previous normal placement and stores state 2.
  o.MainWindowState = 2;
  o.MainWindowTop = 0, o.MainWindowLeft = 0, o.MainWindowWidth = 1920, o.MainWindowHeight = 1080;
  {
    TXMLStorage s(dir / "o.xml");
    ASSERT_EQ(s.Load(), "");
    WriteOptions(s, o);
    ASSERT_EQ(s.Save(), "");
  }
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  TProgramOptions r;
  ReadOptions(s, r, TScreenSize{1920, 1080});
  EXPECT_EQ(r.MainWindowState, 2);
  EXPECT_EQ(r.MainWindowTop, 100);
  EXPECT_EQ(r.MainWindowLeft, 200);
  EXPECT_EQ(r.MainWindowWidth, 1000);
  EXPECT_EQ(r.MainWindowHeight, 700);

  // A window never placed grows to four fifths of the screen (up to 1280 x 800, within the screen) and is
  // centred on it.
  TXMLStorage fresh(dir / "none.xml");
  ASSERT_EQ(fresh.Load(), "");
  struct Case {
    TScreenSize Screen;
    int32_t Width, Height;
  };
  for (const Case& c : {Case{{1366, 767}, 1092, 613}, Case{{1920, 1080}, 1280, 800}, Case{{3840, 2160}, 1280, 800},
                        Case{{800, 600}, 800, 600}, Case{{640, 480}, 640, 480}}) {
    ReadOptions(fresh, r, c.Screen);
    EXPECT_EQ(r.MainWindowWidth, c.Width) << c.Screen.Width;
    EXPECT_EQ(r.MainWindowHeight, c.Height) << c.Screen.Width;
    EXPECT_EQ(r.MainWindowTop, c.Screen.Height / 2 - c.Height / 2) << c.Screen.Width;
    EXPECT_EQ(r.MainWindowLeft, c.Screen.Width / 2 - c.Width / 2) << c.Screen.Width;
  }
}

TEST(Folders, SwitchesChooseTheSettingsFolder) {
  EXPECT_TRUE(ParseCommandLineSwitches({"-portable"}).Portable);
  EXPECT_TRUE(ParseCommandLineSwitches({"x", "/PORTABLE"}).Portable);
  EXPECT_TRUE(ParseCommandLineSwitches({"--Portable"}).Portable);
  EXPECT_FALSE(ParseCommandLineSwitches({"portable", "-portablex"}).Portable);
  EXPECT_TRUE(ParseCommandLineSwitches({"/SystemWideConfig"}).SystemWideConfig);

  std::map<std::string, std::string> env = {{"HOME", "/home/ann"}};
  TEnvironment environment = [&](const char* name) -> std::optional<std::string> {
    auto it = env.find(name);
    if (it == env.end()) return std::nullopt;
    return it->second;
  };
  const std::filesystem::path program = "/opt/skimlet";
  EXPECT_EQ(ResolveProgramFolders(program, {}, environment).SettingsFolder, "/home/ann/.config/Brankwell/Skimlet");
  env["XDG_CONFIG_HOME"] = "relative/ignored";
  EXPECT_EQ(ResolveProgramFolders(program, {}, environment).SettingsFolder, "/home/ann/.config/Brankwell/Skimlet");
  env["XDG_CONFIG_HOME"] = "/cfg";
  auto f = ResolveProgramFolders(program, {}, environment);
  EXPECT_EQ(f.SettingsFolder, "/cfg/Brankwell/Skimlet");
  EXPECT_EQ(f.LanguagesFolder, "/cfg/Brankwell/Skimlet/languages");
  EXPECT_EQ(f.OptionsFile(), "/cfg/Brankwell/Skimlet/options.xml");
  EXPECT_EQ(ResolveProgramFolders(program, {false, true}, environment).SettingsFolder, "/etc/xdg/Brankwell/Skimlet");
  env["XDG_CONFIG_DIRS"] = ":rel:/usr/local/etc/xdg:/etc/xdg";
  EXPECT_EQ(ResolveProgramFolders(program, {false, true}, environment).SettingsFolder,
            "/usr/local/etc/xdg/Brankwell/Skimlet");
  EXPECT_EQ(ResolveProgramFolders(program, {true, true}, environment).SettingsFolder, program);
}

TEST(Folders, DataFolderOfABuildTreeAndOfAnInstalledLayout) {
  TempFolder dir;
  std::filesystem::create_directories(dir.Path / "build" / "bin" / "languages");
  EXPECT_EQ(FindDataFolder(dir.Path / "build" / "bin"), dir.Path / "build" / "bin");
  std::filesystem::create_directories(dir.Path / "usr" / "bin");
  std::filesystem::create_directories(dir.Path / "usr" / "share" / "skimlet" / "languages");
  EXPECT_EQ(FindDataFolder(dir.Path / "usr" / "bin"), dir.Path / "usr" / "share" / "skimlet");
  EXPECT_EQ(FindDataFolder(dir.Path / "usr" / "libexec" / "skimlet"), dir.Path / "usr" / "share" / "skimlet");
  auto f = ResolveProgramFolders(dir.Path / "usr" / "bin", {true, false}, ProcessEnvironment());
  EXPECT_EQ(f.DefaultFolder, dir.Path / "usr" / "share" / "skimlet" / "Default");
  EXPECT_EQ(f.ShippedLanguagesFolder(), dir.Path / "usr" / "share" / "skimlet" / "languages");
  EXPECT_EQ(f.DocumentsFolder, dir.Path / "usr" / "share" / "doc" / "skimlet");
  EXPECT_EQ(ResolveProgramFolders(dir.Path / "build" / "bin", {}, ProcessEnvironment()).DocumentsFolder,
            dir.Path / "build" / "bin");
}

struct Installation {
  TempFolder dir;
  TProgramFolders folders;
  Installation() {
    folders.ProgramFolder = folders.DataFolder = dir.Path / "prog";
    folders.DefaultFolder = folders.DataFolder / "Default";
    folders.SettingsFolder = dir.Path / "home" / "Brankwell" / "Skimlet";
    folders.LanguagesFolder = folders.SettingsFolder / "languages";
    WriteText(folders.DefaultFolder / "options.xml",
              "<?xml version=\"1.0\"?><Options><Defaults><DefaultLang>tiny.lng</DefaultLang>"
              "<DeltaTimeInactive>0x14</DeltaTimeInactive></Defaults><Extra><keep>me</keep></Extra></Options>");
    WriteText(folders.ShippedLanguagesFolder() / "tiny.lng",
              "[Translations]\nsYes=Oui\nListColumns1=Nom du réseau\nsNo\n");
  }
};

TEST(Options, FirstStartCopiesTheDefaultsAndLoadsTheLanguage) {
  Installation inst;
  TProgramOptions o;
  TLangChanger lang;
  EXPECT_TRUE(LoadOptions(inst.folders, o, lang).empty());
  EXPECT_EQ(o.DeltaTimeInactive, 20);
  EXPECT_EQ(o.DefaultLang, "tiny.lng");
  EXPECT_EQ(lang.LangFile(), (inst.folders.LanguagesFolder / "tiny.lng").string());
  EXPECT_EQ(lang.Text("sYes"), "Oui");
  // A bare key or a missing one reads in English.
  EXPECT_EQ(lang.Text("sNo"), "No");
  EXPECT_EQ(lang.Text("sWarning"), "Warning");
  EXPECT_EQ(o.Layouts.ListColumns[1].Caption, "Nom du réseau");
  EXPECT_EQ(o.Layouts.ListColumns[2].Caption, "BSSID");
  EXPECT_EQ(ReadText(inst.folders.LanguagesFolder / "tiny.lng"),
            "[Translations]\nsYes=Oui\nListColumns1=Nom du réseau\nsNo=\n");

  o.DeltaTimeInactive = 15;
  EXPECT_TRUE(SaveOptions(inst.folders, o).empty());
  std::string saved = ReadText(inst.folders.OptionsFile());
  EXPECT_NE(saved.find("<DeltaTimeInactive>15</DeltaTimeInactive>"), std::string::npos);
  EXPECT_NE(saved.find("<keep>me</keep>"), std::string::npos);
  // The shipped defaults are untouched.
  EXPECT_NE(ReadText(inst.folders.DefaultFolder / "options.xml").find("0x14"), std::string::npos);
}

TEST(Options, WithoutAnyOptionsFileEverySettingIsKeptAtExit) {
  Installation inst;
  std::filesystem::remove(inst.folders.DefaultFolder / "options.xml");
  TProgramOptions o;
  TLangChanger lang;
  EXPECT_TRUE(LoadOptions(inst.folders, o, lang).empty());
  EXPECT_EQ(o.DeltaTimeInactive, 10);
  // english.lng is nowhere: the built-in English texts stand in.
  EXPECT_EQ(lang.LangFile(), kBuiltInEnglishName);
  EXPECT_EQ(lang.Text("sYes"), "Yes");
  o.TimeWindowMinutes = 30;
  EXPECT_TRUE(SaveOptions(inst.folders, o).empty());
  TProgramOptions again;
  TLangChanger lang2;
  EXPECT_TRUE(LoadOptions(inst.folders, again, lang2).empty());
  EXPECT_EQ(again.TimeWindowMinutes, 30);
}

TEST(Options, AMalformedOptionsFileGivesDefaultsAMessageAndIsKept) {
  Installation inst;
  WriteText(inst.folders.OptionsFile(), "<Options><Defaults><DeltaTimeInactive>20");
  TProgramOptions o;
  TLangChanger lang;
  auto messages = LoadOptions(inst.folders, o, lang);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "Can't read file " + inst.folders.OptionsFile().string());
  EXPECT_EQ(messages[0].Caption, "Error!");
  EXPECT_EQ(o.DeltaTimeInactive, 10);
  EXPECT_FALSE(SaveOptions(inst.folders, o).empty());
  EXPECT_EQ(ReadText(inst.folders.OptionsFile()), "<Options><Defaults><DeltaTimeInactive>20");
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

// A stored interval of any size becomes a timer interval that fits an int; the time-window list maps stored
// minutes to its items and back.
TEST(OptionBounds, IntervalsClampAndTheTimeWindowListRoundsDown) {
  struct Case {
    int32_t stored;
    int expectedMs;
  } intervals[] = {{3, 3000},        {0, 1000}, {-5, 1000}, {3600, 3600000}, {3601, 3600000}, {INT32_MAX, 3600000},
                   {INT32_MIN, 1000}};
  for (const Case& c : intervals) EXPECT_EQ(IntervalMilliseconds(c.stored), c.expectedMs) << c.stored;

  struct Window {
    int32_t stored;
    int item;
    int32_t storedBack;
  } windows[] = {{5, 0, 5}, {15, 1, 10}, {10, 1, 10}, {60, 6, 60}, {59, 5, 50}, {0, 0, 5}, {61, 0, 5}, {-10, 0, 5}};
  for (const Window& w : windows) {
    EXPECT_EQ(TimeWindowItem(w.stored), w.item) << w.stored;
    EXPECT_EQ(TimeWindowItemMinutes(TimeWindowItem(w.stored)), w.storedBack) << w.stored;
  }
  EXPECT_EQ(kNoiseLevelRange.Clamp(-20), -70);
  EXPECT_EQ(kStreamsRange.Clamp(0), 1);
}

}  // namespace
}  // namespace skimlet

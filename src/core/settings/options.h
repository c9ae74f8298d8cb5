// The program's options: one plain struct that every part of the program reads, and its load from and save
// to options.xml in the settings folder.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/folders.h"

namespace skimlet {

class TLangChanger;
class TXMLStorage;

// A set of small numbers (0 to 31), such as the quality classes a filter lets through.
struct TFilterSet {
  uint32_t Bits = 0;

  static TFilterSet Of(std::initializer_list<int> members);
  bool Has(int member) const { return member >= 0 && member < 32 && (Bits >> member) & 1u; }
  void Add(int member) {
    if (member >= 0 && member < 32) Bits |= 1u << member;
  }
  void Remove(int member) {
    if (member >= 0 && member < 32) Bits &= ~(1u << member);
  }
  bool operator==(const TFilterSet&) const = default;
};

// The members each filter may hold; a missing or malformed stored set reads as all of them.
inline const TFilterSet kAllQualityClasses = TFilterSet::Of({0, 1, 2, 3, 4, 5});
inline const TFilterSet kAllChannelWidths = TFilterSet::Of({0, 1, 2, 3, 4, 5});
inline const TFilterSet kAllBands = TFilterSet::Of({0, 1, 2});
inline const TFilterSet kAllPhyTypes = TFilterSet::Of({4, 5, 6, 7, 8, 10, 11});
inline const TFilterSet kAllSecurityKinds = TFilterSet::Of({1, 2, 3, 4, 5, 6});
// The full sets as files written before 320 MHz, the 6 GHz band, EHT, WPA3 and OWE stored them: such a set
// still means "everything" and reads as the full set of today.
inline const TFilterSet kEarlierChannelWidths = TFilterSet::Of({0, 1, 2, 3, 4});
inline const TFilterSet kEarlierBands = TFilterSet::Of({0, 1});
inline const TFilterSet kEarlierPhyTypes = TFilterSet::Of({4, 5, 6, 7, 8, 10});
inline const TFilterSet kEarlierSecurityKinds = TFilterSet::Of({1, 2, 3, 4});

// "[1,4,7]": the members in ascending order.
std::string FilterSetToText(TFilterSet set);
// The members of Text that lie in Range; Range itself when Text is missing, shorter than two characters or not
// enclosed in "[" and "]". Items that are not numbers of the range are ignored.
TFilterSet FilterSetFromText(const std::optional<std::string>& text, TFilterSet range);

// One column of a stored table layout.
struct TListColumnStore {
  bool Visible = true;
  std::string Caption;  // from the language file
  int32_t Width = 50;
  int32_t Alignment = 0;  // 0 left, 1 right, 2 centre
  int32_t Position = 0;   // display position, 0 = leftmost
  bool Sorted = false;
  int32_t SortDirection = 0;  // 0 ascending, 1 descending
  // Always shown, whatever the file says. Not stored: it comes with the layout's defaults.
  bool Locked = false;
};

using TColumnLayout = std::vector<TListColumnStore>;

// A layout with Count columns at their defaults (column i at position i).
TColumnLayout DefaultColumnLayout(size_t count);
// The same with these widths, one per column.
TColumnLayout DefaultColumnLayout(std::initializer_list<int32_t> widths);

// The network list's defaults. Its columns are described by the column registry of the network model, which
// lies above the options and hands its layout builder over here when a program that has it starts; a program
// without the network model sees kNetworkListColumns plain columns.
inline constexpr size_t kNetworkListColumns = 34;
TColumnLayout DefaultNetworkListLayout();
void SetNetworkListDefaults(TColumnLayout (*build)());

// The PHY statistics table's stored layout keeps one entry per column under a number that never changes
// (the number of its title in the language files too); a column added later takes the next free number,
// so a file written before it still has every width on its own column. Entry i here is the number of the
// table's column i: Counter, 802.11a, b, g, n, ac, ax, be, Total, Description.
inline constexpr int kPhyStatisticsColumnIds[] = {0, 1, 2, 3, 4, 5, 6, 9, 7, 8};
inline constexpr size_t kPhyStatisticsColumnCount = std::size(kPhyStatisticsColumnIds);
// Its defaults: entry n at the display position of the table column it belongs to.
TColumnLayout DefaultPhyStatisticsLayout();

// One column of a stored table layout other than the network list's (whose columns the column registry of
// the network model describes): its stable name and its defaults. Its title key is the layout's section name
// followed by the column's number, which never changes.
struct TColumnSpec {
  std::string_view Name;
  int32_t Width = 50;
  int32_t Alignment = 0;  // 0 left, 1 right, 2 centre
  int32_t Position = -1;  // default display position; -1: its own number
};

// The layout of those columns at their defaults.
TColumnLayout DefaultLayoutOf(std::span<const TColumnSpec> columns);

// The columns of the stored layouts of the other tables, in storage order.
const std::span<const TColumnSpec> LogColumnSpecs();
const std::span<const TColumnSpec> CurrentConnectionColumnSpecs();
const std::span<const TColumnSpec> NetworkPropertiesColumnSpecs();
const std::span<const TColumnSpec> RadioStateColumnSpecs();
const std::span<const TColumnSpec> WLANProfilesColumnSpecs();
const std::span<const TColumnSpec> FilterTreeColumnSpecs();
const std::span<const TColumnSpec> WLANStatisticsMACColumnSpecs();
const std::span<const TColumnSpec> WLANStatisticsPhyColumnSpecs();

struct TColumnLayouts {
  TColumnLayout ListColumns = DefaultNetworkListLayout();
  TColumnLayout LogColumns = DefaultLayoutOf(LogColumnSpecs());
  TColumnLayout CurrentConnectionColumns = DefaultLayoutOf(CurrentConnectionColumnSpecs());
  TColumnLayout NetworkPropertiesColumns = DefaultLayoutOf(NetworkPropertiesColumnSpecs());
  TColumnLayout RadioStateColumns = DefaultLayoutOf(RadioStateColumnSpecs());
  TColumnLayout WLANProfilesColumns = DefaultLayoutOf(WLANProfilesColumnSpecs());
  TColumnLayout FilterTreeColumns = DefaultLayoutOf(FilterTreeColumnSpecs());
  TColumnLayout WLANStatisticsMACColumns = DefaultLayoutOf(WLANStatisticsMACColumnSpecs());
  TColumnLayout WLANStatisticsPhyColumns = DefaultPhyStatisticsLayout();
};

// The nine layouts in storage order: the section name (also the prefix of the column-title keys), the
// number of columns, the member holding the layout and its defaults.
struct TColumnLayoutInfo {
  std::string_view Name;
  size_t Count;
  TColumnLayout TColumnLayouts::*Layout;
  TColumnLayout (*Defaults)();
};
const std::array<TColumnLayoutInfo, 9>& ColumnLayoutTable();

struct TProgramOptions {
  // section "Defaults"
  std::string DefaultLang = "english.lng";
  bool bVertGrid = true;
  bool bHorzGrid = false;
  bool bStripped = false;
  bool bShowFilters = true;
  bool bShowScanDebugInLOG = false;
  bool bFillSelectedSeries = true;
  bool bDrawBackroundSpectrum = true;
  bool bAddSummaryToReport = true;
  bool bAddNetworksToReport = true;
  bool bAddGraphsToReport = true;
  bool bAddNetworkDetailsToReport = true;
  bool BandsOnSinglePanel = true;
  bool BandsOnSinglePanelVertically = false;
  bool bPinConnectedToTop = true;
  bool bDeleteNetworkIfNotSeen = false;
  int32_t intDeleteNetworkIfNotSeenMin = 5;
  bool CalculateAchivableRateForAP = true;
  int32_t DefUpdateInterval = 1;
  int32_t DeltaTimeInactive = 10;
  int32_t UpdateGraphInterval = 1;
  int32_t UpdateCurrentConnectionInterval = 10;
  int32_t UpdateWirelessNetworkInterval = 3;
  int32_t UpdateWirelessStatisticsInterval = 3;
  TFilterSet FilterLinkQualityIndicatorSet = kAllQualityClasses;
  TFilterSet FilterChannelWidthSet = kAllChannelWidths;
  TFilterSet FilterFrequencyBandSet = kAllBands;
  TFilterSet FilterPhySet = kAllPhyTypes;
  TFilterSet FilterWLANSecuritySet = kAllSecurityKinds;
  int32_t aLeftPanelWidth = 250;
  int32_t aTopPanelHeight = 250;
  int32_t aCurrConPanelWidth = 250;
  int32_t aRadioPanelHeight = 300;
  int32_t TimeWindowMinutes = 5;
  int32_t HexDumpViewerWidth = 650;
  int32_t DefaultNoiseLevel = -80;
  int32_t DefaultRxStreams = 2;
  int32_t DefaultTxStreams = 2;
  int32_t aWLANStatisticsMACHeight = 256;
  int32_t aWLANStatisticsPHYHeight = 256;
  int32_t WLANStatisticsMACViewColumnIndex = 1;
  int32_t WLANStatisticsPHYViewColumnIndex = 1;

  // section "Window"
  int32_t MainWindowTop = 0;  // 0: centred
  int32_t MainWindowLeft = 0;
  int32_t MainWindowWidth = 800;
  int32_t MainWindowHeight = 600;
  int32_t MainWindowState = 0;  // 0 normal, 1 minimised, 2 maximised

  TColumnLayouts Layouts;
};

struct TScreenSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// Reads every option from Storage; a missing key or a value that does not read keeps its default. With a
// screen, a stored top or left of 0 becomes the centred position.
void ReadOptions(const TXMLStorage& storage, TProgramOptions& options, std::optional<TScreenSize> screen);
// Writes every option into Storage in the file's order (the window placement only for a normal window).
void WriteOptions(TXMLStorage& storage, const TProgramOptions& options);

// Messages for the user (text and caption) from loading or saving the options.
struct TOptionsMessage {
  std::string Text;
  std::string Caption;
};

// Start of the program, before any window exists: prepares the languages folder, puts the shipped
// options.xml into a settings folder that has none, reads the options, then selects the language file
// DefaultLang of the languages folder in Lang and loads its texts and the column titles. The caller installs
// Lang as the text source. Returns the messages to show (a file that could not be read).
std::vector<TOptionsMessage> LoadOptions(const TProgramFolders& folders, TProgramOptions& options, TLangChanger& lang,
                                         std::optional<TScreenSize> screen = std::nullopt);
// End of the program: writes the options into options.xml of the settings folder, keeping every section and
// key of the file that this program does not know. Returns the messages to show (a file that could not be
// read or written; the previous file then stays as it was).
std::vector<TOptionsMessage> SaveOptions(const TProgramFolders& folders, const TProgramOptions& options);

// The column titles of the nine layouts from the current language ("ListColumns" followed by the column
// number, and likewise for the others).
void LoadColumnTitles(const TLangChanger& lang, TColumnLayouts& layouts);

// The ranges the options dialog allows. Values read from options.xml may lie outside them; whoever uses such a
// value clamps it first, so that no timer interval or period overflows.
struct TOptionRange {
  int32_t Min;
  int32_t Max;
  constexpr int32_t Clamp(int32_t value) const { return value < Min ? Min : value > Max ? Max : value; }
};
inline constexpr TOptionRange kIntervalSecondsRange{1, 3600};
inline constexpr TOptionRange kDeleteNotSeenMinutesRange{1, 1000};
inline constexpr TOptionRange kNoiseLevelRange{-100, -70};
inline constexpr TOptionRange kStreamsRange{1, 8};

// A timer interval option (seconds) as milliseconds, clamped to kIntervalSecondsRange first.
constexpr int IntervalMilliseconds(int32_t seconds) { return kIntervalSecondsRange.Clamp(seconds) * 1000; }

// The time-window list of the options dialog: item 0 is 5 minutes, item n is n * 10 minutes (up to 60).
inline constexpr int kTimeWindowItemCount = 7;
// The item that shows Minutes: 0 for a value outside 1 to 60, else Minutes div 10.
constexpr int TimeWindowItem(int32_t minutes) { return minutes < 1 || minutes > 60 ? 0 : minutes / 10; }
// The minutes an item stands for.
constexpr int32_t TimeWindowItemMinutes(int item) { return item <= 0 ? 5 : item * 10; }

// DefaultLang as a file name of the languages folder: a value with a path in it is not one.
bool IsPlainFileName(std::string_view name);

}  // namespace skimlet

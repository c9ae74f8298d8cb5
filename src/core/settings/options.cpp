#include "core/settings/options.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <variant>

#include "core/base/atomic_file.h"
#include "core/settings/lang.h"
#include "core/settings/xml_storage.h"

namespace skimlet {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaults = "Defaults";
constexpr std::string_view kWindow = "Window";

struct TFilterMember {
  TFilterSet TProgramOptions::*Member;
  TFilterSet Range;
  TFilterSet Earlier;  // the full set of older files, read as Range
};
using TOptionMember = std::variant<bool TProgramOptions::*, int32_t TProgramOptions::*, TFilterMember>;
struct TOptionKey {
  std::string_view Name;
  TOptionMember Member;
};

#define SKIMLET_KEY(name) \
  TOptionKey { #name, &TProgramOptions::name }
#define SKIMLET_FILTER(name, range, earlier)                        \
  TOptionKey {                                                      \
#name, TFilterMember { &TProgramOptions::name, range, earlier } \
  }

// The keys of the section "Defaults" after DefaultLang, in the file's order.
const std::vector<TOptionKey>& DefaultsKeys() {
  static const std::vector<TOptionKey> keys = {
      SKIMLET_KEY(bVertGrid),
      SKIMLET_KEY(bHorzGrid),
      SKIMLET_KEY(bStripped),
      SKIMLET_KEY(bShowFilters),
      SKIMLET_KEY(bShowScanDebugInLOG),
      SKIMLET_KEY(bFillSelectedSeries),
      SKIMLET_KEY(bDrawBackroundSpectrum),
      SKIMLET_KEY(bAddSummaryToReport),
      SKIMLET_KEY(bAddNetworksToReport),
      SKIMLET_KEY(bAddGraphsToReport),
      SKIMLET_KEY(bAddNetworkDetailsToReport),
      SKIMLET_KEY(BandsOnSinglePanel),
      SKIMLET_KEY(BandsOnSinglePanelVertically),
      SKIMLET_KEY(bPinConnectedToTop),
      SKIMLET_KEY(bDeleteNetworkIfNotSeen),
      SKIMLET_KEY(intDeleteNetworkIfNotSeenMin),
      SKIMLET_KEY(CalculateAchivableRateForAP),
      SKIMLET_KEY(DefUpdateInterval),
      SKIMLET_KEY(DeltaTimeInactive),
      SKIMLET_KEY(UpdateGraphInterval),
      SKIMLET_KEY(UpdateCurrentConnectionInterval),
      SKIMLET_KEY(UpdateWirelessNetworkInterval),
      SKIMLET_KEY(UpdateWirelessStatisticsInterval),
      SKIMLET_FILTER(FilterLinkQualityIndicatorSet, kAllQualityClasses, kAllQualityClasses),
      SKIMLET_FILTER(FilterChannelWidthSet, kAllChannelWidths, kEarlierChannelWidths),
      SKIMLET_FILTER(FilterFrequencyBandSet, kAllBands, kEarlierBands),
      SKIMLET_FILTER(FilterPhySet, kAllPhyTypes, kEarlierPhyTypes),
      SKIMLET_FILTER(FilterWLANSecuritySet, kAllSecurityKinds, kEarlierSecurityKinds),
      SKIMLET_KEY(aLeftPanelWidth),
      SKIMLET_KEY(aTopPanelHeight),
      SKIMLET_KEY(aCurrConPanelWidth),
      SKIMLET_KEY(aRadioPanelHeight),
      SKIMLET_KEY(TimeWindowMinutes),
      SKIMLET_KEY(HexDumpViewerWidth),
      SKIMLET_KEY(DefaultNoiseLevel),
      SKIMLET_KEY(DefaultRxStreams),
      SKIMLET_KEY(DefaultTxStreams),
      SKIMLET_KEY(aWLANStatisticsMACHeight),
      SKIMLET_KEY(aWLANStatisticsPHYHeight),
      SKIMLET_KEY(WLANStatisticsMACViewColumnIndex),
      SKIMLET_KEY(WLANStatisticsPHYViewColumnIndex),
  };
  return keys;
}

#undef SKIMLET_KEY
#undef SKIMLET_FILTER

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string Numbered(std::string_view name, size_t i) { return std::string(name) + std::to_string(i); }

// Reads a layout over its defaults. Columns at the end that the file does not mention (added after it was
// written) keep their defaults; one whose default place is among the file's columns goes in just after the
// column that precedes it by default, wherever the file put that one, and the columns from there on move one
// place right. Gives whether the file mentioned the leading columns of the layout but not the last ones.
bool ReadLayout(const TXMLStorage& storage, std::string_view section, TColumnLayout& layout,
                const TColumnLayout& defaults) {
  auto fallback = [&](size_t i) { return i < defaults.size() ? defaults[i] : TListColumnStore{}; };
  std::vector<size_t> missing;
  for (size_t i = 0; i < layout.size(); ++i) {
    TListColumnStore& c = layout[i];
    const TListColumnStore d = fallback(i);
    c.Locked = d.Locked;
    c.Visible = d.Locked || storage.ReadBool(section, Numbered("Visible", i), d.Visible);
    c.Width = storage.ReadInteger(section, Numbered("Width", i), c.Width);
    c.Alignment = storage.ReadInteger(section, Numbered("Alignment", i), c.Alignment);
    c.Position = storage.ReadInteger(section, Numbered("Position", i),
                                     i < defaults.size() ? d.Position : static_cast<int32_t>(i));
    c.SortDirection = storage.ReadInteger(section, Numbered("SortDirection", i), 0);
    c.Sorted = storage.ReadBool(section, Numbered("Sorted", i), false);
    if (!storage.ReadValue(section, Numbered("Position", i))) missing.push_back(i);
  }
  // Only a file that holds the leading columns whole and none after them is one from before the later ones.
  if (missing.empty() || missing.size() == layout.size() || missing.front() != layout.size() - missing.size())
    return false;
  std::ranges::sort(missing, {}, [&](size_t i) { return fallback(i).Position; });
  std::vector<bool> placed(layout.size(), true);
  for (size_t m : missing) placed[m] = false;
  const auto mentioned = static_cast<int32_t>(layout.size() - missing.size());
  for (size_t m : missing) {
    placed[m] = true;
    // One whose place is past all the file's columns just keeps it.
    if (fallback(m).Position >= mentioned) continue;
    int32_t position = fallback(m).Position;
    for (size_t i = 0; i < layout.size(); ++i)
      if (placed[i] && i < defaults.size() && defaults[i].Position == fallback(m).Position - 1)
        position = layout[i].Position + 1;
    for (size_t i = 0; i < layout.size(); ++i)
      if (placed[i] && layout[i].Position >= position) ++layout[i].Position;
    layout[m].Position = position;
  }
  return true;
}

void WriteLayout(TXMLStorage& storage, std::string_view section, const TColumnLayout& layout) {
  for (size_t i = 0; i < layout.size(); ++i) {
    const TListColumnStore& c = layout[i];
    storage.WriteBool(section, Numbered("Visible", i), c.Visible);
    storage.WriteInteger(section, Numbered("Width", i), c.Width);
    storage.WriteInteger(section, Numbered("Alignment", i), c.Alignment);
    storage.WriteInteger(section, Numbered("Position", i), c.Position);
    storage.WriteInteger(section, Numbered("SortDirection", i), c.SortDirection);
    storage.WriteBool(section, Numbered("Sorted", i), c.Sorted);
  }
}

}  // namespace

TFilterSet TFilterSet::Of(std::initializer_list<int> members) {
  TFilterSet set;
  for (int m : members) set.Add(m);
  return set;
}

std::string FilterSetToText(TFilterSet set) {
  std::string text = "[";
  for (int m = 0; m < 32; ++m) {
    if (!set.Has(m)) continue;
    if (text.size() > 1) text += ',';
    text += std::to_string(m);
  }
  return text + "]";
}

TFilterSet FilterSetFromText(const std::optional<std::string>& text, TFilterSet range) {
  if (!text || text->size() < 2 || text->front() != '[' || text->back() != ']') return range;
  std::string_view items = std::string_view(*text).substr(1, text->size() - 2);
  TFilterSet set;
  while (true) {
    size_t comma = items.find(',');
    std::string_view item = TrimBlanks(items.substr(0, comma));
    int value = -1;
    auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (!item.empty() && ec == std::errc() && end == item.data() + item.size() && range.Has(value)) set.Add(value);
    if (comma == std::string_view::npos) break;
    items.remove_prefix(comma + 1);
  }
  return set;
}

TColumnLayout DefaultColumnLayout(size_t count) {
  TColumnLayout layout(count);
  for (size_t i = 0; i < count; ++i) layout[i].Position = static_cast<int32_t>(i);
  return layout;
}

TColumnLayout DefaultColumnLayout(std::initializer_list<int32_t> widths) {
  TColumnLayout layout = DefaultColumnLayout(widths.size());
  size_t i = 0;
  for (int32_t w : widths) layout[i++].Width = w;
  return layout;
}

namespace {
TColumnLayout (*g_networkListDefaults)() = nullptr;
}  // namespace

TColumnLayout DefaultNetworkListLayout() {
  return g_networkListDefaults ? g_networkListDefaults() : DefaultColumnLayout(kNetworkListColumns);
}

void SetNetworkListDefaults(TColumnLayout (*build)()) { g_networkListDefaults = build; }

namespace {

constexpr TColumnSpec kLogColumns[] = {{"time"}, {"event"}};
constexpr TColumnSpec kPropertyColumns[] = {{"property"}, {"value"}};
constexpr TColumnSpec kRadioStateColumns[] = {{"phy_type", 120}, {"hardware_radio", 120}, {"software_radio", 120}};
constexpr TColumnSpec kProfileColumns[] = {{"profile", 250}};
constexpr TColumnSpec kFilterTreeColumns[] = {{"filter"}};
constexpr TColumnSpec kMACColumns[] = {{"counter", 220}, {"unicast", 90}, {"multicast", 90}, {"description", 50}};
// Wide enough for the counter names and titles such as "802.11ax"; the description takes the rest.
constexpr TColumnSpec kPhyColumns[] = {
    {"counter", 220, 0, 0}, {"a", 80, 0, 1},  {"b", 80, 0, 2},     {"g", 80, 0, 3},           {"n", 80, 0, 4},
    {"ac", 80, 0, 5},       {"ax", 80, 0, 6}, {"total", 90, 0, 8}, {"description", 50, 0, 9}, {"be", 80, 0, 7},
};
static_assert(std::size(kPhyColumns) == kPhyStatisticsColumnCount);

template <const std::span<const TColumnSpec> (*Specs)()>
TColumnLayout DefaultsOf() {
  return DefaultLayoutOf(Specs());
}

TColumnLayout NetworkListDefaults() { return DefaultNetworkListLayout(); }

}  // namespace

TColumnLayout DefaultLayoutOf(std::span<const TColumnSpec> columns) {
  TColumnLayout layout = DefaultColumnLayout(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    layout[i].Width = columns[i].Width;
    layout[i].Alignment = columns[i].Alignment;
    if (columns[i].Position >= 0) layout[i].Position = columns[i].Position;
  }
  return layout;
}

const std::span<const TColumnSpec> LogColumnSpecs() { return kLogColumns; }
const std::span<const TColumnSpec> CurrentConnectionColumnSpecs() { return kPropertyColumns; }
const std::span<const TColumnSpec> NetworkPropertiesColumnSpecs() { return kPropertyColumns; }
const std::span<const TColumnSpec> RadioStateColumnSpecs() { return kRadioStateColumns; }
const std::span<const TColumnSpec> WLANProfilesColumnSpecs() { return kProfileColumns; }
const std::span<const TColumnSpec> FilterTreeColumnSpecs() { return kFilterTreeColumns; }
const std::span<const TColumnSpec> WLANStatisticsMACColumnSpecs() { return kMACColumns; }
const std::span<const TColumnSpec> WLANStatisticsPhyColumnSpecs() { return kPhyColumns; }

TColumnLayout DefaultPhyStatisticsLayout() { return DefaultLayoutOf(kPhyColumns); }

const std::array<TColumnLayoutInfo, 9>& ColumnLayoutTable() {
  using L = TColumnLayouts;
  static const std::array<TColumnLayoutInfo, 9> table = {{
      {"ListColumns", kNetworkListColumns, &L::ListColumns, NetworkListDefaults},
      {"LogColumns", std::size(kLogColumns), &L::LogColumns, DefaultsOf<LogColumnSpecs>},
      {"CurrentConnectionColumns", std::size(kPropertyColumns), &L::CurrentConnectionColumns,
       DefaultsOf<CurrentConnectionColumnSpecs>},
      {"NetworkPropertiesColumns", std::size(kPropertyColumns), &L::NetworkPropertiesColumns,
       DefaultsOf<NetworkPropertiesColumnSpecs>},
      {"RadioStateColumns", std::size(kRadioStateColumns), &L::RadioStateColumns, DefaultsOf<RadioStateColumnSpecs>},
      {"WLANProfilesColumns", std::size(kProfileColumns), &L::WLANProfilesColumns, DefaultsOf<WLANProfilesColumnSpecs>},
      {"FilterTreeColumns", std::size(kFilterTreeColumns), &L::FilterTreeColumns, DefaultsOf<FilterTreeColumnSpecs>},
      {"WLANStatisticsMACColumns", std::size(kMACColumns), &L::WLANStatisticsMACColumns,
       DefaultsOf<WLANStatisticsMACColumnSpecs>},
      {"WLANStatisticsPhyColumns", kPhyStatisticsColumnCount, &L::WLANStatisticsPhyColumns,
       DefaultsOf<WLANStatisticsPhyColumnSpecs>},
  }};
  return table;
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

void ReadOptions(const TXMLStorage& storage, TProgramOptions& options, std::optional<TScreenSize> screen) {
  static const TProgramOptions defaults;
  for (const TOptionKey& key : DefaultsKeys()) {
    std::visit(
        [&](auto member) {
          using M = decltype(member);
          if constexpr (std::is_same_v<M, bool TProgramOptions::*>) {
            options.*member = storage.ReadBool(kDefaults, key.Name, defaults.*member);
          } else if constexpr (std::is_same_v<M, int32_t TProgramOptions::*>) {
            options.*member = storage.ReadInteger(kDefaults, key.Name, defaults.*member);
          } else {
            TFilterSet set = FilterSetFromText(storage.ReadValue(kDefaults, key.Name), member.Range);
            options.*(member.Member) = set == member.Earlier ? member.Range : set;
          }
        },
        key.Member);
  }
  // The MAC table graphs its unicast (1) or multicast (2) column; any other stored column means the first.
  if (options.WLANStatisticsMACViewColumnIndex != 1 && options.WLANStatisticsMACViewColumnIndex != 2)
    options.WLANStatisticsMACViewColumnIndex = 1;
  options.MainWindowTop = storage.ReadInteger(kWindow, "MainWindowTop", defaults.MainWindowTop);
  options.MainWindowLeft = storage.ReadInteger(kWindow, "MainWindowLeft", defaults.MainWindowLeft);
  options.MainWindowWidth = storage.ReadInteger(kWindow, "MainWindowWidth", defaults.MainWindowWidth);
  options.MainWindowHeight = storage.ReadInteger(kWindow, "MainWindowHeight", defaults.MainWindowHeight);
  options.MainWindowState = storage.ReadInteger(kWindow, "MainWindowState", defaults.MainWindowState);
  if (screen) {
    // A window never placed (the shipped 800 x 600 at 0, 0) opens at a size the screen has room for, so the
    // status bar's texts fit: four fifths of the screen up to 1280 x 800, never below the stored size nor
    // beyond the screen.
    if (options.MainWindowTop == 0 && options.MainWindowLeft == 0) {
      auto grown = [](int32_t stored, int32_t screenSide, int32_t designed) {
        if (screenSide <= 0) return stored;
        return std::min(std::max(stored, std::min(designed, screenSide * 4 / 5)), screenSide);
      };
      options.MainWindowWidth = grown(options.MainWindowWidth, screen->Width, 1280);
      options.MainWindowHeight = grown(options.MainWindowHeight, screen->Height, 800);
    }
    if (options.MainWindowTop == 0) options.MainWindowTop = screen->Height / 2 - options.MainWindowHeight / 2;
    if (options.MainWindowLeft == 0) options.MainWindowLeft = screen->Width / 2 - options.MainWindowWidth / 2;
  }
  for (const TColumnLayoutInfo& info : ColumnLayoutTable()) {
    TColumnLayout& layout = options.Layouts.*(info.Layout);
    const bool phy = info.Layout == &TColumnLayouts::WLANStatisticsPhyColumns;
    const TColumnLayout defaults = info.Defaults();
    if (layout.size() != info.Count) layout = defaults;
    const bool older = ReadLayout(storage, info.Name, layout, defaults);
    // A file from before the 802.11be column counted the PHY table's columns without it: its graph column 7
    // was the total, now column 8.
    if (older && phy && options.WLANStatisticsPHYViewColumnIndex == 7) options.WLANStatisticsPHYViewColumnIndex = 8;
  }
  // A language is a file of the languages folder; a value that would reach outside it is not taken.
  options.DefaultLang = storage.ReadString(kDefaults, "DefaultLang", defaults.DefaultLang);
  if (!IsPlainFileName(options.DefaultLang)) options.DefaultLang = defaults.DefaultLang;
}

void WriteOptions(TXMLStorage& storage, const TProgramOptions& options) {
  storage.WriteString(kDefaults, "DefaultLang", options.DefaultLang);
  for (const TOptionKey& key : DefaultsKeys()) {
    std::visit(
        [&](auto member) {
          using M = decltype(member);
          if constexpr (std::is_same_v<M, bool TProgramOptions::*>) {
            storage.WriteBool(kDefaults, key.Name, options.*member);
          } else if constexpr (std::is_same_v<M, int32_t TProgramOptions::*>) {
            storage.WriteInteger(kDefaults, key.Name, options.*member);
          } else {
            storage.WriteString(kDefaults, key.Name, FilterSetToText(options.*(member.Member)));
          }
        },
        key.Member);
  }
  // A minimised or maximised window keeps the last normal placement in the file.
  if (options.MainWindowState == 0) {
    storage.WriteInteger(kWindow, "MainWindowTop", options.MainWindowTop);
    storage.WriteInteger(kWindow, "MainWindowLeft", options.MainWindowLeft);
    storage.WriteInteger(kWindow, "MainWindowWidth", options.MainWindowWidth);
    storage.WriteInteger(kWindow, "MainWindowHeight", options.MainWindowHeight);
  }
  storage.WriteInteger(kWindow, "MainWindowState", options.MainWindowState);
  for (const TColumnLayoutInfo& info : ColumnLayoutTable())
    WriteLayout(storage, info.Name, options.Layouts.*(info.Layout));
}

void LoadColumnTitles(const TLangChanger& lang, TColumnLayouts& layouts) {
  for (const TColumnLayoutInfo& info : ColumnLayoutTable()) {
    TColumnLayout& layout = layouts.*(info.Layout);
    for (size_t i = 0; i < layout.size(); ++i) layout[i].Caption = lang.Translate(Numbered(info.Name, i));
  }
}

std::vector<TOptionsMessage> LoadOptions(const TProgramFolders& folders, TProgramOptions& options, TLangChanger& lang,
                                         std::optional<TScreenSize> screen) {
  std::vector<TOptionsMessage> messages;
  PrepareLanguagesFolder(folders.ShippedLanguagesFolder(), folders.LanguagesFolder);

  fs::path file = folders.OptionsFile();
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    fs::create_directories(folders.SettingsFolder, ec);
    std::string shipped;
    if (ReadWholeFile(folders.DefaultFolder / kOptionsFileName, shipped)) WriteFileAtomicNoReplace(file, shipped);
  }

  TXMLStorage storage(file);
  if (std::string error = storage.Load(); !error.empty())
    messages.push_back({error, std::string(kStorageErrorCaption)});
  ReadOptions(storage, options, screen);

  // Where the settings folder cannot hold a languages folder (a system-wide folder the user may not write),
  // the shipped files are read as they are.
  fs::path langFile = folders.LanguagesFolder / options.DefaultLang;
  fs::path shippedFile = folders.ShippedLanguagesFolder() / options.DefaultLang;
  // A program without its data folder still speaks English: its texts are built in.
  if (!fs::exists(langFile, ec) && fs::is_regular_file(shippedFile, ec)) {
    lang.OpenLangFileReadOnly(shippedFile.string());
  } else if (!fs::exists(langFile, ec) && LowerAscii(options.DefaultLang) == "english.lng") {
    lang.OpenBuiltInEnglish();
  } else {
    lang.SetLangFile(langFile.string());
  }
  lang.SetSeparator(",");
  lang.LoadLanguageTexts();
  LoadColumnTitles(lang, options.Layouts);
  return messages;
}

std::vector<TOptionsMessage> SaveOptions(const TProgramFolders& folders, const TProgramOptions& options) {
  std::vector<TOptionsMessage> messages;
  TXMLStorage storage(folders.OptionsFile());
  if (std::string error = storage.Load(); !error.empty())
    messages.push_back({error, std::string(kStorageErrorCaption)});
  WriteOptions(storage, options);
  if (std::string error = storage.Save(); !error.empty())
    messages.push_back({error, std::string(kStorageErrorCaption)});
  return messages;
}

}  // namespace skimlet

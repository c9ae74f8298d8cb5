#include "cli/filter_options.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "cli/value_readers.h"

namespace skimlet::cli {

namespace {

struct Name {
  std::string_view Text;
  int Member;
};

const Name kQualityNames[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}};
const Name kPhyNames[] = {{"a", 4}, {"b", 5}, {"g", 6}, {"n", 7}, {"ac", 8}, {"ax", 10}, {"be", 11}};
const Name kSecurityNames[] = {{"open", 1}, {"wep", 2}, {"wpa", 3}, {"wpa2", 4}, {"wpa3", 5}, {"owe", 6}};
const Name kBandNames[] = {{"2.4", 0}, {"5", 1}, {"6", 2}};
const Name kWidthNames[] = {{"20", 0}, {"40", 1}, {"80", 2}, {"160", 3}, {"80+80", 4}, {"320", 5}};

// A list of names through the typed reader every command uses.
template <size_t N>
bool ParseList(const std::string& option, const std::string& list, const Name (&names)[N], TFilterSet& set,
               std::string& error) {
  std::array<std::string_view, N> texts;
  for (size_t i = 0; i < N; ++i) texts[i] = names[i].Text;
  std::vector<size_t> chosen;
  error = ReadNameList(option, list, texts, chosen);
  if (!error.empty()) return false;
  TFilterSet result;
  for (size_t i : chosen) result.Add(names[i].Member);
  set = result;
  return true;
}

}  // namespace

const char* const kFilterHelp =
    "  --find TEXT    only networks whose SSID or comment holds TEXT, without regard to letter case\n"
    "  --quality L    only these signal quality classes: 0 (no signal or not heard) to 5 (excellent)\n"
    "  --phy L        only networks that use one of these PHY types: a, b, g, n, ac, ax, be\n"
    "  --security L   only networks with one of these: open, wep, wpa, wpa2, wpa3, owe\n"
    "  --band L       only these bands: 2.4, 5, 6\n"
    "  --width L      only these channel widths: 20, 40, 80, 160, 80+80, 320\n"
    "                 (L: values separated by commas; the options combine, each must hold)\n";

bool TakeFilterOption(const std::vector<std::string>& args, size_t& i, FilterOptions& options, std::string& error) {
  static const char* const kNames[] = {"--find", "--quality", "--phy", "--security", "--band", "--width"};
  const std::string& a = args[i];
  std::string name = a, value;
  bool haveValue = false;
  if (const size_t eq = a.find('='); a.starts_with("--") && eq != std::string::npos) {
    name = a.substr(0, eq);
    value = a.substr(eq + 1);
    haveValue = true;
  }
  if (std::find(std::begin(kNames), std::end(kNames), name) == std::end(kNames)) return false;
  if (!haveValue) {
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return true;
    }
    value = args[++i];
  }
  options.Any = true;
  TProgramOptions& o = *options.Sets;
  if (name == "--find") options.Find = value;
  else if (name == "--quality") ParseList(name, value, kQualityNames, o.FilterLinkQualityIndicatorSet, error);
  else if (name == "--phy") ParseList(name, value, kPhyNames, o.FilterPhySet, error);
  else if (name == "--security") ParseList(name, value, kSecurityNames, o.FilterWLANSecuritySet, error);
  else if (name == "--band") ParseList(name, value, kBandNames, o.FilterFrequencyBandSet, error);
  else ParseList(name, value, kWidthNames, o.FilterChannelWidthSet, error);
  return true;
}

std::function<bool(const TWLANNetwork&)> FilterPredicate(const FilterOptions& options) {
  if (!options.Any) return {};
  options.Sets->bPinConnectedToTop = false;
  auto filter = std::make_shared<TNetworkFilter>(*options.Sets, options.Find);
  // The filter refers to the sets; the predicate keeps both alive.
  return [filter, sets = options.Sets](const TWLANNetwork& n) { return filter->Passes(n); };
}

}  // namespace skimlet::cli

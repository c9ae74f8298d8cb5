// The one rule that decides whether a network is shown: the list, the graphs and the report all ask it, and so
// does the command line.
#pragma once

#include <string>
#include <string_view>

#include "core/model/network.h"
#include "core/settings/options.h"

namespace skimlet {

// Text folded for a comparison without regard to letter case: UTF-8 in, lower-case code points out (ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters fold; others stay as they are; bytes that are not
// UTF-8 stand for themselves).
std::u32string FoldCase(std::string_view utf8);

// The find text and the filter sets of Options (kept by reference) as one predicate.
class TNetworkFilter {
 public:
  explicit TNetworkFilter(const TProgramOptions& options, std::string_view findText = {});

  void SetFindText(std::string_view text);
  const std::string& FindText() const { return findText_; }
  // Off: only the pin and the find text decide (the filter sets are not shown, so they do not apply).
  void SetUseSets(bool on) { useSets_ = on; }
  bool UseSets() const { return useSets_; }

  // In order: a connected network passes when pinned to the top; the find text must be in the SSID or the
  // comment; then quality class (0 for an inactive network), width, band, PHY types and security kinds must
  // be in their sets. A full PHY or security set lets through networks with no PHY type or security kind.
  bool Passes(const TWLANNetwork& network) const;

 private:
  const TProgramOptions* options_;
  std::string findText_;
  std::u32string foldedFind_;
  bool useSets_ = true;
};

inline bool NetworkPassesFilter(const TWLANNetwork& network, const TProgramOptions& options,
                                std::string_view findText) {
  return TNetworkFilter(options, findText).Passes(network);
}

}  // namespace skimlet

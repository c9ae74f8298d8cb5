// The filter options of the commands that print networks: the find text and the sets of the window's filter
// tree, applied with the same rule as the window's list.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/network_filter.h"
#include "core/settings/options.h"

namespace skimlet::cli {

struct FilterOptions {
  // The sets start full and the find text empty: every network passes.
  std::shared_ptr<TProgramOptions> Sets = std::make_shared<TProgramOptions>();
  std::string Find;
  bool Any = false;  // some filter option was given
};

// "--find TEXT", "--quality LIST", "--phy LIST", "--security LIST", "--band LIST", "--width LIST" (also as
// --name=VALUE). True when Args[I] was one (I then stands on its last word); Error says what is wrong with it.
bool TakeFilterOption(const std::vector<std::string>& args, size_t& i, FilterOptions& options, std::string& error);

// The predicate of the options; empty when none was given. A connected network is not pinned through: the
// command line has no list top to pin it to.
std::function<bool(const TWLANNetwork&)> FilterPredicate(const FilterOptions& options);

// The lines of the help texts that describe the options.
extern const char* const kFilterHelp;

}  // namespace skimlet::cli

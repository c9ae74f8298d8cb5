// Printing network lists: tab-separated, as an aligned table, or as JSON. Shared by the commands that show
// networks (a saved survey, a live scan).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/network.h"

namespace skimlet::cli {

enum class NetworkOutput { Auto, TSV, Table, JSON };

// Auto becomes Table on a terminal and TSV otherwise.
NetworkOutput ResolveOutput(NetworkOutput output);
// The options that choose an output ("--tsv", "--table", "--json"); false for any other argument.
bool ParseOutputOption(const std::string& arg, NetworkOutput& output);

// TSV and Table: a header line of column titles, then one line per network with the columns of the
// network list. JSON: an array of objects, one per network.
std::string FormatNetworks(const std::vector<std::unique_ptr<TWLANNetwork>>& items, NetworkOutput output);
// One network as a JSON object (no line break), indented by Indent.
std::string NetworkJson(const TWLANNetwork& n, const std::string& indent = "  ");
// A text as a JSON string.
std::string JsonString(const std::string& s);

}  // namespace skimlet::cli

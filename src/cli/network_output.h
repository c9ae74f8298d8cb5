// Printing network lists: tab-separated, as an aligned table, or as JSON. Shared by the commands that show
// networks (a saved survey, a live scan).
//
// The table is for people: the window's cell texts in the chosen language. TSV and JSON are for programs:
// they read the same in every language, times are ISO 8601 with the UTC offset, and a value that is not
// known is empty (TSV) or null (JSON), never a stand-in such as -100 dBm or channel 0.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/network.h"

namespace skimlet::cli {

enum class NetworkOutput { Auto, TSV, Table, JSON };

// Columns beyond those of the network list (whose ids are their TNetworkColumn numbers).
enum ExtraColumn : int {
  kColumnActive = 100,  // "yes" while the network is heard, else "no"
  kColumnHidden,        // "yes" for a network that hides its name
  kColumnSsidHex,       // the SSID's bytes as hex
  kColumnLastSignal,    // the signal when the network was last heard, in dBm
};

struct OutputOptions {
  NetworkOutput Format = NetworkOutput::Auto;
  bool Raw = false;          // TSV numbers without units
  std::vector<int> Columns;  // empty: every column of the network list
  // The networks to print; empty: all.
  std::function<bool(const TWLANNetwork&)> Keep;
};

// Auto becomes Table on a terminal and TSV otherwise.
NetworkOutput ResolveOutput(NetworkOutput output);
// The options that choose an output: "--tsv", "--table", "--json", "--raw", "--columns LIST". True when
// Args[I] was one (I then stands on its last word); Error says what is wrong with it.
bool TakeOutputOption(const std::vector<std::string>& args, size_t& i, OutputOptions& options, std::string& error);
// Resolves Auto and fills in the default columns; an error text when the options do not go together.
std::string FinishOutputOptions(OutputOptions& options);
// The stable names of every column, for help texts: "ssid, bssid, ...".
std::string ColumnNamesText();

// The TSV header line (with line break); Prefix, when not empty, is the name of a first column.
std::string TsvHeader(const OutputOptions& options, const std::string& prefix = {});
// One TSV line per network; PrefixValue, when not empty, is the value of the first column on every line.
std::string TsvRows(const std::vector<std::unique_ptr<TWLANNetwork>>& items, const OutputOptions& options,
                    const std::string& prefixValue = {});
// A header line of column titles and one line per network, aligned by display width.
std::string TableText(const std::vector<std::unique_ptr<TWLANNetwork>>& items, const OutputOptions& options);
// A JSON array of network objects: on one line, or with one object per line indented by two blanks.
// Keep, when set, chooses the networks.
std::string NetworksJsonArray(const std::vector<std::unique_ptr<TWLANNetwork>>& items, bool oneLine,
                              const std::function<bool(const TWLANNetwork&)>& keep = {});

// One network as a JSON object on one line.
std::string NetworkJson(const TWLANNetwork& n);
// A text as a JSON string.
std::string JsonString(const std::string& s);
// A time as "2026-12-10T09:30:00+01:00" (local time with its UTC offset); empty for a time that is no date.
std::string IsoTime(LocalDateTime t);
// IsoTime as a JSON string, or null.
std::string JsonTime(LocalDateTime t);

}  // namespace skimlet::cli

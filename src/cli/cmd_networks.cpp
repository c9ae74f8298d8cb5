// skimlet-cli networks: the network list of one or more saved surveys.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/network_output.h"
#include "cli/snapshot_input.h"
#include "cli/standard_output.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli networks [OPTIONS] [--] FILE...\n"
    "\n"
    "Prints the networks of snapshot or pcap/pcapng capture files (told apart by content), one row per network\n"
    "with the columns of the network list. Several files are merged into one survey: of each BSSID the record\n"
    "heard last wins, and its first and last seen span all files. FILE - is standard input.\n"
    "\n"
    "  --table       columns aligned with blanks, titles and texts in the chosen language (the default on a\n"
    "                terminal)\n"
    "  --tsv         tab-separated: a header line of column names, then one line per network (the default when\n"
    "                the output is no terminal)\n"
    "  --raw         with --tsv: numbers without units (signal in dBm, rates in Mbit/s, frequency in MHz, band in\n"
    "                GHz, width in MHz)\n"
    "  --columns L   the columns to print, by name, separated by commas, e.g. ssid,bssid,signal\n"
    "  --json        one JSON document: {\"files\": [...], \"time\": ..., \"networks\": [...]}\n"
    "  --find, --quality, --phy, --security, --band, --width: print only some networks (below)\n"
    "  --            ends the options: what follows is a file, even when it starts with '-'\n"
    "\n"
    "Columns: ";

}  // namespace

std::string NetworksHelp() {
  return kUsage + ColumnNamesText() + "\n\nFilter options (the window's filter rule):\n" + kFilterHelp;
}

int RunNetworks(const Args& args) {
  OutputOptions output;
  FilterOptions filter;
  std::vector<std::string> files;
  const CommandLine line = CommandLineOf("networks");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        return TakeOutputOption(args, i, output, error) || TakeFilterOption(args, i, filter, error);
      }))
    return *status;
  if (std::string error = FinishOutputOptions(output); !error.empty()) return UsageError("networks", error);
  output.Keep = FilterPredicate(filter);

  std::string error;
  auto loaded = LoadNetworks(files, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli networks: %s\n", error.c_str());
    return 1;
  }
  const auto& items = loaded->List->Items;
  std::string out;
  if (output.Format == NetworkOutput::JSON) {
    std::string names;
    for (const std::string& f : files) names += (names.empty() ? "" : ", ") + JsonString(InputName(f));
    out = "{\"files\": [" + names + "], \"time\": " + JsonTime(loaded->SavedTime) +
          ", \"networks\": " + NetworksJsonArray(items, false, output.Keep) + "}\n";
  } else if (output.Format == NetworkOutput::TSV) {
    out = TsvHeader(output) + TsvRows(items, output);
  } else {
    out = TableText(items, output);
  }
  return WriteOutputStatus(out);
}

}  // namespace skimlet::cli

// skimlet-cli networks: the network list of a saved survey.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/network_output.h"
#include "cli/snapshot_input.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli networks FILE [--tsv | --table | --json]\n"
    "\n"
    "Prints the networks of a snapshot or a pcap/pcapng capture file (told apart by content), one row per\n"
    "network with the 32 columns of the network list.\n"
    "\n"
    "  --tsv     tab-separated, a header line of column titles first (the default when the output is no terminal)\n"
    "  --table   columns aligned with blanks (the default on a terminal)\n"
    "  --json    an array of objects with typed values, times in ISO 8601 local time and the element blob as hex\n";

}  // namespace

int RunNetworks(const Args& args) {
  NetworkOutput output = NetworkOutput::Auto;
  std::string file;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (ParseOutputOption(a, output)) continue;
    if (a.starts_with("-") || !file.empty()) {
      std::fprintf(stderr, "skimlet-cli networks: unexpected argument '%s'\n\n%s", a.c_str(), kUsage);
      return 2;
    }
    file = a;
  }
  if (file.empty()) {
    std::fprintf(stderr, "skimlet-cli networks: FILE is required\n\n%s", kUsage);
    return 2;
  }

  std::string error;
  auto loaded = LoadNetworks(file, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli networks: %s\n", error.c_str());
    return 1;
  }
  std::string out = FormatNetworks(loaded->List->Items, output);
  return WriteStandardOutput(out) ? 0 : 1;
}

}  // namespace skimlet::cli

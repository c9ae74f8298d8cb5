// skimlet-cli convert: a capture (or snapshot) written as a snapshot file.
#include <cstdio>

#include "cli/commands.h"
#include "cli/snapshot_input.h"
#include "core/model/snapshot.h"

namespace skimlet::cli {

namespace {
constexpr const char* kUsage =
    "Usage: skimlet-cli convert FILE -o OUTPUT\n"
    "\n"
    "Writes the networks of FILE, a pcap or pcapng capture of 802.11 frames or a snapshot, as the snapshot file\n"
    "OUTPUT. Of a capture, the last beacon or probe response of each BSSID makes its network; the snapshot's\n"
    "time is that of the capture's last frame, so it opens with the same networks active. OUTPUT is replaced\n"
    "atomically: an interrupted run leaves an existing file as it was.\n"
    "\n"
    "  -o, --output OUTPUT   the snapshot file to write\n";
}  // namespace

int RunConvert(const Args& args) {
  std::string file, output;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((a == "-o" || a == "--output") && i + 1 < args.size() && output.empty()) {
      output = args[++i];
    } else if (a.rfind("--output=", 0) == 0 && output.empty()) {
      output = a.substr(9);
    } else if (!a.starts_with("-") && file.empty()) {
      file = a;
    } else {
      std::fprintf(stderr, "skimlet-cli convert: unexpected argument '%s'\n\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (file.empty() || output.empty()) {
    std::fprintf(stderr, "skimlet-cli convert: give FILE and -o OUTPUT\n\n%s", kUsage);
    return 2;
  }
  std::string error;
  auto loaded = LoadNetworks(file, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli convert: %s\n", error.c_str());
    return 1;
  }
  error = SaveSnapshot(*loaded->List, output, loaded->SavedTime);
  if (!error.empty()) {
    std::fprintf(stderr, "skimlet-cli convert: %s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace skimlet::cli

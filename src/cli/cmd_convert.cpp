// skimlet-cli convert: a capture (or snapshot) written as a snapshot file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/snapshot_input.h"
#include "core/model/snapshot.h"
#include "core/model/snapshot_file.h"

namespace skimlet::cli {

namespace {
constexpr const char* kUsage =
    "Usage: skimlet-cli convert -o OUTPUT [--] FILE\n"
    "\n"
    "Writes the networks of FILE, a pcap or pcapng capture of 802.11 frames or a snapshot, as the snapshot file\n"
    "OUTPUT. Of a capture, the last beacon or probe response of each BSSID makes its network; the snapshot's\n"
    "time is that of the capture's last frame, so it opens with the same networks active. OUTPUT is replaced\n"
    "atomically: an interrupted run leaves an existing file as it was. A symbolic link is written through to\n"
    "its target; a device, FIFO or socket is written directly; a file with several hard links is written in\n"
    "place after a complete copy beside it. OUTPUT may not be FILE itself (under any name).\n"
    "\n"
    "  -o, --output OUTPUT   the snapshot file to write; - writes it to standard output\n"
    "  --                    ends the options: what follows is the file, even when it starts with '-'\n";

// True when both names lead to the same file (after links), told by device and inode; "-" is the file on
// standard input.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  const bool readA = a == "-" ? ::fstat(STDIN_FILENO, &sa) == 0 : ::stat(a.c_str(), &sa) == 0;
  return readA && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
}  // namespace

std::string ConvertHelp() { return kUsage; }

int RunConvert(const Args& args) {
  std::string output;
  std::vector<std::string> files;
  const CommandLine line = CommandLineOf("convert");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        const std::string& a = args[i];
        if ((a == "-o" || a == "--output") && i + 1 < args.size() && output.empty()) output = args[++i];
        else if (a.starts_with("--output=") && output.empty()) output = a.substr(9);
        else if (a == "-o" || a == "--output")
          error = output.empty() ? a + " needs the file to write" : "only one " + a + " OUTPUT";
        else return false;
        return true;
      }))
    return *status;
  if (files.empty() || output.empty()) return UsageError("convert", "give FILE and -o OUTPUT");
  const std::string& file = files.front();
  const bool toStdout = output == "-";
  if (!toStdout && SameFile(file, output)) {
    std::fprintf(stderr, "skimlet-cli convert: %s is the input file %s; choose another output\n", output.c_str(),
                 InputName(file).c_str());
    return 1;
  }
  std::string error;
  auto loaded = LoadNetworks(file, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli convert: %s\n", error.c_str());
    return 1;
  }
  if (toStdout) {
    std::vector<SnapshotRecordRef> records;
    for (const auto& n : loaded->List->Items)
      records.push_back({&n->Entry, n->Elements.Data, n->FirstSeen, n->LastSeen});
    const std::vector<uint8_t> bytes = EncodeSnapshot(loaded->SavedTime, records);
    return WriteOutputStatus(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  error = SaveSnapshot(*loaded->List, output, loaded->SavedTime);
  if (!error.empty()) {
    std::fprintf(stderr, "skimlet-cli convert: %s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace skimlet::cli

// skimlet-cli: the headless front end of Skimlet.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  elements --hex HEX [--tsv]   print the element tree of an element blob\n"
    "\n"
    "Options:\n"
    "  --help      show this help (also after a command)\n"
    "  --version   show the version\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace skimlet::cli;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("skimlet-cli %s\n", SKIMLET_VERSION);
    return 0;
  }
  if (command == "elements") return RunElements(args);
  std::fprintf(stderr, "skimlet-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}

// skimlet-cli: the headless front end of Skimlet.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/language.h"
#include "cli/standard_output.h"
#include "core/base/memory_policy.h"

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli [--lang LANGUAGE] COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  scan [--service S] [--interface N|NAME] [--count K] [...]\n"
    "                                     scan with an interface and print its networks after each refresh\n"
    "  interfaces [--service S] [--json]  list the wireless interfaces, their radios and connections\n"
    "  networks [--tsv|--table|--json] FILE...\n"
    "                                     print the networks of snapshot or capture files, merged\n"
    "  elements --bssid BSSID FILE        print the element tree of one network of a snapshot or capture\n"
    "  elements --hex HEX                 print the element tree of an element blob\n"
    "  elements --bssid BSSID FILE --export txt|csv|html|rtf|dump|bin -o OUTPUT\n"
    "                                     write the element tree, the hex dump or the raw bytes to a file\n"
    "  convert -o OUTPUT FILE             write a capture (pcap, pcapng) or snapshot as a snapshot file\n"
    "  graph spectrum2|spectrum5|spectrum6 FILE -o OUTPUT [--size WxH]\n"
    "                                     draw a band's channel spectrum of a snapshot or capture (PNG, BMP)\n"
    "  report -o DIR/NAME.htm [--sections LIST] FILE...\n"
    "                                     write the HTML report of snapshot or capture files, with its graphs\n"
    "  export --format txt|csv|html|rtf -o OUTPUT FILE...\n"
    "                                     write the network list of snapshot or capture files as a table\n"
    "  survey new|record|walk|import|points|map|aps|check FILE [...]  floor-plan site surveys and their maps\n"
    "  channels [FILE...] [--band B] [--width N] [--mine SSID] [--exclude-dfs] [--json|--tsv]\n"
    "                                     rank the channels by what the air costs on them, and say why\n"
    "\n"
    "A FILE of - is standard input; -- ends the options. 'skimlet-cli COMMAND --help' tells more.\n"
    "\n"
    "Options:\n"
    "  --lang LANGUAGE  texts of the table, element tree and interface list in a shipped language (deutsch,\n"
    "                   english) or a language file; JSON and TSV stay the same. English by default.\n"
    "  --help           show this help (also after a command)\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done, 1 runtime error, 2 usage error, 3 scanning not permitted and nothing found.\n"
    "See skimlet-cli(1).\n";

int Run(int argc, char** argv) {
  using namespace skimlet::cli;
  if (argc < 2) {
    std::fputs("skimlet-cli: give a command\nTry 'skimlet-cli --help'.\n", stderr);
    return 2;
  }
  // --lang FILE may stand anywhere on the command line.
  Args all(argv + 1, argv + argc);
  std::optional<std::string> lang;
  for (size_t i = 0; i < all.size();) {
    if (all[i] == "--lang" && i + 1 < all.size()) {
      lang = all[i + 1];
      all.erase(all.begin() + i, all.begin() + i + 2);
    } else if (all[i] == "--lang") {
      std::fputs("skimlet-cli: --lang needs a language name or file\nTry 'skimlet-cli --help'.\n", stderr);
      return 2;
    } else if (all[i].rfind("--lang=", 0) == 0) {
      lang = all[i].substr(7);
      all.erase(all.begin() + i);
    } else {
      ++i;
    }
  }
  if (all.empty()) {
    std::fputs("skimlet-cli: give a command\nTry 'skimlet-cli --help'.\n", stderr);
    return 2;
  }
  std::string error;
  if (!SetUpLanguage(lang, error)) {
    std::fprintf(stderr, "skimlet-cli: %s\nTry 'skimlet-cli --help'.\n", error.c_str());
    return 2;
  }
  std::string command = all[0];
  Args args(all.begin() + 1, all.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("skimlet-cli %s\n", SKIMLET_VERSION);
    return 0;
  }
  if (command == "elements") return RunElements(args);
  if (command == "networks") return RunNetworks(args);
  if (command == "scan") return RunScan(args, lang);
  if (command == "interfaces") return RunInterfaces(args);
  if (command == "convert") return RunConvert(args);
  if (command == "graph") return RunGraph(args, lang);
  if (command == "report") return RunReport(args, lang);
  if (command == "export") return RunExport(args);
  if (command == "survey") return RunSurvey(args);
  if (command == "channels") return RunChannels(args);
  std::fprintf(stderr, "skimlet-cli: unknown command '%s'\nTry 'skimlet-cli --help'.\n", command.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  skimlet::SetLongRunMemoryPolicy();
  skimlet::cli::GuardStandardDescriptors();
  skimlet::cli::IgnoreBrokenPipe();
  // Every command's output is checked here: a write that failed makes the exit status 1.
  return skimlet::cli::FinishStandardOutput(Run(argc, argv));
}

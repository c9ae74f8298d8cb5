#include "cli/command_table.h"

#include <array>

#include "cli/commands.h"
#include "cli/value_readers.h"

namespace skimlet::cli {

namespace {

using F = FileArguments;
using C = CommandContext;

// In the order of the top-level usage.
const std::array kCommands = {
    Command{"scan", "scan [--service S] [--interface N|NAME] [--count K] [...]",
            "scan with an interface and print its networks after each refresh", F::None, ScanHelp,
            [](const Args& a, const C& c) { return RunScan(a, c.Lang); }},
    Command{"interfaces", "interfaces [--service S] [--json]",
            "list the wireless interfaces, their radios and connections", F::None, InterfacesHelp,
            [](const Args& a, const C&) { return RunInterfaces(a); }},
    Command{"networks", "networks [--tsv|--table|--json] FILE...",
            "print the networks of snapshot or capture files, merged", F::Several, NetworksHelp,
            [](const Args& a, const C&) { return RunNetworks(a); }},
    Command{"elements", "elements --bssid BSSID FILE | --hex HEX [--export FORMAT -o OUTPUT]",
            "print the element tree of one network of a snapshot or capture, or of an element blob; or write it, "
            "its hex dump or its bytes to a file",
            F::One, ElementsHelp, [](const Args& a, const C&) { return RunElements(a); }},
    Command{"convert", "convert -o OUTPUT FILE", "write a capture (pcap, pcapng) or snapshot as a snapshot file",
            F::One, ConvertHelp, [](const Args& a, const C&) { return RunConvert(a); }},
    Command{"graph", "graph spectrum2|spectrum5|spectrum6 FILE -o OUTPUT [--size WxH]",
            "draw a band's channel spectrum of a snapshot or capture (PNG, BMP)", F::Several, GraphHelp,
            [](const Args& a, const C& c) { return RunGraph(a, c.Lang); }},
    Command{"report", "report -o DIR/NAME.htm [--sections LIST] FILE...",
            "write the HTML report of snapshot or capture files, with its graphs", F::Several, ReportHelp,
            [](const Args& a, const C& c) { return RunReport(a, c.Lang); }},
    Command{"export", "export --format txt|csv|html|rtf -o OUTPUT FILE...",
            "write the network list of snapshot or capture files as a table", F::Several, ExportHelp,
            [](const Args& a, const C&) { return RunExport(a); }},
    Command{"survey", "survey new|record|walk|import|points|map|aps|check FILE [...]",
            "floor-plan site surveys: record every network at each point, draw maps, place access points", F::One,
            SurveyHelp, [](const Args& a, const C&) { return RunSurvey(a); }},
    Command{"channels", "channels [FILE...] [--band B] [--width N] [--mine SSID] [--exclude-dfs]",
            "rank the channels by what the air costs on them, and say why", F::Any, ChannelsHelp,
            [](const Args& a, const C&) { return RunChannels(a); }},
};

constexpr std::string_view kUsageHead = "Usage: skimlet-cli [--lang LANGUAGE] COMMAND [OPTIONS]\n\nCommands:\n";

constexpr std::string_view kUsageTail =
    "\n"
    "A FILE of - is standard input; -- ends the options. 'skimlet-cli help COMMAND' or 'skimlet-cli COMMAND "
    "--help' tells more.\n"
    "\n"
    "Options:\n"
    "  --lang LANGUAGE  texts of the table, element tree and interface list in a shipped language (deutsch, "
    "english) or a language file; JSON and TSV stay the same. English by default.\n"
    "  --help           show this help (also after a command)\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done, 1 runtime error, 2 usage error, 3 scanning not permitted and nothing found.\n"
    "See skimlet-cli(1).\n";

// The column of the summaries in the top-level usage.
constexpr size_t kSummaryColumn = 37;

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(std::string_view name) {
  for (const Command& c : kCommands)
    if (c.Name == name) return &c;
  return nullptr;
}

std::string CommandHelp(const Command& command) { return WrapLines(command.Help()); }

CommandLine CommandLineOf(std::string_view name) {
  const Command* command = FindCommand(name);
  return {command->Name.data(), CommandHelp(*command), command->Files};
}

std::string TopLevelUsage() {
  std::string text(kUsageHead);
  for (const Command& c : kCommands) {
    std::string line = "  " + std::string(c.Synopsis);
    // A synopsis too long for the summary's column has the summary on the next line.
    if (line.size() + 2 > kSummaryColumn) {
      text += WrapLines(line);
      line.clear();
    }
    line.resize(kSummaryColumn, ' ');
    text += WrapLines(line + std::string(c.Summary));
  }
  return WrapLines(text + std::string(kUsageTail));
}

}  // namespace skimlet::cli

// skimlet-cli report and skimlet-cli export: a saved survey as an HTML report, or its network list as a
// text, CSV, HTML or RTF file.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/report_output.h"
#include "cli/snapshot_input.h"
#include "cli/standard_output.h"
#include "core/report/table_export.h"

namespace skimlet::cli {

namespace {

constexpr const char* kReportUsage =
    "Usage: skimlet-cli report [--sections LIST] [FILTER OPTIONS] -o DIR/NAME.htm [--] FILE...\n"
    "\n"
    "Writes the HTML report of snapshot or pcap/pcapng capture files (merged as 'networks' merges them): a\n"
    "summary of counts, the network table, the graphs and a block of details per network. The pictures (PNG,\n"
    "800x400) go to the folder 'images NAME' beside the page. The spectrum graphs show the networks of the\n"
    "files; the graphs over time need the refreshes of a scan: 'skimlet-cli scan ... --report OUT.htm'.\n"
    "\n"
    "  -o FILE          the page; replaced only once it is complete, an existing one stays on failure\n"
    "  --sections LIST  the sections, separated by commas: summary, networks, graphs, details (default: all)\n"
    "  --find, --quality, --phy, --security, --band, --width: only the networks that pass go into the table, the\n"
    "                   details and the graphs; the summary counts every network (below)\n"
    "  --               ends the options: what follows is a file, even when it starts with '-'\n"
    "\n"
    "Every text of a network is written as text: names that hold markup or placeholders show as they are.\n"
    "Exit status: 0 done, 1 a file cannot be read, a template is missing or the page or a picture cannot be\n"
    "written, 2 usage error.\n"
    "\n"
    "Filter options (the window's filter rule):\n";

constexpr const char* kExportUsage =
    "Usage: skimlet-cli export [--format txt|csv|html|rtf] [FILTER OPTIONS] -o OUTPUT [--] FILE...\n"
    "\n"
    "Writes the network list of snapshot or capture files as a table with the columns of the window's default\n"
    "layout, in UTF-8:\n"
    "  txt   tab-separated, lines ending in CR LF\n"
    "  csv   ';'-separated, lines ending in CR LF, with a UTF-8 byte-order mark for spreadsheets\n"
    "  html  an HTML table (a fragment to paste or open)\n"
    "  rtf   an RTF document with one table (A4 landscape)\n"
    "A cell holding the separator, a quotation mark or a line break is quoted (\"...\" with \"\" inside). A text\n"
    "cell (SSID, comment, vendor, device names, ...) that starts with =, +, - or @ gets a leading ' so that a\n"
    "spreadsheet does not take it as a formula; numbers such as -67 dBm stay as they are.\n"
    "\n"
    "  -o OUTPUT   the file; replaced only once it is complete, an existing one stays on failure; - writes\n"
    "              to standard output (with --format)\n"
    "  --format F  the format; by default the one OUTPUT's extension names (.txt, .csv, .htm, .html, .rtf)\n"
    "  --find, --quality, --phy, --security, --band, --width: export only some networks (below)\n"
    "\n"
    "Exit status: 0 done, 1 a file cannot be read or the output not written, 2 usage error.\n"
    "\n"
    "Filter options (the window's filter rule):\n";

// Reads -o OUTPUT / --output=OUTPUT at Args[I]; true when it was one.
bool TakeOutput(const Args& args, size_t& i, std::string& output, std::string& error) {
  const std::string& a = args[i];
  if (a == "-o" || a == "--output") {
    if (i + 1 >= args.size()) {
      error = a + " needs a file name";
      return true;
    }
    output = args[++i];
    return true;
  }
  if (a.rfind("--output=", 0) == 0) {
    output = a.substr(9);
    return true;
  }
  return false;
}

}  // namespace

std::string ReportHelp() { return std::string(kReportUsage) + kFilterHelp; }
std::string ExportHelp() { return std::string(kExportUsage) + kFilterHelp; }

int RunReport(const Args& args, const std::optional<std::string>& lang) {
  FilterOptions filter;
  std::vector<std::string> files;
  std::string output, sections;
  bool haveSections = false;
  const CommandLine line = CommandLineOf("report");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        if (TakeOutput(args, i, output, error) || TakeFilterOption(args, i, filter, error)) return true;
        if (!TakeOption(args, i, "--sections", sections, error)) return false;
        haveSections = true;
        return true;
      }))
    return *status;
  if (output.empty()) return UsageError("report", "-o FILE is required");
  if (output == "-") return UsageError("report", "the report needs a file: its pictures go into a folder beside it");
  ReportRequest request;
  request.Output = output;
  request.Lang = lang;
  if (haveSections) {
    std::string bad;
    if (!ParseReportSections(sections, request.Sections, bad))
      return UsageError("report", "--sections wants summary, networks, graphs or details, not '" + bad + "'");
  }
  std::string error;
  auto loaded = LoadNetworks(files, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli report: %s\n", error.c_str());
    return 1;
  }
  request.SurveyTime = loaded->SavedTime;  // the graphs show the survey as it was, not as it is now
  return WriteNetworkReport(*loaded->List, FilterPredicate(filter), request, nullptr);
}

int RunExport(const Args& args) {
  FilterOptions filter;
  std::vector<std::string> files;
  std::string output, format;
  const CommandLine line = CommandLineOf("export");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        return TakeOutput(args, i, output, error) || TakeFilterOption(args, i, filter, error) ||
               TakeOption(args, i, "--format", format, error);
      }))
    return *status;
  if (output.empty()) return UsageError("export", "-o OUTPUT is required");
  std::optional<report::TExportFormat> chosen = format.empty() ? ExportFormatOfFile(output) : ParseExportFormat(format);
  if (!chosen) {
    return UsageError("export", format.empty() ? "give --format txt|csv|html|rtf (the extension of OUTPUT names none)"
                                               : "--format wants txt, csv, html or rtf, not '" + format + "'");
  }
  std::string error;
  auto loaded = LoadNetworks(files, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli export: %s\n", error.c_str());
    return 1;
  }
  const report::TExportTable table = NetworkExportTable(*loaded->List, FilterPredicate(filter));
  if (output == "-") return WriteOutputStatus(report::RenderTable(table, *chosen));
  if (std::string why = report::WriteTableExport(table, *chosen, output); !why.empty()) {
    std::fprintf(stderr, "skimlet-cli export: %s\n", why.c_str());
    return 1;
  }
  return 0;
}

}  // namespace skimlet::cli

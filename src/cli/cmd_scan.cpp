// skimlet-cli scan: the program's update cycle (TUpdateCycle) without a window. The loop asks for a scan, the
// service's thread posts "scan results ready", and this thread refreshes the network list and prints it.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/graph_samples.h"
#include "cli/filter_options.h"
#include "cli/live_session.h"
#include "cli/network_output.h"
#include "cli/report_output.h"
#include "cli/standard_output.h"
#include "cli/stop_signals.h"
#include "cli/value_readers.h"
#include "core/base/datetime.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli scan [--service S] [--interface N|NAME] [--count K] [--interval SECONDS]\n"
    "                        [--tsv [--raw] | --table | --json] [--columns LIST] [FILTER OPTIONS]\n"
    "                        [--graph rssi|quality|rate|utilization|clients -o OUTPUT [--size WxH]]\n"
    "                        [--report DIR/NAME.htm [--sections LIST]]\n"
    "\n"
    "Scans with a wireless interface and prints its network list after each of K refreshes. Networks heard\n"
    "before stay in the list, inactive once they are not heard for a while.\n"
    "\n"
    "  --service S    sim (the simulated radio), sim:FILE.scene, replay:FILE.snapshot or linux; by default the\n"
    "                 Linux radio when the machine has Wi-Fi hardware (without it: an error)\n"
    "  --interface I  the interface with index I or kernel name I (see 'skimlet-cli interfaces'); by default\n"
    "                 the first connected one, else the first\n"
    "  --count K      number of refreshes to print (default 1); 0 scans until interrupted\n"
    "  --interval S   seconds between scan requests (default: the network update interval, 3); 0 asks again as\n"
    "                 soon as the results are in\n"
    "  --table        columns aligned with blanks, a heading line per refresh (the default on a terminal)\n"
    "  --tsv          tab-separated: one header line, then one line per network and refresh, the refresh\n"
    "                 number in the first column (the default when the output is no terminal)\n"
    "  --raw          with --tsv: numbers without units\n"
    "  --columns L    the columns by name, separated by commas (see 'skimlet-cli networks --help')\n"
    "  --json         JSON Lines: one object per refresh on its own line, written as soon as it is complete\n"
    "  --graph V      after the last refresh, draw the network time graph of V (rssi: signal, quality, rate:\n"
    "                 achievable rate, utilization: channel utilization, clients: stations) over the\n"
    "                 refreshes, one line per network, into the picture given with -o\n"
    "  -o OUTPUT      with --graph: the picture, PNG, or BMP when OUTPUT ends in .bmp\n"
    "  --size WxH     with --graph: its size in pixels, 16 to 16384 each (default 800x400)\n"
    "  --report FILE  after the last refresh, write the HTML report of the scan, with the graphs over time of\n"
    "                 the refreshes and the spectrum graphs (see 'skimlet-cli report --help')\n"
    "  --sections L   with --report: the sections, separated by commas: summary, networks, graphs, details\n"
    "\n"
    "Filter options (the window's filter rule; the heading line still counts every network):\n";

// After the filter options.
constexpr const char* kUsageEnd =
    "\n"
    "SIGINT (Ctrl-C) and SIGTERM end the scan after the line being written, with exit status 0; so does a\n"
    "reader that closes the pipe. The graph is drawn then too, of the refreshes made so far.\n"
    "\n"
    "Example: skimlet-cli scan --service sim --count 20 --interval 1 --graph rssi -o signal.png\n";

// The options that take a value.
constexpr const char* kValueOptions[] = {"--service",  "--interface", "--count",           "--interval",
                                         "--graph",    "-o",          "--output",          "--report",
                                         "--sections", "--size",      "--sim-scan-seconds"};

constexpr std::string_view kGraphValues[] = {"rssi", "quality", "rate", "utilization", "clients"};

// Without results for this long the command gives up: a request is forgotten after 30 s and asked again once.
constexpr double kGiveUpSeconds = 65;
constexpr double kConnectionIntervalFallback = 10;

int Usage(const std::string& message) { return UsageError("scan", message); }

void RefreshInterfaceState(TWLANInterface& i) {
  i.UpdateProperties();
  i.UpdateRadioState();
  i.UpdateConnection();
}

// What the command line asks of a scan.
struct ScanOptions {
  LiveSessionRequest Request{"scan", {}, {}};
  OutputOptions Output;
  FilterOptions Filter;
  std::optional<std::string> InterfaceChoice;
  long Count = 1;
  std::optional<double> Interval;
  int GraphValue = -1;
  std::string GraphOutput, GraphSize;
  ReportRequest Report;
};

// Checks and keeps the value of one of kValueOptions; what is wrong with it.
std::string KeepValue(std::string_view name, const std::string& value, ScanOptions& o,
                      std::optional<std::string>& sections) {
  if (name == "--service") {
    if (value.empty()) return "--service needs a value";
    o.Request.Service = value;
  } else if (name == "--interface") {
    if (value.empty()) return "--interface needs an index or a name";
    o.InterfaceChoice = value;
  } else if (name == "--count") {
    return ReadWhole(name, value, 0, 1000000000, "a whole number of refreshes (0: until interrupted)", o.Count);
  } else if (name == "--interval") {
    double seconds = 0;
    std::string error = ReadNumber(name, value, 0, 86400, "seconds from 0 to 86400", seconds);
    if (error.empty()) o.Interval = seconds;
    return error;
  } else if (name == "--graph") {
    size_t v = 0;
    std::string error = ReadOneOf(name, value, kGraphValues, v);
    o.GraphValue = error.empty() ? static_cast<int>(v) : -1;
    return error;
  } else if (name == "-o" || name == "--output") {
    if (value.empty()) return "-o needs a file name";
    o.GraphOutput = value;
  } else if (name == "--report") {
    if (value.empty()) return "--report needs a file name";
    o.Report.Output = value;
  } else if (name == "--sections") {
    sections = value;
  } else if (name == "--size") {
    int width = 0, height = 0;
    o.GraphSize = value;
    return ReadSize(name, value, width, height);
  } else if (name == "--sim-scan-seconds") {  // for tests: the simulated radio's scans take this long
    double seconds = 0;
    std::string error = ReadNumber(name, value, 0, 60, "seconds from 0 to 60", seconds);
    if (error.empty()) o.Request.SimScanSeconds = seconds;
    return error;
  }
  return {};
}

// Reads the command line into O; the exit status when the command ends here.
std::optional<int> ReadScanOptions(const Args& args, const std::optional<std::string>& lang, ScanOptions& o) {
  std::optional<std::string> sections;
  std::vector<std::string> none;
  const CommandLine line = CommandLineOf("scan");
  if (auto status = ReadArguments(line, args, none, [&](const Args& args, size_t& i, std::string& error) {
        if (TakeOutputOption(args, i, o.Output, error) || TakeFilterOption(args, i, o.Filter, error)) return true;
        std::string value;
        for (const char* name : kValueOptions) {
          if (!TakeOption(args, i, name, value, error)) continue;
          if (error.empty()) error = KeepValue(name, value, o, sections);
          return true;
        }
        return false;
      }))
    return status;
  if (std::string error = FinishOutputOptions(o.Output); !error.empty()) return Usage(error);
  o.Output.Keep = FilterPredicate(o.Filter);
  if (o.GraphValue >= 0 && o.GraphOutput.empty()) return Usage("--graph needs -o OUTPUT for the picture");
  if (o.GraphValue < 0 && (!o.GraphOutput.empty() || !o.GraphSize.empty()))
    return Usage(std::string(o.GraphOutput.empty() ? "--size" : "-o") + " goes with --graph");
  o.Report.Lang = lang;
  o.Report.Who = "scan";
  if (sections) {
    if (o.Report.Output.empty()) return Usage("--sections goes with --report");
    std::string bad;
    if (!ParseReportSections(*sections, o.Report.Sections, bad))
      return Usage("--sections wants summary, networks, graphs or details, not '" + bad + "'");
  }
  return std::nullopt;
}

// The text of one refresh in the chosen output.
std::string RefreshText(const LiveSession& session, TWLANInterface& selected, const ScanOptions& o, long refresh) {
  const TWLANNetworkList& list = *selected.Networks;
  const OutputOptions& output = o.Output;
  std::string out;
  if (output.Format == NetworkOutput::JSON) {
    out = "{\"refresh\": " + std::to_string(refresh) + ", \"time\": " + JsonTime(list.RefreshTime) +
          ", \"interface\": " + InterfaceJsonSummary(session, selected) +
          ", \"networks\": " + NetworksJsonArray(list.Items, true, output.Keep) + "}\n";
  } else if (output.Format == NetworkOutput::TSV) {
    // The header goes with the first refresh: a scan that fails before prints nothing.
    if (refresh == 1) out = TsvHeader(output, "refresh");
    out += TsvRows(list.Items, output, std::to_string(refresh));
  } else {
    if (refresh > 1) out += "\n";
    out += "Refresh " + std::to_string(refresh) + (o.Count > 0 ? " of " + std::to_string(o.Count) : "") + " at " +
           LocalDateTimeToISO(list.RefreshTime) + ": " + std::to_string(list.Counters[kCountAll]) + " networks, " +
           std::to_string(list.Counters[kCountActive]) + " active\n";
    out += TableText(list.Items, output);
  }
  return out;
}

// How the scan loop ended.
struct LoopEnd {
  std::optional<int> Status;  // set: the command ends with it, without the graph and report
  long Refreshes = 0;
};

// Asks for scans and prints each refresh until the count is reached, a stop signal comes or the reader goes.
LoopEnd ScanLoop(LiveSession& session, TWLANInterface& selected, const ScanOptions& o) {
  const TProgramOptions& options = session.Options;
  const double scanEvery = o.Interval.value_or(options.UpdateWirelessNetworkInterval);
  const double connectionEvery = options.UpdateCurrentConnectionInterval > 0 ? options.UpdateCurrentConnectionInterval
                                                                             : kConnectionIntervalFallback;
  TUpdateCycle& cycle = *session.Cycle;

  using Clock = TScanResultsQueue::Clock;
  auto seconds = [](double s) { return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s)); };
  // The wait is cut into short slices so that a stop signal is seen soon.
  const Clock::duration slice = seconds(0.1);
  Clock::time_point now = Clock::now();
  Clock::time_point nextScan = now;
  Clock::time_point nextConnection = now + seconds(connectionEvery);
  Clock::time_point giveUp = now + seconds(kGiveUpSeconds + scanEvery);
  Clock::time_point nextCheck = now;

  LoopEnd end;
  long& refreshes = end.Refreshes;
  const auto more = [&] { return (o.Count == 0 || refreshes < o.Count) && !StopRequested(); };
  while (more()) {
    now = Clock::now();
    if (now >= nextScan) {
      cycle.Tick();
      // With no interval the next request follows the results; until then only a forgotten one is repeated.
      nextScan = scanEvery > 0 ? std::max(nextScan + seconds(scanEvery), now) : now + seconds(31);
    }
    if (now >= nextConnection) {
      RefreshInterfaceState(selected);
      nextConnection = std::max(nextConnection + seconds(connectionEvery), now);
    }
    // An interface that is down or gone sends no results: said at once rather than after the wait.
    if (now >= nextCheck) {
      if (std::string why = LiveInterfaceProblem(session, selected); !why.empty()) {
        std::fprintf(stderr, "skimlet-cli scan: %s\n", why.c_str());
        end.Status = 1;
        return end;
      }
      nextCheck = now + seconds(1);
    }
    if (now >= giveUp) {
      std::fprintf(stderr, "skimlet-cli scan: no scan results arrived within %.0f seconds\n",
                   kGiveUpSeconds + scanEvery);
      end.Status = 1;
      return end;
    }
    size_t posts = session.Queue.WaitAndTake(std::min({nextScan, nextConnection, giveUp, Clock::now() + slice}));
    // Every post is one refresh, as every message is in the window.
    for (size_t p = 0; p < posts && more(); ++p) {
      cycle.ScanResultsReady();
      ++refreshes;
      if (selected.Networks->Items.empty() && IdentityOf(session, selected).ScansRefused) {
        std::fprintf(stderr,
                     "skimlet-cli scan: the system does not permit this program to scan with %s, and no other "
                     "program's scan results are there (give it CAP_NET_ADMIN, run it as root, or let "
                     "NetworkManager scan)\n",
                     InterfaceLabel(session, selected).c_str());
        end.Status = kExitScanNotPermitted;
        return end;
      }
      // A reader that went away ends the scan quietly; output that cannot be written ends it with an error.
      if (!WriteStandardOutput(RefreshText(session, selected, o, refreshes))) {
        if (!ReaderGone()) end.Status = 1;
        return end;
      }
    }
    if (posts > 0) {
      now = Clock::now();
      giveUp = now + seconds(kGiveUpSeconds + scanEvery);
      if (scanEvery <= 0) nextScan = now;
    }
  }
  return end;
}

// The graph and the report of the refreshes made, as asked.
int WriteScanOutputs(LiveSession& session, TWLANInterface& selected, const ScanOptions& o, long refreshes,
                     const std::optional<std::string>& lang) {
  if (o.GraphValue < 0 && o.Report.Output.empty()) return 0;
  // The list's series hold a sample of every network at every refresh; the window ends at the last one.
  TWLANNetworkList& list = *selected.Networks;
  const TProgramOptions& options = session.Options;
  TGraphSamplesHeader header{std::max(o.GraphValue, 0), options.TimeWindowMinutes > 0 ? options.TimeWindowMinutes : 5,
                             refreshes > 0 ? list.RefreshTime : LocalNow()};
  if (o.GraphValue >= 0) {
    Args helperArgs{"--samples", "-o", o.GraphOutput};
    if (!o.GraphSize.empty()) helperArgs.insert(helperArgs.end(), {"--size", o.GraphSize});
    // The graph shows the networks the filter options let through, as the report does.
    const std::string samples = WriteGraphSamples(list, header, o.Output.Keep);
    if (int status = RunGraphWithInput(helperArgs, lang, samples, "scan"); status != 0) return status;
  }
  if (o.Report.Output.empty()) return 0;
  return WriteNetworkReport(list, o.Output.Keep, o.Report, &header);
}

}  // namespace

std::string ScanHelp() { return std::string(kUsage) + kFilterHelp + kUsageEnd; }

int RunScan(const Args& args, const std::optional<std::string>& lang) {
  ScanOptions o;
  if (auto status = ReadScanOptions(args, lang, o)) return *status;
  CatchStopSignals();

  int status = 0;
  auto session = OpenLiveSession(o.Request, status);
  if (!session) return status;
  TWLANInterfaces& set = *session->Interfaces;
  int index = ChooseInterface(*session, o.InterfaceChoice, status);
  if (index < 0) return status;
  set.SetSelectedIndex(index);
  TWLANInterface& selected = *set.Selected();

  // As the window does when it shows an interface: the list from what the service holds now, then the
  // interface's state.
  selected.Networks->Clear();
  session->Cycle->UpdateNow();
  RefreshInterfaceState(selected);

  const LoopEnd end = ScanLoop(*session, selected, o);
  if (end.Status) return *end.Status;
  return WriteScanOutputs(*session, selected, o, end.Refreshes, lang);
}

}  // namespace skimlet::cli

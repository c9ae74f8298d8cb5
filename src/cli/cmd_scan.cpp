// skimlet-cli scan: the program's update cycle (TUpdateCycle) without a window. The loop asks for a scan, the
// service's thread posts "scan results ready", and this thread refreshes the network list and prints it.
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/graph_samples.h"
#include "cli/live_session.h"
#include "cli/filter_options.h"
#include "cli/network_output.h"
#include "cli/report_output.h"
#include "cli/standard_output.h"
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
constexpr const char* kValueOptions[] = {"--service", "--interface", "--count",    "--interval", "--graph",
                                         "-o",        "--output",    "--report",   "--sections", "--size",
                                         "--sim-scan-seconds"};

constexpr const char* kGraphValues[] = {"rssi", "quality", "rate", "utilization", "clients"};

// Without results for this long the command gives up: a request is forgotten after 30 s and asked again once.
constexpr double kGiveUpSeconds = 65;
constexpr double kConnectionIntervalFallback = 10;

bool ParseNumber(const std::string& text, double& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// WxH, each 16 to 16384 pixels.
bool ValidSize(const std::string& text) {
  int w = 0, h = 0;
  char x = 0, rest = 0;
  return std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) == 3 && (x == 'x' || x == 'X') && w >= 16 &&
         h >= 16 && w <= 16384 && h <= 16384;
}

int Usage(const std::string& message) { return UsageError("scan", message); }

void RefreshInterfaceState(TWLANInterface& i) {
  i.UpdateProperties();
  i.UpdateRadioState();
  i.UpdateConnection();
}

// SIGINT and SIGTERM ask the loop to stop after the line it is writing; a second one ends the program at once.
volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnStopSignal(int signal) {
  if (g_stop) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  g_stop = 1;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;  // a write in progress goes on to its end
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int RunScan(const Args& args, const std::optional<std::string>& lang) {
  LiveSessionRequest request{"scan", {}, {}};
  OutputOptions output;
  FilterOptions filter;
  std::optional<std::string> interfaceChoice;
  long count = 1;
  std::optional<double> interval;
  int graphValue = -1;
  std::string graphOutput, graphSize, reportOutput;
  std::optional<std::string> reportSections;
  // Checks and keeps the value of an option; what is wrong with it.
  const auto keep = [&](std::string_view name, const std::string& value) -> std::string {
    double n = 0;
    if (name == "--service") {
      if (value.empty()) return "--service needs a value";
      request.Service = value;
    } else if (name == "--interface") {
      if (value.empty()) return "--interface needs an index or a name";
      interfaceChoice = value;
    } else if (name == "--count") {
      if (!ParseNumber(value, n) || n < 0 || n != std::floor(n) || n > 1e9)
        return "--count wants a whole number of refreshes (0: until interrupted), not '" + value + "'";
      count = static_cast<long>(n);
    } else if (name == "--interval") {
      if (!ParseNumber(value, n) || n < 0 || n > 86400)
        return "--interval wants seconds from 0 to 86400, not '" + value + "'";
      interval = n;
    } else if (name == "--graph") {
      graphValue = -1;
      for (int v = 0; v < 5; ++v)
        if (value == kGraphValues[v]) graphValue = v;
      if (graphValue < 0) return "--graph wants rssi, quality, rate, utilization or clients, not '" + value + "'";
    } else if (name == "-o" || name == "--output") {
      if (value.empty()) return "-o needs a file name";
      graphOutput = value;
    } else if (name == "--report") {
      if (value.empty()) return "--report needs a file name";
      reportOutput = value;
    } else if (name == "--sections") {
      reportSections = value;
    } else if (name == "--size") {
      if (!ValidSize(value)) return "--size wants WxH, 16 to 16384 pixels each, not '" + value + "'";
      graphSize = value;
    } else if (name == "--sim-scan-seconds") {  // for tests: the simulated radio's scans take this long
      if (!ParseNumber(value, n) || n < 0 || n > 60) return "bad --sim-scan-seconds '" + value + "'";
      request.SimScanSeconds = n;
    }
    return {};
  };
  std::vector<std::string> none;
  const CommandLine line{"scan", std::string(kUsage) + kFilterHelp + kUsageEnd, FileArguments::None};
  if (auto status = ReadArguments(line, args, none, [&](const Args& args, size_t& i, std::string& error) {
        if (TakeOutputOption(args, i, output, error) || TakeFilterOption(args, i, filter, error)) return true;
        std::string value;
        for (const char* name : kValueOptions) {
          if (!TakeOption(args, i, name, value, error)) continue;
          if (error.empty()) error = keep(name, value);
          return true;
        }
        return false;
      }))
    return *status;
  if (std::string error = FinishOutputOptions(output); !error.empty()) return Usage(error);
  output.Keep = FilterPredicate(filter);
  if (graphValue >= 0 && graphOutput.empty()) return Usage("--graph needs -o OUTPUT for the picture");
  if (graphValue < 0 && (!graphOutput.empty() || !graphSize.empty()))
    return Usage(std::string(graphOutput.empty() ? "--size" : "-o") + " goes with --graph");
  ReportRequest report;
  report.Output = reportOutput;
  report.Lang = lang;
  report.Who = "scan";
  if (reportSections) {
    if (reportOutput.empty()) return Usage("--sections goes with --report");
    std::string bad;
    if (!ParseReportSections(*reportSections, report.Sections, bad))
      return Usage("--sections wants summary, networks, graphs or details, not '" + bad + "'");
  }
  CatchStopSignals();

  int status = 0;
  auto session = OpenLiveSession(request, status);
  if (!session) return status;
  TWLANInterfaces& set = *session->Interfaces;
  int index = ChooseInterface(*session, interfaceChoice, status);
  if (index < 0) return status;
  set.SetSelectedIndex(index);
  TWLANInterface& selected = *set.Selected();

  const TProgramOptions& options = session->Options;
  const double scanEvery = interval.value_or(options.UpdateWirelessNetworkInterval);
  const double connectionEvery =
      options.UpdateCurrentConnectionInterval > 0 ? options.UpdateCurrentConnectionInterval : kConnectionIntervalFallback;

  // As the window does when it shows an interface: the list from what the service holds now, then the
  // interface's state.
  TUpdateCycle& cycle = *session->Cycle;
  selected.Networks->Clear();
  cycle.UpdateNow();
  RefreshInterfaceState(selected);

  using Clock = TScanResultsQueue::Clock;
  auto seconds = [](double s) { return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s)); };
  // The wait is cut into short slices so that a stop signal is seen soon.
  const Clock::duration slice = seconds(0.1);
  Clock::time_point now = Clock::now();
  Clock::time_point nextScan = now;
  Clock::time_point nextConnection = now + seconds(connectionEvery);
  Clock::time_point giveUp = now + seconds(kGiveUpSeconds + scanEvery);
  Clock::time_point nextCheck = now;

  long refreshes = 0;
  bool readerGone = false;
  while ((count == 0 || refreshes < count) && !g_stop) {
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
      if (std::string why = LiveInterfaceProblem(*session, selected); !why.empty()) {
        std::fprintf(stderr, "skimlet-cli scan: %s\n", why.c_str());
        return 1;
      }
      nextCheck = now + seconds(1);
    }
    if (now >= giveUp) {
      std::fprintf(stderr, "skimlet-cli scan: no scan results arrived within %.0f seconds\n",
                   kGiveUpSeconds + scanEvery);
      return 1;
    }
    size_t posts = session->Queue.WaitAndTake(std::min({nextScan, nextConnection, giveUp, Clock::now() + slice}));
    // Every post is one refresh, as every message is in the window.
    for (size_t p = 0; p < posts && (count == 0 || refreshes < count) && !g_stop; ++p) {
      cycle.ScanResultsReady();
      ++refreshes;
      const TWLANNetworkList& list = *selected.Networks;
      if (list.Items.empty() && IdentityOf(*session, selected).ScansRefused) {
        std::fprintf(stderr,
                     "skimlet-cli scan: the system does not permit this program to scan with %s, and no other "
                     "program's scan results are there (give it CAP_NET_ADMIN, run it as root, or let "
                     "NetworkManager scan)\n",
                     InterfaceLabel(*session, selected).c_str());
        return kExitScanNotPermitted;
      }
      std::string out;
      if (output.Format == NetworkOutput::JSON) {
        out = "{\"refresh\": " + std::to_string(refreshes) + ", \"time\": " + JsonTime(list.RefreshTime) +
              ", \"interface\": " + InterfaceJsonSummary(*session, selected) +
              ", \"networks\": " + NetworksJsonArray(list.Items, true, output.Keep) + "}\n";
      } else if (output.Format == NetworkOutput::TSV) {
        // The header goes with the first refresh: a scan that fails before prints nothing.
        if (refreshes == 1) out = TsvHeader(output, "refresh");
        out += TsvRows(list.Items, output, std::to_string(refreshes));
      } else {
        if (refreshes > 1) out += "\n";
        out += "Refresh " + std::to_string(refreshes) + (count > 0 ? " of " + std::to_string(count) : "") + " at " +
               LocalDateTimeToISO(list.RefreshTime) + ": " + std::to_string(list.Counters[kCountAll]) +
               " networks, " + std::to_string(list.Counters[kCountActive]) + " active\n";
        out += TableText(list.Items, output);
      }
      // A reader that went away ends the scan quietly; output that cannot be written ends it with an error.
      if (!WriteStandardOutput(out)) {
        if (!ReaderGone()) return 1;
        readerGone = true;
        break;
      }
    }
    if (readerGone) break;
    if (posts > 0) {
      now = Clock::now();
      giveUp = now + seconds(kGiveUpSeconds + scanEvery);
      if (scanEvery <= 0) nextScan = now;
    }
  }
  if (graphValue < 0 && reportOutput.empty()) return 0;
  // The list's series hold a sample of every network at every refresh; the window ends at the last one.
  TWLANNetworkList& list = *selected.Networks;
  TGraphSamplesHeader header{std::max(graphValue, 0), options.TimeWindowMinutes > 0 ? options.TimeWindowMinutes : 5,
                             refreshes > 0 ? list.RefreshTime : LocalNow()};
  if (graphValue >= 0) {
    Args helperArgs{"--samples", "-o", graphOutput};
    if (!graphSize.empty()) helperArgs.insert(helperArgs.end(), {"--size", graphSize});
    if (int status = RunGraphWithInput(helperArgs, lang, WriteGraphSamples(list, header), "scan"); status != 0)
      return status;
  }
  if (reportOutput.empty()) return 0;
  return WriteNetworkReport(list, output.Keep, report, &header);
}

}  // namespace skimlet::cli

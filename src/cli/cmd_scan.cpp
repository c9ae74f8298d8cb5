// skimlet-cli scan: the program's update cycle (TUpdateCycle) without a window. The loop asks for a scan, the
// service's thread posts "scan results ready", and this thread refreshes the network list and prints it.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/live_session.h"
#include "cli/network_output.h"
#include "cli/standard_output.h"
#include "core/base/datetime.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli scan [--service S] [--interface N] [--count K] [--interval SECONDS]\n"
    "                        [--tsv | --table | --json]\n"
    "\n"
    "Scans with a wireless interface and prints its network list after each of K refreshes, in the formats of\n"
    "'skimlet-cli networks'. Networks heard before stay in the list, inactive once they are not heard for a while.\n"
    "\n"
    "  --service S    sim (the simulated radio), sim:FILE.scene, replay:FILE.snapshot or linux; by default the\n"
    "                 Linux radio when the machine has Wi-Fi hardware (without it: an error)\n"
    "  --interface N  the interface with index N (see 'skimlet-cli interfaces'); by default the first connected\n"
    "                 one, else the first\n"
    "  --count K      number of refreshes to print (default 1)\n"
    "  --interval S   seconds between scan requests (default: the network update interval, 3); 0 asks again as\n"
    "                 soon as the results are in\n"
    "  --tsv, --table, --json   output format (default: table on a terminal, else TSV); JSON prints one array\n"
    "                 with an object per refresh\n";

// Without results for this long the command gives up: a request is forgotten after 30 s and asked again once.
constexpr double kGiveUpSeconds = 65;
constexpr double kConnectionIntervalFallback = 10;

bool ParseNumber(const std::string& text, double& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

int Usage(const std::string& message) {
  std::fprintf(stderr, "skimlet-cli scan: %s\n\n%s", message.c_str(), kUsage);
  return 2;
}

void RefreshInterfaceState(TWLANInterface& i) {
  i.UpdateProperties();
  i.UpdateRadioState();
  i.UpdateConnection();
}

}  // namespace

int RunScan(const Args& args) {
  LiveSessionRequest request{"scan", {}, {}};
  NetworkOutput output = NetworkOutput::Auto;
  std::optional<int> interfaceIndex;
  long count = 1;
  std::optional<double> interval;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string value, error;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (ParseOutputOption(a, output)) continue;
    if (TakeOption(args, i, "--service", value, error)) {
      if (!error.empty()) return Usage(error);
      if (value.empty()) return Usage("--service needs a value");
      request.Service = value;
    } else if (TakeOption(args, i, "--interface", value, error)) {
      double n = 0;
      if (!error.empty()) return Usage(error);
      if (!ParseNumber(value, n) || n < 0 || n != std::floor(n) || n > 1e6) return Usage("bad --interface '" + value + "'");
      interfaceIndex = static_cast<int>(n);
    } else if (TakeOption(args, i, "--count", value, error)) {
      double n = 0;
      if (!error.empty()) return Usage(error);
      if (!ParseNumber(value, n) || n < 1 || n != std::floor(n) || n > 1e9) return Usage("bad --count '" + value + "'");
      count = static_cast<long>(n);
    } else if (TakeOption(args, i, "--interval", value, error)) {
      double s = 0;
      if (!error.empty()) return Usage(error);
      if (!ParseNumber(value, s) || s < 0 || s > 86400) return Usage("bad --interval '" + value + "'");
      interval = s;
    } else if (TakeOption(args, i, "--sim-scan-seconds", value, error)) {
      // For tests: the simulated radio's scans take this long.
      double s = 0;
      if (!error.empty()) return Usage(error);
      if (!ParseNumber(value, s) || s < 0 || s > 60) return Usage("bad --sim-scan-seconds '" + value + "'");
      request.SimScanSeconds = s;
    } else {
      return Usage("unexpected argument '" + a + "'");
    }
  }
  output = ResolveOutput(output);

  int status = 0;
  auto session = OpenLiveSession(request, status);
  if (!session) return status;
  TWLANInterfaces& set = *session->Interfaces;
  if (set.Count() == 0) {
    std::fprintf(stderr, "skimlet-cli scan: the service has no wireless interface\n");
    return 1;
  }
  if (interfaceIndex && *interfaceIndex >= set.Count()) {
    std::fprintf(stderr, "skimlet-cli scan: there is no interface %d (the service has %d)\n", *interfaceIndex,
                 set.Count());
    return 1;
  }
  int first = set.FirstConnectedIndex();
  set.SetSelectedIndex(interfaceIndex.value_or(first >= 0 ? first : 0));
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
  Clock::time_point now = Clock::now();
  Clock::time_point nextScan = now;
  Clock::time_point nextConnection = now + seconds(connectionEvery);
  Clock::time_point giveUp = now + seconds(kGiveUpSeconds + scanEvery);

  if (output == NetworkOutput::JSON) std::fputs("[\n", stdout);
  long refreshes = 0;
  while (refreshes < count) {
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
    if (now >= giveUp) {
      if (output == NetworkOutput::JSON) std::fputs("]\n", stdout);
      std::fprintf(stderr, "skimlet-cli scan: no scan results arrived within %.0f seconds\n",
                   kGiveUpSeconds + scanEvery);
      return 1;
    }
    size_t posts = session->Queue.WaitAndTake(std::min({nextScan, nextConnection, giveUp}));
    // Every post is one refresh, as every message is in the window.
    for (size_t p = 0; p < posts && refreshes < count; ++p) {
      cycle.ScanResultsReady();
      ++refreshes;
      const TWLANNetworkList& list = *selected.Networks;
      std::string out;
      if (output == NetworkOutput::JSON) {
        out = std::string(refreshes > 1 ? ",\n" : "") + "  {\"refresh\": " + std::to_string(refreshes) +
              ", \"time\": " + JsonString(LocalDateTimeToISO(list.RefreshTime)) +
              ", \"interface\": " + JsonString(selected.Description) + ", \"networks\": [\n";
        for (size_t k = 0; k < list.Items.size(); ++k)
          out += NetworkJson(*list.Items[k], "    ") + (k + 1 < list.Items.size() ? ",\n" : "\n");
        out += "  ]}";
      } else {
        if (refreshes > 1) out += "\n";
        if (output == NetworkOutput::Table)
          out += "Refresh " + std::to_string(refreshes) + " of " + std::to_string(count) + " at " +
                 LocalDateTimeToISO(list.RefreshTime) + ": " + std::to_string(list.Counters[kCountAll]) +
                 " networks, " + std::to_string(list.Counters[kCountActive]) + " active\n";
        out += FormatNetworks(list.Items, output);
      }
      if (!WriteStandardOutput(out)) return 1;  // no point in scanning on for output that cannot be written
    }
    if (posts > 0) {
      now = Clock::now();
      giveUp = now + seconds(kGiveUpSeconds + scanEvery);
      if (scanEvery <= 0) nextScan = now;
    }
  }
  if (output == NetworkOutput::JSON) std::fputs("\n]\n", stdout);
  return 0;
}

}  // namespace skimlet::cli

// skimlet-cli graph: a spectrum graph of a saved survey as a picture.
//
// Drawing needs Qt, and skimlet-cli itself must stay as quick to start as a program without it. So this file
// is built twice: into skimlet-cli, where RunGraph hands the command to the helper program skimlet-cli-graph
// beside it (or in libexec/skimlet), and, with SKIMLET_CLI_GRAPH_HELPER defined, as that helper, which draws on
// Qt's offscreen platform (no display needed, fonts from the system).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

#ifndef SKIMLET_CLI_GRAPH_HELPER
#include "cli/command_table.h"
#include "cli/value_readers.h"

namespace skimlet::cli {

namespace {
constexpr const char* kUsage =
    "Usage: skimlet-cli graph spectrum2|spectrum5|spectrum6 FILE -o OUTPUT [--size WxH]\n"
    "\n"
    "Draws the channel spectrum of the 2.4, 5 or 6 GHz band of a snapshot or capture file: every network of the\n"
    "band that was active when the file was written, at its last signal level. Needs no display.\n"
    "\n"
    "  -o OUTPUT, --output OUTPUT\n"
    "                the picture: PNG, or BMP when OUTPUT ends in .bmp; replaced only once it is complete\n"
    "  --size WxH    its size in pixels, 16 to 16384 each (default 800x400)\n"
    "\n"
    "Example: skimlet-cli graph spectrum5 survey.snapshot -o five.png --size 1200x400\n"
    "Exit status: 0 done, 1 the file cannot be read or the picture not written, 2 usage error.\n";

}  // namespace

std::string GraphHelp() { return kUsage; }

}  // namespace skimlet::cli
#endif

#ifdef SKIMLET_CLI_GRAPH_HELPER

#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <iterator>
#include <memory>

#include "cli/graph_samples.h"
#include "cli/language.h"
#include "cli/snapshot_input.h"
#include "core/model/network_list.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"

namespace {

using skimlet::TGraph;

int Usage(const char* problem, const std::string& detail = {}) {
  std::fprintf(stderr, "skimlet-cli graph: %s%s\nTry 'skimlet-cli graph --help'.\n", problem, detail.c_str());
  return 2;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  char x = 0, rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X')) return false;
  if (w < 16 || h < 16 || w > 16384 || h > 16384) return false;
  width = w;
  height = h;
  return true;
}

// Plain white paper, not the desktop's theme: the picture looks the same on every machine.
void PaperColours(TGraph& graph) {
  graph.BackgroundColor = Qt::white;
  graph.AxisColor = graph.TickColor = QColor(105, 105, 105);
  graph.AxisFontColor = graph.LegendFontColor = Qt::black;
}

int Export(TGraph& graph, const std::string& output, int width, int height, const char* who) {
  const std::string error = graph.ExportToFile(QString::fromStdString(output), QSize(width, height));
  if (!error.empty()) {
    std::fprintf(stderr, "skimlet-cli %s: %s: %s\n", who, output.c_str(), error.c_str());
    return 1;
  }
  return 0;
}

// The network time graph of the samples 'skimlet-cli scan --graph' writes to standard input.
int DrawSamples(const std::string& output, int width, int height) {
  std::string text;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) text.append(buffer, n);
  skimlet::TProgramOptions options;
  skimlet::TWLANNetworkList list(options);
  skimlet::cli::TGraphSamplesHeader header;
  std::string error;
  if (!skimlet::cli::ReadGraphSamples(text, list, header, error)) {
    std::fprintf(stderr, "skimlet-cli scan: %s\n", error.c_str());
    return 1;
  }
  skimlet::TNetworkListRows rows(&list);
  skimlet::TGraphWiFiTime graph;
  graph.Tree = &rows;
  graph.ValueType = header.Value;
  graph.AutoScale = true;
  graph.ShowLegend = true;
  graph.WindowMinutes = header.WindowMinutes;
  graph.Clock = [now = header.Now] { return now; };
  PaperColours(graph);
  return Export(graph, output, width, height, "scan");
}

// The graph images of a report, all in one run (a report asks for up to eight):
//   --report-images FOLDER --file SNAPSHOT --images NAME,... [--window MINUTES] [--size WxH] [--who COMMAND]
// NAME is RSSI, Quality, AchievableRate, Utilization, Clients (the network time graph, from the samples on
// standard input) or Spectrum2, Spectrum5, Spectrum6 (from the networks of SNAPSHOT). Each is written as
// FOLDER/NAME.png.
int DrawReportImages(const std::vector<std::string>& args) {
  static constexpr const char* kTimeImages[] = {"RSSI", "Quality", "AchievableRate", "Utilization", "Clients"};
  static constexpr const char* kSpectrumImages[] = {"Spectrum2", "Spectrum5", "Spectrum6"};
  const std::string folder = args.size() > 1 ? args[1] : std::string();
  std::string file, images, who = "report";
  int width = 800, height = 400;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return Usage("missing value after ", a);
    const std::string& value = args[++i];
    if (a == "--file") file = value;
    else if (a == "--images") images = value;
    else if (a == "--who") who = value;
    else if (a == "--size" && !ParseSize(value, width, height)) return Usage("not a size: ", value);
    else if (a != "--size") return Usage("unexpected argument ", a);
  }
  if (folder.empty() || images.empty()) return Usage("--report-images needs a folder and --images");
  const char* whoText = who.c_str();

  std::vector<std::string> wanted;
  for (size_t start = 0; start <= images.size();) {
    const size_t comma = std::min(images.find(',', start), images.size());
    wanted.push_back(images.substr(start, comma - start));
    start = comma + 1;
  }
  bool needSamples = false, needFile = false;
  for (const std::string& w : wanted) {
    const bool time = std::find(std::begin(kTimeImages), std::end(kTimeImages), w) != std::end(kTimeImages);
    const bool spectrum =
        std::find(std::begin(kSpectrumImages), std::end(kSpectrumImages), w) != std::end(kSpectrumImages);
    if (!time && !spectrum) return Usage("unknown image ", w);
    needSamples = needSamples || time;
    needFile = needFile || spectrum;
  }

  skimlet::TProgramOptions options;
  skimlet::TWLANNetworkList history(options);
  skimlet::cli::TGraphSamplesHeader header;
  if (needSamples) {
    std::string text;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) text.append(buffer, n);
    std::string error;
    if (!skimlet::cli::ReadGraphSamples(text, history, header, error)) {
      std::fprintf(stderr, "skimlet-cli %s: %s\n", whoText, error.c_str());
      return 1;
    }
  }
  std::unique_ptr<skimlet::cli::LoadedNetworks> loaded;
  if (needFile) {
    if (file.empty()) return Usage("--file SNAPSHOT is required for the spectrum images");
    std::string error;
    loaded = skimlet::cli::LoadNetworks(file, error);
    if (!loaded) {
      std::fprintf(stderr, "skimlet-cli %s: %s\n", whoText, error.c_str());
      return 1;
    }
  }
  skimlet::TNetworkListRows historyRows(&history);
  std::unique_ptr<skimlet::TNetworkListRows> fileRows;
  if (loaded) fileRows = std::make_unique<skimlet::TNetworkListRows>(loaded->List.get());
  for (const std::string& w : wanted) {
    const std::string output = folder + "/" + w + ".png";
    int status = 0;
    if (w.starts_with("Spectrum")) {
      std::unique_ptr<skimlet::TGraphRSSIChannels> graph;
      if (w == "Spectrum2") graph = std::make_unique<skimlet::TGraphRSSIChannel2>();
      else if (w == "Spectrum5") graph = std::make_unique<skimlet::TGraphRSSIChannel5>();
      else graph = std::make_unique<skimlet::TGraphRSSIChannel6>();
      graph->Tree = fileRows.get();
      graph->ShowLegend = false;
      graph->DrawBackgroundSpectrum = loaded->Options.bDrawBackroundSpectrum;
      PaperColours(*graph);
      status = Export(*graph, output, width, height, whoText);
    } else {
      skimlet::TGraphWiFiTime graph;
      graph.Tree = &historyRows;
      for (int v = 0; v < 5; ++v)
        if (w == kTimeImages[v]) graph.ValueType = v;
      graph.AutoScale = true;
      graph.ShowLegend = true;
      graph.WindowMinutes = header.WindowMinutes;
      graph.Clock = [now = header.Now] { return now; };
      PaperColours(graph);
      status = Export(graph, output, width, height, whoText);
    }
    if (status != 0) return status;
  }
  return 0;
}

// The command line as skimlet-cli hands it over, read there with every command's reader:
//   KIND -o OUTPUT [--size WxH] -- FILE,   --samples -o OUTPUT [--size WxH],   --report-images ...
int Draw(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "--report-images") return DrawReportImages(args);
  std::string kind, file, output;
  int width = 800, height = 400;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--" && !optionsEnded) {
      optionsEnded = true;
    } else if (optionsEnded) {
      if (!file.empty()) return Usage("unexpected argument ", a);
      file = a;
    } else if (a == "-o" || a == "--size") {
      if (i + 1 >= args.size()) return Usage("missing value after ", a);
      const std::string& value = args[++i];
      if (a == "-o") output = value;
      else if (!ParseSize(value, width, height)) return Usage("not a size (WxH, 16 to 16384 pixels): ", value);
    } else if (a == "--samples" && i == 0) {
      kind = a;  // the time graph of 'scan --graph', its samples on standard input
    } else if (a.starts_with("-") && a != "-") {
      return Usage("unexpected argument ", a);
    } else if (kind.empty()) {
      kind = a;
    } else if (file.empty()) {
      file = a;
    } else {
      return Usage("unexpected argument ", a);
    }
  }
  if (kind == "--samples") {
    if (output.empty()) return Usage("-o OUTPUT is required");
    return DrawSamples(output, width, height);
  }
  int band = -1;
  if (kind == "spectrum2") band = 0;
  else if (kind == "spectrum5") band = 1;
  else if (kind == "spectrum6") band = 2;
  if (band < 0) return Usage(kind.empty() ? "give a graph" : "unknown graph ", kind);
  if (file.empty()) return Usage("FILE is required");
  if (output.empty()) return Usage("-o OUTPUT is required");

  std::string error;
  auto loaded = skimlet::cli::LoadNetworks(file, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli graph: %s\n", error.c_str());
    return 1;
  }
  std::unique_ptr<skimlet::TGraphRSSIChannels> graph;
  if (band == 0) graph = std::make_unique<skimlet::TGraphRSSIChannel2>();
  else if (band == 1) graph = std::make_unique<skimlet::TGraphRSSIChannel5>();
  else graph = std::make_unique<skimlet::TGraphRSSIChannel6>();
  skimlet::TNetworkListRows rows(loaded->List.get());
  graph->Tree = &rows;
  graph->ShowLegend = false;
  graph->DrawBackgroundSpectrum = loaded->Options.bDrawBackroundSpectrum;
  PaperColours(*graph);
  return Export(*graph, output, width, height, "graph");
}

}  // namespace

// skimlet-cli-graph [--lang LANGUAGE] ARGS...: the drawing half of 'skimlet-cli graph'.
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::string> lang;
  if (args.size() >= 2 && args[0] == "--lang") {
    lang = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  std::string error;
  if (!skimlet::cli::SetUpLanguage(lang, error)) {
    std::fprintf(stderr, "skimlet-cli: %s\n", error.c_str());
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the session (no runtime folder, no display) are no news on a command line.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "skimlet-cli graph: %s\n", qPrintable(message));
  });
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  return Draw(args);
}

#else  // the launcher in skimlet-cli

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace skimlet::cli {

namespace {

// The drawing program beside skimlet-cli (build tree, portable copy) or in libexec/skimlet; empty when missing.
std::string FindHelper() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  for (const char* candidate : {"skimlet-cli-graph", "../libexec/skimlet/skimlet-cli-graph"}) {
    const std::filesystem::path path = self.parent_path() / candidate;
    if (::access(path.c_str(), X_OK) == 0) return path.string();
  }
  return {};
}

std::vector<std::string> HelperCommand(const std::string& helper, const Args& args,
                                       const std::optional<std::string>& lang) {
  std::vector<std::string> all{helper};
  if (lang) all.insert(all.end(), {"--lang", *lang});
  all.insert(all.end(), args.begin(), args.end());
  return all;
}

std::vector<char*> Argv(std::vector<std::string>& all) {
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

constexpr const char* kNoHelper = "the drawing program skimlet-cli-graph is not installed";

}  // namespace

namespace {

// Reads 'graph KIND FILE -o OUTPUT [--size WxH]' as every command reads its arguments; the helper's command
// line, or the exit status when the command ends here.
std::optional<int> ReadGraphArguments(const Args& args, Args& helperArgs) {
  static constexpr std::string_view kKinds[] = {"spectrum2", "spectrum5", "spectrum6"};
  std::string output, size;
  Args words;
  const CommandLine line = CommandLineOf("graph");
  if (auto status = ReadArguments(line, args, words, [&](const Args& a, size_t& i, std::string& error) {
        std::string value;
        if (TakeOption(a, i, "-o", value, error) || TakeOption(a, i, "--output", value, error)) {
          output = value;
          return true;
        }
        if (!TakeOption(a, i, "--size", value, error)) return false;
        int width = 0, height = 0;
        if (error.empty()) error = ReadSize("--size", value, width, height);
        size = value;
        return true;
      }))
    return status;
  size_t kind = 0;
  if (std::string error = ReadOneOf("KIND", words[0], kKinds, kind); !error.empty()) return UsageError("graph", error);
  if (words.size() < 2) return UsageError("graph", "give a FILE (- for standard input)");
  if (words.size() > 2) return UsageError("graph", "unexpected argument '" + words[2] + "' (one FILE only)");
  if (output.empty()) return UsageError("graph", "-o OUTPUT is required");
  helperArgs = {std::string(kKinds[kind]), "-o", output};
  if (!size.empty()) helperArgs.insert(helperArgs.end(), {"--size", size});
  helperArgs.insert(helperArgs.end(), {"--", words[1]});
  return std::nullopt;
}

}  // namespace

int RunGraph(const Args& commandArgs, const std::optional<std::string>& lang) {
  Args args = commandArgs;
  // 'scan --graph' and 'report' hand their samples and images over as they are.
  const bool internal = !args.empty() && (args[0] == "--samples" || args[0] == "--report-images");
  if (!internal)
    if (auto status = ReadGraphArguments(commandArgs, args)) return *status;
  const std::string helper = FindHelper();
  if (helper.empty()) {
    std::fprintf(stderr, "skimlet-cli graph: %s\n", kNoHelper);
    return 1;
  }
  std::vector<std::string> all = HelperCommand(helper, args, lang);
  std::vector<char*> argv = Argv(all);
  std::fflush(nullptr);
  ::execv(helper.c_str(), argv.data());
  std::fprintf(stderr, "skimlet-cli graph: cannot run %s: %s\n", helper.c_str(), std::strerror(errno));
  return 1;
}

int RunGraphWithInput(const Args& args, const std::optional<std::string>& lang, std::string_view input,
                      const char* who) {
  const std::string helper = FindHelper();
  if (helper.empty()) {
    std::fprintf(stderr, "skimlet-cli %s: %s\n", who, kNoHelper);
    return 1;
  }
  std::vector<std::string> all = HelperCommand(helper, args, lang);
  std::vector<char*> argv = Argv(all);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "skimlet-cli %s: %s\n", who, std::strerror(errno));
    return 1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  std::fflush(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, helper.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[0]);
  if (spawned != 0) {
    ::close(fds[1]);
    std::fprintf(stderr, "skimlet-cli %s: cannot run %s: %s\n", who, helper.c_str(), std::strerror(spawned));
    return 1;
  }
  // A helper that stops reading early has said why on standard error; its exit status tells the rest.
  for (size_t done = 0; done < input.size();) {
    const ssize_t n = ::write(fds[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fds[1]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace skimlet::cli

#endif

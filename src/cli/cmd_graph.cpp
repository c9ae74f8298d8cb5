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

#ifdef SKIMLET_CLI_GRAPH_HELPER

#include <QGuiApplication>
#include <QString>

#include <memory>

#include "cli/language.h"
#include "cli/snapshot_input.h"
#include "render/wifi_graphs.h"

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli graph spectrum2|spectrum5|spectrum6 FILE -o OUTPUT [--size WxH]\n"
    "\n"
    "Draws the channel spectrum of the 2.4, 5 or 6 GHz band of a snapshot or capture file: every network of the\n"
    "band that was active when the file was written, at its last signal level. Needs no display.\n"
    "\n"
    "  -o OUTPUT     the picture: PNG, or BMP when OUTPUT ends in .bmp; replaced only once it is complete\n"
    "  --size WxH    its size in pixels, 16 to 16384 each (default 800x400)\n"
    "\n"
    "Example: skimlet-cli graph spectrum5 survey.snapshot -o five.png --size 1200x400\n"
    "Exit status: 0 done, 1 the file cannot be read or the picture not written, 2 usage error.\n";

int Usage(const char* problem, const std::string& detail = {}) {
  std::fprintf(stderr, "skimlet-cli graph: %s%s\n\n%s", problem, detail.c_str(), kUsage);
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

int Draw(const std::vector<std::string>& args) {
  std::string kind, file, output;
  int width = 800, height = 400;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "-o" || a == "--size") {
      if (i + 1 >= args.size()) return Usage("missing value after ", a);
      const std::string& value = args[++i];
      if (a == "-o") output = value;
      else if (!ParseSize(value, width, height)) return Usage("not a size (WxH, 16 to 16384 pixels): ", value);
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
  // The picture looks the same on every machine: white paper, not the desktop's theme.
  graph->BackgroundColor = Qt::white;
  graph->AxisColor = graph->TickColor = QColor(105, 105, 105);
  graph->AxisFontColor = graph->LegendFontColor = Qt::black;
  error = graph->ExportToFile(QString::fromStdString(output), QSize(width, height));
  if (!error.empty()) {
    std::fprintf(stderr, "skimlet-cli graph: %s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
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

#include <filesystem>
#include <unistd.h>

namespace skimlet::cli {

int RunGraph(const Args& args, const std::optional<std::string>& lang) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string helper;
  for (const char* candidate : {"skimlet-cli-graph", "../libexec/skimlet/skimlet-cli-graph"}) {
    const std::filesystem::path path = self.parent_path() / candidate;
    if (!ec && ::access(path.c_str(), X_OK) == 0) {
      helper = path.string();
      break;
    }
  }
  if (helper.empty()) {
    std::fputs("skimlet-cli graph: the drawing program skimlet-cli-graph is not installed\n", stderr);
    return 1;
  }
  std::vector<std::string> all{helper};
  if (lang) all.insert(all.end(), {"--lang", *lang});
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  ::execv(helper.c_str(), argv.data());
  std::fprintf(stderr, "skimlet-cli graph: cannot run %s: %s\n", helper.c_str(), std::strerror(errno));
  return 1;
}

}  // namespace skimlet::cli

#endif

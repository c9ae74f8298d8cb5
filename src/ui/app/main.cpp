// skimlet: the windowed program.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "backends/select.h"
#include "core/base/memory_policy.h"
#include "ui/app/app_guard.h"
#include "ui/window/main_window.h"

using namespace skimlet;

namespace {

bool HasDisplay() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  skimlet::SetLongRunMemoryPolicy();
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "skimlet: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it inside a desktop session, over \"ssh -X\", or headless with QT_QPA_PLATFORM=offscreen.\n"
                 "skimlet-cli works without a display.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("skimlet"));

  std::vector<std::string> args;
  std::string serviceChoice;  // empty: the Linux radio when there is Wi-Fi hardware, else the simulated one
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--service" && i + 1 < argc) serviceChoice = argv[++i];
    else if (a.starts_with("--service=")) serviceChoice = a.substr(10);
    else args.push_back(std::move(a));
  }

  // A second start brings the running window to the front and leaves without touching any file.
  TSingleInstance guard;
  if (!guard.Acquire()) return 0;

  TStartEnvironment env;
  env.Folders = ResolveProgramFolders(ExecutableFolder(), ParseCommandLineSwitches(args), ProcessEnvironment());
  env.CreateService = [serviceChoice](const TProgramOptions&, const TProgramFolders& folders) {
    sim::SimOptions simOptions;
    simOptions.Seed = std::random_device{}();
    simOptions.SettingsFolder = folders.SettingsFolder.string();
    ServiceSelection selection = SelectWlanService(serviceChoice, folders.ProgramFolder.string(), simOptions);
    TWindowService made;
    if (!selection.Service) {
      std::fprintf(stderr, "skimlet: %s\n", selection.Error.c_str());
      return made;
    }
    if (!selection.Notice.empty()) std::fprintf(stderr, "skimlet: %s\n", selection.Notice.c_str());
    made.Service = std::move(selection.Service);
    made.Simulated = selection.Name != "linux";
    return made;
  };

  int rc = 0;
  {
    TfrmSkimlet window(std::move(env));
    guard.OnActivate = [&window] { window.BringToFront(); };
    InstallQuitSignals(&window);
    if (!window.TerminateRequested()) {
      window.ShowStored();
      rc = QApplication::exec();
    }
  }
  return rc;
}

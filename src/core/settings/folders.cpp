#include "core/settings/folders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace skimlet {

namespace fs = std::filesystem;

#ifndef SKIMLET_COMPANY
#define SKIMLET_COMPANY ""
#endif
#ifndef SKIMLET_PRODUCT
#define SKIMLET_PRODUCT ""
#endif

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// An XDG base folder must be absolute; relative values are ignored.
std::optional<fs::path> AbsoluteFolder(const std::optional<std::string>& value) {
  if (!value || value->empty() || (*value)[0] != '/') return std::nullopt;
  return fs::path(*value);
}

fs::path HomeFolder(const TEnvironment& environment) {
  if (auto home = AbsoluteFolder(environment("HOME"))) return *home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return "/";
}

}  // namespace

bool IsCommandLineSwitch(std::string_view arg, std::string_view name) {
  if (arg.size() >= 2 && arg[0] == '-' && arg[1] == '-') {
    arg.remove_prefix(2);
  } else if (!arg.empty() && (arg[0] == '-' || arg[0] == '/')) {
    arg.remove_prefix(1);
  } else {
    return false;
  }
  return EqualsNoCase(arg, name);
}

TCommandLineSwitches ParseCommandLineSwitches(const std::vector<std::string>& args) {
  TCommandLineSwitches s;
  for (const std::string& a : args) {
    if (IsCommandLineSwitch(a, "portable")) s.Portable = true;
    if (IsCommandLineSwitch(a, "systemwideconfig")) s.SystemWideConfig = true;
  }
  return s;
}

TEnvironment ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string(v);
  };
}

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path FindDataFolder(const fs::path& programFolder) {
  std::error_code ec;
  if (fs::is_directory(programFolder / "languages", ec) || fs::is_directory(programFolder / "Default", ec))
    return programFolder;
  fs::path folder = programFolder;
  if (folder.filename().empty()) folder = folder.parent_path();  // a trailing "/"
  // Installed programs: PREFIX/bin, and the helper programs in PREFIX/libexec/skimlet.
  fs::path prefix;
  if (folder.filename() == "bin") prefix = folder.parent_path();
  else if (folder.parent_path().filename() == "libexec") prefix = folder.parent_path().parent_path();
  if (!prefix.empty()) {
    fs::path shared = prefix / kInstalledDataFolder;
    if (fs::is_directory(shared, ec)) return shared;
  }
  return programFolder;
}

fs::path FindDocumentsFolder(const fs::path& dataFolder) {
  fs::path folder = dataFolder;
  if (folder.filename().empty()) folder = folder.parent_path();
  if (folder.filename() == "skimlet" && folder.parent_path().filename() == "share")
    return folder.parent_path().parent_path() / kInstalledDocumentsFolder;
  return dataFolder;
}

std::string CompanyName() {
  std::string name = SKIMLET_COMPANY;
  return name.empty() ? "Brankwell" : name;
}

std::string ProductName() {
  std::string name = SKIMLET_PRODUCT;
  return name.empty() ? "Skimlet" : name;
}

TProgramFolders ResolveProgramFolders(const fs::path& programFolder, const TCommandLineSwitches& switches,
                                      const TEnvironment& environment) {
  TProgramFolders f;
  f.ProgramFolder = programFolder;
  f.DataFolder = FindDataFolder(programFolder);
  f.DefaultFolder = f.DataFolder / "Default";
  f.DocumentsFolder = FindDocumentsFolder(f.DataFolder);
  if (switches.Portable) {
    f.SettingsFolder = programFolder;
  } else {
    fs::path base;
    if (switches.SystemWideConfig) {
      base = "/etc/xdg";
      if (auto dirs = environment("XDG_CONFIG_DIRS")) {
        // The first absolute entry of the colon-separated list.
        std::string_view rest = *dirs;
        while (!rest.empty()) {
          size_t colon = rest.find(':');
          std::string_view item = rest.substr(0, colon);
          if (!item.empty() && item[0] == '/') {
            base = fs::path(std::string(item));
            break;
          }
          if (colon == std::string_view::npos) break;
          rest.remove_prefix(colon + 1);
        }
      }
    } else if (auto home = AbsoluteFolder(environment("XDG_CONFIG_HOME"))) {
      base = *home;
    } else {
      base = HomeFolder(environment) / ".config";
    }
    f.SettingsFolder = base / CompanyName() / ProductName();
  }
  f.LanguagesFolder = f.SettingsFolder / "languages";
  return f;
}

}  // namespace skimlet

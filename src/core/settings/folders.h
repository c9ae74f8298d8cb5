// Where the program finds its own files and keeps the user's settings.
//
//   program folder   the folder of the executable
//   data folder      the program folder when it holds the shipped files (build tree, portable copy), else
//                    <prefix>/share/skimlet of an installed layout (executable in <prefix>/bin)
//   default folder   data folder + "Default": the shipped options.xml and the report templates
//   documents folder <prefix>/share/doc/skimlet of an installed layout (README, copyright, changelog),
//                    else the data folder
//   settings folder  with the switch "portable" the program folder; with "systemwideconfig" the first folder
//                    of $XDG_CONFIG_DIRS (default /etc/xdg); otherwise $XDG_CONFIG_HOME (default ~/.config);
//                    the last two followed by the company and the product name
//   languages folder settings folder + "languages"
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet {

inline constexpr std::string_view kOptionsFileName = "options.xml";
// The installed layout below the prefix: the shipped data and the documents.
inline constexpr std::string_view kInstalledDataFolder = "share/skimlet";
inline constexpr std::string_view kInstalledDocumentsFolder = "share/doc/skimlet";

struct TCommandLineSwitches {
  bool Portable = false;
  bool SystemWideConfig = false;
};

// Recognises "portable" and "systemwideconfig" after "-", "--" or "/", in any letter case.
TCommandLineSwitches ParseCommandLineSwitches(const std::vector<std::string>& args);
// True when Arg is the switch Name written with "-", "--" or "/" in any letter case.
bool IsCommandLineSwitch(std::string_view arg, std::string_view name);

struct TProgramFolders {
  std::filesystem::path ProgramFolder;
  std::filesystem::path DataFolder;
  std::filesystem::path DefaultFolder;
  std::filesystem::path DocumentsFolder;
  std::filesystem::path SettingsFolder;
  std::filesystem::path LanguagesFolder;

  std::filesystem::path OptionsFile() const { return SettingsFolder / kOptionsFileName; }
  // The shipped language files, copied into LanguagesFolder at start.
  std::filesystem::path ShippedLanguagesFolder() const { return DataFolder / "languages"; }
};

// Reads an environment variable; tests pass their own.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;
TEnvironment ProcessEnvironment();

// The folder of the running executable (from /proc/self/exe), or the current folder when unknown.
std::filesystem::path ExecutableFolder();

// The data folder for a program folder: itself when it holds "languages" or "Default", else
// <prefix>/share/skimlet when the program folder is <prefix>/bin or <prefix>/libexec/skimlet and that folder
// exists, else itself.
std::filesystem::path FindDataFolder(const std::filesystem::path& programFolder);

// The documents folder for a data folder: <prefix>/share/doc/skimlet when the data folder is
// <prefix>/share/skimlet, else the data folder itself.
std::filesystem::path FindDocumentsFolder(const std::filesystem::path& dataFolder);

// The company and product names of this build ("Brankwell", "Skimlet" when the build does not say).
std::string CompanyName();
std::string ProductName();

TProgramFolders ResolveProgramFolders(const std::filesystem::path& programFolder, const TCommandLineSwitches& switches,
                                      const TEnvironment& environment);

}  // namespace skimlet

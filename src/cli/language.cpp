#include "cli/language.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/settings/folders.h"
#include "core/settings/lang.h"

namespace skimlet::cli {

namespace fs = std::filesystem;

namespace {

TLangChanger& Language() {
  static TLangChanger lang;
  return lang;
}

fs::path ShippedFolder() { return FindDataFolder(ExecutableFolder()) / "languages"; }

// The names of the shipped languages, sorted: "deutsch", "english", ...
std::vector<std::string> ShippedLanguages() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(ShippedFolder(), ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".lng") names.push_back(it->path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A shipped language by name ("deutsch" or "deutsch.lng") first, then a path.
std::optional<fs::path> FindLanguageFile(const std::string& file) {
  std::error_code ec;
  if (!file.empty() && file.find('/') == std::string::npos) {
    const fs::path shipped = ShippedFolder();
    for (const fs::path& candidate : {shipped / (file + ".lng"), shipped / file})
      if (candidate.extension() == ".lng" && fs::is_regular_file(candidate, ec)) return candidate;
  }
  if (fs::is_regular_file(file, ec)) return fs::path(file);
  return std::nullopt;
}

}  // namespace

MachineTexts::MachineTexts() : previous_(GetTextSource()) {
  struct English : TLangChanger {
    English() { OpenBuiltInEnglish(); }
  };
  static English english;
  SetTextSource(&english);
}

MachineTexts::~MachineTexts() { SetTextSource(previous_); }

bool SetUpLanguage(const std::optional<std::string>& file, std::string& error) {
  std::optional<fs::path> path;
  if (file) {
    path = FindLanguageFile(*file);
    std::string bytes;
    if (!path) {
      std::string shipped;
      for (const std::string& name : ShippedLanguages()) shipped += (shipped.empty() ? "" : ", ") + name;
      error = "--lang: '" + *file + "' is neither a shipped language (" + (shipped.empty() ? "none found" : shipped) +
              ") nor a language file";
      return false;
    }
    if (!ReadWholeFile(*path, bytes)) {
      error = "--lang: " + path->string() + ": cannot be read";
      return false;
    }
    // A language file has a section "Translations" with keys; any other file is refused, not half used.
    if (TLangFile::Parse(bytes).Size() == 0) {
      error = "--lang: " + path->string() + ": not a language file (no [Translations] section with texts)";
      return false;
    }
  } else {
    path = FindLanguageFile("english.lng");
  }
  if (path) Language().OpenLangFileReadOnly(path->string());
  else Language().OpenBuiltInEnglish();  // a copy of the program without its data folder
  Language().LoadLanguageTexts();
  SetTextSource(&Language());
  return true;
}

}  // namespace skimlet::cli

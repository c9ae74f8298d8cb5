#include "cli/language.h"

#include <filesystem>

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

std::optional<fs::path> FindLanguageFile(const std::string& file) {
  std::error_code ec;
  if (fs::is_regular_file(file, ec)) return fs::path(file);
  if (file.find('/') != std::string::npos) return std::nullopt;
  fs::path shipped = FindDataFolder(ExecutableFolder()) / "languages";
  for (const fs::path& candidate : {shipped / file, shipped / (file + ".lng")})
    if (fs::is_regular_file(candidate, ec)) return candidate;
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
    if (!path || !ReadWholeFile(*path, bytes)) {
      error = "cannot read the language file '" + *file + "'";
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

// A fresh folder under /tmp for one test, removed with everything in it at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/base/atomic_file.h"

namespace skimlet::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skimlet-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    Path = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return Path / name; }

  std::filesystem::path Path;
};

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::string text;
  ReadWholeFile(path, text);
  return text;
}

}  // namespace skimlet::test

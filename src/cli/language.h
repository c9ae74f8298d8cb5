// The language of skimlet-cli's texts. It never writes a file: no settings, no language file.
#pragma once

#include <optional>
#include <string>

#include "core/base/translate.h"

namespace skimlet::cli {

// Installs the language file File (a path, or the name of a shipped language such as "deutsch.lng" or
// "deutsch"); without File, the shipped english.lng when there is one, else the built-in keys. False, with
// Error set, when File cannot be read.
bool SetUpLanguage(const std::optional<std::string>& file, std::string& error);

// While one lives, texts come from the built-in English whatever --lang chose: the machine formats (JSON,
// TSV) read the same in every language.
class MachineTexts {
 public:
  MachineTexts();
  ~MachineTexts();
  MachineTexts(const MachineTexts&) = delete;
  MachineTexts& operator=(const MachineTexts&) = delete;

 private:
  const TextSource* previous_;
};

}  // namespace skimlet::cli

// The language of skimlet-cli's texts. It never writes a file: no settings, no language file.
#pragma once

#include <optional>
#include <string>

namespace skimlet::cli {

// Installs the language file File (a path, or the name of a shipped language such as "deutsch.lng" or
// "deutsch"); without File, the shipped english.lng when there is one, else the built-in keys. False, with
// Error set, when File cannot be read.
bool SetUpLanguage(const std::optional<std::string>& file, std::string& error);

}  // namespace skimlet::cli

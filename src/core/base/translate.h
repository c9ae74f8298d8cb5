// Text lookup for everything the user reads. Until a language is loaded every key stands for itself; the
// settings layer installs the loaded language as the text source.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skimlet {

class TextSource {
 public:
  virtual ~TextSource() = default;
  virtual std::optional<std::string> Lookup(std::string_view key) const = 0;
};

// The source used by Translate; nullptr (the default) means no language is loaded. The caller keeps the
// source alive while it is installed.
void SetTextSource(const TextSource* source);
const TextSource* GetTextSource();

// The text of Key from the current language, or Key itself.
std::string Translate(std::string_view key);
// The text of Key from the current language, or Fallback.
std::string Translate(std::string_view key, std::string_view fallback);

}  // namespace skimlet

#include "core/base/translate.h"

namespace skimlet {

namespace {
const TextSource* g_source = nullptr;
}

void SetTextSource(const TextSource* source) { g_source = source; }
const TextSource* GetTextSource() { return g_source; }

std::string Translate(std::string_view key) { return Translate(key, key); }

std::string Translate(std::string_view key, std::string_view fallback) {
  if (g_source) {
    if (auto text = g_source->Lookup(key)) return *text;
  }
  return std::string(fallback);
}

}  // namespace skimlet

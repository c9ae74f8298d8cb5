// Arbitrary bytes as a language file: parsing, lookups, the bare-key rewrite and window translation never
// crash, and every text is valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/settings/lang.h"
#include "core/settings/translate_forms.h"

namespace {

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n = (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : 0;
    if (n == 0 || i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

// A window that accepts every property name and checks what it gets.
struct AnyObject : skimlet::TTranslatable {
  std::string ClassName() const override { return "TfrmSkimlet"; }
  TTranslatable* FindComponent(std::string_view name) override { return name.size() % 2 ? this : nullptr; }
  skimlet::TPropertyKind PropertyKind(std::string_view name) const override {
    return static_cast<skimlet::TPropertyKind>(name.size() % 6);
  }
  TTranslatable* PropertyObject(std::string_view) override { return this; }
  void SetInteger(std::string_view, int64_t) override {}
  void SetFloat(std::string_view, double) override {}
  void SetString(std::string_view, const std::string& v) override {
    if (!ValidUtf8(v)) std::abort();
  }
  void SetStrings(std::string_view, const std::vector<std::string>& v) override {
    for (const auto& s : v)
      if (!ValidUtf8(s)) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TLangFile file = TLangFile::Parse(bytes);
  for (const std::string& key : file.Keys()) {
    const std::string* value = file.Find(key);
    if (!value || !ValidUtf8(key) || !ValidUtf8(*value)) std::abort();
  }
  // The rewrite only ever adds "=" and removes blanks around bare lines; parsing its result gives the same keys.
  TLangFile rewritten = TLangFile::Parse(RewriteBareKeysText(bytes));
  if (rewritten.Keys() != file.Keys()) std::abort();
  AnyObject window;
  for (const std::string& key : file.Keys()) {
    size_t dot = key.find('.');
    if (dot != std::string::npos) AssignPropertyPath(window, key.substr(dot + 1), *file.Find(key), ",");
  }
  return 0;
}

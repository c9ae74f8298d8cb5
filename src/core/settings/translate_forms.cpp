#include "core/settings/translate_forms.h"

#include <charconv>
#include <system_error>

#include "core/settings/lang.h"

namespace skimlet {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseInteger(std::string_view text, int64_t& out) {
  text = Trim(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

// The same number whichever decimal separator the translator used.
bool ParseFloat(std::string_view text, double& out) {
  std::string s(Trim(text));
  for (char& c : s)
    if (c == ',') c = '.';
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

std::vector<std::string> SplitListValue(std::string_view value, std::string_view separator) {
  std::vector<std::string> items;
  if (separator.empty()) separator = ",";
  size_t start = 0;
  while (true) {
    size_t hit = value.find(separator, start);
    std::string_view piece = value.substr(start, hit == std::string_view::npos ? value.npos : hit - start);
    bool last = hit == std::string_view::npos;
    piece = Trim(piece);
    if (!(last && piece.empty())) items.emplace_back(piece);
    if (last) break;
    start = hit + separator.size();
  }
  return items;
}

bool AssignPropertyPath(TTranslatable& window, std::string_view path, std::string_view value,
                        std::string_view separator) {
  TTranslatable* current = &window;
  size_t dot = path.find('.');
  if (dot != std::string_view::npos) {
    if (TTranslatable* component = window.FindComponent(path.substr(0, dot))) {
      current = component;
      path.remove_prefix(dot + 1);
    }
  }
  while ((dot = path.find('.')) != std::string_view::npos) {
    std::string_view name = path.substr(0, dot);
    if (current->PropertyKind(name) != TPropertyKind::Object) return false;
    current = current->PropertyObject(name);
    if (!current) return false;
    path.remove_prefix(dot + 1);
  }
  switch (current->PropertyKind(path)) {
    case TPropertyKind::None: return false;
    case TPropertyKind::Integer: {
      int64_t v = 0;
      if (!ParseInteger(value, v)) return false;
      current->SetInteger(path, v);
      return true;
    }
    case TPropertyKind::Float: {
      double v = 0;
      if (!ParseFloat(value, v)) return false;
      current->SetFloat(path, v);
      return true;
    }
    case TPropertyKind::String: current->SetString(path, std::string(value)); return true;
    default: current->SetStrings(path, SplitListValue(value, separator)); return true;
  }
}

void TranslateForms(const TLangChanger& lang, std::span<TTranslatable* const> openWindows, TTranslatable* window) {
  if (lang.LangFile().empty()) return;
  std::vector<std::pair<TTranslatable*, std::string>> targets;  // window and its class name in lower case
  if (window) {
    targets.emplace_back(window, LowerAscii(window->ClassName()));
  } else {
    for (TTranslatable* w : openWindows)
      if (w) targets.emplace_back(w, LowerAscii(w->ClassName()));
  }
  for (const std::string& key : lang.File().Keys()) {
    size_t dot = key.find('.');
    std::string className = "t" + LowerAscii(std::string_view(key).substr(0, dot == std::string::npos ? 0 : dot));
    if (dot == std::string::npos) continue;  // a text key, not a property key
    const std::string* value = lang.File().Find(key);
    if (!value) continue;
    std::string_view path = std::string_view(key).substr(dot + 1);
    for (auto& [target, name] : targets)
      if (name == className) AssignPropertyPath(*target, path, *value, lang.Separator());
  }
}

}  // namespace skimlet

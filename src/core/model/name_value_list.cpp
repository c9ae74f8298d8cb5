#include "core/model/name_value_list.h"

#include "core/base/atomic_file.h"

namespace skimlet {

namespace {
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}
}  // namespace

bool TNameValueList::LoadFromFile(const std::filesystem::path& path) {
  lines_.clear();
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string_view line(text.data() + pos, (end == std::string::npos ? text.size() : end) - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) lines_.emplace_back(std::string(line), std::string());
    else lines_.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
  }
  return true;
}

std::string TNameValueList::ToText() const {
  std::string text;
  for (const auto& [name, value] : lines_) {
    text += name;
    text += '=';
    text += value;
    text += "\r\n";
  }
  return text;
}

std::string TNameValueList::SaveToFile(const std::filesystem::path& path) const { return WriteFileAtomic(path, ToText()); }

ptrdiff_t TNameValueList::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SameName(lines_[i].first, name)) return static_cast<ptrdiff_t>(i);
  return -1;
}

std::string TNameValueList::Value(std::string_view name) const {
  ptrdiff_t i = IndexOf(name);
  return i < 0 ? std::string() : lines_[static_cast<size_t>(i)].second;
}

void TNameValueList::Set(std::string_view name, std::string_view value) {
  // A value is one line: line breaks inside it would split the entry when the file is read again.
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  ptrdiff_t i = IndexOf(name);
  if (i >= 0) lines_[static_cast<size_t>(i)].second = std::move(v);
  else lines_.emplace_back(std::string(name), std::move(v));
}

void TNameValueList::Remove(std::string_view name) {
  ptrdiff_t i = IndexOf(name);
  if (i >= 0) Delete(static_cast<size_t>(i));
}

}  // namespace skimlet

#include "core/model/name_value_list.h"

#include "core/base/atomic_file.h"

namespace skimlet {

std::string TNameValueList::Key(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return key;
}

void TNameValueList::Append(std::string name, std::string value) {
  std::string key = Key(name);
  lines_.emplace_back(std::move(name), std::move(value));
  if (!index_.try_emplace(std::move(key), std::prev(lines_.end())).second) ++shadowed_;
}

bool TNameValueList::LoadFromFile(const std::filesystem::path& path) {
  Clear();
  shadowed_ = 0;
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
    if (eq == std::string_view::npos) Append(std::string(line), std::string());
    else Append(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
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

std::string TNameValueList::SaveToFile(const std::filesystem::path& path) const {
  return WriteFileAtomic(path, ToText());
}

std::string TNameValueList::Value(std::string_view name) const {
  auto it = index_.find(Key(name));
  return it == index_.end() ? std::string() : it->second->second;
}

void TNameValueList::Set(std::string_view name, std::string_view value) {
  // A value is one line: line breaks inside it would split the entry when the file is read again.
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  auto it = index_.find(Key(name));
  if (it != index_.end()) it->second->second = std::move(v);
  else Append(std::string(name), std::move(v));
}

void TNameValueList::Remove(std::string_view name) {
  auto it = index_.find(Key(name));
  if (it == index_.end()) return;
  lines_.erase(it->second);
  index_.erase(it);
  Reindex(name);
}

void TNameValueList::DeleteFirst() {
  if (lines_.empty()) return;
  std::string name = lines_.front().first;
  auto it = index_.find(Key(name));
  bool indexed = it != index_.end() && it->second == lines_.begin();
  lines_.pop_front();
  if (indexed) {
    index_.erase(it);
    Reindex(name);
  }
}

void TNameValueList::Reindex(std::string_view name) {
  // Another line of the same name (a hand-edited file may hold two) becomes the one that is found.
  if (shadowed_ == 0) return;
  std::string key = Key(name);
  for (auto line = lines_.begin(); line != lines_.end(); ++line)
    if (Key(line->first) == key) {
      index_.emplace(key, line);
      --shadowed_;
      return;
    }
}

}  // namespace skimlet

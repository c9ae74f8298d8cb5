// A list of "name=value" lines, as comments.txt and colors.txt hold them: names compared without letter
// case, lines in file order, files with CR LF line ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skimlet {

class TNameValueList {
public:
  // Replaces the lines with those of the file; a missing file gives an empty list. A line without "=" is
  // kept as a name with an empty value, as a text list would.
  bool LoadFromFile(const std::filesystem::path& path);
  // Writes every line, CR LF after each, atomically. Returns an empty text or what went wrong.
  std::string SaveToFile(const std::filesystem::path& path) const;

  size_t Count() const { return lines_.size(); }
  const std::string& Name(size_t i) const { return lines_[i].first; }
  const std::string& ValueAt(size_t i) const { return lines_[i].second; }
  // The value of the first line named Name (any letter case), empty when there is none.
  std::string Value(std::string_view name) const;
  bool Contains(std::string_view name) const { return IndexOf(name) >= 0; }
  // Replaces the value of the line named Name, or adds a line at the end.
  void Set(std::string_view name, std::string_view value);
  // Removes the line named Name.
  void Remove(std::string_view name);
  void Delete(size_t index) { lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index)); }
  void Clear() { lines_.clear(); }

  std::string ToText() const;

private:
  ptrdiff_t IndexOf(std::string_view name) const;
  std::vector<std::pair<std::string, std::string>> lines_;
};

}  // namespace skimlet

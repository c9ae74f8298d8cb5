// A list of "name=value" lines, as comments.txt and colors.txt hold them: names compared without letter
// case, lines in file order, files with CR LF line ends.
#pragma once

#include <filesystem>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace skimlet {

class TNameValueList {
 public:
  // Replaces the lines with those of the file; a missing file gives an empty list. A line without "=" is
  // kept as a name with an empty value, as a text list would.
  bool LoadFromFile(const std::filesystem::path& path);
  // Writes every line, CR LF after each, atomically. Returns an empty text or what went wrong.
  std::string SaveToFile(const std::filesystem::path& path) const;

  size_t Count() const { return lines_.size(); }
  // Line I (0 = first); walks from the first line.
  const std::string& Name(size_t i) const { return std::next(lines_.begin(), static_cast<std::ptrdiff_t>(i))->first; }
  const std::string& ValueAt(size_t i) const {
    return std::next(lines_.begin(), static_cast<std::ptrdiff_t>(i))->second;
  }
  // The value of the first line named Name (any letter case), empty when there is none.
  std::string Value(std::string_view name) const;
  bool Contains(std::string_view name) const { return index_.contains(Key(name)); }
  // Replaces the value of the line named Name, or adds a line at the end.
  void Set(std::string_view name, std::string_view value);
  // Removes the line named Name.
  void Remove(std::string_view name);
  // Removes the first line.
  void DeleteFirst();
  void Clear() {
    lines_.clear();
    index_.clear();
    shadowed_ = 0;
  }

  std::string ToText() const;

 private:
  using Lines = std::list<std::pair<std::string, std::string>>;
  // Names compare without letter case: the index is keyed by the lower-case name and finds the first line of
  // that name, so lookups stay fast in a list of a thousand colours.
  static std::string Key(std::string_view name);
  void Append(std::string name, std::string value);
  void Reindex(std::string_view name);

  Lines lines_;
  std::unordered_map<std::string, Lines::iterator> index_;
  size_t shadowed_ = 0;  // lines whose name an earlier line already has
};

}  // namespace skimlet

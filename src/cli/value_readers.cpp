#include "cli/value_readers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace skimlet::cli {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

bool ParseNumber(const std::string& text, double& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The column where the text of a line continues: after an option's name and value on an option line, after
// the command on a usage line, else after the leading blanks.
size_t HangingIndent(std::string_view line) {
  const size_t lead = line.find_first_not_of(' ');
  if (lead == std::string_view::npos) return 0;
  if (lead == 0 && line.starts_with("Usage: skimlet-cli ")) {
    const size_t command = line.find(' ', 19);
    return command == std::string_view::npos ? lead : command + 1;
  }
  if (lead > 0) {
    const size_t gap = line.find("  ", lead);
    if (gap != std::string_view::npos) {
      const size_t text = line.find_first_not_of(' ', gap);
      if (text != std::string_view::npos && text < 40) return text;
    }
  }
  return lead;
}

// Whether Next goes on with the text of Previous (a line broken in the source): it starts at Previous's
// hanging indent, is no item of its own, and Previous ends no sentence nor Next starts a heading ("Example:").
bool Continues(std::string_view previous, std::string_view next) {
  const size_t lead = next.find_first_not_of(' ');
  if (lead == std::string_view::npos || previous.find_first_not_of(' ') == std::string_view::npos) return false;
  if (lead != HangingIndent(previous) || HangingIndent(next) != lead) return false;
  if (previous.ends_with('.')) return false;
  const size_t colon = next.find(": ", lead);
  return !(next[lead] >= 'A' && next[lead] <= 'Z' && colon != std::string_view::npos && colon < lead + 16);
}

void WrapLine(std::string_view line, size_t width, std::string& out) {
  const std::string indent(HangingIndent(line), ' ');
  bool first = true;
  while (true) {
    const std::string_view prefix = first ? std::string_view() : std::string_view(indent);
    if (prefix.size() + line.size() <= width) break;
    // The last blank that leaves the line within Width, past the indent.
    const size_t room = width - prefix.size();
    size_t cut = line.rfind(' ', room);
    const size_t floor = first ? indent.size() : 0;
    if (cut == std::string_view::npos || cut <= floor) cut = line.find(' ', room);  // one word too long: let it be
    if (cut == std::string_view::npos) break;
    out += prefix;
    out += line.substr(0, cut);
    out += '\n';
    line.remove_prefix(cut);
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    first = false;
  }
  if (!first) out += indent;
  out += line;
}

}  // namespace

std::string ReadWhole(std::string_view option, const std::string& text, long min, long max, std::string_view what,
                      long& value) {
  double n = 0;
  if (!ParseNumber(text, n) || n < static_cast<double>(min) || n > static_cast<double>(max) || n != std::floor(n))
    return std::string(option) + " wants " + std::string(what) + ", not '" + text + "'";
  value = static_cast<long>(n);
  return {};
}

std::string ReadNumber(std::string_view option, const std::string& text, double min, double max, std::string_view what,
                       double& value) {
  double n = 0;
  if (!ParseNumber(text, n) || n < min || n > max)
    return std::string(option) + " wants " + std::string(what) + ", not '" + text + "'";
  value = n;
  return {};
}

std::string ReadSize(std::string_view option, const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  char x = 0, rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X') || w < 16 || h < 16 ||
      w > 16384 || h > 16384)
    return std::string(option) + " wants WxH, 16 to 16384 pixels each, not '" + text + "'";
  width = w;
  height = h;
  return {};
}

std::string NamesText(std::span<const std::string_view> names) {
  std::string out;
  for (std::string_view n : names) out += (out.empty() ? "" : ", ") + std::string(n);
  return out;
}

std::string ReadOneOf(std::string_view option, const std::string& text, std::span<const std::string_view> names,
                      size_t& index) {
  const std::string word = Lower(text);
  for (size_t i = 0; i < names.size(); ++i)
    if (word == Lower(names[i])) {
      index = i;
      return {};
    }
  return std::string(option) + ": unknown value '" + text + "' (one of " + NamesText(names) + ")";
}

std::string ReadNameList(std::string_view option, const std::string& text, std::span<const std::string_view> names,
                         std::vector<size_t>& indexes) {
  std::vector<size_t> result;
  for (size_t start = 0; start <= text.size();) {
    const size_t comma = std::min(text.find(',', start), text.size());
    size_t index = 0;
    if (std::string error = ReadOneOf(option, text.substr(start, comma - start), names, index); !error.empty())
      return error;
    result.push_back(index);
    start = comma + 1;
  }
  indexes = std::move(result);
  return {};
}

std::string WrapLines(std::string_view text, size_t width) {
  // Lines broken in the source are joined first, then every line is broken at Width.
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (!lines.empty() && Continues(lines.back(), line))
      lines.back() += " " + std::string(line.substr(line.find_first_not_of(' ')));
    else lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  std::string out;
  for (const std::string& line : lines) {
    WrapLine(line, width, out);
    out += '\n';
  }
  return out;
}

}  // namespace skimlet::cli

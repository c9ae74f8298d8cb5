// Report templates: files with placeholders "{{name}}" and the one-pass filling of them, plus the text
// escapes a page needs.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace skimlet::report {

// A text, or the reason there is none. Ok() when Error is empty.
struct TTextResult {
  std::string Text;
  std::string Error;
  bool Ok() const { return Error.empty(); }
};

// Orders names without regard to ASCII letter case; transparent, so a std::string_view finds a key.
struct TCaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// Placeholder names (any case) and the texts that replace them.
using TPlaceholders = std::map<std::string, std::string, TCaseInsensitiveLess>;

// Replaces every "{{name}}" of Text whose name is in Values (without regard to letter case) by its value.
// One pass from left to right: an inserted value is never searched again, so a value that itself reads
// "{{name}}" appears as it is. Unknown names stay as written.
std::string FillPlaceholders(std::string_view text, const TPlaceholders& values);

// The file of a template: Folder / (Name + ".template").
std::filesystem::path TemplateFile(const std::filesystem::path& folder, std::string_view name);
// The bytes of that file; an error naming the file when it is missing, not a regular file or unreadable.
TTextResult LoadTemplate(const std::filesystem::path& folder, std::string_view name);

// Text for HTML content and quoted attribute values: & < > " ' as character references; bytes that are not
// UTF-8 and the controls HTML does not allow (C0 but TAB, LF, CR; DEL; C1) as U+FFFD; the bidirectional
// controls and the line and paragraph separators (see safe_text.h) as the visible text \uNNNN.
std::string HtmlEscape(std::string_view text);
// Appends HtmlEscape(Text) to Out.
void AppendHtmlEscaped(std::string& out, std::string_view text);

// A relative path as a URL path: every byte but the unreserved ASCII characters (letters, digits, - . _ ~)
// and "/" as %XX, so "images Site #2/RSSI.png" becomes "images%20Site%20%232/RSSI.png".
std::string PercentEncodePath(std::string_view path);

// Text as well-formed UTF-8: every byte that is not part of a well-formed sequence as U+FFFD.
std::string ValidUTF8(std::string_view text);

}  // namespace skimlet::report

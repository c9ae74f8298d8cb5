#include "core/report/template.h"

#include <cstdio>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/safe_text.h"
#include "core/base/utf8.h"

namespace skimlet::report {

namespace {

constexpr char LowerASCII(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names longer than this are not looked up: keeps a template full of "{{" without "}}" linear.
constexpr size_t kMaxNameLength = 128;

}  // namespace

bool TCaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char x = LowerASCII(a[i]), y = LowerASCII(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

std::string FillPlaceholders(std::string_view text, const TPlaceholders& values) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find("{{", pos);
    if (open == std::string_view::npos) break;
    out.append(text, pos, open - pos);
    const size_t nameStart = open + 2;
    const size_t close = text.substr(nameStart, kMaxNameLength + 2).find("}}");
    if (close != std::string_view::npos) {
      const auto it = values.find(text.substr(nameStart, close));
      if (it != values.end()) {
        out += it->second;
        pos = nameStart + close + 2;
        continue;
      }
    }
    // Not a known placeholder: keep one brace and look again from the next, so "{{{name}}" still fills.
    out += '{';
    pos = open + 1;
  }
  if (pos < text.size()) out.append(text, pos);
  return out;
}

std::filesystem::path TemplateFile(const std::filesystem::path& folder, std::string_view name) {
  return folder / (std::string(name) + ".template");
}

TTextResult LoadTemplate(const std::filesystem::path& folder, std::string_view name) {
  const std::filesystem::path file = TemplateFile(folder, name);
  TTextResult result;
  std::string why;
  if (!ReadWholeFile(file, result.Text, &why)) {
    result.Text.clear();
    result.Error = "cannot read the report template " + file.string() + (why.empty() ? "" : ": " + why);
  }
  return result;
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\t':
        case '\n':
        case '\r': out += static_cast<char>(c); break;
        default:
          if (c < 0x20 || c == 0x7F) out += "\xEF\xBF\xBD";
          else out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    size_t length;
    const char32_t cp = DecodeUTF8(text, i, length);
    if (cp == kBadCharacter || (cp >= 0x80 && cp <= 0x9F)) {
      out += "\xEF\xBF\xBD";
    } else if (IsUnsafeCodePoint(cp)) {
      // Direction controls and line separators would reorder or break the page around the text: shown as
      // their code, as the window shows them.
      char code[16];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(cp));
      out += code;
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  AppendHtmlEscaped(out, text);
  return out;
}

std::string PercentEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size() * 3 / 2);
  for (const char ch : path) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                            c == '.' || c == '_' || c == '~' || c == '/';
    if (unreserved) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string ValidUTF8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t length;
    if (DecodeUTF8(text, i, length) == kBadCharacter) out += "\xEF\xBF\xBD";
    else out.append(text, i, length);
    i += length;
  }
  return out;
}

}  // namespace skimlet::report

#include "core/settings/lang.h"

#include <algorithm>
#include <system_error>

#include "core/base/atomic_file.h"

namespace skimlet {

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Text with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t min = 0;
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3, min = 0x10000;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    uint32_t cp = c & (0x3F >> n);
    bool ok = i + n < s.size();  // the continuation bytes are all there
    for (size_t k = 1; ok && k <= n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (ok) {
      out.append(s.substr(i, n + 1));
      i += n + 1;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

// Calls Line for every line of Text; a line ends at LF, CR LF or a lone CR.
template <typename F>
void ForEachLine(std::string_view text, F&& line) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}

bool HasLngExtension(const fs::path& p) { return LowerAscii(p.extension().string()) == ".lng"; }

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ReplaceEnter(std::string_view value) {
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = value.find(kEnterMarker, pos);
    if (hit == std::string_view::npos) break;
    out.append(value.substr(pos, hit - pos));
    out += '\n';
    pos = hit + kEnterMarker.size();
  }
  out.append(value.substr(pos));
  return out;
}

TLangFile TLangFile::Parse(std::string_view bytes) {
  TLangFile file;
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  bool inTranslations = false;
  ForEachLine(bytes, [&](std::string_view raw) {
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      inTranslations = LowerAscii(name) == "translations";
      return;
    }
    if (!inTranslations) return;
    size_t eq = line.find('=');
    std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1));
    if (key.empty()) return;
    std::string k = ValidUtf8(key);
    file.Values_.try_emplace(LowerAscii(k), ReplaceEnter(ValidUtf8(value)));
    file.Keys_.push_back(std::move(k));
  });
  return file;
}

const std::string* TLangFile::Find(std::string_view key) const {
  auto it = Values_.find(LowerAscii(key));
  return it == Values_.end() ? nullptr : &it->second;
}

TLangChanger::~TLangChanger() {
  if (GetTextSource() == this) SetTextSource(nullptr);
}

void TLangChanger::SetLangFile(const std::string& path) { Open(path, true); }

void TLangChanger::OpenLangFileReadOnly(const std::string& path) { Open(path, false); }

void TLangChanger::OpenBuiltInEnglish() {
  LangFile_ = std::string(kBuiltInEnglishName);
  File_ = TLangFile::Parse(BuiltInEnglishText());
}

void TLangChanger::Open(const std::string& path, bool rewrite) {
  if (path == LangFile_) return;
  LangFile_ = std::string(Trim(path));
  File_ = TLangFile();
  if (LangFile_.empty()) return;
  std::error_code ec;
  if (!fs::is_regular_file(LangFile_, ec)) return;
  if (rewrite) RewriteBareKeys(LangFile_);  // the file is read below whether or not this worked
  std::string bytes;
  if (ReadWholeFile(LangFile_, bytes)) File_ = TLangFile::Parse(bytes);
}

void TLangChanger::SetSeparator(std::string_view value) {
  Separator_ = Trim(value).empty() ? std::string(",") : std::string(value);
}

std::optional<std::string> TLangChanger::Lookup(std::string_view key) const {
  if (LangFile_.empty()) return std::nullopt;
  const std::string* value = File_.Find(key);
  if (value && !value->empty()) return *value;
  // A text the language file lacks, or leaves empty, is shown in English rather than as its key.
  static const TLangFile english = TLangFile::Parse(BuiltInEnglishText());
  if (const std::string* text = english.Find(key)) return *text;
  if (value) return *value;
  return std::nullopt;
}

std::string TLangChanger::Translate(std::string_view key) const {
  auto text = Lookup(key);
  return text ? *text : std::string(key);
}

void TLangChanger::LoadLanguageTexts() {
  Texts_.clear();
  for (std::string_view key : FixedTextKeys()) Texts_[std::string(key)] = Translate(key);
}

std::string TLangChanger::Text(std::string_view key) const {
  auto it = Texts_.find(std::string(key));
  return it == Texts_.end() ? std::string(key) : it->second;
}

std::string RewriteBareKeysText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 64);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (line.find('=') == std::string_view::npos && !Trim(line).starts_with(";")) {
      std::string_view trimmed = Trim(line);
      std::string_view body = trimmed;
      if (start == 0 && line.substr(0, kBom.size()) == kBom) {
        out += kBom;  // the byte-order mark is no part of the line
        body = Trim(line.substr(kBom.size()));
      }
      out += body;
      // Section lines are no keys, also one whose "]" is missing.
      if (!body.empty() && body.back() != ']' && body.front() != '[') out += '=';
    } else {
      out += line;
    }
    if (end == std::string_view::npos) break;
    size_t next = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    out += text.substr(end, next - end);  // each line keeps its own line break
    start = next;
    if (start == text.size()) break;
  }
  return out;
}

std::string RewriteBareKeys(const fs::path& file) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return "cannot read " + file.string();
  return WriteFileAtomic(file, RewriteBareKeysText(bytes));
}

std::vector<std::string> ListLanguages(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fileEc;
    if (it->is_regular_file(fileEc) && HasLngExtension(it->path())) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

bool PrepareLanguagesFolder(const fs::path& shippedFolder, const fs::path& languagesFolder) {
  std::error_code ec;
  fs::create_directories(languagesFolder, ec);
  if (!fs::is_directory(languagesFolder, ec)) return false;
  if (fs::equivalent(shippedFolder, languagesFolder, ec)) return true;
  for (const std::string& name : ListLanguages(shippedFolder)) {
    std::string bytes;
    if (ReadWholeFile(shippedFolder / name, bytes)) WriteFileAtomic(languagesFolder / name, bytes);
  }
  return true;
}

}  // namespace skimlet

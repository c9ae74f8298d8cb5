#include "core/settings/xml_storage.h"

#include <charconv>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/utf8.h"

namespace skimlet {

namespace fs = std::filesystem;

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

pugi::xml_node FindChild(pugi::xml_node parent, std::string_view name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && name == child.name()) return child;
  return {};
}

pugi::xml_node FindOrAppend(pugi::xml_node parent, std::string_view name) {
  pugi::xml_node node = FindChild(parent, name);
  if (!node) node = parent.append_child(std::string(name).c_str());
  return node;
}

bool IsRefChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

struct StringWriter : pugi::xml_writer {
  std::string Out;
  void write(const void* data, size_t size) override { Out.append(static_cast<const char*>(data), size); }
};

}  // namespace

std::string EncodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c != '&') {
      out += c;
      ++i;
      continue;
    }
    // A reference is "&", letters, digits or "#", and ";"; anything else leaves the ampersand as text.
    size_t j = i + 1;
    while (j < text.size() && j - i <= 12 && IsRefChar(text[j])) ++j;
    if (j >= text.size() || text[j] != ';' || j == i + 1) {
      out += c;
      ++i;
      continue;
    }
    std::string_view name = text.substr(i + 1, j - i - 1);
    if (name == "quot") {
      out += '"';
    } else if (name == "amp") {
      out += '&';
    } else if (name == "lt") {
      out += '<';
    } else if (name == "gt") {
      out += '>';
    } else if (name.size() >= 2 && name[0] == '#') {
      uint32_t cp = 0;
      auto digits = name.substr(1);
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp);
      if (ec != std::errc() || end != digits.data() + digits.size() || cp == 0 || cp > 0x10FFFF ||
          (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
      AppendUTF8(out, static_cast<char32_t>(cp));
    } else {
      return std::nullopt;
    }
    i = j + 1;
  }
  return out;
}

std::optional<int32_t> ParseOptionInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    auto digits = text.substr(2);
    if (digits.size() > 8) return std::nullopt;
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return static_cast<int32_t>(v);
  }
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

TXMLStorage::TXMLStorage(fs::path fileName) : FileName_(std::move(fileName)) {}

std::string TXMLStorage::Load() {
  Doc_.reset();
  Root_ = {};
  Detail_.clear();
  std::error_code ec;
  if (!fs::exists(FileName_, ec) && !ec) {
    Root_ = Doc_.append_child("Options");
    return {};
  }
  std::string bytes;
  if (!ReadWholeFile(FileName_, bytes)) {
    Detail_ = "cannot read the file";
    return "Can't read file " + FileName_.string();
  }
  return LoadText(bytes);
}

std::string TXMLStorage::LoadText(std::string_view bytes) {
  Doc_.reset();
  Root_ = {};
  Detail_.clear();
  // Comments and the declaration are kept, so a hand-edited file keeps its notes. Line ends are taken as they
  // stand: a carriage return written inside a value must read back as one, not as a line feed.
  pugi::xml_parse_result result =
      Doc_.load_buffer(bytes.data(), bytes.size(),
                       (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_comments | pugi::parse_declaration);
  if (result && Doc_.document_element()) {
    Root_ = Doc_.document_element();
    return {};
  }
  Detail_ = result ? "no root element" : result.description();
  Doc_.reset();
  return "Can't read file " + FileName_.string();
}

std::string TXMLStorage::ToText() const {
  StringWriter writer;
  Doc_.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
  return writer.Out;
}

std::string TXMLStorage::Save() {
  Detail_.clear();
  if (!Root_) {
    Detail_ = "the file could not be read, so it is left as it is";
    return "Can't write file " + FileName_.string();
  }
  // The declaration always says version 1.0 and UTF-8, whatever the file had.
  pugi::xml_node decl = Doc_.first_child();
  if (decl.type() != pugi::node_declaration) decl = Doc_.prepend_child(pugi::node_declaration);
  decl.remove_attributes();
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  std::string text = ToText();
  std::error_code ec;
  fs::path folder = FileName_.parent_path();
  if (!folder.empty()) fs::create_directories(folder, ec);
  if (ec) {
    Detail_ = "cannot create " + folder.string() + ": " + ec.message();
  } else {
    Detail_ = WriteFileAtomic(FileName_, text);
    if (Detail_.empty()) return {};
  }
  return "Can't write file " + FileName_.string();
}

std::optional<std::string> TXMLStorage::ReadValue(std::string_view section, std::string_view key) const {
  if (!Root_) return std::nullopt;
  pugi::xml_node node = FindChild(FindChild(Root_, section), key);
  if (!node) return std::nullopt;
  return DecodeEntities(node.text().get());
}

std::string TXMLStorage::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  auto value = ReadValue(section, key);
  return value ? *value : std::string(defaultValue);
}

int32_t TXMLStorage::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
  auto value = ReadValue(section, key);
  if (!value) return defaultValue;
  return ParseOptionInteger(*value).value_or(defaultValue);
}

bool TXMLStorage::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  auto value = ReadValue(section, key);
  if (!value) return defaultValue;
  auto number = ParseOptionInteger(*value);
  return number ? *number != 0 : defaultValue;
}

void TXMLStorage::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!Root_ || section.empty() || key.empty()) return;
  pugi::xml_node node = FindOrAppend(FindOrAppend(Root_, section), key);
  node.text().set(EncodeEntities(value).c_str());
}

void TXMLStorage::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TXMLStorage::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace skimlet

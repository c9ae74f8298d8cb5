// options.xml: an XML document of sections and keys bound to one file.
//
// The root element holds one element per section, each section one element per key whose text is the value.
// Sections and keys are found by name anywhere among their siblings; missing ones are appended, so a file
// keeps its own order and every section and key it holds, also those this program does not know.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace skimlet {

// Caption of the storage's error messages.
inline constexpr std::string_view kStorageErrorCaption = "Error!";

class TXMLStorage {
 public:
  explicit TXMLStorage(std::filesystem::path fileName);

  const std::filesystem::path& FileName() const { return FileName_; }
  static constexpr std::string_view Encoding = "UTF-8";

  // Parses the file, or starts a new document with the root "Options" when the file does not exist. On
  // failure returns "Can't read file NAME" and the storage has no root: reads give their defaults and writes
  // do nothing. Empty on success.
  std::string Load();
  // Like Load, with the file's bytes given (a failure gives the same message).
  std::string LoadText(std::string_view bytes);
  // Writes the document atomically, creating the file and its folder when missing. A storage without root
  // writes nothing. On failure returns "Can't write file NAME" and the previous file stays as it was; the
  // system's reason is in LastErrorDetail. Empty on success.
  std::string Save();
  // The reason of the last failed Load or Save, for logs.
  const std::string& LastErrorDetail() const { return Detail_; }
  bool HasRoot() const { return static_cast<bool>(Root_); }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // The stored value of Key, decoded; nothing when it is missing or its encoding is broken.
  std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The document as Save writes it.
  std::string ToText() const;

 private:
  std::filesystem::path FileName_;
  pugi::xml_document Doc_;
  pugi::xml_node Root_;
  std::string Detail_;
};

// Value encodings of options.xml.
// Replaces '"', '&', '<' and '>' by their entities (the XML writer then escapes the result once more).
std::string EncodeEntities(std::string_view text);
// Reverses EncodeEntities and decodes decimal references ("&#233;" as UTF-8). A reference that is malformed
// or unknown ("&bogus;", "&#xyz;", "&#0;") fails; an ampersand that starts no reference stays as it is.
std::optional<std::string> DecodeEntities(std::string_view text);
// A 32-bit integer: decimal with an optional sign, or hexadecimal after "0x" or "0X"; blanks around allowed.
std::optional<int32_t> ParseOptionInteger(std::string_view text);

}  // namespace skimlet

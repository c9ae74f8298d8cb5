// Language files and text lookup.
//
// A language file is UTF-8 text in INI form with one section, "Translations", of lines "key=value". Section
// and key names compare without regard to ASCII letter case, the first line of a key wins, and the value is
// the rest of the line after the first "=" without blanks around it; "{ENTER}" in a value is a line break.
// Keys are identifiers ("sYes"), English sentences (the element tree's texts, which stand for themselves
// when missing), column-title keys ("ListColumns5") or window property keys ("frmSkimlet.lblFind.Caption").
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/base/translate.h"

namespace skimlet {

// The "Translations" section of one language file.
class TLangFile {
 public:
  // Reads what it can: lines it cannot use are skipped, a leading UTF-8 byte-order mark is dropped, bytes
  // that are not UTF-8 become U+FFFD. A line without "=" is a key with an empty value.
  static TLangFile Parse(std::string_view bytes);

  // The value of Key, with "{ENTER}" already turned into a line break; nullptr when the section lacks it.
  const std::string* Find(std::string_view key) const;
  // Every key of the section in file order (a key given twice appears twice).
  const std::vector<std::string>& Keys() const { return Keys_; }
  size_t Size() const { return Keys_.size(); }

 private:
  std::vector<std::string> Keys_;
  std::unordered_map<std::string, std::string> Values_;  // by key in ASCII lower case
};

// The shipped English language file as built into the program, and the name it goes by once selected.
std::string_view BuiltInEnglishText();
inline constexpr std::string_view kBuiltInEnglishName = "(built-in English)";

// The text a language file shows for a line break in a value.
inline constexpr std::string_view kEnterMarker = "{ENTER}";
std::string ReplaceEnter(std::string_view value);

// ASCII lower case, for comparing keys and class names.
std::string LowerAscii(std::string_view text);

// The current language: the one text source of the program (install it with SetTextSource).
class TLangChanger : public TextSource {
 public:
  TLangChanger() = default;
  ~TLangChanger() override;
  TLangChanger(const TLangChanger&) = delete;
  TLangChanger& operator=(const TLangChanger&) = delete;

  const std::string& LangFile() const { return LangFile_; }
  const std::string& Separator() const { return Separator_; }

  // Selects the language file Path (blanks around it removed). Nothing happens when Path is the current one.
  // An existing file is rewritten first so that every bare key line ends in "=" (atomically; a file that
  // cannot be written is still read). A missing file gives the built-in English texts.
  void SetLangFile(const std::string& path);
  // Selects the language file Path without ever writing to it.
  void OpenLangFileReadOnly(const std::string& path);
  // Selects the English texts built into the program (LangFile becomes kBuiltInEnglishName), for a program
  // that cannot find its shipped english.lng.
  void OpenBuiltInEnglish();
  // Separator := Value, or "," when Value is empty or blanks only.
  void SetSeparator(std::string_view value);

  // The text of Key: from the language file, from the built-in English texts where the file lacks it or
  // leaves it empty, or Key itself.
  std::string Translate(std::string_view key) const;
  std::optional<std::string> Lookup(std::string_view key) const override;
  const TLangFile& File() const { return File_; }

  // Fills the language text variables: every fixed text key (FixedTextKeys) := Translate (key).
  void LoadLanguageTexts();
  // The loaded text variable of a fixed key; the key itself before LoadLanguageTexts or for other keys.
  std::string Text(std::string_view key) const;

 private:
  void Open(const std::string& path, bool rewrite);

  std::string LangFile_;
  std::string Separator_ = ",";
  TLangFile File_;
  std::unordered_map<std::string, std::string> Texts_;
};

// Rewrites a language file so that every line without "=" that is not blank, not a comment (";") and not a
// section line (starting with "[" or ending with "]") ends in "=" (the line's blanks around it are removed). Writes the
// file back atomically, also when nothing changed. Returns an empty text on success.
std::string RewriteBareKeys(const std::filesystem::path& file);
// The rewrite of the file's text alone.
std::string RewriteBareKeysText(std::string_view text);

// The file names of all "*.lng" files of Folder (extension in any letter case), sorted.
std::vector<std::string> ListLanguages(const std::filesystem::path& folder);
// Creates LanguagesFolder when missing and copies every "*.lng" file of ShippedFolder into it, replacing
// files of the same name. Nothing is copied when both are the same folder. False when the folder cannot be
// created.
bool PrepareLanguagesFolder(const std::filesystem::path& shippedFolder, const std::filesystem::path& languagesFolder);

// Text keys the program looks up.
// The language text variables, in loading order.
const std::vector<std::string_view>& FixedTextKeys();
// Identifier keys looked up directly, outside the text variables.
const std::vector<std::string_view>& OtherTextKeys();
// The names of the MAC counters (12) and PHY counters (18); each has a description key with "Desc" appended.
const std::vector<std::string_view>& MacCounterKeys();
const std::vector<std::string_view>& PhyCounterKeys();

}  // namespace skimlet

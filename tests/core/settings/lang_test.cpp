#include "core/settings/lang.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "core/base/translate.h"
#include "core/settings/options.h"
#include "temp_folder.h"

namespace skimlet {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

const std::string kSource = SKIMLET_SOURCE_DIR;

std::string Text(const TLangFile& f, std::string_view key) {
  const std::string* text = f.Find(key);
  return text ? *text : "<missing>";
}

TEST(LangFile, ReadsTheTranslationsSectionLikeAnIniFile) {
  TLangFile f = TLangFile::Parse(
      "\xEF\xBB\xBF; comment=not a key\r\n"
      "before=ignored\r\n"
      "[Other]\r\n"
      "sYes=Wrong section\r\n"
      "[ translations ]\r\n"
      "  SYES  =  Ja  \r\n"
      "sYes=second line loses\r\n"
      "Unable to load snapshot. Reason: Unknown format.=Kaputt: a=b ; c\r\n"
      "sTwo=one{ENTER}two\r"
      "=no key\n"
      "sBare\n"
      "  \n"
      "[Translations\n"
      "sOpen=still read\n");
  EXPECT_EQ(Text(f, "sYes"), "Ja");
  EXPECT_EQ(Text(f, "SYES"), "Ja");
  EXPECT_EQ(Text(f, "Unable to load snapshot. Reason: Unknown format."), "Kaputt: a=b ; c");
  EXPECT_EQ(Text(f, "sTwo"), "one\ntwo");
  EXPECT_EQ(Text(f, "sBare"), "");
  EXPECT_EQ(Text(f, "sOpen"), "still read");
  EXPECT_EQ(f.Find("before"), nullptr);
  EXPECT_EQ(f.Find(""), nullptr);
  EXPECT_EQ(f.Keys(), (std::vector<std::string>{"SYES", "sYes", "Unable to load snapshot. Reason: Unknown format.",
                                                "sTwo", "sBare", "sOpen"}));
}

TEST(LangFile, BrokenInputLoadsWhatItCan) {
  EXPECT_EQ(TLangFile::Parse("").Size(), 0u);
  EXPECT_EQ(TLangFile::Parse("sYes=Ja\nsNo=Nein\n").Size(), 0u);  // no section
  const char bytes[] = "[Translations]\nsBad=\xFF\xC3(\x00z\nsOk=\xC3\xA4\n";
  TLangFile f = TLangFile::Parse(std::string(bytes, sizeof bytes - 1));
  EXPECT_EQ(Text(f, "sBad"), std::string("\xEF\xBF\xBD\xEF\xBF\xBD(\0z", 9));
  EXPECT_EQ(Text(f, "sOk"), "\xC3\xA4");
  std::string garbage(10 * 1024 * 1024, '\0');
  uint32_t x = 12345;
  for (char& c : garbage) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  TLangFile g = TLangFile::Parse("[Translations]\nsFirst=1\n" + garbage + "\n[Translations]\nsLast=2\n");
  EXPECT_EQ(Text(g, "sFirst"), "1");
}

TEST(LangChanger, LooksUpTextsAndFallsBackToEnglishThenTheKey) {
  TempFolder dir;
  WriteText(dir / "de.lng", "[Translations]\nsYes=Ja\ntwo words=zwei{ENTER}Wörter\n");
  TLangChanger lang;
  EXPECT_EQ(lang.Translate("sYes"), "sYes");  // no file yet
  lang.SetLangFile("  " + (dir / "de.lng").string() + " ");
  EXPECT_EQ(lang.LangFile(), (dir / "de.lng").string());
  EXPECT_EQ(lang.Translate("sYes"), "Ja");
  EXPECT_EQ(lang.Translate("two words"), "zwei\nWörter");
  EXPECT_EQ(lang.Translate("sNo"), "No");  // a partial file: English where it has no text
  EXPECT_EQ(lang.Translate("Unable to load snapshot. Reason: Unknown format."),
            "Unable to load snapshot. Reason: Unknown format.");
  lang.SetLangFile((dir / "missing.lng").string());
  EXPECT_EQ(lang.Translate("sYes"), "Yes");
  EXPECT_EQ(lang.Translate("no such key"), "no such key");
  lang.SetSeparator("  ");
  EXPECT_EQ(lang.Separator(), ",");
  lang.SetSeparator(";");
  EXPECT_EQ(lang.Separator(), ";");
}

TEST(LangChanger, ItIsTheTextSourceOfTheProgramWhileInstalled) {
  TempFolder dir;
  WriteText(dir / "de.lng", "[Translations]\nsYes=Ja\nOctets=Oktette\n");
  {
    TLangChanger lang;
    lang.OpenLangFileReadOnly((dir / "de.lng").string());
    SetTextSource(&lang);
    EXPECT_EQ(Translate("sYes", "Yes"), "Ja");
    EXPECT_EQ(Translate("sNo", "No"), "No");
    EXPECT_EQ(Translate("octets"), "Oktette");
  }
  EXPECT_EQ(GetTextSource(), nullptr);  // a changer that goes away uninstalls itself
  EXPECT_EQ(Translate("sYes", "Yes"), "Yes");
}

TEST(LangChanger, SelectingAFileRewritesBareKeysOnceAndReadOnlyNever) {
  TempFolder dir;
  const std::string original = "; note\r\n[Translations]\r\n  sYes  \r\nsNo=Nein\r\n[Other]\r\n\r\nlast";
  WriteText(dir / "x.lng", original);
  TLangChanger reader;
  reader.OpenLangFileReadOnly((dir / "x.lng").string());
  EXPECT_EQ(reader.Translate("sYes"), "Yes");  // an empty text is shown in English
  EXPECT_EQ(ReadText(dir / "x.lng"), original);

  TLangChanger lang;
  lang.SetLangFile((dir / "x.lng").string());
  EXPECT_EQ(lang.Translate("sYes"), "Yes");
  EXPECT_EQ(ReadText(dir / "x.lng"), "; note\r\n[Translations]\r\nsYes=\r\nsNo=Nein\r\n[Other]\r\n\r\nlast=");
  // Selecting the current file again does not read or write it.
  WriteText(dir / "x.lng", "[Translations]\nsYes\n");
  lang.SetLangFile((dir / "x.lng").string());
  EXPECT_EQ(ReadText(dir / "x.lng"), "[Translations]\nsYes\n");
  EXPECT_EQ(RewriteBareKeysText("\xEF\xBB\xBF[Translations]\nsA\n"), "\xEF\xBB\xBF[Translations]\nsA=\n");
  EXPECT_EQ(RewriteBareKeysText("\xEF\xBB\xBFsA"), "\xEF\xBB\xBFsA=");
}

TEST(LanguagesFolder, IsPreparedFromTheShippedFilesAndListed) {
  TempFolder dir;
  WriteText(dir / "ship/english.lng", "[Translations]\nsYes=Yes\n");
  WriteText(dir / "ship/Deutsch.LNG", "[Translations]\nsYes=Ja\n");
  WriteText(dir / "ship/readme.txt", "x");
  WriteText(dir / "user/languages/english.lng", "edited");
  WriteText(dir / "user/languages/own.lng", "mine");
  ASSERT_TRUE(PrepareLanguagesFolder(dir / "ship", dir / "user/languages"));
  EXPECT_EQ(ReadText(dir / "user/languages/english.lng"), "[Translations]\nsYes=Yes\n");
  EXPECT_EQ(ListLanguages(dir / "user/languages"), (std::vector<std::string>{"Deutsch.LNG", "english.lng", "own.lng"}));
  // The same folder (a portable copy): nothing is copied onto itself.
  ASSERT_TRUE(PrepareLanguagesFolder(dir / "ship", dir / "ship"));
  EXPECT_EQ(ReadText(dir / "ship/english.lng"), "[Translations]\nsYes=Yes\n");
  EXPECT_TRUE(ListLanguages(dir / "nowhere").empty());
}

// The identifier keys named in the program's sources: string literals such as "sYes", "sdot11_phy_type_ht",
// "srowCurrentConnectionRSSI" or "SRadioStateON".
std::set<std::string> IdentifierKeysInSources() {
  std::set<std::string> keys;
  const std::regex literal(
      "\"(s(?:[A-Z]|dot11_|wlan_|row|b[A-Z])[A-Za-z0-9_]*|S[A-Z][A-Za-z0-9_]*[a-z][A-Za-z0-9_]*)\"");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kSource + "/src")) {
    auto ext = entry.path().extension();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    std::string text = ReadText(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) keys.insert((*it)[1]);
  }
  return keys;
}

TLangFile ShippedFile(const std::string& name) {
  return TLangFile::Parse(ReadText(kSource + "/data/languages/" + name));
}

TEST(ShippedLanguages, EnglishHasALineForEveryKeyTheProgramLooksUp) {
  TLangFile english = ShippedFile("english.lng");
  std::vector<std::string> keys(FixedTextKeys().begin(), FixedTextKeys().end());
  keys.insert(keys.end(), OtherTextKeys().begin(), OtherTextKeys().end());
  for (const TColumnLayoutInfo& info : ColumnLayoutTable())
    for (size_t i = 0; i < info.Count; ++i) keys.push_back(std::string(info.Name) + std::to_string(i));
  std::set<std::string> inSources = IdentifierKeysInSources();
  EXPECT_TRUE(inSources.count("sYes")) << "the source scan finds nothing";
  keys.insert(keys.end(), inSources.begin(), inSources.end());
  for (const std::string& key : keys) {
    const std::string* text = english.Find(key);
    EXPECT_TRUE(text && !text->empty()) << key << " has no English text";
  }
  std::set<std::string> seen;
  for (const std::string& key : english.Keys()) EXPECT_TRUE(seen.insert(LowerAscii(key)).second) << key << " twice";
}

TEST(ShippedLanguages, TheBuiltInEnglishIsTheShippedFile) {
  EXPECT_EQ(BuiltInEnglishText(), ReadText(kSource + "/data/languages/english.lng"));
  TLangChanger lang;
  lang.OpenBuiltInEnglish();
  EXPECT_EQ(lang.LangFile(), kBuiltInEnglishName);
  EXPECT_EQ(lang.Translate("sYes"), "Yes");
}

// "%s", "%d", "%.2d" ... of a text, in order.
std::vector<std::string> Directives(const std::string& text) {
  std::vector<std::string> out;
  static const std::regex directive("%(%|-?[0-9]*(\\.[0-9]+)?[dusxfng])");
  for (std::sregex_iterator it(text.begin(), text.end(), directive), end; it != end; ++it) out.push_back(it->str());
  return out;
}

TEST(ShippedLanguages, GermanTranslatesEveryEnglishKeyWithTheSameValuePlaceholders) {
  TLangFile english = ShippedFile("english.lng");
  TLangFile german = ShippedFile("deutsch.lng");
  for (const std::string& key : english.Keys()) {
    const std::string* text = german.Find(key);
    ASSERT_TRUE(text) << key;
    EXPECT_EQ(Directives(*text), Directives(*english.Find(key))) << key;
  }
  for (const std::string& key : german.Keys())
    if (!english.Find(key)) { EXPECT_EQ(Directives(*german.Find(key)), Directives(key)) << key; }
  EXPECT_EQ(*german.Find("sYes"), "Ja");
}

}  // namespace
}  // namespace skimlet

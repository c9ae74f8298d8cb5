#include "core/settings/xml_storage.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/base/atomic_file.h"
#include "temp_folder.h"

namespace skimlet {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

std::string Doc(const std::string& defaults) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Options><Defaults>" + defaults + "</Defaults></Options>\n";
}

TEST(OptionValues, IntegersReadAsDecimalOrHexAndElseTheDefault) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"20", 20},          {"0x14", 20}, {"0X1f", 31},  {"-80", -80},  {" 7 ", 7},          {"+3", 3},
      {"ten", 10},         {"", 10},     {"0x", 10},    {"12abc", 10}, {"99999999999", 10}, {"0xFFFFFFFF", -1},
      {"0x123456789", 10}, {"1.5", 10},  {"-0x10", 10},
  };
  TempFolder dir;
  for (const Case& c : cases) {
    WriteText(dir / "o.xml", Doc(std::string("<DeltaTimeInactive>") + c.text + "</DeltaTimeInactive>"));
    TXMLStorage s(dir / "o.xml");
    ASSERT_EQ(s.Load(), "");
    EXPECT_EQ(s.ReadInteger("Defaults", "DeltaTimeInactive", 10), c.expected) << c.text;
  }
}

TEST(OptionValues, BooleansAreIntegersAndNonNumbersGiveTheDefault) {
  TempFolder dir;
  WriteText(dir / "o.xml", Doc("<a>1</a><b>0</b><c>7</c><d>yes</d><e>0x0</e>"));
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  EXPECT_TRUE(s.ReadBool("Defaults", "a", false));
  EXPECT_FALSE(s.ReadBool("Defaults", "b", true));
  EXPECT_TRUE(s.ReadBool("Defaults", "c", false));
  EXPECT_TRUE(s.ReadBool("Defaults", "d", true));
  EXPECT_FALSE(s.ReadBool("Defaults", "d", false));
  EXPECT_FALSE(s.ReadBool("Defaults", "e", true));
  EXPECT_TRUE(s.ReadBool("Defaults", "missing", true));
  EXPECT_TRUE(s.ReadBool("Missing", "a", true));
}

TEST(OptionValues, StringsAreEscapedTwiceAndReadBackUnchanged) {
  TempFolder dir;
  const std::string value = "Tom & \"Jerry\" <3> &amp; &#65; ünï";
  {
    TXMLStorage s(dir / "o.xml");
    ASSERT_EQ(s.Load(), "");
    s.WriteString("Defaults", "DefaultLang", value);
    ASSERT_EQ(s.Save(), "");
  }
  std::string file = ReadText(dir / "o.xml");
  EXPECT_NE(file.find("Tom &amp;amp; &amp;quot;Jerry&amp;quot; &amp;lt;3&amp;gt; &amp;amp;amp;"), std::string::npos)
      << file;
  EXPECT_EQ(file.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  EXPECT_EQ(s.ReadString("Defaults", "DefaultLang", "x"), value);

  // Line ends inside a value come back as they were written.
  const std::string lines = "a\rb\r\nc\nd";
  s.WriteString("Defaults", "DefaultLang", lines);
  TXMLStorage again(dir / "again.xml");
  ASSERT_EQ(again.LoadText(s.ToText()), "");
  EXPECT_EQ(again.ReadString("Defaults", "DefaultLang", "x"), lines);
}

TEST(OptionValues, EntityDecoding) {
  EXPECT_EQ(DecodeEntities("a&amp;b&quot;&lt;&gt;"), "a&b\"<>");
  EXPECT_EQ(DecodeEntities("&#233;&#65;"),
            "\xC3\xA9"
            "A");
  EXPECT_EQ(DecodeEntities("R&D & more; &"), "R&D & more; &");  // ampersands that start no reference
  EXPECT_EQ(DecodeEntities("&bogus;"), std::nullopt);
  EXPECT_EQ(DecodeEntities("&#xyz;"), std::nullopt);
  EXPECT_EQ(DecodeEntities("&#0;"), std::nullopt);
  EXPECT_EQ(DecodeEntities("&#55296;"), std::nullopt);
  EXPECT_EQ(DecodeEntities("&#99999999999;"), std::nullopt);
  TempFolder dir;
  WriteText(dir / "o.xml", Doc("<DefaultLang>&amp;bogus;</DefaultLang>"));
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  EXPECT_EQ(s.ReadString("Defaults", "DefaultLang", "english.lng"), "english.lng");
}

TEST(XMLStorage, UnreadableFilesGiveTheMessageAndDefaultsAndAreNotOverwritten) {
  TempFolder dir;
  std::string binary("\x00\x01\xFF<Options>\x89PNG", 14);
  for (const std::string& content :
       {std::string("<Options><Defaults>"), binary, std::string(""), std::string("<?xml version=\"1.0\"?>")}) {
    WriteText(dir / "o.xml", content);
    TXMLStorage s(dir / "o.xml");
    EXPECT_EQ(s.Load(), "Can't read file " + (dir / "o.xml").string());
    EXPECT_FALSE(s.HasRoot());
    EXPECT_EQ(s.ReadInteger("Defaults", "x", 42), 42);
    s.WriteInteger("Defaults", "x", 1);
    EXPECT_EQ(s.Save(), "Can't write file " + (dir / "o.xml").string());
    EXPECT_EQ(ReadText(dir / "o.xml"), content);
  }
  std::filesystem::create_directory(dir / "folder.xml");
  TXMLStorage s(dir / "folder.xml");
  EXPECT_NE(s.Load(), "");
}

TEST(XMLStorage, KeepsUnknownSectionsAndKeysInTheirOrderAndAppendsNewOnes) {
  TempFolder dir;
  WriteText(dir / "o.xml",
            "<?xml version=\"1.0\"?>\n<Options><Later><k>v</k></Later><Defaults><zz>1</zz><bVertGrid>0</bVertGrid>"
            "</Defaults><!-- note --></Options>");
  TXMLStorage s(dir / "o.xml");
  ASSERT_EQ(s.Load(), "");
  s.WriteBool("Defaults", "bVertGrid", true);
  s.WriteInteger("Defaults", "newKey", 5);
  s.WriteInteger("Window", "MainWindowState", 2);
  ASSERT_EQ(s.Save(), "");
  EXPECT_EQ(ReadText(dir / "o.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Options>\n"
            "  <Later>\n    <k>v</k>\n  </Later>\n"
            "  <Defaults>\n    <zz>1</zz>\n    <bVertGrid>1</bVertGrid>\n    <newKey>5</newKey>\n  </Defaults>\n"
            "  <!-- note -->\n"
            "  <Window>\n    <MainWindowState>2</MainWindowState>\n  </Window>\n"
            "</Options>\n");
}

TEST(XMLStorage, SaveCreatesAMissingFileAndItsFolder) {
  TempFolder dir;
  auto file = dir.Path / "a" / "b" / "options.xml";
  TXMLStorage s(file);
  ASSERT_EQ(s.Load(), "");
  s.WriteInteger("Defaults", "DeltaTimeInactive", 20);
  ASSERT_EQ(s.Save(), "");
  TXMLStorage again(file);
  ASSERT_EQ(again.Load(), "");
  EXPECT_EQ(again.ReadInteger("Defaults", "DeltaTimeInactive", 10), 20);
}

int FailingRename(const char*, const char*) {
  errno = EIO;
  return -1;
}

TEST(XMLStorage, ASaveInterruptedBeforeTheRenameLeavesThePreviousFile) {
  TempFolder dir;
  auto file = dir / "options.xml";
  TXMLStorage s(file);
  ASSERT_EQ(s.Load(), "");
  s.WriteInteger("Defaults", "DeltaTimeInactive", 20);
  ASSERT_EQ(s.Save(), "");
  const std::string before = ReadText(file);

  s.WriteInteger("Defaults", "DeltaTimeInactive", 30);
  SetRenameFunctionForTests(FailingRename);
  std::string message = s.Save();
  SetRenameFunctionForTests(nullptr);
  EXPECT_EQ(message, "Can't write file " + file.string());
  EXPECT_NE(s.LastErrorDetail().find("cannot replace"), std::string::npos) << s.LastErrorDetail();
  EXPECT_EQ(ReadText(file), before);
  // no temporary file is left behind
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), std::filesystem::directory_iterator()), 1);

  // A folder in place of the file: nothing is written, the message comes back.
  TXMLStorage blocked(dir / "blocked.xml");
  std::filesystem::create_directory(dir / "blocked.xml");
  std::filesystem::remove(dir / "blocked.xml");
  ASSERT_EQ(blocked.Load(), "");
  std::filesystem::create_directory(dir / "blocked.xml");
  EXPECT_EQ(blocked.Save(), "Can't write file " + (dir / "blocked.xml").string());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked.xml"));
}

TEST(AtomicFile, KeepsThePermissionsOfTheFileItReplaces) {
  TempFolder dir;
  WriteText(dir / "f", "old");
  std::filesystem::permissions(dir / "f", std::filesystem::perms(0640));
  ASSERT_EQ(WriteFileAtomic(dir / "f", "new"), "");
  EXPECT_EQ(ReadText(dir / "f"), "new");
  EXPECT_EQ(std::filesystem::status(dir / "f").permissions(), std::filesystem::perms(0640));
  EXPECT_NE(WriteFileAtomicNoReplace(dir / "f", "other"), "");
  EXPECT_EQ(ReadText(dir / "f"), "new");
  EXPECT_EQ(WriteFileAtomicNoReplace(dir / "g", "fresh"), "");
  EXPECT_EQ(ReadText(dir / "g"), "fresh");
}

}  // namespace
}  // namespace skimlet

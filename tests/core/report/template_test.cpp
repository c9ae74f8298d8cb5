#include "core/report/template.h"

#include <gtest/gtest.h>

#include "core/base/atomic_file.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::report {
namespace {

TEST(FillPlaceholders, OnePassCaseInsensitiveEveryOccurrence) {
  const TPlaceholders values = {{"Name", "X"}, {"ReportDate", "{{name}}"}, {"empty", ""}};
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"{{Name}} {{name}} {{NAME}}", "X X X"},
      {"{{reportdate}}", "{{name}}"},  // an inserted value is never read again
      {"{{unknown}} {{Name}}", "{{unknown}} X"},
      {"{{{Name}}}", "{X}"},
      {"{{Name}", "{{Name}"},
      {"a{{empty}}b", "ab"},
      {"{{ Name }}", "{{ Name }}"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FillPlaceholders(c.text, values), c.expected) << c.text;
}

TEST(FillPlaceholders, StaysLinearOnBracesWithoutEnd) {
  const std::string text(200000, '{');
  EXPECT_EQ(FillPlaceholders(text, {{"a", "b"}}), text);
}

TEST(HtmlEscape, EscapesMarkupAndReplacesWhatIsNotText) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(HtmlEscape("a\tb\r\nc"), "a\tb\r\nc");
  EXPECT_EQ(HtmlEscape("\x01|\x7F|\xC2\x85|\xFF|\xED\xA0\x80"),
            "\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(HtmlEscape("caf\xC3\xA9 \xF0\x9F\x98\x80"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
  // Direction controls and line separators cannot turn "abc<RLO>gnp.exe" into what reads as "abcexe.png".
  EXPECT_EQ(HtmlEscape("abc\u202Egnp.exe"), "abc\\u202Egnp.exe");
  EXPECT_EQ(HtmlEscape("\u2066a\u2069\u200F\u061C\u2028\u2029"), "\\u2066a\\u2069\\u200F\\u061C\\u2028\\u2029");
  EXPECT_EQ(HtmlEscape("\xD8\xA7\xD9\x84"), "\xD8\xA7\xD9\x84");  // right-to-left letters stay as they are
}

TEST(PercentEncodePath, KeepsUnreservedAndSlashes) {
  EXPECT_EQ(PercentEncodePath("images Site #2/RSSI.png"), "images%20Site%20%232/RSSI.png");
  EXPECT_EQ(PercentEncodePath("images a?b%c&d/x.png"), "images%20a%3Fb%25c%26d/x.png");
  EXPECT_EQ(PercentEncodePath("images caf\xC3\xA9/x.png"), "images%20caf%C3%A9/x.png");
}

TEST(LoadTemplate, ReadsBytesOrNamesTheMissingFile) {
  test::TempDir dir;
  ASSERT_EQ(WriteFileAtomic(dir.Path() / "summary.template", std::string_view("a\0{{b}}\r\n", 9)), "");
  const TTextResult ok = LoadTemplate(dir.Path(), "summary");
  EXPECT_TRUE(ok.Ok());
  EXPECT_EQ(ok.Text, std::string("a\0{{b}}\r\n", 9));
  const TTextResult missing = LoadTemplate(dir.Path(), "graphs");
  EXPECT_FALSE(missing.Ok());
  EXPECT_NE(missing.Error.find((dir.Path() / "graphs.template").string()), std::string::npos) << missing.Error;
}

}  // namespace
}  // namespace skimlet::report

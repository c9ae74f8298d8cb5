#include "core/report/table_export.h"

#include <gtest/gtest.h>

#include "core/base/atomic_file.h"
#include "hostile.h"
#include "readback.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::report {
namespace {

namespace fs = std::filesystem;

// Columns: SSID and comment (text), signal (a number the program formats). One row per hostile text.
TExportTable HostileTable() {
  TExportTable t;
  t.Columns = {{"SSID", TColumnAlignment::Left, 170, TCellKind::Text},
               {"Comment; \"notes\"", TColumnAlignment::Left, 100, TCellKind::Text},
               {"Signal", TColumnAlignment::Right, 90, TCellKind::Number}};
  for (const auto& h : test::HostileTexts()) t.Rows.push_back({0, {h.Text, h.Text + "\xFF", "-67 dBm"}});
  return t;
}

std::string Inert(const std::string& s) {
  return !s.empty() && (s[0] == '=' || s[0] == '+' || s[0] == '-' || s[0] == '@') ? "'" + s : s;
}

std::string Same(std::string s) { return s; }

// HTML readers may take CR LF as LF.
std::string LF(std::string s) {
  for (size_t p; (p = s.find("\r\n")) != std::string::npos;) s.replace(p, 2, "\n");
  return s;
}

// The RTF reader renders a tab as no-break spaces and a line break as a break plus a new line.
std::string FoldSpace(std::string s) { return test::FoldedWhiteSpace(std::move(s)); }

// Every format read back by a real parser gives the texts back: the header, then each row's cells. Text and
// CSV make formulas inert; a byte that is not UTF-8 reads as U+FFFD everywhere.
TEST(TableExport, HostileTextsReadBackThroughRealParsers) {
  const TExportTable table = HostileTable();
  const auto& texts = test::HostileTexts();
  test::TempDir dir;
  const struct {
    TExportFormat format;
    const char* mode;
    bool inert;
    std::string (*normalise)(std::string);
  } cases[] = {
      {TExportFormat::Text, "txt", true, Same},
      {TExportFormat::Csv, "csv", true, Same},
      {TExportFormat::Html, "html", false, LF},
      {TExportFormat::Rtf, "rtf", false, FoldSpace},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    if (c.format == TExportFormat::Rtf && !test::HaveProgram("unrtf")) {
      ADD_FAILURE() << "unrtf is missing (make deps installs it)";
      continue;
    }
    const fs::path file = dir.Path() / (std::string("out.") + std::string(ExportExtension(c.format)));
    ASSERT_EQ(WriteTableExport(table, c.format, file), "");
    const test::TReadBack r = test::ReadBack(c.mode, file);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.ByteOrderMark, c.format == TExportFormat::Csv);
    ASSERT_EQ(r.Rows.size(), texts.size() + 1);
    ASSERT_EQ(r.Rows[0].size(), 3u);
    EXPECT_EQ(c.normalise(r.Rows[0][0]), "SSID");
    EXPECT_EQ(c.normalise(r.Rows[0][1]), "Comment; \"notes\"");
    EXPECT_EQ(c.normalise(r.Rows[0][2]), "Signal");
    for (size_t i = 0; i < texts.size(); ++i) {
      SCOPED_TRACE(texts[i].What);
      const std::string ssid = c.inert ? Inert(texts[i].Text) : texts[i].Text;
      ASSERT_EQ(r.Rows[i + 1].size(), 3u);
      EXPECT_EQ(c.normalise(r.Rows[i + 1][0]), c.normalise(ssid));
      EXPECT_EQ(c.normalise(r.Rows[i + 1][1]), c.normalise(ssid + "\xEF\xBF\xBD"));
      EXPECT_EQ(c.normalise(r.Rows[i + 1][2]), "-67 dBm");
    }
    if (c.format == TExportFormat::Html) {
      for (const std::string& tag : r.Tags)
        EXPECT_TRUE(tag == "meta" || tag == "style" || tag == "table" || tag == "tr" || tag == "th" || tag == "td")
            << tag;
    }
  }
}

TEST(TableExport, DelimitedLinesQuotingAndTreeIndent) {
  TExportTable t;
  t.Columns = {{"A", TColumnAlignment::Left, 10, TCellKind::Text}, {"B", TColumnAlignment::Left, 10, TCellKind::Text}};
  t.Rows = {{0, {"x;y", "plain"}}, {1, {"\"q\"", "a\tb"}}};
  EXPECT_EQ(RenderCsv(t),
            "\xEF\xBB\xBF"
            "A;B\r\n\"x;y\";;plain\r\n;\"\"\"q\"\"\";a\tb\r\n");
  EXPECT_EQ(RenderText(t), "A\tB\r\nx;y\t\tplain\r\n\t\"\"\"q\"\"\"\t\"a\tb\"\r\n");

  // The element tree: no header, one tab per level, texts as they are unless they must be quoted.
  TExportTable tree;
  tree.Rows = {{0, {"SSID: x"}}, {1, {"Length: 1"}}, {2, {"a;b"}}, {0, {"=x"}}};
  EXPECT_EQ(RenderText(tree), "SSID: x\r\n\tLength: 1\r\n\t\ta;b\r\n'=x\r\n");
  const std::string html = RenderHtml(tree);
  EXPECT_NE(html.find("<tr class=\"default\"><td class=\"noborder\"></td><td class=\"noborder\"></td>"
                      "<td class=\"normalborder\">a;b</td></tr>"),
            std::string::npos);
}

// A text file printed on a terminal cannot set its title or clipboard, ring, or reorder the line: what a
// terminal acts on and the direction controls show as codes; line breaks stay in their quoted cell.
TEST(TableExport, TerminalControlsAndDirectionControlsShowAsCodes) {
  TExportTable t;
  t.Columns = {{"A", TColumnAlignment::Left, 10, TCellKind::Text}};
  t.Rows = {{0, {"t\x1B]0;owned\x07|\x1B[2J|\xC2\x9B|\x7F|\x08"}}, {0, {"abc\u202Egnp.exe"}}, {0, {"l1\r\nl2"}}};
  EXPECT_EQ(RenderText(t),
            "A\r\nt\\x1B]0;owned\\x07|\\x1B[2J|\\u009B|\\x7F|\\x08\r\nabc\\u202Egnp.exe\r\n\"l1\r\nl2\"\r\n");
  EXPECT_EQ(RenderCsv(t),
            "\xEF\xBB\xBF"
            "A\r\n\"t\\x1B]0;owned\\x07|\\x1B[2J|\\u009B|\\x7F|\\x08\"\r\nabc\\u202Egnp.exe\r\n\"l1\r\nl2\"\r\n");
}

TEST(TableExport, RtfEscapes) {
  TExportTable tree;
  tree.Rows = {{0, {"\\{}\tx\r\ny \xC3\xBC\xF0\x9F\x98\x80!"}}};
  const std::string rtf = RenderRtf(tree);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
  EXPECT_NE(rtf.find("\\ql \\\\\\{\\}\\tab x\\line y {\\u252?\\u-10179?\\u-8704?}!\\cell"), std::string::npos) << rtf;
  // Only ASCII in the file.
  for (const char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
}

TEST(TableExport, NetworkColumnKinds) {
  for (const TNetworkColumn text : {TNetworkColumn::SSID, TNetworkColumn::Comment, TNetworkColumn::Vendor,
                                    TNetworkColumn::DeviceName, TNetworkColumn::Country, TNetworkColumn::WPSVersion})
    EXPECT_EQ(NetworkColumnKind(text), TCellKind::Text);
  for (const TNetworkColumn number :
       {TNetworkColumn::SignalStrength, TNetworkColumn::Channel, TNetworkColumn::MinimumRate, TNetworkColumn::LastSeen})
    EXPECT_EQ(NetworkColumnKind(number), TCellKind::Number);
}

TEST(TableExport, FailedWriteKeepsTheOldFile) {
  test::TempDir dir;
  const fs::path file = dir.Path() / "list.csv";
  ASSERT_EQ(WriteFileAtomic(file, std::string_view("old")), "");
  SetRenameFunctionForTests([](const char*, const char*) {
    errno = ENOSPC;
    return -1;
  });
  const std::string error = WriteTableExport(HostileTable(), TExportFormat::Csv, file);
  SetRenameFunctionForTests(nullptr);
  EXPECT_NE(error.find(file.string()), std::string::npos) << error;
  std::string text;
  ASSERT_TRUE(ReadWholeFile(file, text));
  EXPECT_EQ(text, "old");
  EXPECT_NE(WriteTableExport(HostileTable(), TExportFormat::Text, "/dev/full"), "");
}

}  // namespace
}  // namespace skimlet::report

// What the network list copies: TAB-separated fields that a spreadsheet splits into the right columns.
#include <gtest/gtest.h>

#include <vector>

#include "core/model/copy_text.h"
#include "network_test_support.h"

namespace skimlet {
namespace {

using namespace skimlet::testing;

TEST(CopyText, FieldsHoldingTheSeparatorAQuoteOrALineBreakAreQuoted) {
  struct Case {
    const char* Cell;
    const char* Field;
  };
  for (const Case& c :
       {Case{"plain", "plain"}, Case{"", ""}, Case{"a\tb", "\"a\tb\""}, Case{"say \"hi\"", "\"say \"\"hi\"\"\""},
        Case{"two\nlines", "\"two\nlines\""}, Case{"cr\r", "\"cr\r\""}, Case{"a, b; c", "a, b; c"}})
    EXPECT_EQ(CopyField(c.Cell), c.Field) << c.Cell;
}

class CopyLines : public ::testing::Test {
 protected:
  CopyLines() {
    ElementBuilder rates;
    rates.Add(1, {0x82, 0x84, 0x8B, 0x96});  // 1; 2; 5.5; 11
    a = MakeNetwork(rates);
    a->SSID = "Cafe\t\"Free\"";
    a->BSSIDText = "00-1A-2B-3C-4D-5E";
    b = MakeNetwork(ElementBuilder());
    b->SSID = "bravo";
    b->BSSIDText = "02-00-00-00-00-01";
    b->Comment = "hidden";
    rows = {a.get(), b.get()};
  }
  EnglishUnits units;
  std::unique_ptr<TWLANNetwork> a, b;
  std::vector<const TWLANNetwork*> rows;
};

// Copy line leaves empty cells out (no empty fields) and rows without any text out; lines end in CR LF
// between them only.
TEST_F(CopyLines, CopyLineKeepsTheNonEmptyCellsEachInOneField) {
  const int columns[] = {1, 2, 3, 29};
  EXPECT_EQ(CopyLinesText(rows, columns), "\"Cafe\t\"\"Free\"\"\"\t00-1A-2B-3C-4D-5E\t" + a->GetColumnText(29) +
                                              "\r\nbravo\t02-00-00-00-00-01\thidden");
  EXPECT_NE(a->GetColumnText(29).find("; "), std::string::npos);
  const int ssidOnly[] = {1};
  EXPECT_EQ(CopyLinesText(rows, ssidOnly), "\"Cafe\t\"\"Free\"\"\"\r\nbravo");
  const int none[] = {0};
  EXPECT_EQ(CopyLinesText(rows, none), "");
}

// Copy all keeps every cell of the range, so each column stays in its own field even where a cell is empty.
TEST_F(CopyLines, CopyAllKeepsEmptyCellsSoColumnsLineUp) {
  EXPECT_EQ(CopyAllText(rows, 2, 4), "00-1A-2B-3C-4D-5E\t\t\r\n02-00-00-00-00-01\thidden\t");
  EXPECT_EQ(CopyAllText({}, 1, 3), "");
}

}  // namespace
}  // namespace skimlet

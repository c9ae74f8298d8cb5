#include "core/base/format.h"

#include <gtest/gtest.h>

#include "core/base/numfmt.h"

namespace skimlet {
namespace {

TEST(Format, Directives) {
  struct Case {
    const char* format;
    std::initializer_list<FmtArg> args;
    const char* expected;
  };
  const Case cases[] = {
      {"%s: %d", {"DTIM Count", 3}, "DTIM Count: 3"},
      {"0x%.2x", {10}, "0x0A"},
      {"0x%.4x", {uint16_t{0x1A2B}}, "0x1A2B"},
      {"0x%.8x", {uint32_t{0xDEADBEEF}}, "0xDEADBEEF"},
      {"%s (%.2d)", {"Unknown", 7}, "Unknown (07)"},
      {"%.2d", {-3}, "-03"},
      {"%d%%", {50}, "50%"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%x", {int8_t{-2}}, "FE"},
      {"%.3n", {5190.5}, "5,190.500"},
      {"%.1f", {2.25}, "2.2"},
      {"%.3s", {"abcdef"}, "abc"},
      {"%g Mbps", {5.5}, "5.5 Mbps"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.format, c.args), c.expected) << c.format;
}

TEST(Format, MismatchedFormatsNeverFail) {
  // Formats come from translations: too few arguments, a text for a number and a cut-off directive are shown.
  EXPECT_EQ(Format("%s and %d", {"one"}), "one and %d");
  EXPECT_EQ(Format("%d", {"text"}), "text");
  EXPECT_EQ(Format("50%", {}), "50%");
  EXPECT_EQ(Format("%.2", {1}), "%.2");
  EXPECT_EQ(Format("%q", {1}), "%q");
}

TEST(NumberFormat, DecimalSeparatorFollowsTheSetting) {
  EXPECT_EQ(FloatToText(5.5), "5.5");
  EXPECT_EQ(FloatToText(54), "54");
  EXPECT_EQ(FloatToText(0), "0");
  CurrentNumberFormat() = {',', '.'};
  EXPECT_EQ(FloatToText(5.5), "5,5");
  EXPECT_EQ(Format("%.3n", {5.19}), "5,190");
  EXPECT_EQ(Format("%.3n", {5190.0}), "5.190,000");
  CurrentNumberFormat() = {};
  EXPECT_EQ(Format("%.3n", {5.19}), "5.190");
}

}  // namespace
}  // namespace skimlet

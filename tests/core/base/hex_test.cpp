#include "core/base/hex.h"

#include <gtest/gtest.h>

namespace skimlet {
namespace {

TEST(ParseHexBytes, AcceptsSeparatorsBetweenBytes) {
  std::vector<uint8_t> expected = {0x00, 0x03, 0x41, 0xAB};
  for (const char* text : {"00 03 41 ab", "000341AB", "00:03:41:AB", "00-03-41-AB", " 00\t03\n41 AB "})
    EXPECT_EQ(ParseHexBytes(text), expected) << text;
  EXPECT_EQ(ParseHexBytes(""), std::vector<uint8_t>{});
}

TEST(ParseHexBytes, RejectsBadDigitsAndLoneDigits) {
  std::string error;
  EXPECT_FALSE(ParseHexBytes("00 0G", &error));
  EXPECT_NE(error.find("'G'"), std::string::npos);
  EXPECT_FALSE(ParseHexBytes("00 1", &error));
  EXPECT_NE(error.find("pairs"), std::string::npos);
  EXPECT_FALSE(ParseHexBytes("0 01", &error));
}

}  // namespace
}  // namespace skimlet

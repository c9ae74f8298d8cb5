#include "core/base/sha1.h"

#include <gtest/gtest.h>

#include <string>

namespace skimlet {
namespace {

std::string Hex(const std::array<uint8_t, 20>& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s;
  for (uint8_t b : digest) {
    s += kHex[b >> 4];
    s += kHex[b & 15];
  }
  return s;
}

TEST(Sha1, KnownDigestsAcrossBlockBoundaries) {
  // 55 bytes fill one block with the padding; 56 need a second block for the length; 64 are one full block.
  const std::pair<std::string, const char*> cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
      {std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
      {std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
      {std::string(1000, 'a'), "291e9a6c66994949b57ba5e650361e98fc36b1ba"},
  };
  for (const auto& [text, digest] : cases) {
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    EXPECT_EQ(Hex(Sha1(bytes)), digest) << text.size() << " bytes";
  }
}

}  // namespace
}  // namespace skimlet

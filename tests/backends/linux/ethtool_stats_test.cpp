// The driver counters of `ethtool -S`: the kernel's name and value buffers read back, and the ioctl's errors.
#include "backends/linux/ethtool_stats.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace skimlet::linuxwifi {
namespace {

std::vector<uint8_t> Names(std::initializer_list<std::string> names) {
  std::vector<uint8_t> out;
  for (const auto& n : names) {
    std::vector<uint8_t> slot(32, 0);
    std::memcpy(slot.data(), n.data(), std::min<size_t>(n.size(), 32));
    out.insert(out.end(), slot.begin(), slot.end());
  }
  return out;
}

std::vector<uint8_t> Values(std::initializer_list<uint64_t> values) {
  std::vector<uint8_t> out(values.size() * 8);
  size_t k = 0;
  for (uint64_t v : values) std::memcpy(out.data() + 8 * k++, &v, 8);
  return out;
}

TEST(EthtoolCounters, NamesAndValuesPairUp) {
  const std::string full(32, 'x');  // fills its slot: no terminating zero
  auto names = Names({"rx_packets", "tx_filtered", full});
  auto values = Values({12, 0x1'0000'0002ull, 7});
  auto counters = ParseEthtoolCounters(names, values, 3);
  ASSERT_TRUE(counters);
  EXPECT_EQ(*counters, (std::vector<EthtoolCounter>{{"rx_packets", 12}, {"tx_filtered", 0x1'0000'0002ull}, {full, 7}}));
  EXPECT_EQ(ParseEthtoolCounters(names, values, 0), std::vector<EthtoolCounter>{});

  // Buffers shorter than the count: a name cut short, a value cut short.
  EXPECT_FALSE(ParseEthtoolCounters(std::span(names).first(95), values, 3));
  EXPECT_FALSE(ParseEthtoolCounters(names, std::span(values).first(23), 3));
  EXPECT_FALSE(ParseEthtoolCounters(names, values, 4));
}

TEST(EthtoolCounters, UnknownInterfaces) {
  std::vector<EthtoolCounter> counters{{"stale", 1}};
  EXPECT_EQ(ReadEthtoolCounters("skimlet-none0", counters), ENODEV);
  EXPECT_TRUE(counters.empty());
  EXPECT_EQ(ReadEthtoolCounters(std::string(40, 'w'), counters), ENODEV);
  EXPECT_EQ(ReadEthtoolCounters("", counters), ENODEV);
}

}  // namespace
}  // namespace skimlet::linuxwifi

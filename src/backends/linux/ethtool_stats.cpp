#include "backends/linux/ethtool_stats.h"

#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "backends/linux/netlink_socket.h"

namespace skimlet::linuxwifi {

namespace {

// Upper bound on the counters a driver may report: the request buffers are sized from the driver's count.
constexpr uint32_t kMaxCounters = 4096;

int EthtoolRequest(int fd, const std::string& ifname, void* data) {
  ifreq request{};
  std::memcpy(request.ifr_name, ifname.data(), ifname.size());
  request.ifr_data = static_cast<char*>(data);
  return ::ioctl(fd, SIOCETHTOOL, &request) < 0 ? errno : 0;
}

}  // namespace

std::optional<std::vector<EthtoolCounter>> ParseEthtoolCounters(std::span<const uint8_t> names,
                                                                std::span<const uint8_t> values, size_t count) {
  if (count > names.size() / ETH_GSTRING_LEN || count > values.size() / sizeof(uint64_t)) return std::nullopt;
  std::vector<EthtoolCounter> out;
  out.reserve(count);
  for (size_t k = 0; k < count; ++k) {
    const auto name = names.subspan(k * ETH_GSTRING_LEN, ETH_GSTRING_LEN);
    const auto end = std::find(name.begin(), name.end(), uint8_t{0});
    EthtoolCounter c;
    c.Name.assign(name.begin(), end);
    std::memcpy(&c.Value, values.data() + k * sizeof(uint64_t), sizeof(uint64_t));
    out.push_back(std::move(c));
  }
  return out;
}

int ReadEthtoolCounters(const std::string& ifname, std::vector<EthtoolCounter>& counters) {
  counters.clear();
  if (ifname.empty() || ifname.size() >= IFNAMSIZ) return ENODEV;
  Fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd) return errno;
  ethtool_drvinfo info{};
  info.cmd = ETHTOOL_GDRVINFO;
  if (int rc = EthtoolRequest(fd.Get(), ifname, &info); rc != 0) return rc;
  const uint32_t count = info.n_stats;
  if (count == 0) return EOPNOTSUPP;
  if (count > kMaxCounters) return EIO;

  // The requests with room for Count entries behind their headers (kept 8-byte aligned for the values).
  std::vector<uint64_t> names((sizeof(ethtool_gstrings) + count * ETH_GSTRING_LEN + 7) / 8, 0);
  auto* strings = reinterpret_cast<ethtool_gstrings*>(names.data());
  strings->cmd = ETHTOOL_GSTRINGS;
  strings->string_set = ETH_SS_STATS;
  strings->len = count;
  if (int rc = EthtoolRequest(fd.Get(), ifname, strings); rc != 0) return rc;
  std::vector<uint64_t> values((sizeof(ethtool_stats) + count * sizeof(uint64_t) + 7) / 8, 0);
  auto* stats = reinterpret_cast<ethtool_stats*>(values.data());
  stats->cmd = ETHTOOL_GSTATS;
  stats->n_stats = count;
  if (int rc = EthtoolRequest(fd.Get(), ifname, stats); rc != 0) return rc;
  // The driver's set changed between the requests: the entries would not match.
  if (strings->len != count || stats->n_stats != count) return EAGAIN;

  const auto* nameBytes = reinterpret_cast<const uint8_t*>(names.data()) + sizeof(ethtool_gstrings);
  const auto* valueBytes = reinterpret_cast<const uint8_t*>(values.data()) + sizeof(ethtool_stats);
  auto parsed = ParseEthtoolCounters(std::span<const uint8_t>(nameBytes, size_t{count} * ETH_GSTRING_LEN),
                                     std::span<const uint8_t>(valueBytes, size_t{count} * sizeof(uint64_t)), count);
  if (!parsed) return EIO;
  counters = std::move(*parsed);
  return 0;
}

}  // namespace skimlet::linuxwifi

// The driver's own counters of a network interface, as `ethtool -S` shows them: mac80211 reports per-station
// and per-interface frame, retry and beacon counters there. Read with the SIOCETHTOOL ioctl, which needs no
// privilege.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace skimlet::linuxwifi {

struct EthtoolCounter {
  std::string Name;
  uint64_t Value = 0;
  bool operator==(const EthtoolCounter&) const = default;
};

// The counters of the kernel's replies: Names holds Count names of 32 bytes each (NUL-padded; a name that
// fills its 32 bytes has no NUL), Values Count 64-bit values in the host's byte order. Nullopt when either
// buffer is shorter than Count entries.
std::optional<std::vector<EthtoolCounter>> ParseEthtoolCounters(std::span<const uint8_t> names,
                                                                std::span<const uint8_t> values, size_t count);

// The driver counters of interface Ifname. 0, or the positive errno of the failure (ENODEV: no such interface,
// EOPNOTSUPP: the driver has no counters).
int ReadEthtoolCounters(const std::string& ifname, std::vector<EthtoolCounter>& counters);

}  // namespace skimlet::linuxwifi

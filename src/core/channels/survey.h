// One channel survey record: what the radio measured on one channel over one measurement period, as the
// kernel's survey dump gives it per channel. Every field but the frequency may be missing; a driver gives
// some or none of them.
#pragma once

#include <cstdint>
#include <optional>

namespace skimlet {

struct TChannelSurvey {
  uint32_t FrequencyMHz = 0;        // centre of the 20 MHz channel measured
  std::optional<int32_t> NoiseDbm;  // the noise floor
  // Times of the measurement period, in milliseconds: how long the radio was on the channel (active), how
  // long it sensed the medium busy, received, transmitted, and scanned. Running counters are passed as the
  // difference to the record before, so that every record covers its own period.
  std::optional<uint64_t> ActiveMs;
  std::optional<uint64_t> BusyMs;
  std::optional<uint64_t> RxMs;
  std::optional<uint64_t> TxMs;
  std::optional<uint64_t> ScanMs;
};

}  // namespace skimlet

#include "core/survey/survey.h"

#include <cstdio>

namespace skimlet::survey {

const Floor* Survey::FindFloor(const std::string& name) const {
  for (const Floor& f : Floors)
    if (f.Name == name) return &f;
  return nullptr;
}

const Floor* Survey::FindFloor(int64_t id) const {
  for (const Floor& f : Floors)
    if (f.Id == id) return &f;
  return nullptr;
}

std::optional<Bssid> ParseBssid(const std::string& text) {
  if (text.size() != 17) return std::nullopt;
  Bssid b{};
  for (size_t k = 0; k < 6; ++k) {
    if (k > 0 && text[k * 3 - 1] != ':' && text[k * 3 - 1] != '-') return std::nullopt;
    unsigned v = 0;
    for (size_t d = 0; d < 2; ++d) {
      char c = text[k * 3 + d];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f') v |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= unsigned(c - 'A' + 10);
      else return std::nullopt;
    }
    b[k] = static_cast<uint8_t>(v);
  }
  return b;
}

std::string BssidText(const Bssid& b) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
  return text;
}

namespace {
constexpr uint64_t kFiletimeAt1970 = 116444736000000000ull;
}

double UnixFromFiletime(uint64_t filetime) {
  return filetime < kFiletimeAt1970 ? 0.0 : static_cast<double>(filetime - kFiletimeAt1970) / 1e7;
}

uint64_t FiletimeFromUnix(double unixSeconds) {
  return unixSeconds <= 0 ? kFiletimeAt1970 : kFiletimeAt1970 + static_cast<uint64_t>(unixSeconds * 1e7);
}

}  // namespace skimlet::survey

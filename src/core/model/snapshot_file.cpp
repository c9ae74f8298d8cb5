#include "core/model/snapshot_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/base/datetime.h"

namespace skimlet {

namespace {

uint32_t U32(std::span<const uint8_t> b, size_t pos) {
  return uint32_t{b[pos]} | uint32_t{b[pos + 1]} << 8 | uint32_t{b[pos + 2]} << 16 | uint32_t{b[pos + 3]} << 24;
}

double F64(std::span<const uint8_t> b, size_t pos) {
  uint64_t v = 0;
  for (size_t k = 8; k-- > 0;) v = (v << 8) | b[pos + k];
  return std::bit_cast<double>(v);
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

void PutF64(std::vector<uint8_t>& out, double d) {
  uint64_t v = std::bit_cast<uint64_t>(d);
  for (int k = 0; k < 8; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

constexpr size_t kHeaderSize = 10;
constexpr uint8_t kZoneMark = 'Z';
constexpr size_t kZoneSize = 3;
constexpr int kMaxZoneMinutes = 18 * 60;

std::optional<int> ZoneTrailer(std::span<const uint8_t> rest) {
  if (rest.size() != kZoneSize || rest[0] != kZoneMark) return std::nullopt;
  const int minutes = static_cast<int16_t>(uint16_t{rest[1]} | uint16_t{rest[2]} << 8);
  if (minutes < -kMaxZoneMinutes || minutes > kMaxZoneMinutes) return std::nullopt;
  return minutes;
}

}  // namespace

SnapshotContents ParseSnapshot(std::span<const uint8_t> file) {
  SnapshotContents c;
  if (file.size() < kHeaderSize) {
    c.Status = SnapshotStatus::NoHeader;
    return c;
  }
  if (file[0] != 1 || file[1] != 1) {
    c.Status = SnapshotStatus::UnknownFormat;
    return c;
  }
  c.SavedTime = F64(file, 2);
  size_t pos = kHeaderSize;
  while (file.size() - pos >= 4) {
    uint64_t length = U32(file, pos);
    // The record's bytes, then its two times, must all be there; otherwise the file ends here.
    if (file.size() - pos - 4 < length || file.size() - pos - 4 - length < 16) {
      c.CutAt = pos;
      return c;
    }
    pos += 4;
    std::span<const uint8_t> record = file.subspan(pos, length);
    double firstSeen = F64(file, pos + length);
    double lastSeen = F64(file, pos + length + 8);
    pos += length + 16;
    auto entry = WLAN_BSS_ENTRY::Decode(record);
    auto blob = entry ? ElementBlobOf(*entry, record) : std::nullopt;
    if (!entry || !blob) {
      ++c.SkippedRecords;
      continue;
    }
    c.Records.push_back({*entry, std::vector<uint8_t>(blob->begin(), blob->end()), firstSeen, lastSeen});
  }
  if (pos < file.size()) {
    if (auto zone = ZoneTrailer(file.subspan(pos))) c.ZoneOffsetMinutes = zone;
    else c.CutAt = pos;
  }
  return c;
}

std::string CutSnapshotText(uint64_t at) {
  return "reading stopped at byte " + std::to_string(at) + ": the file ends inside a record";
}

SnapshotContents ReadSnapshotFile(const std::string& path) {
  std::string bytes, error;
  if (!ReadWholeFile(path, bytes, &error)) {
    error = path + ": " + error;
    SnapshotContents c;
    c.Status = SnapshotStatus::ReadError;
    c.Error = error;
    return c;
  }
  return ParseSnapshot(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<uint8_t> EncodeSnapshot(double savedTime, std::span<const SnapshotRecordRef> records,
                                    std::optional<int> zoneOffsetMinutes) {
  std::vector<uint8_t> out;
  size_t total = kHeaderSize + kZoneSize;
  for (const SnapshotRecordRef& r : records) total += 4 + WLAN_BSS_ENTRY::kSize + r.Blob.size() + 16;
  out.reserve(total);
  out.push_back(1);
  out.push_back(1);
  PutF64(out, savedTime);
  for (const SnapshotRecordRef& r : records) {
    WLAN_BSS_ENTRY entry = *r.Entry;
    entry.ulIeOffset = WLAN_BSS_ENTRY::kSize;
    entry.ulIeSize = static_cast<uint32_t>(r.Blob.size());
    PutU32(out, static_cast<uint32_t>(WLAN_BSS_ENTRY::kSize + r.Blob.size()));
    entry.Encode(out);
    out.insert(out.end(), r.Blob.begin(), r.Blob.end());
    PutF64(out, r.FirstSeen);
    PutF64(out, r.LastSeen);
  }
  const int zone =
      std::clamp(zoneOffsetMinutes.value_or(LocalUtcOffsetMinutes(savedTime)), -kMaxZoneMinutes, kMaxZoneMinutes);
  const auto bits = static_cast<uint16_t>(static_cast<int16_t>(zone));
  out.push_back(kZoneMark);
  out.push_back(static_cast<uint8_t>(bits));
  out.push_back(static_cast<uint8_t>(bits >> 8));
  return out;
}

std::string WriteSnapshotFile(const std::string& path, double savedTime, std::span<const SnapshotRecordRef> records) {
  return WriteFileAtomic(path, EncodeSnapshot(savedTime, records));
}

}  // namespace skimlet

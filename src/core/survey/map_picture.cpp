#include "core/survey/map_picture.h"

#include <algorithm>
#include <cmath>

namespace skimlet::survey {

namespace {

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, std::span<const uint8_t> data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, Crc32(std::span<const uint8_t>(out).subspan(at)));
}

Rgba Blend(const Rgba& a, const Rgba& b, double t) {
  Rgba c{};
  for (size_t k = 0; k < 4; ++k) c[k] = static_cast<uint8_t>(std::lround(a[k] + (b[k] - a[k]) * t));
  return c;
}

Rgba Ramp(double t) {
  static constexpr std::array<Rgba, 5> kStops{
      {{128, 0, 0, 255}, {230, 60, 30, 255}, {250, 200, 40, 255}, {150, 210, 60, 255}, {20, 150, 60, 255}}};
  t = std::clamp(t, 0.0, 1.0) * (kStops.size() - 1);
  const size_t i = std::min(static_cast<size_t>(t), kStops.size() - 2);
  return Blend(kStops[i], kStops[i + 1], t - static_cast<double>(i));
}

}  // namespace

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, std::span<const uint8_t> rgba) {
  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, width);
  Put32(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  Chunk(out, "IHDR", header);
  // The filtered rows (filter 0 each) in stored deflate blocks, with the zlib header and Adler-32.
  std::vector<uint8_t> raw;
  const size_t stride = static_cast<size_t>(width) * 4;
  raw.reserve((stride + 1) * height);
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba.begin() + static_cast<long>(y * stride),
               rgba.begin() + static_cast<long>((y + 1) * stride));
  }
  std::vector<uint8_t> z{0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t n = std::min<size_t>(raw.size() - at, 65535);
    const bool last = at + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, b << 16 | a);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

Rgba MapColour(MapKind kind, float value) {
  if (std::isnan(value)) return {0, 0, 0, 0};
  switch (kind) {
    case MapKind::Signal:
    case MapKind::Primary:
    case MapKind::Secondary: return Ramp((value + 90.0) / 60.0);
    case MapKind::Snr: return Ramp(value / 45.0);
    case MapKind::Rate: return Ramp(std::log2(std::max(value, 1.0f)) / std::log2(2400.0));
    case MapKind::CoChannel: return Ramp(1.0 - value / 4.0);
    case MapKind::Aps: return Ramp(value / 5.0);
    case MapKind::Requirements: return value >= 1 ? Rgba{20, 150, 60, 255} : Rgba{200, 40, 40, 255};
    case MapKind::Serving: {
      static constexpr std::array<Rgba, 10> kPalette{{{31, 119, 180, 255},
                                                      {255, 127, 14, 255},
                                                      {44, 160, 44, 255},
                                                      {214, 39, 40, 255},
                                                      {148, 103, 189, 255},
                                                      {140, 86, 75, 255},
                                                      {227, 119, 194, 255},
                                                      {127, 127, 127, 255},
                                                      {188, 189, 34, 255},
                                                      {23, 190, 207, 255}}};
      return kPalette[static_cast<size_t>(std::max(value, 0.0f)) % kPalette.size()];
    }
  }
  return {0, 0, 0, 0};
}

std::vector<uint8_t> MapPng(const MapResult& map, MapKind kind, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) {
    width = static_cast<uint32_t>(std::min(map.Columns * 4, 4096));
    height = static_cast<uint32_t>(std::min(map.Rows * 4, 4096));
  }
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const int col = std::min(static_cast<int>((x + 0.5) * map.Columns / width), map.Columns - 1);
      const int row = std::min(static_cast<int>((y + 0.5) * map.Rows / height), map.Rows - 1);
      const Rgba c = MapColour(kind, map.At(col, row));
      std::copy(c.begin(), c.end(), rgba.begin() + static_cast<long>((static_cast<size_t>(y) * width + x) * 4));
    }
  return EncodePng(width, height, rgba);
}

bool PngSize(std::span<const uint8_t> bytes, uint32_t& width, uint32_t& height) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 24 || !std::equal(kSignature, kSignature + 8, bytes.begin())) return false;
  if (!std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR")) return false;
  auto get = [&](size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
  };
  width = get(16);
  height = get(20);
  return width > 0 && height > 0 && width < (1u << 24) && height < (1u << 24);
}

}  // namespace skimlet::survey

// A map as a picture: PNG (RGBA, 8 bits, stored deflate blocks: no compression library needed) and the
// colours of its values. Signal maps use one fixed scale from -90 dBm (dark red) to -30 dBm (green) so that
// maps of different floors and surveys compare; cells without data are transparent.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/survey/survey_map.h"

namespace skimlet::survey {

using Rgba = std::array<uint8_t, 4>;

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, std::span<const uint8_t> rgba);

// The colour of a map's cell value.
Rgba MapColour(MapKind kind, float value);

// The map drawn at Width × Height pixels (each pixel takes the cell under its centre); 0 for either picks
// 4 pixels per cell edge, at most 4096.
std::vector<uint8_t> MapPng(const MapResult& map, MapKind kind, uint32_t width, uint32_t height);

// Width and height of a PNG image, from its header; false when the bytes are not a PNG.
bool PngSize(std::span<const uint8_t> bytes, uint32_t& width, uint32_t& height);

}  // namespace skimlet::survey

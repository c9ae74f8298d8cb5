// Series colours: the fixed 20-colour palette and the generator that hands palette colours to new networks.
#pragma once

#include <cstdint>

namespace skimlet {

// A colour as stored in files and used by series and rows: red + 256 * green + 65536 * blue.
using TColor = uint32_t;

constexpr TColor MakeColor(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<TColor>(red) | static_cast<TColor>(green) << 8 | static_cast<TColor>(blue) << 16;
}
constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c); }
constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>(c >> 16); }

inline constexpr int PaletteSize = 20;

// palette[index mod 20]; a negative index counts from the end as the remainder would.
TColor PaletteColor(int64_t index);
// palette[r mod 20] with r drawn uniformly from 0 ... 99.
TColor RandomPaletteColor();

// Hands out palette colours in order: colour 0 first, repeating every 20.
class TGraphColorGenerator {
 public:
  int Counter = 0;

  TColor Next() { return PaletteColor(Counter++); }
  void Reset() { Counter = 0; }
};

}  // namespace skimlet

#include "core/graph/colors.h"

#include <array>
#include <random>

namespace skimlet {

namespace {

constexpr std::array<TColor, PaletteSize> Palette = {
    MakeColor(180, 119, 31),  MakeColor(14, 127, 255),  MakeColor(120, 187, 255), MakeColor(44, 160, 44),
    MakeColor(232, 199, 174), MakeColor(40, 39, 214),   MakeColor(150, 152, 255), MakeColor(189, 103, 148),
    MakeColor(138, 223, 152), MakeColor(229, 218, 158), MakeColor(75, 86, 140),   MakeColor(148, 156, 196),
    MakeColor(194, 119, 227), MakeColor(213, 176, 197), MakeColor(127, 127, 127), MakeColor(199, 199, 199),
    MakeColor(34, 189, 188),  MakeColor(210, 182, 247), MakeColor(141, 219, 219), MakeColor(207, 190, 23),
};

}  // namespace

TColor PaletteColor(int64_t index) {
  int64_t i = index % PaletteSize;
  if (i < 0) i += PaletteSize;
  return Palette[static_cast<size_t>(i)];
}

TColor RandomPaletteColor() {
  thread_local std::minstd_rand engine{std::random_device{}()};
  std::uniform_int_distribution<int> draw(0, 99);
  return PaletteColor(draw(engine));
}

}  // namespace skimlet

#include "core/ie/elements/vht_base.h"

#include <string_view>

#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void AddMCSMapLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos) {
  static constexpr std::string_view kMCSPerStream[] = {"VHT-MCS 0-7", "VHT-MCS 0-8", "VHT-MCS 0-9", "Not Supported"};
  TBitLines map(element, tree, parent, pos, 16, 2);
  for (unsigned n = 1; n <= 8; ++n) {
    uint32_t v = map.Bits(2 * (n - 1), 2);
    map.Add(Format("%s - Max VHT-MCS For %d SS: %s (%d)",
                   {map.Diagram(2, 2 * (n - 1)), n, IndexToText(v, kMCSPerStream, "Unknown"), v}));
  }
}

void AddVHTOperationInfoLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos) {
  static constexpr std::string_view kChannelWidth[] = {"20 MHz or 40 MHz", "80 MHz, 160 MHz or 80+80 MHz",
                                                       "160 MHz (deprecated)", "Non-contiguous 80+80 MHz (deprecated)"};
  Bytes info = Slice(element.Data, pos, 3);
  const int32_t at = element.Offset + 2 + static_cast<int32_t>(pos);
  uint8_t width = info[0], segment0 = info[1], segment1 = info[2];
  TIETreeLine line = element.AddNode(tree, parent, "VHT Operation Information", at, 3);
  element.AddNode(tree, line,
                  Format("Channel Width: %s (0x%.2x)", {IndexToText(width, kChannelWidth, "Reserved"), width}), at, 1);
  element.AddNode(
      tree, line,
      Format("Channel Center Frequency Segment 0: %s (0x%.2x)",
             {width != kVHTChannelWidth20Or40 ? std::to_string(segment0) : std::string("Reserved"), segment0}),
      at + 1, 1);
  element.AddNode(
      tree, line,
      Format("Channel Center Frequency Segment 1: %s (0x%.2x)",
             {width != kVHTChannelWidth20Or40 && segment1 != 0 ? std::to_string(segment1) : std::string("Reserved"),
              segment1}),
      at + 2, 1);
}

}  // namespace skimlet

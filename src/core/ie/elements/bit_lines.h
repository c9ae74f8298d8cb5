// Lines about the bits of one field value. Every line covers the bytes of the field, and its diagram shows the
// line's bits within the whole width of the value, most significant bit first, in groups of eight.
#pragma once

#include <string>
#include <string_view>

#include "core/base/format.h"
#include "core/ie/element.h"

namespace skimlet {

class TBitLines {
public:
  // The value of Width bits at body position Pos of Element, described by lines under Parent that cover
  // Count body bytes from Pos. Throws TElementCorrupted when the value does not lie in the body.
  TBitLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos, unsigned width,
            int32_t count)
      : element_(element), tree_(tree), parent_(parent), value_(Slice(element.Data, pos, (width + 7) / 8)),
        width_(width), offset_(element.Offset + 2 + static_cast<int32_t>(pos)), count_(count) {}

  // The "1"/"0" diagram of Length bits from bit First.
  std::string Diagram(unsigned length, unsigned first) const {
    return BitFieldToText(value_, width_, 8, true, length, first);
  }
  // The "x" diagram of Length bits from bit First.
  std::string XDiagram(unsigned length, unsigned first) const { return BitRangeToText(width_, 8, true, length, first); }
  uint32_t Bits(unsigned first, unsigned length) const { return GetBits(value_, first, length); }
  bool Bit(unsigned bit) const { return GetBits(value_, bit, 1) != 0; }

  TIETreeLine Add(std::string text) const { return element_.AddNode(tree_, parent_, std::move(text), offset_, count_); }
  // "diagram - Text" for the bits of one field.
  TIETreeLine Field(unsigned length, unsigned first, std::string_view text) const {
    return Add(Format("%s - %s", {Diagram(length, first), text}));
  }
  // "xxx - Reserved" for reserved bits.
  TIETreeLine Reserved(unsigned length, unsigned first, std::string_view label = "Reserved") const {
    return Add(Format("%s - %s", {XDiagram(length, first), label}));
  }

private:
  const TInformationElement& element_;
  TIETree& tree_;
  TIETreeLine parent_;
  Bytes value_;
  unsigned width_;
  int32_t offset_;
  int32_t count_;
};

}  // namespace skimlet

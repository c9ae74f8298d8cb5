#include "core/ie/elements/eid059_operating_classes.h"

#include "core/base/format.h"

namespace skimlet {

namespace {

constexpr uint8_t kExtensionDelimiter = 130;  // the current operating class extension sequence follows
constexpr uint8_t kDupleDelimiter = 0;        // the operating class duple sequence follows

}  // namespace

void TSupportedOperatingClassesElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(2)) || !CheckLength(tree, element, TLengthRule::AtMost(253)))
    return;
  AddBodyNode(tree, element, Format("Current Operating Class: %d", {Byte(0)}), 0, 1);

  // Collects bytes from Start up to a delimiter or the end; returns their count and the delimiter, or -1 for
  // the end of the body.
  auto collect = [&](int32_t start, bool stopAtExtension, std::string& joined, int& delimiter) {
    int32_t k = start;
    delimiter = -1;
    for (; k < Length; ++k) {
      uint8_t b = Byte(static_cast<size_t>(k));
      if (b == kDupleDelimiter || (stopAtExtension && b == kExtensionDelimiter)) {
        delimiter = b;
        break;
      }
      if (k > start) joined += ", ";
      joined += std::to_string(b);
    }
    return k - start;
  };

  std::string joined;
  int delimiter = -1;
  int32_t count = collect(1, true, joined, delimiter);
  if (count > 0) AddBodyNode(tree, element, Format("Alternate Operating Classes: %s", {joined}), 1, count);
  int32_t q = 1 + count + 1;
  if (q < Length && delimiter == kExtensionDelimiter) {
    joined.clear();
    count = collect(q, false, joined, delimiter);
    if (count > 0)
      AddBodyNode(tree, element, Format("Current Operating Class Extension Sequence: %s", {joined}), q, count);
    q += count + 1;
  }
  if (q < Length && delimiter == kDupleDelimiter) {
    joined.clear();
    int32_t k = q;
    for (; Length - k >= 2; k += 2) {
      uint16_t duple = ReadUInt16LE(Data, static_cast<size_t>(k));
      if (duple == 0) break;
      if (k > q) joined += ", ";
      joined += std::to_string(duple);
    }
    if (k > q) AddBodyNode(tree, element, Format("Operating Class Duple Sequence: %s", {joined}), q, k - q);
  }
}

}  // namespace skimlet

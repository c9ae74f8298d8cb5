// Lines about the bits of one field value. Every line covers the bytes of the field, and its diagram shows the
// line's bits within the whole width of the value, most significant bit first, in groups of eight.
//
// A decoder that shows many fields of a value lists them as TBitField rows and draws them with Draw; single
// fields whose text does not follow the row pattern go through Field and Reserved.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/element.h"

namespace skimlet {

// How a field's value is put into words.
enum class TBitWords : uint8_t {
  Supported,  // "Supported" / "Not Supported"
  YesNo,      // the language's "Yes" / "No"
  Enabled,    // "Enabled" / "Disabled"
  Capable,    // "Capable" / "Not capable"
  Required,   // "Required" / "Not required"
  Defined,    // "Defined" / "Not Defined"
  Text,       // the row's text of the value, "Unknown" beyond its texts
  Number,     // the value in decimal
  Hex,        // the value as 0x0A
  Reserved,   // no value: "xxx - Reserved"
};

// What follows the words: nothing, the value in decimal " (3)" or in hex " (0x03)".
enum class TBitSuffix : uint8_t { NoValue, DecValue, HexValue };

// One field of a value: "diagram - Label: words[ suffix]".
struct TBitField {
  uint8_t First, Length;
  TBitWords Words;
  std::string_view Label = {};
  std::span<const std::string_view> Texts = {};
  TBitSuffix Suffix = TBitSuffix::NoValue;
};

class TBitLines {
 public:
  // The value of Width bits at body position Pos of Element, described by lines under Parent that cover
  // Count body bytes from Pos. Throws TElementCorrupted when the value does not lie in the body.
  TBitLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos, unsigned width,
            int32_t count)
      : TBitLines(element, tree, parent, Slice(element.Data, pos, (width + 7) / 8), width,
                  element.Offset + 2 + static_cast<int32_t>(pos), count) {}
  // The value of Width bits in Value (bytes that are not the body's own, such as a byte-swapped copy),
  // described by lines that cover Count blob bytes from blob position Offset.
  TBitLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, Bytes value, unsigned width,
            int32_t offset, int32_t count)
      : element_(element),
        tree_(tree),
        parent_(parent),
        value_(Slice(value, 0, (width + 7) / 8)),
        width_(width),
        offset_(offset),
        count_(count) {}

  // The same value, its lines under Parent.
  TBitLines Under(TIETreeLine parent) const {
    TBitLines lines = *this;
    lines.parent_ = parent;
    return lines;
  }
  // Adds Text as the line of the whole value; the same value, its lines under that line.
  TBitLines Below(std::string text) const { return Under(Add(std::move(text))); }

  // The "1"/"0" diagram of the whole value.
  std::string AllBits() const { return BitsToText(value_, width_, 8, true); }
  // The "1"/"0" diagram of Length bits from bit First.
  std::string Diagram(unsigned length, unsigned first) const {
    return BitFieldToText(value_, width_, 8, true, length, first);
  }
  // The "x" diagram of Length bits from bit First.
  std::string XDiagram(unsigned length, unsigned first) const { return BitRangeToText(width_, 8, true, length, first); }
  // The "1"/"0" diagram of the bits of Mask.
  std::string MaskDiagram(uint32_t mask) const { return MaskedBitsToText(value_, width_, 8, true, mask); }
  uint32_t Bits(unsigned first, unsigned length) const { return GetBits(value_, first, length); }
  bool Bit(unsigned bit) const { return GetBits(value_, bit, 1) != 0; }
  // The whole value (of at most 32 bits).
  uint32_t Value() const { return GetBits(value_, 0, width_); }

  TIETreeLine Add(std::string text) const { return element_.AddNode(tree_, parent_, std::move(text), offset_, count_); }
  // "diagram - Text" for the bits of one field.
  TIETreeLine Field(unsigned length, unsigned first, std::string_view text) const {
    return Add(Format("%s - %s", {Diagram(length, first), text}));
  }
  // "xxx - Reserved" for reserved bits.
  TIETreeLine Reserved(unsigned length, unsigned first, std::string_view label = "Reserved") const {
    return Add(Format("%s - %s", {XDiagram(length, first), label}));
  }

  // The line of Row, whose bits start at bit First of the value, under Label (the row's own label, or the
  // label the caller chose for a reserved row).
  TIETreeLine Draw(const TBitField& row, unsigned first, std::string_view label) const;
  TIETreeLine Draw(const TBitField& row) const {
    return Draw(row, row.First, row.Words == TBitWords::Reserved ? std::string_view("Reserved") : row.Label);
  }
  // The lines of Rows in order, under their labels as written.
  void Draw(std::span<const TBitField> rows) const {
    for (const TBitField& row : rows) Draw(row);
  }
  // The same with the labels (and "Reserved") in the current language.
  void DrawTranslated(std::span<const TBitField> rows) const {
    for (const TBitField& row : rows)
      Draw(row, row.First, Translate(row.Words == TBitWords::Reserved ? std::string_view("Reserved") : row.Label));
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

inline TIETreeLine TBitLines::Draw(const TBitField& row, unsigned first, std::string_view label) const {
  if (row.Words == TBitWords::Reserved) return Reserved(row.Length, first, label);
  const uint32_t v = Bits(first, row.Length);
  std::string words;
  switch (row.Words) {
    case TBitWords::Supported: words = SupportedToText(v != 0); break;
    case TBitWords::YesNo: words = YesNoToText(v != 0); break;
    case TBitWords::Enabled: words = EnabledToText(v != 0); break;
    case TBitWords::Capable: words = CapableToText(v != 0); break;
    case TBitWords::Required: words = RequiredToText(v != 0); break;
    case TBitWords::Defined: words = DefinedToText(v != 0); break;
    case TBitWords::Text: words = IndexToText(v, row.Texts, "Unknown"); break;
    case TBitWords::Number: words = std::to_string(v); break;
    case TBitWords::Hex: words = Format("0x%.2x", {v}); break;
    case TBitWords::Reserved: break;
  }
  switch (row.Suffix) {
    case TBitSuffix::NoValue: return Add(Format("%s - %s: %s", {Diagram(row.Length, first), label, words}));
    case TBitSuffix::DecValue: return Add(Format("%s - %s: %s (%d)", {Diagram(row.Length, first), label, words, v}));
    case TBitSuffix::HexValue: break;
  }
  return Add(Format("%s - %s: %s (0x%.2x)", {Diagram(row.Length, first), label, words, v}));
}

}  // namespace skimlet

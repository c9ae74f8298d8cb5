#include "core/ie/length_rule.h"

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

std::string TLengthRule::Message() const {
  std::string_view pattern;
  int32_t a = min_, b = max_;
  switch (wording_) {
    case TLengthWording::Equal: pattern = "Length is wrong, must be = %d"; break;
    case TLengthWording::AtLeast: pattern = "Length is wrong, must be >= %d"; break;
    case TLengthWording::AtLeastArrow: pattern = "Length is wrong, must be => %d"; break;
    case TLengthWording::MoreThan:
      pattern = "Length is wrong, must be > %d";
      a = min_ - 1;
      break;
    case TLengthWording::AtMost:
      pattern = "Length is wrong, must be <= %d";
      a = max_;
      break;
    case TLengthWording::Range: pattern = "Length is wrong, must be >= %d and <=%d"; break;
    case TLengthWording::Between: pattern = "Length is wrong, must be between %d and %d"; break;
    case TLengthWording::Exclusive:
      pattern = "Length is wrong, must be > %d and < %d";
      a = min_ - 1;
      break;
    case TLengthWording::Interworking: pattern = "Invalid Interworking element length"; break;
  }
  if (!translated_) return Format(pattern, {a, b});
  // A language may hold the whole text or its pattern.
  std::string text = Format(pattern, {a, b});
  return Translate(text, Format(Translate(pattern), {a, b}));
}

}  // namespace skimlet

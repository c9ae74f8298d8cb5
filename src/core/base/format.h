// Run-time formatting of display texts with "%" directives.
//
// Display formats are data: they come from translations, so they are parsed at run time and a format whose
// directives do not fit its arguments never crashes; it prints what it can.
//
// Directive: "%" ["-"] [width] ["." precision] type, or "%%" for a percent sign.
//   d  signed decimal; precision = minimum digits, zero padded ("%.2d" of 7 gives "07")
//   u  unsigned decimal
//   x  hexadecimal in upper case; precision = minimum digits ("0x%.2x" of 10 gives "0x0A")
//   s  text; precision = maximum characters
//   f  fixed point with precision decimals (default 2), the current decimal separator
//   n  like f, with thousand separators ("%.3n" of 5190.5 gives "5,190.500")
//   g  shortest form of a floating-point value
// Width pads with blanks on the left, or on the right after "-".
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace skimlet {

class FmtArg {
 public:
  enum class Kind { Int, UInt, Float, Text };

  template <std::signed_integral T>
  FmtArg(T v) : kind_(Kind::Int), i_(v), bits_(sizeof(T) * 8) {}
  template <std::unsigned_integral T>
  requires(!std::same_as<T, bool>) FmtArg(T v) : kind_(Kind::UInt), u_(v), bits_(sizeof(T) * 8) {}
  FmtArg(bool v) : kind_(Kind::Int), i_(v ? 1 : 0) {}
  FmtArg(double v) : kind_(Kind::Float), f_(v) {}
  FmtArg(std::string_view v) : kind_(Kind::Text), s_(v) {}
  FmtArg(const std::string& v) : kind_(Kind::Text), s_(v) {}
  FmtArg(const char* v) : kind_(Kind::Text), s_(v ? v : "") {}

  Kind kind() const { return kind_; }
  int64_t AsInt() const;
  uint64_t AsUnsigned() const;  // negative values as two's complement of their own width
  double AsFloat() const;
  std::string AsText() const;

 private:
  Kind kind_;
  int64_t i_ = 0;
  uint64_t u_ = 0;
  double f_ = 0;
  std::string_view s_;
  int bits_ = 64;
};

std::string Format(std::string_view format, std::initializer_list<FmtArg> args);

}  // namespace skimlet

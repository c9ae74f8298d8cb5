// TLengthRule: what the length of a body (or of a part of it) must be, and the line that says so when it is
// not. Decoders state their rule once; the wrong-length texts all come from here.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

namespace skimlet {

// How the wrong-length line words the rule. The texts are language keys and stay as they are, including
// those that say a little less than their rule checks.
enum class TLengthWording : uint8_t {
  Equal,         // "Length is wrong, must be = MIN"
  AtLeast,       // "Length is wrong, must be >= MIN"
  AtLeastArrow,  // "Length is wrong, must be => MIN"
  MoreThan,      // "Length is wrong, must be > MIN-1"
  AtMost,        // "Length is wrong, must be <= MAX"
  Range,         // "Length is wrong, must be >= MIN and <=MAX"
  Between,       // "Length is wrong, must be between MIN and MAX"
  Exclusive,     // "Length is wrong, must be > MIN-1 and < MAX" (MAX itself is accepted)
  Interworking,  // "Invalid Interworking element length"
};

class TLengthRule {
 public:
  static constexpr int32_t kUnbounded = std::numeric_limits<int32_t>::max();

  static constexpr TLengthRule Exactly(int32_t n) { return {n, n, TLengthWording::Equal}; }
  static constexpr TLengthRule AtLeast(int32_t n) { return {n, kUnbounded, TLengthWording::AtLeast}; }
  static constexpr TLengthRule MoreThan(int32_t n) { return {n + 1, kUnbounded, TLengthWording::MoreThan}; }
  static constexpr TLengthRule AtMost(int32_t n) { return {0, n, TLengthWording::AtMost}; }
  static constexpr TLengthRule Range(int32_t min, int32_t max) { return {min, max, TLengthWording::Range}; }
  // One of a few lengths below 64; such a rule has no wording of its own.
  static constexpr TLengthRule OneOf(std::initializer_list<int32_t> lengths, TLengthWording wording) {
    TLengthRule rule{0, 63, wording};
    rule.set_ = 0;
    for (int32_t n : lengths) rule.set_ |= uint64_t{1} << n;
    return rule;
  }

  // The same rule with another wording.
  constexpr TLengthRule Worded(TLengthWording wording) const {
    TLengthRule rule = *this;
    rule.wording_ = wording;
    return rule;
  }
  // The same rule, its line shown in the current language.
  constexpr TLengthRule Translated() const {
    TLengthRule rule = *this;
    rule.translated_ = true;
    return rule;
  }

  constexpr bool Holds(int64_t length) const {
    return length >= min_ && length <= max_ && (set_ == kAny || ((set_ >> length) & 1u) != 0);
  }
  // The wrong-length line.
  std::string Message() const;

 private:
  static constexpr uint64_t kAny = ~uint64_t{0};
  constexpr TLengthRule(int32_t min, int32_t max, TLengthWording wording) : min_(min), max_(max), wording_(wording) {}

  int32_t min_, max_;
  uint64_t set_ = kAny;  // bit n: length n is accepted (within min..max)
  TLengthWording wording_;
  bool translated_ = false;
};

}  // namespace skimlet

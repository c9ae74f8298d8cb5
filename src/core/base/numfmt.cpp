#include "core/base/numfmt.h"

#include <cmath>
#include <cstdio>

namespace skimlet {

NumberFormat& CurrentNumberFormat() {
  static NumberFormat format;
  return format;
}

namespace {
void UseDecimalSeparator(std::string& s) {
  char sep = CurrentNumberFormat().DecimalSeparator;
  for (char& c : s)
    if (c == '.') c = sep;
}
}  // namespace

std::string FloatToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[64];
  double magnitude = std::fabs(value);
  if (magnitude != 0 && (magnitude >= 1e15 || magnitude < 1e-5)) {
    std::snprintf(buf, sizeof buf, "%.14E", value);
  } else {
    std::snprintf(buf, sizeof buf, "%.15g", value);
  }
  std::string s = buf;
  if (s == "-0") s = "0";
  UseDecimalSeparator(s);
  return s;
}

std::string FloatToFixed(double value, int decimals, bool thousands) {
  if (!std::isfinite(value)) return FloatToText(value);
  if (decimals > 18) decimals = 18;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string s = buf;
  if (s.find_first_of("123456789") == std::string::npos && s[0] == '-') s.erase(0, 1);
  size_t dot = s.find('.');
  std::string intPart = s.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);
  if (thousands) {
    size_t first = (intPart[0] == '-') ? 1 : 0;
    std::string grouped;
    size_t digits = intPart.size() - first;
    for (size_t k = 0; k < digits; ++k) {
      if (k > 0 && (digits - k) % 3 == 0) grouped += CurrentNumberFormat().ThousandSeparator;
      grouped += intPart[first + k];
    }
    intPart = intPart.substr(0, first) + grouped;
  }
  return frac.empty() ? intPart : intPart + CurrentNumberFormat().DecimalSeparator + frac;
}

}  // namespace skimlet

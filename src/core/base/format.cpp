#include "core/base/format.h"

#include <cmath>
#include <cstdio>

#include "core/base/numfmt.h"

namespace skimlet {

int64_t FmtArg::AsInt() const {
  switch (kind_) {
    case Kind::Int: return i_;
    case Kind::UInt: return static_cast<int64_t>(u_);
    case Kind::Float: return std::isfinite(f_) ? static_cast<int64_t>(std::llround(f_)) : 0;
    case Kind::Text: return 0;
  }
  return 0;
}

uint64_t FmtArg::AsUnsigned() const {
  if (kind_ == Kind::Int) {
    auto v = static_cast<uint64_t>(i_);
    if (i_ < 0 && bits_ < 64) v &= (uint64_t{1} << bits_) - 1;
    return v;
  }
  if (kind_ == Kind::UInt) return u_;
  return static_cast<uint64_t>(AsInt());
}

double FmtArg::AsFloat() const {
  switch (kind_) {
    case Kind::Int: return static_cast<double>(i_);
    case Kind::UInt: return static_cast<double>(u_);
    case Kind::Float: return f_;
    case Kind::Text: return 0;
  }
  return 0;
}

std::string FmtArg::AsText() const {
  switch (kind_) {
    case Kind::Int: return std::to_string(i_);
    case Kind::UInt: return std::to_string(u_);
    case Kind::Float: return FloatToText(f_);
    case Kind::Text: return std::string(s_);
  }
  return {};
}

namespace {

std::string PadDigits(std::string digits, int precision) {
  if (precision > 0 && static_cast<int>(digits.size()) < precision)
    digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
  return digits;
}

std::string Integer(const FmtArg& a, int precision) {
  if (a.kind() == FmtArg::Kind::Text) return a.AsText();
  int64_t v = a.AsInt();
  if (a.kind() == FmtArg::Kind::UInt) return PadDigits(std::to_string(a.AsUnsigned()), precision);
  std::string digits = v < 0 ? std::to_string(-(v + 1) + uint64_t{1}) : std::to_string(v);
  digits = PadDigits(std::move(digits), precision);
  return v < 0 ? "-" + digits : digits;
}

std::string Hex(const FmtArg& a, int precision) {
  if (a.kind() == FmtArg::Kind::Text) return a.AsText();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(a.AsUnsigned()));
  return PadDigits(buf, precision);
}

std::string Fixed(const FmtArg& a, int precision, bool thousands) {
  if (a.kind() == FmtArg::Kind::Text) return a.AsText();
  return FloatToFixed(a.AsFloat(), precision < 0 ? 2 : precision, thousands);
}

}  // namespace

std::string Format(std::string_view format, std::initializer_list<FmtArg> args) {
  std::string out;
  out.reserve(format.size() + 16);
  auto next = args.begin();
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    size_t start = i++;
    if (i < format.size() && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9' && width < 1000)
      width = width * 10 + (format[i++] - '0');
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = 0;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9' && precision < 1000)
        precision = precision * 10 + (format[i++] - '0');
    }
    if (i >= format.size()) {  // a directive cut off at the end is shown as it stands
      out.append(format.substr(start));
      break;
    }
    char type = static_cast<char>(format[i++] | 0x20);
    if (next == args.end()) {  // more directives than arguments: show the directive itself
      out.append(format.substr(start, i - start));
      continue;
    }
    const FmtArg& a = *next++;
    std::string piece;
    switch (type) {
      case 'd': piece = Integer(a, precision); break;
      case 'u': piece = std::to_string(a.AsUnsigned()); break;
      case 'x': piece = Hex(a, precision); break;
      case 'f': piece = Fixed(a, precision, false); break;
      case 'n': piece = Fixed(a, precision, true); break;
      case 'g': piece = a.kind() == FmtArg::Kind::Text ? a.AsText() : FloatToText(a.AsFloat()); break;
      case 's':
        piece = a.AsText();
        if (precision >= 0 && piece.size() > static_cast<size_t>(precision))
          piece.resize(static_cast<size_t>(precision));
        break;
      default: piece = std::string(format.substr(start, i - start)); break;
    }
    if (static_cast<int>(piece.size()) < width) {
      std::string pad(static_cast<size_t>(width) - piece.size(), ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

}  // namespace skimlet

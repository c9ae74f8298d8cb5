// The number format of displayed texts. The core keeps one setting; the window sets it from the user's
// locale, tests and files use the default (decimal point, comma for thousands).
#pragma once

#include <string>

namespace skimlet {

struct NumberFormat {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
};

NumberFormat& CurrentNumberFormat();

// Shortest decimal form with up to 15 significant digits: 1, 5.5, 54, 0.25; never an exponent for values
// a survey shows.
std::string FloatToText(double value);
// Fixed number of decimals, optionally with thousand separators.
std::string FloatToFixed(double value, int decimals, bool thousands);

}  // namespace skimlet

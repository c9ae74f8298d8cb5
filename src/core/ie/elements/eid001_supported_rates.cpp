#include "core/ie/elements/eid001_supported_rates.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/base/numfmt.h"
#include "core/base/translate.h"
#include "core/radio/rates.h"

namespace skimlet {

bool TSupportedRatesElementBase::HasDSSSRates() const {
  return std::any_of(Data.begin(), Data.end(), [](uint8_t b) { return IsDSSSRateUnits(b & 0x7F); });
}
bool TSupportedRatesElementBase::HasOFDMRates() const {
  return std::any_of(Data.begin(), Data.end(), [](uint8_t b) { return IsOFDMRateUnits(b & 0x7F); });
}

bool TSupportedRatesElementBase::Parse() {
  Rates.clear();
  for (uint8_t b : Data)
    if (b != 0) Rates.push_back((b & 0x7F) * 0.5);
  return !Rates.empty();
}

void TSupportedRatesElementBase::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (std::string error = LengthError(); !error.empty()) {
    AddLengthMessage(tree, element, std::move(error));
    return;
  }
  std::string summary;
  for (int32_t k = 0; k < Length; ++k) {
    uint8_t b = Byte(static_cast<size_t>(k));
    bool basic = (b & 0x80) != 0;
    std::string rate = FloatToText((b & 0x7F) * 0.5);
    std::string text = Format("Speed Rate: %s Mbps (0x%.2x)", {rate, b});
    AddBodyNode(tree, element, basic ? "Basic " + text : text, k, 1);
    if (!summary.empty()) summary += ", ";
    summary += rate;
    if (basic) summary += " (B)";
  }
  if (!summary.empty()) AppendText(tree, element, Format(": %s Mbps", {summary}));
}

std::string TSupportedRatesElement::LengthError() const {
  return (Length >= 1 && Length <= 8) ? std::string() : "Length is wrong, must be > 0 and < 8";
}

}  // namespace skimlet

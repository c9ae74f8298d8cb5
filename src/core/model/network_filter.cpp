#include "core/model/network_filter.h"

namespace skimlet {

namespace {

char32_t FoldCodePoint(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs: upper case at even positions, except in 0x139..0x148 and 0x179..0x17E; 0x130,
    // 0x131, 0x138 and 0x149 have no simple pair, 0x178 is the capital of 0xFF.
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (c == 0x178) return 0xFF;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper) return (c & 1) ? c + 1 : c;
    return (c & 1) ? c : c + 1;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

}  // namespace

std::u32string FoldCase(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80                 ? 0
                      : b >= 0xC2 && b <= 0xDF ? 1
                      : b >= 0xE0 && b <= 0xEF ? 2
                      : b >= 0xF0 && b <= 0xF4 ? 3
                                               : -1;
    char32_t cp = extra <= 0 ? b : b & (0x7F >> (extra + 1));
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      // A byte that starts no valid sequence stands for itself, out of the way of real code points.
      out.push_back(0x110000 + b);
      ++i;
      continue;
    }
    out.push_back(FoldCodePoint(cp));
    i += 1 + static_cast<size_t>(extra);
  }
  return out;
}

TNetworkFilter::TNetworkFilter(const TProgramOptions& options, std::string_view findText) : options_(&options) {
  SetFindText(findText);
}

void TNetworkFilter::SetFindText(std::string_view text) {
  findText_.assign(text);
  foldedFind_ = FoldCase(text);
}

bool TNetworkFilter::Passes(const TWLANNetwork& n) const {
  const TProgramOptions& o = *options_;
  if (o.bPinConnectedToTop && n.Connected) return true;
  if (!foldedFind_.empty()) {
    if (FoldCase(n.SSID).find(foldedFind_) == std::u32string::npos &&
        FoldCase(n.Comment).find(foldedFind_) == std::u32string::npos)
      return false;
  }
  if (!useSets_) return true;
  if (!o.FilterLinkQualityIndicatorSet.Has(n.Active ? n.QualityClass : 0)) return false;
  // A width or band no filter knows (never from the service) is one no choice can exclude.
  if (kAllChannelWidths.Has(n.ChannelWidth) && !o.FilterChannelWidthSet.Has(n.ChannelWidth)) return false;
  if (kAllBands.Has(n.Band) && !o.FilterFrequencyBandSet.Has(n.Band)) return false;
  if (o.FilterPhySet != kAllPhyTypes && (o.FilterPhySet.Bits & n.PhyTypes.Bits) == 0) return false;
  if (o.FilterWLANSecuritySet != kAllSecurityKinds && (o.FilterWLANSecuritySet.Bits & n.SecurityKinds.Bits) == 0)
    return false;
  return true;
}

}  // namespace skimlet

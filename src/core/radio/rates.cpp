#include "core/radio/rates.h"

#include <algorithm>
#include <cmath>

namespace skimlet {

namespace {

// Bit/s to Mbps with one decimal.
double ToMbps(double bitsPerSecond) { return std::nearbyint(bitsPerSecond / 100000.0) / 10.0; }
// The short guard interval (400 ns instead of 800 ns) shortens every symbol from 4 us to 3.6 us.
double WithShortGI(double bitsPerSecond) { return std::nearbyint(bitsPerSecond / 9.0 * 10.0); }

// 20, 40, 80 and 160 (also 80+80) MHz rows of the VHT and HE tables.
int WidthRow(int width) {
  switch (width) {
    case 1: return 1;
    case 2: return 2;
    case 3:
    case 4:
    case 5: return 3;
    default: return 0;
  }
}

constexpr int64_t kVHTPerStream[4][10] = {
    {6500000, 13000000, 19500000, 26000000, 39000000, 52000000, 58500000, 65000000, 78000000, 86500000},
    {13500000, 27000000, 40500000, 54000000, 81000000, 108000000, 121500000, 135000000, 162000000, 180000000},
    {29300000, 58500000, 87800000, 117000000, 175500000, 234000000, 263300000, 292500000, 351000000, 390000000},
    {58500000, 117000000, 175500000, 234000000, 351000000, 468000000, 526500000, 585000000, 702000000, 780000000},
};

constexpr int64_t kHEBase[4][3] = {
    {114711111, 108333333, 97500000},
    {229411111, 216666666, 195000000},
    {480388888, 453700000, 408333333},
    {960777777, 907400000, 816666666},
};
constexpr int64_t kHEDivisor[12] = {34133, 17067, 11378, 8533, 5689, 4267, 3923, 3413, 2844, 2560, 2276, 2048};

// The highest MCS a 2-bit map field allows (field value 3: the stream count is not supported).
template <class RateOf>
std::vector<double> MapRateList(uint16_t map, const int (&highest)[3], RateOf rateOf) {
  std::vector<double> rates;
  for (int n = 1; n <= 8; ++n) {
    unsigned field = (map >> (2 * (n - 1))) & 3u;
    if (field == 3) continue;
    for (int m = 0; m <= highest[field]; ++m) {
      double r = rateOf(m, n);
      if (r > 1.0) rates.push_back(r);
    }
  }
  return rates;
}

int MapStreams(uint16_t map) {
  for (int n = 8; n >= 1; --n)
    if (((map >> (2 * (n - 1))) & 3u) != 3) return n;
  return 1;
}

}  // namespace

double OFDMRate(int index) {
  static constexpr double kRates[] = {6, 9, 12, 18, 24, 36, 48, 54};
  return index >= 0 && index < 8 ? kRates[index] : 0;
}

double DSSSRate(int index) {
  static constexpr double kRates[] = {1, 2, 5.5, 11};
  return index >= 0 && index < 4 ? kRates[index] : 0;
}

double HTRate(int index, int width, bool shortGI) {
  if (index < 0 || index >= 32) return 0;
  static constexpr int kMultiplier[8] = {1, 2, 3, 4, 6, 8, 9, 10};
  double r = (width == 1 ? 13500000.0 : 6500000.0) * kMultiplier[index % 8] * (index / 8 + 1);
  if (shortGI) r = WithShortGI(r);
  return ToMbps(r);
}

double VHTRate(int mcs, int width, int streams, bool shortGI) {
  if (mcs < 0 || mcs > 9 || streams <= 0 || streams > 8) return 0;
  double r = static_cast<double>(streams * kVHTPerStream[WidthRow(width)][mcs]);
  if (shortGI) r = WithShortGI(r);
  return ToMbps(r);
}

double HERate(int mcs, int width, int streams, bool dcm, int giIndex) {
  if (mcs < 0 || mcs > 11 || streams <= 0 || streams > 8 || giIndex < 0 || giIndex > 2) return 0;
  int64_t v = kHEBase[WidthRow(width)][giIndex] * 2048 / kHEDivisor[mcs];
  double x = streams * static_cast<double>(v) / 8.0;
  if (dcm) x /= 2;
  return std::nearbyint(x / 10000.0) / 10.0;
}

double EHTRate(int mcs, int width, int streams, int giIndex) {
  if (mcs < 0 || mcs > 13 || streams <= 0 || streams > 16 || giIndex < 0 || giIndex > 2) return 0;
  // Data subcarriers of the whole channel, and coded bits per subcarrier of each MCS (modulation times
  // coding rate) in twelfths so that the products stay exact.
  int subcarriers;
  switch (width) {
    case 1: subcarriers = 468; break;
    case 2: subcarriers = 980; break;
    case 3:
    case 4: subcarriers = 1960; break;
    case 5: subcarriers = 3920; break;
    default: subcarriers = 234; break;
  }
  static constexpr int kBitsTwelfths[14] = {6, 12, 18, 24, 36, 48, 54, 60, 72, 80, 90, 100, 108, 120};
  static constexpr int kSymbolTenthsOfMicroseconds[3] = {136, 144, 160};  // 12.8 us plus the guard interval
  const double bitsPerSymbol = static_cast<double>(subcarriers) * kBitsTwelfths[mcs] * streams / 12.0;
  const double mbps = bitsPerSymbol * 10.0 / kSymbolTenthsOfMicroseconds[giIndex];
  return std::nearbyint(mbps * 10.0) / 10.0;
}

std::vector<double> EHTRateList(int highestMCS, int streams, int width, int giIndex) {
  std::vector<double> rates;
  for (int n = 1; n <= std::min(streams, 16); ++n)
    for (int m = 0; m <= std::min(highestMCS, 13); ++m) {
      const double r = EHTRate(m, width, n, giIndex);
      if (r > 1.0) rates.push_back(r);
    }
  return rates;
}

std::vector<double> HTRateList(uint32_t mcsBitmask, int width, bool shortGI) {
  std::vector<double> rates;
  for (int i = 0; i < 32; ++i)
    if ((mcsBitmask >> i) & 1u) rates.push_back(HTRate(i, width, shortGI));
  return rates;
}

std::vector<double> VHTRateList(uint16_t mcsMap, int width, bool shortGI) {
  static constexpr int kHighest[3] = {7, 8, 9};
  return MapRateList(mcsMap, kHighest, [&](int m, int n) { return VHTRate(m, width, n, shortGI); });
}

std::vector<double> HERateList(uint16_t mcsMap, int width, int giIndex, bool dcm) {
  static constexpr int kHighest[3] = {7, 9, 11};
  return MapRateList(mcsMap, kHighest, [&](int m, int n) { return HERate(m, width, n, dcm, giIndex); });
}

int HTStreams(uint32_t mcsBitmask) {
  for (int i = 31; i >= 0; --i)
    if ((mcsBitmask >> i) & 1u) return i / 8 + 1;
  return 1;
}

int VHTStreams(uint16_t mcsMap) { return MapStreams(mcsMap); }
int HEStreams(uint16_t mcsMap) { return MapStreams(mcsMap); }

}  // namespace skimlet

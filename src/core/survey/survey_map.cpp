#include "core/survey/survey_map.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>

namespace skimlet::survey {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct KindName {
  MapKind Kind;
  const char* Word;
};
constexpr KindName kKinds[] = {
    {MapKind::Signal, "signal"},   {MapKind::Primary, "primary"},     {MapKind::Secondary, "secondary"},
    {MapKind::Snr, "snr"},         {MapKind::CoChannel, "cochannel"}, {MapKind::Aps, "aps"},
    {MapKind::Serving, "serving"}, {MapKind::Rate, "rate"},           {MapKind::Requirements, "requirements"},
};

// What the cell-by-cell rules need of the networks, fixed for one map.
struct Context {
  std::span<const BssInfo> Networks;
  std::vector<uint64_t> Radio;
  std::vector<double> Noise;
  const MapOptions* Options = nullptr;
};

struct TopTwo {
  int First = -1, Second = -1;
};

TopTwo Strongest(std::span<const double> v) {
  TopTwo t;
  for (int n = 0; n < static_cast<int>(v.size()); ++n) {
    if (std::isnan(v[static_cast<size_t>(n)])) continue;
    if (t.First < 0 || v[static_cast<size_t>(n)] > v[static_cast<size_t>(t.First)]) {
      t.Second = t.First;
      t.First = n;
    } else if (t.Second < 0 || v[static_cast<size_t>(n)] > v[static_cast<size_t>(t.Second)]) {
      t.Second = n;
    }
  }
  return t;
}

int CoChannelCount(const Context& c, std::span<const double> v, int primary, double threshold) {
  int count = 0;
  const size_t p = static_cast<size_t>(primary);
  for (size_t n = 0; n < v.size(); ++n)
    if (n != p && !std::isnan(v[n]) && v[n] >= threshold && c.Networks[n].FrequencyKHz == c.Networks[p].FrequencyKHz &&
        c.Radio[n] != c.Radio[p])
      ++count;
  return count;
}

int ApCount(const Context& c, std::span<const double> v, double threshold) {
  std::set<uint64_t> radios;
  for (size_t n = 0; n < v.size(); ++n)
    if (!std::isnan(v[n]) && v[n] >= threshold) radios.insert(c.Radio[n]);
  return static_cast<int>(radios.size());
}

bool Passes(const Context& c, std::span<const double> v) {
  const Profile& p = c.Options->Requirements;
  const TopTwo t = Strongest(v);
  if (t.First < 0) return false;
  const size_t f = static_cast<size_t>(t.First);
  if (v[f] < p.Primary) return false;
  if (p.Secondary && !(p.SecondaryOnly5And6 && BandOf(c.Networks[f].FrequencyKHz) == 0))
    if (t.Second < 0 || v[static_cast<size_t>(t.Second)] < *p.Secondary) return false;
  if (v[f] - c.Noise[f] < p.Snr) return false;
  if (p.MaxCoChannel && CoChannelCount(c, v, t.First, p.CoChannelThreshold) > *p.MaxCoChannel) return false;
  if (p.MinAps && ApCount(c, v, p.ApThreshold) < *p.MinAps) return false;
  return true;
}

// The map's value from the networks' values at one place.
double Combine(const Context& c, std::span<const double> v) {
  const MapOptions& o = *c.Options;
  if (o.Kind == MapKind::Signal) return v.empty() ? kNaN : v[0];
  if (o.Kind == MapKind::Aps) return ApCount(c, v, o.ApThreshold);
  if (o.Kind == MapKind::Requirements) return Passes(c, v) ? 1.0 : 0.0;
  const TopTwo t = Strongest(v);
  if (t.First < 0) return kNaN;
  const size_t f = static_cast<size_t>(t.First);
  switch (o.Kind) {
    case MapKind::Primary: return v[f];
    case MapKind::Secondary: return t.Second < 0 ? kNaN : v[static_cast<size_t>(t.Second)];
    case MapKind::Snr: return v[f] - c.Noise[f];
    case MapKind::CoChannel: return CoChannelCount(c, v, t.First, o.CoChannelThreshold);
    case MapKind::Serving: return t.First;
    case MapKind::Rate: {
      const BssInfo& b = c.Networks[f];
      return ExpectedRate(v[f] - c.Noise[f], b.WidthMHz, b.Streams, b.MaxMcs);
    }
    default: return kNaN;
  }
}

bool Categorical(MapKind k) { return k == MapKind::Serving || k == MapKind::Requirements; }

std::string UnitOf(MapKind k) {
  switch (k) {
    case MapKind::CoChannel:
    case MapKind::Aps: return "count";
    case MapKind::Rate: return "Mbit/s";
    case MapKind::Serving:
    case MapKind::Requirements: return "%";
    default: return "dB";
  }
}

}  // namespace

std::optional<MapKind> ParseMapKind(const std::string& word) {
  for (const KindName& k : kKinds)
    if (word == k.Word) return k.Kind;
  return std::nullopt;
}

const char* MapKindWord(MapKind kind) {
  for (const KindName& k : kKinds)
    if (kind == k.Kind) return k.Word;
  return "";
}

int BandOf(uint32_t frequencyKHz) {
  if (frequencyKHz >= 5925000) return 2;
  if (frequencyKHz >= 4900000) return 1;
  return 0;
}

uint64_t RadioKey(const Bssid& b, uint32_t frequencyKHz) {
  uint64_t key = static_cast<uint64_t>(b[0] & ~0x02u);
  for (size_t k = 1; k < 5; ++k) key = key << 8 | b[k];
  key = key << 4 | (b[5] >> 4);
  return key << 20 ^ (frequencyKHz / 1000);
}

std::optional<Profile> FindProfile(const std::string& name) {
  Profile p;
  p.Name = name;
  if (name == "data") {
    p.Primary = -67;
    p.Secondary = -67;
    p.SecondaryOnly5And6 = true;
    p.Snr = 25;
    p.MaxCoChannel = 1;
    p.CoChannelThreshold = -85;
    return p;
  }
  if (name == "voice") {
    p.Primary = -65;
    p.Secondary = -75;
    p.Snr = 25;
    p.MaxCoChannel = 1;
    p.CoChannelThreshold = -86;
    return p;
  }
  if (name == "location") {
    p.Primary = -62;
    p.Snr = 7;
    p.MinAps = 3;
    p.ApThreshold = -75;
    return p;
  }
  return std::nullopt;
}

std::vector<std::string> ProfileNames() { return {"data", "voice", "location"}; }

double ExpectedRate(double snr, int widthMHz, int streams, int maxMcs) {
  if (std::isnan(snr)) return kNaN;
  if (maxMcs == -2) {
    static constexpr std::array<std::pair<double, double>, 4> kDsss{{{0, 1}, {3, 2}, {6, 5.5}, {9, 11}}};
    double rate = 0;
    for (const auto& [need, r] : kDsss)
      if (snr >= need) rate = r;
    return rate;
  }
  if (maxMcs < 0) {
    static constexpr std::array<std::pair<double, double>, 8> kOfdm{
        {{5, 6}, {6, 9}, {8, 12}, {10, 18}, {13, 24}, {17, 36}, {21, 48}, {23, 54}}};
    double rate = 0;
    for (const auto& [need, r] : kOfdm)
      if (snr >= need) rate = r;
    return rate;
  }
  static constexpr std::array<double, 14> kSnr{2, 5, 9, 11, 15, 18, 20, 25, 29, 31, 34, 37, 40, 43};
  static constexpr std::array<double, 14> kRate{8.6,  17.2,  25.8,  34.4,  51.6,  68.8,  77.4,
                                                86.0, 103.2, 114.7, 129.0, 143.4, 154.9, 172.1};
  double factor = 1, penalty = 0;
  switch (widthMHz) {
    case 40: factor = 2.0, penalty = 3; break;
    case 80: factor = 4.19, penalty = 6; break;
    case 160: factor = 8.37, penalty = 9; break;
    case 320: factor = 16.75, penalty = 12; break;
    default: break;
  }
  double rate = 0;
  for (int m = 0; m <= std::min(maxMcs, 13); ++m)
    if (snr >= kSnr[static_cast<size_t>(m)] + penalty)
      rate = kRate[static_cast<size_t>(m)] * factor * std::max(streams, 1);
  return rate;
}

std::vector<Sample> SamplesOf(std::span<const Point> points, const Bssid& bssid) {
  std::vector<Sample> out;
  for (const Point& p : points)
    for (const Reading& r : p.Readings)
      if (r.BSSID == bssid) {
        out.push_back({p.X, p.Y, static_cast<double>(r.Signal)});
        break;
      }
  return out;
}

MapResult MakeMap(std::span<const Point> points, std::span<const BssInfo> networks, FloorBounds bounds,
                  const MapOptions& options, const MapResult* previous) {
  MapResult map;
  map.Cell = options.Cell > 0 ? options.Cell : 0.25;
  map.Columns = std::max(1, static_cast<int>(std::ceil(bounds.Width / map.Cell - 1e-9)));
  map.Rows = std::max(1, static_cast<int>(std::ceil(bounds.Height / map.Cell - 1e-9)));
  map.Values.assign(static_cast<size_t>(map.Columns) * static_cast<size_t>(map.Rows),
                    std::numeric_limits<float>::quiet_NaN());
  map.CvUnit = UnitOf(options.Kind);
  const size_t N = options.Kind == MapKind::Signal ? std::min<size_t>(networks.size(), 1) : networks.size();
  networks = networks.first(N);
  for (const BssInfo& b : networks) map.Categories.push_back(b.BSSID);

  Context c;
  c.Networks = networks;
  c.Options = &options;
  for (const BssInfo& b : networks) {
    c.Radio.push_back(RadioKey(b.BSSID, b.FrequencyKHz));
    std::vector<int> noise;
    for (const Point& p : points)
      for (const Reading& r : p.Readings)
        if (r.BSSID == b.BSSID && r.Noise) noise.push_back(*r.Noise);
    if (noise.empty()) {
      c.Noise.push_back(options.NoiseFloor);
    } else {
      std::nth_element(noise.begin(), noise.begin() + static_cast<long>(noise.size() / 2), noise.end());
      c.Noise.push_back(noise[noise.size() / 2]);
    }
  }

  // One field per network; for the cross-validation, each network's value at every point: its leave-one-out
  // prediction where it was heard, the field's value elsewhere.
  std::vector<Field> fields;
  fields.reserve(N);
  const size_t P = points.size();
  std::vector<double> observed(P * N, kNaN), predicted(P * N, kNaN);
  for (size_t n = 0; n < N; ++n) {
    std::vector<Sample> samples;
    std::vector<size_t> at;
    for (size_t p = 0; p < P; ++p)
      for (const Reading& r : points[p].Readings)
        if (r.BSSID == networks[n].BSSID) {
          samples.push_back({points[p].X, points[p].Y, static_cast<double>(r.Signal)});
          at.push_back(p);
          observed[p * N + n] = r.Signal;
          break;
        }
    std::optional<Covariance> known;
    if (previous && previous->Categories.size() == N && previous->Covariances.size() == N &&
        previous->Categories[n] == networks[n].BSSID)
      known = previous->Covariances[n];
    fields.push_back(Field::Fit(samples, options.Interpolation, bounds, known));
    Field& f = fields.back();
    map.Covariances.push_back(f.Used() == Method::Kriging ? f.Fitted() : Covariance{});
    f.PrepareLattice(bounds, std::clamp(f.Range() / 3, map.Cell, 1.0));
    map.Used.push_back(f.Used());
    const bool sameSamples = f.Samples().size() == samples.size();
    for (size_t p = 0; p < P; ++p) predicted[p * N + n] = f.At(points[p].X, points[p].Y);
    if (sameSamples)
      for (size_t k = 0; k < at.size(); ++k) predicted[at[k] * N + n] = f.LeaveOneOut()[k];
  }

  double ss = 0;
  size_t count = 0;
  for (size_t p = 0; p < P; ++p) {
    std::span<const double> obs(&observed[p * N], N), pred(&predicted[p * N], N);
    if (options.Kind == MapKind::Signal && (N == 0 || std::isnan(obs[0]))) continue;
    const double a = Combine(c, obs), b = Combine(c, pred);
    if (std::isnan(a) || std::isnan(b)) continue;
    const double e = Categorical(options.Kind) ? (a == b ? 0.0 : 100.0) : a - b;
    ss += Categorical(options.Kind) ? e : e * e;
    ++count;
  }
  map.CvPoints = count;
  if (count > 0)
    map.CvError =
        Categorical(options.Kind) ? ss / static_cast<double>(count) : std::sqrt(ss / static_cast<double>(count));

  // The cells.
  std::vector<Sample> where;
  where.reserve(P);
  for (const Point& p : points) where.push_back({p.X, p.Y, 0});
  const PointIndex near(where, std::max(options.MaxDistance, 0.5));
  std::vector<double> v(N);
  size_t passing = 0;
  for (int row = 0; row < map.Rows; ++row)
    for (int col = 0; col < map.Columns; ++col) {
      const double x = map.X(col), y = map.Y(row);
      if (!near.AnyWithin(x, y, options.MaxDistance)) continue;
      for (size_t n = 0; n < N; ++n) v[n] = fields[n].CellAt(x, y);
      const double value = Combine(c, v);
      ++map.DataCells;
      if (options.Kind == MapKind::Requirements && value == 1.0) ++passing;
      map.Values[static_cast<size_t>(row) * static_cast<size_t>(map.Columns) + static_cast<size_t>(col)] =
          static_cast<float>(value);
    }
  if (options.Kind == MapKind::Requirements && map.DataCells > 0)
    map.PassShare = static_cast<double>(passing) / static_cast<double>(map.DataCells);
  return map;
}

}  // namespace skimlet::survey

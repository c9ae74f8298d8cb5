#include "core/channels/advice.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace skimlet {

namespace {

double Milliwatts(double dbm) { return std::pow(10.0, dbm / 10); }

const double kFloorMw = Milliwatts(kAdviceFloorDbm);
const double kBusyMw = Milliwatts(kAdviceBusyDbm);

// The widest span of centre frequencies of one segment (320 MHz: 16 pieces 20 MHz apart).
constexpr uint32_t kMaxSegmentSpan = 300;

// One network of a band as the cost sees it: its weight P * H * L and the centre frequencies of its 20 MHz
// pieces (one or two segments).
struct TSource {
  const TChannelAirLog::TNetworkRecord* Record = nullptr;
  double Weight = 0;
  double MeanDbm = 0;
  double Presence = 0, Load = 1;
  std::array<uint32_t, 2> SegmentLo{}, SegmentPieces{};
  int Segments = 0;
  uint32_t Lo = 0, Hi = 0;  // first and last piece over all segments
};

// What the survey says of one 20 MHz channel of a band.
struct TSurveyed {
  bool Known = false;
  std::optional<double> Busy;
  std::optional<double> NoiseDbm;
  double ExcessMw = 0;
};

struct TBandInput {
  std::vector<TSource> Sources;  // sorted by Lo
  std::vector<size_t> Wide;      // sources spanning more than one segment can (80+80)
  std::array<TSurveyed, 240> Survey{};
  double FloorNoiseDbm = 0;
};

class TOwnNetworks {
 public:
  TOwnNetworks(const TChannelAirLog& log, const TAdviceRequest& request) {
    ssids_.insert(request.Mine.begin(), request.Mine.end());
    for (const auto& [key, r] : log.Networks()) {
      if (!r.EverConnected) continue;
      bssids_.insert(key.BSSID);
      if (!r.Last.SSID.empty()) ssids_.insert(r.Last.SSID);
    }
  }
  bool Contains(const TChannelAirLog::TNetworkRecord& r) const {
    return bssids_.contains(r.Last.BSSID) || (!r.Last.SSID.empty() && ssids_.contains(r.Last.SSID));
  }
  std::vector<std::string> SSIDs() const { return {ssids_.begin(), ssids_.end()}; }

 private:
  std::set<std::string> ssids_, bssids_;
};

bool InBand(uint32_t channel) { return channel < 240; }

TBandInput BandInput(const TChannelAirLog& log, const TOwnNetworks& own, int band) {
  TBandInput in;
  const int refreshes = std::max(log.Refreshes(), 1);
  for (const auto& [key, r] : log.Networks()) {
    if (key.Band != band || own.Contains(r)) continue;
    TSource s;
    s.Record = &r;
    s.Presence = std::min(1.0, static_cast<double>(r.Heard) / refreshes);
    const std::optional<double> u = r.MeanUtilization();
    s.Load = u ? 0.5 + *u / 100 : 1.0;
    s.MeanDbm = 10 * std::log10(r.MeanMilliwatts());
    s.Weight = r.MeanMilliwatts() * s.Presence * s.Load;
    uint32_t centre = key.CenterMHz != 0 ? key.CenterMHz : RasterFrequency(band, key.Channel);
    const uint32_t width = key.Center2MHz != 0 ? 80 : std::max<uint32_t>(key.WidthMHz, 20);
    auto addSegment = [&](uint32_t c) {
      const uint32_t pieces = std::max<uint32_t>(width / 20, 1);
      if (c < 10 * pieces) return;
      s.SegmentLo[static_cast<size_t>(s.Segments)] = c - 10 * pieces + 10;
      s.SegmentPieces[static_cast<size_t>(s.Segments)] = pieces;
      ++s.Segments;
    };
    addSegment(centre);
    if (key.Center2MHz != 0) addSegment(key.Center2MHz);
    if (s.Segments == 0 || s.Weight <= 0) continue;
    s.Lo = s.SegmentLo[0];
    s.Hi = s.SegmentLo[0] + 20 * (s.SegmentPieces[0] - 1);
    if (s.Segments == 2) {
      s.Lo = std::min(s.Lo, s.SegmentLo[1]);
      s.Hi = std::max(s.Hi, s.SegmentLo[1] + 20 * (s.SegmentPieces[1] - 1));
    }
    in.Sources.push_back(s);
  }
  std::stable_sort(in.Sources.begin(), in.Sources.end(),
                   [](const TSource& a, const TSource& b) { return a.Lo < b.Lo; });
  for (size_t i = 0; i < in.Sources.size(); ++i)
    if (in.Sources[i].Hi - in.Sources[i].Lo > kMaxSegmentSpan) in.Wide.push_back(i);

  const uint32_t origin = RasterFrequency(band, 0);
  std::optional<double> quietest;
  for (const auto& [mhz, c] : log.Channels()) {
    if (BandOfMHz(mhz) != band || mhz < origin || (mhz - origin) % 5 != 0) continue;
    const uint32_t channel = (mhz - origin) / 5;
    if (!InBand(channel)) continue;
    TSurveyed& v = in.Survey[channel];
    v.Known = true;
    v.Busy = c.BusyShare();
    v.NoiseDbm = c.NoiseDbm();
    if (v.NoiseDbm && (!quietest || *v.NoiseDbm < *quietest)) quietest = v.NoiseDbm;
  }
  if (quietest) {
    in.FloorNoiseDbm = *quietest;
    const double floorMw = Milliwatts(*quietest);
    for (TSurveyed& v : in.Survey)
      if (v.NoiseDbm) v.ExcessMw = std::max(0.0, Milliwatts(*v.NoiseDbm) - floorMw);
  }
  return in;
}

// The weight g(s) of member K of a candidate.
double MemberWeight(const TChannelCandidate& c, int k) { return k == c.PrimaryIndex() ? 1.0 : kAdviceSecondaryWeight; }

// O(n, c) of a source for a candidate whose first member lies at F0 MHz.
double Overlap(const TSource& s, const TChannelCandidate& c, uint32_t f0) {
  double sum = 0;
  uint32_t pieces = 0;
  for (int seg = 0; seg < s.Segments; ++seg) {
    const uint32_t lo = s.SegmentLo[static_cast<size_t>(seg)], n = s.SegmentPieces[static_cast<size_t>(seg)];
    pieces += n;
    for (uint32_t k = 0; k < n; ++k) {
      const int64_t f = int64_t{lo} + 20 * int64_t{k};
      const int64_t rel = f - int64_t{f0};
      // Members lie 20 MHz apart and w vanishes at 20 MHz: only the two members around the piece can count.
      const int64_t j0 = rel >= 0 ? rel / 20 : -((-rel + 19) / 20);
      double best = 0;
      for (int64_t j = j0; j <= j0 + 1; ++j) {
        if (j < 0 || j >= c.Members) continue;
        const double d = static_cast<double>(std::llabs(rel - 20 * j));
        best = std::max(best, MemberWeight(c, static_cast<int>(j)) * ChannelOverlapWeight(c.Band, d));
      }
      sum += best;
    }
  }
  return pieces > 0 ? sum / pieces : 0;
}

// Calls Visit(source) for every source that may overlap Candidate.
template <class Visit>
void ForNearbySources(const TBandInput& in, const TChannelCandidate& c, Visit&& visit) {
  const uint32_t f0 = RasterFrequency(c.Band, c.FirstChannel);
  const uint32_t f1 = f0 + 20 * static_cast<uint32_t>(c.Members - 1);
  const uint32_t from = f0 > 20 + kMaxSegmentSpan ? f0 - 20 - kMaxSegmentSpan : 0;
  auto first = std::upper_bound(in.Sources.begin(), in.Sources.end(), from,
                                [](uint32_t f, const TSource& s) { return f < s.Lo; });
  auto last = std::lower_bound(in.Sources.begin(), in.Sources.end(), f1 + 20,
                               [](const TSource& s, uint32_t f) { return s.Lo < f; });
  for (auto it = first; it < last; ++it)
    if (it->Hi + 20 > f0 && it->Hi - it->Lo <= kMaxSegmentSpan) visit(*it, f0);
  for (size_t i : in.Wide) {
    const TSource& s = in.Sources[i];
    if (s.Lo < f1 + 20 && s.Hi + 20 > f0) visit(s, f0);
  }
}

TChannelScore Score(const TBandInput& in, const TChannelCandidate& c, bool excludeDfs) {
  TChannelScore r;
  r.Candidate = c;
  r.Excluded = excludeDfs && c.Dfs;
  ForNearbySources(in, c, [&](const TSource& s, uint32_t f0) {
    const double o = Overlap(s, c, f0);
    if (o <= 0) return;
    ++r.Networks;
    if (!r.StrongestDbm || s.MeanDbm > *r.StrongestDbm) r.StrongestDbm = s.MeanDbm;
    r.NetworkMilliwatts += s.Weight * o;
  });
  double busyWeighted = 0, busyWeights = 0, noiseMw = 0;
  int noiseCount = 0;
  for (int k = 0; k < c.Members; ++k) {
    const uint32_t ch = c.MemberChannel(k);
    if (!InBand(ch)) continue;
    const TSurveyed& v = in.Survey[ch];
    if (!v.Known) continue;
    const double g = MemberWeight(c, k);
    r.SurveyMilliwatts += g * (v.ExcessMw + v.Busy.value_or(0) * kBusyMw);
    if (v.Busy) {
      busyWeighted += g * *v.Busy;
      busyWeights += g;
    }
    if (v.NoiseDbm) {
      noiseMw += Milliwatts(*v.NoiseDbm);
      ++noiseCount;
    }
  }
  if (busyWeights > 0) r.BusyShare = busyWeighted / busyWeights;
  if (noiseCount > 0) r.NoiseDbm = 10 * std::log10(noiseMw / noiseCount);
  r.TotalMilliwatts = r.NetworkMilliwatts + r.SurveyMilliwatts;
  r.ScoreDbm = 10 * std::log10(kFloorMw + r.TotalMilliwatts);
  return r;
}

double RankKey(const TChannelScore& s) {
  const bool bias = s.Candidate.Band == 2 && !s.Candidate.Preferred;
  return (kFloorMw + s.TotalMilliwatts) * (bias ? kAdviceNonPreferredBias : 1.0);
}

std::vector<TCostTerm> Explain(const TBandInput& in, const TChannelCandidate& c) {
  std::vector<TCostTerm> terms;
  ForNearbySources(in, c, [&](const TSource& s, uint32_t f0) {
    const double o = Overlap(s, c, f0);
    if (o <= 0) return;
    TCostTerm t;
    t.Kind = TCostTerm::TKind::Network;
    t.Milliwatts = s.Weight * o;
    t.BSSID = s.Record->Last.BSSID;
    t.SSID = s.Record->Last.SSID;
    t.Channel = s.Record->Last.Channel;
    t.TwoSegments = s.Record->Last.Center2MHz != 0;
    t.WidthMHz = t.TwoSegments ? 80 : std::max<uint32_t>(s.Record->Last.WidthMHz, 20);
    t.SignalDbm = s.MeanDbm;
    t.Overlap = o;
    t.Presence = s.Presence;
    t.LoadFactor = s.Load;
    t.UtilizationPercent = s.Record->MeanUtilization();
    terms.push_back(std::move(t));
  });
  for (int k = 0; k < c.Members; ++k) {
    const uint32_t ch = c.MemberChannel(k);
    if (!InBand(ch) || !in.Survey[ch].Known) continue;
    const TSurveyed& v = in.Survey[ch];
    const double g = MemberWeight(c, k);
    if (v.Busy && *v.Busy > 0) {
      TCostTerm t;
      t.Kind = TCostTerm::TKind::Busy;
      t.Channel = ch;
      t.BusyShare = *v.Busy;
      t.Milliwatts = g * *v.Busy * kBusyMw;
      terms.push_back(std::move(t));
    }
    if (v.ExcessMw > 0) {
      TCostTerm t;
      t.Kind = TCostTerm::TKind::Noise;
      t.Channel = ch;
      t.NoiseDbm = v.NoiseDbm.value_or(0);
      t.FloorDbm = in.FloorNoiseDbm;
      t.Milliwatts = g * v.ExcessMw;
      terms.push_back(std::move(t));
    }
  }
  double total = 0;
  for (const TCostTerm& t : terms) total += t.Milliwatts;
  for (TCostTerm& t : terms) t.Share = total > 0 ? t.Milliwatts / total : 0;
  std::stable_sort(terms.begin(), terms.end(), [](const TCostTerm& a, const TCostTerm& b) {
    if (a.Milliwatts != b.Milliwatts) return a.Milliwatts > b.Milliwatts;
    if (a.Kind != b.Kind) return a.Kind < b.Kind;
    if (a.BSSID != b.BSSID) return a.BSSID < b.BSSID;
    return a.Channel < b.Channel;
  });
  return terms;
}

bool WantBand(const TAdviceRequest& r, int band) {
  return r.Bands.empty() || std::find(r.Bands.begin(), r.Bands.end(), band) != r.Bands.end();
}

bool WantWidth(const TAdviceRequest& r, int width) {
  return r.Widths.empty() || std::find(r.Widths.begin(), r.Widths.end(), width) != r.Widths.end();
}

std::string CountryOf(const TChannelAirLog& log, const TAdviceRequest& request) {
  return request.Country ? *request.Country : log.Country();
}

}  // namespace

double ChannelOverlapWeight(int band, double d) {
  d = std::fabs(d);
  if (d >= 20) return 0;
  if (band != 0) return 1 - d / 20;
  static constexpr double kWeights[] = {1, 0.85, 0.55, 0.25, 0};
  const double steps = d / 5;
  const auto i = static_cast<size_t>(steps);
  return kWeights[i] + (kWeights[i + 1] - kWeights[i]) * (steps - static_cast<double>(i));
}

TChannelAdvice AdviseChannels(const TChannelAirLog& log, const TAdviceRequest& request) {
  TChannelAdvice advice;
  const TOwnNetworks own(log, request);
  advice.Refreshes = log.Refreshes();
  advice.Country = CountryOf(log, request);
  advice.Channel13 = AllowsChannel13(advice.Country);
  advice.OwnSSIDs = own.SSIDs();
  for (const auto& [key, r] : log.Networks()) advice.OwnNetworks += own.Contains(r) ? 1 : 0;
  for (int band = 0; band < 3; ++band) {
    if (!WantBand(request, band)) continue;
    const TBandInput in = BandInput(log, own, band);
    for (int width : BandWidths(band)) {
      if (!WantWidth(request, width)) continue;
      TBandWidthAdvice item;
      item.Band = band;
      item.WidthMHz = width;
      for (const TChannelCandidate& c : CandidateChannels(band, width, advice.Channel13))
        item.Channels.push_back(Score(in, c, request.ExcludeDfs));
      std::vector<size_t> order;
      for (size_t i = 0; i < item.Channels.size(); ++i)
        if (!item.Channels[i].Excluded) order.push_back(i);
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const TChannelScore &x = item.Channels[a], &y = item.Channels[b];
        const double kx = RankKey(x), ky = RankKey(y);
        if (kx != ky) return kx < ky;
        if (x.Candidate.Channel != y.Candidate.Channel) return x.Candidate.Channel < y.Candidate.Channel;
        return x.Candidate.FirstChannel < y.Candidate.FirstChannel;
      });
      for (size_t r = 0; r < order.size(); ++r) item.Channels[order[r]].Rank = static_cast<int>(r + 1);
      if (!order.empty()) {
        item.Best = static_cast<int>(order.front());
        item.Costs = Explain(in, item.Channels[order.front()].Candidate);
      }
      advice.Items.push_back(std::move(item));
    }
  }
  return advice;
}

std::vector<TCostTerm> ExplainChannel(const TChannelAirLog& log, const TAdviceRequest& request,
                                      const TChannelCandidate& candidate) {
  const TOwnNetworks own(log, request);
  return Explain(BandInput(log, own, candidate.Band), candidate);
}

}  // namespace skimlet

#include "core/survey/ap_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skimlet::survey {

namespace {

constexpr double kHuber = 4.0;  // dB: residuals beyond count linearly
constexpr double kMinExponent = 1.5, kMaxExponent = 6.0;

double LogDistance(double dx, double dy) { return 10.0 * std::log10(std::max(std::hypot(dx, dy), 1.0)); }

struct Trial {
  double P = 0, N = 0, Cost = 0, Rms = 0;
};

// P and n for an AP at (X, Y): weighted least squares, reweighted twice for the Huber loss.
Trial SolveAt(std::span<const Sample> samples, double x, double y) {
  const size_t m = samples.size();
  std::vector<double> L(m), w(m, 1.0);
  for (size_t i = 0; i < m; ++i) L[i] = LogDistance(samples[i].X - x, samples[i].Y - y);
  Trial t;
  for (int round = 0; round < 3; ++round) {
    // Value = P - n·L: normal equations in (P, n).
    double sw = 0, sl = 0, sll = 0, sv = 0, slv = 0;
    for (size_t i = 0; i < m; ++i) {
      sw += w[i];
      sl += w[i] * L[i];
      sll += w[i] * L[i] * L[i];
      sv += w[i] * samples[i].Value;
      slv += w[i] * L[i] * samples[i].Value;
    }
    const double det = sw * sll - sl * sl;
    double n = det > 1e-9 ? -(sw * slv - sl * sv) / det : 3.0;
    n = std::clamp(n, kMinExponent, kMaxExponent);
    const double P = (sv + n * sl) / sw;
    t.P = P;
    t.N = n;
    t.Cost = 0;
    double ss = 0;
    for (size_t i = 0; i < m; ++i) {
      const double r = samples[i].Value - (P - n * L[i]);
      const double a = std::abs(r);
      ss += r * r;
      t.Cost += a <= kHuber ? 0.5 * r * r : kHuber * (a - 0.5 * kHuber);
      w[i] = a <= kHuber ? 1.0 : kHuber / a;
    }
    t.Rms = std::sqrt(ss / static_cast<double>(m));
  }
  return t;
}

}  // namespace

double ApFit::At(double x, double y) const { return PowerAt1m - Exponent * LogDistance(x - X, y - Y); }

ApFit FitAccessPoint(std::span<const Sample> samples, FloorBounds bounds) {
  ApFit fit;
  if (samples.empty()) return fit;
  const auto strongest = std::max_element(samples.begin(), samples.end(),
                                          [](const Sample& a, const Sample& b) { return a.Value < b.Value; });
  fit.StrongestX = strongest->X;
  fit.StrongestY = strongest->Y;
  if (samples.size() < kMinSamplesForFit) return fit;

  // Start: the centroid weighted by received power (mW), which leans towards the strongest readings.
  double sw = 0, sx = 0, sy = 0;
  for (const Sample& s : samples) {
    const double w = std::pow(10.0, (s.Value - strongest->Value) / 10.0);
    sw += w;
    sx += w * s.X;
    sy += w * s.Y;
  }
  const auto clampX = [&](double v) { return std::clamp(v, 0.0, std::max(bounds.Width, 0.0)); };
  const auto clampY = [&](double v) { return std::clamp(v, 0.0, std::max(bounds.Height, 0.0)); };
  double x = clampX(sx / sw), y = clampY(sy / sw);
  Trial best = SolveAt(samples, x, y);
  // Also try the strongest sample's position: with few points around the AP it is often closer.
  if (Trial t = SolveAt(samples, strongest->X, strongest->Y); t.Cost < best.Cost) {
    best = t;
    x = clampX(strongest->X);
    y = clampY(strongest->Y);
  }
  // Pattern search over the position with a shrinking step.
  double step = std::max({bounds.Width, bounds.Height, 4.0}) / 8.0;
  static constexpr double kDirections[8][2] = {
      {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0.7071, 0.7071}, {-0.7071, 0.7071}, {0.7071, -0.7071}, {-0.7071, -0.7071}};
  while (step > 0.02) {
    bool moved = false;
    for (const auto& d : kDirections) {
      const double nx = clampX(x + d[0] * step), ny = clampY(y + d[1] * step);
      Trial t = SolveAt(samples, nx, ny);
      if (t.Cost < best.Cost - 1e-9) {
        best = t;
        x = nx;
        y = ny;
        moved = true;
      }
    }
    if (!moved) step /= 2;
  }
  fit.Valid = true;
  fit.X = x;
  fit.Y = y;
  fit.PowerAt1m = best.P;
  fit.Exponent = best.N;
  fit.Rms = best.Rms;

  // Error radius: the distance at which the squared residual grows by 2.3 variances (about 68 % for two
  // unknowns), averaged over eight directions.
  const double dof = std::max<double>(static_cast<double>(samples.size()) - 4.0, 1.0);
  double ssMin = 0;
  {
    Trial t = SolveAt(samples, x, y);
    ssMin = t.Rms * t.Rms * static_cast<double>(samples.size());
  }
  const double variance = std::max(ssMin / dof, 1.0);
  const double limit = std::hypot(bounds.Width, bounds.Height);
  double sum = 0;
  for (const auto& d : kDirections) {
    double r = 0.25;
    for (; r < limit; r *= 1.25) {
      Trial t = SolveAt(samples, x + d[0] * r, y + d[1] * r);
      if (t.Rms * t.Rms * static_cast<double>(samples.size()) - ssMin >= 2.3 * variance) break;
    }
    sum += std::min(r, limit);
  }
  fit.ErrorRadius = sum / 8.0;
  return fit;
}

}  // namespace skimlet::survey

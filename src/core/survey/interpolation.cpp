#include "core/survey/interpolation.h"

#include <algorithm>
#include <limits>
#include <map>

namespace skimlet::survey {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kMaxSelectionSamples = 150;

// In-place Cholesky factor U (upper, Uᵀ·U = A) of the symmetric n×n row-major matrix A, whose upper triangle is
// read; false when A is not positive definite. Row updates are contiguous, so the compiler vectorizes them.
bool Cholesky(std::vector<double>& a, size_t n) {
  for (size_t j = 0; j < n; ++j) {
    double* rj = &a[j * n];
    if (rj[j] <= 1e-12) return false;
    const double d = std::sqrt(rj[j]);
    const double inv = 1.0 / d;
    rj[j] = d;
    for (size_t k = j + 1; k < n; ++k) rj[k] *= inv;
    for (size_t i = j + 1; i < n; ++i) {
      const double f = rj[i];
      double* ri = &a[i * n];
      for (size_t k = i; k < n; ++k) ri[k] -= f * rj[k];
    }
  }
  return true;
}

struct Variogram {
  double Nugget = 0, Sill = 0, Range = 1;
};

// The dual kriging weights α = K⁻¹r for K = c1·exp(−h/a) + c0·I, and diag(K⁻¹); false when K is not
// positive definite.
bool Krige(std::span<const Sample> s, std::span<const double> r, const Variogram& vg, std::vector<double>& alpha,
           std::vector<double>& diag) {
  const size_t m = s.size();
  std::vector<double> U(m * m);
  for (size_t i = 0; i < m; ++i)
    for (size_t j = i; j < m; ++j) {
      const double h = std::hypot(s[i].X - s[j].X, s[i].Y - s[j].Y);
      U[i * m + j] = vg.Sill * std::exp(-h / vg.Range) + (i == j ? vg.Nugget : 0.0);
    }
  if (!Cholesky(U, m)) return false;
  // α = K⁻¹r: Uᵀz = r, then Uα = z.
  alpha.assign(r.begin(), r.end());
  for (size_t i = 0; i < m; ++i) {
    alpha[i] /= U[i * m + i];
    const double f = alpha[i];
    const double* ui = &U[i * m];
    for (size_t k = i + 1; k < m; ++k) alpha[k] -= ui[k] * f;
  }
  for (size_t i = m; i-- > 0;) {
    double v = alpha[i];
    const double* ui = &U[i * m];
    for (size_t k = i + 1; k < m; ++k) v -= ui[k] * alpha[k];
    alpha[i] = v / ui[i];
  }
  // diag(K⁻¹) = row sums of squares of V = U⁻¹, built from the last row up, one contiguous update per term.
  diag.assign(m, 0.0);
  std::vector<double> V(m * m, 0.0);
  for (size_t i = m; i-- > 0;) {
    double* vi = &V[i * m];
    const double* ui = &U[i * m];
    for (size_t l = i + 1; l < m; ++l) {
      const double f = ui[l];
      const double* vl = &V[l * m];
      for (size_t k = l; k < m; ++k) vi[k] += f * vl[k];
    }
    const double inv = 1.0 / ui[i];
    double sum = inv * inv;
    for (size_t k = i + 1; k < m; ++k) {
      vi[k] *= -inv;
      sum += vi[k] * vi[k];
    }
    vi[i] = inv;
    diag[i] = sum;
  }
  return true;
}

// Samples averaged per square cell until there are at most Limit of them.
std::vector<Sample> Thin(std::span<const Sample> samples, size_t limit) {
  std::vector<Sample> out(samples.begin(), samples.end());
  for (double cell = 0.5; out.size() > limit; cell *= 1.5) {
    std::map<std::pair<long, long>, std::array<double, 4>> bins;
    for (const Sample& s : samples) {
      auto& b = bins[{static_cast<long>(std::floor(s.X / cell)), static_cast<long>(std::floor(s.Y / cell))}];
      b[0] += s.X;
      b[1] += s.Y;
      b[2] += s.Value;
      b[3] += 1;
    }
    out.clear();
    for (const auto& [key, b] : bins) out.push_back({b[0] / b[3], b[1] / b[3], b[2] / b[3]});
  }
  return out;
}

// The exponential model fitted to the binned semivariogram of the residuals, by weighted least squares
// over a set of ranges.
Variogram FitVariogram(std::span<const Sample> s, std::span<const double> r) {
  constexpr double kBin = 1.0;
  constexpr int kBins = 15;
  std::array<double, kBins> sum{}, count{}, dist{};
  for (size_t i = 0; i < s.size(); ++i)
    for (size_t j = i + 1; j < s.size(); ++j) {
      const double h = std::hypot(s[i].X - s[j].X, s[i].Y - s[j].Y);
      const int b = static_cast<int>(h / kBin);
      if (b >= kBins) continue;
      const double d = r[i] - r[j];
      sum[static_cast<size_t>(b)] += 0.5 * d * d;
      dist[static_cast<size_t>(b)] += h;
      count[static_cast<size_t>(b)] += 1;
    }
  double variance = 0;
  for (double v : r) variance += v * v;
  variance /= std::max<double>(static_cast<double>(r.size()), 1.0);
  Variogram best{std::max(variance, 1.0), 0, 1};
  double bestCost = std::numeric_limits<double>::infinity();
  for (double a : {0.5, 1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0, 12.0}) {
    // γ(h) = c0 + c1·f(h), f = 1 − exp(−h/a); weights: pair counts.
    double sw = 0, sf = 0, sff = 0, sg = 0, sfg = 0;
    for (int b = 0; b < kBins; ++b) {
      if (count[static_cast<size_t>(b)] < 3) continue;
      const double n = count[static_cast<size_t>(b)];
      const double h = dist[static_cast<size_t>(b)] / n, g = sum[static_cast<size_t>(b)] / n;
      const double f = 1 - std::exp(-h / a);
      sw += n, sf += n * f, sff += n * f * f, sg += n * g, sfg += n * f * g;
    }
    if (sw <= 0) break;
    const double det = sw * sff - sf * sf;
    double c0 = 0, c1 = 0;
    if (det > 1e-12) {
      c1 = (sw * sfg - sf * sg) / det;
      c0 = (sg - c1 * sf) / sw;
    }
    if (c1 < 0) c1 = 0, c0 = sg / sw;
    if (c0 < 0) c0 = 0, c1 = sff > 0 ? sfg / sff : 0;
    double cost = 0;
    for (int b = 0; b < kBins; ++b) {
      if (count[static_cast<size_t>(b)] < 3) continue;
      const double n = count[static_cast<size_t>(b)];
      const double h = dist[static_cast<size_t>(b)] / n, g = sum[static_cast<size_t>(b)] / n;
      const double e = g - c0 - c1 * (1 - std::exp(-h / a));
      cost += n * e * e;
    }
    if (cost < bestCost) {
      bestCost = cost;
      best = {c0, c1, a};
    }
  }
  // Readings are whole dB and jump from scan to scan: a nugget below 1 dB² is not believed.
  best.Nugget = std::max(best.Nugget, 1.0);
  return best;
}

}  // namespace

std::optional<Method> ParseMethod(const std::string& word) {
  if (word == "idw") return Method::Idw;
  if (word == "kriging") return Method::Kriging;
  return std::nullopt;
}

const char* MethodWord(Method m) { return m == Method::Idw ? "idw" : "kriging"; }

PointIndex::PointIndex(std::span<const Sample> samples, double bucket) : points_(samples.begin(), samples.end()) {
  if (points_.empty()) return;
  bucket_ = std::max(bucket, 0.25);
  double x1 = points_[0].X, y1 = points_[0].Y;
  x0_ = x1, y0_ = y1;
  for (const Sample& s : points_) {
    x0_ = std::min(x0_, s.X), y0_ = std::min(y0_, s.Y);
    x1 = std::max(x1, s.X), y1 = std::max(y1, s.Y);
  }
  nx_ = std::min(static_cast<int>((x1 - x0_) / bucket_) + 1, 4096);
  ny_ = std::min(static_cast<int>((y1 - y0_) / bucket_) + 1, 4096);
  const size_t cells = static_cast<size_t>(nx_) * static_cast<size_t>(ny_);
  start_.assign(cells + 1, 0);
  std::vector<size_t> cellOf(points_.size());
  for (size_t k = 0; k < points_.size(); ++k) {
    cellOf[k] =
        static_cast<size_t>(Row(points_[k].Y)) * static_cast<size_t>(nx_) + static_cast<size_t>(Column(points_[k].X));
    ++start_[cellOf[k] + 1];
  }
  for (size_t c = 0; c < cells; ++c) start_[c + 1] += start_[c];
  order_.resize(points_.size());
  std::vector<uint32_t> fill(start_.begin(), start_.end() - 1);
  for (size_t k = 0; k < points_.size(); ++k) order_[fill[cellOf[k]]++] = static_cast<uint32_t>(k);
}

bool PointIndex::AnyWithin(double x, double y, double limit) const {
  if (order_.empty()) return false;
  const double l2 = limit * limit;
  const int reach = static_cast<int>(std::ceil(limit / bucket_));
  const int cx = Column(x), cy = Row(y);
  for (int j = std::max(cy - reach, 0); j <= std::min(cy + reach, ny_ - 1); ++j)
    for (int i = std::max(cx - reach, 0); i <= std::min(cx + reach, nx_ - 1); ++i) {
      const size_t b = static_cast<size_t>(j) * static_cast<size_t>(nx_) + static_cast<size_t>(i);
      for (uint32_t k = start_[b]; k < start_[b + 1]; ++k) {
        const Sample& p = points_[order_[k]];
        if ((p.X - x) * (p.X - x) + (p.Y - y) * (p.Y - y) <= l2) return true;
      }
    }
  return false;
}

double PointIndex::Nearest(double x, double y, double limit) const {
  double best = std::numeric_limits<double>::infinity();
  ForNear(x, y, limit, [&](uint32_t k) {
    const double d = std::hypot(points_[k].X - x, points_[k].Y - y);
    if (d <= limit) best = std::min(best, d);
  });
  return best;
}

Field Field::Fit(std::span<const Sample> input, Method method, FloorBounds bounds, std::optional<Covariance> known) {
  Field f;
  f.samples_ =
      method == Method::Kriging ? Thin(input, kMaxKrigingSamples) : std::vector<Sample>(input.begin(), input.end());
  const size_t m = f.samples_.size();
  f.loo_.assign(m, kNaN);
  if (method == Method::Kriging && m >= kMinSamplesForFit) {
    f.trend_ = FitAccessPoint(f.samples_, bounds);
    std::vector<double> r(m);
    double mean = 0;
    for (size_t i = 0; i < m; ++i) {
      r[i] = f.samples_[i].Value - f.trend_.At(f.samples_[i].X, f.samples_[i].Y);
      mean += r[i];
    }
    mean /= static_cast<double>(m);
    for (double& v : r) v -= mean;
    // The covariance: the variogram's fit and a few others, the one whose leave-one-out error is least on
    // (at most 150 of) the samples wins; the semivariogram alone extrapolates the nugget from pairs no closer
    // than the points were taken.
    Variogram vg =
        known && known->Range > 0 ? Variogram{known->Nugget, known->Sill, known->Range} : FitVariogram(f.samples_, r);
    if (!known || known->Range <= 0) {
      std::vector<Sample> sub;
      std::vector<double> subR;
      const size_t stride = (m + kMaxSelectionSamples - 1) / kMaxSelectionSamples;
      for (size_t i = 0; i < m; i += stride) {
        sub.push_back(f.samples_[i]);
        subR.push_back(r[i]);
      }
      const double total = vg.Nugget + vg.Sill;
      std::vector<Variogram> candidates{vg};
      for (double a : {1.5, 3.0, 6.0, 12.0})
        for (double share : {0.15, 0.35, 0.55, 0.75})
          candidates.push_back({std::max(total * share, 1.0), total * (1 - share), a});
      double best = std::numeric_limits<double>::infinity();
      std::vector<double> alpha, diag;
      for (const Variogram& c : candidates) {
        if (!Krige(sub, subR, c, alpha, diag)) continue;
        double ss = 0;
        for (size_t i = 0; i < sub.size(); ++i) ss += std::pow(alpha[i] / diag[i], 2);
        if (ss < best) {
          best = ss;
          vg = c;
        }
      }
    }
    std::vector<double> alpha, diag;
    if (Krige(f.samples_, r, vg, alpha, diag)) {
      std::vector<double> z = std::move(alpha);
      f.used_ = Method::Kriging;
      f.alpha_ = std::move(z);
      f.mean_ = mean;
      f.nugget_ = vg.Nugget;
      f.sill_ = vg.Sill;
      f.range_ = vg.Range;
      f.cutoff_ = std::max(6.0 * vg.Range, 0.5);
      f.index_ = PointIndex(f.samples_, std::max(f.cutoff_ / 2, 1.0));
      for (size_t i = 0; i < m; ++i) f.loo_[i] = f.samples_[i].Value - f.alpha_[i] / diag[i];
      return f;
    }
  }
  f.used_ = Method::Idw;
  f.index_ = PointIndex(f.samples_, kIdwRadius / 2);
  for (size_t i = 0; i < m; ++i) f.loo_[i] = f.IdwAt(f.samples_[i].X, f.samples_[i].Y, static_cast<long>(i));
  return f;
}

double Field::IdwAt(double x, double y, long skip) const {
  double sw = 0, sv = 0;
  bool exact = false;
  double exactValue = 0;
  index_.ForNear(x, y, kIdwRadius, [&](uint32_t k) {
    if (static_cast<long>(k) == skip || exact) return;
    const Sample& s = samples_[k];
    const double d2 = (s.X - x) * (s.X - x) + (s.Y - y) * (s.Y - y);
    if (d2 > kIdwRadius * kIdwRadius) return;
    if (d2 < 1e-12) {
      exact = true;
      exactValue = s.Value;
      return;
    }
    const double w = 1.0 / d2;
    sw += w;
    sv += w * s.Value;
  });
  if (exact) return exactValue;
  return sw > 0 ? sv / sw : kNaN;
}

double Field::Residual(double x, double y) const {
  double v = 0;
  const double c2 = cutoff_ * cutoff_;
  index_.ForNear(x, y, cutoff_, [&](uint32_t k) {
    const Sample& s = samples_[k];
    const double d2 = (s.X - x) * (s.X - x) + (s.Y - y) * (s.Y - y);
    if (d2 <= c2) v += sill_ * std::exp(-std::sqrt(d2) / range_) * alpha_[k];
  });
  return v;
}

double Field::At(double x, double y) const {
  if (used_ == Method::Idw) return IdwAt(x, y, -1);
  return trend_.At(x, y) + mean_ + Residual(x, y);
}

void Field::PrepareLattice(FloorBounds bounds, double step) {
  if (used_ != Method::Kriging || step <= 0) return;
  step_ = step;
  latticeColumns_ = static_cast<int>(std::ceil(bounds.Width / step)) + 1;
  latticeRows_ = static_cast<int>(std::ceil(bounds.Height / step)) + 1;
  lattice_.resize(static_cast<size_t>(latticeColumns_) * static_cast<size_t>(latticeRows_));
  for (int j = 0; j < latticeRows_; ++j)
    for (int i = 0; i < latticeColumns_; ++i)
      lattice_[static_cast<size_t>(j) * static_cast<size_t>(latticeColumns_) + static_cast<size_t>(i)] =
          static_cast<float>(Residual(i * step, j * step));
}

double Field::CellAt(double x, double y) const {
  if (lattice_.empty()) return At(x, y);
  const double fx = std::clamp(x / step_, 0.0, latticeColumns_ - 1.0001),
               fy = std::clamp(y / step_, 0.0, latticeRows_ - 1.0001);
  const int i = static_cast<int>(fx), j = static_cast<int>(fy);
  const double tx = fx - i, ty = fy - j;
  auto at = [&](int a, int b) {
    return static_cast<double>(
        lattice_[static_cast<size_t>(b) * static_cast<size_t>(latticeColumns_) + static_cast<size_t>(a)]);
  };
  const double r =
      (at(i, j) * (1 - tx) + at(i + 1, j) * tx) * (1 - ty) + (at(i, j + 1) * (1 - tx) + at(i + 1, j + 1) * tx) * ty;
  return trend_.At(x, y) + mean_ + r;
}

double Field::LeaveOneOutRmse() const {
  double ss = 0;
  size_t n = 0;
  for (size_t i = 0; i < samples_.size(); ++i) {
    if (std::isnan(loo_[i])) continue;
    const double e = loo_[i] - samples_[i].Value;
    ss += e * e;
    ++n;
  }
  return n ? std::sqrt(ss / static_cast<double>(n)) : kNaN;
}

}  // namespace skimlet::survey

// Signal fields from scattered readings of one BSS.
//
// - Inverse distance weighting (the baseline): v = Σ wᵢvᵢ / Σ wᵢ with wᵢ = dᵢ⁻², over the samples within
//   kIdwRadius; exact at the samples, nothing where no sample is near.
// - Regression kriging (the default): the log-distance model around the fitted AP position (FitAccessPoint)
//   is the trend; its residuals are kriged with an exponential covariance c₁·exp(−h/a) plus a nugget c₀,
//   fitted to their binned semivariogram. The nugget makes the field a smoother rather than an interpolator,
//   as single readings are noisy. Predictions use the dual form (weights α = K⁻¹r solved once), so a cell
//   costs a sum over the samples within 6a. More than kMaxKrigingSamples samples are first averaged on a
//   square grid. Fewer than kMinSamplesForFit samples fall back to IDW.
//
// Every field knows its leave-one-out prediction at each sample; for kriging they come from the closed form
// rᵢ − αᵢ/(K⁻¹)ᵢᵢ (the trend itself is fitted once, with every sample).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/survey/ap_fit.h"

namespace skimlet::survey {

enum class Method { Idw, Kriging };
std::optional<Method> ParseMethod(const std::string& word);  // "idw", "kriging"
const char* MethodWord(Method m);

inline constexpr double kIdwRadius = 8.0;  // metres
inline constexpr size_t kMaxKrigingSamples = 600;

// Points bucketed on a square grid for "everything within R of (x, y)".
class PointIndex {
 public:
  PointIndex() = default;
  PointIndex(std::span<const Sample> samples, double bucket);
  template <typename F>
  void ForNear(double x, double y, double radius, F&& f) const {
    if (order_.empty()) return;
    const int reach = static_cast<int>(std::ceil(radius / bucket_));
    const int cx = Column(x), cy = Row(y);
    for (int j = std::max(cy - reach, 0); j <= std::min(cy + reach, ny_ - 1); ++j)
      for (int i = std::max(cx - reach, 0); i <= std::min(cx + reach, nx_ - 1); ++i) {
        const size_t b = static_cast<size_t>(j) * static_cast<size_t>(nx_) + static_cast<size_t>(i);
        for (uint32_t k = start_[b]; k < start_[b + 1]; ++k) f(order_[k]);
      }
  }
  // The distance to the nearest point, or infinity past Limit.
  double Nearest(double x, double y, double limit) const;
  // Whether some point lies within Limit.
  bool AnyWithin(double x, double y, double limit) const;

 private:
  int Column(double x) const { return std::clamp(static_cast<int>(std::floor((x - x0_) / bucket_)), 0, nx_ - 1); }
  int Row(double y) const { return std::clamp(static_cast<int>(std::floor((y - y0_) / bucket_)), 0, ny_ - 1); }
  std::vector<Sample> points_;
  double bucket_ = 1, x0_ = 0, y0_ = 0;
  int nx_ = 0, ny_ = 0;
  std::vector<uint32_t> start_, order_;
  friend class Field;
};

// The fitted covariance of a kriged field: nugget, partial sill (dB²) and range (m).
struct Covariance {
  double Nugget = 0, Sill = 0, Range = 0;
};

class Field {
 public:
  // Known: the covariance of an earlier fit of (almost) the same samples, kept instead of choosing one again
  // (a map updated after one more point).
  static Field Fit(std::span<const Sample> samples, Method method, FloorBounds bounds,
                   std::optional<Covariance> known = std::nullopt);
  Covariance Fitted() const { return {nugget_, sill_, range_}; }

  // The field's value at (X, Y); NaN where it has none (IDW with no sample within its radius).
  double At(double x, double y) const;
  // For maps: the kriged residual computed once on a lattice of Step metres over Bounds, so that CellAt
  // costs the trend and a bilinear interpolation of the lattice (the residual varies over the covariance's
  // range, a few metres, so a lattice of a third of it loses nothing visible). Nothing for IDW.
  void PrepareLattice(FloorBounds bounds, double step);
  double CellAt(double x, double y) const;
  Method Used() const { return used_; }
  // The samples the field was built from (averaged ones when there were too many) and the leave-one-out
  // prediction at each; NaN where none could be made.
  const std::vector<Sample>& Samples() const { return samples_; }
  const std::vector<double>& LeaveOneOut() const { return loo_; }
  // Root mean square of (leave-one-out prediction − sample) in dB; NaN without any.
  double LeaveOneOutRmse() const;
  const ApFit& Trend() const { return trend_; }
  // The fitted covariance: nugget, partial sill (dB²) and range (m); zero for IDW.
  double Nugget() const { return nugget_; }
  double Sill() const { return sill_; }
  double Range() const { return range_; }

 private:
  double IdwAt(double x, double y, long skip) const;
  Method used_ = Method::Idw;
  std::vector<Sample> samples_;
  std::vector<double> loo_;
  PointIndex index_;
  ApFit trend_;
  double mean_ = 0, nugget_ = 0, sill_ = 0, range_ = 0, cutoff_ = 0;
  std::vector<double> alpha_;
  std::vector<float> lattice_;
  double step_ = 0;
  int latticeColumns_ = 0, latticeRows_ = 0;
  double Residual(double x, double y) const;
};

}  // namespace skimlet::survey

// Where an access point stands, from the signal it gave at surveyed points: the log-distance model
// Signal = P - 10·n·log10(max(d, 1 m)) fitted by its position, its power at 1 m (P) and its exponent (n),
// with a Huber loss so that single readings 10 dB off do not pull it away. P and n are solved in closed form
// for each trial position; the position is searched from the signal-weighted centroid of the readings by
// a shrinking pattern search, and never leaves the floor.
#pragma once

#include <span>

namespace skimlet::survey {

struct Sample {
  double X = 0, Y = 0;  // metres
  double Value = 0;     // dBm
};

struct FloorBounds {
  double Width = 0, Height = 0;  // metres; positions lie in [0, Width] x [0, Height]
};

struct ApFit {
  bool Valid = false;                     // fewer than 5 samples give no fit
  double X = 0, Y = 0;                    // metres
  double PowerAt1m = 0;                   // dBm
  double Exponent = 0;                    // path-loss exponent, kept within [1.5, 6]
  double ErrorRadius = 0;                 // metres: how far the position may be off (about one standard error)
  double Rms = 0;                         // dB: the model's residual over the samples
  double StrongestX = 0, StrongestY = 0;  // where the strongest sample was taken (the crude estimate)

  // The model's signal at (X, Y).
  double At(double x, double y) const;
};

inline constexpr size_t kMinSamplesForFit = 5;

ApFit FitAccessPoint(std::span<const Sample> samples, FloorBounds bounds);

}  // namespace skimlet::survey

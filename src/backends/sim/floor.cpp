// Placed access points: their signal on the floor from distance, walls and shadowing.
#include <cmath>
#include <random>

#include "backends/sim/scene.h"

namespace skimlet::sim {

const SceneFloor* Scene::FindFloor(std::string_view name) const {
  if (Floors.empty()) return nullptr;
  if (name.empty()) return &Floors.front();
  for (const SceneFloor& f : Floors)
    if (f.Name == name) return &f;
  return nullptr;
}

bool Crosses(const SceneWall& w, double x1, double y1, double x2, double y2) {
  auto side = [](double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  };
  const double d1 = side(w.X1, w.Y1, w.X2, w.Y2, x1, y1), d2 = side(w.X1, w.Y1, w.X2, w.Y2, x2, y2);
  const double d3 = side(x1, y1, x2, y2, w.X1, w.Y1), d4 = side(x1, y1, x2, y2, w.X2, w.Y2);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

namespace {

// The shadowing of one access point: a smooth field of standard deviation 1 made of plane waves with
// random directions, wavelengths and phases, fixed by the floor's seed and the access point's index.
double Shadow(uint64_t seed, size_t ap, double x, double y) {
  constexpr int kWaves = 48;
  std::mt19937_64 rng(seed * 1000003u + ap * 7919u + 17u);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr double kPi = 3.14159265358979323846;
  double sum = 0;
  for (int k = 0; k < kWaves; ++k) {
    const double direction = 2 * kPi * unit(rng);
    const double wavelength = 2.0 + 6.0 * unit(rng);
    const double phase = 2 * kPi * unit(rng);
    const double kx = 2 * kPi / wavelength * std::cos(direction), ky = 2 * kPi / wavelength * std::sin(direction);
    sum += std::cos(kx * x + ky * y + phase);
  }
  return sum * std::sqrt(2.0 / kWaves);
}

}  // namespace

double TrueSignal(const Scene& scene, size_t ap, double x, double y) {
  const SceneAccessPoint& a = scene.AccessPoints[ap];
  const SceneFloor* floor = scene.FindFloor(a.Floor);
  if (!a.Position || !floor) return a.Rssi;
  const double fMHz = a.FrequencyKHz() / 1000.0;
  const double atOneMetre = a.TxPower - (20.0 * std::log10(fMHz) - 27.55);
  const double ax = (*a.Position)[0], ay = (*a.Position)[1];
  const double d = std::max(std::hypot(x - ax, y - ay), 1.0);
  double signal = atOneMetre - 10.0 * floor->PathLossExponent * std::log10(d);
  for (const SceneWall& w : floor->Walls)
    if (Crosses(w, ax, ay, x, y)) signal -= w.Loss;
  if (floor->Shadowing > 0) signal += floor->Shadowing * Shadow(floor->Seed, ap, x, y);
  return signal;
}

}  // namespace skimlet::sim

// Maps of a floor: a grid of cells (default 0.25 m) with one value each, computed from the readings of the
// points taken on the floor. Each BSS is interpolated in dBm on its own (interpolation.h); the other maps are
// made from those fields cell by cell. Cells farther than MaxDistance from every point are "no data" (NaN):
// no map extrapolates into rooms nobody visited.
//
// Every map reports its leave-one-out cross-validated error over the points: each BSS's value at a point
// where it was heard is its leave-one-out prediction there, and the map's value at the point is made from
// those as at a cell; the error is the root mean square of the difference to the same value made from the
// readings (dB for signal, primary, secondary and SNR; count for co-channel and APs; for serving, rate and
// requirements the share of points whose category differs, in percent).
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/survey/interpolation.h"
#include "core/survey/survey.h"

namespace skimlet::survey {

enum class MapKind { Signal, Primary, Secondary, Snr, CoChannel, Aps, Serving, Rate, Requirements };
std::optional<MapKind> ParseMapKind(const std::string& word);
const char* MapKindWord(MapKind k);

// What a map needs to know of a network besides its readings.
struct BssInfo {
  Bssid BSSID{};
  std::string SSID;
  uint32_t FrequencyKHz = 0;
  int WidthMHz = 20;
  int Streams = 1;
  int MaxMcs = 11;  // highest MCS of its PHY: 7 (n), 9 (ac), 11 (ax), 13 (be); -1 for a/g, -2 for b
};
// 0 = 2.4 GHz, 1 = 5 GHz, 2 = 6 GHz.
int BandOf(uint32_t frequencyKHz);
// BSSIDs of one radio: the same address but for the locally administered bit and the last four bits, on
// the same primary channel (the virtual access points of one radio). Equal keys: one radio.
uint64_t RadioKey(const Bssid& b, uint32_t frequencyKHz);

// Requirement profiles. A value that is not required is nullopt.
struct Profile {
  std::string Name;
  double Primary = -67;
  std::optional<double> Secondary;
  bool SecondaryOnly5And6 = false;  // the secondary is required on 5 and 6 GHz only
  double Snr = 25;
  std::optional<int> MaxCoChannel;  // other BSSs on the primary's channel at or above CoChannelThreshold
  double CoChannelThreshold = -85;
  std::optional<int> MinAps;  // access points (radios) at or above ApThreshold
  double ApThreshold = -75;
};
// "data" (the default), "voice", "location".
std::optional<Profile> FindProfile(const std::string& name);
std::vector<std::string> ProfileNames();

// Expected PHY data rate in Mbit/s at an SNR for a channel width, stream count and highest MCS: the highest
// MCS whose minimum SNR the cell reaches, at 0.8 µs guard interval. Minimum SNR of MCS 0..13 at 20 MHz:
// 2 5 9 11 15 18 20 25 29 31 34 37 40 43 dB, 3 dB more for each doubling of the width; rate per stream at
// 20 MHz: 8.6 17.2 25.8 34.4 51.6 68.8 77.4 86 103.2 114.7 129 143.4 154.9 172.1 Mbit/s, times 2, 4.19,
// 8.37 and 16.75 for 40, 80, 160 and 320 MHz. a/g: 6..54 Mbit/s at 5 6 8 10 13 17 21 23 dB; b: 1..11 Mbit/s
// at 0 3 6 9 dB. 0 below the lowest.
double ExpectedRate(double snr, int widthMHz, int streams, int maxMcs);

struct MapOptions {
  MapKind Kind = MapKind::Primary;
  Method Interpolation = Method::Kriging;
  double Cell = 0.25;       // metres
  double MaxDistance = 5;   // metres from the nearest point beyond which a cell has no data
  double NoiseFloor = -95;  // dBm, where the radio reports no noise
  double CoChannelThreshold = -85;
  double ApThreshold = -75;
  Profile Requirements = *FindProfile("data");
};

struct MapResult {
  int Columns = 0, Rows = 0;
  double Cell = 0.25;
  std::vector<float> Values;      // row by row from the top; NaN: no data
  double CvError = std::nan("");  // see above
  std::string CvUnit;             // "dB", "count", "%"
  size_t CvPoints = 0;
  std::vector<Bssid> Categories;  // serving: the value of a cell is an index into these
  size_t DataCells = 0;
  double PassShare = std::nan("");      // requirements: share of cells with data that pass, 0..1
  std::vector<Method> Used;             // per network, the interpolation its field ended up with
  std::vector<Covariance> Covariances;  // per network, the covariance of its kriged field (zero for IDW)

  float At(int column, int row) const {
    return Values[static_cast<size_t>(row) * static_cast<size_t>(Columns) + static_cast<size_t>(column)];
  }
  double X(int column) const { return (column + 0.5) * Cell; }
  double Y(int row) const { return (row + 0.5) * Cell; }
};

// The map of Points (all of one floor) over Bounds for the given networks: for Signal, Networks holds the
// one BSS; for the others, every network that passes the filter.
// Previous: a map of the same networks made before the last points were added; its covariances are kept
// rather than chosen again, which makes the update after a new point cheaper.
MapResult MakeMap(std::span<const Point> points, std::span<const BssInfo> networks, FloorBounds bounds,
                  const MapOptions& options, const MapResult* previous = nullptr);

// The readings of one BSS over the points as samples.
std::vector<Sample> SamplesOf(std::span<const Point> points, const Bssid& bssid);

}  // namespace skimlet::survey

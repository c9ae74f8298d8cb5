// A floor-plan survey: floors with their plans and scale, the points measured on them, every BSS heard at
// each point, and the latest record of every network heard (so that a survey also opens as a snapshot).
//
// Positions are in metres from the plan's top left corner, x to the right and y down, like the plan's pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/snapshot_file.h"

namespace skimlet::survey {

using Bssid = std::array<uint8_t, 6>;

struct Floor {
  int64_t Id = 0;  // given by the file
  std::string Name;
  int Level = 0;
  std::vector<uint8_t> Plan;               // the plan image as it was given (PNG); empty without one
  uint32_t PlanWidth = 0, PlanHeight = 0;  // pixels
  double MetresPerPixel = 0;
  double Width() const { return PlanWidth * MetresPerPixel; }
  double Height() const { return PlanHeight * MetresPerPixel; }
};

struct Reading {
  Bssid BSSID{};
  int32_t Signal = 0;            // dBm
  uint32_t FrequencyKHz = 0;     // 0 unknown
  std::optional<int32_t> Noise;  // dBm of the channel, when the radio reports it
  bool operator==(const Reading&) const = default;
};

enum class PointKind : int { Stationary = 0, Walk = 1, Imported = 2 };

struct Point {
  int64_t Id = 0;  // given by the file
  int64_t FloorId = 0;
  double X = 0, Y = 0;        // metres
  double Start = 0, End = 0;  // seconds since 1970 (UTC)
  std::string Interface;      // kernel name or description of the interface
  std::string Adapter;        // the adapter's description
  PointKind Kind = PointKind::Stationary;
  std::vector<Reading> Readings;
};

struct Survey {
  int SchemaVersion = 0;
  std::vector<Floor> Floors;
  std::vector<Point> Points;             // in the order they were taken
  std::vector<SnapshotRecord> Networks;  // the latest record of every BSSID heard

  const Floor* FindFloor(const std::string& name) const;
  const Floor* FindFloor(int64_t id) const;
};

// "00:11:22:33:44:55" (also with '-'); nullopt when it is none.
std::optional<Bssid> ParseBssid(const std::string& text);
// "00:11:22:33:44:55".
std::string BssidText(const Bssid& b);

// Seconds since 1970 from the service's host time stamps (100 ns units since 1601) and back.
double UnixFromFiletime(uint64_t filetime);
uint64_t FiletimeFromUnix(double unixSeconds);

}  // namespace skimlet::survey

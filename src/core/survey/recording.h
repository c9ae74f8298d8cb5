// Recording rules, apart from any radio.
//
// Freshness: a point records only what was heard after it started. Every BSS entry carries the host time of
// its reception (the kernel's "seen so many ms ago", turned into a time stamp by the backend); an entry
// received before the point's start is a cached result of an earlier scan and is not recorded, even when
// the scan that was asked for returns it.
//
// Walk: waypoints with times; every reading taken between two waypoints is placed by its time along the
// segment between them, at constant speed.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/service/bss_entry.h"
#include "core/survey/survey.h"

namespace skimlet::survey {

// True when the entry was received at or after Start (seconds since 1970). An entry without a reception
// time is not known to be fresh.
bool IsFresh(const WLAN_BSS_ENTRY& entry, double start);

// The reading of an entry.
Reading ReadingOf(const WLAN_BSS_ENTRY& entry);

// Adds the readings of Entries that are fresh for Point (its Start) to the point, one per BSSID: a BSSID
// heard in several scans keeps its latest reception. Returns how many entries were stale.
size_t AddFreshReadings(Point& point, std::span<const WLAN_BSS_ENTRY> entries);

struct Waypoint {
  double X = 0, Y = 0;
  double Time = 0;  // seconds since 1970
};

// Where the walker was at Time: on the segment of the waypoints around it, by time; nullopt before the
// first or after the last waypoint.
std::optional<std::pair<double, double>> PositionAt(std::span<const Waypoint> waypoints, double time);

}  // namespace skimlet::survey

// skimlet-cli survey: floor-plan surveys without a window. A survey file (core/survey/survey_file.h) holds
// floors, points and every BSS heard at each point; this command creates it, records points with a radio
// (moving the simulated radio to each point), imports readings of other tools, and prints maps, AP positions
// and the requirement check.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "backends/sim/sim_service.h"
#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/live_session.h"
#include "cli/network_output.h"
#include "cli/standard_output.h"
#include "cli/stop_signals.h"
#include "core/base/atomic_file.h"
#include "core/base/datetime.h"
#include "core/base/safe_text.h"
#include "core/beacon/beacon_reader.h"
#include "core/ie/builder.h"
#include "core/model/network_list.h"
#include "core/model/snapshot.h"
#include "core/radio/values.h"
#include "core/service/wlan_records.h"
#include "core/settings/folders.h"
#include "core/survey/ap_fit.h"
#include "core/survey/map_picture.h"
#include "core/survey/recording.h"
#include "core/survey/survey_file.h"
#include "core/survey/survey_map.h"

namespace skimlet::cli {

namespace {

using namespace skimlet::survey;

constexpr const char* kHelp =
    "Usage: skimlet-cli survey SUBCOMMAND FILE [OPTIONS]\n"
    "\n"
    "Floor-plan site surveys: a survey FILE (SQLite) holds floors with their plans and scale, the points taken\n"
    "on them and every network heard at each point. Positions are metres from the plan's top left corner.\n"
    "\n"
    "  new FILE (--plan IMAGE.png (--size W,H | --scale X1,Y1,X2,Y2,METRES) | --size W,H | --scene SCENE)\n"
    "           [--floor NAME] [--level N]\n"
    "      create the survey (or add a floor to it); --scale: two plan pixels and their distance in metres;\n"
    "      --scene: the floor of a simulated scene (its size, its plan or its walls drawn as one)\n"
    "  record FILE (--at X,Y | --at-px PX,PY) [--floor NAME] [--service S] [--interface N|NAME] [--scans K]\n"
    "      take a point: wait for K fresh scans (default 1) and record every network they heard\n"
    "  walk FILE --waypoints 'X,Y;X,Y;...' [--speed M/S] [--times T,T,...] [--floor NAME] [--service S] ...\n"
    "      record while walking: every scan between two waypoints becomes a point placed by time; the\n"
    "      simulated radio is moved along (default 1 m/s); --times (seconds from the start) for a real walk\n"
    "  import FILE --points TSV [--floor NAME]\n"
    "      readings of other tools: lines 'x y bssid signal [ssid [frequency MHz]]', tab-separated\n"
    "  points FILE [--json|--tsv] [--floor NAME]\n"
    "      list the points taken on the floors\n"
    "  map FILE --map signal|primary|secondary|snr|cochannel|aps|serving|rate|requirements -o OUT.png|OUT.tsv\n"
    "      [--bssid B | --ssid S | filter options] [--method kriging|idw] [--cell M] [--max-distance M]\n"
    "      [--noise DBM] [--threshold DBM] [--profile NAME] [--size WxH] [--floor NAME]\n"
    "      the map and, on stderr, its leave-one-out cross-validated error\n"
    "  aps FILE [--json] [--floor NAME]     estimated access point positions with their error radius\n"
    "  check FILE [--profile data|voice|location] [--target PERCENT] [--floor NAME] [--method ...]\n"
    "      the share of the surveyed area that meets the profile; exit status 0 when at least the target\n"
    "      (default 90 %) passes, 1 when not\n"
    "\n"
    "Cells farther than --max-distance (default 5 m) from every point have no data. See skimlet-cli(1).\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "skimlet-cli survey: %s\n", message.c_str());
  return 1;
}

int Usage(const std::string& message) { return UsageError("survey", message); }

bool Number(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

// "A,B,..." of exactly Count numbers.
bool Numbers(const std::string& text, size_t count, std::vector<double>& out) {
  out.clear();
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    double v = 0;
    if (!Number(part, v)) return false;
    out.push_back(v);
  }
  return out.size() == count;
}

double UnixNow() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// The floor a command works on: the one named, or the only/first one.
const Floor* ChooseFloor(const Survey& s, const std::optional<std::string>& name, std::string& error) {
  if (s.Floors.empty()) {
    error = "the survey has no floor (make one with 'survey new')";
    return nullptr;
  }
  if (!name) return &s.Floors.front();
  const Floor* f = s.FindFloor(*name);
  if (!f) error = "the survey has no floor named '" + *name + "'";
  return f;
}

std::vector<Point> PointsOn(const Survey& s, const Floor& f) {
  std::vector<Point> out;
  for (const Point& p : s.Points)
    if (p.FloorId == f.Id) out.push_back(p);
  return out;
}

// The common options of the subcommands; each takes those it needs.
struct Options {
  std::optional<std::string> Floor, Plan, Size, Scale, Scene, At, AtPx, Service, Interface, Waypoints, Times,
      PointsFile, MapKindText, Bssid, Ssid, MethodText, Output, ProfileName;
  std::optional<double> Level, Scans, Speed, Cell, MaxDistance, Noise, Threshold, Target, SimScanSeconds;
  bool Json = false, Tsv = false;
  FilterOptions Filter;
};

constexpr const char* kTextOptions[] = {"--floor",  "--plan",   "--size",    "--scale",     "--scene",
                                        "--at",     "--at-px",  "--service", "--interface", "--waypoints",
                                        "--times",  "--points", "--map",     "--bssid",     "--ssid",
                                        "--method", "-o",       "--output",  "--profile"};
constexpr const char* kNumberOptions[] = {"--level",     "--scans",        "--speed",
                                          "--cell",      "--max-distance", "--noise",
                                          "--threshold", "--target",       "--sim-scan-seconds"};

std::optional<std::string>* TextSlot(Options& o, const std::string& name) {
  if (name == "--floor") return &o.Floor;
  if (name == "--plan") return &o.Plan;
  if (name == "--size") return &o.Size;
  if (name == "--scale") return &o.Scale;
  if (name == "--scene") return &o.Scene;
  if (name == "--at") return &o.At;
  if (name == "--at-px") return &o.AtPx;
  if (name == "--service") return &o.Service;
  if (name == "--interface") return &o.Interface;
  if (name == "--waypoints") return &o.Waypoints;
  if (name == "--times") return &o.Times;
  if (name == "--points") return &o.PointsFile;
  if (name == "--map") return &o.MapKindText;
  if (name == "--bssid") return &o.Bssid;
  if (name == "--ssid") return &o.Ssid;
  if (name == "--method") return &o.MethodText;
  if (name == "-o" || name == "--output") return &o.Output;
  if (name == "--profile") return &o.ProfileName;
  return nullptr;
}

std::optional<double>* NumberSlot(Options& o, const std::string& name) {
  if (name == "--level") return &o.Level;
  if (name == "--scans") return &o.Scans;
  if (name == "--speed") return &o.Speed;
  if (name == "--cell") return &o.Cell;
  if (name == "--max-distance") return &o.MaxDistance;
  if (name == "--noise") return &o.Noise;
  if (name == "--threshold") return &o.Threshold;
  if (name == "--target") return &o.Target;
  if (name == "--sim-scan-seconds") return &o.SimScanSeconds;
  return nullptr;
}

std::optional<int> ReadOptions(const Args& args, std::string& file, Options& o) {
  std::vector<std::string> files;
  const CommandLine line{"survey", std::string(kHelp) + "\nFilter options of map and check:\n" + kFilterHelp,
                         FileArguments::One};
  auto status = ReadArguments(line, args, files, [&](const Args& a, size_t& i, std::string& error) {
    if (a[i] == "--json") return o.Json = true;
    if (a[i] == "--tsv") return o.Tsv = true;
    if (TakeFilterOption(a, i, o.Filter, error)) return true;
    std::string value;
    for (const char* name : kTextOptions) {
      if (!TakeOption(a, i, name, value, error)) continue;
      if (error.empty()) {
        if (value.empty()) error = std::string(name) + " needs a value";
        else *TextSlot(o, name) = value;
      }
      return true;
    }
    for (const char* name : kNumberOptions) {
      if (!TakeOption(a, i, name, value, error)) continue;
      double v = 0;
      if (error.empty() && !Number(value, v)) error = std::string(name) + " wants a number, not '" + value + "'";
      if (error.empty()) *NumberSlot(o, name) = v;
      return true;
    }
    return false;
  });
  if (status) return status;
  file = files.empty() ? std::string() : files.front();
  return std::nullopt;
}

std::unique_ptr<SurveyFile> OpenSurvey(const std::string& path, bool writable, Survey& survey, std::string& error) {
  auto file = SurveyFile::Open(path, writable, error);
  if (!file || !file->Load(survey, error)) return nullptr;
  return file;
}

// --- new ------------------------------------------------------------------------------------------------

// The walls of a scene's floor drawn as a plan: white, walls dark grey, 20 pixels per metre.
std::vector<uint8_t> DrawWalls(const sim::SceneFloor& f, uint32_t& width, uint32_t& height, double& metresPerPixel) {
  constexpr double kPixelsPerMetre = 20;
  metresPerPixel = 1.0 / kPixelsPerMetre;
  width = static_cast<uint32_t>(std::ceil(f.Width * kPixelsPerMetre));
  height = static_cast<uint32_t>(std::ceil(f.Height * kPixelsPerMetre));
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4, 255);
  auto dot = [&](long x, long y) {
    for (long dy = -1; dy <= 1; ++dy)
      for (long dx = -1; dx <= 1; ++dx) {
        const long px = x + dx, py = y + dy;
        if (px < 0 || py < 0 || px >= long(width) || py >= long(height)) continue;
        uint8_t* p = &rgba[(static_cast<size_t>(py) * width + static_cast<size_t>(px)) * 4];
        p[0] = p[1] = p[2] = 60;
      }
  };
  for (const sim::SceneWall& w : f.Walls) {
    const double length = std::hypot(w.X2 - w.X1, w.Y2 - w.Y1) * kPixelsPerMetre;
    const int steps = std::max(1, static_cast<int>(std::ceil(length * 2)));
    for (int k = 0; k <= steps; ++k) {
      const double t = static_cast<double>(k) / steps;
      dot(std::lround((w.X1 + (w.X2 - w.X1) * t) * kPixelsPerMetre),
          std::lround((w.Y1 + (w.Y2 - w.Y1) * t) * kPixelsPerMetre));
    }
  }
  return EncodePng(width, height, rgba);
}

int RunNew(const std::string& path, const Options& o) {
  Floor floor;
  floor.Name = o.Floor.value_or("Floor 1");
  floor.Level = static_cast<int>(o.Level.value_or(0));
  std::vector<double> v;
  if (o.Scene) {
    std::string scenePath = *o.Scene == "default" ? sim::DefaultScenePath(ExecutableFolder().string()) : *o.Scene;
    sim::SceneResult scene = sim::ReadSceneFile(scenePath);
    if (!scene.Value) return Fail(scene.Error);
    const sim::SceneFloor* f = scene.Value->FindFloor(o.Floor.value_or(""));
    if (!f) return Fail(scenePath + ": " + (o.Floor ? "no floor named '" + *o.Floor + "'" : "the scene has no floor"));
    floor.Name = f->Name;
    if (!f->Plan.empty()) {
      const std::string planPath = (std::filesystem::path(scene.Value->Folder) / f->Plan).string();
      std::string bytes;
      if (!ReadWholeFile(planPath, bytes)) return Fail(planPath + ": cannot be read");
      floor.Plan.assign(bytes.begin(), bytes.end());
      if (!PngSize(floor.Plan, floor.PlanWidth, floor.PlanHeight)) return Fail(planPath + ": not a PNG image");
      floor.MetresPerPixel = f->Width / floor.PlanWidth;
    } else {
      floor.Plan = DrawWalls(*f, floor.PlanWidth, floor.PlanHeight, floor.MetresPerPixel);
    }
  } else if (o.Plan) {
    std::string bytes;
    if (!ReadWholeFile(*o.Plan, bytes)) return Fail(*o.Plan + ": cannot be read");
    floor.Plan.assign(bytes.begin(), bytes.end());
    if (!PngSize(floor.Plan, floor.PlanWidth, floor.PlanHeight)) return Fail(*o.Plan + ": not a PNG image");
    if (o.Size) {
      if (!Numbers(*o.Size, 2, v) || v[0] <= 0 || v[1] <= 0) return Usage("--size wants W,H in metres");
      floor.MetresPerPixel = v[0] / floor.PlanWidth;
    } else if (o.Scale) {
      if (!Numbers(*o.Scale, 5, v) || v[4] <= 0) return Usage("--scale wants X1,Y1,X2,Y2,METRES");
      const double pixels = std::hypot(v[2] - v[0], v[3] - v[1]);
      if (pixels < 1) return Usage("--scale needs two different plan pixels");
      floor.MetresPerPixel = v[4] / pixels;
    } else {
      return Usage("--plan needs --size W,H or --scale X1,Y1,X2,Y2,METRES");
    }
  } else if (o.Size) {
    if (!Numbers(*o.Size, 2, v) || v[0] <= 0 || v[1] <= 0 || v[0] > 1e4 || v[1] > 1e4)
      return Usage("--size wants W,H in metres");
    floor.MetresPerPixel = 0.01;
    floor.PlanWidth = static_cast<uint32_t>(std::lround(v[0] * 100));
    floor.PlanHeight = static_cast<uint32_t>(std::lround(v[1] * 100));
  } else {
    return Usage("new needs --plan IMAGE, --size W,H or --scene SCENE");
  }
  std::string error;
  std::error_code ec;
  auto file = std::filesystem::exists(path, ec) ? SurveyFile::Open(path, true, error) : SurveyFile::Create(path, error);
  if (!file || !file->AddFloor(floor, error)) return Fail(error);
  std::printf("%s: floor '%s', %s x %s m\n", path.c_str(), SafeText(floor.Name, SafeTextStyle::Terminal).c_str(),
              Fixed(floor.Width(), 2).c_str(), Fixed(floor.Height(), 2).c_str());
  return 0;
}

// --- record and walk ------------------------------------------------------------------------------------

struct Recorder {
  std::unique_ptr<LiveSession> Session;
  TWLANInterface* Selected = nullptr;
  sim::SimWlanService* Sim = nullptr;
  std::string SimFloor;  // the scene floor the survey floor stands for
  std::string InterfaceName, Adapter;

  // Moves the simulated radio; nothing for a real one.
  bool MoveTo(double x, double y, std::string& error) {
    return !Sim || Sim->MoveInterface(Selected->GUID, SimFloor, x, y, error);
  }
  bool RequestScan() { return Session->Selection.Service->Scan(Selected->GUID) == WlanError::kSuccess; }
  std::vector<WLAN_BSS_ENTRY> Entries(std::vector<std::vector<uint8_t>>& blobs) {
    WlanBlock block;
    std::vector<WLAN_BSS_ENTRY> out;
    blobs.clear();
    if (Session->Selection.Service->GetNetworkBssList(Selected->GUID, nullptr, 3, false, block) != WlanError::kSuccess)
      return out;
    WlanBssListView view(block);
    for (size_t k = 0; k < view.Count(); ++k) {
      out.push_back(view.Entry(k));
      auto blob = view.Blob(k);
      blobs.emplace_back(blob ? std::vector<uint8_t>(blob->begin(), blob->end()) : std::vector<uint8_t>());
    }
    return out;
  }
};

std::unique_ptr<Recorder> OpenRecorder(const Options& o, const Floor& floor, int& status) {
  auto r = std::make_unique<Recorder>();
  LiveSessionRequest request{"survey", o.Service.value_or(""), o.SimScanSeconds};
  r->Session = OpenLiveSession(request, status);
  if (!r->Session) return nullptr;
  int index = ChooseInterface(*r->Session, o.Interface, status);
  if (index < 0) return nullptr;
  r->Session->Interfaces->SetSelectedIndex(index);
  r->Selected = r->Session->Interfaces->Selected();
  r->Sim = dynamic_cast<sim::SimWlanService*>(r->Session->Selection.Service.get());
  if (r->Sim) r->SimFloor = r->Sim->SceneOf().FindFloor(floor.Name) ? floor.Name : std::string();
  r->InterfaceName = InterfaceLabel(*r->Session, *r->Selected);
  r->Adapter = r->Selected->Description;
  return r;
}

// The records of the networks a point heard, for the survey's network table.
std::vector<SnapshotRecord> RecordsOf(const std::vector<WLAN_BSS_ENTRY>& entries,
                                      const std::vector<std::vector<uint8_t>>& blobs, const Point& point) {
  std::vector<SnapshotRecord> out;
  const LocalDateTime now = LocalNow();
  for (size_t k = 0; k < entries.size(); ++k) {
    if (!IsFresh(entries[k], point.Start)) continue;
    SnapshotRecord r;
    r.Entry = entries[k];
    r.Blob = blobs[k];
    r.Entry.ulIeOffset = static_cast<uint32_t>(WLAN_BSS_ENTRY::kSize);
    r.Entry.ulIeSize = static_cast<uint32_t>(r.Blob.size());
    r.FirstSeen = r.LastSeen = now;
    out.push_back(std::move(r));
  }
  return out;
}

std::string SsidOf(const std::vector<SnapshotRecord>& records, const Bssid& b) {
  for (const SnapshotRecord& r : records)
    if (r.Entry.dot11Bssid == b)
      return SafeText(
          std::string(r.Entry.dot11Ssid.ucSSID.begin(),
                      r.Entry.dot11Ssid.ucSSID.begin() + std::min<uint32_t>(r.Entry.dot11Ssid.uSSIDLength, 32)),
          SafeTextStyle::Terminal);
  return {};
}

void PrintPoint(const Point& p, const std::vector<SnapshotRecord>& records, size_t stale) {
  std::string out = "Point " + std::to_string(p.Id) + " at " + Fixed(p.X, 2) + ", " + Fixed(p.Y, 2) +
                    " m: " + std::to_string(p.Readings.size()) + " networks";
  if (stale > 0) out += " (" + std::to_string(stale) + " cached results older than the point left out)";
  out += "\n";
  std::vector<Reading> sorted = p.Readings;
  std::sort(sorted.begin(), sorted.end(), [](const Reading& a, const Reading& b) { return a.Signal > b.Signal; });
  for (const Reading& r : sorted)
    out += "  " + BssidText(r.BSSID) + "  " + std::to_string(r.Signal) + " dBm  " +
           std::to_string(r.FrequencyKHz / 1000) + " MHz  " + SsidOf(records, r.BSSID) + "\n";
  WriteStandardOutput(out);
}

// Waits for the next scan results (Queue post) up to Seconds, in short slices so that a stop signal is
// seen soon. True when results came.
bool WaitForResults(Recorder& r, double seconds) {
  using Clock = TScanResultsQueue::Clock;
  const auto giveUp =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  while (!StopRequested() && Clock::now() < giveUp) {
    const auto slice = Clock::now() + std::chrono::milliseconds(100);
    if (r.Session->Queue.WaitAndTake(std::min(slice, giveUp)) > 0) return true;
  }
  return false;
}

constexpr double kScanGiveUpSeconds = 30;

int RunRecord(const std::string& path, const Options& o) {
  Survey survey;
  std::string error;
  auto file = OpenSurvey(path, true, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  std::vector<double> at;
  Point point;
  point.FloorId = floor->Id;
  if (o.At && Numbers(*o.At, 2, at)) {
    point.X = at[0];
    point.Y = at[1];
  } else if (o.AtPx && Numbers(*o.AtPx, 2, at)) {
    point.X = at[0] * floor->MetresPerPixel;
    point.Y = at[1] * floor->MetresPerPixel;
  } else {
    return Usage("record needs --at X,Y (metres) or --at-px PX,PY (plan pixels)");
  }
  if (point.X < 0 || point.Y < 0 || point.X > floor->Width() || point.Y > floor->Height())
    return Usage("the point " + Fixed(point.X, 2) + ", " + Fixed(point.Y, 2) + " m lies outside the floor (" +
                 Fixed(floor->Width(), 2) + " x " + Fixed(floor->Height(), 2) + " m)");
  const int scans = static_cast<int>(o.Scans.value_or(1));
  if (scans < 1 || scans > 20) return Usage("--scans wants 1 to 20");
  CatchStopSignals();
  int status = 0;
  auto recorder = OpenRecorder(o, *floor, status);
  if (!recorder) return status;
  if (!recorder->MoveTo(point.X, point.Y, error)) return Fail(error);
  point.Interface = recorder->InterfaceName;
  point.Adapter = recorder->Adapter;
  point.Start = UnixNow();
  recorder->Session->Queue.Take();  // results of scans asked for before this point do not count
  std::vector<WLAN_BSS_ENTRY> all;
  std::vector<std::vector<uint8_t>> allBlobs, blobs;
  size_t stale = 0;
  for (int done = 0; done < scans && !StopRequested();) {
    if (!recorder->RequestScan()) return Fail("the interface " + recorder->InterfaceName + " cannot scan");
    if (!WaitForResults(*recorder, kScanGiveUpSeconds)) {
      if (StopRequested()) break;
      return Fail("no scan results arrived within " + Fixed(kScanGiveUpSeconds, 0) + " seconds; nothing recorded");
    }
    std::vector<WLAN_BSS_ENTRY> entries = recorder->Entries(blobs);
    stale += AddFreshReadings(point, entries);
    all.insert(all.end(), entries.begin(), entries.end());
    allBlobs.insert(allBlobs.end(), blobs.begin(), blobs.end());
    ++done;
  }
  if (StopRequested()) return Fail("stopped; the point was not recorded");
  point.End = UnixNow();
  std::vector<SnapshotRecord> records = RecordsOf(all, allBlobs, point);
  if (!file->AddPoint(point, records, error)) return Fail(error);
  PrintPoint(point, records, stale);
  return 0;
}

int RunWalk(const std::string& path, const Options& o) {
  Survey survey;
  std::string error;
  auto file = OpenSurvey(path, true, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  if (!o.Waypoints) return Usage("walk needs --waypoints 'X,Y;X,Y;...'");
  std::vector<Waypoint> waypoints;
  {
    std::stringstream in(*o.Waypoints);
    std::string part;
    std::vector<double> xy;
    while (std::getline(in, part, ';')) {
      if (!Numbers(part, 2, xy)) return Usage("--waypoints wants X,Y pairs separated by ';', not '" + part + "'");
      waypoints.push_back({xy[0], xy[1], 0});
    }
  }
  if (waypoints.size() < 2) return Usage("a walk needs at least two waypoints");
  std::vector<double> times;
  if (o.Times) {
    if (!Numbers(*o.Times, waypoints.size(), times)) return Usage("--times wants one time per waypoint");
    for (size_t k = 1; k < times.size(); ++k)
      if (times[k] < times[k - 1]) return Usage("--times must not go back");
  } else {
    const double speed = o.Speed.value_or(1.0);
    if (speed <= 0 || speed > 50) return Usage("--speed wants metres per second from 0 to 50");
    times.push_back(0);
    for (size_t k = 1; k < waypoints.size(); ++k)
      times.push_back(times.back() +
                      std::hypot(waypoints[k].X - waypoints[k - 1].X, waypoints[k].Y - waypoints[k - 1].Y) / speed);
  }
  CatchStopSignals();
  int status = 0;
  auto recorder = OpenRecorder(o, *floor, status);
  if (!recorder) return status;
  if (o.Times && recorder->Sim)
    std::fprintf(stderr, "skimlet-cli survey: the simulated radio is not moved along a walk with --times\n");
  const bool moveSim = recorder->Sim && !o.Times;
  const double start = UnixNow();
  for (size_t k = 0; k < waypoints.size(); ++k) waypoints[k].Time = start + times[k];
  if (moveSim && !recorder->MoveTo(waypoints[0].X, waypoints[0].Y, error)) return Fail(error);
  recorder->Session->Queue.Take();
  double scanStart = start;
  size_t taken = 0;
  std::vector<std::vector<uint8_t>> blobs;
  while (!StopRequested() && UnixNow() <= waypoints.back().Time) {
    if (!recorder->RequestScan()) return Fail("the interface " + recorder->InterfaceName + " cannot scan");
    // The simulated radio walks while the scan runs.
    bool came = false;
    const double giveUp = UnixNow() + kScanGiveUpSeconds;
    while (!StopRequested() && !came && UnixNow() < giveUp) {
      if (moveSim) {
        auto p = PositionAt(waypoints, std::min(UnixNow(), waypoints.back().Time));
        if (p && !recorder->MoveTo(p->first, p->second, error)) return Fail(error);
      }
      came = recorder->Session->Queue.WaitAndTake(TScanResultsQueue::Clock::now() + std::chrono::milliseconds(50)) > 0;
    }
    if (StopRequested()) break;
    if (!came) return Fail("no scan results arrived within " + Fixed(kScanGiveUpSeconds, 0) + " seconds");
    const double end = UnixNow();
    // The refresh is placed where the walker was when it completed.
    auto where = PositionAt(waypoints, end);
    if (!where) break;
    Point point;
    point.FloorId = floor->Id;
    point.Kind = PointKind::Walk;
    point.X = std::clamp(where->first, 0.0, floor->Width());
    point.Y = std::clamp(where->second, 0.0, floor->Height());
    point.Start = scanStart;
    point.End = end;
    point.Interface = recorder->InterfaceName;
    point.Adapter = recorder->Adapter;
    std::vector<WLAN_BSS_ENTRY> entries = recorder->Entries(blobs);
    const size_t stale = AddFreshReadings(point, entries);
    scanStart = end;
    if (point.Readings.empty()) continue;
    std::vector<SnapshotRecord> records = RecordsOf(entries, blobs, point);
    if (!file->AddPoint(point, records, error)) return Fail(error);
    PrintPoint(point, records, stale);
    ++taken;
  }
  std::printf("Walk: %zu points\n", taken);
  return 0;
}

// --- import ---------------------------------------------------------------------------------------------

int RunImport(const std::string& path, const Options& o) {
  if (!o.PointsFile) return Usage("import needs --points TSV");
  Survey survey;
  std::string error;
  auto file = OpenSurvey(path, true, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  std::string text;
  if (!ReadWholeFile(*o.PointsFile, text, &error)) return Fail(*o.PointsFile + ": " + error);
  // Consecutive lines of one position are one point.
  std::vector<std::pair<Point, std::vector<SnapshotRecord>>> points;
  std::stringstream in(text);
  std::string line;
  size_t lineNo = 0;
  const double now = UnixNow();
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t')) f.push_back(cell);
    double x = 0, y = 0, signal = 0, mhz = 0;
    auto bssid = f.size() >= 4 ? ParseBssid(f[2]) : std::nullopt;
    if (f.size() < 4 || !Number(f[0], x) || !Number(f[1], y) || !bssid || !Number(f[3], signal) || signal < -120 ||
        signal > 0 || (f.size() >= 6 && !f[5].empty() && !Number(f[5], mhz))) {
      if (lineNo == 1) continue;  // a header
      return Fail(*o.PointsFile + ":" + std::to_string(lineNo) + ": expected x, y, bssid, signal[, ssid, frequency]");
    }
    if (x < 0 || y < 0 || x > floor->Width() || y > floor->Height())
      return Fail(*o.PointsFile + ":" + std::to_string(lineNo) + ": the position lies outside the floor");
    if (points.empty() || points.back().first.X != x || points.back().first.Y != y) {
      Point p;
      p.FloorId = floor->Id;
      p.X = x;
      p.Y = y;
      p.Start = p.End = now;
      p.Kind = PointKind::Imported;
      p.Interface = "import";
      p.Adapter = *o.PointsFile;
      points.push_back({p, {}});
    }
    Reading r;
    r.BSSID = *bssid;
    r.Signal = static_cast<int32_t>(std::lround(signal));
    r.FrequencyKHz = static_cast<uint32_t>(std::lround(mhz * 1000));
    points.back().first.Readings.push_back(r);
    // A network record for it: its SSID as the only element.
    ElementBuilder b;
    b.AddText(0, f.size() >= 5 ? f[4] : std::string());
    SnapshotRecord record;
    record.Blob = b.Blob();
    TBeaconReception rx;
    rx.Bssid = *bssid;
    rx.Capability = 0x0001;
    rx.FrequencyKHz = r.FrequencyKHz;
    rx.SignalDbm = r.Signal;
    rx.HostTimestamp = FiletimeFromUnix(now);
    record.Entry = ReadBeacon(record.Blob, rx);
    record.FirstSeen = record.LastSeen = LocalNow();
    points.back().second.push_back(std::move(record));
  }
  size_t readings = 0;
  for (auto& [p, records] : points) {
    if (!file->AddPoint(p, records, error)) return Fail(error);
    readings += p.Readings.size();
  }
  std::printf("Imported %zu points with %zu readings\n", points.size(), readings);
  return 0;
}

// --- points ---------------------------------------------------------------------------------------------

const char* KindWord(PointKind k) {
  switch (k) {
    case PointKind::Walk: return "walk";
    case PointKind::Imported: return "imported";
    default: return "stationary";
  }
}

int RunPoints(const std::string& path, const Options& o) {
  Survey survey;
  std::string error;
  auto file = OpenSurvey(path, false, survey, error);
  if (!file) return Fail(error);
  std::optional<int64_t> only;
  if (o.Floor) {
    const Floor* f = ChooseFloor(survey, o.Floor, error);
    if (!f) return Fail(error);
    only = f->Id;
  }
  std::string out;
  if (o.Tsv) out = "point\tfloor\tx\ty\tkind\tstart\tbssid\tsignal\tfrequency\n";
  if (o.Json) out = "[";
  bool first = true;
  for (const Point& p : survey.Points) {
    if (only && p.FloorId != *only) continue;
    const Floor* f = survey.FindFloor(p.FloorId);
    const std::string floorName = f ? f->Name : "";
    if (o.Tsv) {
      for (const Reading& r : p.Readings)
        out += std::to_string(p.Id) + "\t" + SafeText(floorName, SafeTextStyle::Terminal) + "\t" + Fixed(p.X, 3) +
               "\t" + Fixed(p.Y, 3) + "\t" + KindWord(p.Kind) + "\t" + Fixed(p.Start, 3) + "\t" + BssidText(r.BSSID) +
               "\t" + std::to_string(r.Signal) + "\t" + std::to_string(r.FrequencyKHz / 1000) + "\n";
    } else if (o.Json) {
      out += std::string(first ? "" : ",") + "\n  {\"id\": " + std::to_string(p.Id) +
             ", \"floor\": " + JsonString(floorName) + ", \"x\": " + Fixed(p.X, 3) + ", \"y\": " + Fixed(p.Y, 3) +
             ", \"kind\": \"" + KindWord(p.Kind) + "\", \"start\": " + Fixed(p.Start, 3) +
             ", \"end\": " + Fixed(p.End, 3) + ", \"interface\": " + JsonString(p.Interface) + ", \"readings\": [";
      for (size_t k = 0; k < p.Readings.size(); ++k) {
        const Reading& r = p.Readings[k];
        out += std::string(k ? ", " : "") + "{\"bssid\": \"" + BssidText(r.BSSID) +
               "\", \"signal\": " + std::to_string(r.Signal) +
               ", \"frequency\": " + std::to_string(r.FrequencyKHz / 1000) +
               (r.Noise ? ", \"noise\": " + std::to_string(*r.Noise) : std::string()) + "}";
      }
      out += "]}";
    } else {
      out += std::to_string(p.Id) + "  " + SafeText(floorName, SafeTextStyle::Terminal) + "  " + Fixed(p.X, 2) + ", " +
             Fixed(p.Y, 2) + " m  " + KindWord(p.Kind) + "  " + std::to_string(p.Readings.size()) + " networks\n";
    }
    first = false;
  }
  if (o.Json) out += first ? "]\n" : "\n]\n";
  return WriteStandardOutput(out) ? 0 : 1;
}

// --- map, aps, check ------------------------------------------------------------------------------------

// The networks of the survey as the model derives them (SSID, band, width, streams, PHY).
struct SurveyNetworks {
  TProgramOptions Options;
  std::unique_ptr<TWLANNetworkList> List;
};

SurveyNetworks ModelOf(const Survey& s) {
  SurveyNetworks n;
  n.List = std::make_unique<TWLANNetworkList>(n.Options);
  n.List->VendorLookup = nullptr;
  SnapshotContents contents;
  contents.Records = s.Networks;
  for (const SnapshotRecord& r : s.Networks) contents.SavedTime = std::max(contents.SavedTime, r.LastSeen);
  LoadSnapshot(*n.List, contents);
  return n;
}

BssInfo InfoOf(const TWLANNetwork& n) {
  BssInfo b;
  b.BSSID = n.Entry.dot11Bssid;
  b.SSID = n.SSID;
  b.FrequencyKHz = n.Entry.ulChCenterFrequency;
  static constexpr int kWidths[] = {20, 40, 80, 160, 160, 320};
  b.WidthMHz = kWidths[std::min<uint8_t>(n.ChannelWidth, 5)];
  b.Streams = std::max(1, static_cast<int>(n.TxStreams));
  b.MaxMcs = n.PhyTypes.Contains(kPhyEHT)                                      ? 13
             : n.PhyTypes.Contains(kPhyHE)                                     ? 11
             : n.PhyTypes.Contains(kPhyVHT)                                    ? 9
             : n.PhyTypes.Contains(kPhyHT)                                     ? 7
             : (n.PhyTypes.Contains(kPhyOFDM) || n.PhyTypes.Contains(kPhyERP)) ? -1
                                                                               : -2;
  return b;
}

// The networks a map is made of: the one --bssid names, or those the filter lets through (only those heard
// on the floor).
bool SelectNetworks(const Survey& s, const std::vector<Point>& points, const Options& o, std::vector<BssInfo>& out,
                    std::string& error) {
  std::set<Bssid> heard;
  for (const Point& p : points)
    for (const Reading& r : p.Readings) heard.insert(r.BSSID);
  SurveyNetworks model = ModelOf(s);
  std::optional<Bssid> only;
  if (o.Bssid) {
    only = ParseBssid(*o.Bssid);
    if (!only) {
      error = "--bssid wants a BSSID like 00:11:22:33:44:55, not '" + *o.Bssid + "'";
      return false;
    }
  }
  auto keep = FilterPredicate(o.Filter);
  std::set<Bssid> known;
  for (const auto& n : model.List->Items) {
    const BssInfo info = InfoOf(*n);
    known.insert(info.BSSID);
    if (!heard.count(info.BSSID)) continue;
    if (only && info.BSSID != *only) continue;
    if (o.Ssid && n->SSID != *o.Ssid) continue;
    if (keep && !keep(*n)) continue;
    out.push_back(info);
  }
  // Readings without a network record (never from this program) still make maps.
  if (!o.Ssid && !o.Filter.Any)
    for (const Bssid& b : heard)
      if (!known.count(b) && (!only || b == *only)) {
        BssInfo info;
        info.BSSID = b;
        for (const Point& p : points)
          for (const Reading& r : p.Readings)
            if (r.BSSID == b) info.FrequencyKHz = r.FrequencyKHz;
        out.push_back(info);
      }
  if (out.empty()) {
    error = only ? "the BSSID " + *o.Bssid + " was not heard on this floor"
                 : "no network heard on this floor passes the filter";
    return false;
  }
  return true;
}

bool MapOptionsOf(const Options& o, MapOptions& m, std::string& error) {
  if (o.MethodText) {
    auto method = ParseMethod(*o.MethodText);
    if (!method) {
      error = "--method wants kriging or idw, not '" + *o.MethodText + "'";
      return false;
    }
    m.Interpolation = *method;
  }
  if (o.Cell) {
    if (*o.Cell < 0.05 || *o.Cell > 10) {
      error = "--cell wants metres from 0.05 to 10";
      return false;
    }
    m.Cell = *o.Cell;
  }
  if (o.MaxDistance) {
    if (*o.MaxDistance <= 0 || *o.MaxDistance > 1000) {
      error = "--max-distance wants metres above 0";
      return false;
    }
    m.MaxDistance = *o.MaxDistance;
  }
  if (o.Noise) m.NoiseFloor = *o.Noise;
  if (o.Threshold) m.CoChannelThreshold = m.ApThreshold = *o.Threshold;
  if (o.ProfileName) {
    auto p = FindProfile(*o.ProfileName);
    if (!p) {
      error = "--profile wants data, voice or location, not '" + *o.ProfileName + "'";
      return false;
    }
    m.Requirements = *p;
  }
  return true;
}

std::string CvText(const MapResult& map, Method method) {
  if (map.CvPoints == 0) return "cross-validated error: none (too few points)";
  std::string value = map.CvUnit == "%" ? Fixed(map.CvError, 1) + " % of points differ"
                                        : Fixed(map.CvError, 2) + " " + map.CvUnit + " RMS";
  return "cross-validated error (leave one out, " + std::string(MethodWord(method)) + "): " + value + " over " +
         std::to_string(map.CvPoints) + " points";
}

int RunMap(const std::string& path, const Options& o) {
  if (!o.MapKindText) return Usage("map needs --map KIND");
  auto kind = ParseMapKind(*o.MapKindText);
  if (!kind)
    return Usage("--map wants signal, primary, secondary, snr, cochannel, aps, serving, rate or requirements, not '" +
                 *o.MapKindText + "'");
  if (*kind == MapKind::Signal && !o.Bssid) return Usage("--map signal needs --bssid");
  if (!o.Output) return Usage("map needs -o OUT.png or OUT.tsv");
  const std::string& out = *o.Output;
  const bool tsv = out.size() > 4 && out.substr(out.size() - 4) == ".tsv";
  const bool png = out.size() > 4 && out.substr(out.size() - 4) == ".png";
  if (!tsv && !png && out != "-") return Usage("-o wants a .png or .tsv file (or - for TSV on standard output)");
  uint32_t width = 0, height = 0;
  if (o.Size) {
    unsigned w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(o.Size->c_str(), "%ux%u%c", &w, &h, &tail) != 2 || w < 16 || h < 16 || w > 16384 || h > 16384)
      return Usage("--size wants WxH, 16 to 16384 pixels each");
    width = w;
    height = h;
  }
  MapOptions options;
  options.Kind = *kind;
  std::string error;
  if (!MapOptionsOf(o, options, error)) return Usage(error);
  Survey survey;
  auto file = OpenSurvey(path, false, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  std::vector<Point> points = PointsOn(survey, *floor);
  if (points.empty()) return Fail("no point was taken on the floor '" + floor->Name + "'");
  std::vector<BssInfo> networks;
  if (!SelectNetworks(survey, points, o, networks, error)) return Fail(error);
  MapResult map = MakeMap(points, networks, {floor->Width(), floor->Height()}, options);
  if (png) {
    const std::vector<uint8_t> bytes = MapPng(map, *kind, width, height);
    if (std::string e = WriteFileAtomic(out, bytes); !e.empty()) return Fail(out + ": " + e);
  } else {
    std::string text = "x\ty\t" + std::string(MapKindWord(*kind)) + "\n";
    for (int row = 0; row < map.Rows; ++row)
      for (int col = 0; col < map.Columns; ++col) {
        const float v = map.At(col, row);
        std::string value;
        if (!std::isnan(v))
          value = *kind == MapKind::Serving        ? BssidText(map.Categories[static_cast<size_t>(v)])
                  : *kind == MapKind::Requirements ? (v >= 1 ? "pass" : "fail")
                                                   : Fixed(v, 2);
        text += Fixed(map.X(col), 3) + "\t" + Fixed(map.Y(row), 3) + "\t" + value + "\n";
      }
    if (out == "-") {
      if (!WriteStandardOutput(text)) return 1;
    } else if (std::string e = WriteFileAtomic(out, text); !e.empty()) {
      return Fail(out + ": " + e);
    }
  }
  std::fprintf(stderr, "%s\n", CvText(map, options.Interpolation).c_str());
  if (*kind == MapKind::Requirements)
    std::fprintf(stderr, "%s: %s %% of the surveyed area passes\n", options.Requirements.Name.c_str(),
                 Fixed(map.PassShare * 100, 1).c_str());
  return 0;
}

// Access points: the BSSIDs of one radio grouped, their readings merged (the strongest at each point).
struct RadioGroup {
  std::vector<BssInfo> Members;
  std::vector<Sample> Samples;
  ApFit Fit;
};

std::vector<RadioGroup> GroupRadios(const std::vector<Point>& points, const std::vector<BssInfo>& networks,
                                    FloorBounds bounds) {
  std::map<uint64_t, RadioGroup> groups;
  for (const BssInfo& b : networks) groups[RadioKey(b.BSSID, b.FrequencyKHz)].Members.push_back(b);
  std::vector<RadioGroup> out;
  for (auto& [key, g] : groups) {
    for (const Point& p : points) {
      std::optional<int32_t> best;
      for (const Reading& r : p.Readings)
        for (const BssInfo& m : g.Members)
          if (r.BSSID == m.BSSID && (!best || r.Signal > *best)) best = r.Signal;
      if (best) g.Samples.push_back({p.X, p.Y, static_cast<double>(*best)});
    }
    g.Fit = FitAccessPoint(g.Samples, bounds);
    out.push_back(std::move(g));
  }
  return out;
}

int RunAps(const std::string& path, const Options& o) {
  Survey survey;
  std::string error;
  auto file = OpenSurvey(path, false, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  std::vector<Point> points = PointsOn(survey, *floor);
  std::vector<BssInfo> networks;
  if (!SelectNetworks(survey, points, o, networks, error)) return Fail(error);
  std::vector<RadioGroup> groups = GroupRadios(points, networks, {floor->Width(), floor->Height()});
  std::string out = o.Json ? "[" : "";
  bool first = true;
  for (const RadioGroup& g : groups) {
    std::string bssids, ssids;
    std::set<std::string> seen;
    for (const BssInfo& m : g.Members) {
      bssids += (bssids.empty() ? "" : o.Json ? "\", \"" : ",") + BssidText(m.BSSID);
      if (seen.insert(m.SSID).second) ssids += (ssids.empty() ? "" : ", ") + m.SSID;
    }
    if (o.Json) {
      out += std::string(first ? "" : ",") + "\n  {\"bssids\": [\"" + bssids + "\"], \"ssids\": " + JsonString(ssids) +
             ", \"frequency\": " + std::to_string(g.Members.front().FrequencyKHz / 1000) +
             ", \"samples\": " + std::to_string(g.Samples.size());
      if (g.Fit.Valid)
        out += ", \"x\": " + Fixed(g.Fit.X, 2) + ", \"y\": " + Fixed(g.Fit.Y, 2) +
               ", \"error_radius\": " + Fixed(g.Fit.ErrorRadius, 2) + ", \"power_1m\": " + Fixed(g.Fit.PowerAt1m, 1) +
               ", \"exponent\": " + Fixed(g.Fit.Exponent, 2) + ", \"rms\": " + Fixed(g.Fit.Rms, 2);
      out += "}";
    } else {
      out += bssids + "  " + SafeText(ssids, SafeTextStyle::Terminal) + "  " +
             std::to_string(g.Members.front().FrequencyKHz / 1000) + " MHz  ";
      out += g.Fit.Valid
                 ? "at " + Fixed(g.Fit.X, 1) + ", " + Fixed(g.Fit.Y, 1) + " m ± " + Fixed(g.Fit.ErrorRadius, 1) +
                       " m, " + Fixed(g.Fit.PowerAt1m, 0) + " dBm at 1 m, exponent " + Fixed(g.Fit.Exponent, 1) +
                       ", from " + std::to_string(g.Samples.size()) + " points\n"
                 : "heard at " + std::to_string(g.Samples.size()) + " points: too few to place it\n";
    }
    first = false;
  }
  if (o.Json) out += first ? "]\n" : "\n]\n";
  return WriteStandardOutput(out) ? 0 : 1;
}

int RunCheck(const std::string& path, const Options& o) {
  MapOptions options;
  options.Kind = MapKind::Requirements;
  std::string error;
  if (!MapOptionsOf(o, options, error)) return Usage(error);
  const double target = o.Target.value_or(90);
  if (target < 0 || target > 100) return Usage("--target wants a percentage");
  Survey survey;
  auto file = OpenSurvey(path, false, survey, error);
  if (!file) return Fail(error);
  const Floor* floor = ChooseFloor(survey, o.Floor, error);
  if (!floor) return Fail(error);
  std::vector<Point> points = PointsOn(survey, *floor);
  if (points.empty()) return Fail("no point was taken on the floor '" + floor->Name + "'");
  std::vector<BssInfo> networks;
  if (!SelectNetworks(survey, points, o, networks, error)) return Fail(error);
  MapResult map = MakeMap(points, networks, {floor->Width(), floor->Height()}, options);
  const double share = map.PassShare * 100;
  const bool passes = share >= target;
  std::printf("%s: %s %% of the surveyed area (%s m²) passes the %s profile (target %s %%): %s\n", floor->Name.c_str(),
              Fixed(share, 1).c_str(), Fixed(map.DataCells * map.Cell * map.Cell, 1).c_str(),
              options.Requirements.Name.c_str(), Fixed(target, 0).c_str(), passes ? "pass" : "fail");
  std::fprintf(stderr, "%s\n", CvText(map, options.Interpolation).c_str());
  return passes ? 0 : 1;
}

}  // namespace

std::string SurveyHelp() { return kHelp; }

int RunSurvey(const Args& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end() || (!args.empty() && args[0] == "-h")) {
    std::fputs(CommandHelp(*FindCommand("survey")).c_str(), stdout);
    return 0;
  }
  if (args.empty()) return Usage("give a subcommand: new, record, walk, import, points, map, aps or check");
  const std::string sub = args[0];
  if (sub.starts_with("-")) return Usage("unknown option '" + sub + "'");
  static const std::set<std::string> kSubcommands{"new", "record", "walk", "import", "points", "map", "aps", "check"};
  if (!kSubcommands.count(sub)) return Usage("unknown subcommand '" + sub + "'");
  Options o;
  std::string file;
  if (auto status = ReadOptions(Args(args.begin() + 1, args.end()), file, o)) return *status;
  if (sub == "new") return RunNew(file, o);
  if (sub == "record") return RunRecord(file, o);
  if (sub == "walk") return RunWalk(file, o);
  if (sub == "import") return RunImport(file, o);
  if (sub == "points") return RunPoints(file, o);
  if (sub == "map") return RunMap(file, o);
  if (sub == "aps") return RunAps(file, o);
  return RunCheck(file, o);
}

}  // namespace skimlet::cli

// The survey file: one SQLite database.
//
//   PRAGMA application_id  0x534B5356 ("SKSV"): a database of another program is refused
//   PRAGMA user_version    the schema version; a newer one than this program knows is refused
//   floors    (id, name, level, plan BLOB, plan_width, plan_height, metres_per_pixel)
//   points    (id, floor, x, y, start, end, interface, adapter, kind)
//   readings  (point, bssid BLOB(6), signal, frequency, noise NULL)
//   networks  (bssid BLOB(6) PRIMARY KEY, entry BLOB(360), elements BLOB, first_seen, last_seen)
//
// Every point is written in one transaction with its readings and the networks it heard, with full
// synchronous writes: a crash while a point is being taken loses that point and nothing before it. A file
// that is not a survey, is damaged, or is of a newer schema is reported and never written to.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "core/survey/survey.h"

struct sqlite3;

namespace skimlet::survey {

inline constexpr int kSchemaVersion = 1;
inline constexpr int32_t kApplicationId = 0x534B5356;

// True when Bytes start like an SQLite database (what tells a survey file from a snapshot or a capture).
bool LooksLikeSurveyFile(std::span<const uint8_t> bytes);

class SurveyFile {
 public:
  // A new, empty survey at Path; fails when the file exists.
  static std::unique_ptr<SurveyFile> Create(const std::string& path, std::string& error);
  // An existing survey, checked: SQLite, ours, not newer, not damaged. Writable opens it for adding points.
  static std::unique_ptr<SurveyFile> Open(const std::string& path, bool writable, std::string& error);
  ~SurveyFile();
  SurveyFile(const SurveyFile&) = delete;
  SurveyFile& operator=(const SurveyFile&) = delete;

  // Sets Floor.Id. Fails when a floor of that name exists.
  bool AddFloor(Floor& floor, std::string& error);
  // The point, its readings and the networks it heard (inserted or replaced by BSSID, keeping the first
  // seen time), in one transaction. Sets Point.Id.
  bool AddPoint(Point& point, std::span<const SnapshotRecord> networks, std::string& error);
  bool Load(Survey& survey, std::string& error) const;

  const std::string& Path() const { return path_; }

 private:
  SurveyFile(sqlite3* db, std::string path);
  bool Exec(const char* sql, std::string& error) const;
  sqlite3* db_;
  std::string path_;
};

// The networks of a survey file as a snapshot holds them (SavedTime: when the last point ended). Returns an
// empty text, or what is wrong with the file.
std::string ReadSurveyNetworks(const std::string& path, SnapshotContents& contents);

}  // namespace skimlet::survey

#include "core/survey/survey_file.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace skimlet::survey {

namespace {

constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: the 16 bytes of the header

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    raw = nullptr;
  }
  return Statement(raw, sqlite3_finalize);
}

std::string Problem(sqlite3* db, const std::string& path, const std::string& what) {
  const int code = sqlite3_errcode(db);
  if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
    return path + ": the survey file is damaged (" + sqlite3_errmsg(db) + ")";
  return path + ": " + what + ": " + sqlite3_errmsg(db);
}

std::vector<uint8_t> BlobColumn(sqlite3_stmt* s, int column) {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(s, column));
  const int size = sqlite3_column_bytes(s, column);
  return data && size > 0 ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

std::string TextColumn(sqlite3_stmt* s, int column) {
  const auto* data = sqlite3_column_text(s, column);
  return data ? std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(sqlite3_column_bytes(s, column)))
              : std::string();
}

bool ReadHead(const std::string& path, std::array<uint8_t, 16>& head, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = path + ": no such file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be opened: " + std::strerror(errno);
    return false;
  }
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  if (in.gcount() != static_cast<std::streamsize>(head.size()) || !LooksLikeSurveyFile(head)) {
    error = path + ": not a survey file (not an SQLite database)";
    return false;
  }
  return true;
}

int64_t PragmaValue(sqlite3* db, const char* sql, bool& ok) {
  Statement s = Prepare(db, sql);
  ok = s && sqlite3_step(s.get()) == SQLITE_ROW;
  return ok ? sqlite3_column_int64(s.get(), 0) : 0;
}

constexpr const char* kSchema =
    "CREATE TABLE floors (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, level INTEGER NOT NULL,"
    "  plan BLOB, plan_width INTEGER NOT NULL, plan_height INTEGER NOT NULL, metres_per_pixel REAL NOT NULL);"
    "CREATE TABLE points (id INTEGER PRIMARY KEY, floor INTEGER NOT NULL REFERENCES floors(id), x REAL NOT NULL,"
    "  y REAL NOT NULL, start REAL NOT NULL, end REAL NOT NULL, interface TEXT, adapter TEXT,"
    "  kind INTEGER NOT NULL);"
    "CREATE TABLE readings (point INTEGER NOT NULL REFERENCES points(id), bssid BLOB NOT NULL,"
    "  signal INTEGER NOT NULL, frequency INTEGER NOT NULL, noise INTEGER);"
    "CREATE INDEX readings_point ON readings(point);"
    "CREATE TABLE networks (bssid BLOB PRIMARY KEY, entry BLOB NOT NULL, elements BLOB NOT NULL,"
    "  first_seen REAL NOT NULL, last_seen REAL NOT NULL);";

}  // namespace

bool LooksLikeSurveyFile(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

SurveyFile::SurveyFile(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

SurveyFile::~SurveyFile() { sqlite3_close(db_); }

bool SurveyFile::Exec(const char* sql, std::string& error) const {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  error = Problem(db_, path_, "cannot be written");
  return false;
}

std::unique_ptr<SurveyFile> SurveyFile::Create(const std::string& path, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    error = path + ": the file exists already";
    return nullptr;
  }
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::unique_ptr<SurveyFile> file(new SurveyFile(raw, path));
  if (rc != SQLITE_OK) {
    error = path + ": cannot be created: " + sqlite3_errmsg(raw);
    return nullptr;
  }
  const std::string setup = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                            "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + "; BEGIN;" + kSchema +
                            "COMMIT; PRAGMA synchronous = FULL;";
  if (!file->Exec(setup.c_str(), error)) {
    file.reset();
    std::filesystem::remove(path, ec);
    return nullptr;
  }
  return file;
}

std::unique_ptr<SurveyFile> SurveyFile::Open(const std::string& path, bool writable, std::string& error) {
  std::array<uint8_t, 16> head{};
  if (!ReadHead(path, head, error)) return nullptr;
  // A crash leaves a journal that SQLite rolls back when the file is opened for writing; a read-only open of
  // such a file would fail, so the file is opened for writing whenever it may be, and only written when asked.
  const bool mayWrite = writable || ::access(path.c_str(), W_OK) == 0;
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, mayWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<SurveyFile> file(new SurveyFile(raw, path));
  if (rc != SQLITE_OK) {
    error = path + ": cannot be opened: " + sqlite3_errmsg(raw);
    return nullptr;
  }
  sqlite3_busy_timeout(raw, 5000);
  bool ok = false;
  const int64_t app = PragmaValue(raw, "PRAGMA application_id", ok);
  if (!ok) {
    error = Problem(raw, path, "cannot be read");
    return nullptr;
  }
  if (app != kApplicationId) {
    error = path + ": an SQLite database, but not a survey file";
    return nullptr;
  }
  const int64_t version = PragmaValue(raw, "PRAGMA user_version", ok);
  if (!ok) {
    error = Problem(raw, path, "cannot be read");
    return nullptr;
  }
  if (version > kSchemaVersion) {
    error = path + ": the survey file was written by a newer version of this program (survey format " +
            std::to_string(version) + "; this version reads up to " + std::to_string(kSchemaVersion) +
            "); it is left as it is";
    return nullptr;
  }
  if (version < 1) {
    error = path + ": the survey file is damaged (no survey format version)";
    return nullptr;
  }
  if (writable) {
    // Nothing is written to a damaged file.
    Statement check = Prepare(raw, "PRAGMA quick_check");
    if (!check || sqlite3_step(check.get()) != SQLITE_ROW) {
      error = Problem(raw, path, "cannot be checked");
      return nullptr;
    }
    const std::string verdict = TextColumn(check.get(), 0);
    if (verdict != "ok") {
      error = path + ": the survey file is damaged (" + verdict + "); it is left as it is";
      return nullptr;
    }
    if (!file->Exec("PRAGMA synchronous = FULL;", error)) return nullptr;
  }
  return file;
}

bool SurveyFile::AddFloor(Floor& floor, std::string& error) {
  Statement s = Prepare(db_,
                        "INSERT INTO floors (name, level, plan, plan_width, plan_height, metres_per_pixel) "
                        "VALUES (?, ?, ?, ?, ?, ?)");
  if (!s) {
    error = Problem(db_, path_, "cannot be written");
    return false;
  }
  sqlite3_bind_text(s.get(), 1, floor.Name.data(), static_cast<int>(floor.Name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int(s.get(), 2, floor.Level);
  sqlite3_bind_blob(s.get(), 3, floor.Plan.data(), static_cast<int>(floor.Plan.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(s.get(), 4, floor.PlanWidth);
  sqlite3_bind_int64(s.get(), 5, floor.PlanHeight);
  sqlite3_bind_double(s.get(), 6, floor.MetresPerPixel);
  if (sqlite3_step(s.get()) != SQLITE_DONE) {
    error = sqlite3_extended_errcode(db_) == SQLITE_CONSTRAINT_UNIQUE
                ? path_ + ": there is a floor named '" + floor.Name + "' already"
                : Problem(db_, path_, "cannot be written");
    return false;
  }
  floor.Id = sqlite3_last_insert_rowid(db_);
  return true;
}

bool SurveyFile::AddPoint(Point& point, std::span<const SnapshotRecord> networks, std::string& error) {
  if (!Exec("BEGIN IMMEDIATE;", error)) return false;
  auto fail = [&] {
    error = Problem(db_, path_, "the point cannot be written");
    sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    return false;
  };
  Statement p = Prepare(db_,
                        "INSERT INTO points (floor, x, y, start, end, interface, adapter, kind) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  if (!p) return fail();
  sqlite3_bind_int64(p.get(), 1, point.FloorId);
  sqlite3_bind_double(p.get(), 2, point.X);
  sqlite3_bind_double(p.get(), 3, point.Y);
  sqlite3_bind_double(p.get(), 4, point.Start);
  sqlite3_bind_double(p.get(), 5, point.End);
  sqlite3_bind_text(p.get(), 6, point.Interface.data(), static_cast<int>(point.Interface.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(p.get(), 7, point.Adapter.data(), static_cast<int>(point.Adapter.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int(p.get(), 8, static_cast<int>(point.Kind));
  if (sqlite3_step(p.get()) != SQLITE_DONE) return fail();
  const int64_t id = sqlite3_last_insert_rowid(db_);

  Statement r = Prepare(db_, "INSERT INTO readings (point, bssid, signal, frequency, noise) VALUES (?, ?, ?, ?, ?)");
  if (!r) return fail();
  for (const Reading& reading : point.Readings) {
    sqlite3_reset(r.get());
    sqlite3_bind_int64(r.get(), 1, id);
    sqlite3_bind_blob(r.get(), 2, reading.BSSID.data(), 6, SQLITE_TRANSIENT);
    sqlite3_bind_int(r.get(), 3, reading.Signal);
    sqlite3_bind_int64(r.get(), 4, reading.FrequencyKHz);
    if (reading.Noise) sqlite3_bind_int(r.get(), 5, *reading.Noise);
    else sqlite3_bind_null(r.get(), 5);
    if (sqlite3_step(r.get()) != SQLITE_DONE) return fail();
  }

  Statement n = Prepare(db_,
                        "INSERT INTO networks (bssid, entry, elements, first_seen, last_seen) VALUES (?, ?, ?, ?, ?) "
                        "ON CONFLICT(bssid) DO UPDATE SET entry = excluded.entry, elements = excluded.elements, "
                        "first_seen = min(first_seen, excluded.first_seen), "
                        "last_seen = max(last_seen, excluded.last_seen)");
  if (!n) return fail();
  std::vector<uint8_t> entry;
  for (const SnapshotRecord& record : networks) {
    entry.clear();
    record.Entry.Encode(entry);
    sqlite3_reset(n.get());
    sqlite3_bind_blob(n.get(), 1, record.Entry.dot11Bssid.data(), 6, SQLITE_TRANSIENT);
    sqlite3_bind_blob(n.get(), 2, entry.data(), static_cast<int>(entry.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(n.get(), 3, record.Blob.data(), static_cast<int>(record.Blob.size()), SQLITE_TRANSIENT);
    sqlite3_bind_double(n.get(), 4, record.FirstSeen);
    sqlite3_bind_double(n.get(), 5, record.LastSeen);
    if (sqlite3_step(n.get()) != SQLITE_DONE) return fail();
  }
  if (sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
  point.Id = id;
  return true;
}

bool SurveyFile::Load(Survey& survey, std::string& error) const {
  survey = Survey{};
  survey.SchemaVersion = kSchemaVersion;
  auto fail = [&] {
    error = Problem(db_, path_, "cannot be read");
    return false;
  };
  Statement f =
      Prepare(db_, "SELECT id, name, level, plan, plan_width, plan_height, metres_per_pixel FROM floors ORDER BY id");
  if (!f) return fail();
  int rc;
  while ((rc = sqlite3_step(f.get())) == SQLITE_ROW) {
    Floor floor;
    floor.Id = sqlite3_column_int64(f.get(), 0);
    floor.Name = TextColumn(f.get(), 1);
    floor.Level = sqlite3_column_int(f.get(), 2);
    floor.Plan = BlobColumn(f.get(), 3);
    floor.PlanWidth = static_cast<uint32_t>(std::clamp<int64_t>(sqlite3_column_int64(f.get(), 4), 0, 1 << 20));
    floor.PlanHeight = static_cast<uint32_t>(std::clamp<int64_t>(sqlite3_column_int64(f.get(), 5), 0, 1 << 20));
    floor.MetresPerPixel = sqlite3_column_double(f.get(), 6);
    survey.Floors.push_back(std::move(floor));
  }
  if (rc != SQLITE_DONE) return fail();

  Statement p = Prepare(db_, "SELECT id, floor, x, y, start, end, interface, adapter, kind FROM points ORDER BY id");
  if (!p) return fail();
  std::map<int64_t, size_t> index;
  while ((rc = sqlite3_step(p.get())) == SQLITE_ROW) {
    Point point;
    point.Id = sqlite3_column_int64(p.get(), 0);
    point.FloorId = sqlite3_column_int64(p.get(), 1);
    point.X = sqlite3_column_double(p.get(), 2);
    point.Y = sqlite3_column_double(p.get(), 3);
    point.Start = sqlite3_column_double(p.get(), 4);
    point.End = sqlite3_column_double(p.get(), 5);
    point.Interface = TextColumn(p.get(), 6);
    point.Adapter = TextColumn(p.get(), 7);
    point.Kind = static_cast<PointKind>(std::clamp(sqlite3_column_int(p.get(), 8), 0, 2));
    index[point.Id] = survey.Points.size();
    survey.Points.push_back(std::move(point));
  }
  if (rc != SQLITE_DONE) return fail();

  Statement r = Prepare(db_, "SELECT point, bssid, signal, frequency, noise FROM readings ORDER BY rowid");
  if (!r) return fail();
  while ((rc = sqlite3_step(r.get())) == SQLITE_ROW) {
    auto at = index.find(sqlite3_column_int64(r.get(), 0));
    if (at == index.end() || sqlite3_column_bytes(r.get(), 1) != 6) continue;
    Reading reading;
    std::memcpy(reading.BSSID.data(), sqlite3_column_blob(r.get(), 1), 6);
    reading.Signal = sqlite3_column_int(r.get(), 2);
    reading.FrequencyKHz = static_cast<uint32_t>(sqlite3_column_int64(r.get(), 3));
    if (sqlite3_column_type(r.get(), 4) != SQLITE_NULL) reading.Noise = sqlite3_column_int(r.get(), 4);
    survey.Points[at->second].Readings.push_back(reading);
  }
  if (rc != SQLITE_DONE) return fail();

  Statement n = Prepare(db_, "SELECT entry, elements, first_seen, last_seen FROM networks ORDER BY rowid");
  if (!n) return fail();
  while ((rc = sqlite3_step(n.get())) == SQLITE_ROW) {
    const std::vector<uint8_t> entry = BlobColumn(n.get(), 0);
    auto decoded = WLAN_BSS_ENTRY::Decode(entry);
    if (!decoded) continue;
    SnapshotRecord record;
    record.Entry = *decoded;
    record.Blob = BlobColumn(n.get(), 1);
    record.Entry.ulIeOffset = static_cast<uint32_t>(WLAN_BSS_ENTRY::kSize);
    record.Entry.ulIeSize = static_cast<uint32_t>(record.Blob.size());
    record.FirstSeen = sqlite3_column_double(n.get(), 2);
    record.LastSeen = sqlite3_column_double(n.get(), 3);
    survey.Networks.push_back(std::move(record));
  }
  if (rc != SQLITE_DONE) return fail();
  return true;
}

std::string ReadSurveyNetworks(const std::string& path, SnapshotContents& contents) {
  contents = SnapshotContents{};
  std::string error;
  auto file = SurveyFile::Open(path, false, error);
  Survey survey;
  if (!file || !file->Load(survey, error)) {
    contents.Status = SnapshotStatus::ReadError;
    contents.Error = error;
    return error;
  }
  for (SnapshotRecord& record : survey.Networks) {
    contents.SavedTime = std::max(contents.SavedTime, record.LastSeen);
    contents.Records.push_back(std::move(record));
  }
  return {};
}

}  // namespace skimlet::survey

#include "core/capture/survey_file.h"

#include <array>
#include <fstream>

#include "core/survey/survey_file.h"

namespace skimlet {

namespace {

constexpr size_t kSnapshotHeaderSize = 10;

TSurveyLoadResult LoadSnapshotFile(TWLANNetworkList& list, const std::string& path) {
  TSurveyLoadResult result;
  SnapshotContents contents = ReadSnapshotFile(path);
  TSnapshotLoadResult loaded = LoadSnapshot(list, contents);
  result.SavedTime = contents.SavedTime;
  result.Loaded = loaded.Loaded;
  result.SkippedRecords = loaded.Skipped;
  result.Snapshot = contents.Status;
  result.Message = loaded.Message;
  result.Ok = contents.Status == SnapshotStatus::Ok || contents.Status == SnapshotStatus::NoHeader;
  return result;
}

bool IsFloorSurveyFile(const std::string& path) {
  std::array<uint8_t, 16> head{};
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  return in.gcount() == static_cast<std::streamsize>(head.size()) && survey::LooksLikeSurveyFile(head);
}

TSurveyLoadResult LoadFloorSurveyFile(TWLANNetworkList& list, const std::string& path) {
  TSurveyLoadResult result;
  result.Kind = TSurveyFileKind::FloorSurvey;
  SnapshotContents contents;
  if (std::string error = survey::ReadSurveyNetworks(path, contents); !error.empty()) {
    result.Ok = false;
    result.Message = error;
    return result;
  }
  TSnapshotLoadResult loaded = LoadSnapshot(list, contents);
  result.SavedTime = contents.SavedTime;
  result.Loaded = loaded.Loaded;
  result.SkippedRecords = loaded.Skipped;
  return result;
}

}  // namespace

TSurveyLoadResult LoadCapture(TWLANNetworkList& list, const TCaptureContents& capture) {
  TSurveyLoadResult result;
  result.Kind = TSurveyFileKind::Capture;
  result.Capture = capture.Stats;
  if (capture.Status != TCaptureStatus::Ok) {
    result.Ok = false;
    result.Message = capture.Error;
    return result;
  }
  result.SavedTime = capture.Networks.SavedTime;
  result.Loaded = LoadSnapshot(list, capture.Networks).Loaded;
  return result;
}

TSurveyLoadResult LoadSurveyFile(TWLANNetworkList& list, const std::string& path) {
  std::array<uint8_t, kSnapshotHeaderSize> head{};
  std::streamsize got = 0;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) return LoadSnapshotFile(list, path);  // the snapshot reader says why it cannot be opened
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    got = in.gcount();
  }
  if (got < static_cast<std::streamsize>(head.size()) || (head[0] == 1 && head[1] == 1))
    return LoadSnapshotFile(list, path);
  if (IsFloorSurveyFile(path)) return LoadFloorSurveyFile(list, path);

  TCaptureContents capture = ReadCaptureFile(path);
  if (capture.Status == TCaptureStatus::ReadError) {
    TSurveyLoadResult result;
    result.Kind = TSurveyFileKind::Unknown;
    result.Ok = false;
    result.Message = path + ": neither a snapshot nor a capture that libpcap can read: " + capture.LibpcapError;
    return result;
  }
  return LoadCapture(list, capture);
}

}  // namespace skimlet

#include "core/capture/survey_file.h"

#include <array>
#include <fstream>

namespace skimlet {

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
  std::array<uint8_t, 4> head{};
  std::streamsize got = 0;
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      in.read(reinterpret_cast<char*>(head.data()), head.size());
      got = in.gcount();
    }
  }
  if (IsCaptureFileStart(std::span<const uint8_t>(head.data(), static_cast<size_t>(got))))
    return LoadCapture(list, ReadCaptureFile(path));

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

}  // namespace skimlet

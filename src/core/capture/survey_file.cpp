#include "core/capture/survey_file.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "core/survey/survey_file.h"

namespace skimlet {

namespace {

constexpr size_t kSnapshotHeaderSize = 10;

TSurveyLoadResult LoadSnapshotContents(TWLANNetworkList& list, const SnapshotContents& contents) {
  TSurveyLoadResult result;
  TSnapshotLoadResult loaded = LoadSnapshot(list, contents);
  result.SavedTime = contents.SavedTime + ZoneShift(contents);
  result.Loaded = loaded.Loaded;
  result.SkippedRecords = loaded.Skipped;
  result.Warning = loaded.Warning;
  result.ZoneKnown = loaded.ZoneKnown;
  result.Snapshot = contents.Status;
  result.Message = loaded.Message;
  result.Ok = contents.Status == SnapshotStatus::Ok || contents.Status == SnapshotStatus::NoHeader;
  return result;
}

TSurveyLoadResult LoadSnapshotFile(TWLANNetworkList& list, const std::string& path) {
  return LoadSnapshotContents(list, ReadSnapshotFile(path));
}

// Reads up to Size bytes from Fd, waiting out interrupted calls; how many it read, or -1 with errno.
ssize_t ReadFully(int fd, uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, data + done, size - done);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

// A stream whose first bytes were already read to tell what it is: a read gives those first, then the rest
// from the descriptor. For libpcap, through fopencookie.
struct TPeekedStream {
  int Fd;
  std::array<uint8_t, kSnapshotHeaderSize> Head{};
  size_t HeadSize = 0, HeadPos = 0;
};

ssize_t PeekedRead(void* cookie, char* buf, size_t size) {
  auto* s = static_cast<TPeekedStream*>(cookie);
  if (s->HeadPos < s->HeadSize) {
    const size_t n = std::min(size, s->HeadSize - s->HeadPos);
    std::memcpy(buf, s->Head.data() + s->HeadPos, n);
    s->HeadPos += n;
    return static_cast<ssize_t>(n);
  }
  for (;;) {
    const ssize_t n = ::read(s->Fd, buf, size);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

int PeekedClose(void* cookie) {
  delete static_cast<TPeekedStream*>(cookie);
  return 0;
}

TSurveyLoadResult StreamError(const std::string& message) {
  TSurveyLoadResult result;
  result.Kind = TSurveyFileKind::Unknown;
  result.Ok = false;
  result.Message = message;
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

TSurveyLoadResult LoadSurveyStream(TWLANNetworkList& list, int fd, const std::string& name) {
  auto stream = std::make_unique<TPeekedStream>();
  stream->Fd = fd;
  const ssize_t got = ReadFully(fd, stream->Head.data(), stream->Head.size());
  if (got < 0) return StreamError(name + ": cannot be read: " + std::strerror(errno));
  stream->HeadSize = static_cast<size_t>(got);
  if (stream->HeadSize < stream->Head.size() || (stream->Head[0] == 1 && stream->Head[1] == 1)) {
    // A snapshot: small enough to hold, but not without limit.
    std::vector<uint8_t> bytes(stream->Head.begin(), stream->Head.begin() + got);
    uint8_t buf[65536];
    for (;;) {
      const ssize_t n = ReadFully(fd, buf, sizeof buf);
      if (n < 0) return StreamError(name + ": cannot be read: " + std::strerror(errno));
      if (n == 0) break;
      if (bytes.size() + static_cast<size_t>(n) > kMaxStreamedSnapshotBytes)
        return StreamError(name + ": a snapshot larger than " + std::to_string(kMaxStreamedSnapshotBytes >> 20) +
                           " MiB cannot be read from a stream; save it to a file and open that");
      bytes.insert(bytes.end(), buf, buf + n);
    }
    return LoadSnapshotContents(list, ParseSnapshot(bytes));
  }
  if (std::memcmp(stream->Head.data(), "SQLite for", stream->Head.size()) == 0)
    return StreamError(name + ": a floor survey is a database and cannot be read from a stream; open the file itself");
  cookie_io_functions_t io{};
  io.read = PeekedRead;
  io.close = PeekedClose;
  std::FILE* file = ::fopencookie(stream.get(), "rb", io);
  if (!file) return StreamError(name + ": cannot be read: " + std::strerror(errno));
  stream.release();  // the stream's close deletes it
  TCaptureContents capture = ReadCaptureStream(file, name);
  if (capture.Status == TCaptureStatus::ReadError)
    return StreamError(name + ": neither a snapshot nor a capture that libpcap can read: " + capture.LibpcapError);
  return LoadCapture(list, capture);
}

}  // namespace skimlet

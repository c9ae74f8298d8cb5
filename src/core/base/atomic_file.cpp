#include "core/base/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace skimlet {

namespace {

std::function<int(const std::string&, const std::string&)>& RenameHook() {
  static std::function<int(const std::string&, const std::string&)> hook;
  return hook;
}

int DoRename(const std::string& from, const std::string& to) {
  if (RenameHook()) return RenameHook()(from, to);
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

AtomicWriteResult Failure(const std::string& what, int err) {
  return {false, what + ": " + std::strerror(err)};
}

}  // namespace

void SetAtomicRenameForTesting(std::function<int(const std::string&, const std::string&)> rename) {
  RenameHook() = std::move(rename);
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  // A new name in the same folder; 0666 less the umask, as any new file, and the mode of the file it replaces.
  static std::atomic<unsigned> counter{0};
  int fd = -1;
  std::string temp;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Failure(path, errno);
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      return Failure(path, err);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) {
    int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Failure(path, err);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Failure(path, err);
  }
  if (int err = DoRename(temp, path); err != 0) {
    ::unlink(temp.c_str());
    return Failure(path, err);
  }
  return {true, {}};
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view text) {
  return WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string* error) {
  contents.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) contents.append(buf, n);
  bool ok = !std::ferror(f);
  if (!ok && error) *error = path + ": " + std::strerror(errno);
  std::fclose(f);
  return ok;
}

}  // namespace skimlet

#include "core/base/atomic_file.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace skimlet {

namespace fs = std::filesystem;

namespace {

RenameFunction g_rename = nullptr;

std::string Errno(const char* what, const fs::path& path) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

// Writes Data to a fresh temporary file beside Path; returns its name in Temp. The file is flushed to disk.
std::string WriteTemporary(const fs::path& path, std::string_view data, mode_t mode, std::string& temp) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  // The writer's process id is in the name, so that a later save can tell a file its killed writer left
  // behind from one a running writer still fills (RemoveOrphanedTemporaries).
  std::string pattern =
      (folder / ("." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) return Errno("cannot create a temporary file in", folder);
  temp = pattern;
  std::string error;
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0 && error.empty()) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = Errno("cannot write", temp);
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (error.empty() && fchmod(fd, mode) != 0) error = Errno("cannot set the permissions of", temp);
  if (error.empty() && fsync(fd) != 0) error = Errno("cannot flush", temp);
  if (::close(fd) != 0 && error.empty()) error = Errno("cannot close", temp);
  if (!error.empty()) ::unlink(temp.c_str());
  return error;
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Removes the temporary files of earlier saves of Path whose process no longer exists: a save killed between
// creating its temporary file and the rename leaves it behind, and nothing else would ever remove it.
void RemoveOrphanedTemporaries(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = "." + path.filename().string() + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view name = e->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos) continue;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
    if (ec != std::errc() || end != rest.data() + dash || pid <= 0 || pid == ::getpid()) continue;
    // EPERM: a process of another user is alive with that id.
    if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

void SyncFolder(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    ::close(fd);
  }
}

// Writes all of Data to Fd (from its current position); false with errno set on failure.
bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// Follows Path while it is a symbolic link; the result is the file a write lands in (it may not exist: a
// dangling link is written through to its target). Relative links count from the link's folder.
std::string ResolveLinks(const fs::path& path, fs::path& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
    // The size lstat gives is a hint only (0 on some file systems); a text that fills the buffer may be cut.
    std::string buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n;
    while ((n = ::readlink(target.c_str(), buf.data(), buf.size())) >= 0 && static_cast<size_t>(n) >= buf.size() &&
           buf.size() < 65536)
      buf.resize(buf.size() * 2);
    if (n < 0) return Errno("cannot read the link", target);
    if (static_cast<size_t>(n) >= buf.size()) {
      errno = ENAMETOOLONG;
      return Errno("cannot read the link", target);
    }
    fs::path next(buf.substr(0, static_cast<size_t>(n)));
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  errno = ELOOP;
  return Errno("cannot resolve", path);
}

// Character devices, FIFOs and sockets take the bytes as they are: there is nothing to replace.
std::string WriteStream(const fs::path& path, const struct stat& st, std::string_view data) {
  int fd = -1;
  if (S_ISSOCK(st.st_mode)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) {
      errno = ENAMETOOLONG;
      return Errno("cannot connect to", path);
    }
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Errno("cannot connect to", path);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      std::string error = Errno("cannot connect to", path);
      ::close(fd);
      return error;
    }
  } else {
    fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Errno("cannot open", path);
  }
  std::string error;
  if (!WriteAll(fd, data)) error = Errno("cannot write", path);
  if (::close(fd) != 0 && error.empty()) error = Errno("cannot close", path);
  return error;
}

// A file with more than one name: replacing it would cut it off from its other names, so the new bytes go
// into it in place, but only after a complete copy was written beside it. Should the writing in place fail,
// that copy is kept and named in the error.
std::string WriteInPlace(const fs::path& path, std::string_view data, mode_t mode) {
  std::string temp;
  std::string error = WriteTemporary(path, data, mode, temp);
  if (!error.empty()) return error;
  int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = Errno("cannot open", path);
    ::unlink(temp.c_str());
    return error;
  }
  if (!WriteAll(fd, data)) error = Errno("cannot write", path);
  if (error.empty() && ::ftruncate(fd, static_cast<off_t>(data.size())) != 0) error = Errno("cannot truncate", path);
  if (error.empty() && ::fsync(fd) != 0) error = Errno("cannot flush", path);
  if (::close(fd) != 0 && error.empty()) error = Errno("cannot close", path);
  if (!error.empty()) return error + "; the complete new content is in " + temp;
  ::unlink(temp.c_str());
  return {};
}

}  // namespace

void SetRenameFunctionForTests(RenameFunction function) { g_rename = function; }

std::string WriteFileAtomic(const fs::path& requested, std::string_view data) {
  struct stat st {};
  // Streams are opened through the name given: /dev/stdout and /proc/self/fd/N lead to a pipe the kernel knows
  // but that no path names.
  if (::stat(requested.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)))
    return WriteStream(requested, st, data);
  fs::path path;
  if (std::string error = ResolveLinks(requested, path); !error.empty()) return error;
  mode_t mode = NewFileMode();
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return WriteStream(path, st, data);
    if (!S_ISREG(st.st_mode)) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      return Errno("cannot replace", path);
    }
    mode = st.st_mode & 07777;
    if (st.st_nlink > 1) return WriteInPlace(path, data, mode);
  }
  std::string temp;
  std::string error = WriteTemporary(path, data, mode, temp);
  if (!error.empty()) return error;
  int rc = g_rename ? g_rename(temp.c_str(), path.c_str()) : std::rename(temp.c_str(), path.c_str());
  if (rc != 0) {
    error = Errno("cannot replace", path);
    ::unlink(temp.c_str());
    return error;
  }
  RemoveOrphanedTemporaries(path);
  SyncFolder(path);
  return {};
}

std::string WriteFileAtomicNoReplace(const fs::path& requested, std::string_view data) {
  // A dangling link gets its target created; a link to an existing file is an existing file.
  fs::path path;
  if (std::string error = ResolveLinks(requested, path); !error.empty()) return error;
  std::string temp;
  std::string error = WriteTemporary(path, data, NewFileMode(), temp);
  if (!error.empty()) return error;
  // link() fails when the target exists, so a file that appeared meanwhile is never replaced.
  if (::link(temp.c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) {
      error = Errno("cannot create", path);
    } else {
      // Folders without hard links (some removable and network file systems): check, then rename.
      std::error_code ec;
      if (fs::exists(path, ec)) {
        errno = EEXIST;
        error = Errno("cannot create", path);
      } else {
        int rc = g_rename ? g_rename(temp.c_str(), path.c_str()) : std::rename(temp.c_str(), path.c_str());
        if (rc != 0) error = Errno("cannot create", path);
      }
    }
  }
  ::unlink(temp.c_str());
  if (error.empty()) {
    RemoveOrphanedTemporaries(path);
    SyncFolder(path);
  }
  return error;
}

bool ReadWholeFile(const fs::path& path, std::string& out) { return ReadWholeFile(path, out, nullptr); }

bool ReadWholeFile(const fs::path& path, std::string& out, std::string* error) {
  out.clear();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    if (error) *error = ec ? ec.message() : (fs::exists(path, ec) ? "not a regular file" : "no such file");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) out.append(buf, static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    if (error) *error = "read error";
    return false;
  }
  return true;
}

std::string WriteFileAtomic(const fs::path& path, std::span<const uint8_t> data) {
  return WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

}  // namespace skimlet

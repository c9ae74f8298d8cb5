#include "cli/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace skimlet::cli {

namespace {

bool g_reported = false;
bool g_readerGone = false;

void Report(int error) {
  if (error == EPIPE) {
    g_readerGone = true;
    return;
  }
  if (g_reported) return;
  g_reported = true;
  std::fprintf(stderr, "skimlet-cli: cannot write to standard output: %s\n",
               error != 0 ? std::strerror(error) : "write error");
}

}  // namespace

void GuardStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // Standard output opened for reading: a write fails with EBADF, as it would on the closed descriptor.
    int taken = ::open("/dev/null", fd == 2 ? O_WRONLY : O_RDONLY);
    if (taken >= 0 && taken != fd) {
      ::dup2(taken, fd);
      ::close(taken);
    }
  }
}

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

bool ReaderGone() { return g_readerGone; }

bool WriteStandardOutput(std::string_view data) {
  errno = 0;
  if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size()) {
    Report(errno);
    return false;
  }
  return StandardOutputOk();
}

int WriteOutputStatus(std::string_view data) { return WriteStandardOutput(data) || ReaderGone() ? 0 : 1; }

bool StandardOutputOk() {
  if (g_readerGone) return false;  // nothing more goes out, and that is no error
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Report(errno);
    return false;
  }
  return !g_reported && !g_readerGone;
}

int FinishStandardOutput(int status) {
  bool ok = StandardOutputOk();
  errno = 0;
  if (std::fclose(stdout) != 0 && ok) {
    Report(errno);
    ok = false;
  }
  return ok || status != 0 || (g_readerGone && !g_reported) ? status : 1;
}

}  // namespace skimlet::cli

// python-dbusmock's NetworkManager template on a private system bus, run by tests/backends/linux/nm_mock.py and
// driven line by line: Exec runs Python in the mock's scope, Eval answers the value of an expression. Start
// points DBUS_SYSTEM_BUS_ADDRESS at the private bus; the destructor stops the mock and the bus and unsets it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace skimlet::test {

class NmMockProcess {
public:
  enum class Started { kReady, kSkip, kFailed };

  NmMockProcess() = default;
  NmMockProcess(const NmMockProcess&) = delete;
  NmMockProcess& operator=(const NmMockProcess&) = delete;

  ~NmMockProcess() {
    using namespace std::chrono_literals;
    if (toMock_ >= 0) ::close(toMock_);  // end of input stops the mock and its bus
    if (fromMock_ >= 0) ::close(fromMock_);
    if (pid_ > 0) {
      int status = 0;
      for (int i = 0; i < 100 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
    }
    if (started_) ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }

  // Starts Script (nm_mock.py). kSkip when python3, python3-dbusmock or dbus-daemon is missing; Why says which.
  Started Start(const std::string& script, std::string& why) {
    using namespace std::chrono_literals;
    std::string python;
    for (const char* candidate : {"/usr/bin/python3", "/usr/local/bin/python3"})
      if (::access(candidate, X_OK) == 0) {
        python = candidate;
        break;
      }
    if (python.empty()) {
      why = "no python3";
      return Started::kSkip;
    }
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return Started::kFailed;
    if (::pipe2(out, O_CLOEXEC) != 0) {
      ::close(in[0]);
      ::close(in[1]);
      return Started::kFailed;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::string path = script;
    char* argv[] = {python.data(), path.data(), nullptr};
    int rc = ::posix_spawn(&pid_, python.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    toMock_ = in[1];
    fromMock_ = out[0];
    if (rc != 0) {
      pid_ = -1;
      why = "cannot start " + python;
      return Started::kFailed;
    }
    std::string first = ReadLine(30s);
    if (first.rfind("SKIP ", 0) == 0) {
      why = first.substr(5);
      return Started::kSkip;
    }
    if (first.rfind("READY ", 0) != 0) {
      why = first;
      return Started::kFailed;
    }
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", first.substr(6).c_str(), 1);
    started_ = true;
    return Started::kReady;
  }

  // The mock's answer to one line: "ok", "= <value>" or "! <error>".
  std::string Send(const std::string& line) {
    using namespace std::chrono_literals;
    std::string text = line + "\n";
    if (::write(toMock_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return "! cannot write";
    return ReadLine(20s);
  }

private:
  std::string ReadLine(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (auto nl = buffer_.find('\n'); nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return "! timed out";
      pollfd p{fromMock_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      ssize_t n = ::read(fromMock_, chunk, sizeof chunk);
      if (n <= 0) return "! the mock ended";
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  pid_t pid_ = -1;
  int toMock_ = -1, fromMock_ = -1;
  bool started_ = false;
  std::string buffer_;
};

}  // namespace skimlet::test

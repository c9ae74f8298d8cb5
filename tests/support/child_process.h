// A child process a test talks to line by line: started with its standard input and output on pipes, read
// with a time limit, ended when the object goes (closing its input first, then killing it if it lingers).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace skimlet::test {

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  ~ChildProcess() {
    using namespace std::chrono_literals;
    if (toChild_ >= 0) ::close(toChild_);  // end of input asks the child to stop
    if (fromChild_ >= 0) ::close(fromChild_);
    if (pid_ > 0) {
      int status = 0;
      for (int i = 0; i < 100 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
    }
  }

  // Starts Program with Args (Args[0] is the program's name for itself). False when it cannot be started.
  bool Start(const std::string& program, std::vector<std::string> args) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return false;
    if (::pipe2(out, O_CLOEXEC) != 0) {
      ::close(in[0]);
      ::close(in[1]);
      return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
    if (rc != 0) pid_ = -1;
    return rc == 0;
  }

  bool WriteLine(const std::string& line) {
    std::string text = line + "\n";
    return ::write(toChild_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }

  // The next line of the child's output without its line end; "! timed out" or "! the process ended" when
  // none comes.
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
      pollfd p{fromChild_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      ssize_t n = ::read(fromChild_, chunk, sizeof chunk);
      if (n <= 0) return "! the process ended";
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

 private:
  pid_t pid_ = -1;
  int toChild_ = -1, fromChild_ = -1;
  std::string buffer_;
};

}  // namespace skimlet::test

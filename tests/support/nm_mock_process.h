// python-dbusmock's NetworkManager template on a private system bus, run by tests/support/nm_mock.py and
// driven line by line: Exec runs Python in the mock's scope, Eval answers the value of an expression. Start
// points DBUS_SYSTEM_BUS_ADDRESS at the private bus; the destructor stops the mock and the bus and unsets it.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/child_process.h"

namespace skimlet::test {

class NmMockProcess {
 public:
  enum class Started { kReady, kSkip, kFailed };

  NmMockProcess() = default;
  NmMockProcess(const NmMockProcess&) = delete;
  NmMockProcess& operator=(const NmMockProcess&) = delete;

  ~NmMockProcess() {
    mock_.reset();  // end of input stops the mock and its bus
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
    mock_ = std::make_unique<ChildProcess>();
    if (!mock_->Start(python, {python, script})) {
      why = "cannot start " + python;
      return Started::kFailed;
    }
    std::string first = mock_->ReadLine(30s);
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
    if (!mock_ || !mock_->WriteLine(line)) return "! cannot write";
    return mock_->ReadLine(20s);
  }

 private:
  std::unique_ptr<ChildProcess> mock_;
  bool started_ = false;
};

}  // namespace skimlet::test

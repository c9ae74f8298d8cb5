#include "cli/stop_signals.h"

#include <csignal>

namespace skimlet::cli {

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnStopSignal(int signal) {
  if (g_stop) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  g_stop = 1;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() { return g_stop != 0; }

}  // namespace skimlet::cli

#include "StopSignals.h"

#include <csignal>

namespace {

// Only a lock-free atomic and a sig_atomic_t are touched in the handler: async-signal-safe.
std::atomic<bool> stopRequested{false};
volatile std::sig_atomic_t stopSignal = 0;
static_assert(std::atomic<bool>::is_always_lock_free);

void onStopSignal(int signal) {
  if (stopRequested.load()) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  stopSignal = signal;
  stopRequested.store(true);
}

}  // namespace

const std::atomic<bool>* cancelOnStopSignals() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGINT, SIGTERM}) {
    // A signal ignored on entry (a background job of a shell, nohup) stays ignored.
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  return &stopRequested;
}

void endByStopSignal() {
  const int signal = stopSignal;
  if (signal == 0) return;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

#include "temp_files.h"

#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <ctime>

namespace folios {

namespace {

// Fixed slots, so the handler reads nothing that a free could pull away.
// A slot is free (0), being filled or emptied (1), or holds a path (2).
constexpr int kSlots = 64;
struct Slot {
  std::atomic<int> state{0};
  char path[PATH_MAX];
};
Slot g_slots[kSlots];

// The signals that remove the files; the same ones are held back while a
// file is made.
constexpr int kRemovingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Threads between creating a temporary file and registering it. Each holds
// the signals back itself, so a signal taken meanwhile runs on another
// thread. That one first says the process is ending, so that no thread
// starts another file, then waits for those under way (a while at most)
// before it removes the files.
std::atomic<int> g_creating{0};
std::atomic<bool> g_ending{false};

extern "C" void RemoveAndReraise(int signal_number) {
  g_ending.store(true);
  for (int wait = 0; wait < 1000 && g_creating.load() > 0; ++wait) {
    struct timespec pause {0, 1000000};
    nanosleep(&pause, nullptr);
  }
  for (Slot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == 2) ::unlink(slot.path);
  }
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  raise(signal_number);
}

}  // namespace

void RegisterTemporaryFile(const std::string& path) {
  if (path.empty() || path.size() >= PATH_MAX) return;
  for (Slot& slot : g_slots) {
    int expected = 0;
    if (!slot.state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(2, std::memory_order_release);
    return;
  }
}

void ForgetTemporaryFile(const std::string& path) {
  if (path.empty()) return;
  for (Slot& slot : g_slots) {
    int expected = 2;
    if (slot.state.load(std::memory_order_acquire) != 2 || std::strcmp(slot.path, path.c_str()) != 0) continue;
    if (!slot.state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) continue;
    slot.path[0] = '\0';
    slot.state.store(0, std::memory_order_release);
    return;
  }
}

TemporaryFileSignalsHeld::TemporaryFileSignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal_number : kRemovingSignals) sigaddset(&held, signal_number);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
  g_creating.fetch_add(1);
  if (g_ending.load()) {
    // The process is being ended by a signal on another thread: a file
    // made now might be missed, so none is.
    g_creating.fetch_sub(1);
    for (;;) pause();
  }
}

TemporaryFileSignalsHeld::~TemporaryFileSignalsHeld() {
  g_creating.fetch_sub(1);
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void RemoveTemporaryFilesOnSignals() {
  for (int signal_number : kRemovingSignals) {
    struct sigaction old {};
    if (sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveAndReraise;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace folios

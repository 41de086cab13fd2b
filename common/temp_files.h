// Temporary files that must not outlive the process.
//
// Error paths remove their temporary files themselves; this covers the one
// way out they cannot see: SIGTERM, SIGINT or SIGHUP. A registered file is
// removed by the signal handler, which then ends the process as the signal
// would have.
#pragma once

#include <signal.h>

#include <string>

namespace folios {

// Remembers `path` for removal on a signal. Paths longer than the handler's
// slots, or more files than it has slots, are not remembered (the normal
// error paths still remove them). Safe to call from several threads.
void RegisterTemporaryFile(const std::string& path);

// Forgets `path` (after it was renamed into place or removed).
void ForgetTemporaryFile(const std::string& path);

// Holds back SIGTERM, SIGINT and SIGHUP for its lifetime, so that a file
// created and then registered, or renamed onto a registered name, cannot be
// left behind by a signal arriving in between; a signal held back is delivered when the object goes away. A
// signal taken meanwhile by another thread waits for every such object to go.
class TemporaryFileSignalsHeld {
 public:
  TemporaryFileSignalsHeld();
  ~TemporaryFileSignalsHeld();
  TemporaryFileSignalsHeld(const TemporaryFileSignalsHeld&) = delete;
  TemporaryFileSignalsHeld& operator=(const TemporaryFileSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// Installs the handlers for SIGTERM, SIGINT and SIGHUP. Front ends call it
// once at start-up; a signal whose action is "ignore" stays ignored.
void RemoveTemporaryFilesOnSignals();

}  // namespace folios

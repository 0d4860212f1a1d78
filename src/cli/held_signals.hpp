#pragma once

// Ctrl+C, SIGTERM and SIGHUP while the command-line tool talks to the radio. Ending the program
// in the middle of a write would leave the radio with part of its new configuration, so the
// first such signal only says so and is held until the transfer ends; a second one ends the
// program at once with a warning about what the radio may now hold.
namespace rcp::app {

// Fleet: the whole run of many writes; the run asks held() between radios and ends there.
// BackupBeforeWrite: the read before a write; a signal then means the write is not to start.
// WriteLanded: every byte of the write acknowledged; its closing pause and read-back remain.
enum class HeldTransfer { Read, Write, Fleet, BackupBeforeWrite, WriteLanded };

class HeldSignals {
 public:
  explicit HeldSignals(HeldTransfer transfer);
  // The signals act as before again.
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

  // The transfer goes on as another (the backup read done, the write starting).
  void becomes(HeldTransfer transfer);

  // The signal held during the transfer (0: none); the caller ends with it.
  int held() const;
};

// The exit code of a program ended by the signal.
inline int exitCodeOfSignal(int signal) {
  return 128 + signal;
}

}  // namespace rcp::app

#pragma once

#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/line_end.hpp"
#include "sim/virtual_radio.hpp"

namespace rcp::sim {

// Puts a VirtualRadio (or another far end of the line, such as a fleet of radios) behind a
// pseudo-terminal in real time: the programming tool opens the slave device as its serial port.
// The radio keeps a descriptor of the slave open, so the line stays up between the tool's
// sessions. Waiting is done in poll, until the next byte from the tool or the next moment the
// radio acts on its own (a burst ends, an answer is due), whichever comes first.
class PtyRadio {
 public:
  explicit PtyRadio(VirtualRadio& radio);
  // `burstGap` groups the received bytes of the trace into lines.
  PtyRadio(LineEnd& far, Micros burstGap);
  ~PtyRadio();
  PtyRadio(const PtyRadio&) = delete;
  PtyRadio& operator=(const PtyRadio&) = delete;

  // Creates the pseudo-terminal in raw mode; the error text says what failed.
  [[nodiscard]] std::optional<std::string> open();
  const std::string& slavePath() const { return slavePath_; }

  // Makes `path` a symbolic link to the slave (replacing an old link there); removed again when
  // this object goes.
  [[nodiscard]] std::optional<std::string> linkAs(const std::string& path);

  // One line per burst: milliseconds since start, '<' received or '>' sent, the bytes in hex.
  void traceTo(std::ostream* trace) { trace_ = trace; }
  // Runs after each completed bulk write of a single radio, once its last acknowledgement is out.
  void onBulkWrite(std::function<void()> callback) { onBulkWrite_ = std::move(callback); }

  // Serves until `stopFd` becomes readable (a signalfd or a pipe: it is polled, never read) or
  // the line fails. Serving runs on one thread per processor (two at most), each kept on its
  // processor, taking turns on the radio: whichever wakes first does what is due.
  void serve(int stopFd);

 private:
  static constexpr Micros kNever = std::numeric_limits<Micros>::max();
  // A serving thread: the descriptor that wakes it and the moment it sleeps until.
  struct Watcher {
    int wakeFd;
    Micros until;
  };

  Micros now() const;
  // Does what is due at `at`; when the next thing is due if nothing arrives.
  Micros step(Micros at);
  // The serving thread `self` sleeps until `next`; wakes the others that sleep longer.
  void plan(std::size_t self, Micros next);
  void finish();
  // Waits until `next`, a byte from the tool or a wake-up and does what is due then; false once
  // serving ends.
  bool watch(std::size_t self, int stopFd, Micros& next);
  void serveOn(std::size_t self, int stopFd);
  // Writes the trace lines queued so far.
  void writeTrace();
  void receiveFromTool(Micros at);
  void sendDue(Micros at);
  void flushTraceBurst();
  void traceLine(Micros at, char direction, const std::vector<std::uint8_t>& bytes);

  std::unique_ptr<RadioLineEnd> radioEnd_;  // when serving a single radio
  VirtualRadio* radio_ = nullptr;           // the single radio
  LineEnd& far_;
  Micros burstGap_;
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string link_;
  Micros startNs_ = 0;
  std::deque<VirtualRadio::Answer> outgoing_;
  std::ostream* trace_ = nullptr;
  std::string traceText_;  // lines not yet written
  std::vector<std::uint8_t> traceBurst_;
  Micros traceBurstStart_ = 0;
  Micros traceBurstLast_ = 0;
  std::function<void()> onBulkWrite_;
  int bulkWrites_ = 0;

  std::mutex mutex_;  // everything above, between the serving threads
  std::vector<Watcher> watchers_;
  bool done_ = false;
  std::mutex traceMutex_;  // the trace's writer
};

}  // namespace rcp::sim

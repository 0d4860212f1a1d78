#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/radio_identity.hpp"
#include "sim/radio_command.hpp"

namespace rcp::sim {

// Time on the virtual radio's side, in microseconds from an origin its owner chooses.
using Micros = std::int64_t;

// A radio stopped for a while and then going on, as a process stopped and resumed: from the
// n-th request it handles since it started (from 1, every command word, mode letter and chunk,
// refused or not, as VirtualRadio::handled() lists them) nothing is taken nor sent for `duration`;
// what arrived meanwhile is then taken at the line's pace and answered as usual, that request's
// answer first.
struct RadioPause {
  int atRequest = 1;
  Micros duration = 0;
};

// Misbehaviour for tests of the tool's failure paths.
struct RadioFaults {
  bool silent = false;                       // never sends anything
  std::optional<std::uint8_t> wrongLetter;   // answers "T" and "U" with this byte instead
  std::optional<int> ackChunks;              // acknowledges only the first k dump chunks
  std::optional<std::size_t> identityBytes;  // sends only this many identity bytes
  std::optional<std::size_t> answerDigits;   // cuts READ answers and the bulk digits to this
  bool garbageDigits = false;                // sends 'Z' for every digit it answers
  std::optional<int> skippedRead;            // leaves the n-th READ (from 1) unanswered
  std::optional<int> shortRead;              // answers the n-th READ (from 1) one digit short
  std::optional<int> silentAfterReads;       // after answering n READs, never sends again
  std::optional<int> silentAfterWrites;      // after taking n WRITEs, never sends again
  std::optional<RadioPause> pause;           // stopped for a while at a request, then going on
  // Bytes that a write (bulk chunk or WRITE) stores inverted, as a bad memory cell would.
  std::vector<std::uint16_t> corruptAddresses;
};

struct RadioTiming {
  // Bytes closer together than this belong to one burst.
  Micros burstGap = 3000;
  // Answers start this long after the last byte of the burst that asked for them.
  Micros processingDelay = 5000;
  // The line's pace: each byte is taken no sooner than this after the one before (a byte's time
  // at 9600 baud), however fast the bytes were handed over, so an answer never comes before the
  // request could have crossed a real line. 0 takes bytes as they come (fast unit tests).
  Micros byteTime = 1042;
};

// A radio as the programming tool sees it: a 1024-byte memory behind a byte-level protocol.
//
// Bytes are fed in with their arrival times. They form bursts (runs with gaps below
// RadioTiming::burstGap); the radio acts on a burst once it has ended, so a letter that arrives
// alone is a mode letter ("T", "Q", "U", "D"), while the same letter followed by more text is the
// start of a command word that a CR ends ("TXMD", "TC1", "U" CR). A command word that is a mode
// letter run together with a known command ("T" straight followed by "CH5" CR) is taken as both,
// and so is a letter straight followed by the wake byte ("Q" 0x91 "PROG" CR).
// 0x91 introduces a memory command: PROG, WRITE and READ are accepted only after one, either
// directly before the word or as a lone wake byte sent earlier. After "D" the radio takes 61
// chunks of 16 digits into 0x010 + 8i, acknowledging each; the chunks leave 0x0DC-0x0DF and
// 0x1F0-0x1F7 alone.
//
// The test state's commands (tests, channel, compander, VR1-VR4, the ten alignment values, the
// field-strength calibration) are obeyed only in the test state; elsewhere they are refused and
// change nothing. The values they set land where a later read finds them: VR1-VR4 and the
// compander in the half-bytes of 0x0DD-0x0DF, the alignment values in 0x2DD-0x2E6, a calibrated
// point as a nonzero mark in 0x2C5-0x2C6 (one bar) or 0x2C7-0x2C8 (five bars).
class VirtualRadio {
 public:
  static constexpr std::size_t kMemorySize = 1024;
  using Memory = std::array<std::uint8_t, kMemorySize>;

  enum class State { Idle, Programming, Test, TakingBulk };

  struct Received {
    std::uint8_t byte;
    Micros at;
  };
  // Bytes the radio sends, not before the given time.
  struct Answer {
    std::vector<std::uint8_t> bytes;
    Micros notBefore;
  };
  // One thing the radio understood (or refused): a command word, a mode letter or a chunk.
  struct Handled {
    Micros at;         // arrival of the byte that completed it
    std::string text;  // "PROG", "WRITE00070101", "T", "CH5", "chunk 12"
    bool accepted;
  };

  explicit VirtualRadio(const link::RadioIdentity& identity, RadioTiming timing = {});

  RadioFaults& faults() { return faults_; }
  void setTiming(const RadioTiming& timing) { timing_ = timing; }
  const RadioTiming& timing() const { return timing_; }

  Memory& memory() { return memory_; }
  const Memory& memory() const { return memory_; }
  const link::RadioIdentity& identity() const { return identity_; }

  // Bytes handed over at `at` (arrival times never go back); each is taken at `at` or one
  // RadioTiming::byteTime after the one before, whichever is later.
  void receive(std::span<const std::uint8_t> bytes, Micros at);
  // Time passes up to `now`: a burst whose gap has run out ends and is acted upon.
  void advance(Micros now);
  // When the burst being received ends if nothing more arrives.
  std::optional<Micros> burstEnd() const;
  // The answers queued since the last call, oldest first.
  std::vector<Answer> takeAnswers();

  State state() const { return state_; }
  const std::vector<Received>& received() const { return received_; }
  const std::vector<Handled>& handled() const { return handled_; }
  // How many bulk writes (all 61 chunks) have completed.
  int bulkWrites() const { return bulkWrites_; }
  // Forgets the received bytes and handled commands (a long-running radio keeps memory bounded).
  void clearRecords();
  // Clears the records once they hold more than a long-running radio should keep.
  void boundRecords();

 private:
  void take(std::uint8_t byte);
  void takeChunkDigit(char digit);
  void endBurst();
  void endWord();
  void execute(const std::string& word, bool introduced);
  void obey(const RadioCommand& command);
  void apply(const RadioCommand& command);
  void store(std::size_t address, std::uint8_t byte);
  void setHalfByte(std::uint16_t address, bool high, int value);
  void modeLetter(char letter);
  void answer(std::vector<std::uint8_t> bytes);
  std::vector<std::uint8_t> digitsOf(std::size_t from, std::size_t count) const;
  void note(std::string text, bool accepted);

  link::RadioIdentity identity_;
  RadioTiming timing_;
  RadioFaults faults_;
  Memory memory_{};
  State state_ = State::Idle;

  std::vector<Received> received_;
  std::vector<Handled> handled_;
  std::vector<Answer> answers_;

  bool inBurst_ = false;
  bool paced_ = false;  // a byte has been taken: the next keeps the line's pace after it
  Micros lastByteAt_ = 0;
  std::vector<std::vector<std::uint8_t>> burstAnswers_;

  std::string word_;         // command word received so far
  bool introduced_ = false;  // a 0x91 came before the word
  std::string chunk_;        // digits of the dump chunk being received
  int chunkIndex_ = 0;
  int bulkWrites_ = 0;
  int reads_ = 0;
  int writes_ = 0;
  int requests_ = 0;         // handled so far, for RadioFaults::pause
  Micros stoppedUntil_ = 0;  // a stopped radio takes nothing and sends nothing before this
};

}  // namespace rcp::sim

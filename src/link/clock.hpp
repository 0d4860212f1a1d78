#pragma once

#include <cstdint>

namespace rcp::link {

// Time as the transfers see it: a blocking pause and a millisecond count.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void pause(int ms) = 0;
  virtual std::int64_t nowMs() const = 0;
};

// Wall-clock time; pauses sleep.
class RealClock final : public Clock {
 public:
  RealClock();
  void pause(int ms) override;
  std::int64_t nowMs() const override;

 private:
  std::int64_t startNs_;
};

// Time that moves only when the program pauses or waits, so a whole transfer runs in
// milliseconds while every pause is still accounted for.
class VirtualClock final : public Clock {
 public:
  void pause(int ms) override { now_ += ms; }
  std::int64_t nowMs() const override { return now_; }
  void advanceTo(std::int64_t ms) {
    if (ms > now_) now_ = ms;
  }

 private:
  std::int64_t now_ = 0;
};

}  // namespace rcp::link

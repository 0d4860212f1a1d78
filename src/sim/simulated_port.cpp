#include "sim/simulated_port.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace rcp::sim {

namespace {

using link::PortTimings;
using Microseconds = std::chrono::microseconds;

constexpr Micros kMicrosPerMs = 1000;
constexpr Micros kGapUs = Microseconds(PortTimings::kByteGap).count();

std::int64_t ceilMs(Micros time) {
  return (time + kMicrosPerMs - 1) / kMicrosPerMs;
}

std::string shown(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (byte == 0x0D) {
      text += "<CR>";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "<%02X>", byte);
      text += hex;
    }
  }
  return text;
}

SimulatedPort::Event eventOf(SimulatedPort::Event::Kind kind, std::int64_t atMs) {
  SimulatedPort::Event event;
  event.kind = kind;
  event.atMs = atMs;
  return event;
}

}  // namespace

SimulatedPort::SimulatedPort(VirtualRadio& radio, link::VirtualClock& clock)
    : radioEnd_(std::make_unique<RadioLineEnd>(radio)), far_(*radioEnd_), clock_(clock) {}

SimulatedPort::SimulatedPort(LineEnd& far, link::VirtualClock& clock) : far_(far), clock_(clock) {}

Micros SimulatedPort::now() const {
  return clock_.nowMs() * kMicrosPerMs;
}

bool SimulatedPort::open(const std::string& device) {
  open_ = openable_;
  Event event = eventOf(Event::Kind::Open, clock_.nowMs());
  event.device = device;
  event.ok = open_;
  events_.push_back(event);
  return open_;
}

void SimulatedPort::close() {
  open_ = false;
  events_.push_back(eventOf(Event::Kind::Close, clock_.nowMs()));
}

void SimulatedPort::collectAnswers() {
  for (const VirtualRadio::Answer& answer : far_.takeAnswers()) {
    for (const std::uint8_t byte : answer.bytes) {
      toToolFreeAt_ = std::max(toToolFreeAt_, answer.notBefore) + kByteTime;
      incoming_.push_back({byte, toToolFreeAt_});
    }
  }
}

void SimulatedPort::runRadioUntil(Micros time) {
  far_.advance(time);
  collectAnswers();
}

void SimulatedPort::settle() {
  if (const auto end = far_.burstEnd()) runRadioUntil(std::max(*end, now()));
}

void SimulatedPort::dropArrivedBy(Micros time) {
  while (!incoming_.empty() && incoming_.front().at <= time) incoming_.pop_front();
}

void SimulatedPort::purgeBoth() {
  if (!open_) return;
  runRadioUntil(now());
  dropArrivedBy(now());
  events_.push_back(eventOf(Event::Kind::PurgeBoth, clock_.nowMs()));
}

void SimulatedPort::purgeReceive() {
  if (!open_) return;
  runRadioUntil(now());
  dropArrivedBy(now());
  events_.push_back(eventOf(Event::Kind::PurgeReceive, clock_.nowMs()));
}

bool SimulatedPort::write(std::span<const std::uint8_t> bytes) {
  Event event = eventOf(Event::Kind::Write, clock_.nowMs());
  event.bytes.assign(bytes.begin(), bytes.end());
  event.ok = open_;
  events_.push_back(event);
  if (!open_) return false;
  runRadioUntil(now());
  for (const std::uint8_t byte : bytes) {
    toRadioFreeAt_ = std::max(toRadioFreeAt_, now()) + kByteTime;
    far_.receive(std::span(&byte, 1), toRadioFreeAt_);
  }
  collectAnswers();
  return true;
}

std::size_t SimulatedPort::read(std::span<std::uint8_t> buffer) {
  Event event = eventOf(Event::Kind::Read, clock_.nowMs());
  event.asked = buffer.size();
  if (!open_) {
    event.endMs = event.atMs;
    events_.push_back(event);
    return 0;
  }
  const Micros start = now();
  const Micros total = start + Microseconds(PortTimings::readTimeout(buffer.size())).count();
  runRadioUntil(start);

  std::size_t got = 0;
  Micros last = start;
  Micros end = total;
  while (got < buffer.size()) {
    const Micros limit = got == 0 ? total : std::min(total, last + kGapUs);
    // Nothing more is written while the read waits, so a burst the radio is still receiving
    // ends on its own; its answers queue behind what is already on the line.
    while (incoming_.empty()) {
      const auto burstEnd = far_.burstEnd();
      if (!burstEnd || *burstEnd > limit) break;
      runRadioUntil(*burstEnd);
    }
    if (incoming_.empty() || incoming_.front().at > limit) {
      end = limit;
      break;
    }
    buffer[got++] = incoming_.front().byte;
    last = std::max(start, incoming_.front().at);
    incoming_.pop_front();
    end = last;
  }
  clock_.advanceTo(ceilMs(end));
  event.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
  event.endMs = clock_.nowMs();
  events_.push_back(event);
  return got;
}

std::vector<std::uint8_t> SimulatedPort::sent() const {
  std::vector<std::uint8_t> bytes;
  for (const Event& event : events_) {
    if (event.kind == Event::Kind::Write && event.ok) {
      bytes.insert(bytes.end(), event.bytes.begin(), event.bytes.end());
    }
  }
  return bytes;
}

std::string SimulatedPort::transcript() const {
  std::string text;
  for (const Event& event : events_) {
    text += std::to_string(event.atMs);
    switch (event.kind) {
      case Event::Kind::Open:
        text += " open " + event.device + (event.ok ? "" : " failed");
        break;
      case Event::Kind::Close:
        text += " close";
        break;
      case Event::Kind::PurgeBoth:
        text += " purge both";
        break;
      case Event::Kind::PurgeReceive:
        text += " purge receive";
        break;
      case Event::Kind::Write:
        text += " > " + shown(event.bytes) + (event.ok ? "" : " failed");
        break;
      case Event::Kind::Read:
        text += " read " + std::to_string(event.asked) + " -> " +
                std::to_string(event.bytes.size()) + " at " + std::to_string(event.endMs);
        break;
    }
    text += '\n';
  }
  return text;
}

}  // namespace rcp::sim

#include "sim/radio_fleet.hpp"

#include <algorithm>
#include <utility>

#include "link/port_timings.hpp"
#include "sim/memory_file.hpp"

namespace rcp::sim {

namespace {

constexpr Micros kByteTime = link::PortTimings::kByteTime.count();
// A changed memory is saved once the line has paused this long, so that writing the file never
// delays an answer the tool is waiting for.
constexpr Micros kSaveAfterPause = 100000;

}  // namespace

RadioFleet::RadioFleet(Setup setup, Report report)
    : setup_(std::move(setup)), report_(std::move(report)) {}

std::filesystem::path RadioFleet::memoryFile(int number) const {
  if (setup_.directory.empty()) return {};
  return setup_.directory / ("radio-" + std::to_string(number) + ".bin");
}

std::optional<int> RadioFleet::connected() const {
  if (!radio_) return std::nullopt;
  return number_;
}

void RadioFleet::receive(std::span<const std::uint8_t> bytes, Micros at) {
  advance(at);
  // Unplugged, the line ends in nothing.
  if (!radio_ || bytes.empty()) return;
  radio_->receive(bytes, at);
  lastActivity_ = std::max(lastActivity_, at);
}

void RadioFleet::advance(Micros now) {
  if (!radio_) {
    // Radio 1 comes when time first passes, so its announcement follows what the owner prints
    // before serving the line.
    const bool due = number_ == 0 ? setup_.count > 0 : connectAt_ && now >= *connectAt_;
    if (due) connect(number_ + 1);
    return;
  }
  radio_->advance(now);
  collect();
  radio_->boundRecords();
  if (unsaved() && !radio_->burstEnd() && now >= lastActivity_ + kSaveAfterPause) save();
  if (radio_->bulkWrites() > 0 && !radio_->burstEnd() && now >= lastActivity_ + setup_.quiet) {
    unplug(lastActivity_ + setup_.quiet);
    // The next radio may be due already when time jumped far ahead.
    advance(now);
  }
}

std::optional<Micros> RadioFleet::burstEnd() const {
  if (!radio_) return connectAt_;
  if (const auto end = radio_->burstEnd()) return end;
  if (unsaved()) return lastActivity_ + kSaveAfterPause;
  if (radio_->bulkWrites() > 0) return lastActivity_ + setup_.quiet;
  return std::nullopt;
}

bool RadioFleet::unsaved() const {
  return radio_ && !setup_.directory.empty() && radio_->memory() != saved_;
}

std::vector<VirtualRadio::Answer> RadioFleet::takeAnswers() {
  collect();
  return std::exchange(answers_, {});
}

void RadioFleet::save() {
  if (!radio_ || setup_.directory.empty()) return;
  saved_ = radio_->memory();
  const auto error = saveMemoryFile(memoryFile(number_), saved_);
  if (error && !saveFailed_) tell(*error, true);
  saveFailed_ = error.has_value();
}

void RadioFleet::connect(int number) {
  number_ = number;
  connectAt_.reset();
  radio_ = std::make_unique<VirtualRadio>(setup_.identity, setup_.timing);
  radio_->faults() = setup_.faults;
  saved_ = radio_->memory();
  tell("radio " + std::to_string(number_) + " of " + std::to_string(setup_.count) + " connected");
}

void RadioFleet::unplug(Micros at) {
  save();
  std::string line =
      "radio " + std::to_string(number_) + " of " + std::to_string(setup_.count) + " unplugged";
  if (!setup_.directory.empty()) line += ", its memory in " + memoryFile(number_).string();
  tell(line);
  radio_.reset();
  if (number_ < setup_.count) {
    connectAt_ = at + setup_.swap;
  } else {
    tell("all " + std::to_string(setup_.count) + " radios written; the line stays silent");
  }
}

void RadioFleet::collect() {
  if (!radio_) return;
  for (auto& answer : radio_->takeAnswers()) {
    // The line is busy until the answer's last byte is out.
    const auto length = static_cast<Micros>(answer.bytes.size());
    lastActivity_ = std::max(lastActivity_, answer.notBefore + length * kByteTime);
    answers_.push_back(std::move(answer));
  }
}

void RadioFleet::tell(const std::string& line, bool failure) const {
  if (report_) report_(line, failure);
}

}  // namespace rcp::sim

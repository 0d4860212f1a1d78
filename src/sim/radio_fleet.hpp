#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/radio_identity.hpp"
#include "sim/line_end.hpp"
#include "sim/virtual_radio.hpp"

namespace rcp::sim {

// Several radios of one model connected to the line one after another, as a technician
// programming a batch swaps them.
//
// Radio 1 is connected at the start. Once it has taken a complete bulk write and the line has
// then been quiet for `quiet` (so a read-back right after the write still reaches it), it is
// unplugged: nothing on the line reaches a radio and nothing answers. After `swap` the next one
// is connected with a blank memory, as a fresh virtual radio starts. After the last one has been
// unplugged the line stays silent.
//
// With a directory, radio k's memory is kept in <directory>/radio-k.bin, saved when a pause in
// the traffic follows a change (a tenth of a second; a bulk write has none until it ends) and
// when the radio is unplugged, so a killed process leaves what was written. A file that cannot be
// written is reported once until saving works again.
class RadioFleet final : public LineEnd {
 public:
  struct Setup {
    link::RadioIdentity identity{};
    int count = 1;
    RadioTiming timing;
    RadioFaults faults;  // every radio of the fleet has them
    Micros quiet = 1000000;
    Micros swap = 3000000;
    std::filesystem::path directory;  // empty: memories are not kept
  };
  // A line the fleet announces ("radio 2 of 5 connected"), or a failure to keep a memory.
  using Report = std::function<void(const std::string& line, bool failure)>;

  explicit RadioFleet(Setup setup, Report report = {});

  void receive(std::span<const std::uint8_t> bytes, Micros at) override;
  void advance(Micros now) override;
  // When the fleet next acts on its own: a burst ends, a memory is saved, a radio is unplugged
  // or the next one connected.
  std::optional<Micros> burstEnd() const override;
  std::vector<VirtualRadio::Answer> takeAnswers() override;

  // The number (from 1) of the radio on the line; nothing while none is.
  std::optional<int> connected() const;
  // The radio on the line, or null.
  VirtualRadio* radio() { return radio_.get(); }
  std::filesystem::path memoryFile(int number) const;
  // Saves the memory of the radio on the line (when memories are kept), e.g. before the
  // program ends.
  void save();

 private:
  void connect(int number);
  void unplug(Micros at);
  void collect();
  bool unsaved() const;
  void tell(const std::string& line, bool failure = false) const;

  Setup setup_;
  Report report_;
  std::unique_ptr<VirtualRadio> radio_;
  int number_ = 0;  // of the radio connected last
  VirtualRadio::Memory saved_{};
  bool saveFailed_ = false;
  Micros lastActivity_ = 0;
  std::optional<Micros> connectAt_;  // while unplugged with another radio to come
  std::vector<VirtualRadio::Answer> answers_;
};

}  // namespace rcp::sim

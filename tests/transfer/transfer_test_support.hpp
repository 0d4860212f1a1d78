#pragma once

// What the transfer tests share: the record of the line with the pauses between operations, and
// the progress dialog watched step by step.

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "settings/program_state.hpp"
#include "sim/simulated_port.hpp"

namespace rcp::test {

// A whole transfer on the virtual clock takes milliseconds of real time, where the real line's
// pauses add up to many seconds: the bound tells the two apart with room for a loaded machine
// (a quiet one runs it in under 50 ms); unoptimised and sanitizer builds get more.
#ifdef NDEBUG
inline constexpr std::chrono::milliseconds kTransferRealTime{1000};
#else
inline constexpr std::chrono::milliseconds kTransferRealTime{3000};
#endif

// What the tool did on the line, one command or read a line, with what led to it in front:
// "30 w 30 p > <91>WRITE01F90100<CR>" is a 30 ms pause, the wake byte, 30 ms, a receive purge
// and the command; "pp" purges both buffers. Pauses are the time the clock moved between the end
// of one operation and the start of the next, so the time the radio took to answer a read does
// not show. A run of dump chunks each sent, purged, waited for 30 ms and acknowledged shows as
// its count.
inline std::string lineText(const sim::SimulatedPort& port) {
  using Kind = sim::SimulatedPort::Event::Kind;
  std::vector<std::string> lines;
  std::string lead;
  std::int64_t previousEnd = -1;
  for (const auto& e : port.events()) {
    if (previousEnd >= 0 && e.atMs > previousEnd)
      lead += std::to_string(e.atMs - previousEnd) + " ";
    previousEnd = e.kind == Kind::Read ? e.endMs : e.atMs;
    std::string shown;
    for (const std::uint8_t b : e.bytes)
      shown += b == 0x0D ? "<CR>" : b == 0x91 ? "<91>" : std::string(1, static_cast<char>(b));
    if (e.kind == Kind::PurgeReceive) {
      lead += "p ";
    } else if (e.kind == Kind::PurgeBoth) {
      lead += "pp ";
    } else if (e.kind == Kind::Write && shown == "<91>") {
      lead += "w ";
    } else if (e.kind == Kind::Write) {
      lines.push_back(lead + "> " + shown);
      lead.clear();
    } else if (e.kind == Kind::Read) {
      lines.push_back(lead + "read " + std::to_string(e.asked) + " -> " +
                      std::to_string(e.bytes.size()));
      lead.clear();
    }
  }
  if (!lead.empty()) lines.push_back(lead);

  static const std::regex chunk("> [0-9A-F]{16}");
  std::string out;
  int chunks = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + 1 < lines.size() && std::regex_match(lines[i], chunk) &&
        lines[i + 1] == "p 30 read 1 -> 1") {
      ++chunks;
      ++i;
      continue;
    }
    if (chunks) out += "(" + std::to_string(chunks) + " chunks acknowledged)\n";
    chunks = 0;
    out += lines[i] + '\n';
  }
  if (chunks) out += "(" + std::to_string(chunks) + " chunks acknowledged)\n";
  return out;
}

// Every position the progress bar takes while the dialog is open. The bar's range is widened so
// that an overshoot past 100 would show instead of being clamped away.
struct ProgressWatch {
  std::vector<int> positions;

  explicit ProgressWatch(settings::ProgramState& state) {
    ui::Form& dialog = *state.writeData;
    dialog.setRange("WriteProgressBar", 0, 1000);
    dialog.addObserver([this, &dialog](const ui::Control* c, ui::Property what) {
      if (c && c->name == "WriteProgressBar" && what == ui::Property::Value && dialog.isShowing())
        positions.push_back(c->value);
    });
  }
  int peak() const {
    return positions.empty() ? 0 : *std::max_element(positions.begin(), positions.end());
  }
};

}  // namespace rcp::test

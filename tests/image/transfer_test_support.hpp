#pragma once

// What the transfer tests share: the record of the line with the pauses between operations, and
// the progress dialog watched step by step.

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "settings/program_state.hpp"
#include "sim/simulated_port.hpp"

namespace rcp::test {

// One operation a line, as the transcript shows it, preceded by "[n] " when the clock moved n ms
// between the end of the previous operation and this one: the pauses show, the time the radio
// took to answer a read does not. A read shows as "read N -> M".
inline std::vector<std::string> lineRecord(const sim::SimulatedPort& port) {
  using Kind = sim::SimulatedPort::Event::Kind;
  std::vector<std::string> lines;
  std::int64_t previousEnd = -1;
  for (const auto& e : port.events()) {
    std::string line;
    if (previousEnd >= 0 && e.atMs > previousEnd)
      line = "[" + std::to_string(e.atMs - previousEnd) + "] ";
    previousEnd = e.kind == Kind::Read ? e.endMs : e.atMs;
    switch (e.kind) {
      case Kind::PurgeBoth:
        line += "purge both";
        break;
      case Kind::PurgeReceive:
        line += "purge receive";
        break;
      case Kind::Write:
        line += "> ";
        for (const std::uint8_t b : e.bytes) {
          if (b == 0x0D)
            line += "<CR>";
          else if (b == 0x91)
            line += "<91>";
          else
            line += static_cast<char>(b);
        }
        break;
      case Kind::Read:
        line += "read " + std::to_string(e.asked) + " -> " + std::to_string(e.bytes.size());
        break;
      case Kind::Open:
      case Kind::Close:
        line += "open or close";
        break;
    }
    lines.push_back(line);
  }
  return lines;
}

// The same as one text, with each run of dump chunks sent and acknowledged in the one way the
// write sends them (the sixteen digits, a receive purge, 30 ms, a one-byte read that got its
// byte) shown as a count.
inline std::string lineText(const sim::SimulatedPort& port) {
  static const std::regex chunk(R"((\[\d+\] )?> [0-9A-F]{16})");
  const std::vector<std::string> lines = lineRecord(port);
  std::string out;
  int chunks = 0;
  const auto flush = [&] {
    if (chunks) out += "(" + std::to_string(chunks) + " chunks acknowledged)\n";
    chunks = 0;
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + 2 < lines.size() && std::regex_match(lines[i], chunk) &&
        lines[i + 1] == "purge receive" && lines[i + 2] == "[30] read 1 -> 1") {
      ++chunks;
      i += 2;
      continue;
    }
    flush();
    out += lines[i] + '\n';
  }
  flush();
  return out;
}

// The line record with each operation that only prepares a command (a purge, the lone wake
// byte, a pause) joined onto the line of the command or read it leads to, and dump-chunk runs
// counted: "30 w 30 p > <91>WRITE01F90100<CR>" is a 30 ms pause, the wake byte, 30 ms, a receive
// purge and the command; "pp" purges both buffers.
inline std::string compactLineText(const sim::SimulatedPort& port) {
  static const std::regex paused(R"(\[(\d+)\] (.*))");
  std::istringstream lines(lineText(port));
  std::string out;
  std::string lead;
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch m;
    if (std::regex_match(line, m, paused)) {
      lead += m[1].str() + " ";
      line = m[2].str();
    }
    if (line == "purge receive") {
      lead += "p ";
    } else if (line == "purge both") {
      lead += "pp ";
    } else if (line == "> <91>") {
      lead += "w ";
    } else {
      out += lead + line + '\n';
      lead.clear();
    }
  }
  if (!lead.empty()) out += lead + '\n';
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

// The service history at its size limit: what recording one event costs (the database opened,
// the event written in its transaction, closed, as each transfer does), how long a filtered
// listing of 100,000 events takes, and how large the database of 100,000 events is.
//
//   history_bench [EVENTS] [FOLDER]   EVENTS defaults to 100000; the database is made in FOLDER
//                                     (default: a new folder under the temporary folder, removed
//                                     afterwards).
//
// Measure the Release build. Each event carries a whole configuration: the data file a save of a
// fresh record writes with a backup's memory section beside it (about 6 KB) and the 1024-byte
// image a write of it sends, each event's with its own individual number and values.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "history/history_database.hpp"
#include "image/write_image.hpp"
#include "program/offline_program.hpp"
#include "safety/history_record.hpp"

namespace {

namespace fs = std::filesystem;
using rcp::history::Event;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Configuration {
  std::string text;
  std::vector<std::uint8_t> image;
};

// The fresh record as a save writes it, with a backup's memory lines, and the image its write
// sends.
Configuration baseConfiguration() {
  rcp::app::OfflineProgram program;
  Configuration base;
  base.text = rcp::app::recordText(program.state());
  const auto encoded = rcp::image::encodeWrite(program.state(), {});
  const auto* image = std::get_if<rcp::image::WriteImage>(&encoded);
  base.image = image ? rcp::app::imageBytes(image->memory) : std::vector<std::uint8_t>(1024);
  base.text += "[RadioRead]\r\n";
  for (std::size_t at = 0; at < 1024; at += 128) {
    char key[16];
    std::snprintf(key, sizeof key, "Memory%03zX=", at);
    base.text += key;
    for (std::size_t i = at; i < at + 128; ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", base.image[i]);
      base.text += hex;
    }
    base.text += "\r\n";
  }
  return base;
}

Event eventNumber(const Configuration& base, int n) {
  Event e;
  e.unixTime = 1767222000 + static_cast<std::int64_t>(n) * 600;
  e.time = rcp::history::localTimeText(e.unixTime);
  e.user = "tech";
  e.device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  e.identity = "RCP33H HX33  V2.10";
  e.model = n % 3 ? "HX33" : "HX34s";
  e.numberBefore = std::to_string(3262000000LL + n % 5000);
  e.numberAfter = e.numberBefore;
  e.operation = static_cast<rcp::history::Operation>(n % 4);
  e.result = static_cast<rcp::history::Result>(n % 3);
  e.version = "3.9";
  e.dataFile = base.text + "Indivol=" + e.numberAfter + "\r\nTA=" + std::to_string(n % 250) +
               "\r\nStartUp-Infomation=Fleet " + std::to_string(n % 97) + "\r\n";
  e.image = base.image;
  for (int i = 0; i < 12; ++i)
    e.image[static_cast<std::size_t>((n * 37 + i * 83) % 1024)] = static_cast<std::uint8_t>(n + i);
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  const int events = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
  fs::path folder;
  bool remove = false;
  if (argc > 2) {
    folder = argv[2];
  } else {
    std::string pattern = (fs::temp_directory_path() / "history-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    folder = pattern;
    remove = true;
  }
  const fs::path file = folder / "history.sqlite";
  const Configuration base = baseConfiguration();
  std::printf("events: %d, configuration %zu bytes of text and %zu of image\n", events,
              base.text.size(), base.image.size());

  // Filling: one connection, one transaction an event (a database already there from an earlier
  // run in FOLDER is taken as it is).
  const auto filling = Clock::now();
  std::error_code exists;
  if (!fs::exists(file, exists)) {
    rcp::history::HistoryDatabase database(file);
    for (int n = 0; n < events; ++n) {
      Event e = eventNumber(base, n);
      database.record(e);
    }
  }
  const double fillMs = msSince(filling);
  std::printf("filled in %.1f s (%.3f ms an event on an open database)\n", fillMs / 1000,
              fillMs / events);

  // Recording as a transfer does: open, one event, close.
  std::vector<double> record;
  for (int n = 0; n < 200; ++n) {
    const auto start = Clock::now();
    rcp::history::HistoryDatabase database(file);
    Event e = eventNumber(base, events + n);
    database.record(e);
    record.push_back(msSince(start));
  }
  std::sort(record.begin(), record.end());
  std::printf("record one event (open, write, close): median %.2f ms, max %.2f ms\n",
              record[record.size() / 2], record.back());

  rcp::history::HistoryDatabase database(file);
  struct Listing {
    const char* name;
    rcp::history::Filter filter;
  };
  std::vector<Listing> listings(4);
  listings[0] = {"--number", {}};
  listings[0].filter.number = "3262001203";
  listings[1] = {"--model HX34s --since (last tenth)", {}};
  listings[1].filter.model = "HX34s";
  listings[1].filter.since = 1767222000 + static_cast<std::int64_t>(events) * 540;
  listings[2] = {"--result failed", {}};
  listings[2].filter.result = rcp::history::Result::Failed;
  listings[3] = {"no filter", {}};
  for (const Listing& listing : listings) {
    std::vector<double> times;
    std::vector<double> cpu;
    std::size_t found = 0;
    for (int run = 0; run < 5; ++run) {
      const auto start = Clock::now();
      const std::clock_t cpuStart = std::clock();
      found = database.list(listing.filter).size();
      times.push_back(msSince(start));
      cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    // On a machine shared with other work the processor time tells the listing's own cost.
    std::printf("list %-36s %7zu events, median %.1f ms (processor %.1f ms), max %.1f ms\n",
                listing.name, found, times[times.size() / 2], cpu[cpu.size() / 2], times.back());
  }
  std::error_code ec;
  const auto size = fs::file_size(file, ec) + fs::file_size(file.string() + "-wal", ec);
  std::printf("database: %.1f MB for %d events (%.0f bytes an event)\n", size / 1e6, events + 200,
              static_cast<double>(size) / (events + 200));
  if (remove) fs::remove_all(folder, ec);
  return 0;
}

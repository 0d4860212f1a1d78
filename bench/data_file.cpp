// Saving and opening a full data file: every key written (all forty system labels in use, the
// talk-around group, the dynamic group and the PTT switch shown), through the whole program on
// a virtual clock without a radio.
//
//   data_file [RUNS]   times RUNS saves and RUNS opens (default 200) and prints the minimum,
//                      median and maximum in milliseconds.
//
// Measure the Release build. Each save rewrites the file in place (read, update, write to a
// temporary file, rename); the opens alternate between two files that differ in channel
// spacing, scheme and every menu switch, so each open runs the click rules it would in use. The
// same work on documents in memory shows what the disk adds.

#include "settings/data_file.hpp"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/ini_profile.hpp"
#include "link/port.hpp"
#include "program/program.hpp"
#include "settings/record.hpp"
#include "window/bind.hpp"

namespace {

namespace fs = std::filesystem;
using rcp::settings::ProgramState;

class QuietDialogs final : public rcp::ui::Dialogs {
 public:
  rcp::ui::MessageResult message(const rcp::ui::Message&) override {
    return rcp::ui::MessageResult::Ok;
  }
  void showModal(rcp::ui::Form& form) override {
    form.show();
    form.close();
  }
  std::optional<std::string> openFile(const rcp::ui::FileDialogRequest&) override { return {}; }
  std::optional<std::string> saveFile(const rcp::ui::FileDialogRequest&) override { return {}; }
};

class NoScreen final : public rcp::ui::Screen {
 public:
  void formCreated(rcp::ui::Form&) override {}
  void repaint(const rcp::ui::Form&) override {}
  void setBusy(bool) override {}
  void setApplicationTitle(const std::string&) override {}
  void quit() override {}
};

// A record whose every key is written; `variant` flips the spacing, the scheme and the menus.
void fillRecord(ProgramState& state, bool variant) {
  rcp::settings::Record record(state);
  rcp::ui::Form& form = *state.main;
  record.set("ChannelSpace", std::int64_t{variant ? 125 : 250});
  record.set("DiallingScheme", std::string(variant ? "CPSX" : "MPT1343"));
  form.fire(variant ? "All_NO" : "All_OK", rcp::ui::Event::Click);
  form.fire("Label48", rcp::ui::Event::DblClick);
  form.fire("Label51", rcp::ui::Event::DblClick);
  record.set("Talk", true);
  record.set("DynaCode", true);
  record.set("DynaGroup", std::string("3265500999"));
  for (int n = 1; n <= 8; ++n)
    record.set("Group" + std::to_string(n), std::string("32655009") + char('0' + n));
  for (int n = 0; n <= 9; ++n)
    record.set("PhoneNumber" + std::to_string(n), "0755888800" + std::to_string(n));
  for (int n = 1; n <= 50; ++n)
    record.set("Hunt" + std::string(n < 10 ? "0" : "") + std::to_string(n), std::to_string(n));
  for (std::size_t i = 0; i < state.values.systemLabels.size(); ++i)
    state.values.systemLabels[i] = {static_cast<std::uint32_t>(i + 1),
                                    4000000000u + static_cast<std::uint32_t>(i)};
  for (std::size_t i = 0; i < state.values.otherGroups.size(); ++i)
    state.values.otherGroups[i] = 32620900u + static_cast<std::uint32_t>(i);
}

double msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  std::printf("%-34s min %7.3f  median %7.3f  max %7.3f ms\n", what, ms.front(), median, ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const fs::path dir =
      fs::temp_directory_path() / ("rcp520-bench-data-file-" + std::to_string(::getpid()));
  fs::create_directories(dir);

  rcp::link::VirtualClock clock;
  rcp::link::NoPort port;
  QuietDialogs dialogs;
  NoScreen screen;
  rcp::app::Program program(rcp::app::Services{port, clock, dialogs, screen, dir / "Com.ini"});
  rcp::app::startWithWindow(program);
  ProgramState& state = program.state();

  // Two full files to open in turn.
  const fs::path files[] = {dir / "a.ini", dir / "b.ini"};
  for (int i = 0; i < 2; ++i) {
    fillRecord(state, i == 1);
    if (rcp::settings::saveDataFile(state, files[i])) {
      std::fprintf(stderr, "cannot write %s\n", files[i].c_str());
      return 1;
    }
  }
  std::printf("a full data file: %ju bytes\n",
              static_cast<std::uintmax_t>(fs::file_size(files[0])));

  // The same without the disk: the record into a document already holding the file, and back.
  rcp::link::IniDocument documents[] = {rcp::link::loadIniFile(files[0]).document,
                                        rcp::link::loadIniFile(files[1]).document};
  std::vector<double> saves, opens, savesInMemory, opensInMemory;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    const auto saved = rcp::settings::saveDataFile(state, files[1]);
    saves.push_back(msSince(start));
    start = std::chrono::steady_clock::now();
    const auto opened = rcp::settings::openDataFile(state, files[i % 2]);
    opens.push_back(msSince(start));
    if (saved || opened) {
      std::fprintf(stderr, "run %d failed: %s\n", i + 1,
                   (saved ? *saved : *opened).message.c_str());
      return 1;
    }
    start = std::chrono::steady_clock::now();
    rcp::settings::saveRecord(state, documents[1]);
    savesInMemory.push_back(msSince(start));
    start = std::chrono::steady_clock::now();
    const auto reopened = rcp::settings::openRecord(state, documents[(i + 1) % 2]);
    opensInMemory.push_back(msSince(start));
    if (reopened) return 1;
  }
  std::printf("%d runs\n", runs);
  report("save (in place, atomic):", saves);
  report("open (alternating two files):", opens);
  report("save into a document in memory:", savesInMemory);
  report("open from a document in memory:", opensInMemory);
  fs::remove_all(dir);
  return 0;
}

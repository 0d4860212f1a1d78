#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "program/program.hpp"
#include "settings/program_state.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

// What the fuzz targets share: a whole program on the test fakes (dialogs that answer "OK" and
// cancel file dialogs unless told a name, a screen that shows nothing), a virtual clock and an
// in-process virtual radio, and one scratch folder per process for the files a run writes.
namespace rcp::fuzz {

// The scratch folder, made on first use and removed when the process ends normally.
inline const test::TempDir& scratch() {
  static const test::TempDir folder;
  return folder;
}

inline void writeFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Ends the run as a finding: libFuzzer reports the abort with the stack and keeps the input.
[[noreturn]] inline void finding(const std::string& what) {
  std::fprintf(stderr, "FINDING: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// A started program, fresh for every run so that no run depends on the one before.
struct HeadlessProgram {
  test::FakeDialogs dialogs;
  test::FakeScreen screen;
  link::VirtualClock clock;
  sim::VirtualRadio radio;
  sim::SimulatedPort port{radio, clock};
  app::Program program;

  explicit HeadlessProgram(std::string_view model = "HX33")
      : radio(*sim::identityOfModel(model)),
        program(app::Services{port, clock, dialogs, screen, scratch() / "Com.ini"}) {
    app::startWithWindow(program);
  }
  settings::ProgramState& state() { return program.state(); }
};

}  // namespace rcp::fuzz

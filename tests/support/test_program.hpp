#pragma once

#include "app/program.hpp"
#include "settings/record.hpp"
#include "support/fake_services.hpp"

namespace rcp::test {

// A whole program on fake services, started as at start-up.
struct TestProgram {
  FakeDialogs dialogs;
  FakeScreen screen;
  RecordingPort port;
  link::VirtualClock clock;
  app::Program program{app::Services{port, clock, dialogs, screen}};

  explicit TestProgram(bool start = true) {
    if (start) program.start();
  }
  settings::ProgramState& state() { return program.state(); }
  ui::Form& main() { return *program.state().main; }
  settings::Record record() { return settings::Record(program.state()); }
};

}  // namespace rcp::test

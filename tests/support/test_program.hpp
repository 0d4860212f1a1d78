#pragma once

#include <string>

#include "program/program.hpp"
#include "settings/record.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::test {

// A whole program on fake dialogs and screen, a virtual clock and an in-process virtual radio,
// with a Com.ini of its own, and sysfs, /dev and /proc of its own for the device list and the
// port doctor (empty until a test fills them, see FakeSystem).
struct TestProgram {
  TempDir dir;
  FakeDialogs dialogs;
  FakeScreen screen;
  link::VirtualClock clock;
  sim::VirtualRadio radio;
  sim::SimulatedPort port{radio, clock};
  app::Program program{app::Services{port, clock, dialogs, screen, dir / "Com.ini",
                                     link::SystemRoots{dir / "sys", dir / "dev", dir / "proc"}}};

  explicit TestProgram(bool start = true, std::string_view model = "HX33")
      : radio(*sim::identityOfModel(model)) {
    if (start) this->start();
  }
  // The program started with the window's commands bound, as the desktop tool starts it.
  void start() { app::startWithWindow(program); }
  settings::ProgramState& state() { return program.state(); }
  ui::Form& main() { return *program.state().main; }
  settings::Record record() { return settings::Record(program.state()); }

  // Everything the program tried to send since the last clear, sent or not.
  std::string written() const {
    std::string out;
    for (const auto& e : port.events())
      if (e.kind == sim::SimulatedPort::Event::Kind::Write)
        out.append(e.bytes.begin(), e.bytes.end());
    return out;
  }
};

}  // namespace rcp::test

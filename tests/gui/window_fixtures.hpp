#pragma once

// The desktop program's window started for a test, in a folder of its own, on the virtual clock:
// over a port that only records (WindowOnFakes), or over one virtual radio on a simulated line
// with its boxes answered as a script or a person's keys say (WindowOnRadio).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <string>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/scripted_qt_dialogs.hpp"
#include "program/program.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {

class WindowOnFakes : public ::testing::Test {
 protected:
  WindowOnFakes() : program(app::Services{port, clock, dialogs, screen, folder / "Com.ini"}) {
    app::startWithWindow(program);
    main = screen.findView(program.mainForm());
  }

  test::RecordingPort port;
  link::VirtualClock clock;
  test::FakeDialogs dialogs;
  QtScreen screen;
  test::TempDir folder;
  app::Program program;
  FormView* main = nullptr;
};

class WindowOnRadio : public ::testing::Test {
 protected:
  // `backups`: the backups folder, below the test's own folder.
  explicit WindowOnRadio(const std::filesystem::path& backups)
      : program(services(folder / backups)) {
    app::startWithWindow(program);
    dialogs.messages.clear();
    main = screen.findView(program.mainForm());
    main->activateWindow();
    QCoreApplication::processEvents();
    port.settle();
    port.clearEvents();
  }

  // Every byte the program sent, in order.
  std::string written() {
    std::string out;
    for (const auto& e : port.events())
      if (e.kind == sim::SimulatedPort::Event::Kind::Write)
        out.append(e.bytes.begin(), e.bytes.end());
    return out;
  }

  link::VirtualClock clock;
  sim::VirtualRadio radio{*sim::identityOfModel("HX77")};
  sim::SimulatedPort port{radio, clock};
  test::TempDir folder;
  QtScreen screen;
  ScriptedQtDialogs dialogs{screen};
  app::Program program;
  FormView* main = nullptr;

 private:
  app::Services services(const std::filesystem::path& backups) {
    app::Services s{port, clock, dialogs, screen, folder / "Com.ini"};
    s.backups = backups;
    return s;
  }
};

}  // namespace rcp::gui

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/port.hpp"
#include "link/system_roots.hpp"
#include "program/application_title.hpp"
#include "settings/program_state.hpp"
#include "ui/dialogs.hpp"
#include "ui/form.hpp"
#include "ui/screen.hpp"

namespace rcp::app {

// The platform the program runs on, handed in by the front end (or by a test).
struct Services {
  link::Port& port;
  link::Clock& clock;
  ui::Dialogs& dialogs;
  ui::Screen& screen;
  std::filesystem::path comIni = link::comIniPath();
  // Where the serial devices are listed and the port doctor looks.
  link::SystemRoots system = {};
  // The device every port name stands for: the command line opens its own (its --port) whatever
  // the port name. Empty: the device Com.ini gives the port name.
  std::string device = {};
  // Where every successful read keeps a copy of what it brought (see backups.hpp).
  std::filesystem::path backups = {};
  // No radio is attached: start-up neither opens a port nor greets (an offline program).
  bool offline = false;
  // The service history every transfer records its event in (see history_record.hpp).
  std::filesystem::path history = {};
};

// Owns everything program-wide: the windows, the settings record and working values, the
// radio identity and the services. There is one per run and no global state.
class Program {
 public:
  explicit Program(Services services);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up: the application title, the main window (its creation opens the port and greets
  // the radio; its first showing leaves the test state and applies the full menu preset), then
  // the other windows.
  void start();

  ui::Form& mainForm();
  settings::ProgramState& state();

 private:
  std::unique_ptr<settings::ProgramState> state_;
  bool offline_ = false;
};

}  // namespace rcp::app

#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "link/system_roots.hpp"
#include "settings/working_values.hpp"
#include "ui/dialogs.hpp"
#include "ui/form.hpp"
#include "ui/screen.hpp"

namespace rcp::settings {

// The three panels of the main window's status bar.
enum class StatusPanel { Maker = 0, Identity = 1, State = 2 };

// Everything program-wide that rules, transfers and files work on: the windows (the main window
// holds most of the settings record in its controls), the working values, the radio link's own
// values and the platform services. Owned by the program; there is no global state.
struct ProgramState {
  ProgramState(link::Port& port, link::Clock& clock, ui::Dialogs& dialogs, ui::Screen& screen)
      : port(port), clock(clock), dialogs(dialogs), screen(screen) {}

  link::Port& port;
  link::Clock& clock;
  ui::Dialogs& dialogs;
  ui::Screen& screen;

  // What other parts of the program ask of the main window's frame.
  void showStatus(StatusPanel panel, std::string text);
  void repaintStatusBar();
  void setCaption(std::string caption);
  // The serial device the port opens for the port name `portName`.
  std::string portDevice() const;

  // The windows, created at start-up in this order.
  std::unique_ptr<ui::Form> main;
  std::unique_ptr<ui::Form> password;
  std::unique_ptr<ui::Form> error1;
  std::unique_ptr<ui::Form> comSet;
  std::unique_ptr<ui::Form> writeData;
  std::unique_ptr<ui::Form> version;
  std::unique_ptr<ui::Form> simplexSet;
  std::unique_ptr<ui::Form> otherGrpSet;
  std::unique_ptr<ui::Form> sysLableform;
  // Programming a fleet ("批量写频").
  std::unique_ptr<ui::Form> fleet;
  // The service history's events ("历史记录").
  std::unique_ptr<ui::Form> historyDialog;

  WorkingValues values;

  // The port-settings file and the port name read from it.
  std::filesystem::path comIni;
  std::string portName = "COM2";
  // Where the port dialog finds the serial devices and the port doctor looks (a fake tree in
  // tests).
  link::SystemRoots system;
  // The device every port name stands for (the command line's --port); empty: Com.ini's.
  std::string device;
  // The folder every successful read keeps its backup in; empty: no backups are kept.
  std::filesystem::path backups;
  // The service history's database every transfer records its event in; empty: none is kept.
  std::filesystem::path history;
  // The fleet run this program writes a radio of (its id in the history), 0 for none: the run
  // records each radio's write itself.
  std::int64_t fleetRun = 0;
  // For a program working offline for the window (reading a backup or a read-back without
  // touching the window's fields): the window whose progress dialog shows its transfers.
  ProgramState* progressOn = nullptr;
  // The record as a data file would hold it when it was last opened, saved, read or written:
  // what the exit compares with before it asks to save (see app/unsaved_changes.hpp).
  std::string keptRecord;
  // The whole-number keys the last open took as other numbers (a value above 2^32 wraps, a text
  // that is no number is 0), by field: the file's text and the number it became. The write's
  // check refuses such a field while it still holds that number.
  struct OpenedAsOther {
    std::string text;
    std::int64_t number = 0;
  };
  std::map<std::string, OpenedAsOther> openedAsOther;
  // The 18-byte answer to the greeting; a zero byte after it so it reads as text.
  std::array<std::uint8_t, 18> radioIdentity{};
};

}  // namespace rcp::settings

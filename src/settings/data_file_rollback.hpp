#pragma once

#include <vector>

#include "settings/program_state.hpp"
#include "ui/control.hpp"

namespace rcp::settings {

// What an open can change, taken before it sets anything and put back when it fails part-way:
// every control of the main window and the working values. Putting a control back goes through
// the window, so its view follows; the rules that fire on the way may change other controls,
// which the next pass puts back in turn.
class OpenRollback {
 public:
  explicit OpenRollback(ProgramState& state);
  void restore();

 private:
  // Sets each property of `control` that differs from the saved one; false if none differed.
  bool putBack(const ui::Control& saved);

  ProgramState& state_;
  std::vector<ui::Control> controls_;
  WorkingValues values_;
};

}  // namespace rcp::settings

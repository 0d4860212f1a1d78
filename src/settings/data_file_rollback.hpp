#pragma once

#include <deque>

#include "settings/program_state.hpp"
#include "ui/control.hpp"

namespace rcp::settings {

// What an open can change, taken before it sets anything and put back when it fails part-way:
// every control of the main window and the working values. Putting back fires no rule, so what
// comes back is exactly what was there.
class OpenRollback {
 public:
  explicit OpenRollback(ProgramState& state)
      : state_(state), controls_(state.main->snapshot()), values_(state.values) {}
  void restore() {
    state_.main->restore(controls_);
    state_.values = values_;
  }

 private:
  ProgramState& state_;
  std::deque<ui::Control> controls_;
  WorkingValues values_;
};

}  // namespace rcp::settings

#pragma once

#include "settings/program_state.hpp"

// Rules of the call rights, counters and timers, the phone book, the personal data and the
// appendix tab's feature fields (the menu presets have their own file).
namespace rcp::rules {

void bindCallOptionRules(settings::ProgramState& state);

// Restores the nineteen counters and timers to their start values, in the radio's order.
void DefaultClick(settings::ProgramState& state);
// Phone-book size: entries at or above the size are cleared at once and disabled.
void MaxNumberChange(settings::ProgramState& state);
// The two call-back controls kept in step.
void CallbackClick(settings::ProgramState& state);
void RecallBoxChange(settings::ProgramState& state);
// Hidden features revealed by double-clicks on two labels.
void Label48DblClick(settings::ProgramState& state);
void Label51DblClick(settings::ProgramState& state);

}  // namespace rcp::rules

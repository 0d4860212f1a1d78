#pragma once

#include "settings/program_state.hpp"

namespace rcp::rules {

// The seventeen menu switches of the appendix tab, their companions and the three presets.
void bindMenuPresets(settings::ProgramState& state);

// A menu switch changed state (clicked, or set by a preset, a file or a read): its caption and
// companion follow, the preset highlight goes, and the preset becomes "one by one" (3). Handler
// Led_ChooseClick.
void menuSwitchClick(settings::ProgramState& state, const ui::Control& menuSwitch);
void All_OKClick(settings::ProgramState& state);
void All_NOClick(settings::ProgramState& state);
void Often_OKClick(settings::ProgramState& state);

}  // namespace rcp::rules

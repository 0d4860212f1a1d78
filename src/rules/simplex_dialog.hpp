#pragma once

#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// The off-network frequencies dialog "脱网频率设置": rows "09" to "19" edit the receive and
// transmit frequencies of off-network channels 9 to 19 (row "20" is never offered). Every showing
// fills the rows from the working values; only OK stores them back.
namespace rcp::rules {

// Binds the rules below and the digit filter of every frequency field to the dialog.
void bindSimplexDialog(settings::ProgramState& state);

void SimplexSetFormShow(settings::ProgramState& state);
// A frequency field left: empty becomes "0"; a value that is not a multiple of 125 is warned of
// and kept. Handler S9RxFreqExit.
void simplexFrequencyExit(settings::ProgramState& state, const ui::Control& sender);
void Set_OKClick(settings::ProgramState& state);
void Set_CancleClick(settings::ProgramState& state);

// The working value a field of the dialog shows ("S12RxFreq" shows "Simplex12RxFreq"), or empty
// for a field that shows none (row "20").
std::string simplexFieldOfBox(std::string_view box);

}  // namespace rcp::rules

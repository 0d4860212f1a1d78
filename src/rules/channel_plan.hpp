#pragma once

#include "settings/program_state.hpp"

// Editing rules of the channel plan and control-channel hunting on the first tab, and of the
// system-code fields beside them. Each runs when its field is left (or its button clicked, or the
// search mode changed); a rule warns and puts the focus back but leaves the text as typed.
namespace rcp::rules {

void bindChannelPlanRules(settings::ProgramState& state);

// A number field with no check of its own left (the start channels of segments 2 and 3, the
// off-network channels, the system codes, their lengths and lists): empty becomes "0", and a code
// length above 15 becomes 15. Handler Channel2StartNumExit.
void plainNumberExit(settings::ProgramState& state, const ui::Control& sender);
void ChannelSpace1Click(settings::ProgramState& state);
void ChannelSpace2Click(settings::ProgramState& state);
void ChannelNumExit(settings::ProgramState& state);
// Stop channel of segment 1, 2 or 3.
void ChannelStopNumExit(settings::ProgramState& state, int segment);
// The base receive or transmit frequency left (handler RxFreqExit).
void baseFrequencyExit(settings::ProgramState& state, const ui::Control& sender);
// A receive or transmit frequency of segment 2 or 3 left (handler Rx2FreqExit).
void secondaryFrequencyExit(settings::ProgramState& state, const ui::Control& sender);
void SearchWayChange(settings::ProgramState& state);
void ControlStartExit(settings::ProgramState& state);
void ControlStopExit(settings::ProgramState& state);
// One of the fifty control channels left (handler ControlChannel5Exit).
void controlChannelExit(settings::ProgramState& state, const ui::Control& sender);

}  // namespace rcp::rules

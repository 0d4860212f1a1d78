#pragma once

#include "settings/program_state.hpp"

// Editing rules of the channel plan and control-channel hunting on the first tab, and of the
// system-code fields beside them. Each runs when its field is left (or its button clicked, or the
// search mode changed); a rule warns and puts the focus back but leaves the text as typed.
namespace rcp::rules {

void bindChannelPlanRules(settings::ProgramState& state);

void Channel2StartNumExit(settings::ProgramState& state, const ui::Control& sender);
void ChannelSpace1Click(settings::ProgramState& state);
void ChannelSpace2Click(settings::ProgramState& state);
void ChannelNumExit(settings::ProgramState& state);
// Stop channel of segment 1, 2 or 3.
void ChannelStopNumExit(settings::ProgramState& state, int segment);
void RxFreqExit(settings::ProgramState& state, const ui::Control& sender);
void Rx2FreqExit(settings::ProgramState& state, const ui::Control& sender);
void SearchWayChange(settings::ProgramState& state);
void ControlStartExit(settings::ProgramState& state);
void ControlStopExit(settings::ProgramState& state);
void ControlChannel5Exit(settings::ProgramState& state, const ui::Control& sender);

}  // namespace rcp::rules

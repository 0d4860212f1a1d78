#pragma once

#include <cstdint>

#include "link/commands.hpp"
#include "settings/program_state.hpp"

// The test channel of group "选择信道": its number and the receive and transmit frequencies shown
// beside it, the rules that keep the three in step, and the command that tunes the radio to the
// number. The radio tunes by its own channel plan; the frequencies are shown for the user only.
namespace rcp::testmode {

// "CH", the number in decimal without leading zeros (one to three digits), CR. A number below 0
// or above 999 has no such form: the result is empty and nothing is to be sent.
link::Bytes channelCommand(std::int64_t channel);
// The command for the number in CurrentChannelNum (a conversion error when it holds none).
link::Bytes currentChannelCommand(const ui::Form& main);
// Sends that command, when there is one.
void sendChannelCommand(settings::ProgramState& state);

// The test channel back at the start of the first segment: the number in ChannelNum, the base
// receive and transmit frequencies.
void showFirstChannel(settings::ProgramState& state);

void CurrentChannelNumExit(settings::ProgramState& state);
void CurrentRxFreqExit(settings::ProgramState& state);
void CurrentTxFreqExit(settings::ProgramState& state);
void FreqIncExit(settings::ProgramState& state);
void ChangeChannelUp(settings::ProgramState& state);
void ChangeChannelDown(settings::ProgramState& state);

void bindTestChannelRules(settings::ProgramState& state);

}  // namespace rcp::testmode

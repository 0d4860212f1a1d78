#pragma once

#include <string_view>

#include "settings/program_state.hpp"

// The test buttons of group "操作": each sends its command to the radio once and, when the write
// went out, says in the status bar what the radio is doing now.
namespace rcp::testmode {

// A setting command of the Test tab: the word with its operands and CR. Returns the platform's
// success indication of the write; no answer is read.
bool sendSetting(settings::ProgramState& state, std::string_view wordAndOperands);

void bindTestCommands(settings::ProgramState& state);

}  // namespace rcp::testmode

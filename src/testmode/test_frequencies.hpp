#pragma once

#include "settings/program_state.hpp"

// Group "综合测试": a small calculator of the typical frequencies of receiver tests on the test
// channel, in kHz. It stays disabled until the picture of group "操作" is double-clicked.
namespace rcp::testmode {

// Enables the group for good, in navy text on light cyan fields, then recalculates.
void Image1DblClick(settings::ProgramState& state);

// The sixteen computed fields from the receive and transmit frequencies of the test channel and
// the first intermediate frequency, in the order of the group's table.
void recalculateTestFrequencies(settings::ProgramState& state);

// What the test-channel rules do after a change of channel: recalculate while the group is
// enabled.
void followTestChannel(settings::ProgramState& state);

void bindTestFrequencies(settings::ProgramState& state);

}  // namespace rcp::testmode

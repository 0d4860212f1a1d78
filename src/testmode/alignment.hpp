#pragma once

#include "settings/program_state.hpp"

// Group "基带信号处理": the radio's alignment values, each change going to the radio at once, and
// the compander and scrambler switches. The values live in the radio; the fields show the last
// value sent or read.
namespace rcp::testmode {

void bindAlignment(settings::ProgramState& state);

}  // namespace rcp::testmode

#pragma once

#include "settings/program_state.hpp"

// The radio's field-strength display: the technician feeds a known level and confirms, and the
// radio takes it as its one-bar or five-bar point; "缺省" puts the calibration back to default.
namespace rcp::testmode {

void bindCalibration(settings::ProgramState& state);

// The default calibration: after confirmation, "Q", four zero bytes written at 0x2C5, the short
// greeting and "T"; the channel command is not sent again.
void SpeedButton2Click(settings::ProgramState& state);

}  // namespace rcp::testmode

#pragma once

#include "link/identification.hpp"
#include "settings/program_state.hpp"

// What the program shows and keeps of the radio it greets: the identity in the status bar, the
// report of a radio that does not answer, and the effects of identifying the model.
namespace rcp::settings {

// Status panel 1 shows the identity buffer as text.
void showIdentity(ProgramState& state);

// "设备未开启" in status panel 2, painted at once, then the message box.
void reportNoRadio(ProgramState& state);

// Identifies the model from the identity: at start-up the welcome text; before writing the preset
// off-network frequencies of some models; always the duplex spacing, the caption and the
// phone-book flag.
void applyIdentification(ProgramState& state, link::IdentifyPurpose purpose);

}  // namespace rcp::settings

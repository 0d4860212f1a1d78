#pragma once

#include "settings/program_state.hpp"

// Whether the record changed since it was last kept: opened, saved, read from the radio or
// written to it. The record is compared as saving would write it into a data file, so an edit
// undone by hand counts as no change.
namespace rcp::app {

// The record as it stands now is the kept one (call after start-up, a successful open, save,
// read or write).
void markRecordKept(settings::ProgramState& state);

// The record differs from the kept one. Reading the record sets a spin field whose text is no
// number to its minimum, as saving does.
bool recordChanged(settings::ProgramState& state);

}  // namespace rcp::app

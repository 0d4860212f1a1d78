#pragma once

#include <filesystem>

#include "settings/program_state.hpp"

// The window's face of a fleet run, "批量写频": the template, the numbers or a table, the options,
// a table of the radios with their state, the counts, and 开始/停止/关闭. It runs the engine the
// command line's fleet runs; while it runs only this dialog takes input, and 停止 ends the run
// between radios (a radio being written is finished and logged first).
namespace rcp::app {

// The log offered for a template: beside it, "<template>-fleet.csv".
std::filesystem::path defaultFleetLog(const std::filesystem::path& templ);

void bindFleetForm(settings::ProgramState& state);

}  // namespace rcp::app

#pragma once

#include <memory>

#include "safety/safe_write.hpp"
#include "settings/program_state.hpp"

// The main window's two transfer buttons, "读取数据" (Alt+R) and "写录数据" (Alt+W).
namespace rcp::app {

// Returns what the window's transfers leave for the next one (the history's write-back writes
// through it too).
std::shared_ptr<TransferMemory> bindTransferCommands(settings::ProgramState& state);

// The buttons' handlers. An error escaping them (a field that cannot be stored, an answer that
// is no number) is shown in the standard error box like any other.
//
// The write first asks the write's own check (write_round_trip.hpp): a value the radio would give
// back as another stops it before anything is sent (started is false).
//
// The read keeps its backup (see safe_write.hpp); one that cannot be written does not fail the
// read, status panel 2 says why.
[[nodiscard]] ReadReport ReadDataClick(settings::ProgramState& state, TransferMemory& memory);
[[nodiscard]] WriteReport WriteDataClick(settings::ProgramState& state, TransferMemory& memory,
                                         const WriteSafetyChoice& choice, RestoreOffer offer);

}  // namespace rcp::app

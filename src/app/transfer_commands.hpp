#pragma once

#include "image/read_transfer.hpp"
#include "image/small_records.hpp"
#include "image/transfer_outcome.hpp"
#include "settings/program_state.hpp"

// The main window's two transfer buttons, "读取数据" (Alt+R) and "写录数据" (Alt+W).
namespace rcp::app {

// What one transfer leaves for the next: the menu bit bytes the last read brought, whose bits
// no switch drives go back into the radio with the next write (zeros before any read).
struct TransferMemory {
  image::MenuBits menuBits{};
};

void bindTransferCommands(settings::ProgramState& state);

// The buttons' handlers. An error escaping them (a field that cannot be stored, an answer that
// is no number) is shown in the standard error box like any other.
[[nodiscard]] image::TransferOutcome ReadDataClick(settings::ProgramState& state,
                                                   TransferMemory& memory);
[[nodiscard]] image::TransferOutcome WriteDataClick(settings::ProgramState& state,
                                                    TransferMemory& memory);

}  // namespace rcp::app

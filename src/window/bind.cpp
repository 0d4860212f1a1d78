#include "window/bind.hpp"

#include "window/file_commands.hpp"
#include "window/fleet_dialog.hpp"
#include "window/frame.hpp"
#include "window/history_dialog.hpp"
#include "window/port_setup.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {

void bind(settings::ProgramState& state) {
  bindFrame(state);
  bindFileCommands(state);
  const auto memory = bindTransferCommands(state);
  state.main->on("ComSet", ui::Event::Click,
                 [&state](ui::Control&) { state.dialogs.showModal(*state.comSet); });
  bindComSetForm(state);
  bindVersionForm(state);
  bindFleetForm(state);
  bindHistoryForm(state, memory);
}

void startWithWindow(Program& program) {
  program.start();
  bind(program.state());
}

}  // namespace rcp::app

#include "app/transfer_commands.hpp"

#include <memory>

#include "image/write_transfer.hpp"

namespace rcp::app {

image::TransferOutcome ReadDataClick(settings::ProgramState& state, TransferMemory& memory) {
  const image::ReadResult result = image::readFromRadio(state);
  if (result.menuBits) memory.menuBits = *result.menuBits;
  return result.outcome;
}

image::TransferOutcome WriteDataClick(settings::ProgramState& state, TransferMemory& memory) {
  return image::writeToRadio(state, memory.menuBits);
}

void bindTransferCommands(settings::ProgramState& state) {
  auto memory = std::make_shared<TransferMemory>();
  state.main->on("ReadData", ui::Event::Click,
                 [&state, memory](ui::Control&) { ReadDataClick(state, *memory); });
  state.main->on("WriteData", ui::Event::Click,
                 [&state, memory](ui::Control&) { WriteDataClick(state, *memory); });
}

}  // namespace rcp::app

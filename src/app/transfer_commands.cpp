#include "app/transfer_commands.hpp"

#include <memory>

#include "app/unsaved_changes.hpp"
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

namespace {

// Keeps the window from taking input for as long as a transfer runs, however it ends.
class InputBlocked {
 public:
  explicit InputBlocked(ui::Screen& screen) : screen_(screen) { screen_.blockInput(true); }
  ~InputBlocked() { screen_.blockInput(false); }
  InputBlocked(const InputBlocked&) = delete;
  InputBlocked& operator=(const InputBlocked&) = delete;

 private:
  ui::Screen& screen_;
};

}  // namespace

void bindTransferCommands(settings::ProgramState& state) {
  auto memory = std::make_shared<TransferMemory>();
  // The window has shown how a transfer went; a record the radio now holds too is kept.
  state.main->on("ReadData", ui::Event::Click, [&state, memory](ui::Control&) {
    InputBlocked blocked(state.screen);
    if (ReadDataClick(state, *memory) == image::TransferOutcome::Done) markRecordKept(state);
  });
  state.main->on("WriteData", ui::Event::Click, [&state, memory](ui::Control&) {
    InputBlocked blocked(state.screen);
    if (WriteDataClick(state, *memory) == image::TransferOutcome::Done) markRecordKept(state);
  });
}

}  // namespace rcp::app

#include "window/transfer_commands.hpp"

#include <ctime>
#include <memory>

#include "program/input_blocked.hpp"
#include "program/unsaved_changes.hpp"
#include "safety/write_round_trip.hpp"

namespace rcp::app {

ReadReport ReadDataClick(settings::ProgramState& state, TransferMemory& memory) {
  ReadReport report = readAndKeep(state, memory, std::time(nullptr));
  if (report.backup && !report.backup->backup) {
    state.showStatus(settings::StatusPanel::State, backupStatusText(*report.backup));
    state.repaintStatusBar();
  }
  return report;
}

WriteReport WriteDataClick(settings::ProgramState& state, TransferMemory& memory,
                           const WriteSafetyChoice& choice, RestoreOffer offer) {
  if (refuseUnfaithfulWrite(state)) return {image::TransferOutcome::Failed, false};
  return safeWrite(state, memory, choice, offer, std::time(nullptr));
}

std::shared_ptr<TransferMemory> bindTransferCommands(settings::ProgramState& state) {
  auto memory = std::make_shared<TransferMemory>();
  // The window has shown how a transfer went; a record the radio now holds too is kept.
  state.main->on("ReadData", ui::Event::Click, [&state, memory](ui::Control&) {
    InputBlocked blocked(state.screen);
    if (ReadDataClick(state, *memory).outcome == image::TransferOutcome::Done)
      markRecordKept(state);
  });
  state.main->on("WriteData", ui::Event::Click, [&state, memory](ui::Control&) {
    InputBlocked blocked(state.screen);
    const WriteReport report =
        WriteDataClick(state, *memory, storedWriteSafety(state.comIni), RestoreOffer::Ask);
    if (report.outcome == image::TransferOutcome::Done) markRecordKept(state);
  });
  return memory;
}

}  // namespace rcp::app

#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "history/history_event.hpp"
#include "image/memory_image.hpp"
#include "image/small_records.hpp"
#include "settings/program_state.hpp"
#include "transfer/read_transfer.hpp"

// Every transfer's event in the service history (state.history), recorded where the transfer
// runs for the window and the command line alike. Recording never fails a transfer: a history
// that cannot be used is told as a warning that says why, and the read's data stays in its backup
// file as it always does.
namespace rcp::app {

// An event of the radio on `state`'s line: the time, the user, the device (by its stable name),
// the radio's identity and model and the tool's version filled in.
history::Event historyEvent(const settings::ProgramState& state, history::Operation operation,
                            history::Result result, std::time_t now);

// The record `state` holds as a data file (what a save writes).
std::string recordText(settings::ProgramState& state);

// The configuration a read brought: its record with the memory beside it as a backup keeps it
// (so that writing it back leaves the radio as the read found it), and its memory image.
void takeReading(history::Event& event, settings::ProgramState& read,
                 const image::RadioReading& reading, const image::MenuBits& menuBits);

std::vector<std::uint8_t> imageBytes(const image::MemoryImage& memory);

// Records the event in state.history; nothing when that is empty. Returns the event's id, or
// nothing when it was not recorded (the warning then shown says why; `kept` names where the
// event's data stays instead, when it does).
std::optional<std::int64_t> recordEvent(settings::ProgramState& state, history::Event event,
                                        const std::string& kept = {});
// The same for a history and a face of their own (a fleet run's, between its radios' programs).
std::optional<std::int64_t> recordEvent(const std::filesystem::path& history, ui::Dialogs& dialogs,
                                        history::Event event, const std::string& kept = {});
// Records a fleet run; its id, or 0 when it was not recorded (the warning says why).
std::int64_t recordFleetRun(const std::filesystem::path& history, ui::Dialogs& dialogs,
                            history::FleetRun run);

// "历史记录未写入：<why>" with where the data stays.
std::string notRecordedText(const std::string& why, const std::string& kept);

}  // namespace rcp::app

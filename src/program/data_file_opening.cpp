#include "program/data_file_opening.hpp"

#include "program/application_title.hpp"
#include "program/unsaved_changes.hpp"
#include "rules/channel_plan.hpp"

namespace rcp::app {

namespace {

using settings::DataFileError;
using settings::ProgramState;

// A value that is no number, or a rule that failed, ends the open command there; anything else
// (a cancel included) goes on to check the stop channels of the three segments as if each had
// been left.
bool stopsTheOpen(const std::optional<DataFileError>& error) {
  return error && (error->kind == DataFileError::Kind::NotANumber ||
                   error->kind == DataFileError::Kind::Interrupted);
}

}  // namespace

void checkStopChannels(ProgramState& state) {
  for (int segment = 1; segment <= 3; ++segment) rules::ChannelStopNumExit(state, segment);
}

ui::Message dataFileMessage(const DataFileError& error) {
  switch (error.kind) {
    case DataFileError::Kind::Missing:
    case DataFileError::Kind::Unreadable:
    case DataFileError::Kind::NotDataFile:
      return {error.message, "系统信息", ui::MessageIcon::Error};
    case DataFileError::Kind::NotANumber:
    case DataFileError::Kind::Interrupted:
    case DataFileError::Kind::Unwritable:
      break;
  }
  return errorBox(error.message);
}

std::optional<DataFileError> openDataFileAndCheck(ProgramState& state,
                                                  const std::filesystem::path& file) {
  auto error = settings::openDataFile(state, file);
  if (!stopsTheOpen(error)) checkStopChannels(state);
  return error;
}

std::optional<DataFileError> openDocumentAndCheck(ProgramState& state,
                                                  const link::IniDocument& document) {
  auto error = settings::openRecord(state, document);
  if (!stopsTheOpen(error)) checkStopChannels(state);
  return error;
}

namespace {

// What the open command does with what it opened: the failure shows before any stop-channel
// warning; a record opened whole is kept.
bool finishOpen(ProgramState& state, const std::optional<DataFileError>& error) {
  if (error) state.dialogs.message(dataFileMessage(*error));
  if (!stopsTheOpen(error)) checkStopChannels(state);
  if (!error) markRecordKept(state);
  return !error;
}

}  // namespace

void openChosenDataFile(ProgramState& state, const std::filesystem::path& file) {
  finishOpen(state, settings::openDataFile(state, file));
}

bool openChosenDocument(ProgramState& state, const link::IniDocument& document) {
  return finishOpen(state, settings::openRecord(state, document));
}

}  // namespace rcp::app

#include "app/file_commands.hpp"

#include <cstdlib>
#include <memory>

#include "app/program.hpp"
#include "app/unsaved_changes.hpp"
#include "rules/channel_plan.hpp"

namespace rcp::app {

namespace {

using settings::DataFileError;
using settings::ProgramState;
using settings::StatusPanel;

std::string homeFolder() {
  for (const char* variable : {"HOME", "USERPROFILE"})
    if (const char* value = std::getenv(variable); value && *value) return value;
  return {};
}

// A value that is no number, or a rule that failed, ends the open command there; anything else
// (a cancel included) goes on to check the stop channels of the three segments as if each had
// been left.
bool stopsTheOpen(const std::optional<DataFileError>& error) {
  return error && (error->kind == DataFileError::Kind::NotANumber ||
                   error->kind == DataFileError::Kind::Interrupted);
}

void checkStopChannels(ProgramState& state) {
  for (int segment = 1; segment <= 3; ++segment) rules::ChannelStopNumExit(state, segment);
}

}  // namespace

ui::FileDialogRequest dataFileRequest(std::string initialName) {
  return {"数据文件（*.ini）|*.ini", "ini", homeFolder(), std::move(initialName)};
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

void SaveFileClick(ProgramState& state, DataFileNames& names) {
  state.showStatus(StatusPanel::State, "存储数据");
  const auto chosen = state.dialogs.saveFile(dataFileRequest(names.saved));
  if (!chosen) return;
  names.saved = *chosen;
  if (const auto error = settings::saveDataFile(state, *chosen))
    state.dialogs.message(dataFileMessage(*error));
  else
    markRecordKept(state);
}

void openChosenDataFile(ProgramState& state, const std::filesystem::path& file) {
  const auto error = settings::openDataFile(state, file);
  // The failure shows before any stop-channel warning.
  if (error) state.dialogs.message(dataFileMessage(*error));
  if (!stopsTheOpen(error)) checkStopChannels(state);
  if (!error) markRecordKept(state);
}

void OpenFileClick(ProgramState& state, DataFileNames& names) {
  state.showStatus(StatusPanel::State, "打开已有数据");
  const auto chosen =
      state.dialogs.openFile(dataFileRequest(names.opened.value_or(state.comIni.string())));
  if (!chosen) {
    // A cancelled open still checks the stop channels.
    checkStopChannels(state);
    return;
  }
  names.opened = *chosen;
  openChosenDataFile(state, *chosen);
}

void bindFileCommands(ProgramState& state) {
  auto names = std::make_shared<DataFileNames>();
  state.main->on("SaveFile", ui::Event::Click,
                 [&state, names](ui::Control&) { SaveFileClick(state, *names); });
  state.main->on("OpenFile", ui::Event::Click,
                 [&state, names](ui::Control&) { OpenFileClick(state, *names); });
}

}  // namespace rcp::app

#include "window/file_commands.hpp"

#include <memory>

#include "link/path_text.hpp"
#include "link/user_folders.hpp"
#include "program/data_file_opening.hpp"
#include "program/unsaved_changes.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

std::string homeFolder() {
  return link::homeFolderOn(link::kThisPlatform, link::systemEnvironment());
}

}  // namespace

ui::FileDialogRequest dataFileRequest(std::string initialName) {
  return {"数据文件（*.ini）|*.ini", "ini", homeFolder(), std::move(initialName)};
}

void SaveFileClick(ProgramState& state, DataFileNames& names) {
  state.showStatus(StatusPanel::State, "存储数据");
  const auto chosen = state.dialogs.saveFile(dataFileRequest(names.saved));
  if (!chosen) return;
  names.saved = *chosen;
  if (const auto error = settings::saveDataFile(state, link::pathOf(*chosen)))
    state.dialogs.message(dataFileMessage(*error));
  else
    markRecordKept(state);
}

void OpenFileClick(ProgramState& state, DataFileNames& names) {
  state.showStatus(StatusPanel::State, "打开已有数据");
  const auto chosen =
      state.dialogs.openFile(dataFileRequest(names.opened.value_or(link::textOf(state.comIni))));
  if (!chosen) {
    // A cancelled open still checks the stop channels.
    checkStopChannels(state);
    return;
  }
  names.opened = *chosen;
  openChosenDataFile(state, link::pathOf(*chosen));
}

void bindFileCommands(ProgramState& state) {
  auto names = std::make_shared<DataFileNames>();
  state.main->on("SaveFile", ui::Event::Click,
                 [&state, names](ui::Control&) { SaveFileClick(state, *names); });
  state.main->on("OpenFile", ui::Event::Click,
                 [&state, names](ui::Control&) { OpenFileClick(state, *names); });
}

}  // namespace rcp::app

#include "program/unsaved_changes.hpp"

#include <string>

#include "link/ini_document.hpp"
#include "settings/data_file.hpp"

namespace rcp::app {

namespace {

std::string recordText(settings::ProgramState& state) {
  link::IniDocument document;
  settings::saveRecord(state, document);
  return document.fileBytes();
}

}  // namespace

void markRecordKept(settings::ProgramState& state) {
  state.keptRecord = recordText(state);
}

bool recordChanged(settings::ProgramState& state) {
  return recordText(state) != state.keptRecord;
}

}  // namespace rcp::app

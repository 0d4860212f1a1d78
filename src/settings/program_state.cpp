#include "settings/program_state.hpp"

namespace rcp::settings {

void ProgramState::showStatus(StatusPanel panel, std::string text) {
  main->setPanelText("StatusBar", static_cast<int>(panel), std::move(text));
}

void ProgramState::repaintStatusBar() { screen.repaint(*main); }

void ProgramState::setCaption(std::string caption) { main->setCaption(std::move(caption)); }

}  // namespace rcp::settings

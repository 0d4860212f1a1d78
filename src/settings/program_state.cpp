#include "settings/program_state.hpp"

#include "link/com_ini.hpp"

namespace rcp::settings {

void ProgramState::showStatus(StatusPanel panel, std::string text) {
  main->setPanelText("StatusBar", static_cast<int>(panel), std::move(text));
}

void ProgramState::repaintStatusBar() {
  screen.repaint(*main);
}

std::string ProgramState::portDevice() const {
  return device.empty() ? link::portDevice(comIni, portName) : device;
}

void ProgramState::setCaption(std::string caption) {
  main->setCaption(std::move(caption));
}

}  // namespace rcp::settings

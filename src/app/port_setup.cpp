#include "app/port_setup.hpp"

#include <array>
#include <stdexcept>
#include <string>

#include "link/com_ini.hpp"
#include "link/port_opening.hpp"
#include "settings/radio_session.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

constexpr std::array<const char*, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};
constexpr std::array<const char*, 4> kPortButtons = {"Com1", "Com2", "Com3", "Com4"};

void ComSetFormShow(ProgramState& state) {
  const std::string name = link::normalisePortName(state.portName);
  for (std::size_t i = 0; i < kPortNames.size(); ++i)
    if (name == kPortNames[i]) state.comSet->setChecked(kPortButtons[i], true);
}

void ComSet_OKClick(ProgramState& state) {
  ui::Form& dialog = *state.comSet;
  state.portName = kPortNames.back();
  for (std::size_t i = 0; i + 1 < kPortNames.size(); ++i) {
    if (dialog.checked(kPortButtons[i])) {
      state.portName = kPortNames[i];
      break;
    }
  }
  // An unwritable file ends the confirmation here; the new name stays in use.
  if (auto error = link::writePortName(state.comIni, state.portName))
    throw std::runtime_error(error->message());
  if (state.port.isOpen()) state.port.close();
  openPortAndGreet(state);
  dialog.close();
}

}  // namespace

void openPortAndGreet(ProgramState& state) {
  const std::string device = link::portDevice(state.comIni, state.portName);
  switch (link::openPort(state.port, state.clock, device, state.radioIdentity)) {
    case link::PortOpening::PortBusy:
      state.dialogs.message({std::string(link::kPortBusyMessage),
                             std::string(link::kPortBusyCaption), ui::MessageIcon::Error});
      state.showStatus(StatusPanel::State, std::string(link::kPortBusyStatus));
      return;
    case link::PortOpening::NoRadio:
      settings::reportNoRadio(state);
      return;
    case link::PortOpening::RadioAnswered:
      settings::showIdentity(state);
      settings::applyIdentification(state, link::IdentifyPurpose::StartUp);
      return;
  }
}

void openPortAtStartUp(ProgramState& state) {
  state.portName = link::readPortName(state.comIni);
  openPortAndGreet(state);
}

void bindComSetForm(ProgramState& state) {
  ui::Form& dialog = *state.comSet;
  dialog.onShown([&state] { ComSetFormShow(state); });
  dialog.on("ComSet_OK", ui::Event::Click, [&state](ui::Control&) { ComSet_OKClick(state); });
  dialog.on("ComSet_CANCLE", ui::Event::Click, [&dialog](ui::Control&) { dialog.close(); });
}

}  // namespace rcp::app

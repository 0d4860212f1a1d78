#include "program/opening_port.hpp"

#include "link/com_ini.hpp"
#include "ports/port_doctor.hpp"
#include "link/port_opening.hpp"
#include "settings/radio_session.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

}  // namespace

void reportPortBusy(ProgramState& state, const std::string& device) {
  ui::Message box{std::string(link::kPortBusyMessage), std::string(link::kPortBusyCaption),
                  ui::MessageIcon::Error};
  box.detail = link::problemText(link::diagnosePort(device, state.system));
  state.dialogs.message(box);
  state.showStatus(StatusPanel::State, std::string(link::kPortBusyStatus));
}

void openPortAndGreet(ProgramState& state) {
  const std::string device = state.portDevice();
  switch (link::openPort(state.port, state.clock, device, state.radioIdentity)) {
    case link::PortOpening::PortBusy:
      reportPortBusy(state, device);
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

}  // namespace rcp::app

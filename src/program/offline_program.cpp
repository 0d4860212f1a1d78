#include "program/offline_program.hpp"

#include "ui/window_text.hpp"

namespace rcp::app {

ui::MessageResult RecordingDialogs::message(const ui::Message& message) {
  shown.push_back({{}, message});
  return ui::defaultResult(message.buttons);
}

void RecordingDialogs::showModal(ui::Form& form) {
  shown.push_back({form.name(), {ui::windowText(form), form.caption(), ui::MessageIcon::None}});
  form.show();
  form.close();
}

OfflineProgram::OfflineProgram(std::filesystem::path comIni)
    : OfflineProgram(nullptr, std::move(comIni)) {}

OfflineProgram::OfflineProgram(settings::ProgramState& window)
    : OfflineProgram(&window.clock, window.comIni) {
  line_.target = &window.port;
  state().progressOn = &window;
}

OfflineProgram::OfflineProgram(link::Clock* clock, std::filesystem::path comIni)
    : program_([&] {
        Services services{line_, clock ? *clock : ownClock_, dialogs_, screen_, std::move(comIni)};
        services.offline = true;
        return services;
      }()) {
  program_.start();
}

}  // namespace rcp::app

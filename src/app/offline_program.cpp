#include "app/offline_program.hpp"

namespace rcp::app {

ui::MessageResult RecordingDialogs::message(const ui::Message& message) {
  shown.push_back({{}, message});
  return ui::defaultResult(message.buttons);
}

void RecordingDialogs::showModal(ui::Form& form) {
  shown.push_back({form.name(), {}});
  form.show();
  form.close();
}

OfflineProgram::OfflineProgram(std::filesystem::path comIni)
    : program([&] {
        Services services{port, clock, dialogs, screen, std::move(comIni)};
        services.offline = true;
        return services;
      }()) {
  program.start();
}

}  // namespace rcp::app

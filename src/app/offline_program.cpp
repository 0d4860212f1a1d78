#include "app/offline_program.hpp"

#include "ui/window_text.hpp"

namespace rcp::app {

ui::MessageResult RecordingDialogs::message(const ui::Message& message) {
  shown.push_back({{}, message});
  return ui::MessageResult::Ok;
}

void RecordingDialogs::showModal(ui::Form& form) {
  shown.push_back({form.name(), {ui::windowText(form), form.caption(), ui::MessageIcon::None}});
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

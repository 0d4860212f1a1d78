#include "testmode/calibration.hpp"

#include <array>
#include <cstdint>

#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "testmode/test_commands.hpp"

namespace rcp::testmode {

namespace {

using settings::ProgramState;

struct CalibrationPoint {
  const char* button;
  const char* question;
  const char* command;
  const char* status;
};
constexpr std::array<CalibrationPoint, 2> kPoints = {{
    {"Rssi1", "确定射频电平已调为-116dBm？", "I1", "调整场强一格显示"},
    {"Rssi5", "确定射频电平已调为-90dBm？", "I5", "调整场强五格显示"},
}};

constexpr std::uint16_t kCalibrationAddress = 0x2C5;
constexpr std::array<std::uint8_t, 4> kDefaultCalibration{};
constexpr int kCalibrationPauseMs = 300;

// OK and Cancel, no icon.
bool confirmed(ProgramState& state, const char* question) {
  return state.dialogs.message({question, "系统信息", ui::MessageIcon::None,
                                ui::MessageButtons::OkCancel}) == ui::MessageResult::Ok;
}

void RssiClick(ProgramState& state, const CalibrationPoint& point) {
  if (!confirmed(state, point.question)) return;
  if (sendSetting(state, point.command))
    state.showStatus(settings::StatusPanel::State, point.status);
}

}  // namespace

void SpeedButton2Click(ProgramState& state) {
  if (!confirmed(state, "设置场强为缺省值？")) return;
  state.port.write(link::modeLetter(link::ModeLetter::Leave));
  state.clock.pause(kCalibrationPauseMs);
  state.port.write(link::writeCommand(kCalibrationAddress, kDefaultCalibration));
  state.clock.pause(kCalibrationPauseMs);
  link::greetAfterCalibrationReset(state.port, state.clock, state.radioIdentity);
  state.showStatus(settings::StatusPanel::State, "场强已设为缺省值");
}

void bindCalibration(ProgramState& state) {
  ui::Form& form = *state.main;
  for (const CalibrationPoint& point : kPoints)
    form.on(point.button, ui::Event::Click,
            [&state, &point](ui::Control&) { RssiClick(state, point); });
  form.on("SpeedButton2", ui::Event::Click, [&state](ui::Control&) { SpeedButton2Click(state); });
}

}  // namespace rcp::testmode

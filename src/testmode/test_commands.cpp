#include "testmode/test_commands.hpp"

#include <array>

#include "link/commands.hpp"

namespace rcp::testmode {

namespace {

struct TestCommand {
  const char* button;
  const char* command;
  const char* status;
};

// "U" with CR adjusts the power; it is not the mode letter "U" that asks for the bulk block.
constexpr std::array<TestCommand, 7> kTestCommands = {{
    {"TxMsk", "TXMD", "正在发射MSK信令..."},
    {"TxTone", "TXAD", "正在发射语音..."},
    {"DTMF", "TXDT", "正在测试DTMF5..."},
    {"RxTone", "RXAD", "接收话路打开"},
    {"DualTest", "TALK", "正在进行双工测试..."},
    {"CloseTest", "MUTE", "测试关闭。"},
    {"PowerM", "U", "正在调节功率。"},
}};

}  // namespace

bool sendSetting(settings::ProgramState& state, std::string_view wordAndOperands) {
  return state.port.write(link::settingCommand(wordAndOperands));
}

void bindTestCommands(settings::ProgramState& state) {
  for (const TestCommand& test : kTestCommands) {
    state.main->on(test.button, ui::Event::Click, [&state, &test](ui::Control&) {
      if (sendSetting(state, test.command))
        state.showStatus(settings::StatusPanel::State, test.status);
    });
  }
}

}  // namespace rcp::testmode

#include "testmode/test_state.hpp"

#include <cstdint>

namespace rcp::testmode {

void leaveTestStep(settings::ProgramState& state) {
  const std::uint8_t q = 'Q';
  state.port.write({&q, 1});
  if (state.values.testUnlocked) state.showStatus(settings::StatusPanel::State, "退出测试状态");
}

}  // namespace rcp::testmode

#pragma once

#include <string_view>

#include "settings/program_state.hpp"

// The password dialog "密码框" that offers the Test tab. The attempt counter is program-wide:
// only Cancel and the third failure in a row reset it, closing the dialog by its title bar keeps
// it for the next opening.
namespace rcp::testmode {

inline constexpr int kPasswordAttempts = 3;

// Exactly "qorvel" or "QORVEL"; no other mix of case, no trimming.
bool isAcceptedPassword(std::string_view text);

void Ok_ButtonClick(settings::ProgramState& state);
void Cancel_ButtonClick(settings::ProgramState& state);

void bindPasswordDialog(settings::ProgramState& state);

}  // namespace rcp::testmode

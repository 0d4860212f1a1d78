#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// Editing rules of the numbering plan: the dialling-scheme switch, the individual, group and
// dynamic-group numbers with their fleet limits and ranges, the CPSX fleet level and its highest
// segment number, and the network identity (signalling, network type, registration code). A rule
// warns in a message box "系统信息" and puts the focus back, but leaves the text as typed unless
// it says it writes a field.
namespace rcp::rules {

// Binds every rule below, and the digit filter of the numbering fields, to the main window.
void bindNumberingRules(settings::ProgramState& state);

// Scheme switch: resets the number fields, ranges and other groups to the scheme's own, and
// enables the fleet limits of MPT1343 or the fleet level of CPSX.
void MPT1343Click(settings::ProgramState& state);
void CPSXClick(settings::ProgramState& state);

// An individual, group or dynamic-group number left. Under CPSX the individual number decides the
// fleet level, which is then chosen in "分队级别". Handler MPT1343_IndivolExit.
void subscriberNumberExit(settings::ProgramState& state, const ui::Control& sender);
void MaxIndivolExit(settings::ProgramState& state);
void MaxFleetExit(settings::ProgramState& state);
// "分队级别" changed: the highest-segment box offers the level's bounds, caption and value.
void BlockChange(settings::ProgramState& state);
// The highest segment number changed: stored in the level's block value, the level bounds
// follow, and the group numbers are checked against the new plan.
void MaxUnitChange(settings::ProgramState& state);
// The individual range (either end) and the group range (either end) left. Handlers
// indivolstartExit and grpstartExit.
void individualRangeExit(settings::ProgramState& state, const ui::Control& sender);
void groupRangeExit(settings::ProgramState& state, const ui::Control& sender);
void GrpWayChange(settings::ProgramState& state);
// "动态编组" or "缩位允许" clicked: the dynamic group follows "动态编组". Handler
// Dyna_EnableClick.
void dynamicGroupSwitchClick(settings::ProgramState& state);
void NationalClick(settings::ProgramState& state);
void RegionalClick(settings::ProgramState& state);
void RegCodeExit(settings::ProgramState& state);

// The shape every dialled number must have in a scheme: its length and its area code (200 to
// 327). Gives the warning for a text that fails, nothing for one that passes; the text is not
// empty. A text whose area code is not a number raises the conversion error.
[[nodiscard]] std::optional<std::string> numberShapeProblem(std::string_view text, bool cpsx);

// The CPSX group check of one group number against the current plan: its fleet must have a level
// and its member must be a group of that fleet. A failure is shown in a message box without an
// owner window; the focus is left to the caller.
[[nodiscard]] bool checkCpsxGroup(settings::ProgramState& state, std::int64_t number);

}  // namespace rcp::rules

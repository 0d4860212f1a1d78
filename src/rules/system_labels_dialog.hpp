#pragma once

#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// The dialog "无线局向号列表框": forty pairs of a route number (field SysLabNum 2k-1) and its
// system number (field SysLabNum 2k). Every showing fills the fields from the working values;
// only OK stores them back.
namespace rcp::rules {

// Binds the rules below and the digit filter of every field to the dialog.
void bindSystemLabelsDialog(settings::ProgramState& state);

void SysLableformFormShow(settings::ProgramState& state);
// A route field left: empty becomes "0"; a route number above 255 is warned of and kept.
// Handler SysLabNum1Exit.
void routeNumberExit(settings::ProgramState& state, const ui::Control& sender);
// A system field left: empty becomes "0". Handler SysLabNum2Exit.
void systemNumberExit(settings::ProgramState& state, const ui::Control& sender);
void SysLable_OKClick(settings::ProgramState& state);
void SysLable_CANCELClick(settings::ProgramState& state);

// The entry a field of the dialog shows ("SysLabNum3" shows "无线局向号2", "SysLabNum4"
// "对应系统号2"), or empty for a field that shows none.
std::string systemLabelFieldOfBox(std::string_view box);

}  // namespace rcp::rules

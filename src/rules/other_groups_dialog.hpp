#pragma once

#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// The dialog "更多组及隐含组": the 48 other groups (fields OtherGrp1 to OtherGrp8 the hidden
// groups, OtherGrp9 to OtherGrp48 the waiting groups), the switch that shows more groups, and the
// radio's electronic code. Every showing fills the fields from the working values; only OK stores
// the groups and the switch back.
namespace rcp::rules {

// Binds the rules below, the electronic-code rules and the digit filter of every field.
void bindOtherGroupsDialog(settings::ProgramState& state);

// The waiting-group tabs and the switch are offered only while more groups are shown; the group
// fields take the scheme's number length.
void OtherGrpSetFormShow(settings::ProgramState& state);
// A group field left: a number that is not empty must have the scheme's length and area code.
// Handler OtherGrp1Exit.
void otherGroupExit(settings::ProgramState& state, const ui::Control& sender);
void BitBtn1Click(settings::ProgramState& state);
void BitBtn2Click(settings::ProgramState& state);

// The other group a field of the dialog shows ("OtherGrp3" shows "HideGroup3", "OtherGrp9"
// "WaitGroup1"), or empty for a field that shows none.
std::string otherGroupFieldOfBox(std::string_view box);

}  // namespace rcp::rules

#pragma once

#include "ui/form.hpp"

// The windows of the program, declared as data. Each container (the form itself, a tab
// page, a group box, a panel) arranges its direct children in a grid by their cell; the front end
// turns the grid into geometry.
namespace rcp::ui::layouts {

FormSpec mainForm();        // TMain_Form "RCP520中文写码软件"
FormSpec passwordForm();    // TPassword_Form "密码框"
FormSpec error1Form();      // TError1_Form "警告"
FormSpec comSetForm();      // TComSet_Form "设置串口"
FormSpec writeDataForm();   // TWriteData_Form "数据读写"
FormSpec versionForm();     // TVersion_Form "版本信息"
FormSpec simplexSet();      // TSimplexSet "脱网频率设置"
FormSpec otherGrpSet();     // TOtherGrpSet "更多组及隐含组"
FormSpec sysLableform();    // TSysLableform "无线局向号列表框"
FormSpec fleetForm();       // TFleet_Form "批量写频"
FormSpec historyForm();     // THistory_Form "历史记录"

}  // namespace rcp::ui::layouts

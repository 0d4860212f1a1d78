// Programming a fleet: the template, the numbers or a table, the options, the radios as they are
// written, and the run's buttons.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

namespace {

constexpr int kPathChars = 40;
constexpr int kNumberLength = 10;
constexpr int kModelChars = 10;

}  // namespace

FormSpec fleetForm() {
  FormSpec windowLayout;
  windowLayout.name = "Fleet_Form";
  windowLayout.className = "TFleet_Form";
  windowLayout.caption = "批量写频";
  LayoutWriter w(windowLayout);
  // What every radio gets: the template, and its own number from a range or a table's row.
  w << groupBox("FleetSource", "", "模板与号码").at(0, 0, 1, 3);
  w << label("TemplateLab", "FleetSource", "模板文件").at(0, 0);
  w << edit("TemplateFile", "FleetSource").width(kPathChars).at(0, 1, 1, 4);
  w << button("TemplateBrowse", "FleetSource", "浏览…").at(0, 5);
  w << radioButton("ByRange", "FleetSource", "个人号范围").checked().at(1, 0);
  w << label("FirstLab", "FleetSource", "从").at(1, 1).align(Align::Right);
  w << edit("FirstNumber", "FleetSource").maxLength(kNumberLength).at(1, 2);
  w << label("LastLab", "FleetSource", "到").at(1, 3).align(Align::Right);
  w << edit("LastNumber", "FleetSource").maxLength(kNumberLength).at(1, 4);
  w << radioButton("ByTable", "FleetSource", "号码表").at(2, 0);
  w << edit("TableFile", "FleetSource").width(kPathChars).at(2, 1, 1, 4);
  w << button("TableBrowse", "FleetSource", "浏览…").at(2, 5);
  // How each radio is written, and where the run keeps its record.
  w << groupBox("FleetOptions", "", "选项").at(1, 0, 1, 3);
  w << checkBox("FleetBackup", "FleetOptions", "写前备份").at(0, 0);
  w << checkBox("FleetVerify", "FleetOptions", "写后校验").at(0, 1);
  w << checkBox("SkipFailed", "FleetOptions", "跳过失败").at(0, 2);
  // Only radios of this model are written; the program fills in the models it knows.
  w << label("FleetModelLab", "FleetOptions", "型号").at(0, 3).align(Align::Right);
  w << comboBox("FleetModel", "FleetOptions", {"不限"}, "不限").width(kModelChars).at(0, 4);
  w << label("LogLab", "FleetOptions", "日志文件").at(1, 0);
  w << edit("LogFile", "FleetOptions").width(kPathChars).at(1, 1, 1, 3);
  w << button("LogBrowse", "FleetOptions", "浏览…").at(1, 4);
  w << grid("FleetRadios", "", {"个人号", "状态", "电台标识"}).at(2, 0, 1, 3);
  w << label("FleetCounts", "", "已写 0 台，失败 0 次，剩余 0 台").at(3, 0, 1, 3);
  w << label("FleetHint", "", "选好模板和号码后按“开始”。").announced().at(4, 0, 1, 3);
  w << button("FleetStart", "", "开始").defaultButton().at(5, 0);
  w << button("FleetStop", "", "停止").disabled().at(5, 1);
  w << button("FleetClose", "", "关闭").cancelButton().at(5, 2);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

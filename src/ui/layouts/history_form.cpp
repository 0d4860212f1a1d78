// The service history in the window: the filters, the events newest first, a comparison's text,
// and what can be done with an event.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

namespace {

constexpr int kNumberLength = 10;
constexpr int kDateChars = 16;  // "2026-12-09 14:30"
constexpr int kComboChars = 10;
// Wide enough for every column but a long device name, which the table scrolls to.
constexpr int kTableChars = 110;

}  // namespace

FormSpec historyForm() {
  FormSpec windowLayout;
  windowLayout.name = "History_Form";
  windowLayout.className = "THistory_Form";
  windowLayout.caption = "历史记录";
  LayoutWriter w(windowLayout);
  // Which events are listed: each filter given narrows them; "查询" (Enter) lists them again.
  w << groupBox("HistoryFilter", "", "筛选").at(0, 0);
  w << label("HistoryNumberLab", "HistoryFilter", "个人号").at(0, 0);
  w << edit("HistoryNumber", "HistoryFilter").maxLength(kNumberLength).at(0, 1);
  w << label("HistoryModelLab", "HistoryFilter", "型号").at(0, 2);
  w << comboBox("HistoryModel", "HistoryFilter", {"不限"}, "不限").width(kComboChars).at(0, 3);
  w << label("HistoryResultLab", "HistoryFilter", "结果").at(0, 4);
  w << comboBox("HistoryResult", "HistoryFilter", {"不限"}, "不限").width(kComboChars).at(0, 5);
  w << label("HistorySinceLab", "HistoryFilter", "从").at(1, 0);
  w << edit("HistorySince", "HistoryFilter")
           .width(kDateChars)
           .hint("日期，如 2026-12-09 或 2026-12-09 14:30")
           .at(1, 1);
  w << label("HistoryUntilLab", "HistoryFilter", "到").at(1, 2);
  w << edit("HistoryUntil", "HistoryFilter")
           .width(kDateChars)
           .hint("日期，如 2026-12-09（含当天）")
           .at(1, 3);
  w << button("HistoryQuery", "HistoryFilter", "查询").defaultButton().hint("Enter").at(1, 5);
  w << grid("HistoryEvents", "", {"编号", "时间", "操作", "型号", "个人号", "结果", "设备", "用户"})
           .selectable(2)
           .width(kTableChars)
           .spoken("历史记录")
           .hint("选一条记录，或按住 Ctrl 选两条记录比较")
           .at(1, 0);
  w << label("HistoryHint", "", "").announced().at(2, 0);
  w << richText("HistoryCompare", "").spoken("比较结果").at(3, 0);
  w << panel("HistoryButtons", "").at(4, 0);
  w << button("HistoryTimeline", "HistoryButtons", "电台时间线").disabled().hint("Alt+T").at(0, 0);
  w << button("HistoryOpen", "HistoryButtons", "打开").disabled().hint("Alt+O").at(0, 1);
  w << button("HistoryCompareButton", "HistoryButtons", "比较").disabled().hint("Alt+C").at(0, 2);
  w << button("HistoryRestore", "HistoryButtons", "写回电台").disabled().hint("Alt+W").at(0, 3);
  w << button("HistoryClose", "HistoryButtons", "关闭").cancelButton().hint("Esc").at(0, 4);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

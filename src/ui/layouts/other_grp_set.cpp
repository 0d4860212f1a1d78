// Hidden and waiting groups, and the radio's electronic code.

#include <string>

#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {
namespace {

using detail::nth;

// Twenty waiting groups on one page: two columns of ten numbered fields under "组呼号".
void waitGroups(LayoutWriter& w, const std::string& page, int first) {
  for (int col = 0; col < 2; ++col)
    w << label(nth("WaitGrpHeadLab", first + 10 * col), page, "组呼号").at(0, 2 * col + 1);
  for (int i = 0; i < 20; ++i) {
    const int n = first + i;
    const int row = 1 + i % 10;
    const int col = 2 * (i / 10);
    w << label(nth("OtherGrpLab", n), page, twoDigits(n)).at(row, col);
    w << edit(nth("OtherGrp", n), page).maxLength(10).at(row, col + 1);
  }
}

}  // namespace

FormSpec otherGrpSet() {
  FormSpec windowLayout;
  windowLayout.name = "OtherGrpSet";
  windowLayout.className = "TOtherGrpSet";
  windowLayout.caption = "更多组及隐含组";
  LayoutWriter w(windowLayout);
  const std::string tabs = "OtherGrpPages";
  w << tabControl(tabs, "", "HideGrpPage").at(0, 0, 1, 3);

  w << tabPage("HideGrpPage", tabs, "隐含组");
  w << groupBox("HideGrp_Fram", "HideGrpPage", "隐含组设置").at(0, 0);
  for (int n = 1; n <= 8; ++n) {
    w << label(nth("OtherGrpLab", n), "HideGrp_Fram", "隐含组" + detail::chineseNumeral(n))
             .at(n - 1, 0);
    w << edit(nth("OtherGrp", n), "HideGrp_Fram").maxLength(10).at(n - 1, 1);
  }

  // The waiting groups are offered only while more groups may be shown.
  w << tabPage("WaitGrpPage1", tabs, "守候组一").hidden();
  waitGroups(w, "WaitGrpPage1", 9);
  w << tabPage("WaitGrpPage2", tabs, "守候组二").hidden();
  waitGroups(w, "WaitGrpPage2", 29);

  const std::string code = "ElectCodePage";
  w << tabPage(code, tabs, "电子码信息");
  detail::labelled(w, "electcode1Lab", "电子码1", edit("electcode1", code).maxLength(3), 0, 0);
  detail::labelled(w, "electcode2Lab", "电子码2", edit("electcode2", code).maxLength(5), 1, 0);
  w << button("BitBtn3", code, "写电子码").at(2, 0);
  w << button("BitBtn4", code, "读电子码").at(2, 1);

  w << checkBox("MoreGrpEnable", "", "允许显示更多组").disabled().at(1, 0);
  w << button("BitBtn1", "", "确定").defaultButton().at(1, 1);
  w << button("BitBtn2", "", "取消").cancelButton().at(1, 2);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

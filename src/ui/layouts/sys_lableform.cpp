// The forty route numbers with their system numbers.

#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec sysLableform() {
  FormSpec windowLayout;
  windowLayout.name = "SysLableform";
  windowLayout.className = "TSysLableform";
  windowLayout.caption = "无线局向号列表框";
  LayoutWriter w(windowLayout);
  const std::string fram = "SysLab_Fram";
  w << groupBox(fram, "", "").at(0, 0, 1, 2);
  // Four column pairs of ten rows; pair k is route field 2k-1 and system field 2k, and column c
  // holds pairs 10c+1 to 10c+10. A narrow empty column keeps each pair's headings apart from the
  // next pair's.
  constexpr int kPairStride = 3;
  for (int c = 0; c < 4; ++c) {
    w << label(detail::nth("RouteHeadLab", c + 1), fram, "局向号")
             .at(0, kPairStride * c)
             .align(Align::Center);
    w << label(detail::nth("SystemHeadLab", c + 1), fram, "系统号")
             .at(0, kPairStride * c + 1)
             .align(Align::Center);
    if (c < 3) w << label(detail::nth("PairGapLab", c + 1), fram, " ").at(0, kPairStride * c + 2);
  }
  for (int k = 1; k <= 40; ++k) {
    const int row = 1 + (k - 1) % 10;
    const int col = kPairStride * ((k - 1) / 10);
    w << detail::digitField(detail::nth("SysLabNum", 2 * k - 1), fram, 3, "000").at(row, col);
    w << detail::digitField(detail::nth("SysLabNum", 2 * k), fram, 3, "000").at(row, col + 1);
  }
  w << button("SysLable_OK", "", "确定").defaultButton().at(1, 0);
  w << button("SysLable_CANCEL", "", "取消").cancelButton().at(1, 1);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

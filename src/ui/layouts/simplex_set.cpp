// Receive and transmit frequencies of the off-network channels 9 to 20.

#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec simplexSet() {
  FormSpec windowLayout;
  windowLayout.name = "SimplexSet";
  windowLayout.className = "TSimplexSet";
  windowLayout.caption = "脱网频率设置";
  LayoutWriter w(windowLayout);
  w << label("RxFreqHeadLab", "", "接收频率").at(0, 1).align(Align::Center);
  w << label("TxFreqHeadLab", "", "发射频率").at(0, 2).align(Align::Center);
  for (int n = 9; n <= 20; ++n) {
    const int row = n - 8;
    // Row 20 belongs to no setting and is never offered.
    const bool used = n < 20;
    const Color background = used ? colors::Window : colors::ButtonFace;
    w << label(detail::nth("SimplexRowLab", n), "", twoDigits(n)).at(row, 0);
    auto rx = detail::digitField("S" + std::to_string(n) + "RxFreq", "", 7, "0000000", background);
    auto tx = detail::digitField("S" + std::to_string(n) + "TxFreq", "", 7, "0000000", background);
    if (!used) {
      rx.disabled();
      tx.disabled();
    }
    w << rx.at(row, 1) << tx.at(row, 2);
  }
  w << button("Set_OK", "", "确定").defaultButton().at(13, 1);
  w << button("Set_Cancle", "", "取消").cancelButton().at(13, 2);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

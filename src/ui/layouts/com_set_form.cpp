// The choice of serial port.

#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec comSetForm() {
  FormSpec windowLayout;
  windowLayout.name = "ComSet_Form";
  windowLayout.className = "TComSet_Form";
  windowLayout.caption = "设置串口";
  LayoutWriter w(windowLayout);
  w << groupBox("ComPort_Fram", "", "串口标号").at(0, 0, 1, 2);
  for (int n = 1; n <= 4; ++n)
    w << radioButton(detail::nth("Com", n), "ComPort_Fram", detail::nth("COM", n))
             .checked(n == 2)
             .at((n - 1) / 2, (n - 1) % 2);
  w << button("ComSet_OK", "", "确定").defaultButton().at(1, 0);
  w << button("ComSet_CANCLE", "", "取消").cancelButton().at(1, 1);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

// The choice of serial port, and of the device behind each port name.

#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

namespace {

// Wide enough for a product name and the short device name, "FT232R USB UART (ttyUSB0)".
constexpr int kDeviceChars = 34;

}  // namespace

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
  // The device each port name stands for: a serial device from the list or a typed path.
  w << groupBox("ComDevice_Fram", "", "串口设备").at(1, 0, 1, 2);
  for (int n = 1; n <= 4; ++n) {
    w << label(detail::nth("ComDeviceLab", n), "ComDevice_Fram", detail::nth("COM", n))
             .at(n - 1, 0);
    w << comboBox(detail::nth("ComDevice", n), "ComDevice_Fram", {}, "")
             .width(kDeviceChars)
             .at(n - 1, 1);
  }
  w << button("ComRefresh", "ComDevice_Fram", "刷新").at(4, 1).align(Align::Right);
  // What a write does besides writing, and the way to the copies kept of the radios.
  w << groupBox("WriteSafe_Fram", "", "写频安全").at(2, 0, 1, 2);
  w << checkBox("BackupBeforeWrite", "WriteSafe_Fram", "写前备份").at(0, 0);
  w << checkBox("VerifyAfterWrite", "WriteSafe_Fram", "写后校验").at(0, 1);
  w << button("BackupFolder", "WriteSafe_Fram", "备份文件夹…").at(0, 2).align(Align::Right);
  w << button("FleetOpen", "WriteSafe_Fram", "批量写频…").at(1, 2).align(Align::Right);
  w << button("HistoryShow", "WriteSafe_Fram", "历史记录").at(2, 2).align(Align::Right);
  w << button("ComSet_OK", "", "确定").defaultButton().at(3, 0);
  w << button("ComSet_CANCLE", "", "取消").cancelButton().at(3, 1);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

// The About box.

#include <array>
#include <string>

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"
#include "version.hpp"

namespace rcp::ui::layouts {

FormSpec versionForm() {
  FormSpec windowLayout;
  windowLayout.name = "Version_Form";
  windowLayout.className = "TVersion_Form";
  windowLayout.caption = "版本信息";
  LayoutWriter w(windowLayout);
  w << label("TitleLab", "", "RCP520中文写码软件").bold().at(0, 0).align(Align::Center);
  w << bevel("Bevel1", "").at(1, 0);
  w << picture("VersionImage", "").at(2, 0).align(Align::Center);
  w << bevel("Bevel2", "").at(3, 0);
  w << label("VersionLab", "", "版 本 号: Ver " + std::string(kVersion)).at(4, 0);
  const std::array<std::pair<const char*, const char*>, 5> lines = {{
      {"OwnerLab", "版权所有: Veltra通讯设备有限公司"},
      {"DateLab", "设计日期: 2024年6月"},
      {"DesignerLab", "设 计 者: Veltra研发部"},
      {"TelLab", "联系电话: 0755-8888 6666"},
      {"WebLab", "网    址: www.veltra-comm.com"},
  }};
  for (int i = 0; i < static_cast<int>(lines.size()); ++i)
    w << label(lines[i].first, "", lines[i].second).at(5 + i, 0);
  // The keys for the two double-clicks (the picture above the tabs, the status bar).
  w << label("KeysLab", "", "快捷键: Alt+J 同双击图片, Alt+Z 同双击状态栏").at(10, 0);
  w << button("VersionOk", "", "确定").at(11, 0).align(Align::Center);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

// The range warning: a rule text and its bound side by side.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec error1Form() {
  FormSpec windowLayout;
  windowLayout.name = "Error1_Form";
  windowLayout.className = "TError1_Form";
  windowLayout.caption = "警告";
  LayoutWriter w(windowLayout);
  w << picture("WarnImage", "").at(0, 0);
  w << label("WarnLab1", "", "最小值为").at(0, 1);
  w << label("WarnLab2", "", "1").at(0, 2);
  w << button("Error1_Ok", "", "确定").at(1, 0, 1, 3).align(Align::Center);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

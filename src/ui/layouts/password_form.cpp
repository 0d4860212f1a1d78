// The password asked for before the test page is offered.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec passwordForm() {
  FormSpec windowLayout;
  windowLayout.name = "Password_Form";
  windowLayout.className = "TPassword_Form";
  windowLayout.caption = "密码框";
  LayoutWriter w(windowLayout);
  w << label("Label1", "", "请输入密码：").at(0, 0, 1, 2);
  w << edit("PassWords", "").password('*').width(16).at(1, 0, 1, 2);
  w << button("Ok_Button", "", "确定").defaultButton().at(2, 0);
  w << button("Cancel_Button", "", "取消").cancelButton().at(2, 1);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

// The progress of a transfer to or from the radio.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec writeDataForm() {
  FormSpec windowLayout;
  windowLayout.name = "WriteData_Form";
  windowLayout.className = "TWriteData_Form";
  windowLayout.caption = "数据读写";
  windowLayout.clientWidth = 344;
  windowLayout.clientHeight = 91;
  LayoutWriter w(windowLayout);
  w << label("WriteLabel", "", "正在写录数据，请稍候...")
           .announced()
           .font("隶书")
           .bold()
           .fontColor(colors::Green)
           .at(0, 0, 1, 3);
  w << progressBar("WriteProgressBar", "", 0, 100).at(1, 0);
  // The position as a number, borderless on the dialog's own background.
  w << edit("Percent", "").text("0").color(colors::ButtonFace).width(3).at(1, 1);
  w << label("Label1", "", "%").at(1, 2);
  return windowLayout;
}

}  // namespace rcp::ui::layouts

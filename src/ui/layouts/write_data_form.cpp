// The progress of a transfer to or from the radio.

#include "ui/layout.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {

FormSpec writeDataForm() {
  FormSpec spec;
  spec.name = "WriteData_Form";
  spec.className = "TWriteData_Form";
  spec.caption = "数据读写";
  spec.clientWidth = 344;
  spec.clientHeight = 91;
  LayoutWriter w(spec);
  w << label("WriteLabel", "", "正在写录数据,请稍候...")
           .font("隶书")
           .bold()
           .fontColor(colors::Green)
           .at(0, 0, 1, 3);
  w << progressBar("WriteProgressBar", "", 0, 100).at(1, 0);
  // The position as a number, borderless on the dialog's own background.
  w << edit("Percent", "").text("0").color(colors::ButtonFace).width(3).at(1, 1);
  w << label("Label1", "", "%").at(1, 2);
  return spec;
}

}  // namespace rcp::ui::layouts

#include "ui/window_text.hpp"

namespace rcp::ui {

std::string windowText(const Form& form) {
  std::string text;
  for (const Control& c : form.controls()) {
    if (c.kind != ControlKind::Label || !c.visible || c.caption.empty()) continue;
    if (!text.empty()) text += ' ';
    text += c.caption;
  }
  return text;
}

}  // namespace rcp::ui

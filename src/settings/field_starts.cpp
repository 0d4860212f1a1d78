#include "settings/field_starts.hpp"

#include <stdexcept>

#include "settings/field_table.hpp"

namespace rcp::settings {

namespace {

ui::Control& controlIn(ui::FormSpec& window, const std::string& name) {
  for (ui::Control& c : window.controls)
    if (c.name == name) return c;
  throw std::logic_error("the main window has no control " + name);
}

void applyStart(ui::FormSpec& window, const FieldDef& f) {
  if (f.kind == FieldKind::RadioChoice) {
    for (const RadioOption& o : f.options)
      controlIn(window, o.control).checked = o.value == f.start;
    return;
  }
  ui::Control& box = controlIn(window, f.control);
  switch (f.kind) {
    case FieldKind::Digits:
    case FieldKind::Text:
      box.maxLength = f.maxLength;
      box.text = std::get<std::string>(f.start);
      return;
    case FieldKind::Choice:
      box.text = std::get<std::string>(f.start);
      return;
    case FieldKind::Number:  // a spin edit keeps its value as text
      box.text = std::to_string(std::get<std::int64_t>(f.start));
      return;
    case FieldKind::Level:
      box.value = static_cast<int>(std::get<std::int64_t>(f.start));
      return;
    case FieldKind::Switch:
      box.checked = std::get<bool>(f.start);
      return;
    case FieldKind::InvertedSwitch:
      box.checked = !std::get<bool>(f.start);
      return;
    case FieldKind::RadioChoice:
    case FieldKind::Integer:
    case FieldKind::U32:
      return;
  }
}

}  // namespace

ui::FormSpec withFieldStarts(ui::FormSpec mainWindow) {
  for (const FieldDef& f : fieldTable())
    if (f.startsTheBox) applyStart(mainWindow, f);
  return mainWindow;
}

}  // namespace rcp::settings

#include "ui/spoken_names.hpp"

#include <array>
#include <utility>

namespace rcp::ui {

namespace {

constexpr std::string_view kJoin = "，";

// Colours that tell a state, and the words that tell it too.
struct ColourMeaning {
  ControlKind kind;
  Color fontColor;
  std::string_view words;
};
constexpr std::array<ColourMeaning, 1> kColourMeanings = {{
    {ControlKind::Button, colors::Blue, "当前选用"},
}};

constexpr std::string_view kCannotBeSet = "不可设置";

std::string trimmed(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool sameRow(const Control& a, const Control& b) {
  return a.parent == b.parent && a.cell.row == b.cell.row;
}

// In a table of boxes: the label at the start of the box's row (when it is not beside it) and
// the heading above its column in the container's first row.
std::string tablePlace(const Form& form, const Control& box) {
  std::string row;
  std::string column;
  // Headings stand in the first row over the columns of boxes; their corner is empty.
  bool corner = false;
  for (const Control* c : form.children(box.parent))
    corner = corner || (c->cell.row == 0 && c->cell.col == 0 && !trimmed(c->caption).empty());
  for (const Control* c : form.children(box.parent)) {
    if (c->kind != ControlKind::Label || trimmed(c->caption).empty()) continue;
    if (sameRow(*c, box) && c->cell.col == 0 && box.cell.col > 0) row = withoutColon(c->caption);
    if (box.cell.row > 0 && c->cell.row == 0 && c->cell.col <= box.cell.col &&
        box.cell.col < c->cell.col + c->cell.colSpan)
      column = withoutColon(c->caption);
  }
  // Beside a label of its own, a box takes no heading from a row of label-and-box pairs.
  if (corner && !row.empty()) return row;
  if (row.empty() || column.empty()) return row + column;
  return row + " " + column;
}

std::string ownName(const Form& form, const Control& c) {
  switch (c.kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
    case ControlKind::TabPage:
      return trimmed(c.caption);
    default:
      break;
  }
  if (const Control* label = labelBeside(form, c)) {
    // A numbered row's label (at the row's start) is joined by its column's heading.
    if (label->cell.col == 0) return tablePlace(form, c);
    return trimmed(withoutColon(label->caption));
  }
  return tablePlace(form, c);
}

}  // namespace

bool takesInput(ControlKind kind) {
  switch (kind) {
    case ControlKind::Edit:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::ComboBox:
    case ControlKind::SpinEdit:
    case ControlKind::TrackBar:
    case ControlKind::Button:
      return true;
    default:
      return false;
  }
}

const Control* labelBeside(const Form& form, const Control& box) {
  for (const Control* c : form.children(box.parent))
    if (c->kind == ControlKind::Label && sameRow(*c, box) &&
        c->cell.col + c->cell.colSpan == box.cell.col)
      return c;
  return nullptr;
}

std::string withoutColon(std::string caption) {
  for (std::string_view colon : {":", "："})
    if (caption.ends_with(colon)) caption.resize(caption.size() - colon.size());
  return caption;
}

bool enabledWithin(const Form& form, const Control& control) {
  for (const Control* c = &control;; c = &form.at(c->parent)) {
    if (!c->enabled) return false;
    if (c->parent.empty()) return true;
  }
}

std::vector<std::string> placeOf(const Form& form, std::string_view control, bool withPages) {
  std::vector<std::string> out;
  for (const Control* c = &form.at(control); !c->parent.empty(); c = &form.at(c->parent)) {
    const Control& around = form.at(c->parent);
    if (around.kind == ControlKind::GroupBox || (withPages && around.kind == ControlKind::TabPage))
      out.insert(out.begin(), around.caption);
  }
  return out;
}

std::string spokenName(const Form& form, const Control& control) {
  if (!control.spokenName.empty()) return control.spokenName;
  std::string out = ownName(form, control);
  // A box nothing names (a page's only text): by the page or group it fills.
  if (out.empty()) {
    const std::vector<std::string> pages = placeOf(form, control.name, true);
    if (!pages.empty()) out = trimmed(withoutColon(pages.back()));
  }
  const std::vector<std::string> around = placeOf(form, control.name, false);
  for (auto group = around.rbegin(); group != around.rend(); ++group) {
    const std::string caption = trimmed(withoutColon(*group));
    if (caption.empty() || caption == out) continue;
    out += (out.empty() ? "" : std::string(kJoin)) + caption;
  }
  return out;
}

std::string spokenDescription(const Form& form, const Control& control) {
  std::string out = control.hint;
  // A box whose label carries the explanation (the counters).
  if (const Control* label = labelBeside(form, control); out.empty() && label) out = label->hint;
  const auto add = [&out](std::string_view words) {
    out += (out.empty() ? "" : std::string(kJoin)) + std::string(words);
  };
  for (const ColourMeaning& m : kColourMeanings)
    if (m.kind == control.kind && m.fontColor == control.fontColor) add(m.words);
  if (takesInput(control.kind) && !enabledWithin(form, control)) add(kCannotBeSet);
  return out;
}

}  // namespace rcp::ui

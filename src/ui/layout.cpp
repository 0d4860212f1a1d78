#include "ui/layout.hpp"

#include <charconv>

namespace rcp::ui {

ControlSpec::ControlSpec(ControlKind kind, std::string name, std::string parent) {
  c_.kind = kind;
  c_.name = std::move(name);
  c_.parent = std::move(parent);
  // Only input fields have the window colour; everything else shows the button face.
  const bool input = kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
                     kind == ControlKind::SpinEdit || kind == ControlKind::RichText;
  c_.color = input ? colors::Window : colors::ButtonFace;
}

ControlSpec& ControlSpec::caption(std::string caption) {
  c_.caption = std::move(caption);
  return *this;
}
ControlSpec& ControlSpec::text(std::string text) {
  c_.text = std::move(text);
  return *this;
}
ControlSpec& ControlSpec::checked(bool on) {
  c_.checked = on;
  return *this;
}
ControlSpec& ControlSpec::value(int value) {
  if (c_.kind == ControlKind::SpinEdit)
    c_.text = std::to_string(value);
  else
    c_.value = value;
  return *this;
}
ControlSpec& ControlSpec::range(int min, int max) {
  c_.min = min;
  c_.max = max;
  return *this;
}
ControlSpec& ControlSpec::step(int step) {
  c_.step = step;
  return *this;
}
ControlSpec& ControlSpec::items(std::vector<std::string> items) {
  c_.items = std::move(items);
  return *this;
}
ControlSpec& ControlSpec::maxLength(int length) {
  c_.maxLength = length;
  return *this;
}
ControlSpec& ControlSpec::disabled() {
  c_.enabled = false;
  return *this;
}
ControlSpec& ControlSpec::hidden() {
  c_.visible = false;
  return *this;
}
ControlSpec& ControlSpec::color(Color color) {
  c_.color = color;
  return *this;
}
ControlSpec& ControlSpec::fontColor(Color color) {
  c_.fontColor = color;
  return *this;
}
ControlSpec& ControlSpec::selectable(int rows) {
  c_.selectableRows = rows;
  return *this;
}
ControlSpec& ControlSpec::hint(std::string hint) {
  c_.hint = std::move(hint);
  return *this;
}
ControlSpec& ControlSpec::font(std::string fontName) {
  c_.fontName = std::move(fontName);
  return *this;
}
ControlSpec& ControlSpec::spoken(std::string spokenName) {
  c_.spokenName = std::move(spokenName);
  return *this;
}

ControlSpec& ControlSpec::announced() {
  c_.announced = true;
  return *this;
}

ControlSpec& ControlSpec::bold() {
  c_.bold = true;
  return *this;
}
ControlSpec& ControlSpec::password(char mask) {
  c_.passwordChar = mask;
  return *this;
}
ControlSpec& ControlSpec::defaultButton() {
  c_.isDefault = true;
  return *this;
}
ControlSpec& ControlSpec::cancelButton() {
  c_.isCancel = true;
  return *this;
}
ControlSpec& ControlSpec::panel(int width, Align align, bool rightToLeft, std::string text,
                                bool announced) {
  c_.panels.push_back(StatusPanel{width, align, rightToLeft, std::move(text), announced});
  return *this;
}
ControlSpec& ControlSpec::at(int row, int col, int rowSpan, int colSpan) {
  c_.cell.row = row;
  c_.cell.col = col;
  c_.cell.rowSpan = rowSpan;
  c_.cell.colSpan = colSpan;
  return *this;
}
ControlSpec& ControlSpec::width(int chars) {
  c_.cell.widthChars = chars;
  return *this;
}
ControlSpec& ControlSpec::align(Align align) {
  c_.cell.align = align;
  return *this;
}

ControlSpec tabControl(std::string name, std::string parent, std::string activePage) {
  return ControlSpec(ControlKind::TabControl, std::move(name), std::move(parent))
      .text(std::move(activePage));
}
ControlSpec tabPage(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::TabPage, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec groupBox(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::GroupBox, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec panel(std::string name, std::string parent) {
  return ControlSpec(ControlKind::Panel, std::move(name), std::move(parent));
}
ControlSpec label(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::Label, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec edit(std::string name, std::string parent) {
  return ControlSpec(ControlKind::Edit, std::move(name), std::move(parent));
}
ControlSpec checkBox(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::CheckBox, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec radioButton(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::RadioButton, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec comboBox(std::string name, std::string parent, std::vector<std::string> items,
                     std::string text) {
  return ControlSpec(ControlKind::ComboBox, std::move(name), std::move(parent))
      .items(std::move(items))
      .text(std::move(text));
}
ControlSpec spinEdit(std::string name, std::string parent, int min, int max, int value) {
  return ControlSpec(ControlKind::SpinEdit, std::move(name), std::move(parent))
      .range(min, max)
      .value(value);
}
ControlSpec trackBar(std::string name, std::string parent, int min, int max, int value) {
  return ControlSpec(ControlKind::TrackBar, std::move(name), std::move(parent))
      .range(min, max)
      .value(value);
}
ControlSpec button(std::string name, std::string parent, std::string caption) {
  return ControlSpec(ControlKind::Button, std::move(name), std::move(parent))
      .caption(std::move(caption));
}
ControlSpec upDown(std::string name, std::string parent) {
  return ControlSpec(ControlKind::UpDown, std::move(name), std::move(parent));
}
ControlSpec picture(std::string name, std::string parent) {
  return ControlSpec(ControlKind::Picture, std::move(name), std::move(parent));
}
ControlSpec richText(std::string name, std::string parent) {
  return ControlSpec(ControlKind::RichText, std::move(name), std::move(parent));
}
ControlSpec grid(std::string name, std::string parent, const std::vector<std::string>& columns) {
  return ControlSpec(ControlKind::Grid, std::move(name), std::move(parent))
      .caption(gridRow(columns));
}
std::string gridRow(const std::vector<std::string>& cells) {
  std::string row;
  for (std::size_t i = 0; i < cells.size(); ++i) row += (i ? "\t" : "") + cells[i];
  return row;
}
std::vector<std::size_t> selectedRows(const Control& grid) {
  std::vector<std::size_t> rows;
  for (const std::string& index : gridCells(grid.text)) {
    std::size_t row = 0;
    const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), row);
    if (!index.empty() && error == std::errc() && end == index.data() + index.size() &&
        row < grid.items.size())
      rows.push_back(row);
  }
  return rows;
}
std::string selectionText(const std::vector<std::size_t>& rows) {
  std::vector<std::string> indices;
  for (const std::size_t row : rows) indices.push_back(std::to_string(row));
  return gridRow(indices);
}
std::vector<std::string> gridCells(const std::string& row) {
  std::vector<std::string> cells;
  std::size_t from = 0;
  for (std::size_t tab; (tab = row.find('\t', from)) != std::string::npos; from = tab + 1)
    cells.push_back(row.substr(from, tab - from));
  cells.push_back(row.substr(from));
  return cells;
}
ControlSpec progressBar(std::string name, std::string parent, int min, int max) {
  return ControlSpec(ControlKind::ProgressBar, std::move(name), std::move(parent)).range(min, max);
}
ControlSpec statusBar(std::string name, std::string parent) {
  return ControlSpec(ControlKind::StatusBar, std::move(name), std::move(parent));
}
ControlSpec bevel(std::string name, std::string parent) {
  return ControlSpec(ControlKind::Bevel, std::move(name), std::move(parent));
}
ControlSpec timer(std::string name, int intervalMs) {
  return ControlSpec(ControlKind::Timer, std::move(name), "").value(intervalMs);
}

}  // namespace rcp::ui

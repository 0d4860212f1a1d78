#pragma once

#include <string>
#include <vector>

#include "ui/form.hpp"

namespace rcp::ui {

// A readable way to declare a control of a window layout:
//   edit("RxFreq", "ChannelSet_Fram").text("3610250").maxLength(7).at(1, 3)
class ControlSpec {
 public:
  ControlSpec(ControlKind kind, std::string name, std::string parent);

  ControlSpec& caption(std::string caption);
  ControlSpec& text(std::string text);
  ControlSpec& checked(bool on = true);
  ControlSpec& value(int value);
  ControlSpec& range(int min, int max);
  ControlSpec& step(int step);
  ControlSpec& items(std::vector<std::string> items);
  ControlSpec& maxLength(int length);
  ControlSpec& disabled();
  ControlSpec& hidden();
  ControlSpec& color(Color color);
  ControlSpec& fontColor(Color color);
  ControlSpec& hint(std::string hint);
  ControlSpec& spoken(std::string spokenName);
  ControlSpec& font(std::string fontName);
  ControlSpec& bold();
  ControlSpec& password(char mask = '*');
  ControlSpec& defaultButton();
  ControlSpec& cancelButton();
  ControlSpec& announced();
  // A Grid whose rows the user selects, up to `rows` at once.
  ControlSpec& selectable(int rows);
  ControlSpec& panel(int width, Align align, bool rightToLeft, std::string text,
                     bool announced = false);
  // Place in the parent's grid; widthChars hints the width of edit-like controls.
  ControlSpec& at(int row, int col, int rowSpan = 1, int colSpan = 1);
  ControlSpec& width(int chars);
  ControlSpec& align(Align align);

  const Control& control() const { return c_; }
  Control take() { return std::move(c_); }

 private:
  Control c_;
};

ControlSpec tabControl(std::string name, std::string parent, std::string activePage);
ControlSpec tabPage(std::string name, std::string parent, std::string caption);
ControlSpec groupBox(std::string name, std::string parent, std::string caption);
ControlSpec panel(std::string name, std::string parent);
ControlSpec label(std::string name, std::string parent, std::string caption);
ControlSpec edit(std::string name, std::string parent);
ControlSpec checkBox(std::string name, std::string parent, std::string caption);
ControlSpec radioButton(std::string name, std::string parent, std::string caption);
// The value (or text) of a box that shows a settings field comes from the field registry when the
// window is created; such a box is declared without it.
ControlSpec comboBox(std::string name, std::string parent, std::vector<std::string> items,
                     std::string text = {});
ControlSpec spinEdit(std::string name, std::string parent, int min, int max, int value = 0);
ControlSpec trackBar(std::string name, std::string parent, int min, int max, int value = 0);
ControlSpec button(std::string name, std::string parent, std::string caption);
ControlSpec upDown(std::string name, std::string parent);
ControlSpec picture(std::string name, std::string parent);
ControlSpec richText(std::string name, std::string parent);
// A read-only table with these column titles; its rows are set with Form::setItems.
ControlSpec grid(std::string name, std::string parent, const std::vector<std::string>& columns);
// Cells joined into one row of a grid, and a row split into its cells.
std::string gridRow(const std::vector<std::string>& cells);
std::vector<std::string> gridCells(const std::string& row);
// The rows selected in a grid, in the order chosen, and their indices as the grid's text.
std::vector<std::size_t> selectedRows(const Control& grid);
std::string selectionText(const std::vector<std::size_t>& rows);
ControlSpec progressBar(std::string name, std::string parent, int min, int max);
ControlSpec statusBar(std::string name, std::string parent);
ControlSpec bevel(std::string name, std::string parent);
ControlSpec timer(std::string name, int intervalMs);

// Collects the controls of one layout in creation order.
class LayoutWriter {
 public:
  explicit LayoutWriter(FormSpec& windowLayout) : spec_(windowLayout) {}
  LayoutWriter& operator<<(ControlSpec&& c) {
    spec_.controls.push_back(c.take());
    return *this;
  }
  LayoutWriter& operator<<(ControlSpec& c) {
    spec_.controls.push_back(c.take());
    return *this;
  }

 private:
  FormSpec& spec_;
};

}  // namespace rcp::ui

#pragma once

#include <string>
#include <vector>

#include "ui/color.hpp"

namespace rcp::ui {

enum class ControlKind {
  TabControl,   // text holds the name of the active page
  TabPage,      // visible = whether its tab is offered
  GroupBox,
  Panel,
  Label,
  Edit,         // text, maxLength, passwordChar
  CheckBox,     // checked
  RadioButton,  // checked; siblings under the same parent form one group
  ComboBox,     // text, items
  SpinEdit,     // text as typed; value() reads it, min/max/step
  TrackBar,     // value, min/max
  Button,
  UpDown,       // an up/down button pair: events Up and Down
  Picture,
  RichText,     // read-only rich text box
  Grid,         // read-only table: see ui::grid
  ProgressBar,  // value, min/max
  StatusBar,    // panels
  Bevel,
  Timer,        // value = interval in ms, enabled = running; event Timer
};

enum class Event { Exit, Click, Change, DblClick, KeyPress, Shown, Up, Down, Timer };

enum class Align { Left, Center, Right };

struct StatusPanel {
  int width = 100;
  Align align = Align::Left;
  bool rightToLeft = false;
  std::string text;
  // A change of its text is said to the user at once (a screen reader's alert).
  bool announced = false;
};

// Where a control sits inside its parent's grid. The front end turns the grid into real
// geometry; width is a hint in characters for edit-like controls (0 = derive it).
struct GridCell {
  int row = 0;
  int col = 0;
  int rowSpan = 1;
  int colSpan = 1;
  int widthChars = 0;
  Align align = Align::Left;
};

// One control of a form: the toolkit-free state a widget shows. Plain data; the semantics of
// changing it (events, clamping, radio groups) live in Form.
struct Control {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string parent;  // empty = the form itself
  std::string caption;
  std::string text;
  bool checked = false;
  int value = 0;
  int min = 0;
  int max = 0;
  int step = 1;
  std::vector<std::string> items;
  int maxLength = 0;  // 0 = unlimited
  bool enabled = true;
  bool visible = true;
  Color color = colors::Window;
  Color fontColor = colors::WindowText;
  std::string hint;
  // What a screen reader calls the control, when the window knows better than its label beside
  // it (a settings field: by the field registry's caption path); empty: see ui::spokenName.
  std::string spokenName;
  std::string fontName;
  bool bold = false;
  char passwordChar = 0;
  bool isDefault = false;  // button pressed by Enter
  bool isCancel = false;   // button pressed by Esc
  bool announced = false;  // a label whose new caption is said to the user at once
  // A Grid: how many rows the user may select at once (0: none). The selection is the text, the
  // rows' indices in the order chosen (see ui::selectedRows).
  int selectableRows = 0;
  std::vector<StatusPanel> panels;
  GridCell cell;

  // The number a spin edit holds: its text as a decimal number, or its minimum when the text is
  // not a number. Other kinds: value.
  int numericValue() const;
  bool isContainer() const;
};

}  // namespace rcp::ui

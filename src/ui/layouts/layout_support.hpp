#pragma once

// Small helpers shared by the window layouts; not part of the layouts' interface.

#include <array>
#include <string>
#include <string_view>

#include "ui/layout.hpp"
#include "ui/number_text.hpp"

namespace rcp::ui::layouts::detail {

// "ControlChannel" + 7 -> "ControlChannel7": the name of a member of a numbered family.
inline std::string nth(std::string_view stem, int n) {
  return std::string(stem) + std::to_string(n);
}

// The Chinese numerals 1 to 19 ("一" .. "十九") as the layouts count with them.
inline std::string chineseNumeral(int n) {
  static constexpr std::array<const char*, 10> digits = {"",   "一", "二", "三", "四",
                                                         "五", "六", "七", "八", "九"};
  if (n < 1 || n > 19) return std::to_string(n);
  if (n < 10) return digits[static_cast<std::size_t>(n)];
  return std::string("十") + digits[static_cast<std::size_t>(n - 10)];
}

// A numeric input field: an edit with its start text, its length limit and its background.
inline ControlSpec digitField(std::string name, std::string parent, int maxLength, std::string text,
                              Color background = colors::Window) {
  return edit(std::move(name), std::move(parent))
      .maxLength(maxLength)
      .text(std::move(text))
      .color(background);
}

// The box of a settings field: the program gives it its start text and length limit from the
// field registry when the window is created.
inline ControlSpec fieldBox(std::string name, std::string parent, Color background) {
  return edit(std::move(name), std::move(parent)).color(background);
}

// A caption label and its field side by side: the label at (row, col), the field one cell right.
inline void labelled(LayoutWriter& w, std::string labelName, std::string caption, ControlSpec field,
                     int row, int col) {
  w << label(std::move(labelName), field.control().parent, std::move(caption)).at(row, col);
  w << field.at(row, col + 1);
}

}  // namespace rcp::ui::layouts::detail

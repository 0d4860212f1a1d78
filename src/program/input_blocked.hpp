#pragma once

#include "ui/screen.hpp"

namespace rcp::app {

// Keeps the window from taking input for as long as a transfer runs, however it ends.
class InputBlocked {
 public:
  explicit InputBlocked(ui::Screen& screen) : screen_(screen) { screen_.blockInput(true); }
  ~InputBlocked() { screen_.blockInput(false); }
  InputBlocked(const InputBlocked&) = delete;
  InputBlocked& operator=(const InputBlocked&) = delete;

 private:
  ui::Screen& screen_;
};

}  // namespace rcp::app

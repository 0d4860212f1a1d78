#pragma once

#include <string>

#include "ui/form.hpp"

namespace rcp::ui {

// The front end's side of the program's windows.
class Screen {
 public:
  virtual ~Screen() = default;
  // A window now exists; the front end builds its view and follows the form from here on.
  virtual void formCreated(Form& form) = 0;
  // Paints the form now without processing user input (transfers block the event loop).
  virtual void repaint(const Form& form) = 0;
  // The wait cursor while a transfer runs.
  virtual void setBusy(bool busy) = 0;
  // While a transfer runs the window takes no input: what the user does meanwhile is dropped,
  // not kept for later. Message boxes shown meanwhile still take their answer.
  virtual void blockInput(bool /*blocked*/) {}
  // Handles the user's input that is waiting, now: an operation that runs for minutes calls it
  // between its steps so that its own modal window (its stop button) still answers. While input
  // is blocked, only a modal window shown meanwhile takes it.
  virtual void processInput() {}
  virtual void setApplicationTitle(const std::string& title) = 0;
  // Ends the event loop.
  virtual void quit() = 0;
};

}  // namespace rcp::ui

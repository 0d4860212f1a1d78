#pragma once

#include <stdexcept>

namespace rcp::ui {

// A text that a rule needed as a number was not one. The event loop shows its message in the
// standard error box, as for any other error escaping a handler.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace rcp::ui

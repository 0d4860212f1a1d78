#pragma once

#include <string>

#include "ui/form.hpp"

namespace rcp::ui {

// What a small window such as the range warning says, as the user reads it: the captions of its
// visible labels in order, a space between them ("最小值为 1").
std::string windowText(const Form& form);

}  // namespace rcp::ui

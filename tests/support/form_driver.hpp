#pragma once

#include <string>

#include "ui/form.hpp"

namespace rcp::test {

// Types into a field the way a user does: focus it, replace its text, leave it.
inline void enter(ui::Form& form, const std::string& field, const std::string& text) {
  form.userFocus(field);
  form.userType(field, text);
  form.userExit(field);
}

}  // namespace rcp::test

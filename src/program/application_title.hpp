#pragma once

#include <string>
#include <utility>

#include "ui/dialogs.hpp"

namespace rcp::app {

// The title the task bar shows, and the caption of the standard error box.
inline constexpr const char* kApplicationTitle = "Veltra写频软件";

// The toolkit's standard error box: an error's text under the application title.
inline ui::Message errorBox(std::string text) {
  return {std::move(text), kApplicationTitle, ui::MessageIcon::Error};
}

}  // namespace rcp::app

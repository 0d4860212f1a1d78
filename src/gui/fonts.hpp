#pragma once

#include <QFont>
#include <string>

namespace rcp::gui {

// The application's font: an installed CJK sans-serif face at the size the forms were drawn
// for (9 point).
QFont applicationFont();

// The font a control asks for by its face name ("隶书", "楷体_GB2312", ...), mapped to the
// nearest installed face. Only the face (when named) and the weight are set, so the rest is
// inherited from the parent widget.
QFont controlFont(const std::string& faceName, bool bold);

}  // namespace rcp::gui

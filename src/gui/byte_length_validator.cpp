#include "gui/byte_length_validator.hpp"

namespace rcp::gui {

ByteLengthValidator::ByteLengthValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State ByteLengthValidator::validate(QString& input, int&) const {
  return byteLength(input) <= maxBytes_ ? Acceptable : Invalid;
}

int ByteLengthValidator::byteLength(const QString& text) {
  int bytes = 0;
  for (QChar c : text) bytes += c.unicode() < 0x80 ? 1 : 2;
  return bytes;
}

}  // namespace rcp::gui

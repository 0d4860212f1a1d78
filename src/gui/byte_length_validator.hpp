#pragma once

#include <QValidator>

namespace rcp::gui {

// The length limit of an edit field counted as the radio and the data files count it: in
// double-byte code-page bytes, a Chinese character taking two.
class ByteLengthValidator final : public QValidator {
  Q_OBJECT

 public:
  ByteLengthValidator(int maxBytes, QObject* parent);

  State validate(QString& input, int& pos) const override;
  static int byteLength(const QString& text);

 private:
  int maxBytes_;
};

}  // namespace rcp::gui

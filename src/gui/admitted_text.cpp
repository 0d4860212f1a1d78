#include "gui/admitted_text.hpp"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <algorithm>
#include <climits>
#include <functional>

#include "ui/form.hpp"

namespace rcp::gui {

namespace {

constexpr char32_t kBackspace = 8;

struct AdmittedText {
  QString text;
  int cursor = 0;
};

// The length as the radio and the data files count it, in double-byte code-page bytes.
int byteLength(const QString& text) {
  int bytes = 0;
  for (QChar c : text) bytes += c.unicode() < 0x80 ? 1 : 2;
  return bytes;
}

// The change from before to after read as one run inserted in place of a removed one; each
// inserted character goes through key (0 or Backspace drops it), and the run is cut where the
// whole would exceed maxBytes (0: no limit).
AdmittedText admitInsertion(const QString& before, const QString& after, int cursor,
                            const std::function<char32_t(char32_t)>& key, int maxBytes) {
  const qsizetype common = std::min(before.size(), after.size());
  // The inserted run ends at the cursor when what follows it is the end of before (a paste, a
  // drop or a typed key leaves the cursor there); otherwise it ends where the texts part.
  qsizetype end = after.size() - cursor;
  if (cursor < 0 || end > before.size() || !before.endsWith(after.right(end))) {
    end = 0;
    while (end < common && before[before.size() - 1 - end] == after[after.size() - 1 - end])
      ++end;
  }
  qsizetype start = 0;
  while (start < common - end && before[start] == after[start]) ++start;
  // Never split a surrogate pair between the kept parts and the inserted run.
  if (start > 0 && after[start - 1].isHighSurrogate()) --start;
  if (end > 0 && after[after.size() - end].isLowSurrogate()) --end;

  const QString head = after.left(start);
  const QString tail = after.right(end);
  const QString inserted = after.mid(start, after.size() - start - end);
  const int room = maxBytes > 0 ? maxBytes - byteLength(head) - byteLength(tail) : INT_MAX;

  QString admitted;
  int bytes = 0;
  for (char32_t typed : inserted.toUcs4()) {
    const char32_t passed = key(typed);
    if (passed == 0 || passed == kBackspace) continue;
    const QString character = QString::fromUcs4(&passed, 1);
    if (bytes + byteLength(character) > room) break;
    bytes += byteLength(character);
    admitted += character;
  }
  // Like keys that are all discarded, an insertion of which nothing is admitted changes
  // nothing, not even the selection it was to replace.
  if (admitted.isEmpty() && !inserted.isEmpty())
    return {before, static_cast<int>(before.size() - end)};
  return {head + admitted + tail, static_cast<int>(head.size() + admitted.size())};
}

}  // namespace

std::string admitUserEdit(ui::Form& form, const std::string& control, QLineEdit* edit) {
  const QString after = edit->text();
  const AdmittedText admitted = admitInsertion(
      QString::fromStdString(form.text(control)), after, edit->cursorPosition(),
      [&](char32_t c) { return form.userKey(control, c); }, form.at(control).maxLength);
  if (admitted.text != after) {
    const QSignalBlocker block(edit);
    edit->setText(admitted.text);
    edit->setCursorPosition(admitted.cursor);
  }
  return admitted.text.toStdString();
}

}  // namespace rcp::gui

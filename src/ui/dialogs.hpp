#pragma once

#include <optional>
#include <string>

#include "ui/form.hpp"

namespace rcp::ui {

enum class MessageIcon { None, Error, Warning, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// The answer of a box confirmed as it stands (Enter, or nobody there to ask): its first button.
constexpr MessageResult defaultResult(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
      return MessageResult::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
      break;
  }
  return MessageResult::Ok;
}

struct Message {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::Error;
  MessageButtons buttons = MessageButtons::Ok;
  bool ownerless = false;  // shown without an owner window
  std::string detail = {};  // a second line under the text saying why, or empty
};

struct FileDialogRequest {
  std::string filter;            // e.g. "数据文件（*.ini）|*.ini"
  std::string defaultExtension;  // e.g. "ini"
  std::string initialFolder;
  std::string initialName;
};

// What the program asks a front end to show and to ask the user. The Qt front end shows real
// windows; tests record the requests and answer from a script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageResult message(const Message& message) = 0;
  // Shows the form modally; returns once it is closed.
  virtual void showModal(Form& form) = 0;
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

}  // namespace rcp::ui

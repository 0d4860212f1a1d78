#pragma once

#include <string>

#include "settings/program_state.hpp"

// The progress dialog TWriteData_Form that both transfers show: an activity text, a bar from 0 to
// 100 and its position as a number. No messages are processed while a transfer runs, so every
// change is painted at once, together with the main window's status bar.
namespace rcp::image {

class TransferProgress {
 public:
  // A program working for the window shows its progress on the window's dialog.
  explicit TransferProgress(settings::ProgramState& state)
      : state_(state.progressOn ? *state.progressOn : state) {}
  // A transfer that ends early (an error escaping it) still closes the dialog.
  ~TransferProgress();
  TransferProgress(const TransferProgress&) = delete;
  TransferProgress& operator=(const TransferProgress&) = delete;

  // The activity text in WriteLabel, the dialog shown (not modal, with the wait cursor) and
  // painted.
  void open(std::string activity);
  // A new activity text, painted at once.
  void setActivity(std::string activity);
  // The progress step: the bar advances by n, Percent shows the new position, the dialog and
  // the status bar are painted.
  void step(int n);
  // The bar back at 0 and the dialog closed; the cursor is the ordinary one again.
  void close();

  int position() const;

 private:
  ui::Form& dialog() { return *state_.writeData; }

  settings::ProgramState& state_;
  bool open_ = false;
};

}  // namespace rcp::image

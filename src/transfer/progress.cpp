#include "transfer/progress.hpp"

#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

constexpr const char* kLabel = "WriteLabel";
constexpr const char* kBar = "WriteProgressBar";
constexpr const char* kPercent = "Percent";

}  // namespace

TransferProgress::~TransferProgress() {
  if (open_) close();
}

void TransferProgress::open(std::string activity) {
  dialog().setCaption(kLabel, std::move(activity));
  dialog().show();
  open_ = true;
  state_.screen.setBusy(true);
  state_.screen.repaint(dialog());
}

void TransferProgress::setActivity(std::string activity) {
  dialog().setCaption(kLabel, std::move(activity));
  state_.screen.repaint(dialog());
}

void TransferProgress::step(int n) {
  ui::Form& form = dialog();
  form.setValue(kBar, form.value(kBar) + n);
  form.setText(kPercent, ui::decimal(form.value(kBar)));
  state_.screen.repaint(form);
  state_.repaintStatusBar();
}

void TransferProgress::close() {
  ui::Form& form = dialog();
  form.close();
  form.setValue(kBar, 0);
  open_ = false;
  state_.screen.setBusy(false);
}

int TransferProgress::position() const {
  return state_.writeData->value(kBar);
}

}  // namespace rcp::image

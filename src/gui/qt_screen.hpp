#pragma once

#include <memory>
#include <vector>

#include "ui/screen.hpp"

class QObject;

namespace rcp::gui {

class FormView;

// The program's windows as Qt windows. The first form created is the main window; every
// later one is a dialog kept above it.
class QtScreen final : public ui::Screen {
 public:
  QtScreen();
  ~QtScreen() override;

  void formCreated(ui::Form& form) override;
  void repaint(const ui::Form& form) override;
  void setBusy(bool busy) override;
  // While input is blocked (a transfer runs), the main window's close box is held until it ends.
  void blockInput(bool blocked) override;
  void setApplicationTitle(const std::string& title) override;
  void quit() override;

  // The view of a form, built on first use.
  FormView& view(ui::Form& form);
  FormView* findView(const ui::Form& form) const;
  // Whether the program asked to end (possibly before the event loop ran).
  bool quitRequested() const { return quitRequested_; }

 private:
  std::vector<std::unique_ptr<FormView>> views_;
  bool busy_ = false;
  std::unique_ptr<QObject> inputBlocker_;
  bool quitRequested_ = false;
};

}  // namespace rcp::gui

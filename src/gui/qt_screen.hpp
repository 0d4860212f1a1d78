#pragma once

#include <memory>
#include <vector>

#include "ui/screen.hpp"

class QObject;

namespace rcp::gui {

class FormView;

// Ends the program's event loops, nested ones included, without asking the windows again; before
// the first loop runs it does nothing (the caller of exec is told otherwise).
void endEventLoops();

// The program's windows as Qt windows. The first form created is the main window; every later
// one is a dialog kept above it. A window's widgets are built when it is first shown (or its view
// is first asked for): hidden dialogs cost nothing before the first paint, and the main window
// can be built while the start-up greeting waits for the radio (buildMainWindow).
class QtScreen final : public ui::Screen {
 public:
  QtScreen();
  ~QtScreen() override;

  void formCreated(ui::Form& form) override;
  void repaint(const ui::Form& form) override;
  void setBusy(bool busy) override;
  // While input is blocked (a transfer runs), the main window's close box is held until it ends.
  void blockInput(bool blocked) override;
  void processInput() override;
  void setApplicationTitle(const std::string& title) override;
  void quit() override;

  // The view of a form, built on first use.
  FormView& view(ui::Form& form);
  // Builds the main window's widgets now if it has not been built yet.
  void buildMainWindow();
  // The view of a form created on this screen (built now if it was not yet); null for another.
  FormView* findView(const ui::Form& form) const;
  // Whether the program asked to end (possibly before the event loop ran).
  bool quitRequested() const { return quitRequested_; }

 private:
  struct Window {
    ui::Form* form;
    std::unique_ptr<FormView> view;  // null until first needed
  };
  Window* findWindow(const ui::Form& form) const;
  FormView& build(Window& window) const;

  // The main window first. Views are built on demand, also from const look-ups.
  mutable std::vector<Window> windows_;
  // Lets a form's observer know whether this screen is still there.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool busy_ = false;
  std::unique_ptr<QObject> inputBlocker_;
  bool quitRequested_ = false;
};

}  // namespace rcp::gui

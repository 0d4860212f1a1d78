#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form.hpp"

class QEventLoop;
class QTimer;

namespace rcp::gui {

class InputRouter;

// One window of the program: the widgets of a form, following the form and passing the user's
// actions back to it. The main window ends the program when its close box is used and its form
// agrees (userCloseQuery); any other window closes its form.
class FormView final : public QWidget {
  Q_OBJECT

 public:
  enum class Role { Main, Dialog };

  FormView(ui::Form& form, Role role);
  ~FormView() override;

  ui::Form& form() const { return form_; }
  Role role() const { return role_; }
  // The widget showing a control (its tab page built now if it was not yet: building is a cache
  // of the form, so this stays a look-up); null for a timer or an unknown name.
  QWidget* controlWidget(std::string_view name) const;
  QTimer* timer(std::string_view name) const;

  // The window a dialog is centred on and kept above.
  void setOwner(QWidget* owner) { owner_ = owner; }
  // Shows the form as a modal window and returns once the form has closed.
  void runModal();
  // Fits the window into a screen's available area before its first showing: one too large puts
  // its controls into an area that scrolls, the status bar below it, and becomes resizable.
  void fitScreen(const QRect& available);

 signals:
  void formClosed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Built;

  void build();
  // Builds a container's widgets; returns its boxes in the order Tab goes through them.
  std::vector<QWidget*> buildChildren(const ui::Control* parent, QWidget* container, Built& built);
  // A tab page other than its tab control's active one gets its widgets when it first becomes
  // active (or one of its controls is asked for): until then it is an empty page.
  void buildPage(const std::string& page);
  void buildPagesAround(std::string_view name);
  void finishControls(const Built& built);
  QWidget* builtWidget(std::string_view name) const;
  void connectControl(const ui::Control& control, QWidget* widget);
  void connectTimer(const ui::Control& control);
  void follow(const ui::Control* control, ui::Property what);
  void followForm(ui::Property what);
  // What a screen reader says for the built widgets inside a container, again (after the
  // container was enabled or disabled).
  void renameWithin(const ui::Control& container);
  void focusControl(const ui::Control& control);
  void fixSize();
  void showWindow();
  void hideWindow();
  void act(const std::function<void()>& action);

  ui::Form& form_;
  Role role_;
  QPointer<QWidget> owner_;
  std::map<std::string, QWidget*, std::less<>> widgets_;
  // Each control's children, in the form's order.
  std::map<std::string, std::vector<const ui::Control*>, std::less<>> children_;
  // Tab pages whose widgets are not built yet.
  std::map<std::string, QWidget*, std::less<>> pendingPages_;
  std::map<std::string, QTimer*, std::less<>> timers_;
  QWidget* content_ = nullptr;  // the window's controls, the status bar aside
  InputRouter* router_ = nullptr;
  QEventLoop* modalLoop_ = nullptr;
  bool placed_ = false;
};

}  // namespace rcp::gui

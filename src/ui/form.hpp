#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.hpp"

namespace rcp::ui {

// What changed, for a view that follows the model.
enum class Property {
  Caption, Text, Checked, Value, Range, Items, MaxLength, Enabled, Visible, Color, FontColor,
  Font, Hint, SpokenName, Panels, Focus, ActivePage,
  FormCaption, FormShown, FormClosed,  // form-level; the control pointer is null
};

// The layout of a window: its controls in creation order (a parent before its children).
struct FormSpec {
  std::string name;       // object name, e.g. "Main_Form"
  std::string className;  // e.g. "TMain_Form"
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  std::vector<Control> controls;
};

// A window without a toolkit. Setting a control from code behaves as the toolkit did, here and
// only here: a check box whose state changes, or a radio button that becomes checked, fires its
// Click; a spin edit or track bar clamps and fires Change when its value changes; setting a combo
// box's text fires nothing. The user* entry points are what a front end (or a test) calls for
// the user's own actions; an error escaping a handler there goes to the error sink and the
// program goes on, as an event loop would.
class Form {
 public:
  using Handler = std::function<void(Control& sender)>;
  using KeyHandler = std::function<void(Control& sender, char32_t& key)>;
  using Observer = std::function<void(const Control* control, Property what)>;
  using ErrorSink = std::function<void(const std::string& message)>;
  // A key pressed anywhere in the window, seen before the focused control (letters upper-case).
  using KeyDownHandler = std::function<void(char32_t key, bool alt)>;

  explicit Form(FormSpec windowLayout);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  const std::string& className() const { return className_; }
  const std::string& caption() const { return caption_; }
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  void setCaption(std::string caption);

  // Lookup; an unknown name is a programming error and throws std::out_of_range.
  Control& at(std::string_view name);
  const Control& at(std::string_view name) const;
  bool contains(std::string_view name) const;
  const std::deque<Control>& controls() const { return controls_; }
  std::vector<const Control*> children(std::string_view parent) const;
  // The tab page a control lies on (itself if it is one), or null.
  const Control* pageOf(std::string_view name) const;

  // Binding of rules.
  void on(std::string_view control, Event event, Handler handler);
  void onKey(std::string_view control, KeyHandler handler);
  // What the user types into this spin edit fires its Change once, when the field is left or
  // finished, instead of at every key: for a rule that would lose data on the numbers passed
  // through while retyping. Changes by code and by the arrows fire at once as ever.
  void changeWhenLeft(std::string_view spinEdit);
  void onShown(std::function<void()> handler);
  void onKeyDown(KeyDownHandler handler) { keyDown_ = std::move(handler); }
  // Decides whether the user may close the window by its close box (true: it closes).
  void onCloseQuery(std::function<bool()> handler) { closeQuery_ = std::move(handler); }
  void addObserver(Observer observer);
  void setErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }

  // Reading.
  const std::string& text(std::string_view name) const { return at(name).text; }
  bool checked(std::string_view name) const { return at(name).checked; }
  int value(std::string_view name) const { return at(name).numericValue(); }
  // A spin edit whose text is not a number reads as its minimum and is set to it.
  int readSpin(std::string_view name);
  // The checked radio button among the children of parent, or empty.
  std::string checkedRadio(std::string_view parent) const;

  // Setting from code, with the toolkit's side effects.
  void setText(std::string_view name, std::string text);
  void setChecked(std::string_view name, bool checked);
  void setValue(std::string_view name, int value);
  void setRange(std::string_view name, int min, int max);
  // A grid's new rows clear its selection.
  void setItems(std::string_view name, std::vector<std::string> items);
  void setMaxLength(std::string_view name, int maxLength);
  void setEnabled(std::string_view name, bool enabled);
  void setVisible(std::string_view name, bool visible);
  void setCaption(std::string_view name, std::string caption);
  void setColor(std::string_view name, Color color);
  void setFontColor(std::string_view name, Color color);
  void setFont(std::string_view name, std::string fontName);
  void setHint(std::string_view name, std::string hint);
  void setSpokenName(std::string_view name, std::string spokenName);
  void setPanelText(std::string_view statusBar, int panel, std::string text);
  // Makes page the active page of its tab control; a page that becomes active fires Shown.
  void setActivePage(std::string_view page);
  const std::string& activePage(std::string_view tabControl) const { return text(tabControl); }
  void setFocus(std::string_view name);
  const std::string& focused() const { return focused_; }

  // The window's life: show fires the Shown event of every tab control's active page, then the
  // form's own; close ends a modal showing.
  void show();
  void close();
  bool isShowing() const { return showing_; }

  // The user's actions.
  void userType(std::string_view name, std::string text);
  void userSelect(std::string_view combo, int index);
  // Rows of a selectable grid chosen (in the order chosen; more than it takes keeps the last
  // ones): its text becomes their indices, and Change fires when they differ.
  void userSelectRows(std::string_view grid, const std::vector<std::size_t>& rows);
  void userClick(std::string_view name);
  void userDblClick(std::string_view name);
  void userExit(std::string_view name);
  // Finishes the field the user has typed into and not yet left, as leaving it would (a spin
  // edit clamped, its Exit rule run), without moving the focus. Commands that read the record
  // call it first, so that nothing half-typed reaches a file or a radio.
  void finishEditing();
  void userFocus(std::string_view name);
  void userUp(std::string_view name);
  void userDown(std::string_view name);
  void userActivatePage(std::string_view page);
  void userTimer(std::string_view name);
  // A slider moved or a spin arrow pressed: sets the value as setValue does (clamped, Change).
  void userSetValue(std::string_view name, int value);
  // Runs the key filter; returns the key that reaches the control, or 0 when it was discarded.
  char32_t userKey(std::string_view name, char32_t key);
  void userKeyDown(char32_t key, bool alt);
  // The close box: whether the window may close. A handler that fails keeps it open.
  bool userCloseQuery();

  // Every control as it is now, and putting them all back as they were: what a failed command
  // undoes. Putting back is no change by the user or a rule, so it fires no event; the views
  // learn of every property that differed.
  std::deque<Control> snapshot() const { return controls_; }
  void restore(const std::deque<Control>& saved);

  // Fires an event as the toolkit would (used by rules that "perform a click").
  void fire(std::string_view name, Event event);

 private:
  using Key = std::pair<std::string, Event>;

  void notify(const Control* control, Property what);
  void leave(std::string_view name);
  static int clamped(const Control& c, int value);
  void guarded(const std::function<void()>& action);

  std::string name_;
  std::string className_;
  std::string caption_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  std::deque<Control> controls_;
  std::map<std::string, std::size_t, std::less<>> index_;
  std::map<Key, Handler> handlers_;
  std::map<std::string, KeyHandler, std::less<>> keyHandlers_;
  std::vector<std::function<void()>> shownHandlers_;
  std::vector<Observer> observers_;
  ErrorSink errorSink_;
  KeyDownHandler keyDown_;
  std::function<bool()> closeQuery_;
  std::string focused_;
  std::string editing_;  // typed into since it was last left or finished
  std::set<std::string, std::less<>> changeOnLeave_;
  bool showing_ = false;
};

}  // namespace rcp::ui

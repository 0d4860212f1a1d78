#include "ui/form.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/layout.hpp"
#include "ui/number_text.hpp"

namespace rcp::ui {

int Control::numericValue() const {
  if (kind != ControlKind::SpinEdit) return value;
  auto v = parseInt32(text);
  return v ? *v : min;
}

bool Control::isContainer() const {
  switch (kind) {
    case ControlKind::TabControl:
    case ControlKind::TabPage:
    case ControlKind::GroupBox:
    case ControlKind::Panel:
    case ControlKind::StatusBar:
      return true;
    default:
      return false;
  }
}

Form::Form(FormSpec windowLayout)
    : name_(std::move(windowLayout.name)),
      className_(std::move(windowLayout.className)),
      caption_(std::move(windowLayout.caption)),
      clientWidth_(windowLayout.clientWidth),
      clientHeight_(windowLayout.clientHeight) {
  for (auto& c : windowLayout.controls) {
    if (index_.count(c.name))
      throw std::logic_error("duplicate control " + c.name + " in " + name_);
    if (!c.parent.empty() && !index_.count(c.parent))
      throw std::logic_error("control " + c.name + " names unknown parent " + c.parent);
    index_.emplace(c.name, controls_.size());
    controls_.push_back(std::move(c));
  }
}

void Form::setCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  notify(nullptr, Property::FormCaption);
}

Control& Form::at(std::string_view name) {
  auto it = index_.find(name);
  if (it == index_.end()) throw std::out_of_range(name_ + " has no control " + std::string(name));
  return controls_[it->second];
}

const Control& Form::at(std::string_view name) const {
  return const_cast<Form*>(this)->at(name);
}

bool Form::contains(std::string_view name) const {
  return index_.find(name) != index_.end();
}

std::vector<const Control*> Form::children(std::string_view parent) const {
  std::vector<const Control*> out;
  for (const auto& c : controls_)
    if (c.parent == parent) out.push_back(&c);
  return out;
}

const Control* Form::pageOf(std::string_view name) const {
  const Control* c = &at(name);
  while (c) {
    if (c->kind == ControlKind::TabPage) return c;
    c = c->parent.empty() ? nullptr : &at(c->parent);
  }
  return nullptr;
}

void Form::on(std::string_view control, Event event, Handler handler) {
  at(control);  // the name must exist
  handlers_[{std::string(control), event}] = std::move(handler);
}

void Form::changeWhenLeft(std::string_view spinEdit) {
  at(spinEdit);
  changeOnLeave_.insert(std::string(spinEdit));
}

void Form::onKey(std::string_view control, KeyHandler handler) {
  at(control);
  keyHandlers_[std::string(control)] = std::move(handler);
}

void Form::onShown(std::function<void()> handler) {
  shownHandlers_.push_back(std::move(handler));
}

void Form::addObserver(Observer observer) {
  observers_.push_back(std::move(observer));
}

void Form::notify(const Control* control, Property what) {
  // An observer may add another (a window built when first shown), which sees this one too.
  for (std::size_t i = 0; i < observers_.size(); ++i) observers_[i](control, what);
}

void Form::fire(std::string_view name, Event event) {
  auto it = handlers_.find(Key{std::string(name), event});
  if (it == handlers_.end()) return;
  auto handler = it->second;  // a handler may rebind; keep this one alive while it runs
  handler(at(name));
}

void Form::restore(const std::deque<Control>& saved) {
  for (const Control& was : saved) {
    Control& c = at(was.name);
    const Control now = std::exchange(c, was);
    const auto changed = [&](bool differs, Property what) {
      if (differs) notify(&c, what);
    };
    changed(now.caption != was.caption, Property::Caption);
    changed(now.min != was.min || now.max != was.max, Property::Range);
    changed(now.items != was.items, Property::Items);
    changed(now.maxLength != was.maxLength, Property::MaxLength);
    changed(now.text != was.text,
            was.kind == ControlKind::TabControl ? Property::ActivePage : Property::Text);
    changed(now.value != was.value, Property::Value);
    changed(now.checked != was.checked, Property::Checked);
    changed(now.enabled != was.enabled, Property::Enabled);
    changed(now.visible != was.visible, Property::Visible);
    changed(now.color != was.color, Property::Color);
    changed(now.fontColor != was.fontColor, Property::FontColor);
    changed(now.fontName != was.fontName, Property::Font);
    changed(now.hint != was.hint, Property::Hint);
    changed(now.spokenName != was.spokenName, Property::SpokenName);
    changed(now.panels.size() != was.panels.size() ||
                !std::equal(
                    now.panels.begin(), now.panels.end(), was.panels.begin(),
                    [](const StatusPanel& a, const StatusPanel& b) { return a.text == b.text; }),
            Property::Panels);
  }
}

int Form::readSpin(std::string_view name) {
  Control& c = at(name);
  if (!parseInt32(c.text)) setValue(name, c.min);
  return c.numericValue();
}

std::string Form::checkedRadio(std::string_view parent) const {
  for (const auto& c : controls_)
    if (c.parent == parent && c.kind == ControlKind::RadioButton && c.checked) return c.name;
  return {};
}

void Form::setText(std::string_view name, std::string text) {
  Control& c = at(name);
  if (c.text == text) return;
  const int before = c.numericValue();
  c.text = std::move(text);
  notify(&c, Property::Text);
  if (c.kind == ControlKind::SpinEdit && c.numericValue() != before) fire(name, Event::Change);
}

void Form::setChecked(std::string_view name, bool checked) {
  Control& c = at(name);
  if (c.checked == checked) return;
  c.checked = checked;
  notify(&c, Property::Checked);
  if (c.kind == ControlKind::RadioButton) {
    if (!checked) return;
    for (auto& sibling : controls_) {
      if (&sibling != &c && sibling.kind == ControlKind::RadioButton &&
          sibling.parent == c.parent && sibling.checked) {
        sibling.checked = false;
        notify(&sibling, Property::Checked);
      }
    }
  }
  fire(name, Event::Click);
}

int Form::clamped(const Control& c, int value) {
  // A spin edit with equal bounds is unbounded, as the toolkit's spin edit is. Otherwise a value
  // below the minimum becomes the minimum, else one above the maximum the maximum, also when the
  // bounds are the wrong way round.
  if (c.kind == ControlKind::SpinEdit && c.min == c.max) return value;
  if (value < c.min) return c.min;
  if (value > c.max) return c.max;
  return value;
}

void Form::setValue(std::string_view name, int value) {
  Control& c = at(name);
  value = clamped(c, value);
  if (c.kind == ControlKind::SpinEdit) {
    const int before = c.numericValue();
    std::string text = decimal(value);
    if (c.text != text) {
      c.text = std::move(text);
      notify(&c, Property::Text);
    }
    if (value != before) fire(name, Event::Change);
    return;
  }
  if (c.value == value) return;
  c.value = value;
  notify(&c, Property::Value);
  fire(name, Event::Change);
}

void Form::setRange(std::string_view name, int min, int max) {
  Control& c = at(name);
  if (c.min == min && c.max == max) return;
  c.min = min;
  c.max = max;
  notify(&c, Property::Range);
  // Track bars and progress bars keep their position inside the range; spin edits do not.
  if (c.kind == ControlKind::TrackBar || c.kind == ControlKind::ProgressBar)
    setValue(name, c.value);
}

void Form::setItems(std::string_view name, std::vector<std::string> items) {
  Control& c = at(name);
  c.items = std::move(items);
  notify(&c, Property::Items);
  if (c.kind == ControlKind::Grid && !c.text.empty()) {
    c.text.clear();
    notify(&c, Property::Text);
  }
}

void Form::setMaxLength(std::string_view name, int maxLength) {
  Control& c = at(name);
  if (c.maxLength == maxLength) return;
  c.maxLength = maxLength;
  notify(&c, Property::MaxLength);
}

void Form::setEnabled(std::string_view name, bool enabled) {
  Control& c = at(name);
  if (c.enabled == enabled) return;
  c.enabled = enabled;
  notify(&c, Property::Enabled);
}

void Form::setVisible(std::string_view name, bool visible) {
  Control& c = at(name);
  if (c.visible == visible) return;
  c.visible = visible;
  notify(&c, Property::Visible);
}

void Form::setCaption(std::string_view name, std::string caption) {
  Control& c = at(name);
  if (c.caption == caption) return;
  c.caption = std::move(caption);
  notify(&c, Property::Caption);
}

void Form::setColor(std::string_view name, Color color) {
  Control& c = at(name);
  if (c.color == color) return;
  c.color = color;
  notify(&c, Property::Color);
}

void Form::setFontColor(std::string_view name, Color color) {
  Control& c = at(name);
  if (c.fontColor == color) return;
  c.fontColor = color;
  notify(&c, Property::FontColor);
}

void Form::setFont(std::string_view name, std::string fontName) {
  Control& c = at(name);
  if (c.fontName == fontName) return;
  c.fontName = std::move(fontName);
  notify(&c, Property::Font);
}

void Form::setHint(std::string_view name, std::string hint) {
  Control& c = at(name);
  c.hint = std::move(hint);
  notify(&c, Property::Hint);
}

void Form::setSpokenName(std::string_view name, std::string spokenName) {
  Control& c = at(name);
  c.spokenName = std::move(spokenName);
  notify(&c, Property::SpokenName);
}

void Form::setPanelText(std::string_view statusBar, int panel, std::string text) {
  Control& c = at(statusBar);
  auto& p = c.panels.at(static_cast<std::size_t>(panel));
  if (p.text == text) return;
  p.text = std::move(text);
  notify(&c, Property::Panels);
}

void Form::setActivePage(std::string_view page) {
  Control& p = at(page);
  if (p.kind != ControlKind::TabPage)
    throw std::logic_error(std::string(page) + " is not a tab page");
  Control& tabs = at(p.parent);
  if (tabs.text == page) return;
  tabs.text = std::string(page);
  notify(&tabs, Property::ActivePage);
  fire(page, Event::Shown);
}

void Form::setFocus(std::string_view name) {
  focused_ = std::string(name);
  notify(&at(name), Property::Focus);
}

void Form::show() {
  showing_ = true;
  notify(nullptr, Property::FormShown);
  guarded([&] {
    for (const auto& c : controls_)
      if (c.kind == ControlKind::TabControl && !c.text.empty()) fire(c.text, Event::Shown);
    auto handlers = shownHandlers_;
    for (auto& h : handlers) h();
  });
}

void Form::close() {
  if (!showing_) return;
  showing_ = false;
  notify(nullptr, Property::FormClosed);
}

void Form::guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    if (!errorSink_) throw;
    errorSink_(e.what());
  }
}

void Form::userType(std::string_view name, std::string text) {
  guarded([&] {
    Control& c = at(name);
    if (c.text == text) return;
    c.text = std::move(text);
    editing_ = std::string(name);
    // The view already shows what the user typed; observers still learn of it.
    notify(&c, Property::Text);
    if (changeOnLeave_.count(editing_)) return;
    if (c.kind == ControlKind::SpinEdit || c.kind == ControlKind::ComboBox ||
        c.kind == ControlKind::Edit)
      fire(name, Event::Change);
  });
}

void Form::userSelect(std::string_view combo, int index) {
  guarded([&] {
    Control& c = at(combo);
    const auto& item = c.items.at(static_cast<std::size_t>(index));
    if (c.text == item) return;
    c.text = item;
    notify(&c, Property::Text);
    fire(combo, Event::Change);
  });
}

void Form::userSelectRows(std::string_view grid, const std::vector<std::size_t>& rows) {
  guarded([&] {
    Control& c = at(grid);
    if (c.kind != ControlKind::Grid || c.selectableRows <= 0) return;
    std::vector<std::size_t> kept;
    for (const std::size_t row : rows)
      if (row < c.items.size()) kept.push_back(row);
    const std::size_t most = static_cast<std::size_t>(c.selectableRows);
    if (kept.size() > most)
      kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(most));
    const std::string text = selectionText(kept);
    if (c.text == text) return;
    c.text = text;
    notify(&c, Property::Text);
    fire(grid, Event::Change);
  });
}

void Form::userClick(std::string_view name) {
  guarded([&] {
    Control& c = at(name);
    if (!c.enabled || !c.visible) return;
    // A button pressed without taking the focus (Enter for the default button) acts on what the
    // field being typed in holds once it is finished; a cancel button reads nothing.
    if (c.kind == ControlKind::Button && !c.isCancel) leave(editing_);
    switch (c.kind) {
      case ControlKind::CheckBox:
        setChecked(name, !c.checked);
        break;
      case ControlKind::RadioButton:
        setChecked(name, true);
        break;
      default:
        fire(name, Event::Click);
    }
  });
}

void Form::userDblClick(std::string_view name) {
  guarded([&] { fire(name, Event::DblClick); });
}

void Form::userExit(std::string_view name) {
  guarded([&] { leave(name); });
}

void Form::finishEditing() {
  guarded([&] { leave(editing_); });
}

void Form::leave(std::string_view name) {
  if (name.empty()) return;
  const std::string left(name);  // `name` may be editing_ itself
  const bool typedInto = editing_ == left;
  if (typedInto) editing_.clear();
  Control& c = at(left);
  if (c.kind == ControlKind::SpinEdit) {
    // Leaving a spin edit brings a typed value (the minimum for no number) into its bounds.
    const auto typed = parseInt32(c.text);
    const int value = typed ? *typed : c.min;
    if (typedInto && changeOnLeave_.count(left)) {
      const std::string text = decimal(clamped(c, value));
      if (c.text != text) {
        c.text = text;
        notify(&c, Property::Text);
      }
      fire(left, Event::Change);
    } else {
      setValue(left, value);
    }
  }
  fire(left, Event::Exit);
}

void Form::userFocus(std::string_view name) {
  focused_ = std::string(name);
}

void Form::userUp(std::string_view name) {
  guarded([&] { fire(name, Event::Up); });
}

void Form::userDown(std::string_view name) {
  guarded([&] { fire(name, Event::Down); });
}

void Form::userActivatePage(std::string_view page) {
  guarded([&] {
    // A hidden or disabled page is not the user's to open, whatever way the toolkit offers.
    const Control& p = at(page);
    if (!p.enabled || !p.visible) return;
    setActivePage(page);
  });
}

void Form::userTimer(std::string_view name) {
  guarded([&] { fire(name, Event::Timer); });
}

void Form::userSetValue(std::string_view name, int value) {
  guarded([&] { setValue(name, value); });
}

char32_t Form::userKey(std::string_view name, char32_t key) {
  guarded([&] {
    auto it = keyHandlers_.find(name);
    if (it == keyHandlers_.end()) return;
    auto handler = it->second;
    handler(at(name), key);
  });
  return key;
}

void Form::userKeyDown(char32_t key, bool alt) {
  guarded([&] {
    if (keyDown_) keyDown_(key, alt);
  });
}

bool Form::userCloseQuery() {
  bool mayClose = false;
  guarded([&] { mayClose = !closeQuery_ || closeQuery_(); });
  return mayClose;
}

}  // namespace rcp::ui

#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "settings/field_table.hpp"
#include "settings/program_state.hpp"
#include "settings/record.hpp"

// The settings record as the memory image sees it: fields read as the numbers, digit strings and
// texts the radio stores (a field that cannot be stored is an error naming it as the window
// shows it), and fields set from stored values the way a read shows them.
namespace rcp::image {

// A field that cannot be put into the radio, and the message the write stops with.
struct EncodeError {
  std::string field;
  std::string message;

  friend bool operator==(const EncodeError&, const EncodeError&) = default;
};

// Raised while encoding; the encoding as a whole hands it back as an EncodeError.
class FieldError : public std::runtime_error {
 public:
  FieldError(std::string field, const std::string& message)
      : std::runtime_error(message), field_(std::move(field)) {}
  const std::string& field() const { return field_; }
  EncodeError error() const { return {field_, what()}; }

 private:
  std::string field_;
};

class FieldReader {
 public:
  explicit FieldReader(settings::ProgramState& state) : state_(state), record_(state) {}

  settings::ProgramState& state() { return state_; }
  settings::Record& record() { return record_; }

  // The field's value as a number: a digit field's text by the ordinary decimal conversion (its
  // failure is the conversion error), a spin field, slider or working value as it stands, a
  // switch as 1 or 0, a radio choice of numbers as the chosen number.
  std::int64_t number(std::string_view field);
  // As number, but an empty text is none.
  std::optional<std::int64_t> optionalNumber(std::string_view field);
  // A digit field kept as typed; anything but "0" to "9" is an error.
  std::string digitString(std::string_view field);
  std::string text(std::string_view field);
  // A switch, or any number field as nonzero.
  bool flag(std::string_view field);

  // The value, checked to fit `bytes` unsigned bytes.
  std::int64_t fit(std::string_view field, std::int64_t value, int bytes);
  // The field's value has no form in `bytes` unsigned bytes that gives it back.
  [[noreturn]] void outOfRange(std::string_view field, int bytes);
  [[noreturn]] void fail(std::string_view field, const std::string& message);
  // The field's value has a stored form, but the radio gives back `back` from it (empty: none).
  [[noreturn]] void readsBackAs(std::string_view field, const std::string& back);
  // The field's value has no stored form under the numbering plan at all.
  [[noreturn]] void notStorable(std::string_view field);
  // The value the field holds as its text, for the messages.
  std::string shown(std::string_view field);

 private:
  settings::ProgramState& state_;
  settings::Record record_;
};

// A value the radio would give back as another: "个呼范围 “2001199”
// 写入电台后将读回为空，不能写入。"
std::string readsBackMessage(const std::string& caption, const std::string& value,
                             const std::string& back);

// Sets a field from a stored number: a digit or text field shows it as decimal text without
// leading zeros, a spin field, slider or working value takes it (spin fields and sliders clamp),
// a switch is on for nonzero.
void setNumber(settings::Record& record, std::string_view field, std::int64_t value);
void setNumber(settings::Record& record, const settings::FieldDef& field, std::int64_t value);

// A stored number as the form shows it: decimal, or empty for none.
std::string numberText(const std::optional<std::int64_t>& value);

}  // namespace rcp::image

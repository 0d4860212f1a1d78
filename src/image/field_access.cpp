#include "image/field_access.hpp"

#include <stdexcept>

#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"
#include "ui/conversion_error.hpp"
#include "ui/number_text.hpp"

namespace rcp::image {

namespace {

using settings::FieldKind;

const settings::FieldDef& def(std::string_view field) {
  const settings::FieldDef* f = settings::findField(field);
  if (!f) throw std::out_of_range("no settings field " + std::string(field));
  return *f;
}

bool holdsText(FieldKind kind) {
  return kind == FieldKind::Digits || kind == FieldKind::Text;
}

std::int64_t largest(int bytes) {
  return (std::int64_t{1} << (8 * bytes)) - 1;
}

}  // namespace

std::int64_t FieldReader::number(std::string_view field) {
  const settings::FieldValue value = record_.get(field);
  if (const auto* n = std::get_if<std::int64_t>(&value)) return *n;
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
  if (!holdsText(def(field).kind)) throw std::logic_error(std::string(field) + " holds no number");
  try {
    return ui::toInt32(std::get<std::string>(value));
  } catch (const ui::ConversionError& e) {
    fail(field, e.what());
  }
}

std::optional<std::int64_t> FieldReader::optionalNumber(std::string_view field) {
  if (holdsText(def(field).kind) && record_.text(field).empty()) return std::nullopt;
  return number(field);
}

std::string FieldReader::digitString(std::string_view field) {
  std::string text = record_.text(field);
  if (!text.empty() && !ui::isDigits(text))
    fail(field, settings::fieldCaption(state_, field) + "应为数字！");
  return text;
}

std::string FieldReader::text(std::string_view field) {
  return record_.text(field);
}

bool FieldReader::flag(std::string_view field) {
  const settings::FieldValue value = record_.get(field);
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  return number(field) != 0;
}

std::int64_t FieldReader::fit(std::string_view field, std::int64_t value, int bytes) {
  if (value < 0 || value > largest(bytes)) outOfRange(field, bytes);
  return value;
}

void FieldReader::outOfRange(std::string_view field, int bytes) {
  fail(field, settings::fieldCaption(state_, field) + "超出范围(0--" +
                  std::to_string(largest(bytes)) + ")！");
}

void FieldReader::fail(std::string_view field, const std::string& message) {
  throw FieldError(std::string(field), message);
}

std::string FieldReader::shown(std::string_view field) {
  return settings::shownValue(record_.get(field));
}

void FieldReader::readsBackAs(std::string_view field, const std::string& back) {
  fail(field, readsBackMessage(settings::fieldCaption(state_, field), shown(field), back));
}

void FieldReader::notStorable(std::string_view field) {
  fail(field, settings::fieldCaption(state_, field) + " “" + shown(field) +
                  "” 不在当前编号方案的任何号段内，电台无法存储，不能写入。");
}

std::string readsBackMessage(const std::string& caption, const std::string& value,
                             const std::string& back) {
  return caption + " “" + value + "” 写入电台后将读回为" +
         (back.empty() ? std::string("空") : "“" + back + "”") + "，不能写入。";
}

void setNumber(settings::Record& record, std::string_view field, std::int64_t value) {
  setNumber(record, def(field), value);
}

void setNumber(settings::Record& record, const settings::FieldDef& def, std::int64_t value) {
  const std::string& field = def.name;
  switch (def.kind) {
    case FieldKind::Digits:
    case FieldKind::Text:
      record.set(field, ui::decimal(value));
      return;
    case FieldKind::Switch:
    case FieldKind::InvertedSwitch:
      record.set(field, value != 0);
      return;
    case FieldKind::Number:
    case FieldKind::Level:
    case FieldKind::Integer:
    case FieldKind::U32:
      record.set(field, value);
      return;
    case FieldKind::Choice:
    case FieldKind::RadioChoice:
      break;
  }
  throw std::logic_error(std::string(field) + " takes no number");
}

std::string numberText(const std::optional<std::int64_t>& value) {
  return value ? ui::decimal(*value) : std::string();
}

}  // namespace rcp::image

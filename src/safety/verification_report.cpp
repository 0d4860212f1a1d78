#include "safety/verification_report.hpp"

#include <algorithm>
#include <optional>

#include "image/field_locations.hpp"
#include "image/write_image.hpp"
#include "link/hex_text.hpp"
#include "program/printable_text.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"
#include "settings/record.hpp"

namespace rcp::app {

namespace {

using image::Address;
using image::ByteDifference;
using image::FieldLocation;

constexpr const char* kHeading = "写后校验失败：电台读回的数据与写入的不同。";

// The field a differing byte belongs to under the scheme written; empty for a byte no field owns.
std::string owner(const ByteDifference& difference, settings::DiallingScheme scheme) {
  for (const FieldLocation* place : image::locationsAt(difference.address)) {
    if (!place->forScheme(scheme == settings::DiallingScheme::Cpsx) || place->isFiller()) continue;
    if (place->mask == 0 || (place->mask & difference.bits)) return place->field;
  }
  return {};
}

std::string byteText(std::uint8_t value) {
  return link::hexDigits(std::span<const std::uint8_t>(&value, 1));
}

std::string bytesText(const std::vector<ByteDifference>& bytes) {
  std::string written, read;
  for (const ByteDifference& b : bytes) {
    written += byteText(b.written);
    read += byteText(b.read);
  }
  return "地址 0x" + link::hexWord(bytes.front().address).substr(1) + "：写入 " + written +
         "，读回 " + read;
}

std::string valueText(settings::ProgramState& state, const std::string& field) {
  return settings::shownValue(settings::Record(state).get(field));
}

// The read-back's record encoded as a write would send it: where it does not give the bytes read
// back, the window cannot show what the radio holds (a value out of range, a byte of no choice,
// a text outside the code page).
std::optional<image::MemoryImage> encodedAgain(settings::ProgramState& readBack) {
  try {
    image::WriteEncoding encoded = image::encodeWrite(readBack, image::MenuBits{});
    if (const auto* written = std::get_if<image::WriteImage>(&encoded)) return written->memory;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

bool shownAsHeld(const std::optional<image::MemoryImage>& again,
                 const std::vector<ByteDifference>& bytes) {
  return again && std::all_of(bytes.begin(), bytes.end(), [&](const ByteDifference& b) {
           return ((again->byte(b.address) ^ b.read) & b.bits) == 0;
         });
}

// A field the window shows in a box of its own (a working value has none to name its value).
bool hasItsOwnBox(const std::string& field) {
  const settings::FieldDef* f = settings::findField(field);
  return f && (!f->control.empty() || f->kind == settings::FieldKind::RadioChoice);
}

}  // namespace

std::vector<std::string> mismatchLines(settings::ProgramState& written,
                                       settings::ProgramState& readBack,
                                       const image::Verification& verification) {
  const settings::DiallingScheme scheme = written.values.diallingScheme;
  // Differences grouped by their field, in the order the first byte of each appears.
  std::vector<std::pair<std::string, std::vector<ByteDifference>>> fields;
  for (const ByteDifference& difference : verification.differences) {
    std::string field = owner(difference, scheme);
    if (field.empty()) field = "@" + std::to_string(difference.address);  // a byte on its own
    auto it = std::find_if(fields.begin(), fields.end(),
                           [&](const auto& entry) { return entry.first == field; });
    if (it == fields.end()) {
      fields.push_back({field, {}});
      it = fields.end() - 1;
    }
    it->second.push_back(difference);
  }
  // Values are taken before the read-back is encoded again: the encoding may clamp its boxes.
  std::vector<std::pair<std::string, std::string>> values;
  for (const auto& [field, bytes] : fields)
    values.emplace_back(hasItsOwnBox(field) ? valueText(written, field) : "",
                        hasItsOwnBox(field) ? valueText(readBack, field) : "");
  const std::optional<image::MemoryImage> again = encodedAgain(readBack);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto& [field, bytes] = fields[i];
    if (!settings::findField(field)) {
      lines.push_back(bytesText(bytes) + "（不属于任何字段）");
      continue;
    }
    const auto& [sent, got] = values[i];
    const std::string path = settings::fieldPath(written, field) + "：";
    // The values where the window tells them apart and shows what the radio holds; the bytes
    // alone where it cannot.
    if (!hasItsOwnBox(field) || sent == got || !shownAsHeld(again, bytes)) {
      lines.push_back(path + bytesText(bytes));
      continue;
    }
    lines.push_back(path + "写入 " + printableText(sent) + "，读回 " + printableText(got) + "（" +
                    bytesText(bytes) + "）");
  }
  return lines;
}

std::string mismatchMessage(const std::vector<std::string>& lines) {
  std::string text = kHeading;
  for (std::size_t i = 0; i < lines.size() && i < kMismatchLinesShown; ++i) text += "\n" + lines[i];
  if (lines.size() > kMismatchLinesShown) text += "\n…";
  return text;
}

}  // namespace rcp::app

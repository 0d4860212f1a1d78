#include "app/verification_report.hpp"

#include <algorithm>

#include "image/field_locations.hpp"
#include "link/hex_text.hpp"
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
  std::vector<std::string> lines;
  for (const auto& [field, bytes] : fields) {
    if (!settings::findField(field)) {
      lines.push_back(bytesText(bytes) + "（不属于任何字段）");
      continue;
    }
    const std::string sent = valueText(written, field);
    const std::string got = valueText(readBack, field);
    // The bytes too: a value the window clamps or cannot show still differs there.
    lines.push_back(settings::fieldPath(written, field) + "：写入 " + sent + "，读回 " + got +
                    "（" + bytesText(bytes) + "）");
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

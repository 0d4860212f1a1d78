#include "image/where.hpp"

#include <algorithm>
#include <cctype>

#include "image/field_locations.hpp"
#include "link/hex_text.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"

namespace rcp::image {

namespace {

bool allOf(std::string_view text, int (*isClass)(int)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [isClass](char c) {
    return isClass(static_cast<unsigned char>(c)) != 0;
  });
}

std::optional<Address> inMemory(unsigned long value) {
  if (value >= MemoryImage::kSize) return std::nullopt;
  return static_cast<Address>(value);
}

// The data-file keys that keep a field, joined; "无" when saving writes none.
std::string keysOf(std::string_view field) {
  std::string keys;
  for (const settings::DataFileKey& k : settings::dataFileKeys())
    if (k.field == field) keys += (keys.empty() ? "" : "、") + k.key;
  return keys.empty() ? "无" : keys;
}

std::string placeText(const FieldLocation& l) {
  std::string text = addressText(l.address);
  if (l.length > 1) text += "–" + addressText(static_cast<Address>(l.address + l.length - 1));
  if (l.mask != 0) text += " 位 0x" + link::hexByte(l.mask);
  text += "（" + l.encoding + "）";
  if (l.scheme == SchemeOnly::Cpsx) text += "，仅 CPSX";
  if (l.scheme == SchemeOnly::Mpt1343) text += "，仅 MPT1343";
  return text;
}

std::vector<std::string> fieldLines(const settings::ProgramState& namer, const std::string& field) {
  std::vector<std::string> lines = {"字段 " + field + "：" + settings::fieldPath(namer, field),
                                    "数据文件键：" + keysOf(field)};
  const auto places = locationsOf(field);
  if (places.empty()) lines.push_back("电台存储：无（电台不保存此字段）");
  for (const FieldLocation* l : places) lines.push_back("电台存储：" + placeText(*l));
  return lines;
}

std::vector<std::string> addressLines(const settings::ProgramState& namer, Address address) {
  std::vector<std::string> lines;
  const auto places = locationsAt(address);
  if (places.empty()) lines.push_back(addressText(address) + "：写频不发送此地址");
  for (const FieldLocation* l : places) {
    if (l->isFiller()) {
      lines.push_back(placeText(*l) + "：填充");
      continue;
    }
    lines.push_back(placeText(*l) + "：字段 " + l->field + "，" +
                    settings::fieldPath(namer, l->field) + "，数据文件键：" + keysOf(l->field));
  }
  return lines;
}

}  // namespace

std::optional<Address> parseAddress(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    if (!allOf(text, std::isxdigit) || text.size() > 4) return std::nullopt;
    return inMemory(std::stoul(std::string(text), nullptr, 16));
  }
  if (text.size() > 4) return std::nullopt;
  if (allOf(text, std::isdigit)) return inMemory(std::stoul(std::string(text)));
  if (allOf(text, std::isxdigit)) return inMemory(std::stoul(std::string(text), nullptr, 16));
  return std::nullopt;
}

std::string addressText(Address address) {
  return "0x" + link::hexWord(address).substr(1);
}

std::optional<std::vector<std::string>> whereLines(const settings::ProgramState& namer,
                                                   std::string_view query) {
  const std::string text(query);
  if (settings::findField(text)) return fieldLines(namer, text);
  if (const settings::DataFileKey* key = settings::findDataFileKey(text))
    return fieldLines(namer, key->field);
  if (const auto address = parseAddress(query)) return addressLines(namer, *address);
  return std::nullopt;
}

}  // namespace rcp::image

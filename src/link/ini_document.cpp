#include "link/ini_document.hpp"

#include <algorithm>
#include <unordered_set>

#include "link/cp936.hpp"
#include "link/line_text.hpp"

namespace rcp::link {

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kNewLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t extra = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + extra >= bytes.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// A CP936 byte that starts a two-byte character; its second byte may look like ASCII
// (0x40-0x7E), so scanning for Latin letters or ']' must step over the pair.
bool isLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x81;
}

char foldLatin(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringLatinCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (isLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (foldLatin(a[i]) != foldLatin(b[i])) return false;
  }
  return true;
}

// A key as matching sees it: Latin letters in one case, the two bytes of a Chinese character
// exactly as they are.
std::string foldedKey(std::string_view key) {
  std::string folded(key);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (isLeadByte(folded[i]) && i + 1 < folded.size()) {
      ++i;
      continue;
    }
    folded[i] = foldLatin(folded[i]);
  }
  return folded;
}

// The name inside "[...]" when the line is a section header.
std::optional<std::string_view> sectionName(std::string_view line) {
  const std::string_view text = trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  std::size_t i = 1;
  while (i < text.size() && text[i] != ']') i += isLeadByte(text[i]) ? 2 : 1;
  return trim(text.substr(1, std::min(i, text.size()) - 1));
}

bool isComment(std::string_view line) {
  const std::string_view text = trim(line);
  return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// The key of a "key=value" line and the position of its '='.
struct KeyLine {
  std::string_view key;
  std::size_t equals;
};

std::optional<KeyLine> keyLine(std::string_view line) {
  if (isComment(line) || sectionName(line)) return std::nullopt;
  const auto equals = line.find('=');  // '=' is never the second byte of a CP936 pair
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = trim(line.substr(0, equals));
  if (key.empty()) return std::nullopt;
  return KeyLine{key, equals};
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Cuts to at most `limit` bytes without splitting a two-byte character.
std::string_view cut(std::string_view value, std::size_t limit) {
  std::size_t end = 0;
  while (end < value.size()) {
    const std::size_t width = isLeadByte(value[end]) && end + 1 < value.size() ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return value.substr(0, end);
}

// A value as it is written: in quotes when reading would otherwise change it (blanks at either
// end, or a pair of quotes around it), so that it reads back as it was.
std::string writtenValue(std::string_view value) {
  const std::string encoded = encodeCp936(lineText(value));
  if (trim(encoded) == encoded && unquote(encoded) == encoded) return encoded;
  return '"' + encoded + '"';
}

// The value of a key line as reading gives it.
std::string readValue(std::string_view text, const KeyLine& line) {
  const std::string_view raw = text.substr(line.equals + 1);
  return decodeCp936(cut(unquote(trim(raw)), IniDocument::kMaxValueLength));
}

}  // namespace

IniDocument::IniDocument(std::string_view fileBytes) {
  // Editors that save UTF-8 may start the file with a byte-order mark; it is no part of the
  // first line, and it is written back as it came.
  if (fileBytes.starts_with(kByteOrderMark)) {
    byteOrderMark_ = true;
    fileBytes.remove_prefix(kByteOrderMark.size());
  }
  // Text in the code page is almost never valid UTF-8 once it holds a Chinese character, so a
  // file that is valid UTF-8 beyond ASCII was saved as UTF-8. Its lines are kept in the code
  // page like any other, beside their own bytes, which are written back while unchanged.
  utf8_ = byteOrderMark_ || (!isAscii(fileBytes) && isValidUtf8(fileBytes));
  // Lines end in CR LF, LF or CR alone, as the editor that saved the file had it.
  while (!fileBytes.empty()) {
    const auto end = fileBytes.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      addLoadedLine(fileBytes, "");
      break;
    }
    const bool crlf = fileBytes.substr(end).starts_with(kNewLineEnd);
    const std::size_t endLength = crlf ? 2 : 1;
    addLoadedLine(fileBytes.substr(0, end), fileBytes.substr(end, endLength));
    fileBytes.remove_prefix(end + endLength);
  }
}

void IniDocument::addLoadedLine(std::string_view bytes, std::string_view ending) {
  if (utf8_)
    lines_.push_back({encodeCp936(bytes), std::string(ending), std::string(bytes)});
  else
    lines_.push_back({std::string(bytes), std::string(ending), std::nullopt});
}

std::string IniDocument::fileBytes() const {
  std::string out(byteOrderMark_ ? kByteOrderMark : "");
  for (const Line& line : lines_) {
    if (!utf8_)
      out += line.text;
    else
      out += line.original ? *line.original : decodeCp936(line.text);
    out += line.ending;
  }
  return out;
}

void IniDocument::replaceValue(std::size_t index, const std::string& encodedValue) {
  Line& line = lines_[index];
  line.text.erase(keyLine(line.text)->equals + 1);
  line.text += encodedValue;
  line.original.reset();
}

std::optional<IniDocument::SectionSpan> IniDocument::findSection(
    std::string_view encodedSection) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = sectionName(lines_[i].text);
    if (!name || !equalsIgnoringLatinCase(*name, encodedSection)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !sectionName(lines_[end].text)) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const SectionSpan& span,
                                                std::string_view encodedKey) const {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto line = keyLine(lines_[i].text);
    if (line && equalsIgnoringLatinCase(line->key, encodedKey)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
  const auto span = findSection(encodeCp936(section));
  if (!span) return std::nullopt;
  const auto index = findKey(*span, encodeCp936(key));
  if (!index) return std::nullopt;
  const std::string_view text = lines_[*index].text;
  return readValue(text, *keyLine(text));
}

std::string IniDocument::value(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  auto found = value(section, key);
  return found ? std::move(*found) : std::string(fallback);
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
  std::vector<std::string> names;
  const auto span = findSection(encodeCp936(section));
  if (!span) return names;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (const auto line = keyLine(lines_[i].text)) names.push_back(decodeCp936(line->key));
  }
  return names;
}

std::string IniDocument::newLineEnd() const {
  for (const Line& line : lines_)
    if (!line.ending.empty()) return line.ending;
  return std::string(kNewLineEnd);
}

void IniDocument::insertLine(std::size_t index, std::string text) {
  const std::string ending = newLineEnd();
  // The line before a new one must end, or the two would run together.
  if (index > 0 && lines_[index - 1].ending.empty()) lines_[index - 1].ending = ending;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                Line{std::move(text), ending, std::nullopt});
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string encodedSection = encodeCp936(section);
  const std::string encodedKey = encodeCp936(key);
  const std::string encodedValue = writtenValue(value);

  const auto span = findSection(encodedSection);
  if (!span) {
    insertLine(lines_.size(), "[" + encodedSection + "]");
    insertLine(lines_.size(), encodedKey + "=" + encodedValue);
    return;
  }
  if (const auto index = findKey(*span, encodedKey)) {
    replaceValue(*index, encodedValue);
    return;
  }
  std::size_t after = span->header;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (keyLine(lines_[i].text)) after = i;
  }
  insertLine(after + 1, encodedKey + "=" + encodedValue);
}

bool IniDocument::remove(std::string_view section, std::string_view key) {
  const auto span = findSection(encodeCp936(section));
  if (!span) return false;
  const auto index = findKey(*span, encodeCp936(key));
  if (!index) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
  return true;
}

std::optional<std::string> IniSection::value(std::string_view key) const {
  const auto it = values_.find(foldedKey(encodeCp936(key)));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<IniSection> IniDocument::section(std::string_view name) const {
  const auto span = findSection(encodeCp936(name));
  if (!span) return std::nullopt;
  IniSection section;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    const std::string_view text = lines_[i].text;
    if (const auto line = keyLine(text))
      section.values_.emplace(foldedKey(line->key), readValue(text, *line));
  }
  return section;
}

void IniDocument::setAll(std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
  if (values.empty()) return;
  const std::string encodedSection = encodeCp936(section);
  auto span = findSection(encodedSection);
  if (!span) {
    insertLine(lines_.size(), "[" + encodedSection + "]");
    span = SectionSpan{lines_.size() - 1, lines_.size()};
  }
  // The line of each key already there (the first of a repeated key), and where new keys go.
  std::unordered_map<std::string, std::size_t> present;
  std::size_t after = span->header;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (const auto line = keyLine(lines_[i].text)) {
      present.emplace(foldedKey(line->key), i);
      after = i;
    }
  }
  struct Added {
    std::string key;
    std::string value;
  };
  std::vector<Added> added;
  std::unordered_map<std::string, std::size_t> addedIndex;
  for (const auto& [key, value] : values) {
    std::string encodedKey = encodeCp936(key);
    std::string encodedValue = writtenValue(value);
    std::string folded = foldedKey(encodedKey);
    if (const auto it = present.find(folded); it != present.end()) {
      replaceValue(it->second, encodedValue);
    } else if (const auto a = addedIndex.find(folded); a != addedIndex.end()) {
      added[a->second].value = std::move(encodedValue);
    } else {
      addedIndex.emplace(std::move(folded), added.size());
      added.push_back({std::move(encodedKey), std::move(encodedValue)});
    }
  }
  if (added.empty()) return;
  const std::string ending = newLineEnd();
  if (lines_[after].ending.empty()) lines_[after].ending = ending;
  std::vector<Line> newLines;
  newLines.reserve(added.size());
  for (auto& a : added) newLines.push_back({a.key + "=" + a.value, ending, std::nullopt});
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1),
                std::make_move_iterator(newLines.begin()), std::make_move_iterator(newLines.end()));
}

void IniDocument::removeAll(std::string_view section, const std::vector<std::string>& keys) {
  if (keys.empty()) return;
  const auto span = findSection(encodeCp936(section));
  if (!span) return;
  std::unordered_set<std::string> doomed;
  for (const auto& key : keys) doomed.insert(foldedKey(encodeCp936(key)));
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > span->header && i < span->end) {
      const auto line = keyLine(lines_[i].text);
      if (line && doomed.count(foldedKey(line->key))) continue;
    }
    kept.push_back(std::move(lines_[i]));
  }
  lines_ = std::move(kept);
}

}  // namespace rcp::link

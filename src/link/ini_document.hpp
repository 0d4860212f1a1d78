#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace rcp::link {

// The keys and values of one section, read at once for looking up many keys: a key matches as
// in IniDocument, and of a repeated key the first one counts.
class IniSection {
 public:
  std::optional<std::string> value(std::string_view key) const;

 private:
  friend class IniDocument;
  std::unordered_map<std::string, std::string> values_;  // by the key's matching form
};

// The text of an INI file: "[section]" headers and "key=value" lines, with comments (lines that
// start with ';' or '#') and blank lines in between. Lines are kept in the file's own bytes
// (CP936), each with its own line end (CR LF, LF or CR), so a line the program does not change
// is written back exactly as it was. A file saved as UTF-8 by another editor is read as UTF-8
// and written back as UTF-8. The interface speaks UTF-8.
//
// Section and key names match without regard to the case of Latin letters; the first matching
// section and the first matching key in it count. Values are read trimmed of blanks, with one
// pair of surrounding quotes removed, and cut to kMaxValueLength bytes of the file's encoding.
class IniDocument {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  IniDocument() = default;
  explicit IniDocument(std::string_view fileBytes);

  // The whole file as it is to be written: new lines end as the file's lines already do (CR LF
  // in a file that has no line end yet), and a byte-order mark it started with is kept.
  std::string fileBytes() const;

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string value(std::string_view section, std::string_view key,
                    std::string_view fallback) const;
  // The key names of a section in file order, as written in the file.
  std::vector<std::string> keys(std::string_view section) const;

  // Control characters of a value are written as spaces: a value is always one whole line. A
  // value with blanks at either end or a pair of quotes around it is written in quotes, so it
  // reads back as it was set.
  // Replaces the value of an existing key in its line, or appends "key=value" after the last key
  // of the section, or appends the section with the key at the end of the file.
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key's line; false when there was no such key.
  bool remove(std::string_view section, std::string_view key);

  // Whole-section access for files of many keys, each in one pass over the file.
  // The section read at once, or nothing when the file has no such section.
  std::optional<IniSection> section(std::string_view name) const;
  // The same as set() for each pair in turn.
  void setAll(std::string_view section,
              const std::vector<std::pair<std::string, std::string>>& values);
  // Removes every line of each of the keys from the section (repeated lines included).
  void removeAll(std::string_view section, const std::vector<std::string>& keys);

 private:
  struct Line {
    std::string text;                     // without the line end, in the code page
    std::string ending;                   // "\r\n", "\n", "\r" or, on a last line without one, ""
    std::optional<std::string> original;  // a UTF-8 file's own bytes, while the line is unchanged
  };
  struct SectionSpan {
    std::size_t header;  // index of the header line
    std::size_t end;     // one past the section's last line
  };

  std::optional<SectionSpan> findSection(std::string_view encodedSection) const;
  std::optional<std::size_t> findKey(const SectionSpan& span, std::string_view encodedKey) const;
  void insertLine(std::size_t index, std::string text);
  void addLoadedLine(std::string_view bytes, std::string_view ending);
  void replaceValue(std::size_t index, const std::string& encodedValue);
  std::string newLineEnd() const;

  std::vector<Line> lines_;
  bool byteOrderMark_ = false;
  bool utf8_ = false;
};

}  // namespace rcp::link
